#include "TestLibrary.h"

#include "common/RunError.h"
#include "store/CSubSection.h"
#include "store/CTempIndex.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

using test::FailureNumber;

class RecordContract : public ::testing::Test {
protected:
    void Connect(RecordObject& object) {
        object.Connect(library.Path, adUseServer, adLockOptimistic);
    }

    std::int32_t AddTemplate(CTempIndex& index, const std::string& category,
                             const std::string& name) {
        index.AddItem();
        index.BlockCount(0);
        index.CategoryID(category);
        index.SubsectID("1");
        index.Description(name);
        index.SaveChanges();
        return index.TempIndexID();
    }

    test::TestLibrary library;
    Connection& cn = *library.cnTemplates;
};

// SaveNewTemplate and Filing read the key of the row just added: rows added here are current and
// visible at once, others' only after Requery; a row deleted elsewhere or here is never shown
// stale.
TEST_F(RecordContract, RowsAddedOrDeletedHereOrElsewhere) {
    CTempIndex mine(cn), other(cn);
    Connect(mine);
    Connect(other);
    std::int32_t first = AddTemplate(mine, "1", "First");
    EXPECT_EQ(mine.Description(), "First");
    AddTemplate(other, "1", "Second");
    std::int32_t third = AddTemplate(mine, "1", "Third"); // others' rows lie between
    EXPECT_EQ(mine.RecordCount(), 2);
    mine.MoveLast();
    EXPECT_EQ(mine.TempIndexID(), third);
    mine.Requery(); // and back at the first row
    EXPECT_EQ(mine.RecordCount(), 3);

    other.Requery();
    other.Filter("TempIndexID='" + std::to_string(first) + "'");
    other.Delete(); // elsewhere
    EXPECT_EQ(FailureNumber([&] { mine.Description(); }), err::NoCurrentRow);
    mine.MoveNext();
    mine.Delete(); // the current row, and only that
    EXPECT_EQ(FailureNumber([&] { mine.Description(); }), err::NoCurrentRow);
    mine.Unfilter();
    EXPECT_EQ(mine.RecordCount(), 1);
    EXPECT_EQ(mine.Description(), "Third");
}

// Filing looks a category or subsection up by name, a quote in it doubled.
TEST_F(RecordContract, FilterTakesQuotedValues) {
    CSubSection subsection(cn);
    Connect(subsection);
    for (const char* name : {"Lord's", "Lord's Keep", "Lord"}) {
        subsection.AddItem();
        subsection.Name(name);
        subsection.CategoryID(3);
        subsection.SaveChanges();
    }
    subsection.Filter("Name='Lord''s Keep'");
    EXPECT_EQ(subsection.RecordCount(), 1);
    EXPECT_EQ(subsection.SubsectID(), 2);
}

} // namespace
} // namespace mw
