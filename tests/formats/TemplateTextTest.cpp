#include "DiskFaults.h"
#include "TestLibrary.h"

#include "common/RunError.h"
#include "formats/ComponentsList.h"
#include "formats/TemplateText.h"
#include "store/SaveNewTemplate.h"
#include "store/TemplateBlocks.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace mw {
namespace {

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

TEST_F(TemplateTextTest, ReadsExtractFilesWithEitherLineEnd) {
    for (const char* name : {"extract-crlf.txt", "extract-lf.txt"}) {
        ClearComponentBuffer(buffer);
        ASSERT_TRUE(ReadComponentList(buffer, list, test::DataFile(name)))
            << buffer.LastReadMessage.Text;
        EXPECT_TRUE(buffer.LastReadOK);
        EXPECT_EQ(buffer.ComponentCount, 3);
        EXPECT_EQ(buffer.X, (std::vector<std::string>{"0", "-1", "4"}));
        EXPECT_EQ(buffer.Y, (std::vector<std::string>{"0", "2", "-3"}));
        EXPECT_EQ(buffer.Flag, (std::vector<std::string>{"1", "1", "1"})); // field 5 is not read
        EXPECT_EQ(std::tuple(buffer.MinX, buffer.MaxX, buffer.MinY, buffer.MaxY),
                  std::tuple(-1, 4, -3, 2));
    }
    EXPECT_EQ(buffer.ItemID[1], "41644"); // kept as the file gave it
}

TEST_F(TemplateTextTest, ComponentsListSetsFlagsOfListedIds) {
    list.Add("04A3");
    ASSERT_TRUE(Read(test::TemplateFile({"1187 0 0 0 1", "1188 1 1 1 1"})));
    EXPECT_EQ(buffer.Flag, (std::vector<std::string>{"0", "1"}));
}

TEST_F(TemplateTextTest, RefusesFilesThatAreNotTemplates) {
    ExpectRefused(Header + "3 Num Components\r\n1 0 0 0\r\n", InvalidFileTypeTitle);
    ExpectRefused(Header, InvalidFileTypeTitle);
    ExpectRefused("", InvalidFileTypeTitle);
    EXPECT_EQ(buffer.LastReadMessage.Text, InvalidFileTypeText);
}

TEST_F(TemplateTextTest, RefusesBadCountsAndComponentLinesAndLeavesTheBufferCleared) {
    const std::vector<std::string> bad = {
        "0 num components\r\n",                           // nothing to read back
        "x num components\r\n1 0 0 0\r\n",                // count no number
        "2000000000 num components\r\n1 0 0 0\r\n",       // absurd count
        "3 num components\r\n1 0 0 0\r\n2 0 0 0\r\n",     // fewer lines than the count
        "1 num components\r\n1 0 0 0\r\n2 0 0 0\r\n",     // more lines than the count
        "1 num components\r\n1 0 0\r\n",                  // three fields
        "1 num components\r\n1 0  0 0\r\n",               // two spaces: an empty Y
        "1 num components\r\n1 a 0 0\r\n",                // X no number
        "1 num components\r\n1 0 -32769 0\r\n",           // Y beyond 16 bits
        "1 num components\r\n1 0 0 up\r\n",               // Z no number
        "1 num components\r\n65536 0 0 0\r\n",            // item id out of range
        "1 num components\r\ndoor 0 0 0\r\n",             // item id no number
        "2 num components\r\n1 0 0 0\r\n\r\n2 0 0 0\r\n", // blank line inside
    };
    for (const auto& body : bad) {
        ASSERT_TRUE(Read(test::TemplateFile({"5 1 1 1"})));
        ExpectRefused(Header + body, ReadErrorTitle);
        EXPECT_EQ(buffer.ComponentCount, 0) << body;
        EXPECT_EQ(buffer.ItemID, std::vector<std::string>{""}) << body;
    }
    ExpectRefused(Header + "2 num components\r\n1 0 0 0\r\n1 0 0 40000\r\n", ReadErrorTitle);
    // Named here, not left to the store, which could name only the component.
    EXPECT_EQ(buffer.LastReadMessage.Text.rfind("6 line 6: Overflow", 0), 0u)
        << buffer.LastReadMessage.Text;
    EXPECT_FALSE(ReadComponentList(buffer, list, folder.File("missing.txt")));
    EXPECT_EQ(buffer.LastReadMessage.Title, ReadErrorTitle);
    EXPECT_EQ(buffer.LastReadMessage.Text.rfind("53 ", 0), 0u) << buffer.LastReadMessage.Text;
}

TEST_F(TemplateTextTest, AcceptsLastLineWithoutLineEndAndTrailingBlankLines) {
    EXPECT_TRUE(Read(Header + "2 num components\r\n1 0 0 0\r\n2 0 0 0"));
    EXPECT_TRUE(Read(Header + "1 num components\n-32768 0 0 0 0 extra\n\n  \n"));
    EXPECT_EQ(buffer.ItemID[0], "-32768");
}

TEST_F(TemplateTextTest, ReaderNeverCrashesOnTruncatedOrDamagedFiles) {
    std::string good = test::ReadFile(test::DataFile("extract-crlf.txt"));
    for (size_t length = 0; length <= good.size(); ++length)
        Read(good.substr(0, length));
    for (size_t at = 0; at < good.size(); ++at) {
        for (char replacement : {'\0', ' ', '\n', '9', '-'}) {
            std::string damaged = good;
            damaged[at] = replacement;
            if (!Read(damaged)) {
                EXPECT_FALSE(buffer.LastReadMessage.Title.empty());
            }
        }
    }
}

TEST_F(TemplateTextTest, WritesStoredTemplatesAndReadsThemBack) {
    test::TestLibrary library;
    ASSERT_TRUE(ReadComponentList(buffer, list, test::DataFile("extract-lf.txt")));
    std::int32_t id = SaveNewTemplate(*library.cnTemplates, buffer, {"1", "1", "T"});
    std::string path = folder.File("out.KivT");
    folder.Write("out.KivT", "an older file that is replaced");
    WriteTemplateFile(*library.cnTemplates, path, id);
    EXPECT_EQ(test::ReadFile(path),
              test::TemplateFile({"1187 0 0 0 1", "41644 -1 2 5 1", "1189 4 -3 0 1"}));
    ComponentBuffer again;
    ASSERT_TRUE(ReadComponentList(again, list, path));
    EXPECT_EQ(again.ItemID, buffer.ItemID);
    EXPECT_EQ(again.X, buffer.X);

    WriteTemplateFile(*library.cnTemplates, path, 999); // no blocks: the header alone
    EXPECT_EQ(test::ReadFile(path), test::TemplateFile({}));
    EXPECT_FALSE(ReadComponentList(again, list, path));
}

// The disk fills up while the new file is written: the old one is still there, whole.
TEST_F(TemplateTextTest, FailedWriteKeepsTheOldFile) {
    test::TestLibrary library;
    ASSERT_TRUE(ReadComponentList(buffer, list, test::DataFile("extract-lf.txt")));
    std::int32_t id = SaveNewTemplate(*library.cnTemplates, buffer, {"1", "1", "T"});
    std::string path = folder.Write("keep.KivT", "old contents");
    {
        test::FileSizeLimit full(40);
        EXPECT_THROW(WriteTemplateFile(*library.cnTemplates, path, id), RunError);
    }
    EXPECT_EQ(test::ReadFile(path), "old contents");
    EXPECT_EQ(test::FileNames(folder.Path()), std::vector<std::string>{"keep.KivT"});
    EXPECT_THROW(WriteTemplateFile(*library.cnTemplates, folder.File("no/such/folder.KivT"), 1),
                 RunError);
}

} // namespace
} // namespace mw
