#include "gui/artwork.h"
#include "gui/frmabout.h"

#include <QAccessible>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QUrl>

class TestFrmAbout : public QObject
{
    Q_OBJECT

    // A shown About window whose open requests land in `opened`.
    QPointer<frmAbout> showAbout(QStringList &opened)
    {
        QPointer<frmAbout> about = new frmAbout([&opened](const QString &url) { opened << url; });
        about->show();
        if (!QTest::qWaitForWindowExposed(about))
            return nullptr;
        return about;
    }

private slots:
    // Clicks go to the window as the platform would send them, so the stacking of the controls
    // decides which element receives each one. Positions are window pixels. A key goes to the
    // element at the press position instead of a click; key -1 is a screen reader's press action.
    void clickTable_data()
    {
        QTest::addColumn<QPoint>("pressAt");
        QTest::addColumn<QPoint>("releaseAt");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<int>("key");
        QTest::addColumn<QStringList>("expectOpened");
        QTest::addColumn<bool>("expectClosed");

        const QStringList none, author{frmAbout::authorUrl()}, maker{frmAbout::makerUrl()};
        const auto row = [](const char *name, QPoint at, QPoint releaseAt, Qt::MouseButton button,
                            int key, const QStringList &opened, bool closed) {
            QTest::newRow(name) << at << releaseAt << button << key << opened << closed;
        };
        const Qt::MouseButton left = Qt::LeftButton, right = Qt::RightButton, no = Qt::NoButton;
        row("window background", {250, 110}, {}, left, 0, none, true);
        row("banner frame edge", {527, 40}, {}, left, 0, none, true);
        row("Image1", {260, 40}, {}, left, 0, none, true);
        row("Label1", {60, 112}, {}, left, 0, none, true);
        row("Label2 opens nothing", {480, 113}, {}, left, 0, none, true);
        row("Label3 author", {500, 94}, {}, left, 0, author, false);
        row("Label4 maker", {40, 94}, {}, left, 0, maker, false);
        row("Label3 above Label2", {500, 103}, {}, left, 0, author, false);
        row("Label4 above Label1", {40, 103}, {}, left, 0, maker, false);
        row("right button", {60, 112}, {}, right, 0, none, false);
        row("press Label3, release on Label2", {500, 94}, {420, 113}, left, 0, none, false);
        row("Enter on Label3", {500, 94}, {}, no, Qt::Key_Return, author, false);
        row("Space on Label4", {40, 94}, {}, no, Qt::Key_Space, maker, false);
        row("other key on Label3", {500, 94}, {}, no, Qt::Key_A, none, false);
        row("Escape on Label3", {500, 94}, {}, no, Qt::Key_Escape, none, true);
        row("press action on Label4", {40, 94}, {}, no, -1, maker, false);
    }

    void clickTable()
    {
        QFETCH(QPoint, pressAt);
        QFETCH(QPoint, releaseAt);
        QFETCH(Qt::MouseButton, button);
        QFETCH(int, key);
        QFETCH(QStringList, expectOpened);
        QFETCH(bool, expectClosed);

        QStringList opened;
        QPointer<frmAbout> about = showAbout(opened);
        QVERIFY(about);
        QWindow *window = about->windowHandle();
        QWidget *target = about->childAt(pressAt);
        if (key > 0) {
            QVERIFY(target->focusPolicy() & Qt::TabFocus);
            QTest::keyClick(target, Qt::Key(key));
        } else if (key < 0) {
            QAccessibleInterface *link = QAccessible::queryAccessibleInterface(target);
            QCOMPARE(link->role(), QAccessible::Link);
            link->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        } else {
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
        // The addresses are set when the program is built; one without a scheme or host would
        // reach the desktop as a relative file name instead of a web page.
        for (const QString &address : opened) {
            const QUrl url(address, QUrl::StrictMode);
            QVERIFY2(url.isValid() && url.scheme().startsWith("http") && !url.host().isEmpty(),
                     qPrintable(address));
        }
    }

    void windowIsBorderlessAndCentred()
    {
        QStringList opened;
        for (int showing = 0; showing < 2; ++showing) {
            QPointer<frmAbout> about = showAbout(opened);
            QVERIFY(about);
            QVERIFY(about->windowFlags().testFlag(Qt::FramelessWindowHint));
            QCOMPARE(about->windowType(), Qt::Tool);
            QCOMPARE(about->frameGeometry().size(), about->size());
            const QRect screen = about->screen()->availableGeometry();
            QVERIFY((about->geometry().center() - screen.center()).manhattanLength() <= 2);
            // Shown again after a closing click: a fresh window in the same place.
            QTest::mouseClick(about->windowHandle(), Qt::LeftButton, {}, QPoint(260, 40));
            QTRY_VERIFY(about.isNull());
        }
        QVERIFY(opened.isEmpty());
    }

    void artwork()
    {
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
        QVERIFY(!Velmira::banner().isNull());
    }
};

QTEST_MAIN(TestFrmAbout)
#include "tst_frmabout.moc"
