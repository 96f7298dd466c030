#include "common/OutputFile.h"

#include "common/Files.h"
#include "common/PendingFile.h"
#include "common/RunError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mw {

namespace {

void WriteDirectly(const std::string& path, std::string_view contents) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) ThrowFileError(errno, path, "write");
    for (size_t done = 0; done < contents.size();) {
        ssize_t n = ::write(fd, contents.data() + done, contents.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            int e = n < 0 ? errno : ENOSPC;
            ::close(fd);
            ThrowFileError(e, path, "write");
        }
        done += static_cast<size_t>(n);
    }
    if (::close(fd) != 0) ThrowFileError(errno, path, "write");
}

void RefuseReadOnly(const std::string& path, const struct stat& info) {
    if ((info.st_mode & S_IWUSR) == 0 || ::access(path.c_str(), W_OK) != 0)
        throw RunError(err::PermissionDenied,
                       "Permission denied: \"" + path + "\" is read-only; it was left as it was");
}

} // namespace

void WriteFileAtomically(const std::string& path, std::string_view contents) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) ThrowFileError(EISDIR, path, "write");
        if (!S_ISREG(info.st_mode)) return WriteDirectly(path, contents);
        RefuseReadOnly(path, info);
    }
    PendingFile file(path);
    file.Write(contents);
    file.Commit();
}

void RefuseProtectedTarget(const std::string& path,
                           const std::vector<std::string>& protectedFiles) {
    struct stat target {};
    if (::stat(path.c_str(), &target) != 0) return; // a new file is none of them
    for (const std::string& file : protectedFiles) {
        struct stat other {};
        if (file.empty() || ::stat(file.c_str(), &other) != 0) continue;
        if (target.st_dev == other.st_dev && target.st_ino == other.st_ino)
            throw RunError(err::PermissionDenied, "Permission denied: \"" + path + "\" is \"" +
                                                      file + "\", which no output may replace");
    }
}

} // namespace mw
