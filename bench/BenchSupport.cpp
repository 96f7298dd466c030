#include "BenchSupport.h"
#include "Turns.h"

#include "common/Files.h"
#include "store/CreateLibrary.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace mw::bench {

Scratch::Scratch() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "wardstone-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a scratch folder");
    path_ = pattern;
}

Scratch::~Scratch() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

double Seconds(const std::function<void()>& work) {
    auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double MedianMilliseconds(const std::vector<double>& seconds) {
    return Median(seconds) * 1000;
}

ChildRun RunInChild(const std::function<bool()>& work) {
    std::fflush(nullptr);
    auto start = std::chrono::steady_clock::now();
    pid_t child = fork();
    if (child == 0) _exit(work() ? 0 : 1);
    int status = 0;
    struct rusage usage {};
    wait4(child, &status, 0, &usage);
    ChildRun run;
    run.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.PeakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;
    run.Ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

double TimeCommand(const std::string& command) {
    double seconds = 0;
    int status = 0;
    seconds = Seconds([&] { status = std::system(command.c_str()); });
    if (status != 0) throw std::runtime_error("command failed: " + command);
    return seconds;
}

double ShellBulkLoadSeconds(const Scratch& scratch, const std::string& csvPath) {
    std::string library = LibraryFrom(scratch, "shell.dat");
    std::string script = scratch.File("load.sql");
    WriteText(script,
              "create table staging(ItemID, X, Y, Z, Flag, TempIndexID);\n.mode csv\n.import " +
                  csvPath +
                  " staging\ninsert into TemplateBlocks(ItemID, X, Y, Z, Flag, TempIndexID) "
                  "select ItemID, X, Y, Z, Flag, TempIndexID from staging;\n");
    return TimeCommand("sqlite3 " + library + " < " + script);
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string LibraryFrom(const Scratch& scratch, const std::string& name) {
    std::string path = scratch.File(name);
    for (const char* suffix : {"", "-journal", "-wal"})
        std::filesystem::remove(path + suffix);
    CreateEmptyLibrary(path, ReadWholeFile(SCHEMA_FILE));
    return path;
}

int RunBenchmark(int argc, char** argv, const std::function<void(bool quick)>& body) {
    try {
        body(argc > 1 && std::string(argv[1]) == "--quick");
        return 0;
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "benchmark failed: %s\n", failure.what());
        return 1;
    }
}

void Figure(const std::string& name, double value) {
    std::printf("%s: %.3f\n", name.c_str(), value);
}

void FiguresAgainstShell(
    const Scratch& scratch, const std::string& label, const ImportRun& import,
    const std::string& csvPath,
    const std::vector<std::pair<std::string, std::function<double()>>>& others) {
    double peakMiB = 0;
    std::vector<std::function<double()>> contenders = {
        [&] {
            const std::string library = LibraryFrom(scratch, "ours.dat");
            ChildRun run = RunInChild([&] { return import(library); });
            if (!run.Ok) throw std::runtime_error(label + " failed");
            peakMiB = std::max(peakMiB, run.PeakMiB);
            return run.Seconds;
        },
        [&] { return ShellBulkLoadSeconds(scratch, csvPath); }};
    for (const auto& other : others)
        contenders.push_back(other.second);
    const auto samples = TakeTurns(LeastRounds, contenders);
    Figure(label + "-seconds", Median(samples[0]));
    Figure("sqlite3-shell-" + label + "-seconds", Median(samples[1]));
    RatioFigure(label + "-ratio", samples[0], samples[1]);
    Figure(label + "-peak-MiB", peakMiB);
    for (size_t i = 0; i < others.size(); ++i) {
        Figure(others[i].first + "-seconds", Median(samples[i + 2]));
        RatioFigure(others[i].first + "-ratio", samples[i + 2], samples[1]);
    }
}

} // namespace mw::bench
