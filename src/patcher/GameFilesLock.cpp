#include "patcher/GameFilesLock.h"

#include "common/Files.h"
#include "common/Paths.h"
#include "common/Platform.h"
#include "common/RunError.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <set>
#include <thread>
#include <tuple>

namespace mw {

namespace {

constexpr auto RetryEvery = std::chrono::milliseconds(50);

// The folder that really holds a file, under one name however the path names it (links
// followed), so that two names of one file take one lock and every patch takes its locks in the
// same order. Empty for a folder that does not exist: opening the file there fails with its own
// message.
std::string RealFolderOf(const std::string& path) {
    std::string file, folder;
    if (!platform::RealPath(path, file)) file = path;
    return platform::RealPath(FolderOf(file), folder) ? folder : "";
}

int OpenLockFile(const std::string& folder) {
    std::string path = JoinPath(folder, GameFilesLock::FileName);
    int fd = platform::OpenOrCreateFile(path);
    if (fd >= 0) return fd;
    if (errno != EACCES && errno != EROFS && errno != EPERM) ThrowFileError(errno, path, "create");
    fd = platform::OpenFolder(folder);
    if (fd < 0) ThrowFileError(errno, folder, "open the folder");
    return fd;
}

// Takes the lock of an open file (`tryLock`: platform::TryLockFile or TryLockIdentity), waiting
// until the deadline; on failure closes it and throws.
void WaitForLock(int fd, bool (*tryLock)(int), const std::string& path,
                 std::chrono::steady_clock::time_point deadline) {
    while (!tryLock(fd)) {
        int e = errno;
        if (e != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
            platform::CloseFile(fd);
            if (e == EWOULDBLOCK)
                throw RunError(err::GameFilesBusy, "Another patch of these game files is running");
            ThrowFileError(e, path, "lock");
        }
        std::this_thread::sleep_for(RetryEvery);
    }
}

using Identity = std::tuple<std::uint64_t, std::uint64_t>;

bool IsRegularFile(const std::string& path, Identity& identity) {
    platform::FileInfo info;
    if (platform::StatPath(path, info) != 0 || info.Kind != platform::FileKind::Regular)
        return false;
    identity = {info.Device, info.Identity};
    return true;
}

// The regular files among the paths, each file once however many names it has, in the order
// of their identity.
std::vector<std::string> InIdentityOrder(const std::vector<std::string>& paths) {
    std::vector<std::pair<Identity, std::string>> files;
    for (const std::string& path : paths)
        if (Identity identity; !path.empty() && IsRegularFile(path, identity))
            files.emplace_back(identity, path);
    // std::sort and std::unique rather than their ranges forms, which clang 14 (the fuzz build)
    // rejects with this standard library.
    std::sort(files.begin(), files.end());
    auto sameFile = [](const auto& a, const auto& b) { return a.first == b.first; };
    files.erase(std::unique(files.begin(), files.end(), sameFile), files.end());
    std::vector<std::string> ordered;
    for (auto& file : files)
        ordered.push_back(std::move(file.second));
    return ordered;
}

} // namespace

GameFilesLock::GameFilesLock(const std::vector<std::string>& gameFiles,
                             std::chrono::milliseconds wait) {
    std::set<std::string> folders;
    for (const std::string& file : gameFiles)
        if (std::string folder = file.empty() ? "" : RealFolderOf(file); !folder.empty())
            folders.insert(folder);
    auto deadline = std::chrono::steady_clock::now() + wait;
    try {
        for (const std::string& folder : folders)
            LockFolder(folder, deadline);
        for (const std::string& file : InIdentityOrder(gameFiles))
            LockFile(file, deadline);
    } catch (...) {
        for (int fd : locked_)
            platform::CloseFile(fd);
        throw;
    }
}

GameFilesLock::~GameFilesLock() {
    for (int fd : locked_)
        platform::CloseFile(fd); // closing releases the lock
}

void GameFilesLock::LockFolder(const std::string& folder,
                               std::chrono::steady_clock::time_point deadline) {
    int fd = OpenLockFile(folder);
    WaitForLock(fd, platform::TryLockFile, JoinPath(folder, GameFilesLock::FileName), deadline);
    locked_.push_back(fd);
}

void GameFilesLock::LockFile(const std::string& path,
                             std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        int fd = platform::OpenRegularFile(path, platform::Access::Read);
        if (fd < 0) return; // gone: opening it for the patch says so
        platform::FileInfo held, named;
        const bool known = platform::StatOpenFile(fd, held) == 0; // before the lock may take it
        WaitForLock(fd, platform::TryLockIdentity, path, deadline);
        if (known && platform::StatPath(path, named) == 0 && platform::SameFile(held, named)) {
            locked_.push_back(fd);
            return;
        }
        platform::CloseFile(fd); // replaced while we waited: the path now names another file
    }
}

} // namespace mw
