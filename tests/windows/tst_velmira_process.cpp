// The real program, started as a process: its command line and its answer to being ended from
// outside.
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

// Whether `pid` has a handler for `signalNumber` (from the SigCgt mask in /proc).
bool catches(qint64 pid, int signalNumber)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : status.readAll().split('\n')) {
            if (line.startsWith("SigCgt:"))
                return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (signalNumber - 1)) & 1u;
        }
    }
    return false;
}

} // namespace

// Each test runs the program with a fresh, empty home and settings folder.
class TestVelmiraProcess : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_home;
    void start(QProcess &process, const QStringList &arguments)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
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

    void endedFromOutside_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
        QTest::newRow("SIGHUP") << SIGHUP;
    }
    void endedFromOutside()
    {
        QFETCH(int, signalNumber);
        QProcess process;
        start(process, {});
        QVERIFY(process.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(catches(process.processId(), signalNumber), 20000);
        ::kill(pid_t(process.processId()), signalNumber);
        QVERIFY(process.waitForFinished(20000));
        // Killed by the signal, the process would end abnormally; the unload ends it normally.
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        // The unload saved the settings: a first run writes all six defaults.
        QSettings ini(m_home->filePath("Velmira/Vuzerer4.ini"), QSettings::IniFormat);
        QStringList values;
        for (const char *key : {"Interval", "ResetNick", "SaveLast", "Min", "Width", "Height"})
            values << ini.value(QStringLiteral("Settings/") + key).toString();
        QCOMPARE(values,
                 (QStringList{"1", "1", "put each name on a new line...", "0", "4770", "4440"}));
    }
};

QTEST_GUILESS_MAIN(TestVelmiraProcess)
#include "tst_velmira_process.moc"
