#include "common/GameFileBackups.h"

#include "common/Files.h"
#include "common/PendingFile.h"
#include "common/Platform.h"
#include "common/RunError.h"

#include <cerrno>
#include <filesystem>
#include <regex>
#include <set>

namespace mw {

namespace {

std::string RealPath(const std::string& path) {
    std::string resolved;
    if (!platform::RealPath(path, resolved)) ThrowFileError(errno, path, "back up");
    return resolved;
}

// The first free name: a second copy within the same second gets "-2" before ".bak".
std::string FreeBackupPath(const std::string& path, std::time_t when) {
    std::string first = BackupPath(path, when);
    std::string name = first;
    for (int n = 2; FileExists(name); ++n)
        name = first.substr(0, first.size() - 4) + "-" + std::to_string(n) + ".bak";
    return name;
}

// The temporary name of an unfinished backup copy of the file named `gameFile`: PendingFile's
// name for "multi.mul.2026-12-06T20-41-05.bak", or the one of earlier versions of the program,
// "multi.mul.2026-12-06T20-41-05.bak.Ab12Cd".
bool IsUnfinishedBackup(const std::string& name, const std::string& gameFile) {
    static const std::regex stamped(R"((\d{4}-\d\d-\d\dT\d\d-\d\d-\d\d(-\d+)?\.bak)(.*))");
    static const std::regex earlier(R"(\.[A-Za-z0-9]{6})");
    const std::string start = gameFile + ".";
    if (!name.starts_with(start)) return false;
    const std::string rest = name.substr(start.size());
    std::smatch parts;
    if (!std::regex_match(rest, parts, stamped)) return false;
    return PendingFile::IsTemporaryFor(name, start + parts[1].str()) ||
           std::regex_match(parts[3].str(), earlier);
}

// The temporary name earlier versions gave a rewrite of the file itself,
// "MultiCollection.uop.x7Yz9Q". A user's own "multi.mul.backup" has the same shape, so only a
// name of letters and digits mixed, as mkstemp makes them nearly always, is taken for ours.
bool IsEarlierRewrite(const std::string& name, const std::string& gameFile) {
    static const std::regex earlier(
        R"(\.(?=[A-Za-z0-9]*[0-9])(?=[A-Za-z0-9]*[A-Za-z])[A-Za-z0-9]{6})");
    return name.starts_with(gameFile) && std::regex_match(name.substr(gameFile.size()), earlier);
}

bool IsInterruptedCopy(const std::string& name, const std::string& gameFile) {
    return PendingFile::IsTemporaryFor(name, gameFile) || IsEarlierRewrite(name, gameFile) ||
           IsUnfinishedBackup(name, gameFile);
}

} // namespace

std::string BackupPath(const std::string& path, std::time_t when) {
    std::tm local = platform::LocalTime(when);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H-%M-%S", &local);
    return path + "." + stamp + ".bak";
}

std::string GameFileBackups::BeforeChange(const std::string& path) {
    if (!Enabled) return {};
    std::string real = RealPath(path);
    if (copied_.count(real) != 0) return {};
    std::string backup = FreeBackupPath(path, Now());
    PendingFile copy(backup);
    copy.Write(ReadWholeFile(path));
    copy.Commit();
    copied_.insert(real);
    return backup;
}

std::vector<std::string> RemoveInterruptedCopies(const std::vector<std::string>& gameFiles) {
    namespace fs = std::filesystem;
    std::set<std::pair<fs::path, std::string>> places; // folder and the game file's name there
    for (const std::string& file : gameFiles) {
        if (file.empty()) continue;
        std::error_code missing;
        const fs::path path = platform::FsPath(file);
        fs::path named = fs::absolute(path, missing), real = fs::canonical(path, missing);
        places.emplace(named.parent_path(), platform::PathText(named.filename()));
        if (!missing) places.emplace(real.parent_path(), platform::PathText(real.filename()));
    }
    std::vector<std::string> removed;
    for (const auto& [folder, name] : places) {
        std::error_code unreadable;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder, unreadable)) {
            std::error_code failed;
            if (entry.is_regular_file(failed) && !entry.is_symlink(failed) &&
                IsInterruptedCopy(platform::PathText(entry.path().filename()), name) &&
                fs::remove(entry.path(), failed))
                removed.push_back(platform::PathText(entry.path()));
        }
    }
    return removed;
}

} // namespace mw
