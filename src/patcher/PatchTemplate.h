#pragma once

#include "common/Progress.h"
#include "formats/ComponentBuffer.h"
#include "patcher/PatchGameFiles.h"

#include <cstdint>
#include <functional>
#include <string>

namespace mw {

class ComponentsList;
class Connection;

// What the status line says while a patch runs.
constexpr const char* ReadingTemplateText = "Reading Template...";
constexpr const char* PleaseWaitText = "Please wait...";
constexpr const char* PatchingCompletedText = "Patching Completed";

using StatusLine = std::function<void(const char* text)>;

// The whole patch of a stored template: LoadTemplateBlocks, then PatchGameFiles, telling the
// status line where it is. The buffer keeps the loaded template for the scripts that follow.
PatchResult PatchTemplate(Connection& cnTemplates, ComponentBuffer& buffer,
                          const ComponentsList& list, std::int32_t templateId,
                          const PatchTargets& targets, const StatusLine& status = {},
                          const Progress& progress = {});

} // namespace mw
