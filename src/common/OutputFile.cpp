#include "common/OutputFile.h"

#include "common/Files.h"
#include "common/PendingFile.h"
#include "common/Platform.h"
#include "common/RunError.h"

#include <cerrno>

namespace mw {

namespace {

void WriteDirectly(const std::string& path, std::string_view contents) {
    int fd = platform::OpenFile(path, platform::Access::Write);
    if (fd < 0) ThrowFileError(errno, path, "write");
    for (size_t done = 0; done < contents.size();) {
        long long n = platform::WriteSome(fd, contents.data() + done, contents.size() - done);
        if (n <= 0) {
            int e = n < 0 ? errno : ENOSPC;
            platform::CloseFile(fd);
            ThrowFileError(e, path, "write");
        }
        done += static_cast<size_t>(n);
    }
    if (platform::CloseFile(fd) != 0) ThrowFileError(errno, path, "write");
}

void RefuseReadOnly(const std::string& path, const platform::FileInfo& info) {
    if (!info.Writable || !platform::MayWrite(path))
        throw RunError(err::PermissionDenied,
                       "Permission denied: \"" + path + "\" is read-only; it was left as it was");
}

} // namespace

void WriteFileAtomically(const std::string& path, std::string_view contents) {
    platform::FileInfo info;
    if (platform::StatPath(path, info) == 0) {
        if (info.Kind == platform::FileKind::Directory) ThrowFileError(EISDIR, path, "write");
        if (info.Kind != platform::FileKind::Regular) return WriteDirectly(path, contents);
        RefuseReadOnly(path, info);
    }
    PendingFile file(path);
    file.Write(contents);
    file.Commit();
}

void RefuseProtectedTarget(const std::string& path,
                           const std::vector<std::string>& protectedFiles) {
    platform::FileInfo target;
    if (platform::StatPath(path, target) != 0) return; // a new file is none of them
    for (const std::string& file : protectedFiles) {
        platform::FileInfo other;
        if (file.empty() || platform::StatPath(file, other) != 0) continue;
        if (platform::SameFile(target, other))
            throw RunError(err::PermissionDenied, "Permission denied: \"" + path + "\" is \"" +
                                                      file + "\", which no output may replace");
    }
}

} // namespace mw
