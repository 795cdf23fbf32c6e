#include "windows/systray.h"

#include <QTest>

class TestSysTray : public QObject
{
    Q_OBJECT

private slots:
    void trayMessage_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("twipsPerPixel");
        QTest::addColumn<QString>("expected");
        QTest::newRow("left up") << 7710.0 << 15.0 << QStringLiteral("LEFTUP");
        QTest::newRow("left down") << 7695.0 << 15.0 << QStringLiteral("LEFTDOWN");
        QTest::newRow("movement") << 7680.0 << 15.0 << QString();
        QTest::newRow("middle button") << 7800.0 << 15.0 << QString();
        QTest::newRow("120 dpi") << 6168.0 << 12.0 << QStringLiteral("LEFTUP");
        QTest::newRow("half rounds to even, up") << 7702.5 << 15.0 << QStringLiteral("LEFTUP");
        QTest::newRow("half rounds to even, down") << 7717.5 << 15.0 << QStringLiteral("LEFTUP");
        QTest::newRow("far off") << 1e300 << 15.0 << QString();
    }

    void trayMessage()
    {
        QFETCH(double, x);
        QFETCH(double, twipsPerPixel);
        QFETCH(QString, expected);
        QCOMPARE(Velmira::GetTrayMessage(x, twipsPerPixel), expected);
    }
};

QTEST_APPLESS_MAIN(TestSysTray)
#include "tst_systray.moc"
