#pragma once

#include <string>

namespace mw {

// The Sphere folder box's check. A text that ends in a separator asks whether that folder holds a
// normal file; any other text asks whether it names one itself or, its last part taken as a file
// pattern ("*.exe", "?"), matches one in its folder. So a folder written without its closing
// separator finds nothing. A normal file is a file (or a link to one) that is not hidden.
bool FindsNormalFile(const std::string& text);

// The art folder box's check: the text names a folder that exists (or a link to one).
bool NamesFolder(const std::string& text);

} // namespace mw
