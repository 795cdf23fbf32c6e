// Start-up cost of the program against a bare Qt Widgets window: each run launches the
// executable as a child process with the offscreen platform and a private settings folder,
// measures the time until it has exited and its peak resident memory (from wait4), and the
// ratio benchmark reports velmira / bare window for both. BM_StartupNamesText starts velmira
// with a long last names text in its settings: one line of 1 MiB, or 15 MiB of short lines.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

struct RunResult
{
    double seconds = 0;
    double peakKiB = 0;
};

// A temporary folder for the children's settings, removed at exit.
const std::string &configHome()
{
    static const std::string dir = [] {
        char pattern[] = "/tmp/velmira-bench-XXXXXX";
        if (!mkdtemp(pattern))
            throw std::runtime_error("mkdtemp failed");
        return std::string(pattern);
    }();
    static const struct Remover
    {
        ~Remover() { std::filesystem::remove_all(dir); }
    } remover;
    return dir;
}

std::vector<std::string> childEnvironment(const std::string &settingsHome)
{
    std::vector<std::string> env;
    for (char **e = environ; *e; ++e) {
        const std::string entry(*e);
        if (entry.starts_with("QT_QPA_PLATFORM=") || entry.starts_with("XDG_CONFIG_HOME=") ||
            entry.starts_with("DBUS_SESSION_BUS_ADDRESS="))
            continue;
        env.push_back(entry);
    }
    env.push_back("QT_QPA_PLATFORM=offscreen");
    env.push_back("XDG_CONFIG_HOME=" + settingsHome);
    return env;
}

RunResult runOnce(const std::vector<std::string> &command,
                  const std::string &settingsHome = configHome())
{
    const std::vector<std::string> env = childEnvironment(settingsHome);
    std::vector<char *> argv, envp;
    for (const auto &a : command)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    for (const auto &e : env)
        envp.push_back(const_cast<char *>(e.c_str()));
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        throw std::runtime_error(command[0] + ": " + std::strerror(error));
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        throw std::runtime_error("wait4 failed");
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(command[0] + " did not exit cleanly");
    return {std::chrono::duration<double>(end - start).count(), double(usage.ru_maxrss)};
}

// A settings folder whose last names text is one line of 1 MiB (shape 0) or 15 MiB of short
// lines (shape 1), as the program itself stores it: line breaks escaped as \r\n.
std::string settingsWithNames(int shape)
{
    const std::string home = configHome() + "/names" + std::to_string(shape);
    std::filesystem::create_directories(home + "/Velmira");
    std::string names;
    if (shape == 0) {
        for (int n = 0; names.size() < (1u << 20); ++n)
            names += "name" + std::to_string(n);
        names.resize(1u << 20);
    } else {
        // The text's own size counts CR LF as two characters; stored, they take four.
        for (size_t n = 0, size = 0; size < 15u * (1u << 20); ++n) {
            const std::string line = "name " + std::to_string(n);
            names += (n ? "\\r\\n" : "") + line;
            size += line.size() + 2;
        }
    }
    std::ofstream(home + "/Velmira/Vuzerer4.ini") << "[Settings]\nSaveLast=" << names << "\n";
    return home;
}

const std::vector<std::string> velmira{VELMIRA_EXECUTABLE, "--messenger=builtin",
                                       "--quit-when-shown"};
const std::vector<std::string> bareWindow{BARE_WINDOW_EXECUTABLE};

void runBenchmark(benchmark::State &state, const std::vector<std::string> &command)
{
    double peak = 0;
    try {
        runOnce(command); // warm the file cache
        for (auto _ : state) {
            const RunResult r = runOnce(command);
            state.SetIterationTime(r.seconds);
            peak += r.peakKiB;
        }
    } catch (const std::exception &e) {
        state.SkipWithError(e.what());
        return;
    }
    state.counters["peak_rss_MiB"] = peak / 1024.0 / double(state.iterations());
}

void BM_StartupBareWindow(benchmark::State &state)
{
    runBenchmark(state, bareWindow);
}

void BM_StartupVelmira(benchmark::State &state)
{
    runBenchmark(state, velmira);
}

// Alternates the two programs so that both see the same machine load, and reports
// velmira / bare window for the time to exit and for the peak memory.
void BM_StartupRatio(benchmark::State &state)
{
    RunResult bare, ours;
    try {
        runOnce(bareWindow);
        runOnce(velmira);
        for (auto _ : state) {
            const RunResult b = runOnce(bareWindow);
            const RunResult v = runOnce(velmira);
            state.SetIterationTime(b.seconds + v.seconds);
            bare.seconds += b.seconds;
            bare.peakKiB += b.peakKiB;
            ours.seconds += v.seconds;
            ours.peakKiB += v.peakKiB;
        }
    } catch (const std::exception &e) {
        state.SkipWithError(e.what());
        return;
    }
    const double n = double(state.iterations());
    state.counters["bare_ms"] = bare.seconds * 1000 / n;
    state.counters["velmira_ms"] = ours.seconds * 1000 / n;
    state.counters["time_ratio"] = ours.seconds / bare.seconds;
    state.counters["bare_rss_MiB"] = bare.peakKiB / 1024 / n;
    state.counters["velmira_rss_MiB"] = ours.peakKiB / 1024 / n;
    state.counters["rss_ratio"] = ours.peakKiB / bare.peakKiB;
}

void BM_StartupNamesText(benchmark::State &state)
{
    double peak = 0;
    try {
        const std::string home = settingsWithNames(int(state.range(0)));
        runOnce(velmira, home);
        for (auto _ : state) {
            const RunResult r = runOnce(velmira, home);
            state.SetIterationTime(r.seconds);
            peak = std::max(peak, r.peakKiB);
        }
    } catch (const std::exception &e) {
        state.SkipWithError(e.what());
        return;
    }
    state.counters["peak_rss_MiB"] = peak / 1024.0;
}

} // namespace

BENCHMARK(BM_StartupNamesText)
    ->ArgName("many_lines")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);
BENCHMARK(BM_StartupBareWindow)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_StartupVelmira)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_StartupRatio)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

BENCHMARK_MAIN();
