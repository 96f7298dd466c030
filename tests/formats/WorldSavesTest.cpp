#include "TestLibrary.h"

#include "formats/ComponentsList.h"
#include "formats/TemplateText.h"
#include "formats/WorldSaves.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

using Strings = std::vector<std::string>;

// A Sphere export record: the four data lines, then ten lines that the reader never looks at.
std::string SphereRecord(const std::string& id, const std::string& x, const std::string& y,
                         const std::string& z = "0") {
    std::string record = "ID " + id + "\nX " + x + "\nY " + y + "\nZ " + z + "\n";
    for (int i = 0; i < 10; ++i)
        record += "MORE" + std::to_string(i) + " " + std::to_string(i) + "\n";
    return record;
}

const std::string SphereHeader = "SECTION WORLDITEM\n;\n;\n;\n";

class WorldSavesTest : public ::testing::Test {
protected:
    bool ReadSphere(const std::string& contents) {
        return ReadSphereExportWsc(buffer, list, folder.Write("export.wsc", contents));
    }
    bool ReadUox3(const std::string& contents) {
        return ReadUox3Wsc(buffer, list, folder.Write("items.wsc", contents));
    }
    // A filled buffer before each refusal shows whether the refusal clears it.
    void FillBuffer() { ASSERT_TRUE(ReadSphere(SphereHeader + SphereRecord("5", "1", "1"))); }

    test::TempFolder folder;
    ComponentsList list;
    ComponentBuffer buffer;
};

// Items are centred on their bounding box. In the UOX3 sample an item starts only at the ID key:
// X from 1500 to 1503 centres on 1502 (1501.5 rounded to even), Y on 1602; no Z line gives "0",
// SIZE after a Y line being no Z line, "z" one. Line ends are the line reader's: its test reads
// both kinds.
TEST_F(WorldSavesTest, TheSamplesAreCentredOnTheirBoundingBox) {
    ASSERT_TRUE(ReadSphere(test::ReadFile(test::DataFile("sphere-export.wsc"))))
        << buffer.LastReadMessage.Text;
    EXPECT_EQ(test::Rows(buffer), (Strings{"1187 -1 -2 0 1", "1188 0 -2 5 1", "41644 1 2 -3 1"}));
    EXPECT_EQ(std::tuple(buffer.MinX, buffer.MaxX, buffer.MinY, buffer.MaxY),
              std::tuple(-1, 1, -2, 2));
    ASSERT_TRUE(ReadUox3(test::ReadFile(test::DataFile("uox3-items.wsc"))));
    EXPECT_EQ(test::Rows(buffer), (Strings{"1187 -2 -2 10 1", "1188 0 -2 0 1", "41644 1 3 -3 1",
                                           "1190 -2 2 0 1", "1191 -1 -1 7 1"}));
}

// Records follow at a stride of fourteen lines, whatever their keys, and the last one may end
// anywhere after its Z line. Both world readers share the step that applies the list. The
// centre 2.5 rounds to even, down to 2 (the UOX3 sample has one that rounds up).
TEST_F(WorldSavesTest, SphereExportRecordsFollowAtAStrideOfFourteenLines) {
    ASSERT_TRUE(ReadSphere(SphereHeader));
    EXPECT_EQ(buffer.ComponentCount, 0); // the header alone is a file without items
    list.Add("04A3");
    for (const char* after : {"", "A 0\n", "A 0\nB 0\n"}) {
        ASSERT_TRUE(ReadSphere(SphereHeader + SphereRecord("1187", "0", "0") +
                               "COLOR 2\nX 5\nY 4\nZ 9\n" + after));
        EXPECT_EQ(test::Rows(buffer), (Strings{"1187 -2 -2 0 0", "2 3 2 9 1"}));
    }
}

// Files of either reader refused, saying why: other files before anything is read, with the
// buffer untouched (kept); cut-short files and bad values with the buffer cleared.
TEST_F(WorldSavesTest, BadFilesAreRefusedNamingTheLine) {
    const std::string one = SphereRecord("1", "0", "0");
    // Sphere's reader or UOX3's, the file, the message's title and what it says, and whether the
    // buffer is kept.
    const std::tuple<bool, std::string, const char*, const char*, bool> cases[] = {
        {true, "SECTION WORLDCHAR\n" + one, InvalidWscTitle, "", true},
        {true, SphereHeader + one + "ID 2\nX 4\nY 4\n", InvalidWscTitle, "", false}, // no Z
        {true, SphereHeader + SphereRecord("1", "east", "0"), ReadErrorTitle,
         "line 6, x: Type mismatch", false},
        {true, SphereHeader + SphereRecord("65536", "0", "0"), ReadErrorTitle,
         "line 5, item id: Overflow", false},
        {true, SphereHeader + SphereRecord("1", "0", "0", "-32769"), ReadErrorTitle,
         "line 8, z: Overflow", false},
        // No line whose key is "ID": not inside a longer key, in lower case or indented.
        {false, "HIDDEN 1\nSERIALID 5\nHIDAMAGE 3\nid 4\n ID 4\n", InvalidWscTitle, "", false},
        {false, "ID 1\nX 4\nY 6\nID 2\nX 1\n", InvalidWscTitle, "", false}, // the second cut short
        {false, "ID 1\nX 4\nY 6\nZ\n", ReadErrorTitle, "line 4 has no value", false},
    };
    for (const auto& [sphere, contents, title, says, kept] : cases) {
        FillBuffer();
        EXPECT_FALSE(sphere ? ReadSphere(contents) : ReadUox3(contents)) << contents;
        EXPECT_FALSE(buffer.LastReadOK);
        EXPECT_EQ(buffer.LastReadMessage.Title, title) << contents;
        EXPECT_NE(buffer.LastReadMessage.Text.find(says), std::string::npos)
            << buffer.LastReadMessage.Text;
        EXPECT_EQ(buffer.ComponentCount, kept ? 1 : 0) << contents;
        EXPECT_EQ(buffer.ItemID, (kept ? Strings{"5", ""} : Strings{""})) << contents;
    }
}

// Values are whole decimal numbers in both readers; anything else is refused naming the line and
// the field rather than rounded to another item or place.
TEST_F(WorldSavesTest, NumbersAreWholeAndRefusalsNameTheLineAndField) {
    ASSERT_TRUE(ReadSphere(SphereHeader + SphereRecord("+1187", "-0", "007", "-3")));
    EXPECT_EQ(buffer.ComponentCount, 1);
    const std::pair<std::string, const char*> sphere[] = {
        {SphereRecord("1187.7", "0", "0"), "line 5, item id: Type mismatch"},
        {SphereRecord("1", "1e3", "0"), "line 6, x: Type mismatch"},
        {SphereRecord("1", "0", "0x10"), "line 7, y: Type mismatch"},
        {SphereRecord("1", "0", "0", "1,5"), "line 8, z: Type mismatch"},
    };
    const std::pair<std::string, const char*> uox3[] = {
        {"ID 1\nX 1.5\nY 0\n", "line 2, x: Type mismatch"},
        {"ID 1\nX 0\nY 0\nZ 2.0\n", "line 4, z: Type mismatch"},
        {"ID 0x4A3\nX 0\nY 0\n", "line 1, item id: Type mismatch"},
    };
    for (const auto& [record, says] : sphere) {
        EXPECT_FALSE(ReadSphere(SphereHeader + record));
        EXPECT_NE(buffer.LastReadMessage.Text.find(says), std::string::npos)
            << buffer.LastReadMessage.Text;
    }
    for (const auto& [contents, says] : uox3) {
        EXPECT_FALSE(ReadUox3(contents));
        EXPECT_NE(buffer.LastReadMessage.Text.find(says), std::string::npos)
            << buffer.LastReadMessage.Text;
    }
}

// A cancelled read clears the buffer and leaves no message to show.
TEST_F(WorldSavesTest, CancelStopsWithoutAMessage) {
    std::string big = SphereHeader;
    for (int i = 0; i < 100; ++i) // enough lines for a progress call
        big += SphereRecord("1", "0", "0");
    FillBuffer();
    auto cancel = [](auto, auto) { return false; };
    EXPECT_FALSE(ReadSphereExportWsc(buffer, list, folder.Write("big.wsc", big), cancel));
    EXPECT_TRUE(buffer.LastReadMessage.Title.empty());
    EXPECT_EQ(buffer.ItemID, Strings{""});
}

// Every prefix and many damaged copies of the samples of the three text readers: each read
// either succeeds with a consistent buffer or fails with a message; none reads past its input.
TEST_F(WorldSavesTest, TextReadersNeverCrashOnTruncatedOrDamagedFiles) {
    using Reader =
        bool (*)(ComponentBuffer&, const ComponentsList&, const std::string&, const Progress&);
    // Every reader keeps the buffer's spare entry behind the components.
    const std::pair<const char*, Reader> samples[] = {{"sphere-export.wsc", ReadSphereExportWsc},
                                                      {"uox3-items.wsc", ReadUox3Wsc},
                                                      {"extract-crlf.txt", ReadComponentList}};
    for (const auto& [name, read] : samples) {
        std::string good = test::ReadFile(test::DataFile(name));
        auto check = [&](const std::string& contents) {
            if (read(buffer, list, folder.Write("damaged", contents), {})) {
                EXPECT_EQ(buffer.ItemID.size(), static_cast<size_t>(buffer.ComponentCount) + 1);
                EXPECT_TRUE(buffer.LastReadMessage.Title.empty());
            } else {
                EXPECT_FALSE(buffer.LastReadMessage.Title.empty()) << contents;
            }
        };
        for (size_t length = 0; length <= good.size(); ++length)
            check(good.substr(0, length));
        for (size_t at = 0; at < good.size(); ++at)
            for (char replacement : {'\0', ' ', '\n', '9', '-', 'Z'}) {
                std::string damaged = good;
                damaged[at] = replacement;
                check(damaged);
            }
    }
}

} // namespace
} // namespace mw
