// The cost of one rotation tick through each kind of client: the built-in one, the
// velmira-messenger reference client over a private session bus, and a real Pidgin (offline,
// private configuration; only when an X server is there for it).
#include "privatebus.h"

#include "rotation/builtinmessenger.h"
#include "rotation/dbus/dbusmessenger.h"
#include "rotation/dbus/pidginmessenger.h"
#include "rotation/rotationengine.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Velmira;

namespace {

const QString Names = QStringLiteral("Ann\r\nBob\r\nCid\r\nDee\r\n");

// Ticks `messenger` once per iteration and lets its change events be delivered, as the window's
// event loop would between two ticks.
void tickLoop(benchmark::State &state, Messenger &messenger)
{
    RotationEngine engine;
    engine.setMessenger(&messenger);
    bool failed = false;
    QObject::connect(&engine, &RotationEngine::errorOccurred, [&failed](const QString &message) {
        failed = true;
        std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    engine.start(Names, QStringLiteral("3600000"));
    for (auto _ : state) {
        engine.tick();
        QCoreApplication::processEvents();
        if (failed) {
            state.SkipWithError("the tick failed");
            break;
        }
    }
    engine.stop(false);
}

void BM_TickBuiltin(benchmark::State &state)
{
    BuiltinMessenger messenger(QStringLiteral("Zed"));
    tickLoop(state, messenger);
}
BENCHMARK(BM_TickBuiltin);

void BM_TickReferenceClient(benchmark::State &state)
{
    PrivateBus bus;
    if (!bus.isValid()) {
        state.SkipWithError("no private session bus (dbus-daemon)");
        return;
    }
    ReferenceClientProcess client(bus, {QStringLiteral("--name=Zed")});
    if (!client.isServing()) {
        state.SkipWithError("velmira-messenger did not start");
        return;
    }
    DBusMessenger messenger(bus.connection());
    tickLoop(state, messenger);
}
BENCHMARK(BM_TickReferenceClient)->Unit(benchmark::kMicrosecond);

void BM_TickPidgin(benchmark::State &state)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") ||
        QStandardPaths::findExecutable(QStringLiteral("pidgin")).isEmpty()) {
        state.SkipWithError("needs pidgin and an X server (run under scripts/with-desktop)");
        return;
    }
    PrivateBus bus;
    QTemporaryDir config;
    QFile accounts(config.filePath(QStringLiteral("accounts.xml")));
    if (!bus.isValid() || !accounts.open(QIODevice::WriteOnly)) {
        state.SkipWithError("no private session bus or configuration folder");
        return;
    }
    // One XMPP account that never signs in: Pidgin starts offline (-n).
    accounts.write("<?xml version='1.0' encoding='UTF-8' ?>\n<account version='1.0'><account>"
                   "<protocol>prpl-jabber</protocol><name>velmira@localhost/bench</name>"
                   "<alias>Zed</alias><settings>"
                   "<setting name='connect_server' type='string'>127.0.0.1</setting>"
                   "</settings><settings ui='gtk-gaim'>"
                   "<setting name='auto-login' type='bool'>1</setting></settings>"
                   "</account></account>\n");
    accounts.close();
    QProcess pidgin;
    pidgin.setProcessEnvironment(bus.environment());
    pidgin.setStandardOutputFile(QProcess::nullDevice());
    pidgin.setStandardErrorFile(QProcess::nullDevice());
    pidgin.start(QStringLiteral("pidgin"),
                 {QStringLiteral("-n"), QStringLiteral("-c"), config.path()});
    if (pidgin.waitForStarted(10000) && bus.waitForName(PurpleBus::ServiceName, true, 30000)) {
        PidginMessenger messenger(bus.connection());
        tickLoop(state, messenger);
    } else {
        state.SkipWithError("Pidgin did not start");
    }
    pidgin.terminate();
    if (!pidgin.waitForFinished(10000))
        pidgin.kill();
    pidgin.waitForFinished(5000);
}
BENCHMARK(BM_TickPidgin)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
