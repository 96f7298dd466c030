#include "TestLibrary.h"

#include "common/Files.h"
#include "common/RunError.h"
#include "store/CCategory.h"
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

TEST_F(RecordContract, EmptyTableHasNoCurrentRow) {
    CCategory category(cn);
    EXPECT_EQ(FailureNumber([&] { category.MoveNext(); }), err::ObjectNotSet);
    Connect(category);
    EXPECT_TRUE(cn.blnConnected());
    EXPECT_EQ(category.RecordCount(), 0);
    EXPECT_TRUE(category.IsBOF());
    EXPECT_TRUE(category.IsEOF());
    for (auto action : std::vector<std::function<void()>>{
             [&] { category.Name(); }, [&] { category.MoveNext(); }, [&] { category.MoveFirst(); },
             [&] { category.MoveLast(); }, [&] { category.MovePrevious(); },
             [&] { category.Delete(); }, [&] { category.SaveChanges(); }})
        EXPECT_EQ(FailureNumber(action), err::NoCurrentRow);
    category.Unfilter();
    category.Requery();
}

TEST_F(RecordContract, AddedRowIsCurrentAndLastWithoutRequery) {
    CCategory category(cn);
    Connect(category);
    for (const char* name : {"Houses", "Towers", "Keeps"}) {
        category.AddItem();
        category.Name(name);
        category.SaveChanges();
        EXPECT_EQ(category.Name(), name);
    }
    EXPECT_EQ(category.RecordCount(), 3);
    category.Unfilter();
    EXPECT_EQ(category.Name(), "Houses");
    std::vector<std::int32_t> ids;
    for (int i = 0; i < 3; ++i, category.MoveNext())
        ids.push_back(category.CategoryID());
    EXPECT_EQ(category.Name(), "Keeps"); // MoveNext never rests past the end
    EXPECT_TRUE(ids[0] < ids[1] && ids[1] < ids[2]);
    category.MovePrevious();
    category.MoveFirst();
    category.MovePrevious();
    EXPECT_EQ(category.Name(), "Houses");
}

TEST_F(RecordContract, RowsAddedByOthersAppearOnlyAfterRequery) {
    CTempIndex mine(cn), other(cn);
    Connect(mine);
    Connect(other);
    AddTemplate(mine, "1", "First");
    AddTemplate(other, "1", "Second");
    EXPECT_EQ(mine.RecordCount(), 1);
    mine.MoveLast();
    EXPECT_EQ(mine.Description(), "First");
    AddTemplate(mine, "1", "Third"); // others' rows lie between: still only our own are visible
    EXPECT_EQ(mine.RecordCount(), 2);
    mine.MoveFirst();
    mine.MoveNext();
    EXPECT_EQ(mine.Description(), "Third");
    mine.Requery();
    EXPECT_EQ(mine.RecordCount(), 3);
    EXPECT_EQ(mine.Description(), "First");
}

TEST_F(RecordContract, FilterMatchesColumnNamesWithoutRegardToCase) {
    CSubSection subsection(cn);
    Connect(subsection);
    for (auto [name, category] : {std::pair{"Small", 3}, {"Large", 4}, {"Huge", 3}}) {
        subsection.AddItem();
        subsection.Name(name);
        subsection.CategoryID(category);
        subsection.SaveChanges();
    }
    subsection.Filter("CategoryID='3'");
    EXPECT_EQ(subsection.RecordCount(), 2);
    EXPECT_EQ(subsection.Name(), "Small");
    subsection.MoveNext();
    EXPECT_EQ(subsection.Name(), "Huge");
    subsection.MoveNext();
    EXPECT_EQ(subsection.Name(), "Huge");
    std::int32_t large = 2;
    subsection.Filter("SubSectID='" + std::to_string(large) + "'");
    EXPECT_EQ(subsection.RecordCount(), 1);
    EXPECT_EQ(subsection.Name(), "Large");
    subsection.Filter("categoryid = '9'");
    EXPECT_EQ(subsection.RecordCount(), 0);
    EXPECT_EQ(FailureNumber([&] { subsection.Name(); }), err::NoCurrentRow);
    subsection.Filter("Name='Huge'");
    EXPECT_EQ(subsection.SubsectID(), 3);
    Connect(subsection); // a new row set over the whole table
    EXPECT_EQ(subsection.RecordCount(), 3);
    EXPECT_EQ(subsection.Name(), "Small");
    EXPECT_NE(FailureNumber([&] { subsection.Filter("Colour='3'"); }), 0);
    EXPECT_NE(FailureNumber([&] { subsection.Filter("CategoryID='x'"); }), 0);
    EXPECT_NE(FailureNumber([&] { subsection.Filter("CategoryID"); }), 0);
}

TEST_F(RecordContract, TextIdsConvertBothWaysAndBadTextKeepsThePendingValue) {
    CTempIndex index(cn);
    Connect(index);
    AddTemplate(index, " 12 ", "Tower");
    EXPECT_EQ(index.CategoryID(), "12");
    EXPECT_EQ(FailureNumber([&] { index.CategoryID("twelve"); }), err::TypeMismatch);
    EXPECT_EQ(FailureNumber([&] { index.CategoryID("99999999999"); }), err::Overflow);
    index.AddItem();
    index.SaveChanges(); // pending values stay from the last addition
    EXPECT_EQ(index.CategoryID(), "12");
    EXPECT_EQ(index.Description(), "Tower");
}

TEST_F(RecordContract, DeletedRowsAreNeverShownStale) {
    CTempIndex viewer(cn), remover(cn);
    Connect(viewer);
    std::int32_t first = AddTemplate(viewer, "1", "Doomed");
    AddTemplate(viewer, "1", "Current");
    AddTemplate(viewer, "1", "Kept");
    viewer.MoveFirst();
    Connect(remover);
    remover.Filter("TempIndexID='" + std::to_string(first) + "'");
    remover.Delete(); // elsewhere
    EXPECT_EQ(FailureNumber([&] { viewer.Description(); }), err::NoCurrentRow);
    viewer.MoveNext();
    viewer.Delete(); // the current row, and only that
    EXPECT_EQ(FailureNumber([&] { viewer.Description(); }), err::NoCurrentRow);
    viewer.Unfilter();
    EXPECT_EQ(viewer.RecordCount(), 1);
    EXPECT_EQ(viewer.Description(), "Kept");
}

TEST_F(RecordContract, NullColumnFailsWithInvalidUseOfNullAndReadOnlySetsRefuseWrites) {
    cn.OpenConnection("");
    cn.Run("insert into TemplateIndex (BlockCount) values (3)");
    CTempIndex index(cn);
    index.Connect(library.Path, adUseClient, adLockReadOnly);
    EXPECT_EQ(index.BlockCount(), 3);
    EXPECT_EQ(FailureNumber([&] { index.Description(); }), err::InvalidUseOfNull);
    EXPECT_EQ(FailureNumber([&] { index.CategoryID(); }), err::InvalidUseOfNull);
    EXPECT_NE(FailureNumber([&] { index.AddItem(); }), 0);
    EXPECT_NE(FailureNumber([&] { index.Delete(); }), 0);
}

} // namespace
} // namespace mw
