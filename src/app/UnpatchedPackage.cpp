#include "app/UnpatchedPackage.h"

#include "common/Platform.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace mw {

namespace fs = std::filesystem;

namespace {

bool IsPackageName(const std::string& name) {
    const std::string package = "multicollection.uop";
    return std::equal(name.begin(), name.end(), package.begin(), package.end(),
                      [](unsigned char a, unsigned char b) { return std::tolower(a) == b; });
}

bool SameFile(const fs::path& a, const std::string& b) {
    std::error_code failure;
    return !b.empty() && fs::equivalent(a, platform::FsPath(b), failure);
}

} // namespace

std::string UnpatchedPackageBeside(const PatchTargets& targets) {
    if (targets.MultiIdxPath.empty()) return {};
    fs::path folder = platform::FsPath(targets.MultiIdxPath).parent_path();
    if (folder.empty()) folder = ".";
    std::error_code failure;
    fs::directory_iterator entries(folder, failure);
    for (; !failure && entries != fs::directory_iterator(); entries.increment(failure)) {
        std::error_code ignored;
        if (!IsPackageName(platform::PathText(entries->path().filename())) ||
            !fs::is_regular_file(entries->path(), ignored))
            continue;
        return SameFile(entries->path(), targets.MultiUopPath)
                   ? std::string()
                   : platform::PathText(entries->path());
    }
    return {};
}

std::string UnpatchedPackageNote(const std::string& package, const std::string& howToName) {
    return "\"" + package +
           "\" was not patched: the clients that read it instead of multi.idx / multi.mul (7.0 "
           "and later, with MainMisc.uop beside it) will not see the new multi until it is "
           "patched there too. " +
           howToName;
}

} // namespace mw
