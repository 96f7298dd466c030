#include "Refusals.h"

#include "app/DesignExport.h"
#include "app/DesignImport.h"
#include "app/Session.h"

#include <gtest/gtest.h>

namespace mw {
namespace {

using Strings = std::vector<std::string>;

struct Library {
    Library() : session(library.Folder.Path(), library.Path) {
        LoadComponentsList(session.Components, test::DataFile("components-sample.txt"));
        session.cnTemplates.OpenConnection("");
    }
    // Every template in the tree's order (that of the rows), with its components, ids left out.
    Strings Tree() {
        Statement rows = session.cnTemplates.Prepare(
            "select c.Name || ' / ' || s.Name || ' / ' || t.Description, t.TempIndexID from "
            "TemplateIndex t join SubSection s using (SubsectID) join Category c on c.CategoryID "
            "= t.CategoryID order by c.CategoryID, s.SubsectID, t.TempIndexID");
        Strings tree;
        while (rows.Step()) {
            tree.push_back(rows.Text(0));
            for (const std::string& block :
                 test::StoredBlocks(session.cnTemplates, static_cast<std::int32_t>(rows.Int(1))))
                tree.back() += ", " + block;
        }
        return tree;
    }
    std::int64_t Rows(const char* table) {
        Statement count = session.cnTemplates.Prepare(std::string("select count(*) from ") + table);
        count.Step();
        return count.Int(0);
    }
    std::vector<std::int32_t> StoreSampleBatch() {
        return StoreDesignBatch(session, ParseDesignBatch(test::DataFile("designs-batch.uoa")));
    }

    test::TestLibrary library;
    Session session;
};

// Every format gives back the components, ids of 8000 hexadecimal and above included, and the
// .uoa its name, category and subsection, a quote in the name too.
TEST(DesignExchangeTest, ATemplateComesBackFromEveryFormat) {
    Library lib;
    lib.session.Buffer = test::BufferWith({{"32768", "0", "-3", "0", "1"},
                                           {"41644", "-1", "2", "5", "1"},
                                           {"65535", "4", "0", "-7", "1"},
                                           {"1187", "1", "1", "0", "1"}});
    ApplyComponentsList(lib.session.Buffer, lib.session.Components);
    std::int32_t id = StoreFiledByName(lib.session, {"Towers", "Stone", "Bob's \"Tower\"", true});
    const Strings blocks = test::StoredBlocks(lib.session.cnTemplates, id);
    const std::vector<std::tuple<ExportFormat, ImportSource, const char*>> formats = {
        {ExportFormat::Uoa, ImportSource::Uoa, "t.UOA"},
        {ExportFormat::TileCsv, ImportSource::TileCsv, "t.csv"},
        {ExportFormat::TileList, ImportSource::TileList, "t.list"},
        {ExportFormat::KivT, ImportSource::KivT, "t.txt"},
    };
    for (const auto& [format, source, name] : formats) {
        std::string path = lib.library.Folder.File(name);
        if (format != ExportFormat::TileList) {
            EXPECT_EQ(ExportFormatForPath(path), format);
        }
        ExportTemplateFile(lib.session, id, format, path);
        DesignLabels labels;
        ASSERT_TRUE(ReadImportDesign(lib.session, source, path, labels))
            << name << lib.session.Buffer.LastReadMessage.Text;
        std::int32_t back = StoreFiledByName(lib.session, FilingOf(labels));
        EXPECT_EQ(test::StoredBlocks(lib.session.cnTemplates, back), blocks) << name;
        if (format == ExportFormat::Uoa) {
            EXPECT_EQ(labels.Name + labels.Category + labels.Subsection,
                      "Bob's \"Tower\"TowersStone");
        }
    }
    EXPECT_EQ(ExportFormatForPath("a.uoa/t.KivT"), ExportFormat::KivT);
    EXPECT_EQ(test::FailureNumber([&] { ExportedTemplate(lib.session, 99, ExportFormat::Uoa); }),
              err::NoCurrentRow);
}

TEST(DesignExchangeTest, ALibraryGoesThroughABatchIntoAnEmptyOneUnchanged) {
    Library lib;
    lib.StoreSampleBatch();
    EXPECT_EQ(lib.Tree().front(), "Houses / Small / Cottage, 102 0 0 0 1, 103 1 0 0 1");
    EXPECT_EQ(lib.Tree().back(), "Unsorted / Unsorted / Loose Wall, 128 2 2 0 1");
    std::string file = lib.library.Folder.File("all.uoa");
    EXPECT_EQ(ExportBatchFile(lib.session, {}, file), 5);

    Library empty;
    std::vector<std::int32_t> ids = StoreDesignBatch(empty.session, ParseDesignBatch(file));
    EXPECT_EQ(ids, (std::vector<std::int32_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(empty.Tree(), lib.Tree());

    auto designs = [&](const BatchSelection& selection) {
        return ParseUoaFile(ExportedBatch(lib.session, selection)).Designs;
    };
    EXPECT_EQ(designs({"Houses", std::nullopt}).size(), 3u);
    EXPECT_EQ(designs({"Houses", "Small"}).size(), 2u);
    EXPECT_EQ(designs({"Houses", "Large"})[0].Name, "Bob's \"Inn\"");
    for (BatchSelection none : {BatchSelection{"Ships", {}}, BatchSelection{"Houses", "Huge"}})
        test::ExpectRefused([&] { ExportedBatch(lib.session, none); }, err::ItemNotInCollection);
}

TEST(DesignExchangeTest, TheSummarySaysWhatTheBatchMakes) {
    Library lib;
    lib.session.Buffer = test::BufferWith({{"1", "0", "0", "0", "1"}});
    StoreFiledByName(lib.session, {"Houses", "Small", "Hut", true});
    DesignBatch batch = ParseDesignBatch(test::DataFile("designs-batch.uoa"));
    EXPECT_EQ(BatchSummaryText(SummariseBatch(lib.session, batch)),
              "5 designs with 9 components go into 3 categories (2 new) and 4 subsections (3 "
              "new):\nHouses / Small: 2 designs\nCastles / Stone: 1 design (new category)\n"
              "Houses / Large: 1 design (new subsection)\nUnsorted / Unsorted: 1 design (new "
              "category)\n");
    EXPECT_EQ(lib.Rows("Category"), 1); // looked up, nothing made
}

// A cancel after the first design is stored takes it back with everything the batch made.
TEST(DesignExchangeTest, ACancelledBatchLeavesTheLibraryAsItWas) {
    Library lib;
    DesignBatch batch{UoaBatchVersion, {}};
    for (const char* category : {"A", "B", "C"})
        batch.Designs.push_back({"Big", category, "Sub", std::vector<UoaTile>(20000)});
    Progress cancel = [](std::int64_t done, std::int64_t) { return done < 20000; };
    test::ExpectRefused([&] { StoreDesignBatch(lib.session, batch, cancel); }, err::Cancelled);
    for (const char* table : {"Category", "SubSection", "TemplateIndex", "TemplateBlocks"})
        EXPECT_EQ(lib.Rows(table), 0) << table;
}

// More templates than the 16-bit count can say, and a template without components, are refused.
TEST(DesignExchangeTest, ExportsRefuseWhatADesignFileCannotHold) {
    Library lib;
    for (const char* sql :
         {"insert into Category(Name) values ('Walls')",
          "insert into SubSection(CategoryID, Name) values (1, 'Stone')",
          "with recursive n(i) as (select 1 union all select i + 1 from n where i < 32768) "
          "insert into TemplateIndex(BlockCount, CategoryID, SubsectID, Description) "
          "select 0, 1, 1, 'Wall' from n"})
        lib.session.cnTemplates.Run(sql);
    test::ExpectRefused([&] { ExportedBatch(lib.session, {}); }, err::Overflow, {"at most 32767"});
    test::ExpectRefused([&] { ExportedTemplate(lib.session, 1, ExportFormat::Uoa); },
                        err::SubscriptOutOfRange, {"has no components"});
}

} // namespace
} // namespace mw
