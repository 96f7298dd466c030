#include "TestLibrary.h"

#include "common/TextFile.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

std::vector<std::string> Lines(const std::string& contents) {
    test::TempFolder folder;
    LineReader reader(folder.Write("f.txt", contents));
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.ReadLine(line))
        lines.emplace_back(line);
    return lines;
}

TEST(LineReader, AcceptsLfAndCrLfAndALastLineWithoutEnd) {
    EXPECT_EQ(Lines("a\r\nb\nc"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(Lines("a\n\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(Lines(""), std::vector<std::string>{});
    std::string longLine(3 << 20, 'x'); // longer than one block
    EXPECT_EQ(Lines("1\n" + longLine + "\r\n2"), (std::vector<std::string>{"1", longLine, "2"}));
}

TEST(Fields, SplitsAtSingleSpaces) {
    Fields fields("1187  2 3");
    EXPECT_EQ(fields.Count, 4u);
    EXPECT_EQ(fields(1), "1187");
    EXPECT_EQ(fields(2), "");
    EXPECT_EQ(fields(4), "3");
    EXPECT_EQ(fields(5), "");
    EXPECT_EQ(Fields(" x").Field[0], "");
}

} // namespace
} // namespace mw
