#pragma once

#include "common/Progress.h"
#include "formats/ComponentBuffer.h"

#include <cstdint>
#include <functional>
#include <string>

namespace mw {

class ComponentsList;

// The template text format, the exchange format of the system and of the server's extract
// command:
//   6 version
//   1 template id
//   -1 item version
//   <n> num components
//   <item id> <x> <y> <z> <flag>      (n lines)
// Every line ends with CR LF when we write it; LF alone is accepted when we read.

constexpr const char* InvalidFileTypeTitle = "Invalid File Type";
constexpr const char* InvalidFileTypeText = "This file is not a valid multi template file";
constexpr const char* ReadErrorTitle = "Error While Reading Multi Template File";

// Reads a file in the template text format into the buffer; every component gets Flag "1"
// before the components list marks the listed ones. On failure the buffer's LastReadMessage
// says why (empty when the progress function cancelled) and false is returned.
bool ReadComponentList(ComponentBuffer& buffer, const ComponentsList& list, const std::string& path,
                       const Progress& progress = {});

// One component line of the format, as the file shows it.
struct TemplateLine {
    long ItemID = 0, X = 0, Y = 0, Z = 0, Flag = 0;
};

// A whole file in the template text format: the header for `count` components, then the lines
// that `line` gives for 0 to count - 1, asked for in that order.
std::string TemplateFileText(std::int64_t count,
                             const std::function<TemplateLine(std::int64_t)>& line,
                             const Progress& progress = {});

} // namespace mw
