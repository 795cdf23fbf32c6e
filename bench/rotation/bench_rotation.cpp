// Cost of Start and of one tick of the rotation against the built-in client, for names lists of
// 10, 10^3 and 10^6 names. A tick should cost the same whatever the length of the list.
#include "core/builtinmessenger.h"
#include "core/rotationengine.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

using namespace Velmira;

namespace {

QString namesText(int count)
{
    QString text;
    text.reserve(count * 12);
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("Name %1\r\n").arg(i);
    return text;
}

void BM_Start(benchmark::State &state)
{
    const QString text = namesText(int(state.range(0)));
    BuiltinMessenger client(QStringLiteral("Ann"));
    RotationEngine engine;
    engine.setMessenger(&client);
    qsizetype names = 0;
    for (auto _ : state) {
        engine.start(text, QStringLiteral("1000"));
        state.PauseTiming();
        names = engine.session()->names().size();
        engine.stop(false);
        state.ResumeTiming();
    }
    state.counters["names"] = double(names);
}

void BM_Tick(benchmark::State &state)
{
    const QString text = namesText(int(state.range(0)));
    BuiltinMessenger client(QStringLiteral("Ann"));
    RotationEngine engine;
    engine.setMessenger(&client);
    engine.start(text, QStringLiteral("1000"));
    std::int64_t ticks = 0;
    for (auto _ : state) {
        engine.tick();
        // The client's change events queue up; deliver them now and then, off the clock.
        if (++ticks % 256 == 0) {
            state.PauseTiming();
            QCoreApplication::processEvents();
            state.ResumeTiming();
        }
    }
    QCoreApplication::processEvents();
}

} // namespace

BENCHMARK(BM_Start)->Arg(10)->Arg(1000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Tick)->Arg(10)->Arg(1000)->Arg(1000000)->Unit(benchmark::kNanosecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
