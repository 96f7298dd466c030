#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace mw {

class ComponentsList;
struct ComponentBuffer;

// One component as numbers, in the ranges the library stores: the item id as 32 bits (our
// readers give 0 to 65535, old files -32768 to -1 for the upper half), x, y, z and the flag as
// 16 bits. Flag 0: placed separately by the server (listed in components.txt), 1: part of the
// multi.
struct Component {
    std::int32_t ItemID = 0;
    std::int16_t X = 0, Y = 0, Z = 0;
    std::int16_t Flag = 1;
    friend bool operator==(const Component&, const Component&) = default;
};

// A template as the editor holds it: its components in stored order.
using TemplateComponents = std::vector<Component>;

// The smallest box around components; every bound is taken by some component.
struct Bounds {
    std::int32_t MinX = 0, MaxX = 0, MinY = 0, MaxY = 0, MinZ = 0, MaxZ = 0;
    friend bool operator==(const Bounds&, const Bounds&) = default;
};

// Nothing for no components.
std::optional<Bounds> BoundsOf(const TemplateComponents& components);

// The item id as the game files hold it, 16 bits; fails with a RunError (Overflow) for an id
// outside -32768 to 65535.
std::uint16_t ItemKey(std::int32_t itemId);

// The flag an import gives the item: 0 when components.txt lists it, else 1.
std::int16_t FlagFor(std::int32_t itemId, const ComponentsList& list);

// Every component's flag recomputed from components.txt, as an import sets them.
void ApplyComponentsList(TemplateComponents& components, const ComponentsList& list);

// The typed value into the text buffer that the readers, the patcher and the scripts share:
// decimal texts, bounds tracked, LastReadOK untouched.
void FillBuffer(ComponentBuffer& buffer, const TemplateComponents& components);

} // namespace mw
