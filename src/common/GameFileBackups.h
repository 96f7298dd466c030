#pragma once

#include <ctime>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace mw {

// The one-time copy of a game file before a run of the program first changes it: the file is
// copied to a timestamped name next to it ("multi.mul.2026-12-06T20-41-05.bak") and remembered,
// so that later patches in the same run leave that first copy as the one to go back to. The
// program and the command-line tool each keep one object for their whole run.
class GameFileBackups {
public:
    // enabled: the setting "Back up game files before patching" (--no-backup turns it off).
    explicit GameFileBackups(bool enabled = true) : Enabled(enabled) {}

    // Copies the file unless backups are off or it was copied before in this run; returns the
    // copy's path, or an empty text when none was made. A copy that cannot be made completely
    // fails with a RunError and leaves no partial copy behind.
    std::string BeforeChange(const std::string& path);

    bool Enabled;
    // The time that names the copies; the clock unless a test sets another.
    std::function<std::time_t()> Now = [] { return std::time(nullptr); };

private:
    std::set<std::string> copied_; // by real path, so that two names of one file count once
};

// "<path>.<yyyy-mm-ddThh-mm-ss>.bak" in local time.
std::string BackupPath(const std::string& path, std::time_t when);

// Removes, beside each game file (in the folder its path names and in the one that really holds
// it), the temporary files that a patch killed half way leaves there: the unfinished copies of
// its backups and of a rewrite of the file itself (see PendingFile), and nothing else. Only for
// a caller that holds the game files' lock, so that no patch is writing them. Returns the paths
// removed; a file that cannot be removed is left for the next patch.
std::vector<std::string> RemoveInterruptedCopies(const std::vector<std::string>& gameFiles);

} // namespace mw
