#pragma once

#include <string>

namespace mw {

// Creates an empty library from the schema text when no file exists at path; an existing file
// is never touched. Returns whether it created one. Throws RunError on failure, leaving nothing.
bool CreateEmptyLibrary(const std::string& path, const std::string& schemaSql);

} // namespace mw
