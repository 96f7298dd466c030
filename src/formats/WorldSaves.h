#pragma once

#include "common/Progress.h"
#include "formats/ComponentBuffer.h"

#include <string>

namespace mw {

class ComponentsList;

// Readers of world files that a server saved out after a multi was built item by item in the
// game. Every line is a key, one space and a value; a reader takes the value (the second
// space-separated field) of the lines it uses, whatever their key. The items are centred on
// their bounding box, Z keeps its world value, and the components list sets the flags.
//
// Both behave like ReadComponentList: true on success; on failure false, LastReadOK false, the
// buffer cleared and LastReadMessage saying why (empty when the progress function cancelled).

constexpr const char* InvalidWscTitle = "Invalid Multi Template WSC File";
constexpr const char* InvalidWscText = "This multi template file is invalid or corrupt";

// The Sphere server's export file: line 1 holds "SECTION WORLDITEM"; items follow at a fixed
// stride of 14 lines, the first at line 5, each with its item id, X, Y and Z on its first four
// lines. A file whose line 1 lacks the section name leaves the buffer as it was.
bool ReadSphereExportWsc(ComponentBuffer& buffer, const ComponentsList& list,
                         const std::string& path, const Progress& progress = {});

// The UOX3 server's items.wsc: an item starts at a line whose key is exactly "ID", followed by
// its X line and its Y line and, when the next line's key is "Z" or "z", its Z line (Z "0"
// otherwise). Lines between items are skipped. A file without any item is refused.
bool ReadUox3Wsc(ComponentBuffer& buffer, const ComponentsList& list, const std::string& path,
                 const Progress& progress = {});

} // namespace mw
