#include "app/DesignExport.h"
#include "app/DesignImport.h"
#include "formats/UoaDesigns.h"
#include "library/WindowFixture.h"

#include <QMenu>

namespace mw::test {

class ExchangeWindowTest : public QObject {
    Q_OBJECT

    // Houses / Small / Hut and an empty Houses / Large, Ships / Galleys / Galley.
    struct Fixture : WindowFixture {
        Fixture() {
            AddHousesSmall({"1187, 0, 0, 0, 1", "1188, -1, 2, 5, 0"});
            Sql("insert into SubSection(CategoryID, Name) values (1, 'Large');"
                "insert into Category(Name) values ('Ships');"
                "insert into SubSection(CategoryID, Name) values (2, 'Galleys');"
                "insert into TemplateIndex(BlockCount, CategoryID, SubsectID, Description) "
                "values (1, 2, 3, 'Galley');"
                "insert into TemplateBlocks(ItemID, X, Y, Z, Flag, TempIndexID) "
                "values (16, 0, 0, 0, 1, 2);");
            Open();
        }
        QTreeWidgetItem* Node(const QString& text) const {
            return window->trvTemplates->findItems(text, Qt::MatchExactly | Qt::MatchRecursive)
                .value(0);
        }
        // The context menu's entries at a point of the tree, the menu closed unused.
        QStringList MenuAt(QPoint at) {
            QStringList entries;
            QTimer poll;
            QObject::connect(&poll, &QTimer::timeout, [&] {
                if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                    for (QAction* action : menu->actions())
                        entries << action->text() + (action->isEnabled() ? "" : " (disabled)");
                    menu->close();
                }
            });
            poll.start(5);
            window->trvTemplates_ContextMenu(at);
            return entries;
        }
    };

    // What the template info dialog shows when it opens; then OK, or Cancel.
    static void Proposed(QStringList& shown, bool ok) {
        WhenModal<frmTemplateInfo>([&shown, ok](frmTemplateInfo& info) {
            shown = QStringList{
                info.cboCategory->currentText(), info.cboCategory->currentData().toString(),
                info.cboSubSection->currentText(), info.cboSubSection->currentData().toString(),
                info.txtDescription->text()};
            (ok ? info.cmdOk : info.cmdCancel)->click();
        });
    }

private slots:
    // Labels the library has are chosen by their ids; those it lacks are offered (id -1) and
    // made only by OK, so a cancel leaves the library as it was.
    void aSingleDesignProposesItsOwnLabels() {
        Fixture f;
        f.window->optUoa->setChecked(true);
        const UoaFile cottage{UoaSingleVersion, {{"Cottage", "Houses", "Large", {{102, 0, 0, 0}}}}};
        const QString tower = QString::fromStdString(DataFile("design-tower.uoa"));
        QStringList shown;
        f.prompts.Answer(
            {QString::fromStdString(f.library.Folder.Write("cottage.uoa", UoaFileBytes(cottage)))});
        Proposed(shown, true);
        f.window->cmdImportTemplate_Click();
        QCOMPARE(shown, QStringList({"Houses", "1", "Large", "2", "Cottage"}));
        for (bool ok : {false, true}) {
            f.prompts.Answer({tower});
            Proposed(shown, ok);
            f.window->cmdImportTemplate_Click(); // the cancel made nothing: still offered as new
            QCOMPARE(shown, QStringList({"Towers", "-1", "Stone", "-1", "Small Tower"}));
        }
        QCOMPARE(f.Tree().join('|'), "Houses|  Small|    Hut|  Large|    Cottage|Ships|  Galleys|"
                                     "    Galley|Towers|  Stone|    Small Tower");
    }

    // The "*.csv" source reads by the filter chosen: the plain list is refused as CSV.
    void aTileListIsReadAsItsFilterSays() {
        Fixture f;
        f.window->optCsv->setChecked(true);
        const QString list = QString::fromStdString(DataFile("tiles.txt"));
        f.prompts.AnswerFile(list, "Tile list CSV (*.csv)");
        f.window->cmdImportTemplate_Click();
        QVERIFY(!f.prompts.Messages.isEmpty());
        f.prompts.AnswerFile(list, "Tile list (*.txt)");
        FileAs("Listed");
        f.window->cmdImportTemplate_Click();
        QCOMPARE(f.session.Buffer.ComponentCount, 4);
        QVERIFY(f.Tree().contains("    Listed"));
    }

    // One question says where the designs go; No stores nothing, Yes all under their own labels.
    void aBatchIsStoredWholeAfterOneQuestion() {
        Fixture f;
        f.window->optUoa->setChecked(true);
        const QString batch = QString::fromStdString(DataFile("designs-batch.uoa"));
        const QStringList before = f.Tree();
        f.prompts.Answer({batch, "No"});
        f.window->cmdImportTemplate_Click();
        QCOMPARE(f.Tree(), before);
        f.prompts.Answer({batch, "Yes"});
        f.window->cmdImportTemplate_Click();
        QCOMPARE(f.prompts.Questions.size(), 2);
        QVERIFY(f.prompts.Questions[0].startsWith("5 designs"));
        QVERIFY(f.prompts.Questions[0].contains("Houses / Large: 1 design\n"));
        const QString castle = "    " + QString("Große Burg am Fluss, ").repeated(7);
        QCOMPARE(f.Tree(), QStringList({"Houses", "  Small", "    Hut", "    Cottage",
                                        "    Cottage", "  Large", "    Bob's \"Inn\"", "Ships",
                                        "  Galleys", "    Galley", "Castles", "  Stone", castle,
                                        "Unsorted", "  Unsorted", "    Loose Wall"}));
        QCOMPARE(f.window->lblStatus->text(), "Import Complete: 5 designs");
    }

    // The filter chosen decides the format; a name that ends in no offered extension gets the
    // filter's, and a file of the longer name is replaced only when the user agrees.
    void exportWritesTheFormatOfTheFilterChosen() {
        Fixture f;
        f.Select("Hut");
        const std::tuple<QString, const char*, const char*, ExportFormat> cases[] = {
            {"Multi Template files (*.KivT)", "hut", "hut.KivT", ExportFormat::KivT},
            {"UO Architect designs (*.uoa)", "hut", "hut.uoa", ExportFormat::Uoa},
            {"Tile list CSV (*.csv)", "hut.TXT", "hut.TXT", ExportFormat::TileCsv},
            {"Tile list (*.txt)", "hut.list", "hut.list.txt", ExportFormat::TileList}};
        for (const auto& [filter, typed, written, format] : cases) {
            f.prompts.AnswerFile(QString::fromStdString(f.library.Folder.File(typed)), filter);
            f.window->cmdExportTemplate_Click();
            QCOMPARE(ReadFile(f.library.Folder.File(written)),
                     ExportedTemplate(f.session, 1, format));
        }
        QVERIFY(f.prompts.Filters.last().startsWith("Multi Template files (*.KivT)|*.KivT|"));
        QVERIFY(f.prompts.Questions.isEmpty());
        f.library.Folder.Write("hut.uoa", "kept");
        f.prompts.AnswerFile(QString::fromStdString(f.library.Folder.File("hut")),
                             "UO Architect designs (*.uoa)");
        f.prompts.Answer({"No"});
        f.window->cmdExportTemplate_Click();
        QCOMPARE(f.prompts.Questions.size(), 1);
        QCOMPARE(ReadFile(f.library.Folder.File("hut.uoa")), std::string("kept"));
    }

    // A category or subsection goes as one batch by its node, also one whose stored name is not
    // UTF-8, the library off the nodes; a template has no such menu.
    void theTreeExportsACategoryOrTheLibraryAsABatch() {
        Fixture f;
        f.Sql("insert into Category(Name) values (cast(X'42757267E4' as text));"
              "insert into SubSection(CategoryID, Name) values (3, 'Hof');"
              "insert into TemplateIndex(BlockCount, CategoryID, SubsectID, Description) "
              "values (1, 3, 4, 'Alte Burg');"
              "insert into TemplateBlocks(ItemID, X, Y, Z, Flag, TempIndexID) "
              "values (17, 0, 0, 0, 1, 3);");
        f.window->FillTemplatesList();
        f.window->show();
        QTreeWidget* tree = f.window->trvTemplates;
        tree->expandAll();
        QCOMPARE(f.MenuAt(tree->visualItemRect(f.Node("Houses")).center()),
                 QStringList({"Export \"Houses\" as a batch..."}));
        QVERIFY(f.MenuAt(tree->visualItemRect(f.Node("Hut")).center()).isEmpty());
        QCOMPARE(f.MenuAt({5, tree->viewport()->height() - 5}),
                 QStringList({"Export the whole library as a batch..."}));

        const std::pair<QTreeWidgetItem*, QStringList> cases[] = {
            {f.Node("Ships"), {"Galley"}},
            {f.Node("Small"), {"Hut"}},
            {f.window->trvTemplates->topLevelItem(2), {"Alte Burg"}},
            {nullptr, {"Hut", "Galley", "Alte Burg"}}};
        for (const auto& [node, names] : cases) {
            f.prompts.Answer({QString::fromStdString(f.library.Folder.File("batch"))});
            f.window->mnuExportBatch_Click(node);
            QStringList written;
            for (const UoaDesign& design :
                 ParseDesignBatch(f.library.Folder.File("batch.uoa")).Designs)
                written << QString::fromStdString(design.Name);
            QCOMPARE(written, names);
            std::filesystem::remove(f.library.Folder.File("batch.uoa"));
        }
        QCOMPARE(f.window->lblStatus->text(), "Export Complete: 3 designs");
    }

    // Kept under "Settings" like the other import sources, and chosen again at the next start.
    void theNewSourcesAreStoredAndReadBack() {
        for (const char* key : {"OptUoa", "OptCsv"}) {
            WindowFixture f;
            frmWardstone& w = f.Open();
            w.findChild<QRadioButton*>(QString(key).replace("Opt", "opt"))->setChecked(true);
            w.SaveSettings();
            QSettings stored("MultiWardstone", "MultiWardstone");
            QCOMPARE(stored.value(QString("Settings/") + key).toString(), "True");
            QCOMPARE(stored.value("Settings/OptKivT").toString(), "False");
            frmWardstone& again = f.Open();
            QVERIFY(
                again.findChild<QRadioButton*>(QString(key).replace("Opt", "opt"))->isChecked());
            QVERIFY(!again.optKivT->isChecked());
        }
    }
};

} // namespace mw::test

QTEST_MAIN(mw::test::ExchangeWindowTest)
#include "ExchangeWindowTest.moc"
