// Loading a long names text from a file into the shown main window (the "From file" item, with
// the file dialog answered at once), through to the box painted, and saving it back ("To File").
// Argument 0: one line of 1 MiB; 1: 15 MiB of short lines; 2: 16 MiB of random bytes (a file
// picked by mistake). Runs with the offscreen platform and
// a private settings folder; reports the process's peak resident memory as it goes.
#include "core/builtinmessenger.h"
#include "core/settingsstore.h"
#include "gui/filedialog.h"
#include "gui/frmmain.h"

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

// Answers every file dialog with the same path.
class FixedChooser : public Velmira::FileChooser
{
public:
    explicit FixedChooser(QString path) : m_path(std::move(path)) {}
    std::optional<QString> choose(Mode, const QString &, const QString &, QWidget *) override
    {
        return m_path;
    }

private:
    QString m_path;
};

QByteArray namesFile(int shape)
{
    QByteArray bytes;
    if (shape == 0) {
        for (int n = 0; bytes.size() < (1 << 20); ++n)
            bytes += "name" + QByteArray::number(n);
        bytes.resize(1 << 20);
    } else if (shape == 1) {
        for (int n = 0; bytes.size() < 15 * (1 << 20); ++n)
            bytes += "name " + QByteArray::number(n) + "\r\n";
    } else {
        bytes.resize(16 * (1 << 20));
        QRandomGenerator(16).fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
    }
    return bytes;
}

double peakRssMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

// A shown main window whose file dialog answers with `path`.
struct Window
{
    explicit Window(const QString &path)
    {
        window.setSettingsStore(&store);
        window.CD.setChooser(std::make_unique<FixedChooser>(path));
        window.Form_Load();
        window.showCentred();
        QApplication::processEvents();
    }
    QTemporaryDir dir;
    Velmira::SettingsStore store{dir.filePath(QStringLiteral("Vuzerer4.ini"))};
    frmMain window{[] {
        return std::make_unique<Velmira::BuiltinMessenger>();
    }};
};

void BM_LoadNamesFile(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("names.txt"));
    const QByteArray bytes = namesFile(int(state.range(0)));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        state.SkipWithError("cannot write the names file");
    file.close();
    Window w(path);
    for (auto _ : state) {
        w.window.mnuLoadFile_Click();
        w.window.findChild<QPlainTextEdit *>(QStringLiteral("txtNames"))->viewport()->repaint();
        state.PauseTiming();
        w.window.setNamesText(QString());
        state.ResumeTiming();
    }
    state.counters["peak_rss_MiB"] = peakRssMiB();
}

void BM_SaveNamesFile(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("names.txt"));
    const QByteArray bytes = namesFile(int(state.range(0)));
    Window w(path);
    w.window.setNamesText(QString::fromLatin1(bytes));
    for (auto _ : state)
        w.window.mnuSaveFile_Click();
    state.counters["peak_rss_MiB"] = peakRssMiB();
}

} // namespace

BENCHMARK(BM_LoadNamesFile)->ArgName("shape")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveNamesFile)->ArgName("shape")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
