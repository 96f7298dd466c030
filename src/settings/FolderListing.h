#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mw {

// The folders below a folder, by name, without hidden ones, in the order a user reads them.
// Throws RunError when the folder cannot be read (missing, no permission, no medium).
std::vector<std::string> SubFolders(const std::string& folder);

// Sorts folder names as a listing shows them: case ignored first, then exactly.
void SortFolderNames(std::vector<std::string>& names);

// The drives of the folder chooser: the root (or the first drive letter), the user's home, then
// the pickable mount points (or the other drive letters) that are folders, each once.
std::vector<std::string> UserDrives();

// The drive that holds the folder: the longest one that is the folder or one of its parents.
std::string DriveHolding(const std::string& folder, const std::vector<std::string>& drives);

// The folder's absolute path without "." or ".." and without a closing separator, bar the root.
std::string AbsoluteFolder(const std::string& folder);

// folder, then the folder's name below it: "/" and "srv" give "/srv".
std::string ChildFolder(const std::string& folder, const std::string& name);

} // namespace mw
