#include "common/Convert.h"
#include "TestLibrary.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

TEST(Convert, RoundsFractionsToNearestWithTiesToEven) {
    EXPECT_EQ(ToLong("2.5"), 2);
    EXPECT_EQ(ToLong("3.5"), 4);
    EXPECT_EQ(ToLong("-2.5"), -2);
    EXPECT_EQ(ToLong(" 12 "), 12);
    EXPECT_EQ(ToLong(11.5), 12);
    EXPECT_EQ(ToLong(12.5), 12);
}

TEST(Convert, RefusesTextsThatAreNoNumberAndValuesOutOfRange) {
    for (const char* text : {"", " ", "abc", "12a", "1 2", "--1", "."})
        EXPECT_EQ(test::FailureNumber([&] { ToLong(text); }), err::TypeMismatch) << text;
    EXPECT_THROW(ToLong("2147483648"), RunError);
    EXPECT_EQ(ToLong("-2147483648"), INT32_MIN);
    EXPECT_THROW(ToInteger("32768"), RunError);
    EXPECT_EQ(ToInteger("-32768"), -32768);
}

TEST(Convert, ItemIdsAreSixteenBitsReadSignedOrUnsigned) {
    EXPECT_EQ(ToItemId("41644"), 0xA2AC);
    EXPECT_EQ(ToItemId("-23892"), 0xA2AC);
    EXPECT_EQ(ToItemId("65535"), 0xFFFF);
    EXPECT_THROW(ToItemId("65536"), RunError);
    EXPECT_THROW(ToItemId("-32769"), RunError);
    EXPECT_EQ(HexText(ToItemId("1187")), "04A3");
    EXPECT_EQ(HexText(15), "0F");
    EXPECT_EQ(HexText(ToItemId("-23892")), "0A2AC");
}

} // namespace
} // namespace mw
