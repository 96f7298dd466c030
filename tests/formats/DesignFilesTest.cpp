#include "Refusals.h"

#include "common/LittleEndian.h"
#include "formats/ComponentsList.h"
#include "formats/TileLists.h"
#include "formats/UoaDesigns.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

using Strings = std::vector<std::string>;
using ImportReader = bool (*)(ComponentBuffer&, const ComponentsList&, const std::string&,
                              const Progress&);

// Each design of a file as "name|category|subsection", then its tiles as ", item x y z" each.
Strings Designs(const UoaFile& file) {
    Strings designs;
    for (const UoaDesign& d : file.Designs) {
        designs.push_back(d.Name + "|" + d.Category + "|" + d.Subsection);
        for (const UoaTile& t : d.Tiles)
            designs.back() += ", " + std::to_string(t.ItemID) + " " + std::to_string(t.X) + " " +
                              std::to_string(t.Y) + " " + std::to_string(t.Z);
    }
    return designs;
}

// The tower of the samples as every reader gives it: 0xA2AC (negative in the .uoa) as 41644,
// coordinates as written, and the two listed ids flagged 0.
const Strings Tower = {"1124 0 0 0 1", "41644 -1 2 5 0", "1187 1 -2 20 0", "1125 -1 -2 -3 1"};

ComponentsList SampleList() {
    ComponentsList list;
    LoadComponentsList(list, test::DataFile("components-sample.txt"));
    return list;
}

TEST(DesignFilesTest, SamplesReadAsWrittenLevelAndHueDropped) {
    UoaFile batch = ReadUoaFile(test::DataFile("designs-batch.uoa"));
    EXPECT_EQ(batch.Version, UoaBatchVersion);
    ASSERT_EQ(batch.Designs.size(), 5u);
    EXPECT_EQ(batch.Designs[1].Name.size(), 154u); // a length of two 7-bit groups
    EXPECT_EQ(batch.Designs[1].Name.substr(0, 11), "Gro\xC3\x9F"
                                                   "e Burg");
    EXPECT_EQ(Designs(batch)[2], "Bob's \"Inn\"|Houses|Large, 65535 -32768 32767 -128");
    EXPECT_EQ(batch.Designs[3].Category + batch.Designs[3].Subsection, ""); // no strings

    const ComponentsList list = SampleList();
    const std::pair<ImportReader, const char*> readers[] = {
        {ReadUoaDesign, "design-tower.uoa"},
        {ReadTileCsv, "tiles.csv"},
        {ReadTileCsv, "tiles-no-header.csv"}, // LF, blank line, spaces, missing cliloc
        {ReadTileList, "tiles.txt"},
    };
    for (const auto& [read, name] : readers) {
        ComponentBuffer buffer;
        ASSERT_TRUE(read(buffer, list, test::DataFile(name), {})) << name;
        EXPECT_EQ(test::Rows(buffer), Tower) << name;
        EXPECT_EQ(std::tuple(buffer.MinX, buffer.MaxX, buffer.MinY, buffer.MaxY),
                  std::tuple(-1, 1, -2, 2));
    }
}

// What we write reads back the same; the extent is the tiles', level and hue 0, every string
// flagged 1 even when empty.
TEST(DesignFilesTest, WrittenDesignsReadBack) {
    UoaFile tower = ReadUoaFile(test::DataFile("design-tower.uoa"));
    std::string bytes = UoaFileBytes(tower);
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x01\x00\x01\x0B", 4));
    const size_t extent = 2 + 13 + 8 + 7;
    EXPECT_EQ(Get32(BytesAt(bytes, extent)), 3u);               // x from -1 to 1
    EXPECT_EQ(Get32(BytesAt(bytes, extent + 4)), 5u);           // y from -2 to 2
    EXPECT_EQ(Get16(BytesAt(bytes, extent + 20 + 12 + 8)), 0u); // the second tile's level
    EXPECT_EQ(Designs(ParseUoaFile(bytes)), Designs(tower));
    UoaFile batch = ReadUoaFile(test::DataFile("designs-batch.uoa"));
    EXPECT_EQ(Designs(ParseUoaFile(UoaFileBytes(batch))), Designs(batch));
    tower.Designs[0].Name = "Caf\xE9"; // Latin-1 from an old library
    EXPECT_EQ(ParseUoaFile(UoaFileBytes(tower)).Designs[0].Name, "Caf\xC3\xA9");
    EXPECT_NE(test::FailureNumber([&] { UoaFileBytes({UoaSingleVersion, batch.Designs}); }), 0);
    batch.Designs.resize(UoaMostDesigns + 1, tower.Designs[0]);
    EXPECT_NE(test::FailureNumber([&] { UoaFileBytes(batch); }), 0);
}

// Damage anywhere is refused with a message, never read past: every cut of a batch, and each
// kind of damage by itself.
TEST(DesignFilesTest, DamagedDesignFilesAreRefused) {
    const std::string batch = test::ReadFile(test::DataFile("designs-batch.uoa"));
    for (size_t cut = 0; cut < batch.size(); ++cut)
        test::ExpectRefused([&] { ParseUoaFile(batch.substr(0, cut)); }, err::InputPastEndOfFile);
    const std::string tile(12, '\0'), extent(16, '\0'), noStrings(3, '\0'), two(2, '\0');
    auto one = [&](const std::string& design) { return std::string("\x01\x00", 2) + design; };
    const std::vector<std::pair<std::string, const char*>> cases = {
        {test::ReadFile(test::DataFile("design-truncated.uoa")), "larger than the rest"},
        {test::ReadFile(test::DataFile("designs-count-too-large.uoa")), "count 5000 is larger"},
        {test::ReadFile(test::DataFile("design-string-past-end.uoa")), "past the end"},
        {test::ReadFile(test::DataFile("design-length-runs-on.uoa")), "runs on"},
        {std::string("\x03\x00", 2), "version is 3"},
        {std::string("\x02\x00\x00\x00", 4), "holds no design"},
        {std::string("\x02\x00\xFF\xFF", 4), "holds no design"},
        {one(noStrings + extent + std::string(4, '\0')), "below 1"},
        {one(noStrings + extent + std::string("\xFF\xFF\xFF\xFF", 4)), "below 1"},
        {one(noStrings + extent + std::string("\xFF\xFF\xFF\x7F", 4) + tile), "larger than"},
        {one(std::string("\x01\x02\xC3\x28", 4) + two + extent), "not UTF-8"},
        {one(std::string("\x01\x01\0", 3) + two + extent), "not UTF-8"},
        {one(noStrings + extent + std::string("\x01\0\0\0", 4) + tile + "x"), "follows the last"},
    };
    for (const auto& [bytes, why] : cases) {
        auto failure = test::FailureOf([&] { ParseUoaFile(bytes); });
        ASSERT_TRUE(failure) << why;
        EXPECT_NE(failure->Description.find(why), std::string::npos) << failure->Description;
    }
    ComponentBuffer buffer;
    EXPECT_FALSE(ReadUoaDesign(buffer, {}, test::DataFile("designs-batch.uoa")));
    EXPECT_NE(buffer.LastReadMessage.Text.find("import it as a batch"), std::string::npos);
    EXPECT_EQ(buffer.ComponentCount, 0);
}

TEST(DesignFilesTest, BadTileListsAreRefusedNamingTheLine) {
    test::TempFolder folder;
    const std::vector<std::tuple<ImportReader, std::string, const char*>> cases = {
        {ReadTileCsv, test::ReadFile(test::DataFile("tiles-bad-id.csv")), "line 3: the item id"},
        {ReadTileList, test::ReadFile(test::DataFile("tiles-short-line.txt")), "line 2: a comp"},
        {ReadTileCsv, "0x1,0,0,0,0x0,,extra\n", "has 7 field(s)"},
        {ReadTileCsv, "675,0,0,0,0x0\n", "the item id \"675\""},
        {ReadTileCsv, "0x,0,0,0,0x0\n", "the item id \"0x\""},
        {ReadTileCsv, "0x1,40000,0,0,0x0\n", "line 1, x: Overflow"},
        {ReadTileCsv, "0x1,a,0,0,0x0\n", "line 1, x: Type mismatch"},
        {ReadTileCsv, std::string(TileCsvHeader) + "\r\n\r\n", "no component"},
        {ReadTileList, "", "no component"},
        {ReadTileList, "0x1 0 0 0 0\nTileID 0 0 0 0\n", "line 2: the item id"},
    };
    for (const auto& [read, contents, why] : cases) {
        ComponentBuffer buffer;
        ASSERT_TRUE(ReadTileList(buffer, {}, test::DataFile("tiles.txt"), {}));
        EXPECT_FALSE(read(buffer, {}, folder.Write("tiles", contents), {})) << why;
        EXPECT_EQ(buffer.LastReadMessage.Title, InvalidTileListTitle);
        EXPECT_NE(buffer.LastReadMessage.Text.find(why), std::string::npos)
            << buffer.LastReadMessage.Text;
        EXPECT_EQ(buffer.ComponentCount, 0);
    }
}

// Offsets are whole decimal numbers and ids 0x and hexadecimal digits, in both lists; anything
// else is refused naming the line and the field rather than rounded or read in another base.
TEST(DesignFilesTest, TileListNumbersAreWholeAndRefusalsNameTheLineAndField) {
    test::TempFolder folder;
    ComponentBuffer buffer;
    ASSERT_TRUE(ReadTileCsv(buffer, {}, folder.Write("tiles", " 0X04a3 ,+1,-0,007,0x1,\n"), {}));
    EXPECT_EQ(test::Rows(buffer), Strings{"1187 1 0 7 1"});
    const std::vector<std::tuple<ImportReader, std::string, const char*>> cases = {
        {ReadTileCsv, "0x1,1.5,0,0,0x0\n", "line 1, x: Type mismatch"},
        {ReadTileCsv, "0x1,0,1e3,0,0x0\n", "line 1, y: Type mismatch"},
        {ReadTileCsv, "0x1,0,0,0x10,0x0\n", "line 1, z: Type mismatch"},
        {ReadTileCsv, "0x04 A3,0,0,0,0x0\n", "line 1: the item id"},
        {ReadTileCsv, "0x1,0,0,0,0x0\n0x1.0,0,0,0,0x0\n", "line 2: the item id"},
        {ReadTileList, "0x1 1,5 0 0 0\n", "line 1, x: Type mismatch"},
        {ReadTileList, "0x1 0 0 2.0 0\n", "line 1, z: Type mismatch"},
        {ReadTileList, "0x1 0 0 99999 0\n", "line 1, z: Overflow"},
    };
    for (const auto& [read, contents, says] : cases) {
        EXPECT_FALSE(read(buffer, {}, folder.Write("tiles", contents), {})) << contents;
        EXPECT_NE(buffer.LastReadMessage.Text.find(says), std::string::npos)
            << buffer.LastReadMessage.Text;
    }
}

// The other tools' flag is our stored one swapped; ids are their 16 bits, old negative ones too.
TEST(DesignFilesTest, TileListsWriteTheirFlagAndSixteenBitIds) {
    const std::vector<TemplateLine> lines = {
        {1124, 0, -3, 0, 1}, {-23892, 1, 2, 5, 0}, {41644, 0, 0, 0, 7}};
    auto line = [&](std::int64_t i) { return lines[static_cast<size_t>(i)]; };
    EXPECT_EQ(TileCsvText(3, line), std::string(TileCsvHeader) +
                                        "\r\n0x0464,0,-3,0,0x0,\r\n0xA2AC,1,2,5,0x1,\r\n"
                                        "0xA2AC,0,0,0,0x7,\r\n");
    EXPECT_EQ(TileListText(3, line), "0x464 0 -3 0 0\r\n0xA2AC 1 2 5 1\r\n0xA2AC 0 0 0 7\r\n");
    EXPECT_NE(
        test::FailureNumber([] { TileListText(1, [](auto) { return TemplateLine{70000}; }); }), 0);
}

} // namespace
} // namespace mw
