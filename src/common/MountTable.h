#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mw {

// The mount points of a mount table (the text of /proc/mounts) that a user would pick a folder
// from: no kernel or memory file systems, nothing under /proc, /sys, /dev or /run.
std::vector<std::string> PickableMountPoints(std::string_view table);

} // namespace mw
