// Velmira driving a real HexChat (private bus, X server and configuration folder) whose one
// network auto-connects to an IRC server of the test's own on 127.0.0.1 and joins a channel,
// where an observer of the test's own reports every NICK that crosses the wire.
#include "capturingmessageboxes.h"
#include "hexchatrig.h"
#include "ircrig.h"
#include "privatebus.h"
#include "testfiles.h"
#include "watchedwindow.h"

#include "clients/hexchatmessenger.h"
#include "clients/messengerchoice.h"
#include "core/restorerecord.h"
#include "core/rotationengine.h"
#include "core/settingsstore.h"
#include "gui/frmmain.h"

#include <QApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace Velmira;

namespace {
const QString Original = QStringLiteral("orignick");
// Far longer than any test: ticks are driven by hand, never by the timer.
const QString LongInterval = QStringLiteral("3600000");
constexpr int Patience = 30000;
const QStringList Arguments{QStringLiteral("--messenger=hexchat"),
                            QStringLiteral("--hexchat-network=Loopback")};
} // namespace

class TestHexchatMessenger : public QObject
{
    Q_OBJECT

    std::unique_ptr<PrivateBus> m_bus;
    IrcRig m_irc;
    QProcess m_hexchat;

    void startHexchat() { QVERIFY(::startHexchat(m_hexchat, *m_bus, m_irc, Original)); }
    // Quits HexChat; the server lets the nick go once it has seen the connection end.
    void stopHexchat()
    {
        stopProcess(m_hexchat);
        QTRY_VERIFY_WITH_TIMEOUT(m_irc.seen().filter(QStringLiteral("QUIT ")).size() > 0, Patience);
    }
    QString nickSeen() { return m_irc.seen().isEmpty() ? QString() : m_irc.seen().last(); }
private slots:
    void initTestCase()
    {
        m_bus = std::make_unique<PrivateBus>();
        QVERIFY2(m_bus->isValid(), "the private session bus did not start");
        // The observer holds the nick "Taken", which the rotations below ask for.
        QVERIFY(m_irc.start(QStringLiteral("Taken"), m_bus->environment()));
        startHexchat();
    }
    void cleanupTestCase()
    {
        stopProcess(m_hexchat);
        m_bus.reset();
    }

    // Names that cannot be nicks are refused at Start, naming the line. Each name reaches the
    // channel in order, one per tick; a tick while a change is unconfirmed sends nothing; a held
    // nick is refused, told once in plain words and not asked for again in that rotation;
    // another user's nick change is not taken for ours; Stop puts the original back.
    void rotation()
    {
        HexchatMessenger messenger(m_bus->connection(), QStringLiteral("Loopback"));
        QCOMPARE(messenger.localFriendlyName(), Original); // connected: the server tells NICKLEN
        QTRY_COMPARE(messenger.nickLength(), std::optional(12));
        runConfirmedRotation(m_irc, messenger, {"abcdefghijklm", "A B", ""},
                             HexchatMessenger::refusalCode(433), Original);
    }

    // HexChat quits mid-rotation: told once, as HexChat quitting; the window says it has gone.
    // When it is back it is bound again, and the label shows the nick it came back with. Closing
    // the window then asks nothing more.
    void clientQuitsAndComesBack()
    {
        WatchedWindow w({QStringLiteral("--messenger=hexchat")}, m_bus->connection());
        frmMain &window = w.window;
        CapturingMessageBoxes &boxes = w.boxes;
        QVERIFY(window.Form_Load());
        QLabel *label = window.findChild<QLabel *>(QStringLiteral("Label1"));
        QVERIFY(window.engine().start(QStringLiteral("Ann\r\nBob\r\n"), LongInterval));
        window.engine().tick();
        QTRY_COMPARE_WITH_TIMEOUT(label->text(), QStringLiteral("Ann"), Patience);
        stopHexchat();
        QTRY_COMPARE(window.engine().state(), RotationEngine::State::Idle);
        QCOMPARE(boxes.errors,
                 QStringList{"The rotation stopped: HexChat is no longer running. Your display "
                             "name is put back when it is running again."});
        QVERIFY(label->text().contains(QLatin1String("HexChat is no longer running")));
        QVERIFY(QFile::exists(RestoreRecord::pathBeside(w.settings.filePath())));

        startHexchat();
        QTRY_COMPARE_WITH_TIMEOUT(label->text(), Original, Patience);
        QCOMPARE(window.engine().originalName(), std::optional(Original));
        // It signed on under its own nick: the record of the rotation is done with.
        QVERIFY(!QFile::exists(RestoreRecord::pathBeside(w.settings.filePath())));
        QVERIFY(window.close());
        QCOMPARE(boxes.errors.size(), 1);
    }

    void wholeProgram_data()
    {
        QTest::addColumn<QString>("end");
        QTest::newRow("closed, twenty times") << "close";
        QTest::newRow("killed, then started again") << "kill";
        QTest::newRow("HexChat quit, then closed and started again") << "client quits";
    }
    // velmira --messenger=hexchat rotates the nick on its timer. Each close of the window by the
    // user ends it and puts the original back, also right after the server refused a nick (the
    // report of it does not take the keyboard from the window); after a kill, its next start
    // does. After HexChat quit mid-rotation, a close ends the program by itself, with no box to
    // answer.
    void wholeProgram()
    {
        QFETCH(QString, end);
        if (end == QLatin1String("kill"))
            return runWholeProgram(m_irc, Arguments, m_bus->environment(), Original, true);
        const bool close = end == QLatin1String("close");
        for (int round = 0; round < (close ? 20 : 1); ++round) {
            QTemporaryDir home;
            QProcess velmira;
            m_irc.forget();
            const QString record = startVelmira(
                velmira, home.path(), Arguments + QStringList{QStringLiteral("--start-when-shown")},
                m_bus->environment(),
                close ? QStringLiteral("Taken\r\nAnn\r\n") : QStringLiteral("Ann\r\nBob\r\n"));
            const QString window = velmiraWindow(velmira);
            QVERIFY(!record.isEmpty() && !window.isEmpty() &&
                    xdotool({"windowactivate", "--sync", window}));
            if (close) { // the report that the server refused "Taken" leaves the keyboard alone
                QString box;
                QTRY_VERIFY_WITH_TIMEOUT(!(box = otherWindowOf(velmira, window)).isEmpty(),
                                         Patience);
                QCOMPARE(userTime(box), 0);
                QVERIFY(pressCloseKey());
            } else {
                QTRY_COMPARE_WITH_TIMEOUT(nickSeen(), QStringLiteral("NICK orignick Ann"),
                                          Patience);
                stopHexchat();
                m_irc.forget();
                QVERIFY(pressCloseKey());
                QVERIFY2(velmira.waitForFinished(Patience), "a close after HexChat quit hung");
                QCOMPARE(velmira.exitCode(), 0);
                QVERIFY(QFile::exists(record));
                startHexchat();
                startVelmira(velmira, home.path(),
                             Arguments + QStringList{QStringLiteral("--quit-when-shown")},
                             m_bus->environment());
            }
            QVERIFY2(velmira.waitForFinished(Patience),
                     qPrintable(QStringLiteral("round %1: still running").arg(round)));
            QCOMPARE(velmira.exitCode(), 0);
            if (!close)
                QTRY_VERIFY_WITH_TIMEOUT(nickSeen().endsWith(QStringLiteral(" orignick")),
                                         Patience);
            QVERIFY(!QFile::exists(record));
        }
    }
};

int main(int argc, char *argv[])
{
    // HexChat needs an X server (scripts/with-desktop provides one) and these programs.
    if (!hasDesktopWith({"hexchat", "ngircd", "xdotool", "/usr/bin/python3", "dbus-daemon"}))
        return 77;
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    TestHexchatMessenger test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hexchatmessenger.moc"
