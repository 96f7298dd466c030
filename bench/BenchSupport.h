#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace mw::bench {

// A scratch folder for one benchmark run, removed afterwards.
class Scratch {
public:
    Scratch();
    ~Scratch();
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    const std::string& Folder() const { return path_; }

private:
    std::string path_;
};

double Seconds(const std::function<void()>& work);

// The median of a list of times in seconds, in milliseconds.
double MedianMilliseconds(std::vector<double> seconds);

// Runs the work in a child process and returns its time and its peak resident memory, so that
// what the benchmark itself allocated does not count.
struct ChildRun {
    double Seconds = 0;
    double PeakMiB = 0;
    bool Ok = false;
};
ChildRun RunInChild(const std::function<bool()>& work);

// Runs a shell command and returns its wall-clock seconds; throws when it fails.
double TimeCommand(const std::string& command);

// The sqlite3 shell's bulk load of a CSV file of block rows (ItemID, X, Y, Z, Flag, TempIndexID)
// into a fresh library: the yardstick that storing a template is measured against.
double ShellBulkLoadSeconds(const Scratch& scratch, const std::string& csvPath);

void WriteText(const std::string& path, const std::string& text);
std::string LibraryFrom(const Scratch& scratch, const std::string& name); // a fresh empty library

// Runs a benchmark's body, with quick true for `--quick` (smaller sizes); a failure is printed and
// gives the exit status 1.
int RunBenchmark(int argc, char** argv, const std::function<void(bool quick)>& body);

// The four figures of an import timed against the sqlite3 shell's bulk load of the same rows
// (csvPath, see ShellBulkLoadSeconds): the seconds of each, their ratio, the import's peak memory.
void FiguresAgainstShell(const Scratch& scratch, const std::string& label, const ChildRun& run,
                         const std::string& csvPath);

// One figure per line, "name: value", so that runs can be compared by a script.
void Figure(const std::string& name, double value);

} // namespace mw::bench
