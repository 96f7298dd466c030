#include "DiskFaults.h"
#include "MultiFilesBuilder.h"
#include "app/DesignExport.h"
#include "formats/SamplePackage.h"
#include "formats/UoaDesigns.h"
#include "library/WindowFixture.h"

#include <tuple>

namespace mw::test {

class ImportExportTest : public QObject {
    Q_OBJECT

    // Houses / Small / Hut, an empty Houses / Large, Ships / Galleys / Galley and an empty Towers,
    // all of them in the tree, and the sample game files beside the library.
    struct Fixture : WindowFixture {
        Fixture() {
            AddHousesSmall({"1187, 0, 0, 0, 1", "1188, -1, 2, 5, 0"});
            Sql("insert into SubSection(CategoryID, Name) values (1, 'Large');"
                "insert into Category(Name) values ('Ships'), ('Towers');"
                "insert into SubSection(CategoryID, Name) values (2, 'Galleys');"
                "insert into TemplateIndex(BlockCount, CategoryID, SubsectID, Description) "
                "values (1, 2, 3, 'Galley');"
                "insert into TemplateBlocks(ItemID, X, Y, Z, Flag, TempIndexID) "
                "values (16, 0, 0, 0, 1, 2);");
            Open();
        }
        void UseGameFiles() {
            session.MultiIdxPath = game.Paths.MultiIdxPath;
            session.MultiMulPath = game.Paths.MultiMulPath;
            window->optMultiMuls->setChecked(true);
        }
        // What was imported: the templates filed after the Hut, in Houses / Small.
        QStringList Filed() const {
            const QStringList tree = Tree();
            return tree.mid(3, tree.indexOf("  Large") - 3);
        }
        QString Path(const std::string& name) const {
            return QString::fromStdString(library.Folder.File(name));
        }
        SampleMultiFiles game{library.Folder};
    };

private slots:
    // Each option reaches its own reader: a sample read by the wrong one is refused or miscounted.
    // A multi of the game files or of the package is asked for by its hexadecimal id and passes
    // through template.tmp, which must go afterwards: the next one would ask to overwrite it.
    void everySourceIsReadAndFiled() {
        Fixture f;
        f.UseGameFiles();
        f.session.MultiUopPath =
            f.library.Folder.Write("MultiCollection.uop", PackageBytes(SampleMultis({0, 1})));
        const std::tuple<QRadioButton*, std::string, size_t> sources[] = {
            {f.window->optTxt, DataFile("extract-crlf.txt"), 3},
            {f.window->optUox3, DataFile("uox3-items.wsc"), 5},
            {f.window->optKivT, DataFile("wall.KivT"), 4},
            {f.window->optWsc, DataFile("sphere-export.wsc"), 3},
            {f.window->optMultiMuls, " 3 ", SampleMultiFiles::Fourth.size()},
            {f.window->optUop, "1", SampleMulti(1).size()}};
        int filed = 0;
        for (const auto& [option, answer, components] : sources) {
            option->setChecked(true);
            f.prompts.Answer({QString::fromStdString(answer)});
            FileAs(QString::number(++filed));
            f.window->cmdImportTemplate_Click();
            QCOMPARE(f.session.Buffer.ComponentCount, std::int32_t(components));
            QCOMPARE(f.Filed().last(), "    " + QString::number(filed));
        }
    }

    // A cancel at any prompt, of a file or of a multi of the game files (filed before it is
    // read), or a file the reader refuses, files nothing; a template.tmp already there is kept
    // unless the user agrees.
    void cancelAtEachPromptOrARefusedFileFilesNothing() {
        Fixture f;
        f.prompts.Answer({""}); // Cancel in the open dialog: no file is read at all
        f.window->cmdImportTemplate_Click();
        f.prompts.Answer({QString::fromStdString(DataFile("extract-lf.txt"))});
        FileAs(""); // Cancel in the template info dialog
        f.window->cmdImportTemplate_Click();
        QVERIFY(f.prompts.Messages.empty());
        f.prompts.Answer({QString::fromStdString(f.library.Folder.Write(
            "bad.txt", "6 version\r\n1 template id\r\n-1 item version\r\n3 components\r\n"))});
        f.window->cmdImportTemplate_Click(); // a dialog opened now would never be answered
        QVERIFY(f.LastMessage().contains("not a valid"));

        f.UseGameFiles();
        FileAs(""); // cancelled before any id is asked for
        f.window->cmdImportTemplate_Click();
        QVERIFY(f.LastMessage().contains("aborted"));
        FileAs("Never filed");
        f.prompts.Answer({""}); // no id
        f.window->cmdImportTemplate_Click();
        std::string existing = f.library.Folder.Write("template.tmp", "kept");
        FileAs("Never filed");
        f.prompts.Answer({"0", "No"});
        f.window->cmdImportTemplate_Click();
        QVERIFY(f.LastMessage().contains("canceled"));
        QCOMPARE(ReadFile(existing), std::string("kept"));
        QVERIFY(f.Filed().isEmpty());
    }

    // Multi Muls reads the game files before it asks about template.tmp, and its refusal names the
    // multi as typed; UOP without a package set says so before the template is filed.
    void gameFileImportsReadFirstAndNameTheMulti() {
        Fixture f;
        f.UseGameFiles();
        const std::string existing = f.library.Folder.Write("template.tmp", "kept");
        FileAs("Never filed");
        f.prompts.Answer({"20"});
        f.window->cmdImportTemplate_Click();
        QVERIFY(f.prompts.Questions.isEmpty()); // nothing read to overwrite it with
        QVERIFY2(f.LastMessage().contains("no multi 0x20 (entry 33)"), qPrintable(f.LastMessage()));
        QCOMPARE(ReadFile(existing), std::string("kept"));

        bool filed = false;
        QPointer<ShownWatch> watch = WhenModal<frmTemplateInfo>([&filed](frmTemplateInfo& info) {
            filed = true;
            info.cmdCancel->click();
        });
        f.window->optUop->setChecked(true);
        f.window->cmdImportTemplate_Click();
        delete watch;
        QVERIFY(!filed);
        QVERIFY(f.LastMessage().contains("no MultiCollection.uop is set"));
        QVERIFY(f.Filed().isEmpty());
    }

    // Another program holds the library's write lock while the template info dialog opens: the
    // import stops with the engine's failure, shown once, and nothing is filed.
    void lockedLibraryStopsTheImportAndTheWindowGoesOn() {
        Fixture f;
        f.window->optTxt->setChecked(true);
        {
            Connection other(f.library.Path);
            other.OpenConnection("");
            other.Run("begin exclusive");
            other.Run("insert into Category(Name) values ('Elsewhere')");
            f.prompts.Answer({QString::fromStdString(DataFile("extract-lf.txt"))});
            f.window->cmdImportTemplate->click();
            other.Run("rollback");
        }
        QCOMPARE(f.prompts.Messages.size(), 1);
        QVERIFY(f.LastMessage().contains("locked"));
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QVERIFY(f.Filed().isEmpty());
    }

    // A label the library has is chosen by its id; one it lacks is offered (id -1) and made only
    // by OK, so that a cancel leaves the library as it was. A tile list is read as its filter says.
    void aSingleDesignProposesItsOwnLabels() {
        Fixture f;
        f.window->optUoa->setChecked(true);
        for (bool ok : {false, true}) {
            QString shown;
            WhenModal<frmTemplateInfo>([&shown, ok](frmTemplateInfo& info) {
                shown = QStringList{info.cboCategory->currentText(),
                                    info.cboCategory->currentData().toString(),
                                    info.cboSubSection->currentText(),
                                    info.cboSubSection->currentData().toString(),
                                    info.txtDescription->text()}
                            .join(' ');
                (ok ? info.cmdOk : info.cmdCancel)->click();
            });
            f.prompts.Answer({QString::fromStdString(DataFile("design-tower.uoa"))});
            f.window->cmdImportTemplate_Click();
            QCOMPARE(shown, "Towers 3 Stone -1 Small Tower");
        }
        f.window->optCsv->setChecked(true);
        f.prompts.AnswerFile(QString::fromStdString(DataFile("tiles.txt")), "Tile list (*.txt)");
        FileAs("Listed");
        f.window->cmdImportTemplate_Click();
        QCOMPARE(f.Tree().join('|'), "Houses|  Small|    Hut|    Listed|  Large|Ships|  Galleys|"
                                     "    Galley|Towers|  Stone|    Small Tower");
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
        QVERIFY(f.prompts.Questions[0].contains("Houses / Large: 1 design\n"));
        const QString castle = "    " + QString("Große Burg am Fluss, ").repeated(7);
        QCOMPARE(f.Tree(), QStringList({"Houses", "  Small", "    Hut", "    Cottage",
                                        "    Cottage", "  Large", "    Bob's \"Inn\"", "Ships",
                                        "  Galleys", "    Galley", "Towers", "Castles", "  Stone",
                                        castle, "Unsorted", "  Unsorted", "    Loose Wall"}));
        QCOMPARE(f.window->lblStatus->text(), "Import Complete: 5 designs");
    }

    // The filter chosen decides the format. A new name that ends in no offered extension gets
    // the filter's, and a file of the longer name is replaced only when the user agrees. No
    // status text follows.
    void exportWritesTheFormatOfTheFilterChosen() {
        Fixture f;
        f.Select("Hut");
        for (const auto& [filter, typed, written, format] :
             {std::tuple{"Multi Template files (*.KivT)", "hut", "hut.KivT", ExportFormat::KivT},
              {"UO Architect designs (*.uoa)", "hut", "hut.uoa", ExportFormat::Uoa},
              {"Tile list CSV (*.csv)", "hut.TXT", "hut.TXT", ExportFormat::TileCsv},
              {"Tile list (*.txt)", "hut.list", "hut.list.txt", ExportFormat::TileList}}) {
            f.prompts.AnswerFile(f.Path(typed), filter);
            f.window->cmdExportTemplate_Click();
            QCOMPARE(ReadFile(f.library.Folder.File(written)),
                     ExportedTemplate(f.session, 1, format));
        }
        QCOMPARE(f.window->lblStatus->text(), QString()); // a single export ends without a word
        QVERIFY(f.prompts.Filters.last().startsWith("Multi Template files (*.KivT)|*.KivT|"));
        f.library.Folder.Write("hut.uoa", "kept");
        f.prompts.AnswerFile(f.Path("hut"), "UO Architect designs (*.uoa)");
        f.prompts.Answer({"No"});
        f.window->cmdExportTemplate_Click();
        QCOMPARE(f.prompts.Questions.size(), 1);
        QCOMPARE(ReadFile(f.library.Folder.File("hut.uoa")), std::string("kept"));

        // The file is replaced only once the new one is complete, and never the library.
        {
            FileSizeLimit full(20); // the disk fills up while the new file is written
            f.prompts.AnswerFile(f.Path("hut.KivT"), "Multi Template files (*.KivT)");
            f.window->cmdExportTemplate_Click();
        }
        QVERIFY(f.LastMessage().contains("hut.KivT"));
        QCOMPARE(ReadFile(f.library.Folder.File("hut.KivT")),
                 ExportedTemplate(f.session, 1, ExportFormat::KivT));
        f.prompts.Answer({QString::fromStdString(f.library.Path)});
        f.window->cmdExportTemplate_Click();
        QVERIFY(f.LastMessage().startsWith("70 "));
    }

    // A category, a subsection (also of a stored name that is not UTF-8) or, without a node,
    // the whole library goes into one batch.
    void theTreeExportsABatchByItsNode() {
        Fixture f;
        f.Sql("insert into Category(Name) values (cast(X'42757267E4' as text));"
              "insert into SubSection(CategoryID, Name) values (4, 'Hof');"
              "insert into TemplateIndex(BlockCount, CategoryID, SubsectID, Description) "
              "values (1, 4, 4, 'Alte Burg');"
              "insert into TemplateBlocks(ItemID, X, Y, Z, Flag, TempIndexID) "
              "values (17, 0, 0, 0, 1, 3);");
        f.window->FillTemplatesList();
        QTreeWidget* tree = f.window->trvTemplates;
        for (const auto& [node, names] :
             {std::pair{tree->topLevelItem(1), QStringList{"Galley"}},
              {tree->topLevelItem(0)->child(0), {"Hut"}},
              {tree->topLevelItem(3)->child(0), {"Alte Burg"}},
              {static_cast<QTreeWidgetItem*>(nullptr), {"Hut", "Galley", "Alte Burg"}}}) {
            std::filesystem::remove(f.library.Folder.File("batch.uoa"));
            f.prompts.Answer({f.Path("batch")});
            f.window->mnuExportBatch_Click(node);
            QStringList written;
            for (const UoaDesign& design : ReadUoaFile(f.library.Folder.File("batch.uoa")).Designs)
                written << QString::fromStdString(design.Name);
            QCOMPARE(written, names);
        }
        QCOMPARE(f.window->lblStatus->text(), "Export Complete: 3 designs");
    }
};

} // namespace mw::test

QTEST_MAIN(mw::test::ImportExportTest)
#include "ImportExportTest.moc"
