#include "common/Paths.h"

#include "common/Platform.h"

#include <algorithm>

namespace mw {

std::string ExecutableFolder() {
    return platform::ExecutableFolder();
}

std::string FolderOf(const std::string& path) {
    auto separator = std::find_if(path.rbegin(), path.rend(), platform::IsSeparator);
    if (separator == path.rend()) return ".";
    size_t slash = static_cast<size_t>(path.rend() - separator) - 1;
    const bool root = slash == 0 || (slash == 2 && path[1] == ':'); // "/x", "C:/x"
    return path.substr(0, root ? slash + 1 : slash);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    return folder + "/" + name;
}

} // namespace mw
