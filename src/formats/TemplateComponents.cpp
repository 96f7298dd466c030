#include "formats/TemplateComponents.h"

#include "common/Convert.h"
#include "common/RunError.h"
#include "formats/ComponentBuffer.h"
#include "formats/ComponentsList.h"

#include <algorithm>

namespace mw {

std::optional<Bounds> BoundsOf(const TemplateComponents& components) {
    if (components.empty()) return std::nullopt;
    const Component& first = components.front();
    Bounds b{first.X, first.X, first.Y, first.Y, first.Z, first.Z};
    for (const Component& c : components) {
        b.MinX = std::min<std::int32_t>(b.MinX, c.X);
        b.MaxX = std::max<std::int32_t>(b.MaxX, c.X);
        b.MinY = std::min<std::int32_t>(b.MinY, c.Y);
        b.MaxY = std::max<std::int32_t>(b.MaxY, c.Y);
        b.MinZ = std::min<std::int32_t>(b.MinZ, c.Z);
        b.MaxZ = std::max<std::int32_t>(b.MaxZ, c.Z);
    }
    return b;
}

std::uint16_t ItemKey(std::int32_t itemId) {
    if (itemId < -32768 || itemId > 65535)
        throw RunError(err::Overflow, "Overflow: the item id " + std::to_string(itemId) +
                                          " does not fit the range -32768 to 65535");
    return static_cast<std::uint16_t>(itemId);
}

std::int16_t FlagFor(std::int32_t itemId, const ComponentsList& list) {
    return list.Contains(HexText(ItemKey(itemId))) ? 0 : 1;
}

void ApplyComponentsList(TemplateComponents& components, const ComponentsList& list) {
    for (Component& c : components)
        c.Flag = FlagFor(c.ItemID, list);
}

void FillBuffer(ComponentBuffer& buffer, const TemplateComponents& components) {
    ClearComponentBuffer(buffer);
    auto bounds = BoundsOf(components);
    if (!bounds) return;
    for (auto* array : {&buffer.ItemID, &buffer.X, &buffer.Y, &buffer.Z, &buffer.Flag}) {
        array->clear();
        array->reserve(components.size());
    }
    for (const Component& c : components) {
        buffer.ItemID.push_back(std::to_string(c.ItemID));
        buffer.X.push_back(std::to_string(c.X));
        buffer.Y.push_back(std::to_string(c.Y));
        buffer.Z.push_back(std::to_string(c.Z));
        buffer.Flag.push_back(std::to_string(c.Flag));
    }
    buffer.ComponentCount = static_cast<std::int32_t>(components.size());
    buffer.MinX = bounds->MinX;
    buffer.MaxX = bounds->MaxX;
    buffer.MinY = bounds->MinY;
    buffer.MaxY = bounds->MaxY;
}

} // namespace mw
