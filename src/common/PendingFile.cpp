#include "common/PendingFile.h"

#include "common/Files.h"
#include "common/Paths.h"
#include "common/Platform.h"

#include <cerrno>

namespace mw {

namespace {

constexpr int MostLinksFollowed = 40; // as the system itself follows them
// Ours beyond doubt, so that what a killed process leaves can be told from the user's own files
// ("MultiCollection.uop.backup"); mkstemp puts six letters or digits in the place of the Xs.
constexpr std::string_view TemporaryMark = ".multiwardstone-";
constexpr std::string_view TemporaryPattern = "XXXXXX";
constexpr const char* TemporaryLetters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

// Where a chain of symbolic links ends, also when its last target does not exist yet.
std::string FinalTarget(std::string path) {
    for (int followed = 0; followed < MostLinksFollowed; ++followed) {
        platform::FileInfo info;
        if (platform::StatLink(path, info) != 0 || info.Kind != platform::FileKind::SymbolicLink)
            return path;
        std::string next;
        if (!platform::ReadLink(path, next) || next.empty()) ThrowFileError(errno, path, "write");
        path = platform::IsAbsolute(next) ? next : FolderOf(path) + "/" + next;
    }
    ThrowFileError(ELOOP, path, "write");
}

} // namespace

PendingFile::PendingFile(const std::string& path)
    : path_(FinalTarget(path)),
      temp_(path_ + std::string(TemporaryMark) + std::string(TemporaryPattern)) {
    fd_ = platform::CreateUniqueFile(temp_);
    if (fd_ < 0) ThrowFileError(errno, path_, "create");
    platform::FileInfo info;
    const bool exists = platform::StatPath(path_, info) == 0;
    if (platform::KeepModeOf(fd_, exists ? &info : nullptr) != 0) {
        int e = errno;
        platform::CloseFile(fd_);
        platform::RemoveFile(temp_);
        ThrowFileError(e, path_, "create");
    }
}

bool PendingFile::IsTemporaryFor(const std::string& name, const std::string& target) {
    const std::string start = target + std::string(TemporaryMark);
    return name.size() == start.size() + TemporaryPattern.size() && name.starts_with(start) &&
           name.find_first_not_of(TemporaryLetters, start.size()) == std::string::npos;
}

PendingFile::~PendingFile() {
    if (fd_ >= 0) platform::CloseFile(fd_);
    if (!committed_) platform::RemoveFile(temp_);
}

void PendingFile::Write(std::string_view contents) {
    const char* data = contents.data();
    size_t left = contents.size();
    while (left > 0) {
        long long n = platform::WriteSome(fd_, data, left);
        if (n <= 0) ThrowFileError(n < 0 ? errno : ENOSPC, path_, "write");
        data += n;
        left -= static_cast<size_t>(n);
    }
    if (platform::FlushFile(fd_) != 0) ThrowFileError(errno, path_, "write");
}

std::string PendingFile::ReadBack() const {
    platform::FileInfo info;
    if (platform::StatOpenFile(fd_, info) != 0) ThrowFileError(errno, path_, "read");
    std::string contents(static_cast<size_t>(info.Size), '\0');
    size_t done = 0;
    while (done < contents.size()) {
        long long n = platform::ReadAt(fd_, contents.data() + done, contents.size() - done, done);
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
    if (platform::CloseFile(fd) != 0) ThrowFileError(errno, path_, "write");
    if (platform::MoveIntoPlace(temp_, path_) != 0) ThrowFileError(errno, path_, "replace");
    committed_ = true;
    platform::SyncFolder(FolderOf(path_));
}

} // namespace mw
