#pragma once

#include <string>

struct sqlite3;

namespace mw {

// Reads what an existing file holds before anything may be written to it: a database at all,
// not empty, with the library's tables and their columns. Throws RunError saying what was found
// at `path` and what the user can do; nothing is written, whatever the file holds.
void CheckLibraryFile(sqlite3* db, const std::string& path);

} // namespace mw
