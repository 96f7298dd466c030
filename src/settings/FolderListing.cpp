#include "settings/FolderListing.h"

#include "common/Files.h"
#include "common/Platform.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <strings.h>

namespace mw {

namespace fs = std::filesystem;

namespace {

bool IsHidden(const std::string& name) {
    return !name.empty() && name[0] == '.';
}

void AddOnce(std::vector<std::string>& list, const std::string& entry) {
    if (std::find(list.begin(), list.end(), entry) == list.end()) list.push_back(entry);
}

bool IsFolder(const std::string& path) {
    std::error_code ignored;
    return fs::is_directory(platform::FsPath(path), ignored);
}

// A drive ("/", "C:/") holds everything that starts with it; a mount point is a folder of its own.
bool IsBelow(const std::string& path, const std::string& folder) {
    if (path.compare(0, folder.size(), folder) != 0) return false;
    return path.size() == folder.size() || folder.back() == '/' || path[folder.size()] == '/';
}

} // namespace

void SortFolderNames(std::vector<std::string>& names) {
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        int byCase = ::strcasecmp(a.c_str(), b.c_str());
        return byCase != 0 ? byCase < 0 : a < b;
    });
}

std::vector<std::string> SubFolders(const std::string& folder) {
    std::error_code failure;
    fs::directory_iterator entries(platform::FsPath(folder), failure);
    std::vector<std::string> names;
    for (; !failure && entries != fs::directory_iterator(); entries.increment(failure)) {
        std::string name = platform::PathText(entries->path().filename());
        std::error_code ignored; // a broken link is no folder
        if (!IsHidden(name) && entries->is_directory(ignored)) names.push_back(name);
    }
    if (failure) ThrowFileError(platform::ErrnoFrom(failure), folder, "read");
    SortFolderNames(names);
    return names;
}

std::vector<std::string> UserDrives() {
    std::vector<std::string> system = platform::Drives();
    std::vector<std::string> drives{system.front()};
    const char* home = std::getenv("HOME");
    if (home && *home && IsFolder(home)) AddOnce(drives, AbsoluteFolder(home));
    for (const std::string& point : system)
        if (IsFolder(point)) AddOnce(drives, point);
    return drives;
}

std::string DriveHolding(const std::string& folder, const std::vector<std::string>& drives) {
    std::string best;
    for (const std::string& drive : drives)
        if (IsBelow(folder, drive) && drive.size() > best.size()) best = drive;
    return !best.empty() ? best : drives.empty() ? "/" : drives.front();
}

std::string AbsoluteFolder(const std::string& folder) {
    std::error_code ignored;
    fs::path absolute = fs::absolute(platform::FsPath(folder), ignored).lexically_normal();
    std::string path = platform::PathText(absolute);
    const std::string root = platform::PathText(absolute.root_path());
    while (path.size() > root.size() && path.back() == '/')
        path.pop_back();
    return path.empty() ? "/" : path;
}

std::string ChildFolder(const std::string& folder, const std::string& name) {
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

} // namespace mw
