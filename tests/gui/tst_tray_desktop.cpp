// The main window on a real desktop: an X server, a window manager that really minimises, and a
// notification area that really holds the icon. Clicks and minimising come from outside, as the
// user's would.
#include "windowfakes.h"

#include "gui/frmoptions.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSystemTrayIcon>

namespace {
// A loaded X server and window manager may take a while to pass a key or a map on.
constexpr int Patience = 30000;

bool xdotool(const QStringList &arguments)
{
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

QSizeF twips(const frmMain &w)
{
    return {w.twipsWidth(), w.twipsHeight()};
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

// Where the notification area shows the icon's X window, as the X server tells it: its size
// once it has been taken out of the root window into the area and is viewable, else empty. A
// click before that moment would land on a window that is being moved.
QSize embeddedSize(const QWidget &icon)
{
    QProcess xwininfo;
    xwininfo.start(QStringLiteral("xwininfo"), {"-tree", "-stats", "-id", windowId(icon)});
    if (!xwininfo.waitForFinished())
        return {};
    const QString info = QString::fromLocal8Bit(xwininfo.readAllStandardOutput());
    const auto field = [&info](const QString &name) {
        const QRegularExpression line(QStringLiteral("^\\s*%1:\\s*(.*)$").arg(name),
                                      QRegularExpression::MultilineOption);
        return line.match(info).captured(1).trimmed();
    };
    if (field("Parent window id").contains(QLatin1String("(the root window)")) ||
        field("Map State") != QLatin1String("IsViewable"))
        return {};
    return {field("Width").toInt(), field("Height").toInt()};
}

// The main window with the platform's own notification area, shown.
bool loadAndShow(Harness &h)
{
    h.window.sysTray().setBackend(std::make_unique<Velmira::QtTrayIcon>());
    return h.loadAndShow();
}

} // namespace

class TestTrayDesktop : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!xdotool({"version"}))
            QSKIP("xdotool is not installed");
        QTRY_VERIFY_WITH_TIMEOUT(QSystemTrayIcon::isSystemTrayAvailable(), 30000);
    }

    void minimiseAndRestore_data()
    {
        QTest::addColumn<bool>("tray");
        QTest::newRow("taskbar") << false;
        QTest::newRow("system tray") << true;
    }

    void minimiseAndRestore()
    {
        QFETCH(bool, tray);
        Harness h;
        QVERIFY(loadAndShow(h));
        frmMain &w = h.window;
        // Once the window manager has framed the window, the frame counts in the outer size.
        QTRY_VERIFY_WITH_TIMEOUT(w.frameGeometry().size() != w.size(), Patience);
        QTRY_COMPARE_WITH_TIMEOUT(w.frameGeometry().size(), QSize(318, 296), Patience);
        QCOMPARE(twips(w), QSizeF(4770, 4440));
        w.options()->setMinToTray(tray);
        w.setTwipsWidth(6000);
        w.setTwipsHeight(6000);
        QTRY_COMPARE_WITH_TIMEOUT(w.frameGeometry().size(), QSize(400, 400), Patience);
        QCOMPARE(twips(w), QSizeF(6000, 6000));
        const QSize before = w.size();

        QVERIFY(xdotool({"windowminimize", windowId(w)}));
        if (tray) {
            QTRY_VERIFY_WITH_TIMEOUT(w.sysTray().iconShown(), Patience);
            QTRY_VERIFY_WITH_TIMEOUT(!w.isVisible(), Patience);
            // The notification area embeds the icon's own X window; the click goes to that window.
            QWidget *icon = nullptr;
            QTRY_VERIFY_WITH_TIMEOUT((icon = trayIconWindow()) && icon->isVisible(), Patience);
            QSize shown;
            QTRY_VERIFY_WITH_TIMEOUT(!(shown = embeddedSize(*icon)).isEmpty(), Patience);
            QVERIFY(
                xdotool({"mousemove", "--sync", "--window", windowId(*icon),
                         QString::number(shown.width() / 2), QString::number(shown.height() / 2)}));
            QVERIFY(xdotool({"click", "1"}));
            QTRY_VERIFY_WITH_TIMEOUT(w.isVisible(), Patience);
        } else {
            QTRY_VERIFY_WITH_TIMEOUT(w.isMinimized(), Patience);
            QVERIFY(w.isVisible());
            QVERIFY(!w.sysTray().iconShown());
            QVERIFY(xdotool({"windowactivate", windowId(w)}));
        }
        QTRY_VERIFY_WITH_TIMEOUT(!w.isMinimized(), Patience);
        QVERIFY(!w.sysTray().iconShown());
        QCOMPARE(w.size(), before);
        QVERIFY(h.boxes.errors.isEmpty());
    }

    void closedByTheUserIsToldOfAFailedSave()
    {
        // A store that cannot be written: its folder would have to be made under a plain file.
        QTemporaryDir dir;
        QFile blocker(dir.filePath("plain"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        Harness h(dir.filePath("plain/Vuzerer4.ini"));
        QVERIFY(loadAndShow(h));
        QVERIFY(xdotool({"windowactivate", "--sync", windowId(h.window)}));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Vuzerer4\\.ini"));
        // The window manager's close key, as the user would press it.
        QVERIFY(xdotool({"key", "--clearmodifiers", "alt+F4"}));
        QTRY_VERIFY_WITH_TIMEOUT(h.window.isQuitting(), Patience);
        QCOMPARE(h.boxes.errors.size(), 1);
        QVERIFY2(h.boxes.errors.first().contains(h.store.filePath()),
                 qPrintable(h.boxes.errors.first()));
        // The shutdown went on: the name was put back and the client released.
        QCOMPARE(h.events.last(), QStringLiteral("released after EndRotation(Original)"));
    }
};

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
