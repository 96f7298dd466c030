#pragma once

#include "formats/ComponentBuffer.h"

#include <cstdint>
#include <string>

namespace mw {

class ComponentsList;

// The script format codes the settings keep ("Settings" "ScriptFormat"). A stored value that
// names none of them (0: never chosen) stays as it is and means the new format.
enum ScriptFormatCode : std::int16_t {
    NewScriptFormat = 1,     // Sphere 55 and later
    OldScriptFormat = 2,     // Sphere 51a
    SourceXScriptFormat = 3, // Sphere Source-X
};

// Source-X gives the deed no sell value, so it is neither asked for nor required there.
constexpr bool UsesSellValue(std::int16_t ScriptFormat) {
    return ScriptFormat != SourceXScriptFormat;
}

// What the script entry dialog asks for. The generators take the texts less their outer blanks and
// on one line (a run of control characters is one blank); the name also without brackets (each
// an underscore), and its defname of letters, digits and underscores only (each other byte an
// underscore), so that no name can add a line or a section to the server's scripts.
struct ScriptEntry {
    std::string MultiName;
    std::string BuyValue;
    std::string SellValue;
};

// What the generators read besides the entry: the components and bounds the patch left in the
// buffer, the list that decides which components get COMPONENT lines, and the patched entry.
struct ScriptSource {
    const ComponentBuffer& Buffer;
    const ComponentsList& List;
    std::int32_t PatchSlot;
};

// The Sphere item definitions of the new multi and of its deed, every line ended by CR LF.
// MakeScripts51a writes the format of servers up to 51a, MakeScripts55 that of 55 and later,
// MakeScriptsSourceX a [MULTIDEF] under the multi id and a deed that names it (no sell value).
// An item id that is no number from -32768 to 65535 fails with a RunError naming the component.
std::string MakeScripts51a(const ScriptSource& source, const ScriptEntry& entry);
std::string MakeScripts55(const ScriptSource& source, const ScriptEntry& entry);
std::string MakeScriptsSourceX(const ScriptSource& source, const ScriptEntry& entry);

// The old format for OldScriptFormat, Source-X for SourceXScriptFormat, the new one for any
// other value.
std::string MakeScripts(std::int16_t ScriptFormat, const ScriptSource& source,
                        const ScriptEntry& entry);

} // namespace mw
