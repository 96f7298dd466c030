#pragma once

#include "formats/ArgbImage.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace mw {

// A static item's art as art.mul (and artLegacyMUL.uop) stores it, little-endian:
//   u32 header (not used), u16 width, u16 height,
//   height u16 row offsets, in 16-bit words from the first byte after this table,
//   per row: runs of (u16 x offset from the end of the previous run, u16 run length, that many
//   u16 RGB555 pixels), ended by the run (0, 0).
// Pixels outside the runs are transparent, and so is the pixel value 0 inside a run.

constexpr std::uint32_t StaticArtFirstEntry = 0x4000; // index entry of item id 0
constexpr int MaxArtSide = 1024;

// RGB555 (red bits 10-14, green 5-9, blue 0-4) as an opaque ARGB pixel, each channel widened as
// floor(v * 255 / 31); 0 is transparent.
constexpr std::uint32_t Rgb555ToArgb(std::uint16_t pixel) {
    if (pixel == 0) return 0;
    auto widen = [](std::uint32_t v) { return v * 255 / 31; };
    return 0xFF000000u | widen((pixel >> 10) & 0x1F) << 16 | widen((pixel >> 5) & 0x1F) << 8 |
           widen(pixel & 0x1F);
}

// Decodes one record. Refuses with err::ArtInvalid, naming `where` (file and item), a record cut
// short, a row offset or a run outside the record or the image, or a side of 0 or above
// MaxArtSide; never reads outside the record.
ArgbImage DecodeStaticArt(std::string_view record, const std::string& where);

} // namespace mw
