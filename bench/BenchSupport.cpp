#include "BenchSupport.h"

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

double MedianMilliseconds(std::vector<double> seconds) {
    std::sort(seconds.begin(), seconds.end());
    return seconds[seconds.size() / 2] * 1000;
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

void FiguresAgainstShell(const Scratch& scratch, const std::string& label, const ChildRun& run,
                         const std::string& csvPath) {
    if (!run.Ok) throw std::runtime_error(label + " failed");
    double shell = ShellBulkLoadSeconds(scratch, csvPath);
    Figure(label + "-seconds", run.Seconds);
    Figure("sqlite3-shell-" + label + "-seconds", shell);
    Figure(label + "-ratio", run.Seconds / shell);
    Figure(label + "-peak-MiB", run.PeakMiB);
}

} // namespace mw::bench
