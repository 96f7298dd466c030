#pragma once

#include "common/Progress.h"
#include "formats/ComponentBuffer.h"
#include "formats/TemplateText.h"

#include <cstdint>
#include <string>
#include <vector>

namespace mw {

class ComponentsList;
class Connection;

// A stored template's blocks on their way out of the library: as a buffer for the patcher and
// the scripts, or as a file in the template text format.

// Fills the buffer and its bounds from the stored blocks of one template, in stored order, every
// component with Flag "1" until the components list marks the listed ones "0". A component that
// the multi file cannot hold is refused here, naming it. On failure the buffer is left cleared.
void LoadTemplateBlocks(Connection& cnTemplates, ComponentBuffer& buffer,
                        const ComponentsList& list, std::int32_t templateId,
                        const Progress& progress = {});

// The stored blocks of one template in stored order, flags as stored; none for an unknown id.
std::vector<TemplateLine> StoredTemplateLines(Connection& cnTemplates, std::int32_t templateId,
                                              const Progress& progress = {});

// The text of a stored template in the template text format.
std::string TemplateText(Connection& cnTemplates, std::int32_t templateId,
                         const Progress& progress = {});

// Writes a stored template as a file in the template text format (see WriteFileAtomically).
void WriteTemplateFile(Connection& cnTemplates, const std::string& path, std::int32_t templateId,
                       const Progress& progress = {});

} // namespace mw
