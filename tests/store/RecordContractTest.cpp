#include "TestLibrary.h"

#include "common/Files.h"
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

TEST_F(RecordContract, MissingLibraryFailsWithTheEngineGeneralFailureAndIsNotCreated) {
    test::TempFolder folder;
    Connection missing(folder.File("Wardstone.dat"));
    CTempIndex index(missing);
    EXPECT_EQ(FailureNumber([&] { index.Connect(folder.File("Wardstone.dat"), 2, 3); }),
              err::EngineGeneralFailure);
    EXPECT_FALSE(missing.blnConnected());
    EXPECT_FALSE(FileExists(folder.File("Wardstone.dat")));
    // Something that is no library is refused the same way.
    folder.Write("Wardstone.dat", "not a database at all, just text that goes on for a while....");
    EXPECT_EQ(FailureNumber([&] { index.Connect(folder.File("Wardstone.dat"), 2, 3); }),
              err::EngineGeneralFailure);
}

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
    mine.Requery();
    EXPECT_EQ(mine.RecordCount(), 3);
    std::vector<std::string> order;
    for (int i = 0; i < 3; ++i, mine.MoveNext())
        order.push_back(mine.Description());
    EXPECT_EQ(order, (std::vector<std::string>{"First", "Second", "Third"}));
    EXPECT_EQ(mine.Description(), "Third"); // MoveNext never rests past the end

    mine.MoveFirst();
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

// Callers write column names in their own case; a name with a quote is filtered with it doubled.
TEST_F(RecordContract, FilterMatchesColumnNamesWithoutRegardToCaseAndQuotedValues) {
    CSubSection subsection(cn);
    Connect(subsection);
    for (auto [name, category] : {std::pair{"Small", 3}, {"Large", 4}, {"Lord's Keep", 3}}) {
        subsection.AddItem();
        subsection.Name(name);
        subsection.CategoryID(category);
        subsection.SaveChanges();
    }
    subsection.Filter("CategoryID='3'");
    EXPECT_EQ(subsection.RecordCount(), 2);
    EXPECT_EQ(subsection.Name(), "Small");
    subsection.MoveNext();
    EXPECT_EQ(subsection.Name(), "Lord's Keep");
    subsection.Filter("SubSectID='2'");
    EXPECT_EQ(subsection.RecordCount(), 1);
    EXPECT_EQ(subsection.Name(), "Large");
    subsection.Filter("CategoryID='9'"); // as for a template id that no row has
    EXPECT_EQ(subsection.RecordCount(), 0);
    EXPECT_EQ(FailureNumber([&] { subsection.Name(); }), err::NoCurrentRow);
    subsection.Filter("Name='Lord''s Keep'");
    EXPECT_EQ(subsection.SubsectID(), 3);
    EXPECT_NE(FailureNumber([&] { subsection.Filter("CategoryID=''"); }), 0); // not every row
}

// A library row written by another program may hold no value.
TEST_F(RecordContract, NullColumnFailsWithInvalidUseOfNull) {
    cn.OpenConnection("");
    cn.Run("insert into TemplateIndex (BlockCount) values (3)");
    CTempIndex index(cn);
    index.Connect(library.Path, adUseClient, adLockReadOnly);
    EXPECT_EQ(index.BlockCount(), 3);
    EXPECT_EQ(FailureNumber([&] { index.Description(); }), err::InvalidUseOfNull);
    EXPECT_EQ(FailureNumber([&] { index.CategoryID(); }), err::InvalidUseOfNull);
}

} // namespace
} // namespace mw
