#include "DiskFaults.h"
#include "Refusals.h"

#include "common/RunError.h"
#include "formats/ComponentsList.h"
#include "formats/TemplateText.h"
#include "store/SaveNewTemplate.h"
#include "store/StoredComponents.h"
#include "store/TemplateBlocks.h"

#include <gtest/gtest.h>

// A disk that fills up while the library or an export is written; the size limit is the
// stand-in for a full disk, and only POSIX systems have it.

namespace mw {
namespace {

using Rows = std::vector<std::string>;
using test::BufferWith;

std::string Scalar(Connection& cn, const std::string& sql) {
    Statement query = cn.Prepare(sql);
    query.Step();
    return query.Text(0);
}

class FullDiskTest : public ::testing::Test {
protected:
    std::string TemplateRows() { return Scalar(cn, "select count(*) from TemplateIndex"); }

    test::TestLibrary library;
    Connection& cn = *library.cnTemplates;
    NewTemplateFields fields{"3", "5", "Small Tower"};
};

// A full disk in the middle of a template makes the engine drop the whole transaction; nothing
// may be written after that, or the blocks written would be taken over by the next template
// stored under the reused key. Blocks that an older program left behind under that key are not
// taken over either.
TEST_F(FullDiskTest, AFullDiskLeavesNoBlockForTheNextTemplate) {
    auto small = BufferWith({{"1187", "0", "0", "0", "1"}});
    SaveNewTemplate(cn, small, fields);
    cn.Run("pragma cache_size = 8"); // written to the file while the transaction runs
    auto big =
        BufferWith(std::vector<std::array<std::string, 5>>(20000, {"1", "2", "3", "4", "1"}));
    {
        test::FileSizeLimit full(200000);
        test::ExpectRefused([&] { SaveNewTemplate(cn, big, fields); }, err::EngineGeneralFailure);
    }
    EXPECT_EQ(Scalar(cn, "select count(*) from TemplateBlocks"), "1");
    cn.Run("insert into TemplateBlocks(ItemID, X, Y, Z, Flag, TempIndexID) "
           "values (1, 0, 0, 0, 1, 2)"); // an orphan under the next key
    std::int32_t next = SaveNewTemplate(cn, small, fields);
    EXPECT_EQ(next, 2);
    EXPECT_EQ(test::StoredBlocks(cn, next), (Rows{"1187 0 0 0 1"}));
    EXPECT_EQ(Scalar(cn, "select count(*) from TemplateBlocks"), "2"); // the first one's kept
    EXPECT_EQ(TemplateRows(), "2");
    EXPECT_EQ(Scalar(cn, "pragma integrity_check"), "ok");
}

// A save in place that the disk cannot take leaves the stored template as it was, and the edited
// components as they are.
TEST_F(FullDiskTest, AFullDiskLeavesTheSavedTemplateAsItWas) {
    TemplateComponents big(30000, Component{1, 2, 3, 4, 1});
    std::int32_t id = SaveComponentsAsNew(cn, big, {"1", "1", "Hall"}, ComponentsList());
    const Rows stored = test::StoredBlocks(cn, id);
    for (Component& c : big)
        c.X = -7;
    const TemplateComponents edited = big;
    cn.Run("pragma cache_size = 8"); // written to the file while the transaction runs
    {
        test::FileSizeLimit full(200000);
        test::ExpectRefused([&] { SaveStoredComponents(cn, id, big, ComponentsList()); },
                            err::EngineGeneralFailure);
    }
    EXPECT_EQ(big, edited);
    EXPECT_EQ(test::StoredBlocks(cn, id), stored);
    EXPECT_EQ(Scalar(cn, "pragma integrity_check"), "ok");
}

// The disk fills up while a new file is written over an old one: the old one is still there,
// whole, and the next try writes it.
TEST_F(FullDiskTest, AFailedExportKeepsTheOldFile) {
    ComponentsList list;
    ComponentBuffer buffer;
    ASSERT_TRUE(ReadComponentList(buffer, list, test::DataFile("extract-lf.txt")));
    std::int32_t id = SaveNewTemplate(cn, buffer, fields);
    std::string path = library.Folder.Write("out.KivT", "old contents");
    {
        test::FileSizeLimit full(40);
        EXPECT_THROW(WriteTemplateFile(cn, path, id), RunError);
    }
    EXPECT_EQ(test::ReadFile(path), "old contents");
    WriteTemplateFile(cn, path, id);
    EXPECT_EQ(test::ReadFile(path),
              test::TemplateFile({"1187 0 0 0 1", "41644 -1 2 5 1", "1189 4 -3 0 1"}));
}

} // namespace
} // namespace mw
