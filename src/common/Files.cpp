#include "common/Files.h"

#include "common/LineReader.h"
#include "common/Platform.h"
#include "common/RunError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace mw {

namespace {

long ErrorNumberFor(int e) {
    switch (e) {
    case ENOENT:
        return err::FileNotFound;
    case ENOTDIR:
        return err::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return err::PermissionDenied;
    case ENOSPC:
        return err::DiskFull;
    case EISDIR:
    case ENAMETOOLONG:
        return err::BadFileNameOrNumber;
    default:
        return err::PathFileAccessError;
    }
}
} // namespace

RunError FileError(int errnoValue, const std::string& path, const char* action) {
    return RunError(ErrorNumberFor(errnoValue), std::string("Cannot ") + action + " \"" + path +
                                                    "\": " + std::strerror(errnoValue));
}

void ThrowFileError(int errnoValue, const std::string& path, const char* action) {
    throw FileError(errnoValue, path, action);
}

RunError ReadOnlyError(const std::string& path) {
    return RunError(err::PermissionDenied,
                    "Permission denied: \"" + path + "\" is read-only; it was left as it was");
}

bool IsSameFile(const std::string& first, const std::string& second) {
    platform::FileInfo a, b;
    return !first.empty() && !second.empty() && platform::StatPath(first, a) == 0 &&
           platform::StatPath(second, b) == 0 && platform::SameFile(a, b);
}

std::string ReadWholeFile(const std::string& path) {
    LineReader probe(path); // reports a missing file or a folder the same way as every reader
    std::string text;
    text.resize(static_cast<size_t>(probe.FileSize()));
    std::FILE* file = platform::OpenStream(path, "rb");
    if (!file) ThrowFileError(errno, path, "open");
    size_t n = std::fread(text.data(), 1, text.size(), file);
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) ThrowFileError(EIO, path, "read"); // never a short text that passes for whole
    text.resize(n);
    return text;
}

bool FileExists(const std::string& path) {
    platform::FileInfo info;
    return platform::StatPath(path, info) == 0;
}

void RemoveFile(const std::string& path) {
    if (platform::RemoveFile(path) != 0 && errno != ENOENT) ThrowFileError(errno, path, "delete");
}

} // namespace mw
