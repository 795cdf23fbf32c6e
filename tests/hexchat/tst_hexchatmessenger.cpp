// Velmira driving a real HexChat through its D-Bus service: HexChat runs on the test's own
// session bus and X server with a private configuration folder whose one network auto-connects
// to an ngircd of the test's own on 127.0.0.1 and joins a channel, where an observer of the
// test's own (ircobserver.py) reports every NICK that crosses the wire.
#include "privatebus.h"

#include "rotation/dbus/hexchatmessenger.h"
#include "rotation/rotationengine.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>
#include <unistd.h>

using namespace Velmira;

namespace {
const QString Original = QStringLiteral("orignick");
const QString Channel = QStringLiteral("#velmira");

bool writeFile(const QString &path, const QString &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) == text.toUtf8().size();
}

// %1 the folder, %2 the port. Loopback only, no lookups, nicknames of at most 12 characters.
const char *const NgircdConfig = R"([Global]
Name = irc.velmira.test
Info = Velmira test server
Listen = 127.0.0.1
Ports = %2
PidFile = %1/ngircd.pid
MotdPhrase = test
[Limits]
MaxNickLength = 12
[Options]
Ident = no
PAM = no
DNS = no
)";

// One network (flags 27: cycle, global user, auto-connect) joining the channel; no network list,
// join dialog or tray icon at start. %1 the port, %2 the nick, %3 the channel.
const char *const Servlist = "v=2.16.1\n\nN=Loopback\nI=%2\nU=velmira\nR=Velmira\nJ=%3\n"
                             "E=UTF-8 (Unicode)\nF=27\nD=0\nS=127.0.0.1/%1\n\n";
const char *const HexchatConf = "version = 2.16.1\ngui_slist_skip = 1\ngui_join_dialog = 0\n"
                                "gui_tray = 0\nirc_nick1 = %1\nirc_user_name = velmira\n";
} // namespace

class TestHexchatMessenger : public QObject
{
    Q_OBJECT

    std::unique_ptr<PrivateBus> m_bus;
    QTemporaryDir m_dir;
    QProcess m_ngircd, m_observer, m_hexchat;
    quint16 m_port = 0;
    QStringList m_seen; // the observer's lines

    QStringList seen()
    {
        while (m_observer.canReadLine())
            m_seen << QString::fromUtf8(m_observer.readLine()).trimmed();
        return m_seen;
    }
    void startProgram(QProcess &process, const QString &program, const QStringList &arguments)
    {
        process.setProcessEnvironment(m_bus->environment());
        process.start(program, arguments);
    }
    // HexChat under the private desktop, signed in and in the channel. As root it first shows a
    // modal warning box, which holds back its D-Bus service until it is dismissed.
    void startHexchat()
    {
        const QString dir = m_dir.filePath(QStringLiteral("hexchat"));
        QDir().mkpath(dir);
        QVERIFY(writeFile(dir + QStringLiteral("/servlist.conf"),
                          QString::fromUtf8(Servlist).arg(m_port).arg(Original, Channel)));
        QVERIFY(writeFile(dir + QStringLiteral("/hexchat.conf"),
                          QString::fromUtf8(HexchatConf).arg(Original)));
        m_hexchat.setStandardOutputFile(dir + QStringLiteral("/output.log"));
        startProgram(m_hexchat, QStringLiteral("hexchat"), {QStringLiteral("-d"), dir});
        for (QDeadlineTimer deadline(30000); !HexchatMessenger::isRunning(m_bus->connection());) {
            QVERIFY2(!deadline.hasExpired() && m_hexchat.waitForStarted(5000),
                     "HexChat did not offer its D-Bus service");
            if (geteuid() == 0)
                QProcess::execute(QStringLiteral("xdotool"),
                                  {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                   QStringLiteral("--class"), QStringLiteral("hexchat"),
                                   QStringLiteral("key"), QStringLiteral("Return")});
            m_bus->waitForName(HexchatBus::ServiceName, true, 500);
        }
        HexchatMessenger probe(m_bus->connection());
        QTRY_VERIFY_WITH_TIMEOUT(seen().contains(QStringLiteral("JOIN ") + Original), 30000);
        QTRY_COMPARE_WITH_TIMEOUT(probe.localState(), HexchatMessenger::StateConnected, 10000);
    }
    void say(const QString &line) { m_observer.write((line + QLatin1Char('\n')).toUtf8()); }

private slots:
    void initTestCase()
    {
        m_bus = std::make_unique<PrivateBus>();
        QVERIFY2(m_bus->isValid(), "the private session bus did not start");
        { // A port that is free now; ngircd takes it a moment later.
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            m_port = probe.serverPort();
        }
        const QString config = m_dir.filePath(QStringLiteral("ngircd.conf"));
        QVERIFY(writeFile(config, QString::fromUtf8(NgircdConfig).arg(m_dir.path()).arg(m_port)));
        m_ngircd.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        startProgram(m_ngircd, QStringLiteral("ngircd"),
                     {QStringLiteral("-n"), QStringLiteral("-f"), config});
        QTRY_VERIFY_WITH_TIMEOUT(
            [this] {
                QTcpSocket socket;
                socket.connectToHost(QHostAddress::LocalHost, m_port);
                return socket.waitForConnected(200);
            }(),
            20000);
        m_observer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        startProgram(m_observer, QStringLiteral(VELMIRA_IRC_OBSERVER),
                     {QString::number(m_port), QStringLiteral("watcher"), Channel});
        QTRY_VERIFY_WITH_TIMEOUT(seen().contains(QStringLiteral("JOIN watcher")), 20000);
        say(QStringLiteral("NICK Taken"));
        QTRY_VERIFY(seen().contains(QStringLiteral("NICK watcher Taken")));
        startHexchat();
    }
    void cleanupTestCase()
    {
        for (QProcess *process : {&m_hexchat, &m_observer, &m_ngircd})
            stopProcess(*process);
        m_bus.reset();
    }

    void checkName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::newRow("plain") << QStringLiteral("Ann") << true;
        QTest::newRow("at NICKLEN") << QStringLiteral("abcdefghijkl") << true;
        QTest::newRow("over NICKLEN") << QStringLiteral("abcdefghijklm") << false;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("space") << QStringLiteral("Ann B") << false;
    }
    // The network's NICKLEN (12 here) comes from its ISUPPORT reply.
    void checkName()
    {
        QFETCH(QString, name);
        QFETCH(bool, valid);
        HexchatMessenger messenger(m_bus->connection());
        QCOMPARE(messenger.localFriendlyName(), Original);
        QTRY_COMPARE(messenger.nickLength(), std::optional(12));
        QCOMPARE(!messenger.checkName(name).has_value(), valid);
    }

    void rotation_data()
    {
        QTest::addColumn<bool>("restart");
        QTest::newRow("HexChat as found") << false;
        QTest::newRow("HexChat restarted since the client's last call") << true;
    }
    // Each name reaches the channel in order, one per tick; a tick while a change is unconfirmed
    // sends nothing; a nick the observer holds is refused and said once in plain words while the
    // rotation goes on; Stop puts the original back.
    void rotation()
    {
        QFETCH(bool, restart);
        HexchatMessenger messenger(m_bus->connection(), QStringLiteral("Loopback"));
        QCOMPARE(messenger.localFriendlyName(), Original);
        if (restart) {
            m_seen.clear();
            stopProcess(m_hexchat);
            // The server lets the nick go once it has seen the connection end.
            QTRY_VERIFY_WITH_TIMEOUT(seen().contains(QStringLiteral("QUIT ") + Original), 20000);
            startHexchat();
            if (QTest::currentTestFailed())
                return;
        }
        QSignalSpy events(&messenger, &Messenger::OnLocalFriendlyNameChangeResult);
        QSignalSpy notices(&messenger, &HexchatMessenger::noticeForUser);
        RotationEngine engine;
        engine.setMessenger(&messenger);
        engine.captureOriginalName();
        QCOMPARE(engine.originalName(), std::optional(Original));
        m_seen.clear();

        QVERIFY(engine.start(QStringLiteral("Ann\r\nSkipped\r\nTaken\r\nBob\r\n"),
                             QStringLiteral("3600000")));
        const QList<qint32> results{ResultOk, HexchatMessenger::refusalCode(433), ResultOk};
        const QStringList nicks{QStringLiteral("Ann"), QStringLiteral("Ann"),
                                QStringLiteral("Bob")};
        for (int i = 0; i < int(results.size()); ++i) {
            engine.tick();
            if (i == 0)
                engine.tick(); // Ann is unconfirmed: Skipped is not sent
            QTRY_COMPARE_WITH_TIMEOUT(events.count(), i + 1, 20000);
            QCOMPARE(events.at(i).at(0).toInt(), results.at(i));
            QCOMPARE(messenger.localFriendlyName(), nicks.at(i));
        }
        QCOMPARE(notices.count(), 2);
        QCOMPARE(notices.at(1).at(0).toString(),
                 QStringLiteral("the server refused the nickname \"Taken\": already in use"));
        engine.stop(true);
        QTRY_COMPARE_WITH_TIMEOUT(messenger.localFriendlyName(), Original, 20000);
        const QStringList expected{QStringLiteral("NICK orignick Ann"),
                                   QStringLiteral("NICK Ann Bob"),
                                   QStringLiteral("NICK Bob orignick")};
        QTRY_COMPARE_WITH_TIMEOUT(seen(), expected, 20000);
    }
};

int main(int argc, char *argv[])
{
    // HexChat needs an X server (scripts/with-desktop provides one) and the programs.
    for (const char *program : {"hexchat", "ngircd", "xdotool", "python3", "dbus-daemon"}) {
        if (qEnvironmentVariableIsEmpty("DISPLAY") ||
            QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty()) {
            std::fprintf(stderr, "Needs a DISPLAY and %s: run under scripts/with-desktop\n",
                         program);
            return 77;
        }
    }
    QCoreApplication app(argc, argv);
    TestHexchatMessenger test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hexchatmessenger.moc"
