#include "common/MountTable.h"

#include <algorithm>
#include <sstream>

namespace mw {

namespace {

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

} // namespace

std::vector<std::string> PickableMountPoints(std::string_view table) {
    std::vector<std::string> points;
    std::istringstream lines{std::string(table)};
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string device, point, type;
        if (!(fields >> device >> point >> type)) continue;
        point = UnescapeMountPoint(point);
        if (!IsPseudoFileSystem(type) && !IsSystemPlace(point))
            if (std::find(points.begin(), points.end(), point) == points.end())
                points.push_back(point);
    }
    return points;
}

} // namespace mw
