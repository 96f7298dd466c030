#pragma once

#include "common/Progress.h"
#include "formats/ComponentBuffer.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mw {

class ComponentsList;

// UO Architect's design files (*.uoa), little-endian:
//   i16 version: 1 holds one design; 2 an i16 count of designs, then that many
//   a design: name, category, subsection (strings); i32 width, height, user width, user height;
//             i32 tile count; per tile six i16: item id, x, y, z, level, hue
//   a string: one byte (0: no string, nothing follows), then its length in 7-bit groups, low
//             group first, high bit set while more follow, then that many UTF-8 bytes
// Item ids are 16-bit: a negative one is the id plus 65536. Coordinates are kept as the file
// gives them; level and hue have no place in the library and are dropped.

constexpr std::int16_t UoaSingleVersion = 1;
constexpr std::int16_t UoaBatchVersion = 2;
constexpr size_t UoaMostDesigns = 32767; // what the 16-bit count can say
// No design file comes near this; a larger input is refused before it takes up memory.
constexpr size_t UoaLargestFile = size_t{256} << 20;

constexpr const char* InvalidUoaTitle = "Invalid UO Architect Design File";

// One tile as the library keeps it.
struct UoaTile {
    std::uint16_t ItemID = 0;
    std::int16_t X = 0, Y = 0, Z = 0;
};

// One design; a string the file does not give is empty.
struct UoaDesign {
    std::string Name, Category, Subsection;
    std::vector<UoaTile> Tiles;
};

struct UoaFile {
    std::int16_t Version = UoaSingleVersion;
    std::vector<UoaDesign> Designs;
};

// The designs of a whole file, checked to its last byte. A RunError says what is damaged and
// where (truncation, a count larger than the file, a string past the end, a length that runs on,
// a name that is not UTF-8, a design without tiles, bytes after the last design); nothing is
// read outside the bytes.
UoaFile ParseUoaFile(std::string_view bytes);

// Reads the file (standard input too) whole and parses it; files over UoaLargestFile are refused.
UoaFile ReadUoaFile(const std::string& path, const Progress& progress = {});

// A file of the designs: version 1 needs exactly one design, version 2 takes up to
// UoaMostDesigns. Width and height are each design's extent, level and hue 0, every string
// written with the byte 1. A RunError when the designs do not fit the version.
std::string UoaFileBytes(const UoaFile& file);

// The design's tiles into the buffer as decimal texts, bounds tracked, flags from the list.
void DesignIntoBuffer(const UoaDesign& design, ComponentBuffer& buffer, const ComponentsList& list);

// The reader for a single design, in the manner of ReadComponentList: a version 1 file, or a
// version 2 file whose count is 1. A batch of more is refused, saying so.
bool ReadUoaDesign(ComponentBuffer& buffer, const ComponentsList& list, const std::string& path,
                   const Progress& progress = {});
// The same, giving the design's name, category and subsection in `labels` (its tiles empty).
bool ReadUoaDesign(ComponentBuffer& buffer, const ComponentsList& list, const std::string& path,
                   UoaDesign& labels, const Progress& progress = {});

} // namespace mw
