#include "TestLibrary.h"

#include "common/RunError.h"
#include "store/CTempBlock.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

using Rows = std::vector<std::string>;

class TempBlock : public ::testing::Test {
protected:
    TempBlock() { blocks.Connect(library.Path, adUseServer, adLockOptimistic); }
    Rows Stored(std::int32_t templateId) { return test::StoredBlocks(cn, templateId); }

    test::TestLibrary library;
    Connection& cn = *library.cnTemplates;
    CTempBlock blocks{cn};
};

TEST_F(TempBlock, ExecuteInsertsTheQueueInOrderAndRunsItAgainWhenAskedTwice) {
    blocks.Execute(); // nothing queued: an empty transaction
    blocks.AddSQL("1187", "0", "0", "0", "1", "7");
    blocks.AddSQL("41644", "-3", "2", "5", "0", "7");
    blocks.AddSQL(" 12 ", "2.5", "0", "0", "1", "7");
    EXPECT_EQ(blocks.SQLCount(), 3);
    blocks.Execute();
    EXPECT_EQ(Stored(7), (Rows{"1187 0 0 0 1", "41644 -3 2 5 0", "12 2 0 0 1"}));
    blocks.Execute();
    EXPECT_EQ(Stored(7).size(), 6u);
}

TEST_F(TempBlock, RefusedValueRollsTheWholeBatchBackAndSaysWhichComponent) {
    blocks.AddSQL("1187", "0", "0", "0", "1", "7");
    blocks.AddSQL("1188", "0", "zero", "0", "1", "7");
    auto failure = test::FailureOf([&] { blocks.Execute(); });
    ASSERT_TRUE(failure) << "the batch was accepted";
    EXPECT_NE(failure->Description.find("Component 2"), std::string::npos) << failure->Description;
    EXPECT_TRUE(Stored(7).empty());
    CTempBlock overflowing(cn);
    overflowing.AddSQL("1", "32768", "0", "0", "1", "7");
    EXPECT_THROW(overflowing.Execute(), RunError);
    EXPECT_TRUE(Stored(7).empty());
}

TEST_F(TempBlock, QuotesAndStatementTextInValuesDoNoHarm) {
    blocks.AddSQL("1'); delete from TemplateBlocks; --", "0", "0", "0", "1", "7");
    EXPECT_THROW(blocks.Execute(), RunError);
    EXPECT_THROW(blocks.InsertData("1", "0'", "0", "0", "1", "7"), RunError);
    blocks.InsertData("5", "1", "1", "1", "1", "8");
    EXPECT_EQ(Stored(8), Rows{"5 1 1 1 1"});
}

TEST_F(TempBlock, DeleteAllRemovesOneTemplatesBlocksAndTheRowSetSeesItAfterRequery) {
    for (const char* id : {"1", "2", "1"})
        blocks.InsertData("5", "0", "0", "0", "1", id);
    blocks.Requery();
    blocks.Filter("TempIndexID='1'");
    EXPECT_EQ(blocks.RecordCount(), 2);
    blocks.DeleteAll(1);
    blocks.DeleteAll(99);               // a template without blocks: nothing to do
    EXPECT_EQ(blocks.RecordCount(), 0); // deleted rows drop out at once
    blocks.Requery();
    blocks.Unfilter();
    EXPECT_EQ(blocks.RecordCount(), 1);
    EXPECT_EQ(Stored(2).size(), 1u);
}

} // namespace
} // namespace mw
