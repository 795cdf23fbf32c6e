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
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:")) {
            bool ok = false;
            const quint64 mask = line.mid(7).trimmed().toULongLong(&ok, 16);
            return ok && (mask >> (signalNumber - 1)) & 1u;
        }
    }
    return false;
}

} // namespace

class TestVelmiraProcess : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void commandLine_data();
    void commandLine();
    void endedFromOutside_data();
    void endedFromOutside();

private:
    void start(QProcess &process, const QStringList &arguments);
    std::unique_ptr<QTemporaryDir> m_home;
};

void TestVelmiraProcess::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
}

void TestVelmiraProcess::start(QProcess &process, const QStringList &arguments)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home->path());
    env.insert(QStringLiteral("HOME"), m_home->path());
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(VELMIRA_EXE), arguments);
}

void TestVelmiraProcess::commandLine_data()
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

void TestVelmiraProcess::commandLine()
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

void TestVelmiraProcess::endedFromOutside_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
}

void TestVelmiraProcess::endedFromOutside()
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
    const QString store = m_home->filePath(QStringLiteral("Velmira/Vuzerer4.ini"));
    QVERIFY2(QFile::exists(store), qPrintable(store));
    QSettings settings(store, QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("Settings"));
    const QStringList keys = {"Interval", "ResetNick", "SaveLast", "Min", "Width", "Height"};
    QStringList values;
    for (const QString &key : keys)
        values << settings.value(key).toString();
    const QStringList expected = {"1", "1", "put each name on a new line...", "0", "4770", "4440"};
    QCOMPARE(values, expected);
}

QTEST_GUILESS_MAIN(TestVelmiraProcess)
#include "tst_velmira_process.moc"
