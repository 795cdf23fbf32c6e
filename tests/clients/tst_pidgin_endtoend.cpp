// Velmira driving a real Pidgin, watched from a contact's side: a prosody server of the test's
// own on 127.0.0.1 with two accounts in each other's roster, Pidgin on the test's own session bus
// and X server signed in as one of them, and an XMPP observer (xmpp_observer.py) signed in as the
// other, which prints every presence of the first that crosses the wire.
#include "privatebus.h"
#include "testfiles.h"

#include "clients/messengerchoice.h"
#include "clients/pidginmessenger.h"
#include "core/restorerecord.h"
#include "core/rotationengine.h"
#include "core/settingsstore.h"

#include <QDBusConnectionInterface>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstdio>

using namespace Velmira;

namespace {
const QString Account = QStringLiteral("velmira@localhost/velmira");
const QString IrcAccount = QStringLiteral("velmira@127.0.0.1");
const QString Names = QStringLiteral("Ann\r\nBob\r\n");
// Pidgin signs on in well under a second, unless the machine is busy.
constexpr int Patience = 60000;

// What the contact sees of an available account with this status message.
QString seen(const QString &message)
{
    return QStringLiteral("available - [%1]").arg(message);
}

QString fixture(const char *name)
{
    return QFINDTESTDATA(name);
}
} // namespace

class TestPidginEndToEnd : public QObject
{
    Q_OBJECT

    std::unique_ptr<PrivateBus> m_bus;
    QTemporaryDir m_serverDir;
    std::unique_ptr<QTemporaryDir> m_pidginDir;
    std::unique_ptr<QTemporaryDir> m_velmiraDir;
    QProcess m_prosody, m_pidgin, m_observer;
    // Finch instead of Pidgin: the same service, in a terminal of tmux's.
    bool m_finch = false;
    qint64 m_finchPid = 0;
    int m_finchRuns = 0; // each run its own tmux
    quint16 m_port = 0;
    QStringList m_lines; // what the observer saw, and not yet looked at

    // Waits for the observer's next `count` lines and takes them.
    QStringList nextSeen(qsizetype count)
    {
        (void)QTest::qWaitFor(
            [&] {
                while (m_observer.canReadLine())
                    m_lines << QString::fromUtf8(m_observer.readLine()).trimmed();
                return m_lines.size() >= count;
            },
            Patience);
        const QStringList taken = m_lines.mid(0, count);
        m_lines.remove(0, taken.size());
        return taken;
    }
    // Takes the observer's lines up to the first that is `line` (or, with `prefix`, begins with
    // it), that one included.
    QStringList seenUntil(const QString &line, bool prefix = false)
    {
        QStringList taken;
        const auto found = [&] {
            return !taken.isEmpty() &&
                   (prefix ? taken.last().startsWith(line) : taken.last() == line);
        };
        for (QStringList next; !found() && !(next = nextSeen(1)).isEmpty();)
            taken << next;
        return taken;
    }

    QVariant purple(const QString &method, const QVariantList &args = {})
    {
        QDBusMessage call = QDBusMessage::createMethodCall(
            PidginMessenger::ServiceName, QStringLiteral("/im/pidgin/purple/PurpleObject"),
            QStringLiteral("im.pidgin.purple.PurpleInterface"), method);
        call.setArguments(args);
        return m_bus->connection().call(call).arguments().value(0);
    }
    int account()
    {
        return purple(QStringLiteral("PurpleAccountsFindAny"), {Account, QString()}).toInt();
    }

    bool startPidgin(bool online)
    {
        QStringList arguments{QStringLiteral("-c"), m_pidginDir->path()};
        if (!online)
            arguments << QStringLiteral("-n");
        m_pidgin.setProcessEnvironment(m_bus->environment());
        m_pidgin.setStandardOutputFile(m_pidginDir->filePath(QStringLiteral("pidgin.log")));
        m_pidgin.setStandardErrorFile(m_pidginDir->filePath(QStringLiteral("pidgin.log")));
        if (m_finch)
            m_pidgin.start(
                QStringLiteral("tmux"),
                {QStringLiteral("-S"),
                 m_pidginDir->filePath(QStringLiteral("tmux%1").arg(++m_finchRuns)),
                 QStringLiteral("new-session"), QStringLiteral("-d"), QStringLiteral("-x"),
                 QStringLiteral("160"), QStringLiteral("-y"), QStringLiteral("48"),
                 QStringLiteral("finch ") + arguments.join(u' ') + QStringLiteral(" 2>>") +
                     m_pidginDir->filePath(QStringLiteral("finch.log"))});
        else
            m_pidgin.start(QStringLiteral("pidgin"), arguments);
        const bool serving = m_pidgin.waitForStarted(10000) &&
                             m_bus->waitForName(PidginMessenger::ServiceName, true, Patience);
        if (serving && m_finch)
            m_finchPid =
                m_bus->connection().interface()->servicePid(PidginMessenger::ServiceName).value();
        return serving &&
               (!online || QTest::qWaitFor(
                               [&] {
                                   return purple(QStringLiteral("PurpleAccountIsConnected"),
                                                 {account()})
                                              .toInt() == 1;
                               },
                               Patience));
    }
    // Quits Pidgin as its user would: it writes its pending files and signs off, and the
    // contact sees it go.
    bool quitPidgin()
    {
        purple(QStringLiteral("PurpleCoreQuit"));
        // Finch leaves the bus and signs off, but stays until it is ended.
        if (m_finch && m_bus->waitForName(PidginMessenger::ServiceName, false, Patience)) {
            ::kill(pid_t(m_finchPid), SIGTERM);
            (void)QTest::qWaitFor(
                [&] { return !QFile::exists(QStringLiteral("/proc/%1").arg(m_finchPid)); },
                Patience);
        }
        // For Finch, m_pidgin is the tmux that started it, long gone.
        return (m_finch || m_pidgin.waitForFinished(Patience)) &&
               m_bus->waitForName(PidginMessenger::ServiceName, false, Patience) &&
               // Signing off may or may not carry the status message along.
               seenUntil(QStringLiteral("unavailable "), true).size() > 0;
    }
    // Pidgin's saved statuses, as it wrote them to its status.xml.
    QByteArray statusFile()
    {
        QFile file(m_pidginDir->filePath(QStringLiteral("status.xml")));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Makes `message` the user's status message the way Pidgin's status box does.
    void setOwnStatus(const QString &message)
    {
        const int status = purple(QStringLiteral("PurpleSavedstatusNew"),
                                  {QStringLiteral("Own %1").arg(message), 2})
                               .toInt();
        purple(QStringLiteral("PurpleSavedstatusSetMessage"), {status, message});
        purple(QStringLiteral("PurpleSavedstatusActivate"), {status});
    }

    std::unique_ptr<Messenger> defaultClient(const QStringList &options = {})
    {
        QCommandLineParser parser;
        addMessengerOptions(parser);
        parser.parse(QStringList{QStringLiteral("velmira")} + options);
        return createMessenger(parser, nullptr, m_bus->connection());
    }

private slots:
    void initTestCase()
    {
        m_bus = std::make_unique<PrivateBus>();
        QVERIFY2(m_bus->isValid(), "the private session bus did not start");
        { // A port that is free now; the server takes it a moment later.
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            m_port = probe.serverPort();
        }
        m_prosody.setProcessChannelMode(QProcess::ForwardedChannels);
        m_prosody.start(fixture("loopback-xmpp"), {m_serverDir.path(), QString::number(m_port)});
        QVERIFY(m_prosody.waitForStarted(10000));
        m_observer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_observer.start(QStringLiteral("/usr/bin/python3"),
                         {fixture("xmpp_observer.py"), QString::number(m_port),
                          QStringLiteral("watcher@localhost/observer"), QStringLiteral("secret"),
                          QStringLiteral("velmira@localhost")});
        QVERIFY(seenUntil(QStringLiteral("ready")).contains(QStringLiteral("ready")));
    }
    void init()
    {
        m_pidginDir = std::make_unique<QTemporaryDir>();
        m_velmiraDir = std::make_unique<QTemporaryDir>();
        QString text = QString::fromUtf8(TestFiles::read(fixture("pidgin-accounts.xml")))
                           .arg(Account)
                           .arg(m_port);
        // An IRC account first, enabled but connecting to nothing (port 1 on 127.0.0.1).
        if (QByteArray(QTest::currentTestFunction()) == "accountChoice")
            text.replace(QStringLiteral("<account version='1.0'>"),
                         QStringLiteral("<account version='1.0'><account><protocol>prpl-irc"
                                        "</protocol><name>%1</name><settings><setting name='port' "
                                        "type='int'>1</setting></settings><settings "
                                        "ui='gtk-gaim'><setting name='auto-login' "
                                        "type='bool'>1</setting></settings></account>")
                             .arg(IrcAccount));
        QVERIFY(
            TestFiles::write(m_pidginDir->filePath(QStringLiteral("accounts.xml")), text.toUtf8()));
        m_lines.clear();
    }
    void cleanup()
    {
        if (m_finch && m_finchPid != 0 && QFile::exists(QStringLiteral("/proc/%1").arg(m_finchPid)))
            (void)quitPidgin();
        m_finch = false;
        m_finchPid = 0;
        if (m_pidgin.state() != QProcess::NotRunning && !quitPidgin())
            stopProcess(m_pidgin);
        // Whatever else the observer saw of this test (Pidgin signing off) is not the next one's.
        nextSeen(0);
        m_lines.clear();
    }
    void cleanupTestCase()
    {
        stopProcess(m_observer);
        stopProcess(m_prosody);
        m_bus.reset();
    }

    void rotation_data()
    {
        QTest::addColumn<bool>("finch");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("original");
        QTest::addColumn<bool>("contactsSee");
        QTest::newRow("defaults, no status message") << false << QStringList() << QString() << true;
        QTest::newRow("defaults, a status message") << false << QStringList() << "At lunch" << true;
        QTest::newRow("alias") << false << QStringList{"--pidgin-name=alias"} << "Back soon"
                               << false;
        QTest::newRow("Finch, a status message")
            << true << QStringList() << "In a terminal" << true;
    }
    // Each tick's name reaches the contact, in order; Stop and closing put the original back,
    // the empty one too; the user's saved statuses stay as they were. The alias never reaches
    // an XMPP contact: the next thing the contact sees is the user's own next status.
    void rotation()
    {
        QFETCH(bool, finch);
        m_finch = finch;
        QFETCH(QStringList, options);
        QFETCH(QString, original);
        QFETCH(bool, contactsSee);
        QVERIFY(startPidgin(true));
        if (!original.isEmpty())
            setOwnStatus(original);
        QVERIFY(quitPidgin()); // the user's statuses are on disk now
        QVERIFY(startPidgin(true));
        QVERIFY(seenUntil(seen(original)).contains(seen(original)));
        const QByteArray ownStatuses = statusFile();
        QVERIFY(ownStatuses.contains("<status"));

        const std::unique_ptr<Messenger> client = defaultClient(options);
        RotationEngine engine;
        engine.setMessenger(client.get());
        const QString recordPath = m_velmiraDir->filePath(QStringLiteral("restore.json"));
        engine.setRestoreRecordPath(recordPath);
        QSignalSpy errors(&engine, &RotationEngine::errorOccurred);
        engine.captureOriginalName();
        for (const bool byStop : {true, false}) {
            QVERIFY(engine.start(Names, QStringLiteral("3600000")));
            QVERIFY(QFile::exists(recordPath));
            for (const char *name : {"Ann", "Bob", "Ann"}) {
                engine.tick();
                if (contactsSee)
                    QCOMPARE(nextSeen(1), QStringList{seen(QString::fromUtf8(name))});
            }
            if (byStop)
                engine.stop(true);
            else // closing the window puts the name back without stopping first
                engine.restoreOriginalName(true);
            if (!contactsSee)
                setOwnStatus(original + (byStop ? u'!' : u'?'));
            QCOMPARE(nextSeen(1),
                     QStringList{seen(contactsSee ? original : original + (byStop ? u'!' : u'?'))});
            QVERIFY(!QFile::exists(recordPath));
        }
        QCOMPARE(errors.count(), 0);
        QVERIFY(quitPidgin());
        if (contactsSee) // byte for byte: not even a status's use count changed
            QCOMPARE(statusFile(), ownStatuses);
    }

    // Started while the account is offline, the rotation writes nothing into Pidgin; when the
    // user signs on (choosing a status), the original is captured and the latest name is shown,
    // and Stop puts the original back. A status chosen mid-rotation is read as the name in force.
    void offlineStart()
    {
        QVERIFY(startPidgin(false));
        const std::unique_ptr<Messenger> client = defaultClient();
        RotationEngine engine;
        engine.setMessenger(client.get());
        engine.captureOriginalName();
        QCOMPARE(engine.originalName(), std::nullopt);
        QVERIFY(engine.start(Names, QStringLiteral("3600000")));
        engine.tick();
        engine.tick();
        setOwnStatus(QStringLiteral("Hello"));
        QCOMPARE(nextSeen(2), QStringList({seen(u"Hello"_qs), seen(u"Bob"_qs)}));
        QCOMPARE(engine.originalName(), QStringLiteral("Hello"));
        engine.stop(true);
        QCOMPARE(nextSeen(1), QStringList{seen(u"Hello"_qs)});
        // A status the user chooses mid-rotation is the name in force from then on.
        QVERIFY(engine.start(Names, QStringLiteral("3600000")));
        engine.tick();
        setOwnStatus(QStringLiteral("Busy"));
        QCOMPARE(nextSeen(2), QStringList({seen(u"Ann"_qs), seen(u"Busy"_qs)}));
        QTRY_COMPARE(client->localFriendlyName(), QStringLiteral("Busy"));
        engine.stop(false);
        QVERIFY(quitPidgin());
        QVERIFY(!statusFile().contains("Bob"));
    }

    // A user whose saved status is an offline one may have signed the account on by hand: the
    // rotation keeps it signed on, showing each name as available, and Stop leaves it on.
    void offlineSavedStatusSignedOnByHand()
    {
        QVERIFY(startPidgin(true));
        const int offline =
            purple(QStringLiteral("PurpleSavedstatusNew"), {QStringLiteral("Own offline"), 1})
                .toInt();
        purple(QStringLiteral("PurpleSavedstatusActivate"), {offline});
        QVERIFY(!seenUntil(QStringLiteral("unavailable "), true).isEmpty());
        purple(QStringLiteral("PurpleAccountConnect"), {account()});
        QVERIFY(QTest::qWaitFor(
            [&] {
                return purple(QStringLiteral("PurpleAccountIsConnected"), {account()}).toInt() == 1;
            },
            Patience));
        const std::unique_ptr<Messenger> client = defaultClient();
        RotationEngine engine;
        engine.setMessenger(client.get());
        engine.captureOriginalName();
        m_lines.clear();
        QVERIFY(engine.start(Names, QStringLiteral("3600000")));
        engine.tick();
        QVERIFY2(seenUntil(seen(u"Ann"_qs)).contains(seen(u"Ann"_qs)),
                 qPrintable(m_lines.join(u',')));
        engine.stop(true);
        QCOMPARE(nextSeen(1), QStringList{seen(*engine.originalName())});
        QCOMPARE(purple(QStringLiteral("PurpleAccountIsConnected"), {account()}).toInt(), 1);
    }

    void accountChoice_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("told"); // how the Start is refused or warned about
        QTest::addColumn<bool>("starts");
        QTest::newRow("default: the XMPP account, not the IRC one listed first")
            << QStringList() << QString() << true;
        QTest::newRow("an IRC account chosen")
            << QStringList{"--pidgin-account=" + IrcAccount} << "an IRC account" << false;
        QTest::newRow("the alias of an XMPP account")
            << QStringList{"--pidgin-name=alias"} << "XMPP contacts never see the alias" << true;
    }
    // Without a choice Velmira takes an account whose contacts see the name; an IRC account,
    // through which no name reaches anyone, is refused in words, and the alias comes with a
    // warning.
    void accountChoice()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, told);
        QFETCH(bool, starts);
        QVERIFY(startPidgin(true));
        const std::unique_ptr<Messenger> client = defaultClient(options);
        RotationEngine engine;
        QSignalSpy errors(&engine, &RotationEngine::errorOccurred);
        QSignalSpy notices(&engine, &RotationEngine::noticeGiven);
        engine.setMessenger(client.get());
        QVERIFY(client->identity().startsWith(starts ? "pidgin/prpl-jabber/" : "pidgin/prpl-irc/"));
        QCOMPARE(engine.start(Names, QStringLiteral("3600000")), starts);
        const QSignalSpy &saying = starts ? notices : errors;
        QCOMPARE(saying.count(), told.isEmpty() ? 0 : 1);
        if (!told.isEmpty())
            QVERIFY2(saying.first().first().toString().contains(told),
                     qPrintable(saying.first().first().toString()));
        engine.stop(true);
    }

    void restoreAfterAbruptEnd_data()
    {
        QTest::addColumn<bool>("velmiraKilled"); // else Pidgin quits mid-rotation
        QTest::newRow("Pidgin quits mid-rotation") << false;
        QTest::newRow("Velmira killed mid-rotation") << true;
    }
    // The original comes back when Pidgin and Velmira meet again, and Velmira's status is gone.
    void restoreAfterAbruptEnd()
    {
        QFETCH(bool, velmiraKilled);
        QVERIFY(startPidgin(true));
        setOwnStatus(QStringLiteral("In a meeting"));
        seenUntil(seen(u"In a meeting"_qs));
        const QString settings = m_velmiraDir->filePath(QStringLiteral("Velmira/Vuzerer4.ini"));
        Settings values;
        values.interval = QStringLiteral("1000");
        values.names = Names;
        QVERIFY(SettingsStore(settings).save(values).ok);
        QProcess velmira;
        QProcessEnvironment environment = m_bus->environment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_velmiraDir->path());
        velmira.setProcessEnvironment(environment);
        velmira.setProcessChannelMode(QProcess::ForwardedChannels);
        velmira.start(QStringLiteral(VELMIRA_PATH), {QStringLiteral("--start-when-shown")});
        QCOMPARE(nextSeen(1), QStringList{seen(u"Ann"_qs)});
        // Velmira is started again, or binds to the Pidgin that is back: either puts the
        // original back.
        if (velmiraKilled) {
            velmira.kill();
            QVERIFY(velmira.waitForFinished(Patience));
            velmira.start(QStringLiteral(VELMIRA_PATH), {QStringLiteral("--quit-when-shown")});
        } else {
            QVERIFY(quitPidgin());
            QVERIFY(startPidgin(true));
        }
        QVERIFY(QTest::qWaitFor([&] { return !QFile::exists(RestoreRecord::pathBeside(settings)); },
                                Patience));
        const QStringList last = seenUntil(seen(u"In a meeting"_qs));
        QVERIFY2(!last.isEmpty() && last.last() == seen(u"In a meeting"_qs),
                 qPrintable(last.join(u',')));
        stopProcess(velmira);
        QVERIFY(quitPidgin());
        QVERIFY(!statusFile().contains(PidginMessenger::RotationStatusTitle.toUtf8()));
    }
};

int main(int argc, char *argv[])
{
    // Pidgin needs an X server (scripts/with-desktop provides one) and these programs.
    if (!hasDesktopWith({"pidgin", "finch", "tmux", "prosody", "dbus-daemon", "/usr/bin/python3"}))
        return 77;
    QCoreApplication app(argc, argv);
    TestPidginEndToEnd test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_pidgin_endtoend.moc"
