#pragma once

#include "common/Progress.h"
#include "formats/ComponentBuffer.h"

#include <cstdint>
#include <string>

namespace mw {

class ComponentsList;
class Connection;

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

// The text of a stored template in the template text format.
std::string TemplateText(Connection& cnTemplates, std::int32_t templateId,
                         const Progress& progress = {});

// Writes a stored template as a file in the template text format, replacing any file at path
// only once the new one is complete.
void WriteTemplateFile(Connection& cnTemplates, const std::string& path, std::int32_t templateId,
                       const Progress& progress = {});

} // namespace mw
