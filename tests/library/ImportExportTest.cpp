#include "MultiFilesBuilder.h"
#include "formats/SamplePackage.h"
#include "library/WindowFixture.h"

#include <tuple>

namespace mw::test {

class ImportExportTest : public QObject {
    Q_OBJECT

    struct ImportFixture : WindowFixture {
        ImportFixture() {
            AddHousesSmall({"1187, 0, 0, 0, 1", "1188, -1, 2, 5, 0"});
            Open();
        }
        void UseGameFiles() {
            session.MultiIdxPath = game.Paths.MultiIdxPath;
            session.MultiMulPath = game.Paths.MultiMulPath;
            window->optMultiMuls->setChecked(true);
        }
        QStringList Filed() const { return Tree().mid(3); } // what was imported after the Hut
        SampleMultiFiles game{library.Folder};
    };

private slots:
    // Each option reaches its own reader: a sample read by the wrong one is refused or miscounted.
    // A multi of the game files or of the package is asked for by its hexadecimal id and passes
    // through template.tmp, which must go afterwards: the next one would ask to overwrite it.
    void everySourceIsReadAndFiled() {
        ImportFixture f;
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
        ImportFixture f;
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
        ImportFixture f;
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
        ImportFixture f;
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
};

} // namespace mw::test

QTEST_MAIN(mw::test::ImportExportTest)
#include "ImportExportTest.moc"
