#pragma once

// Client art files written by the tests themselves: art records from images, artidx.mul /
// art.mul, artLegacyMUL.uop and tiledata.mul, in the layouts the program reads.

#include "formats/ArgbImage.h"
#include "formats/TileData.h"

#include <cstdint>
#include <map>
#include <string>

namespace mw::test {

// A static art record of the image: opaque pixels as RGB555 runs, transparent ones skipped. The
// colours are taken to the nearest of 5 bits a channel ((v * 31 + 127) / 255), so a colour that
// Rgb555ToArgb gave comes back exactly; opaque black is stored as 0x8000 and so stays opaque.
std::string EncodeStaticArt(const ArgbImage& image);

// An image of one colour, w x h, every pixel opaque.
ArgbImage SolidImage(int width, int height, std::uint32_t argb);

// Item id -> stored record (any bytes, so that damaged records can be written too).
using ArtRecords = std::map<std::uint16_t, std::string>;

// artidx.mul and art.mul in `folder`, with an entry for every item id up to the highest one given
// (the others empty).
void WriteMulArt(const std::string& folder, const ArtRecords& records);

// artLegacyMUL.uop with the records stored uncompressed, each with a header of a few bytes.
void WriteUopArt(const std::string& path, const ArtRecords& records);

// The bytes of a tiledata.mul of `staticCount` static records (a whole number of groups of 32),
// the older or the newer layout, with the given records set and every other one zero.
std::string TileDataBytes(const std::map<std::uint16_t, StaticTile>& statics, bool newerLayout,
                          size_t staticCount = 0x4000);

} // namespace mw::test
