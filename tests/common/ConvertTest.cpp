#include "common/Convert.h"
#include "TestLibrary.h"

#include <gtest/gtest.h>

// The 16-bit limits of coordinates and item ids are checked where a reader names the line.

namespace mw {
namespace {

TEST(Convert, RoundsFractionsWithTiesToEvenAndRefusesNoNumbersAndValuesOutOfRange) {
    for (auto [text, value] : {std::pair{"2.5", 2}, {"3.5", 4}, {"-2.5", -2}, {" 12 ", 12}})
        EXPECT_EQ(ToLong(text), value) << text;
    for (const char* text : {"", " ", "abc", "12a", "1 2", "--1", "."})
        EXPECT_EQ(test::FailureNumber([&] { ToLong(text); }), err::TypeMismatch) << text;
    EXPECT_THROW(ToLong("2147483648"), RunError);
}

} // namespace
} // namespace mw
