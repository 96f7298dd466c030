#include "TestLibrary.h"

#include "formats/ComponentsList.h"
#include "formats/TemplateText.h"
#include "formats/WorldSaves.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

using Strings = std::vector<std::string>;

std::string WithCrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

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
    void ExpectRefused(bool read, const char* title, const std::string& contents) {
        EXPECT_FALSE(read) << contents;
        EXPECT_FALSE(buffer.LastReadOK);
        EXPECT_EQ(buffer.LastReadMessage.Title, title) << contents;
        if (title == std::string(InvalidWscTitle)) {
            EXPECT_EQ(buffer.LastReadMessage.Text, InvalidWscText);
        }
        EXPECT_EQ(buffer.ComponentCount, 0) << contents;
        EXPECT_EQ(buffer.ItemID, Strings{""}) << contents; // cleared, nothing half read
    }
    // A filled buffer before each refusal shows that the refusal clears it.
    void FillBuffer() { ASSERT_TRUE(ReadSphere(SphereHeader + SphereRecord("5", "1", "1"))); }

    test::TempFolder folder;
    ComponentsList list;
    ComponentBuffer buffer;
};

TEST_F(WorldSavesTest, SphereExportItemsAreCentredOnTheirBoundingBox) {
    std::string sample = test::ReadFile(test::DataFile("sphere-export.wsc"));
    for (const std::string& contents : {sample, sample.substr(0, sample.size() - 2)}) {
        ASSERT_TRUE(ReadSphere(contents)) << buffer.LastReadMessage.Text;
        EXPECT_TRUE(buffer.LastReadOK);
        EXPECT_EQ(buffer.ComponentCount, 3);
        EXPECT_EQ(buffer.ItemID, (Strings{"1187", "1188", "41644", ""})); // one spare entry
        EXPECT_EQ(buffer.X, (Strings{"-1", "0", "1", ""}));
        EXPECT_EQ(buffer.Y, (Strings{"-2", "-2", "2", ""}));
        EXPECT_EQ(buffer.Z, (Strings{"0", "5", "-3", ""}));
        EXPECT_EQ(buffer.Flag, (Strings{"1", "1", "1", ""}));
        EXPECT_EQ(std::tuple(buffer.MinX, buffer.MaxX, buffer.MinY, buffer.MaxY),
                  std::tuple(-1, 1, -2, 2));
    }
    std::string lf = sample;
    std::erase(lf, '\r');
    ASSERT_TRUE(ReadSphere(lf));
    EXPECT_EQ(buffer.Z, (Strings{"0", "5", "-3", ""}));
}

TEST_F(WorldSavesTest, SphereExportTakesTheValuesWhateverTheKeys) {
    std::string record = SphereRecord("1187", "10", "20", "3");
    record.replace(0, 2, "COLOR");
    ASSERT_TRUE(ReadSphere(SphereHeader + record));
    EXPECT_EQ(buffer.ItemID[0], "1187");
    list.Add("04A3");
    ASSERT_TRUE(ReadSphere(SphereHeader + record + SphereRecord("1188", "0", "0")));
    EXPECT_EQ(buffer.Flag, (Strings{"0", "1", ""}));
}

TEST_F(WorldSavesTest, SphereExportRecordsFollowAtAStrideOfFourteenLines) {
    const std::string full = SphereHeader + SphereRecord("1", "0", "0");
    ASSERT_TRUE(ReadSphere(SphereHeader));
    EXPECT_EQ(buffer.ComponentCount, 0); // the header alone is a file without items
    const Strings further = {"ID 2", "X 4", "Y 4", "Z 9", "A 0", "B 0"};
    for (size_t n = 1; n <= further.size(); ++n) {
        std::string extra;
        for (size_t i = 0; i < n; ++i)
            extra += further[i] + "\n";
        FillBuffer();
        bool read = ReadSphere(full + extra);
        if (n < 4) {
            ExpectRefused(read, InvalidWscTitle, extra);
        } else {
            ASSERT_TRUE(read) << extra;
            EXPECT_EQ(buffer.ComponentCount, 2);
            EXPECT_EQ(buffer.ItemID, (Strings{"1", "2", ""}));
            EXPECT_EQ(buffer.Z, (Strings{"0", "9", ""}));
        }
    }
}

TEST_F(WorldSavesTest, SphereExportRefusesOtherFilesAndKeepsTheBuffer) {
    FillBuffer();
    for (const auto& contents : Strings{"", "section worlditem\n;\n;\n;\n",
                                        "SECTION WORLDCHAR\n" + SphereRecord("1", "0", "0")}) {
        EXPECT_FALSE(ReadSphere(contents));
        EXPECT_EQ(buffer.LastReadMessage.Title, InvalidWscTitle);
        EXPECT_EQ(buffer.ItemID, (Strings{"5", ""})) << "line 1 refused: buffer untouched";
    }
    for (const auto& contents : Strings{"SECTION WORLDITEM\n", "[SECTION WORLDITEM]\n;\n;"}) {
        FillBuffer();
        ExpectRefused(ReadSphere(contents), InvalidWscTitle, contents);
    }
}

TEST_F(WorldSavesTest, BadValuesAreRefusedNamingTheLine) {
    struct Case {
        std::string record;
        std::string says;
    };
    const std::vector<Case> cases = {
        {SphereRecord("1", "0", "0").replace(0, 4, "ID"), "line 5 has no value"},
        {SphereRecord("1", "east", "0"), "line 6: Type mismatch"},
        {SphereRecord("1", "0", ""), "line 7: Type mismatch"},
        {SphereRecord("1", "0", "1e12"), "line 7: Overflow"},
        {SphereRecord("65536", "0", "0"), "line 5: Overflow"},
        {SphereRecord("door", "0", "0"), "line 5: Type mismatch"},
        {SphereRecord("1", "0", "0").replace(9, 4, "Y\n"), "line 7 has no value"},
        {SphereRecord("1", "0", "0", "any"), "line 8: Type mismatch"},
        {SphereRecord("1", "32768", "0"), "line 6: Overflow"},
        {SphereRecord("1", "0", "0", "-32769"), "line 8: Overflow"},
    };
    for (const auto& c : cases) {
        FillBuffer();
        ExpectRefused(ReadSphere(SphereHeader + c.record), ReadErrorTitle, c.record);
        EXPECT_NE(buffer.LastReadMessage.Text.find(c.says), std::string::npos)
            << buffer.LastReadMessage.Text;
    }
    ASSERT_TRUE(ReadSphere(SphereHeader + SphereRecord("-32768", "-32768", "0", "+12")));
    EXPECT_EQ(buffer.Z[0], "+12"); // Z is kept as the file gave it

    EXPECT_FALSE(ReadUox3Wsc(buffer, list, folder.File("missing.wsc")));
    EXPECT_EQ(buffer.LastReadMessage.Title, ReadErrorTitle);
    EXPECT_EQ(buffer.LastReadMessage.Text.rfind("53 ", 0), 0u) << buffer.LastReadMessage.Text;
}

TEST_F(WorldSavesTest, Uox3ItemsStartOnlyAtTheIdKey) {
    std::string sample = test::ReadFile(test::DataFile("uox3-items.wsc"));
    for (const std::string& contents : {sample, WithCrLf(sample)}) {
        ASSERT_TRUE(ReadUox3(contents)) << buffer.LastReadMessage.Text;
        EXPECT_EQ(buffer.ComponentCount, 5);
        EXPECT_EQ(buffer.ItemID, (Strings{"1187", "1188", "41644", "1190", "1191", ""}));
        // X from 1500 to 1503 centres on 1502 (1501.5 rounded to even), Y on 1602.
        EXPECT_EQ(buffer.X, (Strings{"-2", "0", "1", "-2", "-1", ""}));
        EXPECT_EQ(buffer.Y, (Strings{"-2", "-2", "3", "2", "-1", ""}));
        // No Z line gives "0": SIZE after a Y line is not a Z line; "z" is.
        EXPECT_EQ(buffer.Z, (Strings{"10", "0", "-3", "0", "7", ""}));
        EXPECT_EQ(buffer.Flag, (Strings{"1", "1", "1", "1", "1", ""}));
    }
}

TEST_F(WorldSavesTest, Uox3RecordsEndingTheFile) {
    ASSERT_TRUE(ReadUox3("ID 1\nX 4\nY 6"));
    EXPECT_EQ(buffer.Z, (Strings{"0", ""}));
    ASSERT_TRUE(ReadUox3("ID 1\nX 4\nY 6\nZ 2\n"));
    EXPECT_EQ(buffer.Z, (Strings{"2", ""}));
    const std::vector<std::pair<std::string, const char*>> refused = {
        {"", InvalidWscTitle},
        {"HIDDEN 1\nSERIALID 5\nHIDAMAGE 3\nid 4\n ID 4\n", InvalidWscTitle}, // no item key
        {"ID 1\nX 4\n", InvalidWscTitle},                                     // cut short
        {"ID 1\nX 4\nY 6\nID 2\nX 1\n", InvalidWscTitle},                     // the second item too
        {"ID 1\nX 4\nY 6\nZ\n", ReadErrorTitle},                              // Z without a value
        {"ID\nX 4\nY 6\n", ReadErrorTitle},                                   // ID without a value
    };
    for (const auto& [contents, title] : refused) {
        FillBuffer();
        ExpectRefused(ReadUox3(contents), title, contents);
    }
}

TEST_F(WorldSavesTest, CancelStopsWithoutAMessage) {
    std::string big = SphereHeader;
    for (int i = 0; i < 2000; ++i)
        big += SphereRecord(std::to_string(i), std::to_string(i), "0");
    std::string path = folder.Write("big.wsc", big);
    int calls = 0;
    Progress cancel = [&](std::int64_t, std::int64_t) {
        ++calls;
        return false;
    };
    FillBuffer();
    EXPECT_FALSE(ReadSphereExportWsc(buffer, list, path, cancel));
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(buffer.LastReadMessage.Title.empty());
    EXPECT_EQ(buffer.ItemID, Strings{""});
    EXPECT_TRUE(ReadSphereExportWsc(buffer, list, path, [](auto, auto) { return true; }));
    EXPECT_EQ(buffer.ComponentCount, 2000);
}

// Every prefix and many damaged copies of the samples: each read either succeeds with a
// consistent buffer or fails with a message and an empty one; none reads past its input.
TEST_F(WorldSavesTest, ReadersNeverCrashOnTruncatedOrDamagedFiles) {
    using Reader =
        bool (*)(ComponentBuffer&, const ComponentsList&, const std::string&, const Progress&);
    const std::vector<std::pair<std::string, Reader>> samples = {
        {"sphere-export.wsc", ReadSphereExportWsc}, {"uox3-items.wsc", ReadUox3Wsc}};
    for (const auto& [name, read] : samples) {
        std::string good = test::ReadFile(test::DataFile(name));
        auto check = [&](const std::string& contents) {
            if (read(buffer, list, folder.Write("damaged.wsc", contents), {})) {
                EXPECT_EQ(buffer.ItemID.size(), static_cast<size_t>(buffer.ComponentCount) + 1);
                EXPECT_TRUE(buffer.LastReadMessage.Title.empty());
            } else {
                EXPECT_FALSE(buffer.LastReadMessage.Title.empty()) << contents;
            }
        };
        for (size_t length = 0; length <= good.size(); ++length)
            check(good.substr(0, length));
        for (size_t at = 0; at < good.size(); ++at)
            for (char replacement : {' ', '\n', 'Z'}) {
                std::string damaged = good;
                damaged[at] = replacement;
                check(damaged);
            }
    }
}

} // namespace
} // namespace mw
