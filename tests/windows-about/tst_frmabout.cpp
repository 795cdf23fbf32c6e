#include "windows/artwork.h"
#include "windows/frmabout.h"

#include <QAccessible>
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
    void keyboard_data();
    void keyboard();
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

// The links take the focus and open with Enter or Space, or with a screen reader's press action
// (key 0); Escape closes the window from anywhere in it.
void TestFrmAbout::keyboard_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<int>("key");
    QTest::addColumn<QStringList>("expectOpened");
    QTest::addColumn<bool>("expectClosed");
    const QStringList author{frmAbout::authorUrl()}, maker{frmAbout::makerUrl()};
    QTest::newRow("Enter on author") << "Label3" << int(Qt::Key_Return) << author << false;
    QTest::newRow("keypad Enter") << "Label3" << int(Qt::Key_Enter) << author << false;
    QTest::newRow("Space on product") << "Label4" << int(Qt::Key_Space) << maker << false;
    QTest::newRow("press action") << "Label4" << 0 << maker << false;
    QTest::newRow("other key") << "Label3" << int(Qt::Key_A) << QStringList() << false;
    QTest::newRow("Escape") << "Label3" << int(Qt::Key_Escape) << QStringList() << true;
}

void TestFrmAbout::keyboard()
{
    QFETCH(QString, link);
    QFETCH(int, key);
    QFETCH(QStringList, expectOpened);
    QFETCH(bool, expectClosed);
    QStringList opened;
    QPointer<frmAbout> about = showAbout(opened);
    QVERIFY(about);
    auto *label = about->findChild<QLabel *>(link);
    QVERIFY(label && label->focusPolicy() & Qt::TabFocus);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(label);
    QCOMPARE(accessible->role(), QAccessible::Link);
    QVERIFY(!accessible->text(QAccessible::Name).isEmpty());
    if (key)
        QTest::keyClick(label, Qt::Key(key));
    else
        accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(opened, expectOpened);
    QTRY_COMPARE(about.isNull(), expectClosed);
    delete about;
}

void TestFrmAbout::windowIsBorderlessAndCentred()
{
    QStringList opened;
    for (int showing = 0; showing < 2; ++showing) {
        QPointer<frmAbout> about = showAbout(opened);
        QVERIFY(about);
        QVERIFY(about->windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(about->windowType(), Qt::Tool);
        QCOMPARE(about->frameGeometry().size(), about->size());
        const QRect screen = about->screen()->availableGeometry();
        QVERIFY(qAbs(about->geometry().center().x() - screen.center().x()) <= 1);
        QVERIFY(qAbs(about->geometry().center().y() - screen.center().y()) <= 1);
        // Every text is inside its label: nothing is cut off at the window's edge.
        for (const QLabel *label : about->findChildren<QLabel *>()) {
            const int textWidth = label->fontMetrics().horizontalAdvance(label->text());
            QVERIFY2(textWidth <= label->width(), qPrintable(label->text()));
        }
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
