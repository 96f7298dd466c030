#include "Refusals.h"

#include "common/LineReader.h"

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

TEST(LineReader, ReadsLinesOfEitherEndAndRefusesOnesLongerThanOneMebibyte) {
    EXPECT_EQ(Lines("a\r\nb\n\nc"), (std::vector<std::string>{"a", "b", "", "c"}));
    std::string longLine(LineReader::MaxLineLength - 2, 'x'); // across two blocks
    EXPECT_EQ(Lines("1\n" + longLine + "\r\n2"), (std::vector<std::string>{"1", longLine, "2"}));

    // No file makes the reader hold more than one long line: a longer one is refused, naming it.
    // The command line's test imports /dev/zero, which never ends a line.
    test::ExpectRefused(
        [] { Lines("1\n" + std::string(LineReader::MaxLineLength + 1, 'x') + "\n"); },
        err::BadRecordLength, {"line 2 "});
}

} // namespace
} // namespace mw
