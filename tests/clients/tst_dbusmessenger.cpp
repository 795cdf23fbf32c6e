// Velmira driving the velmira-messenger reference client, a separate process, over a private
// session bus: the change event up to Label1, clients that fail, hang or quit, binding to a
// client that starts later or comes back, and the choice of client.
#include "capturingmessageboxes.h"
#include "privatebus.h"
#include "watchedwindow.h"

#include "clients/dbusmessenger.h"
#include "clients/messengerchoice.h"
#include "core/builtinmessenger.h"
#include "core/rotationengine.h"
#include "core/settingsstore.h"
#include "gui/frmmain.h"
#include "gui/messageboxes.h"

#include <QAbstractButton>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace Velmira;

namespace {
// Far longer than any test: ticks are driven by hand, never by the timer.
const QString LongInterval = QStringLiteral("3600000");

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

    void failingClient_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::addColumn<int>("goodTicks");
        QTest::addColumn<QString>("reported");
        QTest::addColumn<QString>("plain");
        QTest::newRow("refuses a write")
            << "--fail=SetFriendlyName" << 0
            << "org.velmira.Messenger1.Error.Failed: SetFriendlyName refused (0x80004005)"
            << "refused the call";
        QTest::newRow("hangs in a write")
            << "--hang=SetFriendlyName" << 0 << "org.freedesktop.DBus.Error.NoReply"
            << "did not answer in time";
        QTest::newRow("quits mid-rotation") << "--quit-after=2" << 2 << ""
                                            << "is no longer running";
    }
    // The failing tick stops the rotation and reports the client's error once, in plain words
    // first and the D-Bus error only as a detail after them. A client that quits is told as
    // such, with nothing technical.
    void failingClient()
    {
        QFETCH(QString, argument);
        QFETCH(int, goodTicks);
        QFETCH(QString, reported);
        QFETCH(QString, plain);
        ReferenceClientProcess client(*m_bus, {argument});
        QVERIFY(client.isServing());
        DBusMessenger messenger(m_bus->connection());
        RotationEngine engine;
        engine.setMessenger(&messenger);
        QSignalSpy errors(&engine, &RotationEngine::errorOccurred);

        QVERIFY(engine.start(QStringLiteral("Ann\r\nBob\r\nCid\r\n"), LongInterval));
        for (int tick = 0; tick < goodTicks; ++tick)
            engine.tick();
        QCOMPARE(errors.count(), 0);
        if (goodTicks > 0)
            QVERIFY(m_bus->waitForName(MessengerBus::ServiceName, false));
        engine.tick();

        QCOMPARE(errors.count(), 1);
        const QString error = errors.at(0).at(0).toString();
        QVERIFY2(error.indexOf(plain) >= 0 &&
                     (reported.isEmpty() ? !error.contains(QLatin1String("Details"))
                                         : error.indexOf(plain) < error.indexOf(reported)),
                 qPrintable(error));
        QCOMPARE(engine.state(), RotationEngine::State::Idle);
        QVERIFY(!engine.timer().isActive());
    }

    void lateBinding_data()
    {
        QTest::addColumn<bool>("running");
        QTest::newRow("Idle: bound at once") << false;
        QTest::newRow("Running: bound at the next Start") << true;
    }
    // Velmira started before any client takes one that starts later (while a rotation runs
    // inside Velmira: at the next Start), and takes it again at once when it quits and comes
    // back, capturing the name in force each time. Label1 says when the client has gone, shows
    // the name of the one that is back, and follows its change events whatever their result.
    void lateBinding()
    {
        QFETCH(bool, running);
        WatchedWindow w({}, m_bus->connection());
        frmMain &window = w.window;
        CapturingMessageBoxes &boxes = w.boxes;
        QSignalSpy appeared(&w.watcher, &MessengerWatcher::clientAppeared);
        QVERIFY(window.Form_Load());
        QVERIFY(qobject_cast<BuiltinMessenger *>(window.messenger()));
        window.setNamesText(QStringLiteral("Ann\r\n"));
        QLabel *label = window.findChild<QLabel *>("Label1");
        for (const QString name : {"One", "Two"}) {
            const bool first = name == QLatin1String("One");
            if (running && first)
                QVERIFY(window.engine().start(QStringLiteral("Ann\r\n"), LongInterval));
            {
                ReferenceClientProcess client(
                    *m_bus, {"--name=" + name,
                             QStringLiteral("--event-result=%1").arg(first ? 0 : ResultFail)});
                QVERIFY(client.isServing());
                QTRY_COMPARE(appeared.count(), first ? 1 : 2);
                if (running && first) {
                    QVERIFY(qobject_cast<BuiltinMessenger *>(window.messenger()));
                    window.engine().stop(false);
                    window.Toolbar1_ButtonClick(
                        window.findChild<QAbstractButton *>("Toolbar1Start"));
                } else {
                    QVERIFY(window.engine().start(QStringLiteral("Ann\r\n"), LongInterval));
                }
                QVERIFY(qobject_cast<DBusMessenger *>(window.messenger()));
                QCOMPARE(window.engine().originalName(), name);
                if (!first)
                    QCOMPARE(label->text(), name);
                window.engine().tick();
                QTRY_COMPARE(label->text(), QStringLiteral("Ann"));
                window.engine().stop(true);
                QTRY_COMPARE(label->text(), name);
            }
            QTRY_VERIFY(window.engine().clientGone());
            QVERIFY2(label->text().contains(QLatin1String("no longer running")),
                     qPrintable(label->text()));
        }
        QVERIFY2(boxes.errors.isEmpty(), qPrintable(boxes.errors.join(u'\n')));
    }

    void choice_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("running"); // "" or "client"
        QTest::addColumn<QString>("created"); // class name, or "" when it must throw
        const auto row = [](const char *name, const char *options, const char *running,
                            const char *created) {
            QTest::newRow(name) << options << running << created;
        };
        row("auto, a client running", "", "client", "Velmira::DBusMessenger");
        row("builtin, a client running", "--messenger=builtin", "client",
            "Velmira::BuiltinMessenger");
        row("dbus, running", "--messenger=dbus", "client", "Velmira::DBusMessenger");
        row("dbus, not running", "--messenger=dbus", "", "");
        row("pidgin, not running", "--messenger=pidgin", "client", "");
        row("unknown client", "--messenger=msn", "", "");
    }
    void choice()
    {
        QFETCH(QString, options);
        QFETCH(QString, running);
        QFETCH(QString, created);
        // A client of the row before may hold the bus name a moment after its process ended.
        std::optional<ReferenceClientProcess> client;
        if (!running.isEmpty())
            QVERIFY(client.emplace(*m_bus, QStringList()).isServing());
        else
            QVERIFY(m_bus->waitForName(MessengerBus::ServiceName, false));

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
    }
};

QTEST_MAIN(TestDBusMessenger)
#include "tst_dbusmessenger.moc"
