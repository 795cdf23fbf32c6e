// The cost of one rotation tick through each kind of client: the built-in one, the
// velmira-messenger reference client over a private session bus, a real Pidgin (offline,
// private configuration) and a real HexChat signed in to an ngircd on 127.0.0.1 (both only when
// an X server is there for them).
#include "privatebus.h"

#include "clients/dbusmessenger.h"
#include "clients/hexchatmessenger.h"
#include "clients/pidginmessenger.h"
#include "core/builtinmessenger.h"
#include "core/rotationengine.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <unistd.h>

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
    if (pidgin.waitForStarted(10000) &&
        bus.waitForName(PidginMessenger::ServiceName, true, 30000)) {
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

// A tick that sends NICK, then (untimed) the server's confirmation: the next tick would send
// nothing before it. ngircd lets a nick change through every 2 s, hence the few iterations.
void BM_TickHexchat(benchmark::State &state)
{
    for (const char *program : {"hexchat", "ngircd", "xdotool"}) {
        if (qEnvironmentVariableIsEmpty("DISPLAY") ||
            QStandardPaths::findExecutable(QString::fromLatin1(program)).isEmpty()) {
            state.SkipWithError("needs hexchat, ngircd, xdotool and an X server (run under "
                                "scripts/with-desktop)");
            return;
        }
    }
    PrivateBus bus;
    QTemporaryDir dir;
    quint16 port = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        port = probe.serverPort();
    }
    const auto write = [&dir](const QString &name, const QString &text) {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(text.toUtf8()) > 0;
    };
    QDir(dir.path()).mkpath(QStringLiteral("hexchat"));
    if (!bus.isValid() || port == 0 ||
        !write(QStringLiteral("ngircd.conf"),
               QStringLiteral("[Global]\nName = irc.bench.test\nListen = 127.0.0.1\nPorts = %1\n"
                              "PidFile = %2/ngircd.pid\n[Options]\nIdent = no\nPAM = no\n"
                              "DNS = no\n")
                   .arg(port)
                   .arg(dir.path())) ||
        !write(QStringLiteral("hexchat/servlist.conf"),
               QStringLiteral("v=2.16.1\n\nN=Bench\nI=Zed\nF=27\nS=127.0.0.1/%1\n\n").arg(port)) ||
        !write(QStringLiteral("hexchat/hexchat.conf"),
               QStringLiteral("gui_slist_skip = 1\ngui_join_dialog = 0\ngui_tray = 0\n"))) {
        state.SkipWithError("no private session bus or configuration folder");
        return;
    }
    QProcess ngircd, hexchat;
    for (QProcess *process : {&ngircd, &hexchat}) {
        process->setProcessEnvironment(bus.environment());
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(QProcess::nullDevice());
    }
    ngircd.start(QStringLiteral("ngircd"),
                 {QStringLiteral("-n"), QStringLiteral("-f"), dir.filePath("ngircd.conf")});
    hexchat.start(QStringLiteral("hexchat"), {QStringLiteral("-d"), dir.filePath("hexchat")});
    // As root HexChat first shows a modal warning box that holds back its D-Bus service.
    for (int attempt = 0; attempt < 60 && !HexchatMessenger::isRunning(bus.connection());
         ++attempt) {
        if (geteuid() == 0)
            QProcess::execute(QStringLiteral("xdotool"),
                              QStringLiteral("search --onlyvisible --class hexchat key Return")
                                  .split(QLatin1Char(' ')));
        bus.waitForName(HexchatMessenger::ServiceName, true, 500);
    }
    HexchatMessenger messenger(bus.connection());
    const auto connected = [&messenger] {
        try {
            return messenger.localState() == MessengerStateSignedIn;
        } catch (const MessengerError &) {
            return false;
        }
    };
    if (!connected()) { // the first call hooks the end of sign-on
        QEventLoop signedOn;
        QObject::connect(&messenger, &Messenger::signedOn, &signedOn, &QEventLoop::quit);
        QTimer::singleShot(30000, &signedOn, &QEventLoop::quit);
        signedOn.exec();
    }
    if (!connected()) {
        state.SkipWithError("HexChat did not sign in to the loopback server");
    } else {
        RotationEngine engine;
        engine.setMessenger(&messenger);
        engine.start(Names, QStringLiteral("3600000"));
        QEventLoop confirmed;
        QObject::connect(&messenger, &Messenger::OnLocalFriendlyNameChangeResult, &confirmed,
                         &QEventLoop::quit);
        QTimer patience; // for a server that never answers
        patience.setSingleShot(true);
        QObject::connect(&patience, &QTimer::timeout, &confirmed, &QEventLoop::quit);
        for (auto _ : state) {
            engine.tick();
            state.PauseTiming();
            patience.start(20000);
            confirmed.exec();
            state.ResumeTiming();
            if (!patience.isActive()) {
                state.SkipWithError("the server did not confirm the nick");
                break;
            }
        }
        engine.stop(false);
    }
    for (QProcess *process : {&hexchat, &ngircd}) {
        process->terminate();
        if (!process->waitForFinished(10000))
            process->kill();
        process->waitForFinished(5000);
    }
}
BENCHMARK(BM_TickHexchat)->Unit(benchmark::kMicrosecond)->Iterations(6);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
