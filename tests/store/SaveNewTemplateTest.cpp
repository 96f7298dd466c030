#include "DiskFaults.h"
#include "TestLibrary.h"

#include "common/RunError.h"
#include "store/CTempBlock.h"
#include "store/CTempIndex.h"
#include "store/SaveNewTemplate.h"

#include <gtest/gtest.h>
#include <thread>

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

std::string Scalar(Connection& cn, const char* sql) {
    Statement query = cn.Prepare(sql);
    query.Step();
    return query.Text(0);
}

// A full disk in the middle of a template makes the engine drop the whole transaction; nothing
// may be written after that, or the blocks written would be taken over by the next template
// stored under the reused key. Blocks that an older program left behind under that key are not
// taken over either.
TEST_F(SaveNewTemplateTest, AFullDiskLeavesNoBlockForTheNextTemplate) {
    auto small = BufferWith({{"1187", "0", "0", "0", "1"}});
    SaveNewTemplate(cn, small, fields);
    cn.Run("pragma cache_size = 8"); // written to the file while the transaction runs
    auto big =
        BufferWith(std::vector<std::array<std::string, 5>>(20000, {"1", "2", "3", "4", "1"}));
    {
        test::FileSizeLimit full(200000);
        EXPECT_EQ(FailureNumber([&] { SaveNewTemplate(cn, big, fields); }),
                  err::EngineGeneralFailure);
    }
    EXPECT_EQ(Scalar(cn, "select count(*) from TemplateBlocks"), "1");
    CTempBlock(cn).InsertData("1", "0", "0", "0", "1", "2"); // an orphan under the next key
    std::int32_t next = SaveNewTemplate(cn, small, fields);
    EXPECT_EQ(next, 2);
    EXPECT_EQ(test::StoredBlocks(cn, next), (Rows{"1187 0 0 0 1"}));
    EXPECT_EQ(TemplateRows(), 2);
    EXPECT_EQ(Scalar(cn, "pragma integrity_check"), "ok");
}

// Two imports at once are stored one after the other: the second writer waits for the first
// instead of being refused halfway through its template.
TEST_F(SaveNewTemplateTest, ASecondWriterWaitsItsTurn) {
    auto small = BufferWith({{"1187", "0", "0", "0", "1"}});
    Connection other(library.Path);
    other.OpenConnection("");
    std::optional<Transaction> first;
    cn.OpenConnection("");
    first.emplace(cn);
    SaveNewTemplate(cn, small, fields);
    std::optional<RunError> secondFailure;
    auto fileAndStore = [&] { // as an import does: look up the category, then store
        Transaction filing(other);
        Scalar(other, "select count(*) from Category");
        SaveNewTemplate(other, small, fields);
        filing.Commit();
    };
    std::thread second([&] { secondFailure = test::FailureOf(fileAndStore); });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    first->Commit();
    second.join();
    EXPECT_FALSE(secondFailure) << secondFailure->Text();
    EXPECT_EQ(TemplateRows(), 2);
}

} // namespace
} // namespace mw
