// tiledata.mul's reader on files built from the input. A real file is 1.6 to 3.2 MB, far beyond
// what a fuzzer mutates well, and its size alone chooses the layout; so the input describes a
// file instead of being one:
//   byte 0       bit 0: built in the newer layout; bit 1: bytes 3-4 change its size
//   bytes 1-2    number of static groups, modulo 2600 (up to 3.4 MB: past 3188736, where files
//                that both layouts fit turn newer)
//   bytes 3-4    i16 added to the size (a file cut short or with bytes left over)
//   bytes 5-6    the static record at which the rest of the input is written over the file
//   bytes 7-     record bytes (flags, fields, height, name)
// An accepted file fits the layout chosen, by the size rule, with a record for every item id
// below StaticCount() and none from there; the records read are the bytes at their place. A
// refused file fits neither layout, and the refusal is a TileDataInvalid naming the file.
#include "FuzzSupport.h"

#include "common/LittleEndian.h"
#include "common/RunError.h"
#include "formats/TileData.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace mw::fuzz {
namespace {

struct Layout {
    std::uint64_t Land, Group, Record, Flags;
    bool Fits(std::uint64_t size) const { return size >= Land && (size - Land) % Group == 0; }
};
constexpr Layout Older{512 * (4 + 32 * 26), 4 + 32 * 37, 37, 4};
constexpr Layout Newer{512 * (4 + 32 * 30), 4 + 32 * 41, 41, 8};

std::string FileOf(const std::uint8_t* data, size_t size, size_t& writtenRecord) {
    std::uint8_t head[7] = {};
    std::memcpy(head, data, std::min<size_t>(size, 7));
    const Layout& layout = head[0] & 1 ? Newer : Older;
    auto bytes = static_cast<std::int64_t>(layout.Land + Get16(head + 1) % 2600 * layout.Group);
    if (head[0] & 2) bytes = std::max<std::int64_t>(0, bytes + std::int16_t(Get16(head + 3)));
    std::string file(static_cast<size_t>(bytes), '\0');
    const size_t records =
        file.size() < layout.Land ? 0 : (file.size() - layout.Land) / layout.Group * 32;
    writtenRecord = records == 0 ? 0 : Get16(head + 5) % records;
    const size_t at =
        layout.Land + writtenRecord / 32 * layout.Group + 4 + writtenRecord % 32 * layout.Record;
    if (size > 7 && at < file.size()) {
        const size_t n = std::min(size - 7, file.size() - at);
        file.replace(at, n, reinterpret_cast<const char*>(data + 7), n);
    }
    return file;
}

// The record as the file holds it, read here on its own.
void CheckRecord(const TileData& tiles, const std::string& file, const Layout& layout,
                 size_t item) {
    const StaticTile* tile = tiles.Static(static_cast<std::uint16_t>(item));
    const unsigned char* in =
        BytesAt(file, layout.Land + item / 32 * layout.Group + 4 + item % 32 * layout.Record);
    Require(tile->Flags == (layout.Flags == 8 ? Get64(in) : Get32(in)), "flags are the file's");
    Require(tile->Height == in[layout.Flags + 12], "the height is the file's");
    const char* name = reinterpret_cast<const char*>(in + layout.Flags + 13);
    Require(tile->Name == std::string(name, strnlen(name, 20)),
            "the name is the file's up to its first zero byte");
}

} // namespace
} // namespace mw::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace mw;
    using namespace mw::fuzz;
    static const std::string path = "fuzz/tiledata.mul";
    size_t written = 0;
    const std::string file = FileOf(data, size, written);
    const bool older = Older.Fits(file.size()), newer = Newer.Fits(file.size());
    TileData tiles;
    try {
        tiles = TileData::Parse(file, path);
    } catch (const RunError& refused) {
        Require(refused.Number == err::TileDataInvalid, "a refusal is TileDataInvalid");
        Require(refused.Description.find(path) != std::string::npos, "a refusal names the file");
        Require(!older && !newer, "only a file that neither layout fits is refused");
        return 0;
    }
    Require(older || newer, "an accepted file fits a layout");
    Require(tiles.NewerLayout() == (newer && (!older || file.size() >= NewerTileDataMinimum)),
            "the layout is the one the size rule chooses");
    const Layout& layout = tiles.NewerLayout() ? Newer : Older;
    Require(tiles.StaticCount() == (file.size() - layout.Land) / layout.Group * 32,
            "every whole group is read");
    for (std::uint32_t item = 0; item <= 0xFFFF; ++item)
        Require((tiles.Static(static_cast<std::uint16_t>(item)) != nullptr) ==
                    (item < tiles.StaticCount()),
                "an item has a record exactly when the file holds one");
    if (tiles.StaticCount() == 0) return 0;
    for (size_t item : {size_t{0}, written, written + 1, tiles.StaticCount() - 1})
        if (item < std::min<size_t>(tiles.StaticCount(), 0x10000))
            CheckRecord(tiles, file, layout, item);
    return 0;
}
