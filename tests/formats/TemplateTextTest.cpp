#include "TestLibrary.h"

#include "common/RunError.h"
#include "formats/ComponentsList.h"
#include "formats/TemplateText.h"
#include "store/SaveNewTemplate.h"
#include "store/TemplateBlocks.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

using Strings = std::vector<std::string>;

const std::string Header = "6 version\r\n1 template id\r\n-1 item version\r\n";

class TemplateTextTest : public ::testing::Test {
protected:
    bool Read(const std::string& contents) {
        return ReadComponentList(buffer, list, folder.Write("in.txt", contents));
    }
    void ExpectRefused(const std::string& contents, const char* title) {
        EXPECT_FALSE(Read(contents)) << contents;
        EXPECT_FALSE(buffer.LastReadOK);
        EXPECT_EQ(buffer.LastReadMessage.Title, title) << contents;
    }

    test::TempFolder folder;
    ComponentsList list;
    ComponentBuffer buffer;
};

// Blanks after a line and blank lines after the last component are read past; other files, bad
// counts and bad component lines are refused, naming the line.
TEST_F(TemplateTextTest, AcceptsTrailingBlanksAndRefusesBadLinesNamingThem) {
    EXPECT_TRUE(Read(Header + "1 num components\n-32768 0 0 0 0 \n\n  \n"));
    EXPECT_EQ(buffer.ItemID[0], "-32768");
    for (const std::string& contents : {Header + "3 Num Components\r\n1 0 0 0\r\n", Header, {}})
        ExpectRefused(contents, InvalidFileTypeTitle);
    const Strings bad = {
        "0 num components\r\n",                           // nothing to read back
        "x num components\r\n1 0 0 0\r\n",                // count no number
        "2000000000 num components\r\n1 0 0 0\r\n",       // absurd count
        "3 num components\r\n1 0 0 0\r\n2 0 0 0\r\n",     // fewer lines than the count
        "1 num components\r\n1 0 0 0\r\n2 0 0 0\r\n",     // more lines than the count
        "1 num components\r\n1 0 0\r\n",                  // three fields
        "1 num components\r\n1 0  0 0\r\n",               // two spaces: an empty Y
        "1 num components\r\n1 0 -32769 0\r\n",           // Y beyond 16 bits
        "1 num components\r\n65536 0 0 0\r\n",            // item id out of range
        "2 num components\r\n1 0 0 0\r\n\r\n2 0 0 0\r\n", // blank line inside
    };
    for (const auto& body : bad) { // each after a good read, and leaving the buffer cleared
        ASSERT_TRUE(Read(test::TemplateFile({"5 1 1 1"})));
        ExpectRefused(Header + body, ReadErrorTitle);
        EXPECT_EQ(buffer.ComponentCount, 0) << body;
        EXPECT_EQ(buffer.ItemID, Strings{""}) << body;
    }
    ExpectRefused(Header + "2 num components\r\n1 0 0 0\r\n1 0 0 40000\r\n", ReadErrorTitle);
    // Named here, not left to the store, which could name only the component.
    EXPECT_EQ(buffer.LastReadMessage.Text.rfind("6 line 6, z: Overflow", 0), 0u)
        << buffer.LastReadMessage.Text;
}

// Every number of the format is a whole decimal one: what would be rounded to another item or
// place, or read in another base, is refused naming the line and the field.
TEST_F(TemplateTextTest, NumbersAreWholeAndRefusalsNameTheLineAndField) {
    ASSERT_TRUE(Read(Header + "1 num components\r\n+1187 -0 007 3\r\n"));
    EXPECT_EQ(buffer.ComponentCount, 1);
    const std::pair<std::string, const char*> refused[] = {
        {"1 num components\r\n1187.7 0 0 0\r\n", "line 5, item id: Type mismatch"},
        {"1 num components\r\n1 1e3 0 0\r\n", "line 5, x: Type mismatch"},
        {"1 num components\r\n1 0 0x10 0\r\n", "line 5, y: Type mismatch"},
        {"1 num components\r\n1 0 0 1,5\r\n", "line 5, z: Type mismatch"},
        {"1 num components\r\n1 0 0 99999999999999999999\r\n", "line 5, z: Overflow"},
        {"1.9 num components\r\n1 0 0 0\r\n2 0 0 0\r\n", "line 4, component count: Type"},
        {"1 num components\r\n1 0 0 0 1 extra\r\n", "line 5: a component line holds"},
    };
    for (const auto& [body, says] : refused) {
        ExpectRefused(Header + body, ReadErrorTitle);
        EXPECT_NE(buffer.LastReadMessage.Text.find(says), std::string::npos)
            << buffer.LastReadMessage.Text;
    }
    ExpectRefused("6 version\r\n1.0 template id\r\n-1 item version\r\n1 num components\r\n"
                  "1 0 0 0\r\n",
                  ReadErrorTitle);
    EXPECT_NE(buffer.LastReadMessage.Text.find("line 2, template id: Type mismatch"),
              std::string::npos)
        << buffer.LastReadMessage.Text;
}

// Read, stored and written out whole: field 5 is not read, so flags are 1 but for listed ids.
TEST_F(TemplateTextTest, ReadsStoresAndWritesTheTemplateWhole) {
    test::TestLibrary library;
    list.Add("04A3");
    ASSERT_TRUE(ReadComponentList(buffer, list, test::DataFile("extract-lf.txt")))
        << buffer.LastReadMessage.Text;
    EXPECT_EQ(std::tuple(buffer.MinX, buffer.MaxX, buffer.MinY, buffer.MaxY),
              std::tuple(-1, 4, -3, 2));
    std::int32_t id = SaveNewTemplate(*library.cnTemplates, buffer, {"1", "1", "T"});
    std::string path = folder.Write("out.KivT", "old contents");
    WriteTemplateFile(*library.cnTemplates, path, id);
    EXPECT_EQ(test::ReadFile(path),
              test::TemplateFile({"1187 0 0 0 0", "41644 -1 2 5 1", "1189 4 -3 0 1"}));
}

} // namespace
} // namespace mw
