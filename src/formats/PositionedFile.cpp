#include "formats/PositionedFile.h"

#include "common/Files.h"
#include "common/RunError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mw {

PositionedFile::PositionedFile(const std::string& path, long shortReadError)
    : path_(path), shortReadError_(shortReadError) {
    if (path.empty()) throw RunError(err::FileNotFound, "File not found: no path is set");
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) ThrowFileError(errno, path, "open");
    struct stat info {};
    int failure = ::fstat(fd_, &info) != 0 ? errno
                  : S_ISDIR(info.st_mode)  ? EISDIR
                  : !S_ISREG(info.st_mode) ? EINVAL
                                           : 0;
    if (failure != 0) {
        ::close(fd_);
        ThrowFileError(failure, path, "open");
    }
    size_ = static_cast<std::uint64_t>(info.st_size);
}

PositionedFile::~PositionedFile() {
    ::close(fd_);
}

std::string PositionedFile::Read(std::uint64_t offset, size_t length) const {
    std::string bytes(length, '\0');
    size_t done = 0;
    while (done < length) {
        ssize_t n =
            ::pread(fd_, bytes.data() + done, length - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ThrowFileError(errno, path_, "read");
        if (n == 0)
            throw RunError(shortReadError_, "Cannot read \"" + path_ + "\": it ends at byte " +
                                                std::to_string(offset + done) + ", before the " +
                                                std::to_string(length) + " bytes at byte " +
                                                std::to_string(offset));
        done += static_cast<size_t>(n);
    }
    return bytes;
}

} // namespace mw
