#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace mw {

// Only one patch of the same game files at a time, across processes: two patches at once would
// both take the same free entry. Each folder that holds a file of the patch gets a lock file of
// ours, ".multiwardstone.lock" (never a game file, never renamed, so the lock survives the
// package being replaced by a rename), locked with flock: advisory, so the game itself is never
// kept from reading its files, and released by the system when the process ends, so that a
// lock file left by a killed process means nothing. A folder where the lock file cannot be
// made (read-only) is locked itself.
class GameFilesLock {
public:
    static constexpr const char* FileName = ".multiwardstone.lock";

    // Waits up to `wait` for another patch to end, then fails with err::GameFilesBusy.
    explicit GameFilesLock(const std::vector<std::string>& gameFiles,
                           std::chrono::milliseconds wait = std::chrono::seconds(5));
    ~GameFilesLock();
    GameFilesLock(const GameFilesLock&) = delete;
    GameFilesLock& operator=(const GameFilesLock&) = delete;

private:
    void Lock(const std::string& folder, std::chrono::steady_clock::time_point deadline);

    std::vector<int> locked_;
};

} // namespace mw
