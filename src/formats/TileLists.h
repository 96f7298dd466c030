#pragma once

#include "common/Progress.h"
#include "formats/ComponentBuffer.h"
#include "formats/TemplateText.h"

#include <cstdint>
#include <functional>
#include <string>

namespace mw {

class ComponentsList;

// The tile lists that other multi tools read and write, one component a line, coordinates as
// given (never centred):
//   CSV:  TileID,OffsetX,OffsetY,OffsetZ,Flag,Cliloc      (header, optional when read)
//         0x0675,0,-3,0,0x1,                               (cliloc empty or missing)
//   list: 0x675 0 -3 0 1                                   (no header)
// Item ids are hexadecimal with 0x, from 0 to FFFF; offsets decimal. Their flag means 1 =
// placed separately by the server, the opposite of ours; it is never read (flags come from the
// components list) and written swapped. We write CR LF; LF alone is read as well.

constexpr const char* InvalidTileListTitle = "Invalid Tile List File";
constexpr const char* TileCsvHeader = "TileID,OffsetX,OffsetY,OffsetZ,Flag,Cliloc";

// Readers in the manner of ReadComponentList: true on success; on failure false, the buffer
// cleared and its LastReadMessage naming the line. A file without a component is refused.
bool ReadTileCsv(ComponentBuffer& buffer, const ComponentsList& list, const std::string& path,
                 const Progress& progress = {});
bool ReadTileList(ComponentBuffer& buffer, const ComponentsList& list, const std::string& path,
                  const Progress& progress = {});

// Whole files of `count` components, each line from `line` (our stored flag, swapped here):
// the CSV with its header, ids as 0x%04X and flags as 0x%X; the list with ids as 0x%X and
// decimal flags.
std::string TileCsvText(std::int64_t count, const std::function<TemplateLine(std::int64_t)>& line,
                        const Progress& progress = {});
std::string TileListText(std::int64_t count, const std::function<TemplateLine(std::int64_t)>& line,
                         const Progress& progress = {});

} // namespace mw
