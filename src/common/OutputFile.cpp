#include "common/OutputFile.h"

#include "common/Files.h"
#include "common/PendingFile.h"
#include "common/Platform.h"
#include "common/RunError.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>

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
    if (!info.Writable || !platform::MayWrite(path)) throw ReadOnlyError(path);
}

// The game's multi and art files, which an output never replaces, whatever the settings name:
// a misnamed export would destroy the client's own file.
constexpr const char* GameFileNames[] = {"multi.idx",       "multi.mul",  "multicollection.uop",
                                         "art.mul",         "artidx.mul", "tiledata.mul",
                                         "artlegacymul.uop"};

std::string Lowered(std::string name) {
    std::ranges::transform(name, name.begin(), [](unsigned char c) { return std::tolower(c); });
    return name;
}

// A file named like a game file, under the name given or at the end of its links.
void RefuseGameFileName(const std::string& path) {
    std::error_code unresolved;
    const std::filesystem::path named = platform::FsPath(path);
    const std::filesystem::path real = std::filesystem::weakly_canonical(named, unresolved);
    for (const std::filesystem::path& name : {named.filename(), real.filename()})
        for (const char* game : GameFileNames)
            if (Lowered(platform::PathText(name)) == game)
                throw RunError(err::PermissionDenied,
                               "Permission denied: \"" + path +
                                   "\" has the name of one of the game's files, " +
                                   platform::PathText(name) +
                                   ", and no output is written under that name; nothing was "
                                   "written");
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
    for (const std::string& file : protectedFiles)
        if (IsSameFile(path, file))
            throw RunError(err::PermissionDenied, "Permission denied: \"" + path + "\" is \"" +
                                                      file + "\", which no output may replace");
    RefuseGameFileName(path);
}

} // namespace mw
