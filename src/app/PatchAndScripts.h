#pragma once

#include "common/Progress.h"
#include "patcher/PatchTemplate.h"
#include "scripts/MakeScripts.h"

#include <cstdint>
#include <optional>
#include <string>

namespace mw {

struct Session;

// Fails with "No template has the id ..." when the library holds no such template.
void RequireStoredTemplate(Session& session, std::int32_t templateId);

// Patches a stored template into the session's game files as a new multi (see PatchTemplate),
// or in the place of multi `replace`, and keeps what its scripts need: the buffer holds the
// template, PatchSlot where it went. `notice` hears of the leftovers of an
// interrupted patch that the patch removed (PatchTargets::Notice).
PatchResult PatchStoredTemplate(Session& session, std::int32_t templateId,
                                const StatusLine& status = {}, const Progress& progress = {},
                                std::optional<std::uint32_t> replace = {},
                                const PatchNotice& notice = {});

// The Sphere scripts of the multi that the last patch made and of its deed.
std::string ScriptsForLastPatch(Session& session, std::int16_t ScriptFormat,
                                const ScriptEntry& entry);

} // namespace mw
