// Velmira driving a real Pidgin through libpurple's D-Bus service: Pidgin runs on the test's
// own session bus and X server with a private configuration folder holding one XMPP account,
// which signs in to a prosody server of the test's own on 127.0.0.1.
#include "privatebus.h"

#include "rotation/dbus/pidginmessenger.h"
#include "rotation/rotationengine.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>

using namespace Velmira;

namespace {
const QString AccountName = QStringLiteral("velmira@localhost/velmira");
const QString SeededAlias = QStringLiteral("Original Alias");

bool writeFile(const QString &path, const QString &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) == text.toUtf8().size();
}

// Loopback only, no server-to-server, no HTTP; plain authentication over the unencrypted
// loopback connection, so no certificate is needed. %1 the folder, %2 the port.
const char *const ProsodyConfig = R"(run_as_root = true
pidfile = "%1/prosody.pid"
data_path = "%1/data"
certificates = "%1"
interfaces = { "127.0.0.1" }
local_interfaces = { "127.0.0.1" }
c2s_interfaces = { "127.0.0.1" }
c2s_ports = { %2 }
s2s_ports = { }
c2s_direct_tls_ports = { }
http_ports = { }
https_ports = { }
modules_enabled = { "roster"; "saslauth"; "disco"; "ping"; "presence"; "posix" }
modules_disabled = { "s2s"; "tls"; "offline"; "c2s_direct_tls"; "http" }
authentication = "internal_plain"
storage = "internal"
c2s_require_encryption = false
allow_unencrypted_plain_auth = true
log = { { levels = { min = "warn" }, to = "console" } }
VirtualHost "localhost"
)";

// One XMPP account, enabled, that connects straight to the loopback server (no DNS lookup) and
// sends its password only there. %1 the account, %2 its alias, %3 the port.
const char *const PidginAccounts = R"(<?xml version='1.0' encoding='UTF-8' ?>
<account version='1.0'>
 <account>
  <protocol>prpl-jabber</protocol>
  <name>%1</name>
  <password>secret</password>
  <alias>%2</alias>
  <settings>
   <setting name='connect_server' type='string'>127.0.0.1</setting>
   <setting name='port' type='int'>%3</setting>
   <setting name='connection_security' type='string'>opportunistic_tls</setting>
   <setting name='auth_plain_in_clear' type='bool'>1</setting>
   <setting name='ft_proxies' type='string'></setting>
   <setting name='bosh_url' type='string'></setting>
  </settings>
  <settings ui='gtk-gaim'>
   <setting name='auto-login' type='bool'>1</setting>
  </settings>
 </account>
</account>
)";
} // namespace

class TestPidginMessenger : public QObject
{
    Q_OBJECT

    std::unique_ptr<PrivateBus> m_bus;
    QTemporaryDir m_serverDir;
    QProcess m_prosody;
    quint16 m_port = 0;
    std::unique_ptr<QTemporaryDir> m_pidginDir;
    QProcess m_pidgin;

    bool startProsody()
    {
        { // A port that is free now; prosody takes it a moment later.
            QTcpServer probe;
            if (!probe.listen(QHostAddress::LocalHost, 0))
                return false;
            m_port = probe.serverPort();
        }
        const QString dir = m_serverDir.path();
        const QString config = dir + QStringLiteral("/prosody.cfg.lua");
        QDir().mkpath(dir + QStringLiteral("/data/localhost/accounts"));
        if (!writeFile(dir + QStringLiteral("/data/localhost/accounts/velmira.dat"),
                       QStringLiteral("return {\n\t[\"password\"] = \"secret\";\n};\n")) ||
            !writeFile(config, QString::fromUtf8(ProsodyConfig).arg(dir).arg(m_port)))
            return false;
        m_prosody.setProcessChannelMode(QProcess::ForwardedChannels);
        m_prosody.start(QStringLiteral("prosody"),
                        {QStringLiteral("--config"), config, QStringLiteral("-F")});
        for (QDeadlineTimer deadline(20000);
             !deadline.hasExpired() && m_prosody.waitForStarted(5000); QThread::msleep(100)) {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, m_port);
            if (socket.waitForConnected(200))
                return true;
        }
        return false;
    }

    bool startPidgin(bool offline)
    {
        m_pidginDir = std::make_unique<QTemporaryDir>();
        if (!writeFile(m_pidginDir->filePath(QStringLiteral("accounts.xml")),
                       QString::fromUtf8(PidginAccounts).arg(AccountName, SeededAlias).arg(m_port)))
            return false;
        QStringList arguments{QStringLiteral("-c"), m_pidginDir->path()};
        if (offline)
            arguments << QStringLiteral("-n");
        m_pidgin.setProcessEnvironment(m_bus->environment());
        m_pidgin.setProcessChannelMode(QProcess::MergedChannels);
        m_pidgin.setStandardOutputFile(m_pidginDir->filePath(QStringLiteral("pidgin.log")));
        m_pidgin.start(QStringLiteral("pidgin"), arguments);
        return m_pidgin.waitForStarted(10000) &&
               m_bus->waitForName(PurpleBus::ServiceName, true, 30000);
    }

private slots:
    void initTestCase()
    {
        m_bus = std::make_unique<PrivateBus>();
        QVERIFY2(m_bus->isValid(), "the private session bus did not start");
        QVERIFY(m_serverDir.isValid());
        QVERIFY2(startProsody(), "prosody did not start listening on 127.0.0.1");
    }
    void cleanup()
    {
        stopProcess(m_pidgin);
        m_bus->waitForName(PurpleBus::ServiceName, false);
        m_pidginDir.reset();
    }
    void cleanupTestCase()
    {
        stopProcess(m_prosody);
        m_bus.reset();
    }

    void rotation_data()
    {
        QTest::addColumn<bool>("offline");
        QTest::addColumn<PidginMessenger::NameKind>("kind");
        QTest::addColumn<QString>("accountName");
        QTest::addColumn<QString>("protocol");
        const auto alias = PidginMessenger::NameKind::Alias;
        QTest::newRow("offline") << true << alias << QString() << QString();
        QTest::newRow("alias, first active account") << false << alias << QString() << QString();
        QTest::newRow("alias, account by name") << false << alias << AccountName << QString();
        QTest::newRow("status message, account by name and protocol")
            << false << PidginMessenger::NameKind::StatusMessage << AccountName
            << QStringLiteral("prpl-jabber");
    }
    // Offline (started with -n) the state test fails: nothing is captured and Stop puts nothing
    // back, though the alias, local to Pidgin, is still written. Signed in to the loopback
    // server, the original name is captured, the rotation writes it and Stop puts it back.
    void rotation()
    {
        QFETCH(bool, offline);
        QFETCH(PidginMessenger::NameKind, kind);
        QFETCH(QString, accountName);
        QFETCH(QString, protocol);
        QVERIFY(startPidgin(offline));
        PidginMessenger messenger(m_bus->connection(), kind, accountName, protocol);
        QTRY_COMPARE_WITH_TIMEOUT(messenger.localState(),
                                  offline ? MessengerStateOffline : PidginMessenger::StateConnected,
                                  30000);
        QString original = SeededAlias;
        if (kind == PidginMessenger::NameKind::StatusMessage) {
            original = QStringLiteral("Testing");
            messenger.services()->primaryService()->setFriendlyName(original);
        }
        RotationEngine engine;
        engine.setMessenger(&messenger);
        QSignalSpy errors(&engine, &RotationEngine::errorOccurred);
        engine.captureOriginalName();
        QCOMPARE(engine.originalName(), offline ? std::nullopt : std::optional(original));

        // Pidgin announces the alias it loads at start-up; that event is not the rotation's.
        QCoreApplication::processEvents();
        QSignalSpy events(&messenger, &Messenger::OnLocalFriendlyNameChangeResult);
        QVERIFY(engine.start(QStringLiteral("Ann\r\nBob\r\n"), QStringLiteral("3600000")));
        for (const QString &name : {QStringLiteral("Ann"), QStringLiteral("Bob")}) {
            engine.tick();
            QCOMPARE(messenger.localFriendlyName(), name);
        }
        QTRY_COMPARE(events.count(), 2);
        if (kind == PidginMessenger::NameKind::Alias) {
            QCOMPARE(events.at(0).at(2).toString(), original);
            QCOMPARE(events.at(1).at(2).toString(), QStringLiteral("Ann"));
        }
        engine.stop(true);
        QCOMPARE(errors.count(), 0);
        QCOMPARE(messenger.localFriendlyName(), offline ? QStringLiteral("Bob") : original);
        if (offline)
            return;
        // The account stayed signed in throughout.
        QDBusMessage call = QDBusMessage::createMethodCall(
            PurpleBus::ServiceName, PurpleBus::ObjectPath, PurpleBus::Interface,
            QStringLiteral("PurpleAccountIsConnected"));
        call.setArguments({messenger.resolveAccount()});
        QCOMPARE(m_bus->connection().call(call).arguments().value(0).toInt(), 1);
    }
};

int main(int argc, char *argv[])
{
    // Pidgin needs an X server (scripts/with-desktop provides one) and the three programs.
    for (const char *program : {"pidgin", "prosody", "dbus-daemon"}) {
        if (qEnvironmentVariableIsEmpty("DISPLAY") ||
            QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty()) {
            std::fprintf(stderr, "Needs a DISPLAY and %s: run under scripts/with-desktop\n",
                         program);
            return 77;
        }
    }
    QCoreApplication app(argc, argv);
    TestPidginMessenger test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_pidginmessenger.moc"
