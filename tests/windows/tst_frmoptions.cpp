#include "scriptedmessenger.h"
#include "windowfakes.h"

#include "windows/frmmain.h"
#include "windows/frmoptions.h"

#include <QCheckBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

namespace {

struct Harness
{
    Harness()
        : window([] { return std::make_unique<ScriptedMessenger>(); }, &boxes),
          options(window.options())
    {
        window.setSettingsStore(&settings.store);
    }
    CapturingMessageBoxes boxes;
    TemporarySettings settings;
    frmMain window;
    frmOptions *options;
};

} // namespace

class TestFrmOptions : public QObject
{
    Q_OBJECT

private slots:
    void sliderWritesInterval_data();
    void sliderWritesInterval();
    void loadedSliderLeavesIntervalAlone_data();
    void loadedSliderLeavesIntervalAlone();
    void resetNickClicks_data();
    void resetNickClicks();
    void closeBoxHidesWhileRunning();
};

void TestFrmOptions::sliderWritesInterval_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("presses");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one step up from 1") << int(Qt::Key_Right) << 1 << QStringLiteral("2000");
    QTest::newRow("to 7") << int(Qt::Key_Right) << 6 << QStringLiteral("7000");
    QTest::newRow("past the end") << int(Qt::Key_Right) << 15 << QStringLiteral("10000");
    QTest::newRow("to the end") << int(Qt::Key_End) << 1 << QStringLiteral("10000");
}

void TestFrmOptions::sliderWritesInterval()
{
    QFETCH(int, key);
    QFETCH(int, presses);
    QFETCH(QString, expected);
    Harness h;
    QVERIFY(h.window.Form_Load());
    h.options->setSliderFromLoad(1);
    h.window.setIntervalText(QStringLiteral("1"));
    h.options->show();
    for (int i = 0; i < presses; ++i)
        QTest::keyClick(h.options->Slider1, Qt::Key(key));
    // In force at once, without OK.
    QCOMPARE(h.window.intervalText(), expected);

    // A running rotation keeps its period until the next Start.
    h.window.setNamesText(QStringLiteral("Ann"));
    QVERIFY(h.window.engine().start(h.window.namesText(), h.window.intervalText()));
    const int period = h.window.engine().timer().interval();
    QTest::keyClick(h.options->Slider1, Qt::Key_Home);
    QCOMPARE(h.window.intervalText(), QStringLiteral("1000"));
    QCOMPARE(h.window.engine().timer().interval(), period);
}

void TestFrmOptions::loadedSliderLeavesIntervalAlone_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<int>("shown");
    QTest::newRow("in range") << 4 << 4;
    QTest::newRow("zero, from a short stored interval") << 0 << 1;
    QTest::newRow("above the range") << 25 << 10;
}

void TestFrmOptions::loadedSliderLeavesIntervalAlone()
{
    QFETCH(int, seconds);
    QFETCH(int, shown);
    Harness h;
    h.window.setIntervalText(QStringLiteral("500"));
    h.options->setSliderFromLoad(seconds);
    QCOMPARE(h.options->Slider1->value(), shown);
    QCOMPARE(h.window.intervalText(), QStringLiteral("500"));
}

void TestFrmOptions::resetNickClicks_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<QList<int>>("afterClicks");
    QTest::newRow("checked toggles") << 1 << QList<int>{0, 1, 0};
    QTest::newRow("unchecked toggles") << 0 << QList<int>{1, 0, 1};
    // The greyed state comes only from a stored value; a click leaves it for good.
    QTest::newRow("greyed becomes checked") << 2 << QList<int>{1, 0, 1};
}

void TestFrmOptions::resetNickClicks()
{
    QFETCH(int, stored);
    QFETCH(QList<int>, afterClicks);
    Harness h;
    h.options->setResetNickValue(stored);
    QCOMPARE(h.options->resetNickValue(), stored);
    h.options->show();
    QList<int> seen;
    for (int i = 0; i < afterClicks.size(); ++i) {
        QTest::mouseClick(h.options->chkResetNick, Qt::LeftButton, {}, {5, 5});
        seen << h.options->resetNickValue();
    }
    QCOMPARE(seen, afterClicks);
}

void TestFrmOptions::closeBoxHidesWhileRunning()
{
    Harness h;
    QVERIFY(h.window.Form_Load());
    QPointer<frmOptions> options = h.options;
    options->setMinToTray(true);
    options->setSliderFromLoad(6);
    options->show();
    QVERIFY(!options->close());
    QVERIFY(options);
    QVERIFY(options->isHidden());
    QVERIFY(!h.window.Quitting);
    h.window.show();
    QVERIFY(h.window.isVisible());

    options->show();
    QVERIFY(options->minToTray());
    QCOMPARE(options->Slider1->value(), 6);

    // The main window's unload closes it for good.
    h.window.close();
    QVERIFY(!options);
}

QTEST_MAIN(TestFrmOptions)
#include "tst_frmoptions.moc"
