#include "core/restorerecord.h"
#include "core/rotationengine.h"
#include "scriptedmessenger.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using Velmira::RotationEngine;

namespace {
const QString Interval = QStringLiteral("1000");

QStringList namesOf(const QStringList &writes)
{
    QStringList names;
    for (const QString &write : writes)
        names << write.section(u':', 1);
    return names;
}
} // namespace

class TestRotationEngine : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        client = std::make_unique<ScriptedMessenger>();
        engine = std::make_unique<RotationEngine>();
        engine->setMessenger(client.get());
        errors = std::make_unique<QSignalSpy>(engine.get(), &RotationEngine::errorOccurred);
    }
    void cleanup()
    {
        errors.reset();
        engine.reset();
        client.reset();
    }

    void namesShownInOrder_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("cycle");

        QTest::newRow("every line ended") << "Ann\r\nBob\r\nCy\r\n"
                                          << QStringList{"Ann", "Bob", "Cy"};
        QTest::newRow("last line without line end")
            << "Ann\r\nBob\r\nCy" << QStringList{"Ann", "Bob", "Cy"};
        QTest::newRow("empty line inside") << "Ann\r\n\r\nBob\r\n" << QStringList{"Ann", "", "Bob"};
        QTest::newRow("one name, no line end") << "Ann" << QStringList{"Ann"};
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
        QCOMPARE(namesOf(client->writes()), expected);
        QCOMPARE(errors->count(), 0);
        QCOMPARE(engine->state(), RotationEngine::State::Running);
    }

    void period_data()
    {
        QTest::addColumn<QString>("interval");
        QTest::addColumn<int>("period"); // -1: Start refuses

        QTest::newRow("slider value") << "7000" << 7000;
        QTest::newRow("not a multiple of a second") << "2500" << 2500;
        QTest::newRow("blanks around") << " 3000 " << 3000;
        QTest::newRow("half rounds to even, down") << "2500.5" << 2500;
        QTest::newRow("half rounds to even, up") << "2501.5" << 2502;
        QTest::newRow("first start's 1 ms is raised") << "1" << 1000;
        QTest::newRow("zero is raised") << "0" << 1000;
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
        if (period < 0) {
            QVERIFY(!started);
            QCOMPARE(engine->state(), RotationEngine::State::Idle);
            QVERIFY(!engine->timer().isActive());
            QCOMPARE(states.count(), 0);
            QCOMPARE(errors->count(), 1);
            QVERIFY(errors->first().first().toString().contains(interval));
            return;
        }
        QVERIFY(started);
        QCOMPARE(engine->state(), RotationEngine::State::Running);
        QVERIFY(engine->timer().isActive());
        QCOMPARE(engine->timer().interval(), period);
        QCOMPARE(engine->timer().timerType(), Qt::PreciseTimer);
        QCOMPARE(states.count(), 1);
    }

    // Start and Stop act only from their own state; a second Start takes the new text and
    // begins again at its first name.
    void startStopStart()
    {
        engine->stop(true);
        QVERIFY(client->log.isEmpty());
        QVERIFY(engine->start(QStringLiteral("Ann\r\nBob\r\nCy\r\n"), Interval));
        QVERIFY(!engine->start(QStringLiteral("Bob\r\n"), Interval));
        engine->tick();
        engine->tick();
        engine->stop(false);
        QCOMPARE(engine->state(), RotationEngine::State::Idle);
        QVERIFY(!engine->timer().isActive());
        engine->tick(); // a tick that was already queued does nothing after Stop

        QVERIFY(engine->start(QStringLiteral("Xu\r\nYo"), QStringLiteral("2000")));
        engine->tick();
        engine->tick();
        engine->tick();
        QCOMPARE(namesOf(client->writes()), (QStringList{"Ann", "Bob", "Xu", "Yo", "Xu"}));
        QCOMPARE(engine->timer().interval(), 2000);
    }

    // The rotation timer itself drives the ticks: no test but this one lets it run.
    void timerDrivesTheTicks()
    {
        QVERIFY(engine->start(QStringLiteral("Ann\r\nBob\r\n"), Interval));
        QVERIFY(client->writes().isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(namesOf(client->writes()), (QStringList{"Ann", "Bob"}), 20000);
    }

    // A tick gets the services afresh, so a swapped primary service takes the next write.
    void primaryServiceSwappedBetweenTicks()
    {
        QVERIFY(engine->start(QStringLiteral("Ann\r\nBob\r\n"), Interval));
        engine->tick();
        QCOMPARE(client->log, (QStringList{"BeginRotation", "Services", "PrimaryService",
                                           "S1.SetFriendlyName(Ann)"}));
        client->swapPrimaryService(QStringLiteral("Other"));
        engine->tick();
        QCOMPARE(client->writes(), (QStringList{"S1:Ann", "S2:Bob"}));
    }

    void captureOriginalName_data()
    {
        QTest::addColumn<QList<qint32>>("readings");
        QTest::addColumn<QString>("displayName");
        QTest::addColumn<bool>("captured");

        QTest::newRow("signed in") << QList<qint32>{2, 2} << "Ann" << true;
        QTest::newRow("offline at the first reading") << QList<qint32>{1, 2} << "Ann" << false;
        QTest::newRow("connecting at the second reading")
            << QList<qint32>{2, 512} << "Ann" << false;
        QTest::newRow("connecting first, then signed in") << QList<qint32>{512, 2} << "Ann" << true;
        QTest::newRow("offline only at the second reading") << QList<qint32>{2, 1} << "Ann" << true;
        QTest::newRow("empty name is captured") << QList<qint32>{2, 2} << "" << true;
    }

    void captureOriginalName()
    {
        QFETCH(QList<qint32>, readings);
        QFETCH(QString, displayName);
        QFETCH(bool, captured);

        client->stateReadings = readings;
        client->setDisplayName(displayName);
        engine->captureOriginalName();

        QCOMPARE(engine->originalName().has_value(), captured);
        QStringList expected{"LocalState", "LocalState"};
        if (captured) {
            QCOMPARE(*engine->originalName(), displayName);
            expected << "Services"
                     << "PrimaryService"
                     << "S1.FriendlyName";
        }
        QCOMPARE(client->log, expected);
    }

    void resetName_data()
    {
        QTest::addColumn<bool>("restore");
        QTest::addColumn<QList<qint32>>("readings");
        QTest::addColumn<int>("original"); // 0 unset, 1 empty, 2 "Ann"
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<bool>("emptyIsName");

        const QStringList stateOnly{"LocalState", "LocalState"};
        const QStringList written =
            stateOnly + QStringList{"Services", "PrimaryService", "S1.SetFriendlyName(Ann)"};
        QTest::newRow("checked, signed in") << true << QList<qint32>{2, 2} << 2 << written << false;
        QTest::newRow("not asked for")
            << false << QList<qint32>{2, 2} << 2 << QStringList{} << false;
        QTest::newRow("offline first") << true << QList<qint32>{1, 2} << 2 << stateOnly << false;
        QTest::newRow("connecting second")
            << true << QList<qint32>{2, 512} << 2 << stateOnly << false;
        QTest::newRow("connecting first") << true << QList<qint32>{512, 2} << 2 << written << false;
        QTest::newRow("no captured name") << true << QList<qint32>{2, 2} << 0 << stateOnly << false;
        QTest::newRow("empty captured name")
            << true << QList<qint32>{2, 2} << 1 << stateOnly << false;
        QTest::newRow("empty captured name, a name of this client")
            << true << QList<qint32>{2, 2} << 1
            << stateOnly + QStringList{"Services", "PrimaryService", "S1.SetFriendlyName()"}
            << true;
    }

    // ResetName's conditions and its exact calls; it does not depend on a running rotation.
    void resetName()
    {
        QFETCH(bool, restore);
        QFETCH(QList<qint32>, readings);
        QFETCH(int, original);
        QFETCH(QStringList, log);
        QFETCH(bool, emptyIsName);
        client->emptyIsName = emptyIsName;

        if (original > 0) {
            client->setDisplayName(original == 2 ? QStringLiteral("Ann") : QString());
            engine->captureOriginalName();
        }
        client->setDisplayName(QStringLiteral("Zed"));
        client->log.clear();
        client->stateReadings = readings;

        engine->restoreOriginalName(restore);
        QCOMPARE(client->log, log);
        QCOMPARE(errors->count(), 0);
    }

    // A name the client cannot take stops the Start before anything is written, naming the line.
    void nameRefusedByClient()
    {
        client->refused = QStringList{"B@d"};
        QVERIFY(!engine->start(QStringLiteral("Ann\r\nB@d\r\n"), Interval));
        QCOMPARE(engine->state(), RotationEngine::State::Idle);
        QVERIFY(client->log.isEmpty());
        QVERIFY(errors->first().first().toString().contains(QLatin1String("line 2, \"B@d\"")));
    }

    void restoreRecord_data()
    {
        QTest::addColumn<QString>("identity");
        QTest::addColumn<QString>("shown"); // by the client at start-up
        QTest::addColumn<QString>("original");
        QTest::addColumn<bool>("putBack");
        QTest::newRow("a name of the rotation") << "ScriptedMessenger"
                                                << "Cy"
                                                << "Ann" << true;
        QTest::newRow("the user's own name since") << "ScriptedMessenger"
                                                   << "Dee"
                                                   << "Dee" << false;
        QTest::newRow("another client's record") << "Other"
                                                 << "Cy"
                                                 << "Cy" << false;
    }
    // A record left by a rotation that did not end cleanly puts the original back only to the
    // same client still showing a name of that rotation. A rotation records its original before
    // the first write; only an end that put the name back (or was not asked to) removes it.
    void restoreRecord()
    {
        QFETCH(QString, identity);
        QFETCH(QString, shown);
        QFETCH(QString, original);
        QFETCH(bool, putBack);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("record.json"));
        QVERIFY((Velmira::RestoreRecord{identity, "Ann", {"Bob", "Cy"}}.write(path).ok));
        engine->setRestoreRecordPath(path);
        QSignalSpy notices(engine.get(), &RotationEngine::noticeGiven);
        client->setDisplayName(shown);
        engine->captureOriginalName();
        QCOMPARE(engine->originalName(), original);
        QCOMPARE(client->displayName(), putBack ? QStringLiteral("Ann") : shown);
        QCOMPARE(notices.count(), putBack ? 1 : 0);
        QCOMPARE(QFile::exists(path), identity == QLatin1String("Other"));

        QVERIFY(engine->start(QStringLiteral("Eve\r\n"), Interval));
        QCOMPARE(Velmira::RestoreRecord::read(path).value,
                 (Velmira::RestoreRecord{"ScriptedMessenger", original, {"Eve"}}));
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
        QTest::newRow("tick: service collection") << "tick"
                                                  << "Services";
        QTest::newRow("tick: primary service") << "tick"
                                               << "PrimaryService";
        QTest::newRow("tick: write") << "tick"
                                     << "SetFriendlyName";
        QTest::newRow("reset: state reading") << "reset"
                                              << "LocalState";
        QTest::newRow("reset: write") << "reset"
                                      << "SetFriendlyName";
        QTest::newRow("capture: read") << "capture"
                                       << "FriendlyName";
    }
    // A failing call is reported once, naming the call and its code. A failing tick stops the
    // rotation where it is, without putting the name back; a failing capture leaves no original,
    // so no reset writes anything.
    void clientFailure()
    {
        QFETCH(QString, step);
        QFETCH(QString, call);
        client->setDisplayName(QStringLiteral("Ann"));
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
        if (step == QLatin1String("tick"))
            QCOMPARE(engine->nameIndex(), 1);
        QCOMPARE(engine->originalName().has_value(), step != QLatin1String("capture"));
        if (step != QLatin1String("reset"))
            QVERIFY(!namesOf(client->writes()).contains(QStringLiteral("Ann")));
    }

    void releasedClientIsLeftAlone()
    {
        engine->captureOriginalName();
        QVERIFY(engine->start(QStringLiteral("Bob\r\n"), Interval));
        client.reset();
        engine->tick();
        engine->stop(true);
        QCOMPARE(errors->count(), 0);
    }

private:
    std::unique_ptr<ScriptedMessenger> client;
    std::unique_ptr<RotationEngine> engine;
    std::unique_ptr<QSignalSpy> errors;
};

QTEST_GUILESS_MAIN(TestRotationEngine)
#include "tst_rotationengine.moc"
