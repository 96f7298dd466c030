#include "patcher/GameFilesLock.h"

#include "common/Files.h"
#include "common/Paths.h"
#include "common/RunError.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <libgen.h>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <tuple>
#include <unistd.h>

namespace mw {

namespace {

constexpr auto RetryEvery = std::chrono::milliseconds(50);

// The folder that really holds a file, under one name however the path names it (links
// followed), so that two names of one file take one lock and every patch takes its locks in the
// same order. Empty for a folder that does not exist: opening the file there fails with its own
// message.
std::string FolderOf(const std::string& path) {
    char resolved[PATH_MAX];
    std::string file = ::realpath(path.c_str(), resolved) ? resolved : path;
    std::string folder = ::dirname(file.data());
    return ::realpath(folder.c_str(), resolved) ? resolved : "";
}

int OpenLockFile(const std::string& folder) {
    std::string path = JoinPath(folder, GameFilesLock::FileName);
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd >= 0) return fd;
    if (errno != EACCES && errno != EROFS && errno != EPERM) ThrowFileError(errno, path, "create");
    fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) ThrowFileError(errno, folder, "open the folder");
    return fd;
}

// Takes the lock of an open file, waiting until the deadline; on failure closes it and throws.
void WaitForLock(int fd, const std::string& path, std::chrono::steady_clock::time_point deadline) {
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int e = errno;
        if (e == EINTR) continue;
        if (e != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
            ::close(fd);
            if (e == EWOULDBLOCK)
                throw RunError(err::GameFilesBusy, "Another patch of these game files is running");
            ThrowFileError(e, path, "lock");
        }
        std::this_thread::sleep_for(RetryEvery);
    }
}

using Identity = std::tuple<dev_t, ino_t>;

bool IsRegularFile(const std::string& path, Identity& identity) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    identity = {info.st_dev, info.st_ino};
    return true;
}

// The regular files among the paths, each file once however many names it has, in the order
// of their identity.
std::vector<std::string> InIdentityOrder(const std::vector<std::string>& paths) {
    std::vector<std::pair<Identity, std::string>> files;
    for (const std::string& path : paths)
        if (Identity identity; !path.empty() && IsRegularFile(path, identity))
            files.emplace_back(identity, path);
    std::ranges::sort(files);
    auto repeated = std::ranges::unique(files, {}, &std::pair<Identity, std::string>::first);
    files.erase(repeated.begin(), repeated.end());
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
        if (std::string folder = file.empty() ? "" : FolderOf(file); !folder.empty())
            folders.insert(folder);
    auto deadline = std::chrono::steady_clock::now() + wait;
    try {
        for (const std::string& folder : folders)
            LockFolder(folder, deadline);
        for (const std::string& file : InIdentityOrder(gameFiles))
            LockFile(file, deadline);
    } catch (...) {
        for (int fd : locked_)
            ::close(fd);
        throw;
    }
}

GameFilesLock::~GameFilesLock() {
    for (int fd : locked_)
        ::close(fd); // closing releases the lock
}

void GameFilesLock::LockFolder(const std::string& folder,
                               std::chrono::steady_clock::time_point deadline) {
    int fd = OpenLockFile(folder);
    WaitForLock(fd, JoinPath(folder, GameFilesLock::FileName), deadline);
    locked_.push_back(fd);
}

void GameFilesLock::LockFile(const std::string& path,
                             std::chrono::steady_clock::time_point deadline) {
    for (;;) {
        int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return; // gone: opening it for the patch says so
        WaitForLock(fd, path, deadline);
        struct stat held {
        }, named{};
        if (::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            locked_.push_back(fd);
            return;
        }
        ::close(fd); // replaced while we waited: the file now under the path is the one to lock
    }
}

} // namespace mw
