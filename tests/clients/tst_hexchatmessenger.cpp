// Velmira driving a real HexChat (private bus, X server and configuration folder) whose one
// network auto-connects to an ngircd of the test's own on 127.0.0.1 and joins a channel, where
// an observer of the test's own (ircobserver.py) reports every NICK that crosses the wire.
#include "privatebus.h"
#include "testfiles.h"

#include "clients/hexchatmessenger.h"
#include "core/restorerecord.h"
#include "core/rotationengine.h"
#include "core/settingsstore.h"

#include <QSignalSpy>
#include <QTcpServer>
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
    return TestFiles::write(path, text.toUtf8());
}

// %1 the folder, %2 the port. Loopback only, no lookups, nicknames of at most 12 characters.
const char *const NgircdConfig = "[Global]\nName = irc.velmira.test\nInfo = test\nListen = "
                                 "127.0.0.1\nPorts = %2\nPidFile = %1/ngircd.pid\n[Limits]\n"
                                 "MaxNickLength = 12\n[Options]\nIdent = no\nPAM = no\nDNS = no\n";

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
        startProgram(m_hexchat, QStringLiteral("hexchat"), {QStringLiteral("-d"), dir});
        for (QDeadlineTimer deadline(30000); !HexchatMessenger::isRunning(m_bus->connection());) {
            QVERIFY2(!deadline.hasExpired() && m_hexchat.waitForStarted(5000),
                     "HexChat did not offer its D-Bus service");
            if (geteuid() == 0)
                QProcess::execute(QStringLiteral("xdotool"),
                                  QStringLiteral("search --onlyvisible --class hexchat key Return")
                                      .split(QLatin1Char(' ')));
            m_bus->waitForName(HexchatMessenger::ServiceName, true, 500);
        }
        HexchatMessenger probe(m_bus->connection());
        QTRY_VERIFY_WITH_TIMEOUT(seen().contains(QStringLiteral("JOIN ") + Original), 30000);
        QTRY_COMPARE_WITH_TIMEOUT(probe.localState(), MessengerStateSignedIn, 10000);
    }

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
        startProgram(m_ngircd, QStringLiteral("ngircd"),
                     {QStringLiteral("-n"), QStringLiteral("-f"), config});
        // The observer holds the nick "Taken", which the rotation below asks for.
        m_observer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        startProgram(m_observer, QStringLiteral(VELMIRA_IRC_OBSERVER),
                     {QString::number(m_port), QStringLiteral("Taken"), Channel});
        QTRY_VERIFY_WITH_TIMEOUT(seen().contains(QStringLiteral("JOIN Taken")), 30000);
        startHexchat();
    }
    void cleanupTestCase()
    {
        for (QProcess *process : {&m_hexchat, &m_observer, &m_ngircd})
            stopProcess(*process);
        m_bus.reset();
    }

    void rotation_data()
    {
        QTest::addColumn<bool>("restart");
        QTest::newRow("HexChat as found") << false;
        QTest::newRow("HexChat restarted since the client's last call") << true;
    }
    // Each name reaches the channel in order, one per tick; a tick while a change is unconfirmed
    // sends nothing; a held nick is refused, said once in plain words; Stop puts the original back.
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
        RotationEngine engine;
        QSignalSpy notices(&engine, &RotationEngine::noticeGiven);
        engine.setMessenger(&messenger);
        engine.captureOriginalName();
        QCOMPARE(engine.originalName(), std::optional(Original));
        m_seen.clear();
        // At Start, before anything is sent: no nick over NICKLEN (12 here), with a space, empty.
        QTRY_COMPARE(messenger.nickLength(), std::optional(12));
        QSignalSpy errors(&engine, &RotationEngine::errorOccurred);
        for (const QString &bad :
             {QStringLiteral("abcdefghijklm"), QStringLiteral("A B"), QString()})
            QVERIFY(!engine.start(QStringLiteral("abcdefghijkl\r\n%1\r\nAnn").arg(bad), "1"));
        for (const QList<QVariant> &error : errors)
            QVERIFY2(error.at(0).toString().contains(QStringLiteral("line 2")),
                     qPrintable(error.at(0).toString()));
        QCOMPARE(errors.count(), 3);
        QVERIFY(engine.start(QStringLiteral("Ann\r\nSkipped\r\nTaken\r\nBob\r\n"),
                             QStringLiteral("3600000")));
        const QList<qint32> results{ResultOk, HexchatMessenger::refusalCode(433), ResultOk};
        const QStringList nicks = QStringLiteral("Ann Ann Bob").split(QLatin1Char(' '));
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
                 QStringLiteral("The server refused the nickname \"Taken\": already in use."));
        engine.stop(true);
        QTRY_COMPARE_WITH_TIMEOUT(messenger.localFriendlyName(), Original, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(seen().join(u','),
                                  "NICK orignick Ann,NICK Ann Bob,NICK Bob orignick", 20000);
    }

    void wholeProgram_data()
    {
        QTest::addColumn<bool>("killed");
        QTest::newRow("closed") << false;
        QTest::newRow("killed, then started again") << true;
    }
    // velmira --messenger=hexchat rotates the nick on its timer; closing it, or starting it
    // again after it was killed, puts the original back.
    void wholeProgram()
    {
        QFETCH(bool, killed);
        QTemporaryDir home;
        const QString settings = home.filePath(QStringLiteral("Velmira/Vuzerer4.ini"));
        Settings values;
        values.interval = QStringLiteral("2500");
        values.names = QStringLiteral("Ann\r\nBob\r\n");
        QVERIFY(SettingsStore(settings).save(values).ok);
        QProcessEnvironment environment = m_bus->environment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
        QProcess velmira;
        velmira.setProcessEnvironment(environment);
        const QStringList options{QStringLiteral("--messenger=hexchat"),
                                  QStringLiteral("--hexchat-network=Loopback")};
        m_seen.clear();
        velmira.start(QStringLiteral(VELMIRA_PATH), options + QStringList{"--start-when-shown"});
        QTRY_COMPARE_WITH_TIMEOUT(seen().mid(0, 2).join(u','), "NICK orignick Ann,NICK Ann Bob",
                                  30000);
        if (killed) {
            velmira.kill();
            QVERIFY(velmira.waitForFinished());
            QVERIFY(QFile::exists(RestoreRecord::pathBeside(settings)));
            velmira.start(QStringLiteral(VELMIRA_PATH), options);
        } else {
            velmira.terminate();
        }
        QTRY_VERIFY_WITH_TIMEOUT(seen().last().endsWith(QStringLiteral(" orignick")), 30000);
        QTRY_VERIFY(!QFile::exists(RestoreRecord::pathBeside(settings)));
        velmira.kill(); // the started-again one shows what it put back in a modal box
        velmira.waitForFinished();
    }
};

int main(int argc, char *argv[])
{
    // HexChat needs an X server (scripts/with-desktop provides one) and these programs.
    if (!hasDesktopWith({"hexchat", "ngircd", "xdotool", "python3", "dbus-daemon"}))
        return 77;
    QCoreApplication app(argc, argv);
    TestHexchatMessenger test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hexchatmessenger.moc"
