#include "settings/FolderListing.h"

#include "common/Files.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <strings.h>

namespace mw {

namespace fs = std::filesystem;

namespace {

bool IsHidden(const std::string& name) {
    return !name.empty() && name[0] == '.';
}

// File systems that hold no user's files: the kernel's views and memory-only ones.
bool IsPseudoFileSystem(std::string_view type) {
    static constexpr std::string_view pseudo[] = {
        "autofs",     "binfmt_misc", "bpf",      "cgroup",   "cgroup2", "configfs",
        "debugfs",    "devpts",      "devtmpfs", "efivarfs", "fusectl", "hugetlbfs",
        "mqueue",     "nsfs",        "proc",     "pstore",   "ramfs",   "rpc_pipefs",
        "securityfs", "squashfs",    "sysfs",    "tmpfs",    "tracefs", "fuse.gvfsd-fuse"};
    return std::find(std::begin(pseudo), std::end(pseudo), type) != std::end(pseudo);
}

bool IsBelow(const std::string& path, std::string_view folder) {
    return path == folder ||
           (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
            path[folder.size()] == '/');
}

// Places of the system itself; removable media mounted under /run/media stay pickable.
bool IsSystemPlace(const std::string& point) {
    if (IsBelow(point, "/run/media")) return false;
    for (std::string_view place : {"/proc", "/sys", "/dev", "/run"})
        if (IsBelow(point, place)) return true;
    return false;
}

// The mount table writes blanks, tabs, new lines and backslashes in octal: "\040" is a blank.
std::string UnescapeMountPoint(std::string_view text) {
    std::string point;
    for (size_t i = 0; i < text.size(); ++i) {
        bool octal = text[i] == '\\' && i + 3 < text.size() &&
                     std::all_of(text.begin() + i + 1, text.begin() + i + 4,
                                 [](char c) { return c >= '0' && c <= '7'; });
        if (octal) {
            point += static_cast<char>((text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 +
                                       (text[i + 3] - '0'));
            i += 3;
        } else {
            point += text[i];
        }
    }
    return point;
}

void AddOnce(std::vector<std::string>& list, const std::string& entry) {
    if (std::find(list.begin(), list.end(), entry) == list.end()) list.push_back(entry);
}

std::string ReadMountTable() {
    std::ifstream table("/proc/mounts"); // its size is unknown until read, so no sized read
    std::ostringstream text;
    text << table.rdbuf();
    return text.str();
}

bool IsFolder(const std::string& path) {
    std::error_code ignored;
    return fs::is_directory(path, ignored);
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
    fs::directory_iterator entries(folder, failure);
    std::vector<std::string> names;
    for (; !failure && entries != fs::directory_iterator(); entries.increment(failure)) {
        std::string name = entries->path().filename().string();
        std::error_code ignored; // a broken link is no folder
        if (!IsHidden(name) && entries->is_directory(ignored)) names.push_back(name);
    }
    if (failure) ThrowFileError(failure.value(), folder, "read");
    SortFolderNames(names);
    return names;
}

std::vector<std::string> PickableMountPoints(std::string_view table) {
    std::vector<std::string> points;
    std::istringstream lines{std::string(table)};
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string device, point, type;
        if (!(fields >> device >> point >> type)) continue;
        point = UnescapeMountPoint(point);
        if (!IsPseudoFileSystem(type) && !IsSystemPlace(point)) AddOnce(points, point);
    }
    return points;
}

std::vector<std::string> UserDrives() {
    std::vector<std::string> drives{"/"};
    const char* home = std::getenv("HOME");
    if (home && *home && IsFolder(home)) AddOnce(drives, AbsoluteFolder(home));
    for (const std::string& point : PickableMountPoints(ReadMountTable()))
        if (IsFolder(point)) AddOnce(drives, point);
    return drives;
}

std::string DriveHolding(const std::string& folder, const std::vector<std::string>& drives) {
    std::string best = "/";
    for (const std::string& drive : drives)
        if ((drive == "/" || IsBelow(folder, drive)) && drive.size() > best.size()) best = drive;
    return best;
}

std::string AbsoluteFolder(const std::string& folder) {
    std::error_code ignored;
    std::string path = fs::absolute(folder, ignored).lexically_normal().string();
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path.empty() ? "/" : path;
}

std::string ChildFolder(const std::string& folder, const std::string& name) {
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

} // namespace mw
