#include "common/PendingFile.h"

#include "common/Files.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <libgen.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mw {

namespace {

constexpr int MostLinksFollowed = 40; // as the system itself follows them
// Ours beyond doubt, so that what a killed process leaves can be told from the user's own files
// ("MultiCollection.uop.backup"); mkstemp puts six letters or digits in the place of the Xs.
constexpr std::string_view TemporaryMark = ".multiwardstone-";
constexpr std::string_view TemporaryPattern = "XXXXXX";
constexpr const char* TemporaryLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// Where a chain of symbolic links ends, also when its last target does not exist yet.
std::string FinalTarget(std::string path) {
    for (int followed = 0; followed < MostLinksFollowed; ++followed) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        char target[PATH_MAX];
        ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
        if (n < 0) ThrowFileError(errno, path, "write");
        std::string next(target, static_cast<size_t>(n));
        path = next.front() == '/' ? next : FolderOf(path) + "/" + next;
    }
    ThrowFileError(ELOOP, path, "write");
}

// An existing file's permissions, or those that new files get.
mode_t ModeFor(const struct stat* existing) {
    if (existing) return existing->st_mode & 07777;
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Makes a rename in the folder durable; a folder that cannot be opened is left to the system.
void SyncFolderOf(const std::string& path) {
    std::string copy = path;
    int fd = ::open(::dirname(copy.data()), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

PendingFile::PendingFile(const std::string& path)
    : path_(FinalTarget(path)),
      temp_(path_ + std::string(TemporaryMark) + std::string(TemporaryPattern)) {
    fd_ = ::mkstemp(temp_.data());
    if (fd_ < 0) ThrowFileError(errno, path_, "create");
    struct stat info {};
    const bool exists = ::stat(path_.c_str(), &info) == 0;
    // The owner and group stay where the system lets them (root always; others their groups).
    if (exists && ::fchown(fd_, info.st_uid, info.st_gid) != 0) {
        [[maybe_unused]] int ignored = ::fchown(fd_, static_cast<uid_t>(-1), info.st_gid);
    }
    if (::fchmod(fd_, ModeFor(exists ? &info : nullptr)) != 0) {
        int e = errno;
        ::close(fd_);
        ::unlink(temp_.c_str());
        ThrowFileError(e, path_, "create");
    }
}

bool PendingFile::IsTemporaryFor(const std::string& name, const std::string& target) {
    const std::string start = target + std::string(TemporaryMark);
    return name.size() == start.size() + TemporaryPattern.size() && name.starts_with(start) &&
           name.find_first_not_of(TemporaryLetters, start.size()) == std::string::npos;
}

PendingFile::~PendingFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_) ::unlink(temp_.c_str());
}

void PendingFile::Write(std::string_view contents) {
    const char* data = contents.data();
    size_t left = contents.size();
    while (left > 0) {
        ssize_t n = ::write(fd_, data, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) ThrowFileError(n < 0 ? errno : ENOSPC, path_, "write");
        data += n;
        left -= static_cast<size_t>(n);
    }
    if (::fsync(fd_) != 0) ThrowFileError(errno, path_, "write");
}

std::string PendingFile::ReadBack() const {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) ThrowFileError(errno, path_, "read");
    std::string contents(static_cast<size_t>(info.st_size), '\0');
    size_t done = 0;
    while (done < contents.size()) {
        ssize_t n =
            ::pread(fd_, contents.data() + done, contents.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ThrowFileError(errno, path_, "read");
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    contents.resize(done);
    return contents;
}

void PendingFile::Commit() {
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) ThrowFileError(errno, path_, "write");
    if (::rename(temp_.c_str(), path_.c_str()) != 0) ThrowFileError(errno, path_, "replace");
    committed_ = true;
    SyncFolderOf(path_);
}

} // namespace mw
