#include "patcher/GameFilesLock.h"

#include "common/Files.h"
#include "common/Paths.h"
#include "common/RunError.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <libgen.h>
#include <set>
#include <sys/file.h>
#include <thread>
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
            Lock(folder, deadline);
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

void GameFilesLock::Lock(const std::string& folder,
                         std::chrono::steady_clock::time_point deadline) {
    int fd = OpenLockFile(folder);
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int e = errno;
        if (e == EINTR) continue;
        if (e != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
            ::close(fd);
            if (e == EWOULDBLOCK)
                throw RunError(err::GameFilesBusy, "Another patch of these game files is running");
            ThrowFileError(e, JoinPath(folder, GameFilesLock::FileName), "lock");
        }
        std::this_thread::sleep_for(RetryEvery);
    }
    locked_.push_back(fd);
}

} // namespace mw
