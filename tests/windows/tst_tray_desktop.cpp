// The main window on a real desktop: an X server, a window manager that really minimises, and a
// notification area that really holds the icon. Clicks and minimising come from outside, as the
// user's would.
#include "scriptedmessenger.h"
#include "windowfakes.h"

#include "windows/frmmain.h"
#include "windows/frmoptions.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSystemTrayIcon>
#include <QTest>

#include <cstdlib>

namespace {

bool xdotool(const QStringList &arguments)
{
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

QString windowId(const QWidget &window)
{
    return QString::number(window.winId());
}

// The window Qt embeds into the notification area for the tray icon.
QWidget *trayIconWindow()
{
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (qstrcmp(top->metaObject()->className(), "QSystemTrayIconSys") == 0)
            return top;
    }
    return nullptr;
}

struct Harness
{
    Harness() : window([] { return std::make_unique<ScriptedMessenger>(); }, &boxes)
    {
        window.setSettingsStore(&settings.store);
    }
    bool loadAndShow()
    {
        if (!window.Form_Load())
            return false;
        window.showCentred();
        return QTest::qWaitForWindowExposed(&window);
    }
    CapturingMessageBoxes boxes;
    TemporarySettings settings;
    frmMain window;
};

} // namespace

class TestTrayDesktop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void outerSizeIncludesTheFrame();
    void taskbarMinimise();
    void trayRoundTrip();
    void closedByTheUserIsToldOfAFailedSave();
};

void TestTrayDesktop::initTestCase()
{
    if (QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("version")}) != 0)
        QSKIP("xdotool is not installed");
    QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 30000);
}

void TestTrayDesktop::outerSizeIncludesTheFrame()
{
    Harness h;
    QVERIFY(h.loadAndShow());
    // Once the window manager has framed the window, the frame counts in the outer size.
    QTRY_VERIFY(h.window.frameGeometry().size() != h.window.size());
    QTRY_COMPARE(h.window.frameGeometry().size(), QSize(318, 296));
    QCOMPARE(h.window.twipsWidth(), 4770.0);
    QCOMPARE(h.window.twipsHeight(), 4440.0);
    h.window.setTwipsWidth(6000);
    QTRY_COMPARE(h.window.frameGeometry().width(), 400);
}

void TestTrayDesktop::taskbarMinimise()
{
    Harness h;
    QVERIFY(h.loadAndShow());
    h.window.options()->setMinToTray(false);
    h.window.setTwipsHeight(6000);
    QTRY_COMPARE(h.window.twipsHeight(), 6000.0);
    QVERIFY(xdotool({QStringLiteral("windowminimize"), windowId(h.window)}));
    QTRY_VERIFY(h.window.isMinimized());
    QVERIFY(h.window.isVisible());
    QVERIFY(!h.window.sysTray().iconShown());
    QVERIFY(xdotool({QStringLiteral("windowactivate"), windowId(h.window)}));
    QTRY_VERIFY(!h.window.isMinimized());
    QCOMPARE(h.window.twipsHeight(), 6000.0);
}

void TestTrayDesktop::trayRoundTrip()
{
    Harness h;
    QVERIFY(h.loadAndShow());
    h.window.options()->setMinToTray(true);
    h.window.setTwipsWidth(6000);
    QTRY_COMPARE(h.window.twipsWidth(), 6000.0);
    const QSize before = h.window.size();

    QVERIFY(xdotool({QStringLiteral("windowminimize"), windowId(h.window)}));
    QTRY_VERIFY(h.window.sysTray().iconShown());
    QTRY_VERIFY(!h.window.isVisible());
    // The notification area embeds the icon's own X window; the click goes to that window.
    QWidget *iconWindow = nullptr;
    QTRY_VERIFY((iconWindow = trayIconWindow()) && iconWindow->isVisible());
    QVERIFY(
        xdotool({QStringLiteral("mousemove"), QStringLiteral("--sync"), QStringLiteral("--window"),
                 windowId(*iconWindow), QString::number(iconWindow->width() / 2),
                 QString::number(iconWindow->height() / 2)}));
    QVERIFY(xdotool({QStringLiteral("click"), QStringLiteral("1")}));
    QTRY_VERIFY(h.window.isVisible());
    QVERIFY(!h.window.sysTray().iconShown());
    QTRY_VERIFY(!h.window.isMinimized());
    QCOMPARE(h.window.size(), before);
    QVERIFY(h.boxes.errors.isEmpty());
}

void TestTrayDesktop::closedByTheUserIsToldOfAFailedSave()
{
    // A store that cannot be written: its folder would have to be made under a plain file.
    Harness h;
    QFile blocker(h.settings.dir.filePath(QStringLiteral("plain")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Velmira::SettingsStore unwritable(
        h.settings.dir.filePath(QStringLiteral("plain/Vuzerer4.ini")));
    h.window.setSettingsStore(&unwritable);
    QVERIFY(h.loadAndShow());
    QVERIFY(
        xdotool({QStringLiteral("windowactivate"), QStringLiteral("--sync"), windowId(h.window)}));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("Vuzerer4\\.ini")));
    // The window manager's close key, as the user would press it.
    QVERIFY(xdotool(
        {QStringLiteral("key"), QStringLiteral("--clearmodifiers"), QStringLiteral("alt+F4")}));
    QTRY_VERIFY(h.window.Quitting);
    QCOMPARE(h.boxes.errors.size(), 1);
    QVERIFY2(h.boxes.errors.first().contains(unwritable.filePath()),
             qPrintable(h.boxes.errors.first()));
}

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::puts("SKIP: no X display (run under scripts/with-desktop)");
        return 77;
    }
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    TestTrayDesktop test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_tray_desktop.moc"
