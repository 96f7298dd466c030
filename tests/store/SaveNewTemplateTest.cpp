#include "TestLibrary.h"

#include "common/RunError.h"
#include "formats/ComponentBuffer.h"
#include "store/CTempBlock.h"
#include "store/CTempIndex.h"
#include "store/SaveNewTemplate.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

ComponentBuffer Buffer(const std::vector<std::array<const char*, 5>>& components) {
    ComponentBuffer buffer;
    buffer.ItemID.clear(), buffer.X.clear(), buffer.Y.clear(), buffer.Z.clear(),
        buffer.Flag.clear();
    for (const auto& c : components) {
        buffer.ItemID.push_back(c[0]);
        buffer.X.push_back(c[1]);
        buffer.Y.push_back(c[2]);
        buffer.Z.push_back(c[3]);
        buffer.Flag.push_back(c[4]);
    }
    buffer.ComponentCount = static_cast<std::int32_t>(components.size());
    return buffer;
}

class SaveNewTemplateTest : public ::testing::Test {
protected:
    std::int32_t TemplateRows() {
        CTempIndex index(cn);
        index.Connect(library.Path, adUseServer, adLockOptimistic);
        return index.RecordCount();
    }
    std::vector<std::string> Blocks(std::int32_t id) {
        CTempBlock blocks(cn);
        blocks.Connect(library.Path, adUseServer, adLockReadOnly);
        blocks.Filter("TempIndexID='" + std::to_string(id) + "'");
        std::vector<std::string> rows;
        for (std::int32_t n = blocks.RecordCount(); n > 0; --n, blocks.MoveNext())
            rows.push_back(std::to_string(blocks.ItemID()) + "," + std::to_string(blocks.X()) +
                           "," + std::to_string(blocks.Y()) + "," + std::to_string(blocks.Z()) +
                           "," + std::to_string(blocks.Flag()));
        return rows;
    }

    test::TestLibrary library;
    Connection& cn = *library.cnTemplates;
    NewTemplateFields fields{"3", "5", "Small Tower"};
};

TEST_F(SaveNewTemplateTest, StoresIndexRowAndBlocksInBufferOrder) {
    auto buffer = Buffer({{"1189", "4", "-3", "0", "1"},
                          {"1187", "0", "0", "0", "0"},
                          {"1188", "-1", "2", "5", "1"}});
    std::int32_t first = SaveNewTemplate(cn, buffer, fields);
    std::int32_t second =
        SaveNewTemplate(cn, Buffer({{"7", "0", "0", "0", "1"}}), {"3", "5", "Other"});
    EXPECT_LT(first, second);
    EXPECT_EQ(Blocks(first),
              (std::vector<std::string>{"1189,4,-3,0,1", "1187,0,0,0,0", "1188,-1,2,5,1"}));
    EXPECT_EQ(Blocks(second), (std::vector<std::string>{"7,0,0,0,1"}));
    CTempIndex index(cn);
    index.Connect(library.Path, adUseServer, adLockOptimistic);
    index.Filter("TempIndexID='" + std::to_string(first) + "'");
    EXPECT_EQ(index.BlockCount(), 3);
    EXPECT_EQ(index.CategoryID(), "3");
    EXPECT_EQ(index.SubsectID(), "5");
    EXPECT_EQ(index.Description(), "Small Tower");
}

TEST_F(SaveNewTemplateTest, TemplateWithoutComponentsHasAnIndexRowOnly) {
    ComponentBuffer empty;
    std::int32_t id = SaveNewTemplate(cn, empty, fields);
    EXPECT_EQ(TemplateRows(), 1);
    EXPECT_TRUE(Blocks(id).empty());
}

TEST_F(SaveNewTemplateTest, RefusedComponentLeavesNothingOfTheTemplate) {
    auto buffer = Buffer({{"1187", "0", "0", "0", "1"}, {"1188", "x", "0", "0", "1"}});
    EXPECT_THROW(SaveNewTemplate(cn, buffer, fields), RunError);
    EXPECT_EQ(TemplateRows(), 0);
    EXPECT_TRUE(Blocks(1).empty());
    // A quote in a text is just a value the engine refuses.
    buffer = Buffer({{"1187", "0'; drop table TemplateIndex; --", "0", "0", "1"}});
    EXPECT_THROW(SaveNewTemplate(cn, buffer, fields), RunError);
    EXPECT_EQ(TemplateRows(), 0);
}

TEST_F(SaveNewTemplateTest, CategoryThatIsNoNumberFailsWithTypeMismatchAndStoresNothing) {
    auto buffer = Buffer({{"1187", "0", "0", "0", "1"}});
    for (const char* category : {"", "three"}) {
        try {
            SaveNewTemplate(cn, buffer, {category, "5", "Tower"});
            ADD_FAILURE();
        } catch (const RunError& failure) {
            EXPECT_EQ(failure.Number, err::TypeMismatch);
        }
    }
    EXPECT_EQ(TemplateRows(), 0);
}

TEST_F(SaveNewTemplateTest, CancelFromProgressStoresNothing) {
    ComponentBuffer buffer = Buffer({});
    for (int i = 0; i < 40000; ++i) {
        buffer.ItemID.push_back("1"), buffer.X.push_back("0"), buffer.Y.push_back("0");
        buffer.Z.push_back("0"), buffer.Flag.push_back("1");
    }
    buffer.ComponentCount = 40000;
    try {
        SaveNewTemplate(cn, buffer, fields, [](std::int64_t, std::int64_t) { return false; });
        ADD_FAILURE();
    } catch (const RunError& failure) {
        EXPECT_EQ(failure.Number, err::Cancelled);
    }
    EXPECT_EQ(TemplateRows(), 0);
}

} // namespace
} // namespace mw
