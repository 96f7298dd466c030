#include "formats/PositionedFile.h"

#include "common/Files.h"
#include "common/Platform.h"
#include "common/RunError.h"

#include <cerrno>

namespace mw {

PositionedFile::PositionedFile(const std::string& path, long shortReadError)
    : path_(path), shortReadError_(shortReadError) {
    if (path.empty()) throw RunError(err::FileNotFound, "File not found: no path is set");
    fd_ = platform::OpenFile(path, platform::Access::Read);
    if (fd_ < 0) ThrowFileError(errno, path, "open");
    platform::FileInfo info;
    int failure = platform::StatOpenFile(fd_, info) != 0       ? errno
                  : info.Kind == platform::FileKind::Directory ? EISDIR
                  : info.Kind != platform::FileKind::Regular   ? EINVAL
                                                               : 0;
    if (failure != 0) {
        platform::CloseFile(fd_);
        ThrowFileError(failure, path, "open");
    }
    size_ = info.Size;
}

PositionedFile::~PositionedFile() {
    platform::CloseFile(fd_);
}

std::string PositionedFile::Read(std::uint64_t offset, size_t length) const {
    std::string bytes(length, '\0');
    size_t done = 0;
    while (done < length) {
        long long n = platform::ReadAt(fd_, bytes.data() + done, length - done, offset + done);
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
