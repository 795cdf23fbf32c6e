// Velmira driving a real Pidgin through libpurple's D-Bus service: Pidgin runs on the test's
// own session bus and X server with a private configuration folder holding one XMPP account,
// which signs in to a prosody server of the test's own on 127.0.0.1.
#include "privatebus.h"

#include "rotation/dbus/pidginmessenger.h"
#include "rotation/rotationengine.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>

using namespace Velmira;

namespace {
const QString LongInterval = QStringLiteral("3600000");
const QString AccountName = QStringLiteral("velmira@localhost/velmira");
const QString SeededAlias = QStringLiteral("Original Alias");

bool writeFile(const QString &path, const QString &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(text.toUtf8()) == text.toUtf8().size();
}

void stopProcess(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished(5000);
    }
}
} // namespace

class TestPidginMessenger : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();

    void offline();
    void connectedRotation_data();
    void connectedRotation();

private:
    bool startProsody();
    bool startPidgin(bool offline);
    QVariant purple(const QString &method, const QVariantList &args = {});

    std::unique_ptr<PrivateBus> m_bus;
    QTemporaryDir m_serverDir;
    QProcess m_prosody;
    quint16 m_port = 0;
    std::unique_ptr<QTemporaryDir> m_pidginDir;
    QProcess m_pidgin;
};

bool TestPidginMessenger::startProsody()
{
    // A port that is free now; prosody takes it a moment later.
    {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost, 0))
            return false;
        m_port = probe.serverPort();
    }
    const QString dir = m_serverDir.path();
    QDir().mkpath(dir + QStringLiteral("/data/localhost/accounts"));
    writeFile(dir + QStringLiteral("/data/localhost/accounts/velmira.dat"),
              QStringLiteral("return {\n\t[\"password\"] = \"secret\";\n};\n"));
    // Loopback only, no server-to-server, no HTTP; plain authentication over the unencrypted
    // loopback connection, so no certificate is needed.
    writeFile(dir + QStringLiteral("/prosody.cfg.lua"), QStringLiteral(R"(run_as_root = true
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
)")
                                                            .arg(dir)
                                                            .arg(m_port));
    m_prosody.setProcessChannelMode(QProcess::ForwardedChannels);
    m_prosody.start(QStringLiteral("prosody"),
                    {QStringLiteral("--config"), dir + QStringLiteral("/prosody.cfg.lua"),
                     QStringLiteral("-F")});
    if (!m_prosody.waitForStarted(5000))
        return false;
    QDeadlineTimer deadline(20000);
    while (!deadline.hasExpired() && m_prosody.state() == QProcess::Running) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_port);
        if (socket.waitForConnected(200))
            return true;
        QThread::msleep(100);
    }
    return false;
}

bool TestPidginMessenger::startPidgin(bool offline)
{
    m_pidginDir = std::make_unique<QTemporaryDir>();
    // One XMPP account, enabled, that connects straight to the loopback server (no DNS lookup)
    // and sends its password only there.
    if (!writeFile(m_pidginDir->filePath(QStringLiteral("accounts.xml")),
                   QStringLiteral(R"(<?xml version='1.0' encoding='UTF-8' ?>
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
)")
                       .arg(AccountName, SeededAlias)
                       .arg(m_port)))
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

QVariant TestPidginMessenger::purple(const QString &method, const QVariantList &args)
{
    QDBusMessage message = QDBusMessage::createMethodCall(
        PurpleBus::ServiceName, PurpleBus::ObjectPath, PurpleBus::Interface, method);
    message.setArguments(args);
    const QDBusMessage reply = m_bus->connection().call(message, QDBus::Block, 5000);
    return reply.arguments().value(0);
}

void TestPidginMessenger::initTestCase()
{
    m_bus = std::make_unique<PrivateBus>();
    QVERIFY2(m_bus->isValid(), "the private session bus did not start");
    QVERIFY(m_serverDir.isValid());
    QVERIFY2(startProsody(), "prosody did not start listening on 127.0.0.1");
}

void TestPidginMessenger::cleanup()
{
    stopProcess(m_pidgin);
    if (m_bus)
        m_bus->waitForName(PurpleBus::ServiceName, false);
    m_pidginDir.reset();
}

void TestPidginMessenger::cleanupTestCase()
{
    stopProcess(m_prosody);
    m_bus.reset();
}

void TestPidginMessenger::offline()
{
    QVERIFY(startPidgin(true));
    PidginMessenger messenger(m_bus->connection());
    RotationEngine engine;
    engine.setMessenger(&messenger);
    QSignalSpy errors(&engine, &RotationEngine::errorOccurred);

    QCOMPARE(messenger.localState(), MessengerStateOffline);
    engine.captureOriginalName();
    QVERIFY(!engine.originalName());
    // Pidgin announces the alias it loads at start-up; that event is not the rotation's.
    QCoreApplication::processEvents();
    QSignalSpy events(&messenger, &Messenger::OnLocalFriendlyNameChangeResult);

    // The alias is local to Pidgin: writing it works offline too, and the reset does not.
    QVERIFY(engine.start(QStringLiteral("Ann\r\nBob"), LongInterval));
    engine.Velmira_Timer();
    QTRY_COMPARE(events.count(), 1);
    QCOMPARE(events.at(0).at(2).toString(), SeededAlias);
    engine.stop(1);
    QCOMPARE(errors.count(), 0);
    QCOMPARE(messenger.localFriendlyName(), QStringLiteral("Ann"));
}

void TestPidginMessenger::connectedRotation_data()
{
    QTest::addColumn<PidginMessenger::NameKind>("kind");
    QTest::addColumn<QString>("accountName");
    QTest::addColumn<QString>("protocol");

    QTest::newRow("alias, first active account")
        << PidginMessenger::NameKind::Alias << QString() << QString();
    QTest::newRow("alias, account by name")
        << PidginMessenger::NameKind::Alias << AccountName << QString();
    QTest::newRow("status message, account by name and protocol")
        << PidginMessenger::NameKind::StatusMessage << AccountName << QStringLiteral("prpl-jabber");
}

void TestPidginMessenger::connectedRotation()
{
    QFETCH(PidginMessenger::NameKind, kind);
    QFETCH(QString, accountName);
    QFETCH(QString, protocol);

    QVERIFY(startPidgin(false));
    PidginMessenger messenger(m_bus->connection(), kind, accountName, protocol);
    QTRY_COMPARE_WITH_TIMEOUT(messenger.localState(), PidginMessenger::StateConnected, 30000);

    QString original = SeededAlias;
    if (kind == PidginMessenger::NameKind::StatusMessage) {
        original = QStringLiteral("Testing");
        messenger.services()->primaryService()->setFriendlyName(original);
    }
    RotationEngine engine;
    engine.setMessenger(&messenger);
    QSignalSpy errors(&engine, &RotationEngine::errorOccurred);
    engine.captureOriginalName();
    QCOMPARE(engine.originalName().value_or(QStringLiteral("<unset>")), original);

    QCoreApplication::processEvents();
    QSignalSpy events(&messenger, &Messenger::OnLocalFriendlyNameChangeResult);
    QVERIFY(engine.start(QStringLiteral("Ann\r\nBob\r\n"), LongInterval));
    engine.Velmira_Timer();
    QCOMPARE(messenger.localFriendlyName(), QStringLiteral("Ann"));
    engine.Velmira_Timer();
    QCOMPARE(messenger.localFriendlyName(), QStringLiteral("Bob"));
    QTRY_COMPARE(events.count(), 2);
    if (kind == PidginMessenger::NameKind::Alias) {
        QCOMPARE(events.at(0).at(2).toString(), original);
        QCOMPARE(events.at(1).at(2).toString(), QStringLiteral("Ann"));
    }

    engine.stop(1);
    QCOMPARE(errors.count(), 0);
    QCOMPARE(messenger.localFriendlyName(), original);
    // The account stayed signed in throughout.
    const qint32 account = messenger.resolveAccount();
    QCOMPARE(purple(QStringLiteral("PurpleAccountIsConnected"), {account}).toInt(), 1);
}

int main(int argc, char *argv[])
{
    // Pidgin needs an X server; scripts/with-desktop provides one.
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "No DISPLAY: run under scripts/with-desktop\n");
        return 77;
    }
    for (const char *program : {"pidgin", "prosody", "dbus-daemon"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty()) {
            std::fprintf(stderr, "%s is not installed\n", program);
            return 77;
        }
    }
    QCoreApplication app(argc, argv);
    TestPidginMessenger test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_pidginmessenger.moc"
