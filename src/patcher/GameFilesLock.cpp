#include "patcher/GameFilesLock.h"

#include "common/Files.h"
#include "common/Paths.h"
#include "common/Platform.h"
#include "common/RunError.h"

#include <cerrno>
#include <set>
#include <thread>

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
            Lock(folder, deadline);
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

void GameFilesLock::Lock(const std::string& folder,
                         std::chrono::steady_clock::time_point deadline) {
    int fd = OpenLockFile(folder);
    while (!platform::TryLockFile(fd)) {
        int e = errno;
        if (e != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
            platform::CloseFile(fd);
            if (e == EWOULDBLOCK)
                throw RunError(err::GameFilesBusy, "Another patch of these game files is running");
            ThrowFileError(e, JoinPath(folder, GameFilesLock::FileName), "lock");
        }
        std::this_thread::sleep_for(RetryEvery);
    }
    locked_.push_back(fd);
}

} // namespace mw
