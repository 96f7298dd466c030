#include "TestLibrary.h"

#include "common/RunError.h"
#include "store/CTempIndex.h"
#include "store/SaveNewTemplate.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

using test::BufferWith;
using test::FailureNumber;
using Rows = std::vector<std::string>;

class SaveNewTemplateTest : public ::testing::Test {
protected:
    std::int32_t TemplateRows() {
        CTempIndex index(cn);
        index.Connect(library.Path, adUseServer, adLockOptimistic);
        return index.RecordCount();
    }

    test::TestLibrary library;
    Connection& cn = *library.cnTemplates;
    NewTemplateFields fields{"3", "5", "Small Tower"};
};

TEST_F(SaveNewTemplateTest, StoresIndexRowAndBlocksInBufferOrder) {
    auto buffer = BufferWith({{"1189", "4", "-3", "0", "1"},
                              {"1187", "0", "0", "0", "0"},
                              {"1188", "-1", "2", "5", "1"}});
    std::int32_t first = SaveNewTemplate(cn, buffer, fields);
    std::int32_t empty = SaveNewTemplate(cn, ComponentBuffer(), {"3", "5", "Other"});
    EXPECT_LT(first, empty);
    EXPECT_EQ(test::StoredBlocks(cn, first),
              (Rows{"1189 4 -3 0 1", "1187 0 0 0 0", "1188 -1 2 5 1"}));
    EXPECT_TRUE(test::StoredBlocks(cn, empty).empty()); // an index row only
    CTempIndex index(cn);
    index.Connect(library.Path, adUseServer, adLockOptimistic);
    index.Filter("TempIndexID='" + std::to_string(first) + "'");
    EXPECT_EQ(index.BlockCount(), 3);
    EXPECT_EQ(index.CategoryID(), "3");
    EXPECT_EQ(index.SubsectID(), "5");
    EXPECT_EQ(index.Description(), "Small Tower");
}

// The index row and its blocks go in one transaction: a refused block or index value, or a
// cancel, leaves no index row without its blocks.
TEST_F(SaveNewTemplateTest, AnyFailureLeavesNothingOfTheTemplate) {
    auto refused = BufferWith({{"1187", "0", "0", "0", "1"}, {"1188", "x", "0", "0", "1"}});
    EXPECT_NE(FailureNumber([&] { SaveNewTemplate(cn, refused, fields); }), 0);
    auto good = BufferWith({{"1187", "0", "0", "0", "1"}});
    for (const char* category : {"", "three"})
        EXPECT_EQ(FailureNumber([&] {
                      SaveNewTemplate(cn, good, {category, "5", "Tower"});
                  }),
                  err::TypeMismatch);
    auto big =
        BufferWith(std::vector<std::array<std::string, 5>>(40000, {"1", "0", "0", "0", "1"}));
    auto cancel = [](std::int64_t, std::int64_t) { return false; };
    EXPECT_EQ(FailureNumber([&] { SaveNewTemplate(cn, big, fields, cancel); }), err::Cancelled);
    EXPECT_EQ(TemplateRows(), 0);
    EXPECT_TRUE(test::StoredBlocks(cn, 1).empty());
}

} // namespace
} // namespace mw
