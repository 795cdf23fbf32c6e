// Velmira driving the velmira-messenger reference client, a separate process, over a private
// session bus: the start-up capture, the rotation and its reset, the change event up to Label1,
// clients that fail, hang, quit or restart, and the choice of client.
#include "privatebus.h"

#include "persistence/settingsstore.h"
#include "rotation/builtinmessenger.h"
#include "rotation/dbus/dbusmessenger.h"
#include "rotation/dbus/messengerchoice.h"
#include "rotation/dbus/pidginmessenger.h"
#include "rotation/messengerops.h"
#include "rotation/rotationengine.h"
#include "windows/frmmain.h"
#include "windows/messageboxes.h"

#include <QAbstractButton>
#include <QDBusConnectionInterface>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace Velmira;

namespace {
// Far longer than any test: ticks are driven by hand, never by the timer.
const QString LongInterval = QStringLiteral("3600000");

// A reference client with Velmira's engine on it.
struct Rig
{
    Rig(const PrivateBus &bus, const QStringList &arguments)
        : client(bus, arguments), messenger(bus.connection())
    {
        engine.setMessenger(&messenger);
    }
    ReferenceClientProcess client;
    DBusMessenger messenger;
    RotationEngine engine;
    QSignalSpy errors{&engine, &RotationEngine::errorOccurred};
};

// Keeps the errors the window reports instead of showing a box.
struct CapturingMessageBoxes : MessageBoxes
{
    void error(QWidget *, const QString &text) override { errors << text; }
    QStringList errors;
};
} // namespace

class TestDBusMessenger : public QObject
{
    Q_OBJECT
    std::unique_ptr<PrivateBus> m_bus;

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("dbus-daemon")).isEmpty())
            QSKIP("dbus-daemon is not installed");
        m_bus = std::make_unique<PrivateBus>();
        QVERIFY2(m_bus->isValid(), "the private session bus did not start");
    }

    void rotation_data()
    {
        QTest::addColumn<QString>("states");
        QTest::addColumn<bool>("reset");
        QTest::addColumn<QString>("original"); // "": not captured
        QTest::newRow("signed in, reset") << "2" << true << "Zed";
        QTest::newRow("signed in, no reset") << "2" << false << "Zed";
        QTest::newRow("offline") << "1,2" << true << "";
        QTest::newRow("connecting at the second reading") << "2,512" << true << "";
        QTest::newRow("connecting, then signed in") << "512,2" << true << "Zed";
    }
    // The start-up capture, three ticks over two names, and Stop with or without the reset.
    void rotation()
    {
        QFETCH(QString, states);
        QFETCH(bool, reset);
        QFETCH(QString, original);
        Rig rig(*m_bus, {QStringLiteral("--name=Zed"), QStringLiteral("--state=") + states});
        QVERIFY(rig.client.isServing());

        rig.engine.captureOriginalName();
        QCOMPARE(rig.engine.originalName().value_or(QString()), original);
        QVERIFY(rig.engine.start(QStringLiteral("Ann\r\nBob \"the\" builder\r\n"), LongInterval));
        for (int tick = 0; tick < 3; ++tick)
            rig.engine.tick();
        QCOMPARE(rig.messenger.localFriendlyName(), QStringLiteral("Ann"));
        rig.engine.stop(reset);

        QCOMPARE(rig.errors.count(), 0);
        reset = reset && !original.isEmpty();
        QCOMPARE(rig.messenger.localFriendlyName(), reset ? original : QStringLiteral("Ann"));
        QStringList writes;
        QTRY_COMPARE((writes = rig.client.lines().filter(QStringLiteral("SetFriendlyName"))).size(),
                     reset ? 4 : 3);
        QCOMPARE(writes.at(1), QStringLiteral("SetFriendlyName(\"Bob \\\"the\\\" builder\")"));
    }

    void changeEventReachesLabel_data()
    {
        QTest::addColumn<int>("eventResult");
        QTest::newRow("the write succeeded") << 0;
        QTest::newRow("the client reports a failure") << -2147467259;
    }
    // The event carries the client's result and the previous name; Label1 then shows the name
    // the client reports, whatever the result.
    void changeEventReachesLabel()
    {
        QFETCH(int, eventResult);
        ReferenceClientProcess client(
            *m_bus,
            {QStringLiteral("--name=Zed"), QStringLiteral("--event-result=%1").arg(eventResult)});
        QVERIFY(client.isServing());
        QTemporaryDir dir;
        SettingsStore settings(dir.filePath(QStringLiteral("Vuzerer4.ini")));
        CapturingMessageBoxes boxes;
        auto messenger = std::make_unique<DBusMessenger>(m_bus->connection());
        QSignalSpy events(messenger.get(), &Messenger::OnLocalFriendlyNameChangeResult);
        frmMain window([&messenger] { return std::move(messenger); }, &boxes);
        window.setSettingsStore(&settings);
        QVERIFY(window.Form_Load());
        QCOMPARE(window.engine().originalName(), QStringLiteral("Zed"));

        QVERIFY(window.engine().start(QStringLiteral("Ann\r\n\r\nBob"), LongInterval));
        for (const QString &name : {QStringLiteral("Ann"), QString(), QStringLiteral("Bob")}) {
            window.engine().tick();
            QTRY_COMPARE(window.Label1->text(), name);
        }
        QCOMPARE(events.count(), 3);
        QCOMPARE(
            events.at(0),
            QVariantList({eventResult, QStringLiteral("/org/velmira/Messenger/Services/Primary"),
                          QStringLiteral("Zed")}));
        QCOMPARE(events.at(2).at(2).toString(), QString());
        QVERIFY2(boxes.errors.isEmpty(), qPrintable(boxes.errors.join(u'\n')));
        window.engine().stop(false);
    }

    void failingClient_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<int>("goodTicks");
        QTest::addColumn<QString>("reported");
        QTest::newRow("refuses a write")
            << "--fail=SetFriendlyName" << 0
            << "org.velmira.Messenger1.Error.Failed: SetFriendlyName refused (0x80004005)";
        QTest::newRow("refuses the primary service")
            << "--fail=PrimaryService:1" << 0
            << "org.velmira.Messenger1.Error.Failed: PrimaryService refused";
        QTest::newRow("hangs in a write")
            << "--hang=SetFriendlyName" << 0 << "org.freedesktop.DBus.Error.NoReply";
        QTest::newRow("quits mid-rotation")
            << "--quit-after=2" << 2 << "org.freedesktop.DBus.Error.ServiceUnknown";
    }
    // The failing tick stops the rotation and reports the client's error once.
    void failingClient()
    {
        QFETCH(QString, argument);
        QFETCH(int, goodTicks);
        QFETCH(QString, reported);
        Rig rig(*m_bus, {argument});
        QVERIFY(rig.client.isServing());

        QVERIFY(rig.engine.start(QStringLiteral("Ann\r\nBob\r\nCid\r\n"), LongInterval));
        for (int tick = 0; tick < goodTicks; ++tick)
            rig.engine.tick();
        QCOMPARE(rig.errors.count(), 0);
        if (goodTicks > 0)
            QVERIFY(m_bus->waitForName(MessengerBus::ServiceName, false));
        rig.engine.tick();

        QCOMPARE(rig.errors.count(), 1);
        const QString error = rig.errors.at(0).at(0).toString();
        QVERIFY2(error.contains(reported), qPrintable(error));
        QCOMPARE(rig.engine.state(), RotationEngine::State::Idle);
        QVERIFY(!rig.engine.timer().isActive());
    }

    void lateBinding_data()
    {
        QTest::addColumn<bool>("running");
        QTest::newRow("Idle: bound at once") << false;
        QTest::newRow("Running: bound at the next Start") << true;
    }
    // Velmira started before any client takes one that starts later, and takes it again when it
    // quits and comes back, capturing the name in force each time; its events reach Label1.
    void lateBinding()
    {
        QFETCH(bool, running);
        auto parser = std::make_shared<QCommandLineParser>();
        addMessengerOptions(*parser);
        QVERIFY(parser->parse({QStringLiteral("velmira")}));
        QTemporaryDir dir;
        SettingsStore settings(dir.filePath(QStringLiteral("Vuzerer4.ini")));
        CapturingMessageBoxes boxes;
        frmMain window([&] { return createMessenger(*parser, nullptr, m_bus->connection()); },
                       &boxes);
        window.setSettingsStore(&settings);
        MessengerWatcher watcher(parser, m_bus->connection());
        watcher.setBinder(
            [&](std::unique_ptr<Messenger> client) { window.bindMessenger(std::move(client)); });
        QSignalSpy appeared(&watcher, &MessengerWatcher::clientAppeared);
        QVERIFY(window.Form_Load());
        QVERIFY(qobject_cast<BuiltinMessenger *>(window.messenger()));
        for (const char *name : {"One", "Two"}) {
            if (running)
                QVERIFY(window.engine().start(QStringLiteral("Ann\r\n"), LongInterval));
            ReferenceClientProcess client(*m_bus, {QStringLiteral("--name=") + name});
            QVERIFY(client.isServing());
            QTRY_COMPARE(appeared.count(), name[0] == 'O' ? 1 : 2);
            if (running) {
                window.engine().stop(false);
                window.Toolbar1_ButtonClick(window.findChild<QAbstractButton *>("Toolbar1Start"));
            }
            QVERIFY(qobject_cast<DBusMessenger *>(window.messenger()));
            QCOMPARE(window.engine().originalName(), QString::fromLatin1(name));
            if (!running)
                QVERIFY(window.engine().start(QStringLiteral("Ann\r\n"), LongInterval));
            window.engine().tick();
            window.engine().stop(true);
            QTRY_COMPARE(window.Label1->text(), QString::fromLatin1(name));
        }
        QVERIFY2(boxes.errors.isEmpty(), qPrintable(boxes.errors.join(u'\n')));
    }

    void choice_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("running"); // "", "client" or "pidgin"
        QTest::addColumn<QString>("created"); // class name, or "" when it must throw
        const auto row = [](const char *name, const char *options, const char *running,
                            const char *created) {
            QTest::newRow(name) << options << running << created;
        };
        row("auto, nothing running", "", "", "Velmira::BuiltinMessenger");
        row("auto, a client running", "", "client", "Velmira::DBusMessenger");
        row("auto, Pidgin running", "", "pidgin", "Velmira::PidginMessenger");
        row("builtin, a client running", "--messenger=builtin", "client",
            "Velmira::BuiltinMessenger");
        row("dbus, running", "--messenger=dbus", "client", "Velmira::DBusMessenger");
        row("dbus, not running", "--messenger=dbus", "", "");
        row("pidgin, not running", "--messenger=pidgin", "client", "");
        row("pidgin, alias", "--messenger=pidgin --pidgin-name=alias", "pidgin",
            "Velmira::PidginMessenger");
        row("pidgin, unknown name kind", "--messenger=pidgin --pidgin-name=nick", "pidgin", "");
        row("unknown client", "--messenger=msn", "", "");
    }
    void choice()
    {
        QFETCH(QString, options);
        QFETCH(QString, running);
        QFETCH(QString, created);
        // Any program owning libpurple's bus name counts as a running Pidgin for the choice.
        const QString owner = QStringLiteral("velmira-test-fake-purple");
        QDBusConnection purple = QDBusConnection::connectToBus(m_bus->address(), owner);
        const auto cleanup = qScopeGuard([&] {
            purple.interface()->unregisterService(PurpleBus::ServiceName);
            QDBusConnection::disconnectFromBus(owner);
        });
        std::optional<ReferenceClientProcess> client;
        if (running == QLatin1String("client"))
            QVERIFY(client.emplace(*m_bus, QStringList()).isServing());
        else if (running == QLatin1String("pidgin"))
            QVERIFY(purple.registerService(PurpleBus::ServiceName));

        QCommandLineParser parser;
        addMessengerOptions(parser);
        QVERIFY(parser.parse(QStringList{QStringLiteral("velmira")} +
                             options.split(u' ', Qt::SkipEmptyParts)));
        QString description;
        if (created.isEmpty()) {
            QVERIFY_THROWS_EXCEPTION(MessengerError,
                                     createMessenger(parser, &description, m_bus->connection()));
            return;
        }
        const auto messenger = createMessenger(parser, &description, m_bus->connection());
        QVERIFY(messenger);
        QCOMPARE(messenger->metaObject()->className(), created);
        QVERIFY(description.startsWith(QLatin1String("Messenger client: ")));
        if (auto *pidgin = qobject_cast<PidginMessenger *>(messenger.get()))
            QCOMPARE(pidgin->nameKind(), options.contains(QLatin1String("alias"))
                                             ? PidginMessenger::NameKind::Alias
                                             : PidginMessenger::NameKind::StatusMessage);
    }
};

QTEST_MAIN(TestDBusMessenger)
#include "tst_dbusmessenger.moc"
