#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mw {

// tiledata.mul, little-endian: 512 land groups (u32 header and 32 records of 26 bytes, 30 in the
// newer layout with 64-bit flags), then static groups (u32 header and 32 records of 37 bytes, 41
// in the newer layout) to the end of the file. A static record:
//   flags (u32, or u64 in the newer layout), u8 weight, u8 quality, i16 misc, u8 unknown,
//   u8 quantity, i16 animation, u8 unknown, u8 hue, u8 stacking offset, u8 value, u8 height,
//   char[20] name (zero-padded).
// The layout is told by the size: a file that only one layout fits whole is that one; one that
// both fit is the newer when it is at least NewerTileDataMinimum bytes; one that neither fits
// is refused.

constexpr std::uint64_t TileBackground = 0x1;
constexpr std::uint64_t NewerTileDataMinimum = 3188736;

struct StaticTile {
    std::uint64_t Flags = 0;
    std::uint8_t Height = 0;
    std::string Name;
};

class TileData {
public:
    // Refuses with err::TileDataInvalid a file of no known layout; a missing file with the file
    // error.
    static TileData Read(const std::string& path);
    static TileData Parse(std::string_view bytes, const std::string& path);

    bool NewerLayout() const { return newer_; }
    size_t StaticCount() const { return statics_.size(); }
    // The item's record; null beyond the file.
    const StaticTile* Static(std::uint16_t itemId) const;

private:
    bool newer_ = false;
    std::vector<StaticTile> statics_;
};

} // namespace mw
