#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mw {

// Writes the whole new contents of the file a path names, as a user expects of a save:
// - a regular file is written completely under a temporary name beside it and renamed over it,
//   so that a failure never leaves a truncated file or destroys the existing one; the new file
//   keeps the old one's mode, and its owner and group where the system lets us;
// - a symbolic link is written through, to its target, which is replaced the same way;
// - a FIFO or a device (/dev/stdout) is written directly, never replaced by a regular file;
// - a regular file without its owner's write permission is refused, for every user, root too,
//   as is one this user may not write.
void WriteFileAtomically(const std::string& path, std::string_view contents);

// Refuses, with a RunError naming it, a path that names one of the files given (the library,
// the game files) under any name, so that an output never overwrites them; and, whatever the
// settings name, a file named like one of the game's multi or art files (multi.idx,
// multi.mul, MultiCollection.uop, art.mul, artidx.mul, tiledata.mul, artLegacyMUL.uop, in any
// case), under the name given or at the end of its links.
void RefuseProtectedTarget(const std::string& path, const std::vector<std::string>& protectedFiles);

} // namespace mw
