#include "common/GameFileBackups.h"

#include "common/Files.h"
#include "common/PendingFile.h"
#include "common/Platform.h"
#include "common/RunError.h"

#include <cerrno>

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

} // namespace mw
