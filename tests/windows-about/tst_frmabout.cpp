#include "windows/artwork.h"
#include "windows/frmabout.h"

#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QUrl>

class TestFrmAbout : public QObject
{
    Q_OBJECT
private slots:
    void clickTable_data();
    void clickTable();
    void layout_data();
    void layout();
    void windowIsBorderlessAndCentred();
    void artwork();
    void addressesAreWebAddresses();

private:
    // A shown About window whose open requests land in `opened`.
    QPointer<frmAbout> showAbout(QStringList &opened)
    {
        QPointer<frmAbout> about = new frmAbout([&opened](const QString &url) { opened << url; });
        about->show();
        if (!QTest::qWaitForWindowExposed(about))
            return nullptr;
        return about;
    }
};

// Clicks go to the window as the platform would send them, so the stacking of the controls
// decides which element receives each one. Positions are window pixels.
void TestFrmAbout::clickTable_data()
{
    QTest::addColumn<QPoint>("pressAt");
    QTest::addColumn<QPoint>("releaseAt");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QStringList>("expectOpened");
    QTest::addColumn<bool>("expectClosed");

    const QStringList none;
    const QString author = frmAbout::authorUrl();
    const QString maker = frmAbout::makerUrl();
    const Qt::MouseButton left = Qt::LeftButton;
    QTest::newRow("window background") << QPoint(250, 110) << QPoint() << left << 1 << none << true;
    QTest::newRow("banner frame edge") << QPoint(527, 40) << QPoint() << left << 1 << none << true;
    QTest::newRow("Image1") << QPoint(260, 40) << QPoint() << left << 1 << none << true;
    QTest::newRow("Label1") << QPoint(60, 112) << QPoint() << left << 1 << none << true;
    QTest::newRow("Label2 opens nothing")
        << QPoint(480, 113) << QPoint() << left << 1 << none << true;
    QTest::newRow("Label3 author")
        << QPoint(500, 94) << QPoint() << left << 1 << QStringList{author} << false;
    QTest::newRow("Label3 twice") << QPoint(500, 94) << QPoint() << left << 2
                                  << QStringList{author, author} << false;
    QTest::newRow("Label4 maker") << QPoint(40, 94) << QPoint() << left << 1 << QStringList{maker}
                                  << false;
    QTest::newRow("Label3 above Label2")
        << QPoint(500, 103) << QPoint() << left << 1 << QStringList{author} << false;
    QTest::newRow("Label4 above Label1")
        << QPoint(40, 103) << QPoint() << left << 1 << QStringList{maker} << false;
    QTest::newRow("right button") << QPoint(60, 112) << QPoint() << Qt::RightButton << 1 << none
                                  << false;
    QTest::newRow("press Label3, release on Label2")
        << QPoint(500, 94) << QPoint(420, 113) << left << 1 << none << false;
    QTest::newRow("press Label1, release on Label4")
        << QPoint(60, 112) << QPoint(40, 94) << left << 1 << none << false;
}

void TestFrmAbout::clickTable()
{
    QFETCH(QPoint, pressAt);
    QFETCH(QPoint, releaseAt);
    QFETCH(Qt::MouseButton, button);
    QFETCH(int, clicks);
    QFETCH(QStringList, expectOpened);
    QFETCH(bool, expectClosed);

    QStringList opened;
    QPointer<frmAbout> about = showAbout(opened);
    QVERIFY(about);
    QWindow *window = about->windowHandle();
    for (int i = 0; i < clicks; ++i) {
        QTest::mousePress(window, button, {}, pressAt);
        QTest::mouseRelease(window, button, {}, releaseAt.isNull() ? pressAt : releaseAt);
    }

    if (expectClosed) {
        QTRY_VERIFY(about.isNull());
    } else {
        QTest::qWait(0);
        QVERIFY(about);
        QVERIFY(about->isVisible());
        delete about;
    }
    QCOMPARE(opened, expectOpened);
}

// Pixel rectangles of the controls, worked out by hand from the twips of the design.
void TestFrmAbout::layout_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("expected");
    QTest::newRow("Image1") << "Image1" << QRect(0, 0, 527, 79);
    QTest::newRow("Shape1") << "Shape1" << QRect(0, 0, 528, 80);
    QTest::newRow("Shape2") << "Shape2" << QRect(0, 79, 528, 49);
    QTest::newRow("Label1") << "Label1" << QRect(8, 101, 105, 17);
    QTest::newRow("Label2") << "Label2" << QRect(384, 101, 137, 17);
    QTest::newRow("Label3") << "Label3" << QRect(392, 88, 129, 17);
    QTest::newRow("Label4") << "Label4" << QRect(8, 88, 121, 17);
}

void TestFrmAbout::layout()
{
    QFETCH(QString, name);
    QFETCH(QRect, expected);
    frmAbout about(nullptr);
    auto *control = about.findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), expected);
    QCOMPARE(control->accessibleDescription(), name);
    // Every text is inside its label: nothing is cut off at the window's edge.
    if (auto *label = qobject_cast<QLabel *>(control); label && !label->text().isEmpty()) {
        const int textWidth = label->fontMetrics().horizontalAdvance(label->text());
        QVERIFY2(textWidth <= label->width(), qPrintable(label->text()));
    }
}

void TestFrmAbout::windowIsBorderlessAndCentred()
{
    QStringList opened;
    for (int showing = 0; showing < 2; ++showing) {
        QPointer<frmAbout> about = showAbout(opened);
        QVERIFY(about);
        QVERIFY(about->windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(about->windowType(), Qt::Tool);
        QCOMPARE(about->size(), QSize(528, 129));
        QCOMPARE(about->frameGeometry().size(), QSize(528, 129));
        const QRect screen = about->screen()->availableGeometry();
        QVERIFY(qAbs(about->geometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(about->geometry().center().y() - screen.center().y()) <= 1);
        // Shown again after a closing click: a fresh window in the same place.
        QTest::mouseClick(about->windowHandle(), Qt::LeftButton, {}, QPoint(260, 40));
        QTRY_VERIFY(about.isNull());
    }
    QVERIFY(opened.isEmpty());
}

void TestFrmAbout::artwork()
{
    const QPixmap banner = Velmira::banner();
    QCOMPARE(banner.size(), QSize(527, 79));

    const QIcon icon = Velmira::windowIcon();
    for (int size : {16, 32, 48}) {
        QVERIFY2(icon.availableSizes().contains(QSize(size, size)),
                 qPrintable(QString::number(size)));
        const QImage image = icon.pixmap(size).toImage();
        QCOMPARE(image.size(), QSize(size, size));
        // Drawn, not blank: the centre is opaque and differs from the corner.
        QCOMPARE(qAlpha(image.pixel(size / 2, size / 2)), 255);
        QVERIFY(image.pixel(size / 2, size / 2) != image.pixel(0, 0));
    }

    frmAbout about(nullptr);
    auto *image1 = about.findChild<QLabel *>("Image1");
    QVERIFY(image1);
    QCOMPARE(image1->pixmap().size(), QSize(527, 79));
    QVERIFY(!image1->hasScaledContents());
}

// The addresses are set when the program is built; one without a scheme or host would reach
// the desktop as a relative file name instead of a web page.
void TestFrmAbout::addressesAreWebAddresses()
{
    for (const QString &address : {frmAbout::authorUrl(), frmAbout::makerUrl()}) {
        const QUrl url(address, QUrl::StrictMode);
        QVERIFY2(url.isValid(), qPrintable(address));
        QVERIFY2(url.scheme() == "https" || url.scheme() == "http", qPrintable(address));
        QVERIFY2(!url.host().isEmpty(), qPrintable(address));
    }
}

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
