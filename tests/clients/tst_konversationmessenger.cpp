// Velmira driving a real Konversation (private bus, X server and configuration folder) whose one
// server group auto-connects to an IRC server of the test's own on 127.0.0.1 and joins a channel,
// where an observer of the test's own reports every NICK that crosses the wire. Konversation keeps
// its default send queue (one line every 1.5 s); the server lets one nick change through every 2 s.
#include "capturingmessageboxes.h"
#include "ircrig.h"
#include "privatebus.h"
#include "testfiles.h"

#include "clients/konversationmessenger.h"
#include "clients/messengerchoice.h"
#include "core/restorerecord.h"
#include "core/rotationengine.h"
#include "core/settingsstore.h"
#include "gui/frmmain.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

using namespace Velmira;

namespace {
const QString Original = QStringLiteral("orignick");
// Far longer than any test: ticks are driven by hand, never by the timer.
const QString LongInterval = QStringLiteral("3600000");
constexpr int Patience = 30000;

// %1 the port, %2 the nick, %3 the channel. No server list at start.
const char *const Konversationrc =
    "[General]\nShowServerList=false\n\n[Identity 0]\nName=Velmira\nNicknames=%2,spare\n"
    "Ident=velmira\nRealname=Velmira\n\n[ServerGroup 0]\nName=Loopback\nIdentity=Velmira\n"
    "AutoConnect=true\nServerList=Server 0\nAutoJoinChannels=Channel 0\n\n[Server 0]\n"
    "Server=127.0.0.1\nPort=%1\nSSLEnabled=false\n\n[Channel 0]\nName=%3\n";
// "Are you sure you want to quit Konversation?" answered once and for all.
const char *const MessageBoxAnswers = "[General]\nsystemtrayquitKonversation=4\n";
} // namespace

class TestKonversationMessenger : public QObject
{
    Q_OBJECT

    std::unique_ptr<PrivateBus> m_bus;
    IrcRig m_irc;
    QProcess m_konversation;
    QString m_home; // Konversation's; its configuration folder is Velmira's too

    void startKonversation()
    {
        m_irc.forget();
        QProcessEnvironment environment = m_bus->environment();
        environment.insert(QStringLiteral("HOME"), m_home);
        for (const char *kind : {"CONFIG", "DATA", "CACHE"})
            environment.insert(QStringLiteral("XDG_%1_HOME").arg(QLatin1String(kind)),
                               m_home + QLatin1Char('/') + QLatin1String(kind).toString());
        m_konversation.setProcessEnvironment(environment);
        m_konversation.setStandardOutputFile(QProcess::nullDevice());
        m_konversation.setStandardErrorFile(QProcess::nullDevice());
        m_konversation.start(QStringLiteral("konversation"), QStringList());
        QVERIFY(m_bus->waitForName(KonversationMessenger::ServiceName, true, Patience));
        QTRY_VERIFY_WITH_TIMEOUT(m_irc.seen().contains(QStringLiteral("JOIN ") + Original),
                                 Patience);
    }
    // Quits Konversation; the server lets the nick go once it has seen the connection end.
    void stopKonversation()
    {
        stopProcess(m_konversation);
        QTRY_VERIFY_WITH_TIMEOUT(m_irc.seen().filter(QStringLiteral("QUIT ")).size() > 0, Patience);
    }
    QStringList nicksSeen() { return m_irc.seen().filter(QStringLiteral("NICK ")); }
    QString settingsPath() const { return m_home + QStringLiteral("/CONFIG/Velmira/Vuzerer4.ini"); }

private slots:
    void initTestCase()
    {
        m_bus = std::make_unique<PrivateBus>();
        QVERIFY2(m_bus->isValid(), "the private session bus did not start");
        // The observer holds the nick "Taken", which the rotations below ask for.
        QVERIFY(m_irc.start(QStringLiteral("Taken"), m_bus->environment()));
        m_home = m_irc.path(QStringLiteral("konversation"));
        QVERIFY(QDir().mkpath(m_home + QStringLiteral("/CONFIG")));
        QVERIFY(TestFiles::write(m_home + QStringLiteral("/CONFIG/konversationrc"),
                                 QString::fromLatin1(Konversationrc)
                                     .arg(m_irc.port())
                                     .arg(Original, IrcRig::Channel)
                                     .toUtf8()));
        QVERIFY(TestFiles::write(m_home + QStringLiteral("/CONFIG/konversation.kmessagebox"),
                                 MessageBoxAnswers));
        // Where Velmira finds Konversation's configuration, as the user's own programs share it.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home + QStringLiteral("/CONFIG")));
        startKonversation();
    }
    void cleanupTestCase()
    {
        stopProcess(m_konversation);
        m_bus.reset();
    }

    // Names that cannot be nicks are refused at Start, naming the line. Each name reaches the
    // channel in order, one per tick; a nick the server refuses changes nothing (Konversation
    // cannot tell); Stop sends the nick Konversation signed on with.
    void rotation()
    {
        KonversationMessenger messenger(m_bus->connection());
        QVERIFY(!messenger.confirmsChanges() && !messenger.readsNameInForce());
        RotationEngine engine;
        QSignalSpy notices(&engine, &RotationEngine::noticeGiven);
        QSignalSpy errors(&engine, &RotationEngine::errorOccurred);
        engine.setMessenger(&messenger);
        engine.captureOriginalName();
        QCOMPARE(engine.originalName(), std::optional(Original));
        QCOMPARE(messenger.identity(), QStringLiteral("konversation:127.0.0.1"));
        for (const QString &bad : {QStringLiteral("A B"), QStringLiteral("A\nquit"), QString()})
            QVERIFY(!engine.start(QStringLiteral("Ann\r\n%1\r\nBob").arg(bad), "1"));
        QCOMPARE(errors.count(), 3);
        for (const QList<QVariant> &error : errors)
            QVERIFY2(error.at(0).toString().contains(QStringLiteral("line 2")),
                     qPrintable(error.at(0).toString()));

        m_irc.forget();
        QVERIFY(engine.start(QStringLiteral("Ann\r\nTaken\r\nBob\r\n"), LongInterval));
        QCOMPARE(notices.count(), 1); // what Konversation cannot tell, and what is put back
        QVERIFY(notices.at(0).at(0).toString().contains(QStringLiteral("\"orignick\"")));
        const QStringList expected{"NICK orignick Ann", "NICK Ann Bob", "NICK Bob orignick"};
        engine.tick(); // Ann
        QTRY_COMPARE_WITH_TIMEOUT(nicksSeen(), expected.mid(0, 1), Patience);
        engine.tick(); // Taken: refused by the server, unseen
        engine.tick(); // Bob
        QTRY_COMPARE_WITH_TIMEOUT(nicksSeen(), expected.mid(0, 2), Patience);
        QCOMPARE(messenger.localFriendlyName(), QStringLiteral("Bob"));
        engine.stop(true);
        QTRY_COMPARE_WITH_TIMEOUT(nicksSeen(), expected, Patience);
        QCOMPARE(errors.count(), 3);
    }

    // Konversation as it comes: the window says once what cannot be confirmed and that names
    // change every 2 s; on the engine's own timer each name has reached the channel before the
    // next tick, and the label says each was sent.
    void defaultSendRate()
    {
        QTemporaryDir dir;
        SettingsStore settings(dir.filePath(QStringLiteral("Vuzerer4.ini")));
        CapturingMessageBoxes boxes;
        frmMain window([&] { return std::make_unique<KonversationMessenger>(m_bus->connection()); },
                       &boxes);
        window.setSettingsStore(&settings);
        QVERIFY(window.Form_Load());
        QLabel *label = window.findChild<QLabel *>(QStringLiteral("Label1"));
        m_irc.forget();
        const QStringList sent{"NICK orignick Ann", "NICK Ann Bob", "NICK Bob Cid"};
        QStringList late; // names not on the wire when the next tick came
        int ticks = 0;
        connect(&window.engine().timer(), &QTimer::timeout, this, [&] {
            if (++ticks > 1 && !m_irc.seen().contains(sent.at(ticks - 2)))
                late << sent.at(ticks - 2);
            if (ticks == sent.size() + 1)
                window.engine().stop(true);
        });
        QVERIFY(window.engine().start(QStringLiteral("Ann\r\nBob\r\nCid"), "1000"));
        QCOMPARE(window.engine().timer().interval(), 2000);
        QTRY_COMPARE_WITH_TIMEOUT(
            label->text(), QStringLiteral("Ann (sent; Konversation cannot confirm it)"), Patience);
        QTRY_COMPARE_WITH_TIMEOUT(ticks, sent.size() + 1, Patience);
        QCOMPARE(late, QStringList());
        QCOMPARE(boxes.errors.size(), 2);
        QCOMPARE(
            boxes.errors.at(1),
            QStringLiteral("Konversation sends one line every 1.5 s: names change every 2 s."));
        // The last tick wrote Ann before the rotation stopped.
        QTRY_COMPARE_WITH_TIMEOUT(nicksSeen().join(u','),
                                  "NICK orignick Ann,NICK Ann Bob,NICK Bob Cid,NICK Cid Ann,"
                                  "NICK Ann orignick",
                                  Patience);
        QCOMPARE(label->text(), QStringLiteral("orignick (sent; Konversation cannot confirm it)"));
    }

    // Konversation quits mid-rotation: told once, as Konversation quitting; the window says it
    // has gone. When it is back it is bound again, the record of the rotation is done with, and
    // closing the window asks nothing more.
    void clientQuitsAndComesBack()
    {
        auto parser = std::make_shared<QCommandLineParser>();
        addMessengerOptions(*parser);
        QVERIFY(
            parser->parse({QStringLiteral("velmira"), QStringLiteral("--messenger=konversation")}));
        QTemporaryDir dir;
        SettingsStore settings(dir.filePath(QStringLiteral("Vuzerer4.ini")));
        CapturingMessageBoxes boxes;
        frmMain window([&] { return createMessenger(*parser, nullptr, m_bus->connection()); },
                       &boxes);
        window.setSettingsStore(&settings);
        MessengerWatcher watcher(parser, m_bus->connection());
        watcher.setBinder(
            [&](std::unique_ptr<Messenger> client) { window.bindMessenger(std::move(client)); });
        QVERIFY(window.Form_Load());
        QLabel *label = window.findChild<QLabel *>(QStringLiteral("Label1"));
        m_irc.forget();
        QVERIFY(window.engine().start(QStringLiteral("Ann\r\nBob\r\n"), LongInterval));
        window.engine().tick();
        QTRY_VERIFY_WITH_TIMEOUT(nicksSeen().contains(QStringLiteral("NICK orignick Ann")),
                                 Patience);
        stopKonversation();
        QTRY_COMPARE(window.engine().state(), RotationEngine::State::Idle);
        QCOMPARE(boxes.errors.size(), 2); // the warning at Start, then this
        QCOMPARE(boxes.errors.last(),
                 QStringLiteral("The rotation stopped: Konversation is no longer running. Your "
                                "display name is put back when it is running again."));
        QVERIFY(label->text().contains(QLatin1String("Konversation is no longer running")));
        const QString record = RestoreRecord::pathBeside(settings.filePath());
        QVERIFY(QFile::exists(record));

        startKonversation();
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(record), Patience);
        QCOMPARE(window.engine().originalName(), std::optional(Original));
        QVERIFY(window.close());
        QCOMPARE(boxes.errors.size(), 2);
    }

    void wholeProgram_data()
    {
        QTest::addColumn<bool>("kill");
        QTest::newRow("closed") << false;
        QTest::newRow("killed, then started again") << true;
    }
    // velmira --messenger=konversation rotates the nick on its timer. A close of the window ends
    // it and puts the original back; after a kill, its next start does, although Konversation
    // cannot say which nick is in force.
    void wholeProgram()
    {
        QFETCH(bool, kill);
        Settings values;
        values.interval = QStringLiteral("1000");
        values.names = QStringLiteral("Ann\r\nBob\r\n");
        QVERIFY(SettingsStore(settingsPath()).save(values).ok);
        QProcess velmira;
        const auto startVelmira = [&](const char *option) {
            velmira.setProcessEnvironment(m_bus->environment());
            velmira.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            velmira.start(QStringLiteral(VELMIRA_PATH), {QStringLiteral("--messenger=konversation"),
                                                         QString::fromLatin1(option)});
        };
        m_irc.forget();
        startVelmira("--start-when-shown");
        const QString window = velmiraWindow(velmira);
        QVERIFY(!window.isEmpty() && xdotool({"windowactivate", "--sync", window}));
        QTRY_VERIFY_WITH_TIMEOUT(nicksSeen().contains(QStringLiteral("NICK orignick Ann")),
                                 Patience);
        const QString record = RestoreRecord::pathBeside(settingsPath());
        if (kill) {
            velmira.kill();
            QVERIFY(velmira.waitForFinished());
            QVERIFY(QFile::exists(record));
            startVelmira("--quit-when-shown");
        } else {
            QVERIFY(pressCloseKey());
        }
        QVERIFY2(velmira.waitForFinished(Patience), "velmira is still running");
        QCOMPARE(velmira.exitCode(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(nicksSeen().last().endsWith(QStringLiteral(" orignick")),
                                 Patience);
        QVERIFY(!QFile::exists(record));
    }
};

int main(int argc, char *argv[])
{
    // Konversation needs an X server (scripts/with-desktop provides one) and these programs.
    if (!hasDesktopWith({"konversation", "ngircd", "xdotool", "/usr/bin/python3", "dbus-daemon"}))
        return 77;
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    TestKonversationMessenger test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_konversationmessenger.moc"
