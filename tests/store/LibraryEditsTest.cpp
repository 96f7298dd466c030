#include "Refusals.h"

#include "formats/ComponentsList.h"
#include "store/CCategory.h"
#include "store/CSubSection.h"
#include "store/Filing.h"
#include "store/LibraryEdits.h"
#include "store/SaveNewTemplate.h"
#include "store/StoredComponents.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace mw {
namespace {

using Rows = std::vector<std::string>;

// Houses (1) with Small (1) and Large (2), Ships (2) with Galleys (3); templates Hut (1) and
// Villa (2) in Houses / Small, Galley (3) in Ships / Galleys.
class LibraryEditsTest : public ::testing::Test {
protected:
    LibraryEditsTest() {
        cn.OpenConnection("");
        cn.Run("insert into Category(Name) values ('Houses'), ('Ships')");
        cn.Run("insert into SubSection(CategoryID, Name) values (1, 'Small'), (1, 'Large'), "
               "(2, 'Galleys')");
        Store("1", "1", "Hut", {{"1187", "0", "0", "0", "1"}, {"1653", "1", "0", "0", "1"}});
        Store("1", "1", "Villa", {{"1188", "0", "0", "0", "1"}});
        Store("2", "3", "Galley", {{"1189", "0", "0", "0", "1"}});
    }
    std::int32_t Store(const std::string& category, const std::string& subsection,
                       const std::string& name,
                       const std::vector<std::array<std::string, 5>>& blocks) {
        return SaveNewTemplate(cn, test::BufferWith(blocks), {category, subsection, name});
    }
    // Every template as "id category subsection description blocks", by id.
    Rows Index() {
        Statement rows = cn.Prepare("select TempIndexID || ' ' || CategoryID || ' ' || SubsectID "
                                    "|| ' ' || Description || ' ' || BlockCount from "
                                    "TemplateIndex order by TempIndexID");
        Rows index;
        while (rows.Step())
            index.push_back(rows.Text(0));
        return index;
    }
    std::string Names(const char* table) {
        Statement names = cn.Prepare(std::string("select group_concat(Name, ',') from ") + table);
        names.Step();
        return names.Text(0);
    }

    test::TestLibrary library;
    Connection& cn = *library.cnTemplates;
};

// Blanks around a name and the case of A to Z make no second entry under one parent: adding
// gives the existing one (the template info dialog then selects it), finding finds it, a rename
// to another's name is refused and a rename of the case alone is not.
TEST_F(LibraryEditsTest, OneEntryOfANamePerParent) {
    EXPECT_TRUE(SameName(" Houses\t", "hOUSES"));
    EXPECT_FALSE(SameName("Houses", "House s"));
    EXPECT_FALSE(SameName("H\xC3\xA4user", "H\xC3\x84user")); // letters beyond A to Z as they are
    CCategory category(cn);
    CSubSection subsection(cn);
    category.Connect(cn.DatabasePath(), adUseServer, adLockOptimistic);
    subsection.Connect(cn.DatabasePath(), adUseServer, adLockOptimistic);
    EXPECT_EQ(AddCategory(category, "  houses "), 1);
    EXPECT_EQ(FindCategory(category, "SHIPS"), 2);
    EXPECT_EQ(AddSubSection(subsection, 1, "LARGE "), 2);
    EXPECT_EQ(AddSubSection(subsection, 2, " Large "), 4); // another parent: a new entry
    EXPECT_EQ(AddCategory(category, " Towers "), 3);
    EXPECT_EQ(Names("Category"), "Houses,Ships,Towers");
    EXPECT_EQ(Names("SubSection"), "Small,Large,Galleys,Large");
    test::ExpectRefused([&] { AddCategory(category, " \t"); }, err::InvalidProcedureCall,
                        {"needs a name"});

    test::ExpectRefused([&] { RenameCategory(cn, 2, " houses"); }, err::InvalidProcedureCall,
                        {"already a category named \"Houses\""});
    test::ExpectRefused([&] { RenameSubSection(cn, 1, "large"); }, err::InvalidProcedureCall,
                        {"\"Large\""});
    RenameCategory(cn, 1, " HOUSES ");
    RenameSubSection(cn, 1, "Galleys"); // Ships has one, Houses not
    EXPECT_EQ(Names("Category"), "HOUSES,Ships,Towers");
    EXPECT_EQ(Names("SubSection"), "Galleys,Large,Galleys,Large");
    test::ExpectRefused([&] { RenameCategory(cn, 9, "Nine"); }, err::NoCurrentRow, {"9"});
    // Two categories of one name, from an old library, are renamed together.
    cn.Run("insert into Category(Name) values ('Towers')");
    RenameCategory(cn, {3, 4}, "Keeps");
    EXPECT_EQ(Names("Category"), "HOUSES,Ships,Keeps,Keeps");
}

// A template renamed, moved or copied keeps its components; a moved one keeps its key, a copy
// gets one of its own.
TEST_F(LibraryEditsTest, TemplatesAreRenamedMovedAndCopied) {
    RenameTemplate(cn, 1, "  Small Hut ");
    MoveTemplate(cn, 2, 2, 3);
    EXPECT_EQ(CopyTemplate(cn, 1), 4);
    EXPECT_EQ(CopyTemplate(cn, 3, "Longship"), 5);
    EXPECT_EQ(Index(), (Rows{"1 1 1 Small Hut 2", "2 2 3 Villa 1", "3 2 3 Galley 1",
                             "4 1 1 Copy of Small Hut 2", "5 2 3 Longship 1"}));
    EXPECT_EQ(test::StoredBlocks(cn, 4), test::StoredBlocks(cn, 1));
    EXPECT_EQ(test::StoredBlocks(cn, 2), (Rows{"1188 0 0 0 1"}));
    test::ExpectRefused([&] { MoveTemplate(cn, 1, 1, 3); }, err::NoCurrentRow, {"subsection"});
    test::ExpectRefused([&] { RenameTemplate(cn, 1, " "); }, err::InvalidProcedureCall);
    test::ExpectRefused([&] { CopyTemplate(cn, 7); }, err::NoCurrentRow, {"7"});
    EXPECT_EQ(Index().size(), 5u);
}

// A subsection or a category goes with every template filed under it, and nothing else.
TEST_F(LibraryEditsTest, DeletingASubsectionOrCategoryTakesItsTemplates) {
    EXPECT_EQ(CategoryTemplateCount(cn, 1), 2);
    EXPECT_EQ(SubSectionTemplateCount(cn, 2), 0);
    EXPECT_EQ(DeleteSubSection(cn, 2), 0);
    EXPECT_EQ(DeleteCategory(cn, 1), 2);
    EXPECT_EQ(Index(), (Rows{"3 2 3 Galley 1"}));
    EXPECT_EQ(Names("Category"), "Ships");
    EXPECT_EQ(Names("SubSection"), "Galleys");
    Statement blocks = cn.Prepare("select count(*) from TemplateBlocks");
    blocks.Step();
    EXPECT_EQ(blocks.Int(0), 1);
    test::ExpectRefused([&] { DeleteCategory(cn, 1); }, err::NoCurrentRow);
}

// Saving rewrites the components in place: the key, filing and name stay, the count follows,
// flags come from components.txt; fewer and more components both fit. Save as new leaves the
// original alone.
TEST_F(LibraryEditsTest, SaveKeepsTheKeyAndSaveAsNewTheOriginal) {
    ComponentsList list;
    list.Add("0675"); // 1653
    TemplateComponents hut = LoadStoredComponents(cn, 1);
    EXPECT_EQ(hut, (TemplateComponents{{1187, 0, 0, 0, 1}, {1653, 1, 0, 0, 1}}));
    hut.push_back({1653, -2, 3, 9, 1});
    SaveStoredComponents(cn, 1, hut, list);
    EXPECT_EQ(test::StoredBlocks(cn, 1), (Rows{"1187 0 0 0 1", "1653 1 0 0 0", "1653 -2 3 9 0"}));
    hut.erase(hut.begin());
    SaveStoredComponents(cn, 1, hut, list);
    EXPECT_EQ(test::StoredBlocks(cn, 1), (Rows{"1653 1 0 0 0", "1653 -2 3 9 0"}));
    EXPECT_EQ(SaveComponentsAsNew(cn, {{1187, 5, 5, 5, 0}}, {"2", "3", "Raft"}, list), 4);
    EXPECT_EQ(Index(), (Rows{"1 1 1 Hut 2", "2 1 1 Villa 1", "3 2 3 Galley 1", "4 2 3 Raft 1"}));
    EXPECT_EQ(test::StoredBlocks(cn, 4), (Rows{"1187 5 5 5 1"}));
    test::ExpectRefused([&] { SaveStoredComponents(cn, 1, {}, list); }, err::SubscriptOutOfRange);
    test::ExpectRefused([&] { SaveStoredComponents(cn, 9, hut, list); }, err::NoCurrentRow);
    test::ExpectRefused(
        [&] {
            SaveStoredComponents(cn, 1, {{70000, 0, 0, 0, 1}}, list);
        },
        err::Overflow, {"Component 1"});
}

// A library another program holds locked or a cancel leave the stored template as it was and
// the edited value as it is (a full disk: FullDiskTest).
TEST_F(LibraryEditsTest, AFailedSaveLeavesTheStoredTemplate) {
    TemplateComponents big(30000, Component{1, 2, 3, 4, 1});
    SaveStoredComponents(cn, 2, big, ComponentsList());
    const Rows stored = test::StoredBlocks(cn, 2);
    for (Component& c : big)
        c.X = -7;
    const TemplateComponents edited = big;
    Connection other(cn.DatabasePath());
    other.OpenConnection("");
    other.Run("begin exclusive");
    sqlite3_busy_timeout(cn.Handle(), 50);
    test::ExpectRefused([&] { SaveStoredComponents(cn, 2, big, ComponentsList()); },
                        err::EngineGeneralFailure);
    other.Run("rollback");
    auto cancel = [](std::int64_t, std::int64_t) { return false; };
    test::ExpectRefused([&] { SaveStoredComponents(cn, 2, big, ComponentsList(), cancel); },
                        err::Cancelled);
    EXPECT_EQ(big, edited);
    EXPECT_EQ(test::StoredBlocks(cn, 2), stored);
    EXPECT_EQ(Index()[1], "2 1 1 Villa 30000");
    Statement check = cn.Prepare("pragma integrity_check");
    check.Step();
    EXPECT_EQ(check.Text(0), "ok");
}

} // namespace
} // namespace mw
