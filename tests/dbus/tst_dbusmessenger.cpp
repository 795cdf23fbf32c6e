// Velmira driving the velmira-messenger reference client, a separate process, over a private
// session bus: the start-up capture, the rotation and its reset, the change event, and clients
// that fail, hang or quit.
#include "privatebus.h"

#include "rotation/builtinmessenger.h"
#include "rotation/dbus/dbusmessenger.h"
#include "rotation/dbus/messengerchoice.h"
#include "rotation/dbus/pidginmessenger.h"
#include "rotation/messengerops.h"
#include "rotation/rotationengine.h"

#include <QDBusConnectionInterface>
#include <QSignalSpy>
#include <QtTest>

using namespace Velmira;

namespace {
// Far longer than any test: ticks are driven by hand, never by the timer.
const QString LongInterval = QStringLiteral("3600000");
} // namespace

class TestDBusMessenger : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void startupCapture_data();
    void startupCapture();
    void rotationAndReset_data();
    void rotationAndReset();
    void changeEventCarriesTheWrite();
    void failingClient_data();
    void failingClient();
    void clientComesBackAfterRestart();

    void choice_data();
    void choice();

private:
    std::unique_ptr<PrivateBus> m_bus;
};

void TestDBusMessenger::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
        QSKIP("dbus-daemon is not installed");
    m_bus = std::make_unique<PrivateBus>();
    QVERIFY2(m_bus->isValid(), "the private session bus did not start");
}

void TestDBusMessenger::startupCapture_data()
{
    QTest::addColumn<QString>("states");
    QTest::addColumn<bool>("captured");

    QTest::newRow("signed in") << "2" << true;
    QTest::newRow("offline") << "1,2" << false;
    QTest::newRow("connecting at the second reading") << "2,512" << false;
    QTest::newRow("connecting, then signed in") << "512,2" << true;
}

void TestDBusMessenger::startupCapture()
{
    QFETCH(QString, states);
    QFETCH(bool, captured);

    ReferenceClientProcess client(
        *m_bus, {QStringLiteral("--name=Zed"), QStringLiteral("--state=") + states});
    QVERIFY(client.isServing());
    DBusMessenger messenger(m_bus->connection());
    RotationEngine engine;
    engine.setMessenger(&messenger);
    QSignalSpy errors(&engine, &RotationEngine::errorOccurred);

    engine.captureOriginalName();

    QCOMPARE(errors.count(), 0);
    QCOMPARE(engine.originalName().has_value(), captured);
    if (captured) {
        QCOMPARE(*engine.originalName(), QStringLiteral("Zed"));
        QTRY_VERIFY(client.lines().contains(QStringLiteral("FriendlyName -> \"Zed\"")));
    }
}

void TestDBusMessenger::rotationAndReset_data()
{
    QTest::addColumn<int>("resetOption");
    QTest::addColumn<QString>("nameAfterStop");

    QTest::newRow("reset") << 1 << "Zed";
    QTest::newRow("no reset") << 0 << "Ann";
}

void TestDBusMessenger::rotationAndReset()
{
    QFETCH(int, resetOption);
    QFETCH(QString, nameAfterStop);

    ReferenceClientProcess client(*m_bus, {QStringLiteral("--name=Zed")});
    QVERIFY(client.isServing());
    DBusMessenger messenger(m_bus->connection());
    RotationEngine engine;
    engine.setMessenger(&messenger);
    QSignalSpy errors(&engine, &RotationEngine::errorOccurred);

    engine.captureOriginalName();
    QVERIFY(engine.start(QStringLiteral("Ann\r\nBob \"the\" builder\r\n"), LongInterval));
    for (int tick = 0; tick < 3; ++tick)
        engine.Velmira_Timer();
    QCOMPARE(messenger.localFriendlyName(), QStringLiteral("Ann"));
    engine.stop(resetOption);

    QCOMPARE(errors.count(), 0);
    QCOMPARE(messenger.localFriendlyName(), nameAfterStop);
    QStringList writes;
    QTRY_VERIFY((writes = client.lines().filter(QStringLiteral("SetFriendlyName"))).size() ==
                (resetOption == 1 ? 4 : 3));
    QCOMPARE(writes.at(1), QStringLiteral("SetFriendlyName(\"Bob \\\"the\\\" builder\")"));
    if (resetOption == 1)
        QCOMPARE(writes.last(), QStringLiteral("SetFriendlyName(\"Zed\")"));
}

void TestDBusMessenger::changeEventCarriesTheWrite()
{
    ReferenceClientProcess client(
        *m_bus, {QStringLiteral("--name=Zed"), QStringLiteral("--event-result=-5")});
    QVERIFY(client.isServing());
    DBusMessenger messenger(m_bus->connection());
    QSignalSpy events(&messenger, &Messenger::OnLocalFriendlyNameChangeResult);

    MessengerOps::writeDisplayName(messenger, QStringLiteral("Ann"));
    MessengerOps::writeDisplayName(messenger, QString());

    QTRY_COMPARE(events.count(), 2);
    QCOMPARE(events.at(0).at(0).toInt(), -5);
    QCOMPARE(events.at(0).at(1).toString(),
             QStringLiteral("/org/velmira/Messenger/Services/Primary"));
    QCOMPARE(events.at(0).at(2).toString(), QStringLiteral("Zed"));
    QCOMPARE(events.at(1).at(2).toString(), QStringLiteral("Ann"));
    QCOMPARE(messenger.localFriendlyName(), QString());
}

void TestDBusMessenger::failingClient_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("goodTicks");
    QTest::addColumn<QString>("reported");

    QTest::newRow("refuses a write")
        << QStringList{QStringLiteral("--fail=SetFriendlyName")} << 0
        << "org.velmira.Messenger1.Error.Failed: SetFriendlyName refused (0x80004005)";
    QTest::newRow("refuses the primary service")
        << QStringList{QStringLiteral("--fail=PrimaryService:1")} << 0
        << "org.velmira.Messenger1.Error.Failed: PrimaryService refused";
    QTest::newRow("hangs in a write") << QStringList{QStringLiteral("--hang=SetFriendlyName")} << 0
                                      << "org.freedesktop.DBus.Error.NoReply";
    QTest::newRow("quits mid-rotation") << QStringList{QStringLiteral("--quit-after=2")} << 2
                                        << "org.freedesktop.DBus.Error.ServiceUnknown";
}

void TestDBusMessenger::failingClient()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, goodTicks);
    QFETCH(QString, reported);

    ReferenceClientProcess client(*m_bus, arguments);
    QVERIFY(client.isServing());
    DBusMessenger messenger(m_bus->connection());
    RotationEngine engine;
    engine.setMessenger(&messenger);
    QSignalSpy errors(&engine, &RotationEngine::errorOccurred);

    QVERIFY(engine.start(QStringLiteral("Ann\r\nBob\r\nCid\r\n"), LongInterval));
    for (int tick = 0; tick < goodTicks; ++tick)
        engine.Velmira_Timer();
    QCOMPARE(errors.count(), 0);
    if (arguments.constFirst().startsWith(QLatin1String("--quit-after")))
        QVERIFY(m_bus->waitForName(MessengerBus::ServiceName, false));

    engine.Velmira_Timer();

    QCOMPARE(errors.count(), 1);
    QVERIFY2(errors.at(0).at(0).toString().contains(reported),
             qPrintable(errors.at(0).at(0).toString()));
    QCOMPARE(engine.state(), RotationEngine::State::Idle);
    QVERIFY(!engine.timer().isActive());
}

void TestDBusMessenger::clientComesBackAfterRestart()
{
    DBusMessenger messenger(m_bus->connection());
    QSignalSpy events(&messenger, &Messenger::OnLocalFriendlyNameChangeResult);
    {
        ReferenceClientProcess first(*m_bus, {QStringLiteral("--name=One")});
        QVERIFY(first.isServing());
        QCOMPARE(messenger.localFriendlyName(), QStringLiteral("One"));
    }
    QVERIFY(m_bus->waitForName(MessengerBus::ServiceName, false));
    QVERIFY_THROWS_EXCEPTION(MessengerError, messenger.localState());

    ReferenceClientProcess second(*m_bus, {QStringLiteral("--name=Two")});
    QVERIFY(second.isServing());
    MessengerOps::writeDisplayName(messenger, QStringLiteral("Ann"));
    QTRY_COMPARE(events.count(), 1);
    QCOMPARE(events.at(0).at(2).toString(), QStringLiteral("Two"));
}

void TestDBusMessenger::choice_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("running"); // "", "client" or "pidgin"
    QTest::addColumn<QString>("created"); // class name, or "" when it must throw

    const QStringList none;
    const QStringList builtin{QStringLiteral("--messenger=builtin")};
    const QStringList dbus{QStringLiteral("--messenger=dbus")};
    const QStringList pidgin{QStringLiteral("--messenger=pidgin")};
    QTest::newRow("auto, nothing running") << none << ""
                                           << "Velmira::BuiltinMessenger";
    QTest::newRow("auto, a client running") << none << "client"
                                            << "Velmira::DBusMessenger";
    QTest::newRow("auto, Pidgin running") << none << "pidgin"
                                          << "Velmira::PidginMessenger";
    QTest::newRow("builtin, a client running") << builtin << "client"
                                               << "Velmira::BuiltinMessenger";
    QTest::newRow("dbus, running") << dbus << "client"
                                   << "Velmira::DBusMessenger";
    QTest::newRow("dbus, not running") << dbus << ""
                                       << "";
    QTest::newRow("pidgin, not running") << pidgin << "client"
                                         << "";
    QTest::newRow("pidgin, status message")
        << QStringList{QStringLiteral("--messenger=pidgin"), QStringLiteral("--pidgin-name=status")}
        << "pidgin"
        << "Velmira::PidginMessenger";
    QTest::newRow("pidgin, unknown name kind")
        << QStringList{QStringLiteral("--messenger=pidgin"), QStringLiteral("--pidgin-name=nick")}
        << "pidgin"
        << "";
    QTest::newRow("unknown client") << QStringList{QStringLiteral("--messenger=msn")} << ""
                                    << "";
}

void TestDBusMessenger::choice()
{
    QFETCH(QStringList, options);
    QFETCH(QString, running);
    QFETCH(QString, created);

    std::unique_ptr<ReferenceClientProcess> client;
    // Any program owning libpurple's bus name counts as a running Pidgin for the choice.
    PrivateBus *bus = m_bus.get();
    const QString pidginOwner = QStringLiteral("velmira-test-fake-purple");
    QDBusConnection purple = QDBusConnection::connectToBus(bus->address(), pidginOwner);
    const auto cleanup = qScopeGuard([&] {
        purple.interface()->unregisterService(PurpleBus::ServiceName);
        QDBusConnection::disconnectFromBus(pidginOwner);
    });
    if (running == QLatin1String("client")) {
        client = std::make_unique<ReferenceClientProcess>(*bus, QStringList());
        QVERIFY(client->isServing());
    } else if (running == QLatin1String("pidgin")) {
        QVERIFY(purple.registerService(PurpleBus::ServiceName));
    }

    QCommandLineParser parser;
    addMessengerOptions(parser);
    QVERIFY(parser.parse(QStringList{QStringLiteral("velmira")} + options));
    QString description;
    if (created.isEmpty()) {
        QVERIFY_THROWS_EXCEPTION(MessengerError,
                                 createMessenger(parser, &description, bus->connection()));
        return;
    }
    const std::unique_ptr<Messenger> messenger =
        createMessenger(parser, &description, bus->connection());
    QVERIFY(messenger);
    QCOMPARE(QString::fromLatin1(messenger->metaObject()->className()), created);
    QVERIFY(description.startsWith(QLatin1String("Messenger client: ")));
    if (auto *pidginMessenger = qobject_cast<PidginMessenger *>(messenger.get()))
        QCOMPARE(pidginMessenger->nameKind(),
                 options.contains(QStringLiteral("--pidgin-name=status"))
                     ? PidginMessenger::NameKind::StatusMessage
                     : PidginMessenger::NameKind::Alias);
}

QTEST_GUILESS_MAIN(TestDBusMessenger)
#include "tst_dbusmessenger.moc"
