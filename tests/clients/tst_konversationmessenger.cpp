// Velmira driving a real Konversation (private bus, X server and configuration folder) whose one
// server group auto-connects to an IRC server of the test's own on 127.0.0.1 and joins a channel,
// where an observer of the test's own reports every NICK that crosses the wire. Konversation keeps
// its default send queue (one line every 1.5 s); the server lets one nick change through every 2 s.
#include "capturingmessageboxes.h"
#include "ircrig.h"
#include "privatebus.h"
#include "testfiles.h"
#include "watchedwindow.h"

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

    // Konversation quits mid-rotation: told once, as Konversation quitting; the window says it
    // has gone. When it is back it is bound again, the record of the rotation is done with, and
    // closing the window asks nothing more.
    void clientQuitsAndComesBack()
    {
        WatchedWindow w({QStringLiteral("--messenger=konversation")}, m_bus->connection());
        frmMain &window = w.window;
        CapturingMessageBoxes &boxes = w.boxes;
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
        const QString record = RestoreRecord::pathBeside(w.settings.filePath());
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
        QTest::addColumn<QString>("server");
        QTest::newRow("closed, the first connected server") << false << QString();
        QTest::newRow("killed, then started again, the server named")
            << true << QStringLiteral("--konversation-server=127.0.0.1");
    }
    // velmira --messenger=konversation rotates the nick on its timer, on the server named or the
    // first connected one. A close of the window ends it and puts the original back; after a
    // kill, its next start does, although Konversation cannot say which nick is in force.
    void wholeProgram()
    {
        QFETCH(bool, kill);
        QFETCH(QString, server);
        QStringList arguments{QStringLiteral("--messenger=konversation")};
        if (!server.isEmpty())
            arguments << server;
        // Velmira finds Konversation's configuration in its own configuration folder.
        runWholeProgram(m_irc, arguments, m_bus->environment(), Original, kill,
                        m_home + QStringLiteral("/CONFIG"));
    }

    // Last: by now the lines Konversation sends after joining have long left its queue.
    // Konversation as it comes, on the engine's own timer. Names that cannot be nicks are refused
    // at Start, naming the line. The window says once what cannot be confirmed and that names
    // change every 2 s; each name has reached the channel before the next tick, in order, and the
    // label says it was sent. A nick the server refuses changes nothing (Konversation cannot tell
    // it); Stop sends the nick Konversation signed on with.
    void rotation()
    {
        QTemporaryDir dir;
        SettingsStore settings(dir.filePath(QStringLiteral("Vuzerer4.ini")));
        CapturingMessageBoxes boxes;
        frmMain window([&] { return std::make_unique<KonversationMessenger>(m_bus->connection()); },
                       &boxes);
        window.setSettingsStore(&settings);
        QVERIFY(window.Form_Load());
        RotationEngine &engine = window.engine();
        QCOMPARE(engine.originalName(), std::optional(Original));
        for (const QString &bad : {QStringLiteral("A B"), QStringLiteral("A\nquit"), QString()})
            QVERIFY(!engine.start(QStringLiteral("Ann\r\n%1\r\nBob").arg(bad), "1"));
        QCOMPARE(boxes.errors.size(), 3);
        for (const QString &error : std::as_const(boxes.errors))
            QVERIFY2(error.contains(QStringLiteral("line 2")), qPrintable(error));

        QLabel *label = window.findChild<QLabel *>(QStringLiteral("Label1"));
        m_irc.forget();
        const QStringList sent{"NICK orignick Ann", QString() /* Taken */, "NICK Ann Bob"};
        QStringList late; // names not on the wire when the next tick came
        int ticks = 0;
        connect(&engine.timer(), &QTimer::timeout, this, [&] {
            if (++ticks > 1 && !sent.at(ticks - 2).isEmpty() &&
                !m_irc.seen().contains(sent.at(ticks - 2)))
                late << sent.at(ticks - 2);
            if (ticks == sent.size() + 1)
                engine.stop(true);
        });
        QVERIFY(engine.start(QStringLiteral("Ann\r\nTaken\r\nBob"), "1000"));
        QCOMPARE(engine.timer().interval(), 2000);
        QTRY_COMPARE_WITH_TIMEOUT(
            label->text(), QStringLiteral("Ann (sent; Konversation cannot confirm it)"), Patience);
        QTRY_COMPARE_WITH_TIMEOUT(ticks, sent.size() + 1, Patience);
        QCOMPARE(late, QStringList());
        QCOMPARE(boxes.errors.size(), 5);
        QVERIFY(boxes.errors.at(3).contains(QStringLiteral("puts it back")));
        QCOMPARE(
            boxes.errors.at(4),
            QStringLiteral("Konversation sends one line every 1.5 s: names change every 2 s."));
        // The last tick wrote Ann before the rotation stopped.
        QTRY_COMPARE_WITH_TIMEOUT(nicksSeen().join(u','),
                                  "NICK orignick Ann,NICK Ann Bob,NICK Bob Ann,NICK Ann orignick",
                                  Patience);
        QCOMPARE(label->text(), QStringLiteral("orignick (sent; Konversation cannot confirm it)"));
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
