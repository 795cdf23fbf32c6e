// The real program, started as a process: its command line and its answer to being ended from
// outside.
#include "privatebus.h"

#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

// Each test runs the program with a fresh, empty home and settings folder.
class TestVelmiraProcess : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_home;
    void start(QProcess &process, const QStringList &arguments,
               QProcessEnvironment env = QProcessEnvironment::systemEnvironment())
    {
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_CONFIG_HOME", m_home->path());
        env.insert("HOME", m_home->path());
        process.setProcessEnvironment(env);
        process.start(VELMIRA_EXE, arguments);
    }

private slots:
    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        QVERIFY(m_home->isValid());
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("stdoutHas");
        QTest::addColumn<QString>("stderrHas");
        QTest::newRow("version") << QStringList{"--version"} << 0 << "velmira 4.1"
                                 << "";
        QTest::newRow("quit when shown") << QStringList{"--quit-when-shown"} << 0 << ""
                                         << "";
        QTest::newRow("unknown client")
            << QStringList{"--messenger=nobody", "--quit-when-shown"} << 2 << ""
            << "nobody";
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, stdoutHas);
        QFETCH(QString, stderrHas);
        QProcess process;
        start(process, arguments);
        QVERIFY(process.waitForFinished(20000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), exitCode);
        const QString out = QString::fromLocal8Bit(process.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(process.readAllStandardError());
        QVERIFY2(out.contains(stdoutHas), qPrintable(out));
        QVERIFY2(err.contains(stderrHas), qPrintable(err));
    }

    // Ended from outside while the client refuses, or never answers, putting the name back:
    // nothing waits on a person. The settings are saved, the failure goes to stderr and the
    // program ends by itself. SIGTERM and SIGHUP together (a logout) are one request to close;
    // the same signal twice ends it at once.
    void endedFromOutside_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<int>("then"); // a second signal, 0 for none
        QTest::addColumn<QString>("clientFault");
        const QString refuses = "--fail=SetFriendlyName", hangs = "--hang=SetFriendlyName";
        QTest::newRow("SIGTERM") << SIGTERM << 0 << refuses;
        QTest::newRow("SIGINT") << SIGINT << 0 << refuses;
        QTest::newRow("SIGHUP") << SIGHUP << 0 << refuses;
        QTest::newRow("SIGTERM, SIGHUP at once") << SIGTERM << SIGHUP << refuses;
        QTest::newRow("SIGHUP, SIGTERM at once") << SIGHUP << SIGTERM << refuses;
        QTest::newRow("SIGTERM, SIGHUP while the name goes back") << SIGTERM << SIGHUP << hangs;
        QTest::newRow("SIGHUP, SIGTERM while the name goes back") << SIGHUP << SIGTERM << hangs;
        QTest::newRow("second SIGTERM") << SIGTERM << SIGTERM << hangs;
    }
    void endedFromOutside()
    {
        QFETCH(int, signalNumber);
        QFETCH(int, then);
        QFETCH(QString, clientFault);
        PrivateBus bus;
        QVERIFY(bus.isValid());
        ReferenceClientProcess client(bus, {clientFault});
        QVERIFY(client.isServing());
        QProcess process;
        start(process, {"--messenger=dbus"}, bus.environment());
        QVERIFY(process.waitForStarted(10000));
        const auto pid = pid_t(process.processId());
        // The client's name on stderr: the signal handlers are in place before it is chosen.
        QByteArray err;
        QTRY_VERIFY_WITH_TIMEOUT((err += process.readAllStandardError()).contains("velmira: "),
                                 20000);
        ::kill(pid, signalNumber);
        if (then) {
            if (clientFault.startsWith("--hang"))
                QTRY_VERIFY_WITH_TIMEOUT(client.lines().join('\n').contains("not answering"),
                                         20000);
            ::kill(pid, then);
        }
        const bool twice = then == signalNumber;
        QVERIFY(process.waitForFinished(10000));
        // Killed by the second signal; the unload ends the process normally.
        QCOMPARE(process.exitStatus(), twice ? QProcess::CrashExit : QProcess::NormalExit);
        if (twice)
            return;
        QCOMPARE(process.exitCode(), 0);
        QVERIFY((err + process.readAllStandardError()).contains("Could not put back the display"));
        QSettings ini(m_home->filePath("Velmira/Vuzerer4.ini"), QSettings::IniFormat);
        QCOMPARE(ini.value("Settings/Width").toString(), QStringLiteral("4770")); // saved
    }
};

QTEST_GUILESS_MAIN(TestVelmiraProcess)
#include "tst_velmira_process.moc"
