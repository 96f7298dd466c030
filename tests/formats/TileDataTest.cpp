#include "ArtFilesBuilder.h"
#include "Refusals.h"

#include "common/RunError.h"
#include "formats/TileData.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace mw {
namespace {

TEST(TileData, BothLayoutsReadEveryField) {
    const std::map<std::uint16_t, StaticTile> statics{
        {0, {TileBackground | 0x80000000, 5, "ground"}},
        {0x1F, {0, 255, "last of the first group"}}, // 23 bytes: the first 20 are kept
        {0x20, {0x0123456789ABCDEFu, 0, "caf\xE9"}}, // Latin-1, as it is
        {0x3FFF, {TileBackground, 1, ""}},
    };
    for (bool newer : {false, true}) {
        TileData tiles = TileData::Parse(test::TileDataBytes(statics, newer), "tiledata.mul");
        EXPECT_EQ(tiles.NewerLayout(), newer);
        ASSERT_EQ(tiles.StaticCount(), 0x4000u);
        for (const auto& [itemId, tile] : statics) {
            const StaticTile* read = tiles.Static(itemId);
            ASSERT_TRUE(read) << itemId;
            EXPECT_EQ(read->Flags, newer ? tile.Flags : tile.Flags & 0xFFFFFFFF) << itemId;
            EXPECT_EQ(read->Height, tile.Height) << itemId;
            EXPECT_EQ(read->Name, tile.Name.substr(0, 20)) << itemId;
        }
        EXPECT_EQ(tiles.Static(1)->Name, "");
        EXPECT_EQ(tiles.Static(1)->Flags | tiles.Static(1)->Height, 0u);
        EXPECT_EQ(tiles.Static(0x4000), nullptr);
    }
    // The name ends at its first zero byte, whatever follows it.
    std::string bytes = test::TileDataBytes({{3, {0, 0, "abc"}}}, false);
    bytes[428032 + 4 + 3 * 37 + 4 + 13 + 4] = 'Z';
    EXPECT_EQ(TileData::Parse(bytes, "t").Static(3)->Name, "abc");
}

// Layouts fit sizes of 428032 + k * 1188 (older) and 493568 + k * 1316 (newer); sizes that
// both fit come every 390852 bytes. Other sizes are refused.
TEST(TileData, TheSizeTellsTheLayoutOrTheRefusal) {
    const std::tuple<size_t, bool, size_t> fitting[] = {
        {428032, false, 0},       {428032 + 1188, false, 32},
        {493568, true, 0},        {601480, false, 4672}, // both fit, small
        {2946592, false, 67840},                         // both fit, below 3188736
        {3337444, true, 69152},                          // both fit, above
        {3188736, true, 0x10000},                        // the newer clients' own size
    };
    for (const auto& [size, newer, statics] : fitting) {
        TileData tiles = TileData::Parse(std::string(size, '\0'), "tiledata.mul");
        EXPECT_EQ(tiles.NewerLayout(), newer) << size;
        EXPECT_EQ(tiles.StaticCount(), statics) << size;
    }
    for (size_t size : {0, 428031, 428032 + 1187, 3188736 - 1, 3188736 + 1})
        test::ExpectRefused([&] { TileData::Parse(std::string(size, '\0'), "some/tiledata.mul"); },
                            err::TileDataInvalid,
                            {"\"some/tiledata.mul\"", std::to_string(size) + " bytes"});

    // Read from a file, which may be too large or missing.
    test::TempFolder folder;
    const std::string path =
        folder.Write("tiledata.mul", test::TileDataBytes({{7, {1, 2, "x"}}}, true, 64));
    TileData tiles = TileData::Read(path);
    EXPECT_TRUE(tiles.NewerLayout());
    EXPECT_EQ(tiles.Static(7)->Name, "x");
    std::filesystem::resize_file(path, 428032 + 1188 * 60000); // 71 MB, sparse: fits the older
    test::ExpectRefused([&] { TileData::Read(path); }, err::TileDataInvalid, {path});
    test::ExpectRefused([&] { TileData::Read(folder.File("none.mul")); }, err::FileNotFound);
}

} // namespace
} // namespace mw
