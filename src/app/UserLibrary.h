#pragma once

#include <string>

namespace mw {

// Readies the library folder of an installed program on its first start: the folder itself, an
// empty library made from the installed schema and the installed components.txt, each only when
// missing; what exists is never touched. Returns whether it made a new library. Throws RunError
// when the folder or a file cannot be made.
bool ProvideUserLibrary(const std::string& folder, const std::string& defaultsFolder);

} // namespace mw
