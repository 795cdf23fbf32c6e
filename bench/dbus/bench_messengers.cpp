// What a steady rotation tick costs through each kind of client, measured on the real program:
// velmira rotates four names every PeriodMs on a private session bus (and the X server of
// scripts/with-desktop), and over Ticks periods the bench counts the D-Bus calls velmira makes
// into the client (a monitor of the bus) and the CPU time of velmira's threads and of the
// client's (/proc/<pid>/task/*/schedstat). Clients: the built-in one, velmira-messenger, Pidgin
// signed in to an XMPP server on 127.0.0.1, HexChat signed in to an IRC server on 127.0.0.1.
// Run: scripts/with-desktop build-test-plain/bench/dbus/bench_messengers
#include "hexchatrig.h"
#include "ircrig.h"
#include "privatebus.h"
#include "testfiles.h"

#include "clients/hexchatmessenger.h"
#include "clients/pidginmessenger.h"
#include "core/settingsstore.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>

using namespace Velmira;

namespace {

constexpr int PeriodMs = 2500; // longer than the IRC server's pause between two nick changes
constexpr int Ticks = 8;

// CPU time of all threads of `pid` so far, in nanoseconds.
double cpuNs(qint64 pid)
{
    double total = 0;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        total += TestFiles::read(tasks.filePath(task + QStringLiteral("/schedstat")))
                     .split(' ')
                     .value(0)
                     .toDouble();
    return total;
}

struct Figures
{
    double callsPerTick = 0;
    double velmiraMsPerTick = 0;
    double clientMsPerTick = 0;
};
std::map<std::string, Figures> g_figures;

// Starts velmira on `bus` rotating through `messenger`, waits until it is in steady rotation and
// measures Ticks periods. `busName` is the client's (empty: the built-in client, no calls) and
// `clientPid` its process (0: none).
void measure(benchmark::State &state, const PrivateBus &bus, const QString &messenger,
             const QString &busName, qint64 clientPid)
{
    QTemporaryDir home;
    Settings values;
    values.interval = QString::number(PeriodMs);
    values.resetNick = 0;
    values.names = QStringLiteral("Ann\r\nBob\r\nCid\r\nDee\r\n");
    if (!SettingsStore(home.filePath(QStringLiteral("Velmira/Vuzerer4.ini"))).save(values).ok) {
        state.SkipWithError("no settings folder");
        return;
    }
    // Every call into the client, one line each ("mc ..."), from a monitor of the bus.
    QProcess monitor;
    if (!busName.isEmpty()) {
        const QString owner = bus.connection().interface()->serviceOwner(busName).value();
        monitor.start(QStringLiteral("dbus-monitor"),
                      {QStringLiteral("--address"), bus.address(), QStringLiteral("--profile"),
                       QStringLiteral("type='method_call',destination='%1'").arg(owner)});
        if (!monitor.waitForStarted(5000)) {
            state.SkipWithError("dbus-monitor did not start");
            return;
        }
    }
    QProcessEnvironment environment = bus.environment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.path());
    QProcess velmira;
    velmira.setProcessEnvironment(environment);
    velmira.setStandardErrorFile(QProcess::nullDevice());
    velmira.start(QStringLiteral(VELMIRA_PATH), {QStringLiteral("--messenger=") + messenger,
                                                 QStringLiteral("--start-when-shown")});
    if (!velmira.waitForStarted(10000)) {
        state.SkipWithError("velmira did not start");
        return;
    }
    // Past the start-up and the first tick (which may set up what the next ones reuse), half a
    // period away from any tick: the window then holds Ticks ticks whatever the start-up took.
    QTest::qWait(PeriodMs + PeriodMs / 2 + 900);
    for (auto _ : state) {
        monitor.readAllStandardOutput();
        const double velmiraBefore = cpuNs(velmira.processId());
        const double clientBefore = clientPid ? cpuNs(clientPid) : 0;
        QTest::qWait(Ticks * PeriodMs);
        Figures figures;
        figures.velmiraMsPerTick = (cpuNs(velmira.processId()) - velmiraBefore) / 1e6 / Ticks;
        figures.clientMsPerTick = clientPid ? (cpuNs(clientPid) - clientBefore) / 1e6 / Ticks : 0;
        QTest::qWait(200); // the monitor's last lines
        // "mc <time> <serial> <sender> <destination> <path> <interface> <member>"
        std::map<QByteArray, int> members;
        int calls = 0;
        for (const QByteArray &line : monitor.readAllStandardOutput().split('\n')) {
            if (line.startsWith("mc\t")) {
                ++calls;
                ++members[line.split('\t').last()];
            }
        }
        for (const auto &[member, count] : members)
            std::fprintf(stderr, "  %s: %s %d\n", qPrintable(messenger), member.constData(), count);
        figures.callsPerTick = double(calls) / Ticks;
        state.counters["calls/tick"] = figures.callsPerTick;
        state.counters["velmira ms/tick"] = figures.velmiraMsPerTick;
        state.counters["client ms/tick"] = figures.clientMsPerTick;
        g_figures[messenger.toStdString()] = figures;
    }
    stopProcess(velmira);
    stopProcess(monitor);
}

bool hasDesktop()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY");
}

void BM_TickBuiltin(benchmark::State &state)
{
    if (!hasDesktop())
        return state.SkipWithError("needs an X server (run under scripts/with-desktop)");
    PrivateBus bus;
    measure(state, bus, QStringLiteral("builtin"), QString(), 0);
}

void BM_TickReferenceClient(benchmark::State &state)
{
    if (!hasDesktop())
        return state.SkipWithError("needs an X server (run under scripts/with-desktop)");
    PrivateBus bus;
    ReferenceClientProcess client(bus, {QStringLiteral("--name=Zed")});
    if (!client.isServing())
        return state.SkipWithError("velmira-messenger did not start");
    const qint64 pid =
        bus.connection().interface()->servicePid(QStringLiteral("org.velmira.Messenger"));
    measure(state, bus, QStringLiteral("dbus"), QStringLiteral("org.velmira.Messenger"), pid);
}

void BM_TickPidgin(benchmark::State &state)
{
    if (!hasDesktopWith({"pidgin", "prosody"}))
        return state.SkipWithError("needs pidgin, prosody and an X server");
    PrivateBus bus;
    QTemporaryDir dir;
    quint16 port = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        port = probe.serverPort();
    }
    QProcess prosody, pidgin;
    prosody.setStandardOutputFile(QProcess::nullDevice());
    prosody.setStandardErrorFile(QProcess::nullDevice());
    prosody.start(QStringLiteral(VELMIRA_LOOPBACK_XMPP),
                  {dir.filePath(QStringLiteral("server")), QString::number(port)});
    const QString config = dir.filePath(QStringLiteral("pidgin"));
    QDir().mkpath(config);
    const QString accounts =
        QString::fromUtf8(TestFiles::read(QStringLiteral(VELMIRA_PIDGIN_ACCOUNTS)))
            .arg(QStringLiteral("velmira@localhost/bench"))
            .arg(port);
    TestFiles::write(config + QStringLiteral("/accounts.xml"), accounts.toUtf8());
    pidgin.setProcessEnvironment(bus.environment());
    pidgin.setStandardOutputFile(QProcess::nullDevice());
    pidgin.setStandardErrorFile(QProcess::nullDevice());
    pidgin.start(QStringLiteral("pidgin"), {QStringLiteral("-c"), config});
    PidginMessenger probe(bus.connection());
    const bool signedIn = bus.waitForName(PidginMessenger::ServiceName, true, 30000) &&
                          QTest::qWaitFor(
                              [&] {
                                  try {
                                      return probe.localState() == MessengerStateSignedIn;
                                  } catch (const MessengerError &) {
                                      return false;
                                  }
                              },
                              60000);
    if (signedIn)
        measure(state, bus, QStringLiteral("pidgin"), PidginMessenger::ServiceName,
                pidgin.processId());
    else
        state.SkipWithError("Pidgin did not sign in to the loopback server");
    stopProcess(pidgin);
    stopProcess(prosody);
}

void BM_TickHexchat(benchmark::State &state)
{
    if (!hasDesktopWith({"hexchat", "ngircd", "xdotool"}))
        return state.SkipWithError("needs hexchat, ngircd, xdotool and an X server");
    PrivateBus bus;
    IrcRig irc;
    QProcess hexchat;
    if (irc.start(QStringLiteral("watcher"), bus.environment()) &&
        startHexchat(hexchat, bus, irc, QStringLiteral("Zed")))
        measure(state, bus, QStringLiteral("hexchat"), HexchatMessenger::ServiceName,
                hexchat.processId());
    else
        state.SkipWithError("HexChat did not sign in to the loopback server");
    stopProcess(hexchat);
}

} // namespace

BENCHMARK(BM_TickBuiltin)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_TickReferenceClient)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_TickPidgin)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_TickHexchat)->Iterations(1)->Unit(benchmark::kSecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    // Velmira's own CPU per tick against the built-in client's.
    if (g_figures.count("builtin")) {
        const double builtin = g_figures["builtin"].velmiraMsPerTick;
        std::printf("\n%-8s %10s %16s %10s %15s\n", "client", "calls/tick", "velmira ms/tick",
                    "x built-in", "client ms/tick");
        for (const auto &[name, f] : g_figures)
            std::printf("%-8s %10.1f %16.2f %10.2f %15.2f\n", name.c_str(), f.callsPerTick,
                        f.velmiraMsPerTick, builtin > 0 ? f.velmiraMsPerTick / builtin : 0,
                        f.clientMsPerTick);
    }
    return 0;
}
