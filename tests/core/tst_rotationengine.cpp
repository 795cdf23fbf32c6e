#include "core/restorerecord.h"
#include "core/rotationengine.h"
#include "scriptedmessenger.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Velmira;

namespace {
const QString Interval = QStringLiteral("1000");
const QString Names = QStringLiteral("Ann\r\nBob\r\nCy\r\n");
} // namespace

class TestRotationEngine : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        client = std::make_unique<ScriptedMessenger>();
        engine = std::make_unique<RotationEngine>();
        engine->setMessenger(client.get());
        errors = std::make_unique<QSignalSpy>(engine.get(), &RotationEngine::errorOccurred);
        notices = std::make_unique<QSignalSpy>(engine.get(), &RotationEngine::noticeGiven);
    }
    void cleanup()
    {
        notices.reset();
        errors.reset();
        engine.reset();
        client.reset();
        dir.reset();
    }

    void namesShownInOrder_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("cycle");

        QTest::newRow("every line ended") << Names << QStringList{"Ann", "Bob", "Cy"};
        QTest::newRow("last line without line end")
            << "Ann\r\nBob\r\nCy" << QStringList{"Ann", "Bob", "Cy"};
        QTest::newRow("empty line inside") << "Ann\r\n\r\nBob\r\n" << QStringList{"Ann", "", "Bob"};
        QTest::newRow("one empty name") << "\r\n" << QStringList{""};
        QTest::newRow("lone LF stays in the name") << "A\nB\r\nC\r\n" << QStringList{"A\nB", "C"};
        QTest::newRow("lone CR stays in the name") << "A\rB\r\nC" << QStringList{"A\rB", "C"};
        QTest::newRow("CR CR LF is one pair") << "A\r\r\nB" << QStringList{"A\r", "B"};
        QTest::newRow("LF CR is no pair") << "A\n\rB" << QStringList{"A\n\rB"};
        QTest::newRow("blanks and case kept") << " ann \r\nANN\r\n" << QStringList{" ann ", "ANN"};
        QTest::newRow("empty text") << "" << QStringList{};
    }

    // The ticks show the elements in order and begin again at the first after the last; the
    // first tick writes the first name.
    void namesShownInOrder()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, cycle);

        QVERIFY(engine->start(text, Interval));
        QVERIFY2(client->writes().isEmpty(), "Start itself writes nothing");
        const int ticks = int(cycle.size()) * 2 + 1;
        for (int i = 0; i < ticks; ++i)
            engine->tick();

        QStringList expected;
        for (int i = 0; i < ticks && !cycle.isEmpty(); ++i)
            expected << cycle.at(i % cycle.size());
        QCOMPARE(client->writes(), expected);
        QCOMPARE(errors->count(), 0);
        QCOMPARE(engine->state(), RotationEngine::State::Running);
    }

    void period_data()
    {
        QTest::addColumn<QString>("interval");
        QTest::addColumn<int>("period"); // -1: Start refuses

        QTest::newRow("not a multiple of a second") << "2500" << 2500;
        QTest::newRow("blanks around") << " 3000 " << 3000;
        QTest::newRow("half rounds to even, down") << "2500.5" << 2500;
        QTest::newRow("half rounds to even, up") << "2501.5" << 2502;
        QTest::newRow("first start's 1 ms is raised") << "1" << 1000;
        QTest::newRow("negative is raised") << "-5" << 1000;
        QTest::newRow("largest 32-bit") << "2147483647" << 2147483647;
        QTest::newRow("too large for 32 bits") << "2147483648" << -1;
        QTest::newRow("not a number") << "soon" << -1;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("infinite") << "inf" << -1;
    }

    void period()
    {
        QFETCH(QString, interval);
        QFETCH(int, period);

        QSignalSpy states(engine.get(), &RotationEngine::stateChanged);
        const bool started = engine->start(QStringLiteral("Ann\r\n"), interval);
        QCOMPARE(started, period > 0);
        QCOMPARE(engine->timer().isActive(), started);
        QCOMPARE(states.count(), started ? 1 : 0);
        if (!started) {
            QCOMPARE(engine->state(), RotationEngine::State::Idle);
            QCOMPARE(errors->count(), 1);
            QVERIFY(errors->first().first().toString().contains(interval));
            return;
        }
        QCOMPARE(engine->timer().interval(), period);
    }

    // Start and Stop act only from their own state; a second Start takes the new text and
    // begins again at its first name.
    void startStopStart()
    {
        engine->stop(true);
        QVERIFY(client->log.isEmpty());
        QVERIFY(engine->start(Names, Interval));
        QVERIFY(!engine->start(QStringLiteral("Bob\r\n"), Interval));
        engine->tick();
        engine->tick();
        engine->stop(false);
        QCOMPARE(engine->state(), RotationEngine::State::Idle);
        QVERIFY(!engine->timer().isActive());
        engine->tick(); // a tick that was already queued does nothing after Stop

        QVERIFY(engine->start(QStringLiteral("Xu\r\nYo"), QStringLiteral("2000")));
        for (int i = 0; i < 3; ++i)
            engine->tick();
        QCOMPARE(client->writes(), (QStringList{"Ann", "Bob", "Xu", "Yo", "Xu"}));
        QCOMPARE(engine->timer().interval(), 2000);
        // The rotation timer itself drives the ticks too: no test but this one lets it run.
        QTRY_COMPARE_WITH_TIMEOUT(client->writes().mid(5), QStringList{"Yo"}, 20000);
    }

    void stateTest_data()
    {
        QTest::addColumn<QList<qint32>>("readings");
        QTest::addColumn<bool>("passes");
        QTest::newRow("signed in") << QList<qint32>{2, 2} << true;
        QTest::newRow("offline at the first reading") << QList<qint32>{1, 2} << false;
        QTest::newRow("connecting at the second reading") << QList<qint32>{2, 512} << false;
        QTest::newRow("connecting first, then signed in") << QList<qint32>{512, 2} << true;
        QTest::newRow("offline only at the second reading") << QList<qint32>{2, 1} << true;
    }
    // Two state readings come before the original is taken and before it is put back: the first
    // must not be offline, the second not connecting.
    void stateTest()
    {
        QFETCH(QList<qint32>, readings);
        QFETCH(bool, passes);
        const QStringList tested{"LocalState", "LocalState"};
        client->stateReadings = readings;
        engine->captureOriginalName();
        QCOMPARE(engine->originalName(),
                 passes ? std::optional<QString>("Original") : std::optional<QString>());
        QCOMPARE(client->log, passes ? tested + QStringList{"LocalFriendlyName"} : tested);
        engine->captureOriginalName(); // signed in now
        client->log.clear();
        client->stateReadings = readings;
        engine->restoreOriginalName(true);
        QCOMPARE(client->log,
                 tested + QStringList{passes ? "EndRotation(Original)" : "EndRotation()"});
    }

    void resetName_data()
    {
        QTest::addColumn<bool>("restore");
        QTest::addColumn<int>("original"); // 0 unset, 1 empty, 2 "Ann"
        QTest::addColumn<bool>("emptyIsName");
        QTest::addColumn<QString>("end");
        QTest::newRow("checked") << true << 2 << false << "EndRotation(Ann)";
        QTest::newRow("not asked for") << false << 2 << false << "EndRotation()";
        QTest::newRow("no captured name") << true << 0 << false << "EndRotation()";
        QTest::newRow("empty captured name") << true << 1 << false << "EndRotation()";
        QTest::newRow("empty captured name, a name of this client")
            << true << 1 << true << "EndRotation()";
    }

    // The reset, Running or not: the state test when the name is to be put back, then one call
    // that puts the original back (when it may) and ends the client's rotation.
    void resetName()
    {
        QFETCH(bool, restore);
        QFETCH(int, original);
        QFETCH(bool, emptyIsName);
        QFETCH(QString, end);
        client->emptyIsName = emptyIsName;
        if (original > 0) {
            client->displayName = original == 2 ? QStringLiteral("Ann") : QString();
            engine->captureOriginalName();
            QCOMPARE(engine->originalName(), std::optional(client->displayName));
        }
        const QStringList log =
            restore ? QStringList{"LocalState", "LocalState", end} : QStringList{end};
        for (const bool running : {false, true}) {
            if (running)
                QVERIFY(engine->start(QStringLiteral("Zed\r\n"), Interval));
            client->log.clear();
            engine->restoreOriginalName(restore);
            QCOMPARE(client->log, log);
            QCOMPARE(engine->state(), RotationEngine::State::Idle);
        }
        QCOMPARE(errors->count(), 0);
    }

    void startAdvice_data()
    {
        QTest::addColumn<int>("sendInterval");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<int>("period");
        QTest::addColumn<QStringList>("told");
        QTest::newRow("nothing to say") << 0 << "" << 1000 << QStringList();
        QTest::newRow("a warning, told once") << 0 << "Careful." << 1000 << QStringList{"Careful."};
        QTest::newRow("sends more slowly than the interval")
            << 1500 << "" << 2000
            << QStringList{"the Messenger client sends one line every 1.5 s: names change every "
                           "2 s."};
        QTest::newRow("sends as fast as the interval") << 1000 << "" << 1000 << QStringList();
    }
    // Before a rotation starts the client may refuse it or one of its names (nothing is written),
    // warn (told once a run) or set a longer period: names never change faster than it sends them
    // (told once).
    void startAdvice()
    {
        QFETCH(int, sendInterval);
        QFETCH(QString, warning);
        QFETCH(int, period);
        QFETCH(QStringList, told);
        client->sendInterval = sendInterval;
        client->warning = warning;
        for (int start = 0; start < 2; ++start) {
            QVERIFY(engine->start(Names, Interval));
            QCOMPARE(engine->timer().interval(), period);
            engine->stop(false);
        }
        QStringList notes;
        for (const QList<QVariant> &notice : *notices)
            notes << notice.first().toString();
        QCOMPARE(notes, told);
        client->refusal = QStringLiteral("Not here.");
        client->log.clear();
        QVERIFY(!engine->start(Names, Interval));
        QCOMPARE(errors->last().first().toString(), QStringLiteral("Could not start: Not here."));
        // A name the client cannot take stops the Start too, naming its line.
        client->refusal.reset();
        client->refused = QStringList{"B@d"};
        QVERIFY(!engine->start(QStringLiteral("Ann\r\nB@d\r\n"), Interval));
        QVERIFY(errors->last().first().toString().contains(QLatin1String("line 2, \"B@d\"")));
        QCOMPARE(engine->state(), RotationEngine::State::Idle);
        QVERIFY(client->log.isEmpty());
    }

    void restoreRecord_data()
    {
        QTest::addColumn<QString>("identity");
        QTest::addColumn<QString>("shown"); // by the client at start-up
        QTest::addColumn<bool>("clientQuit");
        QTest::addColumn<QString>("original");
        QTest::addColumn<QString>("notice"); // empty: the name is not put back
        const auto row = [](const char *name, const char *identity, const char *shown, bool quit,
                            const char *original, const QString &notice = {}) {
            QTest::newRow(name) << QString(identity) << QString(shown) << quit << QString(original)
                                << notice;
        };
        const QString putBack =
            "your display name \"Ann\" in the Messenger client has been put back.";
        row("a name of the rotation", "ScriptedMessenger", "Cy", false, "Ann",
            "Velmira ended during a rotation last time: " + putBack);
        row("a name of a rotation whose client quit", "ScriptedMessenger", "Cy", true, "Ann",
            "The last rotation ended when the Messenger client quit: " + putBack);
        row("the original", "ScriptedMessenger", "Ann", false, "Ann");
        row("the user's own name since", "ScriptedMessenger", "Dee", false, "Dee");
        row("another client's record", "Other", "Cy", false, "Cy");
    }
    // A record left by a rotation that did not end cleanly puts the original back only to the
    // same client still showing a name of that rotation, and then tells why. A rotation records
    // its original before the first write (in a folder made for it on a first run); only an end
    // that put the name back (or was not asked to) removes the record, and never another
    // client's.
    void restoreRecord()
    {
        QFETCH(QString, identity);
        QFETCH(QString, shown);
        QFETCH(bool, clientQuit);
        QFETCH(QString, original);
        QFETCH(QString, notice);
        const QString path = dir->filePath(QStringLiteral("Velmira/record.json"));
        QVERIFY((RestoreRecord{identity, "Ann", {"Bob", "Cy"}, clientQuit}.write(path).ok));
        engine->setRestoreRecordPath(path);
        client->displayName = shown;
        engine->captureOriginalName();
        QCOMPARE(engine->originalName(), original);
        QCOMPARE(client->displayName, notice.isEmpty() ? shown : QStringLiteral("Ann"));
        QCOMPARE(notices->count(), notice.isEmpty() ? 0 : 1);
        if (!notice.isEmpty())
            QCOMPARE(notices->first().first().toString(), notice);
        QCOMPARE(QFile::exists(path), identity == QLatin1String("Other"));

        QVERIFY(QDir(dir->path()).removeRecursively());
        QVERIFY(engine->start(QStringLiteral("Eve\r\n"), Interval));
        QCOMPARE(RestoreRecord::read(path).value,
                 (RestoreRecord{"ScriptedMessenger", original, {"Eve"}}));
        client->stateReadings = {1}; // offline at Stop: nothing can be put back
        engine->stop(true);
        QVERIFY(QFile::exists(path));
        engine->restoreOriginalName(true);
        QVERIFY(!QFile::exists(path));
        QCOMPARE(errors->count(), 0);
    }

    void clientFailure_data()
    {
        QTest::addColumn<QString>("step"); // the step during which the call fails
        QTest::addColumn<QString>("call");
        for (const auto &[step, call] : {std::pair{"tick", "SetFriendlyName"},
                                         {"reset", "LocalState"},
                                         {"reset", "EndRotation"},
                                         {"capture", "LocalFriendlyName"}})
            QTest::addRow("%s: %s", step, call) << QString(step) << QString(call);
    }
    // A failing call is reported once, in plain words and with its code as a detail. A failing
    // tick stops the rotation where it is, without putting the name back; a failing capture
    // leaves no original, so no reset writes anything.
    void clientFailure()
    {
        QFETCH(QString, step);
        QFETCH(QString, call);
        client->displayName = QStringLiteral("Ann");
        if (step == QLatin1String("capture"))
            client->failCall(call, qint32(0x8000FFFF));
        engine->captureOriginalName();
        QVERIFY(engine->start(QStringLiteral("Bob\r\nCy\r\n"), Interval));
        engine->tick();
        client->failCall(call, qint32(0x8000FFFF));
        client->log.clear();
        if (step == QLatin1String("reset"))
            engine->stop(true);
        else
            engine->tick();
        engine->tick();
        engine->stop(true);

        QCOMPARE(engine->state(), RotationEngine::State::Idle);
        QCOMPARE(errors->count(), 1);
        const QString message = errors->first().first().toString();
        QVERIFY2(message.contains(QLatin1String("8000FFFF")) && message.contains(call),
                 qPrintable(message));
        QCOMPARE(engine->originalName().has_value(), step != QLatin1String("capture"));
        if (step == QLatin1String("tick"))
            QCOMPARE(client->log, QStringList{"SetFriendlyName(Cy)"});
        if (step != QLatin1String("reset"))
            QVERIFY(!client->writes().contains(QStringLiteral("Ann")));
    }

    void heldWhileOffline_data()
    {
        QTest::addColumn<QList<qint32>>("readingsAtStart");
        QTest::addColumn<bool>("signOffMidway");
        QTest::newRow("offline at Start") << QList<qint32>{1, 1, 1, 1} << false;
        QTest::newRow("signed off mid-rotation") << QList<qint32>{2, 2, 2, 2} << true;
    }
    // A client that says when its account signs on is not written to while it is offline: the
    // latest name waits and is written at sign-on. An original not yet taken is taken then,
    // before the waiting name is written, and recorded.
    void heldWhileOffline()
    {
        QFETCH(QList<qint32>, readingsAtStart);
        QFETCH(bool, signOffMidway);
        client->tellsSignOn = true;
        client->stateReadings = readingsAtStart;
        engine->setRestoreRecordPath(dir->filePath(QStringLiteral("record.json")));
        engine->captureOriginalName();
        QVERIFY(engine->start(Names, Interval));
        engine->tick();
        if (signOffMidway)
            emit client->signedOff();
        engine->tick();
        engine->tick();
        QCOMPARE(client->writes(), signOffMidway ? QStringList{"Ann"} : QStringList{});
        client->displayName = QStringLiteral("Own");
        emit client->signedOn();
        QCOMPARE(client->writes(), signOffMidway ? (QStringList{"Ann", "Cy"}) : QStringList{"Cy"});
        QCOMPARE(engine->originalName(), signOffMidway ? "Original" : "Own");
        QCOMPARE(RestoreRecord::read(dir->filePath(QStringLiteral("record.json"))).value->original,
                 *engine->originalName());
        engine->tick();
        QCOMPARE(client->writes().last(), QStringLiteral("Ann"));
        QCOMPARE(errors->count(), 0);
    }

    // A client that confirms its changes: a tick while a change is unconfirmed sends nothing
    // (told once per rotation); one that has waited past the patience sends again. A refused
    // name is told once and left out for the rest of the rotation; the next Start tries it again.
    void confirmations()
    {
        client->confirms = true;
        QVERIFY(engine->start(QStringLiteral("Ann\r\nBob\r\nTaken\r\nCy\r\n"), Interval));
        engine->session()->setConfirmationPatience(3600000);
        engine->tick(); // Ann sent
        engine->tick(); // Bob skipped
        engine->tick(); // Taken skipped
        emit client->changeConfirmed("Ann");
        // Cy, Ann, Bob, Taken (refused), Cy, Ann, Bob, (Taken passed over) Cy, Ann
        for (int i = 0; i < 9; ++i) {
            engine->tick();
            const QString sent = client->writes().last();
            if (sent == QLatin1String("Taken"))
                emit client->changeRefused(sent, "already in use");
            else
                emit client->changeConfirmed(sent);
        }
        emit client->changeRefused("Taken", "already in use"); // a late repeat: told once
        QCOMPARE(client->writes().join(u' '), "Ann Cy Ann Bob Taken Cy Ann Bob Cy Ann");
        QCOMPARE(notices->count(), 2);
        QVERIFY(notices->at(0).at(0).toString().contains(QLatin1String("not yet confirmed")));
        QCOMPARE(
            notices->at(1).at(0).toString(),
            QStringLiteral("The name \"Taken\" was refused by the Messenger client: already in "
                           "use. It is left out for the rest of this rotation."));

        engine->session()->setConfirmationPatience(0); // waited long enough
        engine->tick();
        engine->tick();
        QCOMPARE(client->writes().mid(10), (QStringList{"Bob", "Cy"}));
        engine->stop(false);
        QVERIFY(engine->start(QStringLiteral("Taken\r\n"), Interval));
        engine->tick();
        QCOMPARE(client->writes().last(), QStringLiteral("Taken"));
        QCOMPARE(notices->count(), 2);
    }

    void clientGone_data()
    {
        QTest::addColumn<bool>("byCall"); // a call found it gone, else its own signal said so
        QTest::newRow("the client says it has gone") << false;
        QTest::newRow("a write finds it gone") << true;
    }
    // A client that leaves mid-rotation stops it, told once; the record stays, marked so that
    // the next meeting says why; closing afterwards asks the client nothing and reports nothing.
    void clientGone()
    {
        QFETCH(bool, byCall);
        const QString path = dir->filePath(QStringLiteral("record.json"));
        engine->setRestoreRecordPath(path);
        engine->captureOriginalName();
        QSignalSpy lost(engine.get(), &RotationEngine::clientLost);
        QVERIFY(engine->start(Names, Interval));
        engine->tick();
        if (byCall) {
            client->failCall(QStringLiteral("SetFriendlyName"), ResultGone);
            engine->tick();
        }
        emit client->gone();
        emit client->gone();
        QCOMPARE(engine->state(), RotationEngine::State::Idle);
        QCOMPARE(lost.count(), 1);
        QCOMPARE(errors->count(), 1);
        QVERIFY(errors->first().first().toString().contains(QLatin1String("no longer running")));
        client->log.clear();
        engine->restoreOriginalName(true);
        QVERIFY(client->log.isEmpty());
        QVERIFY(!engine->start(Names, Interval));
        QCOMPARE(errors->count(), 2);
        const Loaded<std::optional<RestoreRecord>> record = RestoreRecord::read(path);
        QVERIFY(record.value && record.value->clientQuit);
        QCOMPARE(record.value->original, QStringLiteral("Original"));
    }

    // A client released mid-rotation (the window binds another) is not written to any more.
    void releasedClientIsLeftAlone()
    {
        engine->captureOriginalName();
        QVERIFY(engine->start(QStringLiteral("Bob\r\n"), Interval));
        engine->setMessenger(nullptr);
        client->log.clear();
        engine->tick();
        engine->stop(true);
        engine->restoreOriginalName(true);
        QVERIFY(client->log.isEmpty());
        QCOMPARE(errors->count(), 0);
    }

private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<ScriptedMessenger> client;
    std::unique_ptr<RotationEngine> engine;
    std::unique_ptr<QSignalSpy> errors;
    std::unique_ptr<QSignalSpy> notices;
};

QTEST_GUILESS_MAIN(TestRotationEngine)
#include "tst_rotationengine.moc"
