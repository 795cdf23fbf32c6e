// Save and load times of a 10 MiB names text (short names, one per line) through the settings
// store and through a name-list file, in Windows-1252 and in UTF-8.
#include "core/namesfile.h"
#include "core/settingsstore.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr qsizetype TextSize = 10 * 1024 * 1024;

QString namesText(bool unicode)
{
    const QString line =
        unicode ? QString::fromUtf8("Жанна 😀 %1\r\n") : QStringLiteral("Zoë %1\r\n");
    QString text;
    text.reserve(TextSize + 64);
    for (int n = 0; text.size() < TextSize; ++n)
        text += line.arg(n);
    return text;
}

void settingsSave(benchmark::State &state)
{
    QTemporaryDir dir;
    Velmira::SettingsStore store(dir.filePath(QStringLiteral("Vuzerer4.ini")));
    Velmira::Settings settings;
    settings.names = namesText(state.range(0));
    for (auto _ : state) {
        if (!store.save(settings).ok)
            state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(state.iterations() * settings.names.size());
}

void settingsLoad(benchmark::State &state)
{
    QTemporaryDir dir;
    Velmira::SettingsStore store(dir.filePath(QStringLiteral("Vuzerer4.ini")));
    Velmira::Settings settings;
    settings.names = namesText(state.range(0));
    if (!store.save(settings).ok)
        state.SkipWithError("save failed");
    for (auto _ : state) {
        const auto loaded = store.load();
        if (loaded.settings.names.size() != settings.names.size())
            state.SkipWithError("load gave another text");
    }
    state.SetBytesProcessed(state.iterations() * settings.names.size());
}

void namesFileSave(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("names.txt"));
    const QString text = namesText(state.range(0));
    for (auto _ : state) {
        if (!Velmira::NamesFile::save(path, text).ok)
            state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}

void namesFileLoad(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("names.txt"));
    const QString text = namesText(state.range(0));
    if (!Velmira::NamesFile::save(path, text).ok)
        state.SkipWithError("save failed");
    for (auto _ : state) {
        const auto loaded = Velmira::NamesFile::load(path);
        if (loaded.value.size() != text.size())
            state.SkipWithError("load gave another text");
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}

} // namespace

// Argument 0: Windows-1252 names, 1: names that need UTF-8.
BENCHMARK(settingsSave)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(settingsLoad)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(namesFileSave)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(namesFileLoad)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
