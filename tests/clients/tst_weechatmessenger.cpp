// Velmira driving a real WeeChat (weechat-headless, with a home folder of its own) whose one
// server connects to an IRC server of the test's own on 127.0.0.1 and joins a channel, where an
// observer of the test's own reports every NICK that crosses the wire. One WeeChat has a relay on
// 127.0.0.1 (password in its secured data) and no flood limit; the last one has neither, as
// WeeChat comes.
#include "capturingmessageboxes.h"
#include "ircrig.h"
#include "privatebus.h"
#include "testfiles.h"
#include "watchedwindow.h"

#include "clients/messengerchoice.h"
#include "clients/weechatmessenger.h"
#include "core/restorerecord.h"
#include "core/rotationengine.h"
#include "core/settingsstore.h"
#include "gui/frmmain.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

using namespace Velmira;

namespace {
const QString Original = QStringLiteral("orignick");
// Far longer than any test: ticks are driven by hand, never by the timer.
const QString LongInterval = QStringLiteral("3600000");
constexpr int Patience = 30000;

// %1 the IRC port, %2 the nick, %3 the channel, %4 more options of the server.
const char *const IrcConf = "[server]\nloopback.addresses = \"127.0.0.1/%1\"\n"
                            "loopback.autoconnect = on\nloopback.autojoin = \"%3\"\n"
                            "loopback.nicks = \"%2\"\nloopback.username = \"velmira\"\n"
                            "loopback.ssl = off\nloopback.capabilities = \"\"\n%4";
const char *const NoFloodLimit =
    "loopback.anti_flood_prio_high = 0\nloopback.anti_flood_prio_low = 0\n";
// %1 the relay's port. The password, with a comma to escape, is in the secured data.
const char *const RelayConf = "[network]\nbind_address = \"127.0.0.1\"\nipv6 = off\n"
                              "password = \"${sec.data.relay}\"\n\n[port]\nweechat = %1\n";
const char *const SecConf = "[data]\n__passphrase__ = off\nrelay = \"pass,word\"\n";

quint16 freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}
} // namespace

class TestWeechatMessenger : public QObject
{
    Q_OBJECT

    IrcRig m_irc;
    QTemporaryDir m_dir;
    QProcess m_weechat;
    QString m_home; // of the WeeChat that runs

    // A WeeChat in the folder `name` of the test's own, started once it has joined.
    void startWeechat(const QString &name, bool relay)
    {
        m_home = m_dir.filePath(name);
        if (!QFileInfo::exists(m_home)) {
            QVERIFY(QDir().mkpath(m_home));
            QVERIFY(TestFiles::write(m_home + QStringLiteral("/irc.conf"),
                                     QString::fromLatin1(IrcConf)
                                         .arg(m_irc.port())
                                         .arg(Original, IrcRig::Channel,
                                              relay ? QString::fromLatin1(NoFloodLimit) : QString())
                                         .toUtf8()));
            if (relay)
                QVERIFY(TestFiles::write(m_home + QStringLiteral("/relay.conf"),
                                         QString::fromLatin1(RelayConf).arg(freePort()).toUtf8()) &&
                        TestFiles::write(m_home + QStringLiteral("/sec.conf"), SecConf));
        }
        m_irc.forget();
        // It writes terminal controls, and keeps its log in weechat.log.
        m_weechat.setStandardOutputFile(QProcess::nullDevice());
        m_weechat.setStandardErrorFile(QProcess::nullDevice());
        m_weechat.start(QStringLiteral("weechat-headless"),
                        {QStringLiteral("--dir"), m_home, QStringLiteral("-P"),
                         QStringLiteral("irc,fifo,relay")});
        QTRY_VERIFY_WITH_TIMEOUT(m_irc.seen().contains(QStringLiteral("JOIN ") + Original),
                                 Patience);
        QVERIFY(WeechatHome(m_home).liveFifo());
    }
    // Quits WeeChat (SIGTERM); the server lets the nick go once it has seen the connection end.
    void stopWeechat()
    {
        stopProcess(m_weechat);
        QTRY_VERIFY_WITH_TIMEOUT(m_irc.seen().filter(QStringLiteral("QUIT ")).size() > 0, Patience);
    }
    QString nickSeen() { return m_irc.seen().isEmpty() ? QString() : m_irc.seen().last(); }
private slots:
    void initTestCase()
    {
        // The observer holds the nick "Taken", which the rotations below ask for.
        QVERIFY(m_irc.start(QStringLiteral("Taken"), QProcessEnvironment::systemEnvironment()));
        startWeechat(QStringLiteral("relay"), true);
    }
    void cleanupTestCase() { stopProcess(m_weechat); }

    // Through the relay: names that cannot be nicks are refused at Start, naming the line. Each
    // name reaches the channel in order, one per tick; a tick while a change is unconfirmed sends
    // nothing; a held nick is refused, told once in plain words and not asked for again in that
    // rotation; Stop puts the original back.
    void confirmedRotation()
    {
        WeechatMessenger messenger(m_home);
        QCOMPARE(messenger.server(), QStringLiteral("loopback"));
        QVERIFY(!messenger.relayAddress().isEmpty());
        QCOMPARE(messenger.sendIntervalMs(), 0);
        QTRY_COMPARE(messenger.nickLength(), std::optional(12));
        runConfirmedRotation(m_irc, messenger, {"abcdefghijklm", "A B", "A\nquit", ""},
                             WeechatMessenger::refusalCode(433), Original);
    }

    void wholeProgram_data()
    {
        QTest::addColumn<bool>("kill");
        QTest::newRow("closed") << false;
        QTest::newRow("killed, then started again") << true;
    }
    // velmira --messenger=weechat finds WeeChat and its relay by WEECHAT_HOME and rotates the
    // nick on its timer. A close of the window by the user ends it and puts the original back;
    // after a kill, its next start does.
    void wholeProgram()
    {
        QFETCH(bool, kill);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("WEECHAT_HOME"), m_home);
        runWholeProgram(m_irc, {QStringLiteral("--messenger=weechat")}, environment, Original,
                        kill);
    }

    // WeeChat quits mid-rotation: told once, as WeeChat quitting; the window says it has gone.
    // When it is back (a new FIFO, in a folder that did not exist) it is bound again, and the
    // label shows the nick it signed on with. Closing the window then asks nothing more.
    void clientQuitsAndComesBack()
    {
        qputenv("WEECHAT_HOME", QFile::encodeName(m_home));
        WatchedWindow w({QStringLiteral("--messenger=weechat")});
        frmMain &window = w.window;
        CapturingMessageBoxes &boxes = w.boxes;
        QVERIFY(window.Form_Load());
        QLabel *label = window.findChild<QLabel *>(QStringLiteral("Label1"));
        QVERIFY(window.engine().start(QStringLiteral("Ann\r\nBob\r\n"), LongInterval));
        window.engine().tick();
        QTRY_COMPARE_WITH_TIMEOUT(label->text(), QStringLiteral("Ann"), Patience);
        stopWeechat();
        QTRY_COMPARE(window.engine().state(), RotationEngine::State::Idle);
        QCOMPARE(boxes.errors,
                 QStringList{"The rotation stopped: WeeChat is no longer running. Your display "
                             "name is put back when it is running again."});
        QVERIFY(label->text().contains(QLatin1String("WeeChat is no longer running")));
        QVERIFY(QFile::exists(RestoreRecord::pathBeside(w.settings.filePath())));

        // It comes back in a home folder made anew, found through the folder that holds it.
        QVERIFY(QDir(m_home).removeRecursively());
        startWeechat(QStringLiteral("relay"), true);
        QTRY_COMPARE_WITH_TIMEOUT(label->text(), Original, Patience);
        QCOMPARE(window.engine().originalName(), std::optional(Original));
        // It signed on under its own nick: the record of the rotation is done with.
        QVERIFY(!QFile::exists(RestoreRecord::pathBeside(w.settings.filePath())));
        QVERIFY(window.close());
        QCOMPARE(boxes.errors.size(), 1);
        qunsetenv("WEECHAT_HOME");
    }

    // WeeChat as it comes: no relay, 2 s between lines. The window says that changes cannot be
    // confirmed, and that names change every 2 s, once each; on the engine's own timer each name
    // has reached the channel before the next tick. Stop sends the nick WeeChat signs on with.
    // Then WeeChat is killed: its FIFO stays behind, and is not waited on.
    void unconfirmedRotation()
    {
        stopWeechat();
        startWeechat(QStringLiteral("plain"), false);
        QTemporaryDir dir;
        SettingsStore settings(dir.filePath(QStringLiteral("Vuzerer4.ini")));
        CapturingMessageBoxes boxes;
        frmMain window([&] { return std::make_unique<WeechatMessenger>(m_home); }, &boxes);
        window.setSettingsStore(&settings);
        QVERIFY(window.Form_Load());
        Messenger *messenger = window.messenger();
        QVERIFY(!messenger->confirmsChanges() && !messenger->readsNameInForce());
        QCOMPARE(window.engine().originalName(), std::optional(Original));
        QLabel *label = window.findChild<QLabel *>(QStringLiteral("Label1"));

        const QStringList sent{"NICK orignick Ann", "NICK Ann Bob", "NICK Bob Cid"};
        QStringList late; // names not on the wire when the next tick came
        int ticks = 0;
        // After the engine's own tick: the name of the tick before must be on the wire by now.
        connect(&window.engine().timer(), &QTimer::timeout, this, [&] {
            if (++ticks > 1 && !m_irc.seen().contains(sent.at(ticks - 2)))
                late << sent.at(ticks - 2);
            if (ticks == sent.size() + 1)
                window.engine().stop(true);
        });
        QVERIFY(window.engine().start(QStringLiteral("Ann\r\nBob\r\nCid"), "1000"));
        QCOMPARE(window.engine().timer().interval(), 2000);
        QTRY_COMPARE_WITH_TIMEOUT(
            label->text(), QStringLiteral("Ann (sent; WeeChat cannot confirm it)"), Patience);
        QTRY_COMPARE_WITH_TIMEOUT(ticks, sent.size() + 1, Patience);
        QCOMPARE(late, QStringList());
        QCOMPARE(boxes.errors.size(), 2);
        QVERIFY(boxes.errors.at(0).startsWith(QLatin1String("WeeChat is driven through its FIFO")));
        QCOMPARE(boxes.errors.at(1),
                 QStringLiteral("WeeChat sends one line every 2 s: names change every 2 s."));
        QTRY_VERIFY_WITH_TIMEOUT(nickSeen().endsWith(QStringLiteral(" orignick")), Patience);
        QCOMPARE(label->text(), QStringLiteral("orignick (sent; WeeChat cannot confirm it)"));

        const std::optional<WeechatHome::Fifo> fifo = WeechatHome(m_home).liveFifo();
        QVERIFY(fifo);
        QSignalSpy gone(messenger, &Messenger::gone);
        m_weechat.kill();
        QVERIFY(m_weechat.waitForFinished());
        QVERIFY(QFile::exists(fifo->path));
        QVERIFY(!WeechatHome(m_home).liveFifo());
        try {
            messenger->setFriendlyName(QStringLiteral("Dan"));
            QFAIL("a write to a FIFO of a killed WeeChat succeeded");
        } catch (const MessengerError &error) {
            QVERIFY(error.isGone());
        }
        QTRY_COMPARE(gone.count(), 1);
        QTRY_VERIFY(label->text().contains(QLatin1String("WeeChat is no longer running")));
    }
};

int main(int argc, char *argv[])
{
    // The whole program needs an X server (scripts/with-desktop provides one); WeeChat does not.
    if (!hasDesktopWith({"weechat-headless", "ngircd", "xdotool", "/usr/bin/python3"}))
        return 77;
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    TestWeechatMessenger test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_weechatmessenger.moc"
