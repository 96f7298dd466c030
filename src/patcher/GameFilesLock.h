#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace mw {

// Only one patch of the same game files at a time, across processes: two patches at once would
// both take the same free entry. Two locks, both with flock: advisory, so the game itself is
// never kept from reading its files, and released by the system when the process ends, so that
// a lock file left by a killed process means nothing.
// - Each folder that holds a file of the patch gets a lock file of ours, ".multiwardstone.lock"
//   (never a game file, never renamed). A folder where it cannot be made (read-only) is locked
//   itself.
// - Each game file is locked too, by what it is rather than by its path, so that two folders of
//   hard links to the same files take the same lock. The package is replaced by a rename, which
//   gives it a new identity: once its lock is taken, the path must still name the locked file,
//   else the file that took its place is locked instead.
// Every patch takes its locks in the same order (folders by path, files by identity), so that
// two patches never each hold what the other waits for.
class GameFilesLock {
public:
    static constexpr const char* FileName = ".multiwardstone.lock";

    // Waits up to `wait` for another patch to end, then fails with err::GameFilesBusy. Files
    // that are missing or not regular files are not locked: the patch refuses them.
    explicit GameFilesLock(const std::vector<std::string>& gameFiles,
                           std::chrono::milliseconds wait = std::chrono::seconds(5));
    ~GameFilesLock();
    GameFilesLock(const GameFilesLock&) = delete;
    GameFilesLock& operator=(const GameFilesLock&) = delete;

private:
    void LockFolder(const std::string& folder, std::chrono::steady_clock::time_point deadline);
    void LockFile(const std::string& path, std::chrono::steady_clock::time_point deadline);

    std::vector<int> locked_;
};

} // namespace mw
