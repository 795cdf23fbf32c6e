// Velmira driving the real Telepathy stack of Polari (Mission Control, started by a private bus,
// with a home folder of its own, and telepathy-idle) whose one IRC account is signed in to an
// IRC server of the test's own on 127.0.0.1 and has joined a channel, where an observer of the
// test's own reports every NICK that crosses the wire. Where Polari is installed, Mission Control
// starts it to show the channel, and the rotation runs with it. Runs only under
// scripts/with-desktop.
#include "ircrig.h"
#include "privatebus.h"

#include "clients/messengerchoice.h"
#include "clients/telepathymessenger.h"
#include "core/rotationengine.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <csignal>

using namespace Velmira;

namespace {
const QString Original = QStringLiteral("orignick");
const QString LongInterval = QStringLiteral("3600000"); // ticks are driven by hand
const QString Telepathy = QStringLiteral("org.freedesktop.Telepathy.");
constexpr int Patience = 30000;
} // namespace

class TestTelepathyMessenger : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home;
    std::unique_ptr<PrivateBus> m_bus;
    IrcRig m_irc;
    QString m_account;

    // One call on the private bus; its reply's arguments (empty on an error, which is printed).
    QVariantList call(const QString &service, const QString &path, const QString &interface,
                      const QString &method, const QVariantList &args)
    {
        QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
        message.setArguments(args);
        const QDBusMessage reply = m_bus->connection().call(message, QDBus::Block, Patience);
        if (reply.type() != QDBusMessage::ReplyMessage)
            qWarning() << method << reply.errorMessage();
        return reply.type() == QDBusMessage::ReplyMessage ? reply.arguments() : QVariantList();
    }
    QVariant accountProperty(const QString &name)
    {
        const QVariantList reply =
            call(TelepathyMessenger::ServiceName, m_account,
                 QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                 {Telepathy + QStringLiteral("Account"), name});
        return reply.isEmpty() ? QVariant() : qvariant_cast<QDBusVariant>(reply.first()).variant();
    }
    void setNickname(const QString &nick)
    {
        call(TelepathyMessenger::ServiceName, m_account,
             QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"),
             {Telepathy + QStringLiteral("Account"), QStringLiteral("Nickname"),
              QVariant::fromValue(QDBusVariant(nick))});
    }
    QString nicksSeen() { return m_irc.seen().filter(QStringLiteral("NICK ")).join(u','); }

private slots:
    void initTestCase()
    {
        // Mission Control, started by the bus, takes the bus's environment: its accounts go
        // to the test's own folders.
        for (const char *variable : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
            qputenv(variable, m_home.filePath(QString::fromLatin1(variable)).toUtf8());
        m_bus = std::make_unique<PrivateBus>();
        QVERIFY2(m_bus->isValid(), "the private session bus did not start");
        // The observer holds the nick "Taken", which the rotations below ask for.
        QVERIFY(m_irc.start(QStringLiteral("Taken"), m_bus->environment()));

        QDBusArgument available;
        available.beginStructure();
        available << 2u << QStringLiteral("available") << QString();
        available.endStructure();
        const QVariantList created =
            call(TelepathyMessenger::ServiceName,
                 QStringLiteral("/org/freedesktop/Telepathy/AccountManager"),
                 Telepathy + QStringLiteral("AccountManager"), QStringLiteral("CreateAccount"),
                 {QStringLiteral("idle"), QStringLiteral("irc"), QStringLiteral("Loopback"),
                  QVariantMap{{QStringLiteral("account"), Original},
                              {QStringLiteral("server"), QStringLiteral("127.0.0.1")},
                              {QStringLiteral("port"), QVariant::fromValue(quint16(m_irc.port()))}},
                  QVariantMap{{Telepathy + QStringLiteral("Account.Enabled"), true},
                              {Telepathy + QStringLiteral("Account.RequestedPresence"),
                               QVariant::fromValue(available)}}});
        QVERIFY(!created.isEmpty());
        m_account = qvariant_cast<QDBusObjectPath>(created.first()).path();
        QTRY_COMPARE_WITH_TIMEOUT(accountProperty(QStringLiteral("ConnectionStatus")).toUInt(), 0u,
                                  Patience);
        // Polari, where it is installed, is started by Mission Control to show the channel and
        // then sets the nick back to the one in its account settings: it joins under another.
        setNickname(QStringLiteral("Warmup"));
        QTRY_COMPARE_WITH_TIMEOUT(accountProperty(QStringLiteral("NormalizedName")).toString(),
                                  QStringLiteral("warmup"), Patience);
        const QString connection =
            qvariant_cast<QDBusObjectPath>(accountProperty(QStringLiteral("Connection"))).path();
        QVERIFY(
            !call(connection.mid(1).replace(u'/', u'.'), connection,
                  Telepathy + QStringLiteral("Connection.Interface.Requests"),
                  QStringLiteral("EnsureChannel"),
                  {QVariantMap{{Telepathy + QStringLiteral("Channel.ChannelType"),
                                Telepathy + QStringLiteral("Channel.Type.Text")},
                               {Telepathy + QStringLiteral("Channel.TargetHandleType"), 2u},
                               {Telepathy + QStringLiteral("Channel.TargetID"), IrcRig::Channel}}})
                 .isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(m_irc.seen().contains(QStringLiteral("JOIN Warmup")), Patience);
        const QStringList activatable =
            call(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                 QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ListActivatableNames"), {})
                .value(0)
                .toStringList();
        if (!activatable.contains(Telepathy + QStringLiteral("Client.Polari")))
            setNickname(Original);
        QTRY_VERIFY_WITH_TIMEOUT(m_irc.seen().contains(QStringLiteral("NICK Warmup ") + Original),
                                 Patience);
    }
    void cleanupTestCase() { m_bus.reset(); }

    void rotation_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("telepathy, first IRC account") << QStringList{"--messenger=telepathy"} << "";
        QTest::newRow("polari, account by name")
            << QStringList{"--messenger=polari", "--telepathy-account=Loopback"} << "";
        QTest::newRow("no such account")
            << QStringList{"--messenger=telepathy", "--telepathy-account=Elsewhere"}
            << "Could not start: Telepathy has no account \"Elsewhere\".";
    }
    // Each name reaches the channel in order, one per confirmed change; a nick held by someone
    // else is refused in silence by the server, which is told once after a time-out, and not
    // asked for again in that rotation; Stop puts the original back.
    void rotation()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, refusal);
        QCommandLineParser parser;
        addMessengerOptions(parser);
        QVERIFY(parser.parse(QStringList{QStringLiteral("velmira")} + options));
        std::unique_ptr<Messenger> messenger =
            createMessenger(parser, nullptr, m_bus->connection());
        QVERIFY(qobject_cast<TelepathyMessenger *>(messenger.get()));
        RotationEngine engine;
        QSignalSpy notices(&engine, &RotationEngine::noticeGiven);
        QSignalSpy errors(&engine, &RotationEngine::errorOccurred);
        QSignalSpy confirmed(messenger.get(), &Messenger::changeConfirmed);
        QSignalSpy refused(messenger.get(), &Messenger::changeRefused);
        engine.setMessenger(messenger.get());
        engine.captureOriginalName();
        if (!refusal.isEmpty()) {
            QVERIFY(!engine.start(QStringLiteral("Ann\r\n"), LongInterval));
            QCOMPARE(errors.last().at(0).toString(), refusal);
            return;
        }
        QCOMPARE(engine.originalName(), std::optional(Original));
        m_irc.forget();
        QVERIFY(engine.start(QStringLiteral("Ann\r\nTaken\r\nBob\r\n"), LongInterval));
        const auto answered = [&](int count) {
            return QTest::qWaitFor([&] { return confirmed.count() + refused.count() == count; },
                                   Patience);
        };
        for (int tick = 1; tick <= 5; ++tick) { // Ann, Taken (refused), Bob, Ann, Bob
            engine.tick();
            QVERIFY2(answered(tick), qPrintable(QStringLiteral("tick %1").arg(tick)));
        }
        QCOMPARE(refused.count(), 1);
        QCOMPARE(messenger->localFriendlyName(), QStringLiteral("Bob"));
        QCOMPARE(std::count_if(notices.cbegin(), notices.cend(),
                               [](const QList<QVariant> &notice) {
                                   return notice.at(0).toString().contains(
                                       QLatin1String("\"Taken\" was refused by Telepathy"));
                               }),
                 1);
        engine.stop(true);
        QTRY_COMPARE_WITH_TIMEOUT(nicksSeen(),
                                  "NICK orignick Ann,NICK Ann Bob,NICK Bob Ann,NICK Ann Bob,"
                                  "NICK Bob orignick",
                                  Patience);
        QTRY_COMPARE(messenger->localFriendlyName(), Original);
        QCOMPARE(errors.count(), 0);
    }

    void wholeProgram_data()
    {
        QTest::addColumn<bool>("kill");
        QTest::newRow("closed") << false;
        QTest::newRow("killed, then started again") << true;
    }
    // velmira --messenger=telepathy rotates the nick on its timer. A close of the window ends it
    // and puts the original back; after a kill, its next start does.
    void wholeProgram()
    {
        QFETCH(bool, kill);
        runWholeProgram(m_irc, {QStringLiteral("--messenger=telepathy")}, m_bus->environment(),
                        Original, kill);
    }

    // Mission Control quits mid-rotation: the rotation stops, told once as Telepathy quitting.
    void missionControlQuits()
    {
        TelepathyMessenger messenger(m_bus->connection());
        RotationEngine engine;
        QSignalSpy errors(&engine, &RotationEngine::errorOccurred);
        engine.setMessenger(&messenger);
        engine.captureOriginalName();
        QVERIFY(engine.start(QStringLiteral("Ann\r\nBob\r\n"), LongInterval));
        const uint pid =
            call(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                 QStringLiteral("org.freedesktop.DBus"),
                 QStringLiteral("GetConnectionUnixProcessID"),
                 {QString(TelepathyMessenger::ServiceName)})
                .value(0)
                .toUInt();
        QVERIFY(pid > 0 && ::kill(pid_t(pid), SIGTERM) == 0);
        QTRY_VERIFY_WITH_TIMEOUT(engine.clientGone(), Patience);
        QCOMPARE(engine.state(), RotationEngine::State::Idle);
        QCOMPARE(errors.count(), 1);
        QVERIFY(errors.at(0).at(0).toString().contains(
            QLatin1String("Telepathy is no longer running")));
    }
};

int main(int argc, char *argv[])
{
    // The whole program, and Polari where it is installed, need an X server.
    if (!hasDesktopWith({"ngircd", "python3", "dbus-daemon", "xdotool",
                         "/usr/lib/telepathy/mission-control-5",
                         "/usr/lib/telepathy/telepathy-idle"}))
        return 77;
    QCoreApplication app(argc, argv);
    TestTelepathyMessenger test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_telepathymessenger.moc"
