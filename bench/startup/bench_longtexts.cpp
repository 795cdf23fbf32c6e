// Long names texts (16 Mi characters: one line, short lines, random bytes read as a names file)
// against the empty settings, in one run, printed as a table:
// - start-up: velmira as a process (offscreen, a private settings folder) with the text as its
//   last names text; the window counts as shown when the process has used no processor time for
//   half a second, and its VmHWM is read from /proc/PID/status then;
// - exit after SIGTERM: from the signal to the process's end (the settings are saved), and the
//   peak resident memory of the whole run (wait4);
// - loading preset 1 that holds the text, in the shown main window of a child of this program:
//   time to the box painted, and the child's VmHWM after it.
// Each figure is the median of three runs.
#include "core/builtinmessenger.h"
#include "core/cp1252.h"
#include "core/settingsstore.h"
#include "gui/frmmain.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QWindow>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

constexpr qsizetype Size = 16 << 20;
constexpr int Runs = 3;

QString longText(int shape)
{
    QString text;
    if (shape == 1) {
        for (int n = 0; text.size() < Size; ++n)
            text += QStringLiteral("name%1").arg(n);
    } else if (shape == 2) {
        for (int n = 0; text.size() < Size; ++n)
            text += QStringLiteral("name %1\r\n").arg(n);
    } else if (shape == 3) {
        QByteArray bytes(Size, Qt::Uninitialized);
        QRandomGenerator(16).fillRange(reinterpret_cast<quint32 *>(bytes.data()), Size / 4);
        text = Velmira::Cp1252::decode(bytes);
    }
    text.truncate(Size);
    return text;
}

// The value of a "Name:   123 kB" line of /proc/PID/status, in MiB.
double statusMiB(const QString &pid, const char *name)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(name))
            return line.mid(int(std::strlen(name))).trimmed().split(' ').first().toDouble() / 1024;
    }
    return -1;
}

// Processor time used so far by the process, in clock ticks.
long long cpuTicks(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 12 ? fields[11].toLongLong() + fields[12].toLongLong() : -1;
}

struct Startup
{
    double shownS = 0, shownMiB = 0, exitS = 0, peakMiB = 0;
};

Startup startVelmira(const QString &configHome)
{
    QByteArrayList env{"QT_QPA_PLATFORM=offscreen", "XDG_CONFIG_HOME=" + configHome.toLocal8Bit()};
    for (char **e = environ; *e; ++e) {
        if (!std::strncmp(*e, "PATH=", 5) || !std::strncmp(*e, "HOME=", 5))
            env << *e;
    }
    std::vector<char *> envp;
    for (QByteArray &e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    char exe[] = VELMIRA_EXECUTABLE, client[] = "--messenger=builtin";
    char *argv[] = {exe, client, nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    QElapsedTimer clock;
    clock.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, exe, &actions, nullptr, argv, envp.data()) != 0)
        qFatal("cannot start %s", exe);
    posix_spawn_file_actions_destroy(&actions);

    Startup result;
    long long ticks = -1;
    for (qint64 lastChange = 0; clock.elapsed() - lastChange < 500; QThread::msleep(5)) {
        const long long now = cpuTicks(pid);
        if (now != ticks) {
            ticks = now;
            lastChange = clock.elapsed();
            result.shownS = double(lastChange) / 1000;
        }
    }
    result.shownMiB = statusMiB(QString::number(pid), "VmHWM:");
    clock.restart();
    ::kill(pid, SIGTERM);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    result.exitS = double(clock.elapsed()) / 1000;
    result.peakMiB = double(usage.ru_maxrss) / 1024;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        qFatal("velmira did not end normally");
    return result;
}

// In the child: loads preset 1 from the settings file into the shown main window; prints the
// seconds to the box painted and the VmHWM after.
int loadPreset(const QString &settingsFile)
{
    Velmira::SettingsStore store(settingsFile);
    frmMain window([] { return std::make_unique<Velmira::BuiltinMessenger>(); });
    window.setSettingsStore(&store);
    window.Form_Load();
    window.showCentred();
    while (!window.windowHandle() || !window.windowHandle()->isExposed())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QElapsedTimer clock;
    clock.start();
    window.findChild<QAction *>(QStringLiteral("mnuLoad1"))->trigger();
    window.repaint();
    QApplication::processEvents();
    std::printf("%f %f\n", double(clock.nsecsElapsed()) / 1e9,
                statusMiB(QStringLiteral("self"), "VmHWM:"));
    return 0;
}

std::pair<double, double> presetInChild(const QString &settingsFile)
{
    QProcess child;
    child.setProcessEnvironment([] {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return env;
    }());
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--load-preset"), settingsFile});
    child.waitForFinished(120000);
    const QList<QByteArray> figures = child.readAllStandardOutput().trimmed().split(' ');
    if (figures.size() != 2)
        qFatal("the preset child failed");
    return {figures[0].toDouble(), figures[1].toDouble()};
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

QByteArray loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().trimmed() : QByteArray("?");
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc == 3 && !std::strcmp(argv[1], "--load-preset"))
        return loadPreset(QString::fromLocal8Bit(argv[2]));

    QTemporaryDir dir;
    const char *names[] = {"empty settings", "one line", "short lines", "random bytes"};
    std::printf("Long names texts of %lld Mi characters; load average before: %s\n\n", Size >> 20,
                loadAverage().constData());
    std::printf("| %-14s | %8s | %10s | %11s | %8s | %9s | %11s |\n", "names text", "shown s",
                "VmHWM MiB", "SIGTERM s", "peak MiB", "preset s", "preset MiB");
    std::printf("|%s|\n", QByteArray("----------------|----------|------------|-------------|"
                                     "----------|-----------|-------------")
                              .constData());
    for (int shape = 0; shape < 4; ++shape) {
        const QString home = dir.filePath(QStringLiteral("start%1").arg(shape));
        const QString presetFile = dir.filePath(QStringLiteral("preset%1.ini").arg(shape));
        {
            const QString text = longText(shape);
            Velmira::Settings settings;
            settings.names = text;
            if (shape) {
                Velmira::SettingsStore(home + QStringLiteral("/Velmira/Vuzerer4.ini"))
                    .save(settings);
                Velmira::SettingsStore(presetFile).savePreset(1, text);
            }
        }
        startVelmira(home); // the files into the cache
        QList<double> shown, shownMiB, exit, peak, preset, presetMiB;
        for (int run = 0; run < Runs; ++run) {
            const Startup s = startVelmira(home);
            shown << s.shownS;
            shownMiB << s.shownMiB;
            exit << s.exitS;
            peak << s.peakMiB;
            const auto [seconds, mib] = presetInChild(presetFile);
            preset << seconds;
            presetMiB << mib;
        }
        std::printf("| %-14s | %8.2f | %10.0f | %11.2f | %8.0f | %9.2f | %11.0f |\n", names[shape],
                    median(shown), median(shownMiB), median(exit), median(peak), median(preset),
                    median(presetMiB));
    }
    std::printf("\nLoad average after: %s\n", loadAverage().constData());
    return 0;
}
