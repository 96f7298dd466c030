#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <utility>
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
double MedianMilliseconds(const std::vector<double>& seconds);

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
// A fresh empty library, in the place of any library of that name.
std::string LibraryFrom(const Scratch& scratch, const std::string& name);

// Runs a benchmark's body, with quick true for `--quick` (smaller sizes); a failure is printed and
// gives the exit status 1.
int RunBenchmark(int argc, char** argv, const std::function<void(bool quick)>& body);

// An import into a fresh library (its path given), run in a child process; false when it failed.
using ImportRun = std::function<bool(const std::string& library)>;

// The four figures of an import timed in turns (see Turns.h) against the sqlite3 shell's bulk
// load of the same rows (csvPath, see ShellBulkLoadSeconds): the median seconds of each, their
// ratio, the import's largest peak memory. Further imports (named by their labels) join the
// turns and get their seconds and their ratio to the shell.
void FiguresAgainstShell(
    const Scratch& scratch, const std::string& label, const ImportRun& import,
    const std::string& csvPath,
    const std::vector<std::pair<std::string, std::function<double()>>>& others = {});

// One figure per line, "name: value", so that runs can be compared by a script.
void Figure(const std::string& name, double value);

} // namespace mw::bench
