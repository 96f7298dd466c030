#include "Refusals.h"

#include "common/RunError.h"
#include "store/SaveNewTemplate.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

using test::BufferWith;
using test::FailureNumber;
using Rows = std::vector<std::string>;

std::string Scalar(Connection& cn, const std::string& sql) {
    Statement query = cn.Prepare(sql);
    query.Step();
    return query.Text(0);
}

class SaveNewTemplateTest : public ::testing::Test {
protected:
    std::string TemplateRows() { return Scalar(cn, "select count(*) from TemplateIndex"); }

    test::TestLibrary library;
    Connection& cn = *library.cnTemplates;
    NewTemplateFields fields{"3", "5", "Small Tower"};
};

// Texts as the files give them, converted as the engine converts a quoted number.
TEST_F(SaveNewTemplateTest, StoresIndexRowAndBlocksInBufferOrder) {
    auto buffer = BufferWith({{"1189", "4", "-3", "0", "1"},
                              {"41644", "2.5", "0", "0", "0"},
                              {" 12 ", "-1", "2", "5", "1"}});
    std::int32_t first = SaveNewTemplate(cn, buffer, fields);
    std::int32_t empty = SaveNewTemplate(cn, ComponentBuffer(), {"3", "5", "Other"});
    EXPECT_LT(first, empty);
    EXPECT_EQ(test::StoredBlocks(cn, first),
              (Rows{"1189 4 -3 0 1", "41644 2 0 0 0", "12 -1 2 5 1"}));
    EXPECT_TRUE(test::StoredBlocks(cn, empty).empty()); // an index row only
}

// The index row and its blocks go in one transaction: a refused block (named, and never part of
// a statement) or index value, or a cancel, leaves nothing of the template and harms no other.
TEST_F(SaveNewTemplateTest, AnyFailureLeavesNothingOfTheTemplate) {
    auto good = BufferWith({{"1187", "0", "0", "0", "1"}});
    std::int32_t kept = SaveNewTemplate(cn, good, fields);
    for (const char* x : {"x", "32768", "0'); delete from TemplateBlocks; --"}) {
        auto refused = BufferWith({{"1187", "0", "0", "0", "1"}, {"1188", x, "0", "0", "1"}});
        auto failure = test::FailureOf([&] { SaveNewTemplate(cn, refused, fields); });
        ASSERT_TRUE(failure) << x;
        EXPECT_NE(failure->Description.find("Component 2"), std::string::npos)
            << failure->Description;
    }
    NewTemplateFields unfit{"three", "5", "Tower"}; // an index value, refused as a block is
    EXPECT_EQ(FailureNumber([&] { SaveNewTemplate(cn, good, unfit); }), err::TypeMismatch);
    auto big =
        BufferWith(std::vector<std::array<std::string, 5>>(40000, {"1", "0", "0", "0", "1"}));
    auto cancel = [](std::int64_t, std::int64_t) { return false; };
    EXPECT_EQ(FailureNumber([&] { SaveNewTemplate(cn, big, fields, cancel); }), err::Cancelled);
    EXPECT_EQ(TemplateRows(), "1");
    EXPECT_EQ(test::StoredBlocks(cn, kept), (Rows{"1187 0 0 0 1"}));
    EXPECT_TRUE(test::StoredBlocks(cn, kept + 1).empty());
}

} // namespace
} // namespace mw
