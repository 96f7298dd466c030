#pragma once

#include <string>

namespace mw {

// The folder that holds the running executable; the library and components.txt live there.
std::string ExecutableFolder();

// folder + separator + name, the separator added even when the folder already ends in one
// (a doubled separator is harmless and keeps stored folder texts meaning what they always did).
std::string JoinPath(const std::string& folder, const std::string& name);

// The folder part of a path: "." for a bare name, the root for a file in the root.
std::string FolderOf(const std::string& path);

constexpr const char* LibraryFileName = "Wardstone.dat";
constexpr const char* ComponentsFileName = "components.txt";

} // namespace mw
