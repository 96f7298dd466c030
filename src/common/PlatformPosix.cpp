#include "common/Platform.h"

#include "common/Files.h"
#include "common/MountTable.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mw::platform {

namespace {

int Describe(int result, const struct stat& st, FileInfo& info) {
    if (result != 0) {
        info = FileInfo{};
        return -1;
    }
    info.Kind = S_ISREG(st.st_mode)   ? FileKind::Regular
                : S_ISDIR(st.st_mode) ? FileKind::Directory
                : S_ISLNK(st.st_mode) ? FileKind::SymbolicLink
                                      : FileKind::Other;
    info.Size = static_cast<std::uint64_t>(st.st_size);
    info.Device = static_cast<std::uint64_t>(st.st_dev);
    info.Identity = static_cast<std::uint64_t>(st.st_ino);
    info.Writable = (st.st_mode & S_IWUSR) != 0;
    info.Mode = st.st_mode & 07777;
    info.Owner = st.st_uid;
    info.Group = st.st_gid;
    return 0;
}

template <typename Call> long long Retried(Call call) {
    for (;;) {
        ssize_t n = call();
        if (n >= 0 || errno != EINTR) return n;
    }
}

std::string ReadMountTable() {
    std::ifstream table("/proc/mounts"); // its size is unknown until read, so no sized read
    std::ostringstream text;
    text << table.rdbuf();
    return text.str();
}

} // namespace

bool IsSeparator(char c) {
    return c == '/';
}

bool IsAbsolute(const std::string& path) {
    return !path.empty() && path.front() == '/';
}

int OpenFile(const std::string& path, Access access) {
    int flags = access == Access::Read ? O_RDONLY : access == Access::Write ? O_WRONLY : O_RDWR;
    return ::open(path.c_str(), flags | O_CLOEXEC);
}

int OpenRegularFile(const std::string& path, Access access) {
    int flags = access == Access::Read ? O_RDONLY : access == Access::Write ? O_WRONLY : O_RDWR;
    return ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC); // no effect on regular files
}

int OpenOrCreateFile(const std::string& path) {
    return ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
}

int OpenFolder(const std::string& path) {
    return ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

int CreateUniqueFile(std::string& pattern) {
    return ::mkostemp(pattern.data(), O_CLOEXEC);
}

int CloseFile(int fd) {
    return ::close(fd);
}

long long ReadAt(int fd, void* buffer, std::size_t length, std::uint64_t offset) {
    return Retried([&] { return ::pread(fd, buffer, length, static_cast<off_t>(offset)); });
}

long long WriteAt(int fd, const void* bytes, std::size_t length, std::uint64_t offset) {
    return Retried([&] { return ::pwrite(fd, bytes, length, static_cast<off_t>(offset)); });
}

long long WriteSome(int fd, const void* bytes, std::size_t length) {
    return Retried([&] { return ::write(fd, bytes, length); });
}

int FlushFile(int fd) {
    return ::fsync(fd);
}

int TruncateFile(int fd, std::uint64_t size) {
    return ::ftruncate(fd, static_cast<off_t>(size));
}

int StatPath(const std::string& path, FileInfo& info) {
    struct stat st {};
    return Describe(::stat(path.c_str(), &st), st, info);
}

int StatLink(const std::string& path, FileInfo& info) {
    struct stat st {};
    return Describe(::lstat(path.c_str(), &st), st, info);
}

int StatOpenFile(int fd, FileInfo& info) {
    struct stat st {};
    return Describe(::fstat(fd, &st), st, info);
}

int StatStream(std::FILE* stream, FileInfo& info) {
    return StatOpenFile(::fileno(stream), info);
}

bool SameFile(const FileInfo& a, const FileInfo& b) {
    return a.Kind != FileKind::Missing && b.Kind != FileKind::Missing && a.Device == b.Device &&
           a.Identity == b.Identity;
}

bool MayWrite(const std::string& path) {
    return ::access(path.c_str(), W_OK) == 0;
}

int KeepModeOf(int fd, const FileInfo* replaced) {
    if (replaced && ::fchown(fd, replaced->Owner, replaced->Group) != 0) {
        // Others may keep only a group of their own; the owner stays theirs.
        [[maybe_unused]] int ignored = ::fchown(fd, static_cast<uid_t>(-1), replaced->Group);
    }
    mode_t mode = 0;
    if (replaced) {
        mode = replaced->Mode;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    return ::fchmod(fd, mode);
}

int MoveIntoPlace(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str());
}

void SyncFolder(const std::string& folder) {
    int fd = OpenFolder(folder);
    if (fd < 0) return; // a folder that cannot be opened is left to the system
    ::fsync(fd);
    ::close(fd);
}

int RemoveFile(const std::string& path) {
    return ::unlink(path.c_str());
}

bool ReadLink(const std::string& path, std::string& target) {
    char buffer[PATH_MAX];
    ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer - 1);
    if (n < 0) return false;
    target.assign(buffer, static_cast<size_t>(n));
    return true;
}

bool RealPath(const std::string& path, std::string& resolved) {
    char buffer[PATH_MAX];
    if (!::realpath(path.c_str(), buffer)) return false;
    resolved = buffer;
    return true;
}

bool TryLockFile(int fd) {
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        if (errno != EINTR) return false;
    return true;
}

bool TryLockIdentity(int fd) {
    return TryLockFile(fd); // advisory: the game reads and writes on as it likes
}

std::FILE* OpenStream(const std::string& path, const char* mode) {
    return std::fopen(path.c_str(), mode);
}

std::filesystem::path FsPath(const std::string& path) {
    return std::filesystem::path(path);
}

std::string PathText(const std::filesystem::path& path) {
    return path.string();
}

int ErrnoFrom(const std::error_code& failure) {
    return failure.value();
}

std::string ExecutableFolder() {
    std::string path;
    if (!ReadLink("/proc/self/exe", path) || path.empty()) return ".";
    size_t slash = path.rfind('/');
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string MakeTemporaryFolder(const std::string& prefix) {
    const char* folder = std::getenv("TMPDIR");
    std::string pattern =
        std::string(folder && *folder ? folder : "/tmp") + "/" + prefix + "XXXXXX";
    if (!::mkdtemp(pattern.data())) ThrowFileError(errno, pattern, "create");
    return pattern;
}

std::tm LocalTime(std::time_t when) {
    std::tm local{};
    ::localtime_r(&when, &local);
    return local;
}

std::vector<std::string> Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

void IgnoreWriteSignals() {
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
}

void UseBinaryStandardStreams() {} // POSIX streams never translate

std::string StandardInputName() {
    return "/dev/stdin";
}

std::vector<std::string> Drives() {
    std::vector<std::string> drives{"/"};
    for (std::string& point : PickableMountPoints(ReadMountTable()))
        drives.push_back(std::move(point));
    return drives;
}

} // namespace mw::platform
