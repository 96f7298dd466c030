#include "DiskFaults.h"
#include "MultiFilesBuilder.h"
#include "common/Files.h"
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
    // A multi of the game files or of the package is asked for by its hexadecimal id.
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
            QCOMPARE(f.window->lblStatus->text(), QString("Import Complete"));
            QCOMPARE(f.Filed().last(), "    " + QString::number(filed));
        }
        QVERIFY(!FileExists(f.library.Folder.File("template.tmp")));
    }

    // Cancel at either prompt, or a file the reader refuses, files nothing.
    void cancelAtEachPromptOrARefusedFileFilesNothing() {
        ImportFixture f;
        f.prompts.Answer({""}); // Cancel in the open dialog: no file is read at all
        f.window->cmdImportTemplate_Click();
        f.prompts.Answer({QString::fromStdString(DataFile("extract-lf.txt"))});
        FileAs(""); // Cancel in the template info dialog
        f.window->cmdImportTemplate_Click();
        QVERIFY(f.prompts.Messages.empty());
        QVERIFY(f.window->lblStatus->text().isEmpty());
        f.prompts.Answer({QString::fromStdString(f.library.Folder.Write(
            "bad.txt", "6 version\r\n1 template id\r\n-1 item version\r\n3 components\r\n"))});
        f.window->cmdImportTemplate_Click(); // a dialog opened now would never be answered
        QCOMPARE(f.LastMessage(), QString("This file is not a valid multi template file"));
        QVERIFY(f.Filed().isEmpty());
    }

    // A multi of the game files is filed before it is read; every refusal says why.
    void multiImportStopsWithAReasonAtEveryRefusal() {
        ImportFixture f;
        f.UseGameFiles();
        FileAs(""); // cancelled before any id is asked for
        f.window->cmdImportTemplate_Click();
        QCOMPARE(f.LastMessage(), QString("Template Import aborted"));
        QVERIFY(f.prompts.Questions.empty());
        for (QString id : {QString(""), QString("zz")}) { // no id, and no hexadecimal one
            FileAs("Never filed");
            f.prompts.Answer({id});
            f.window->cmdImportTemplate_Click();
            QVERIFY(f.LastMessage().startsWith("Template Import aborted"));
        }
        FileAs("Never filed");
        f.prompts.Answer({"1"}); // entry 2: free
        f.window->cmdImportTemplate_Click();
        QCOMPARE(f.prompts.Messages.back().Title,
                 QString("Error While Reading Multi Template File"));
        std::string existing = f.library.Folder.Write("template.tmp", "kept");
        FileAs("Never filed");
        f.prompts.Answer({"0", "No"});
        f.window->cmdImportTemplate_Click();
        QCOMPARE(f.LastMessage(), QString("extraction canceled"));
        QCOMPARE(ReadFile(existing), std::string("kept"));
        QVERIFY(f.Filed().isEmpty());
        QVERIFY(f.prompts.AllAnswered());
    }

    // Another program holds the library's write lock while the template info dialog opens: the
    // import stops with the engine's failure, nothing is filed and the window goes on.
    void lockedLibraryStopsTheImportAndTheWindowGoesOn() {
        ImportFixture f;
        f.window->optTxt->setChecked(true);
        const QString sample = QString::fromStdString(DataFile("extract-lf.txt"));
        {
            Connection other(f.library.Path);
            other.OpenConnection("");
            other.Run("begin exclusive");
            other.Run("insert into Category(Name) values ('Elsewhere')");
            f.prompts.Answer({sample});
            f.window->cmdImportTemplate->click();
            other.Run("rollback");
        }
        QCOMPARE(f.prompts.Messages.size(), size_t(1));
        QCOMPARE(f.LastMessage(),
                 QString("%1 Database engine: database is locked").arg(err::EngineGeneralFailure));
        QVERIFY(QApplication::overrideCursor() == nullptr);
        QVERIFY(f.Filed().isEmpty());

        f.prompts.Answer({sample});
        FileAs("After the lock");
        f.window->cmdImportTemplate->click();
        QCOMPARE(f.Filed(), QStringList({"    After the lock"}));
    }

    void exportWritesTheTemplateAndKeepsAnOldFileOnFailure() {
        ImportFixture f;
        f.Select("Hut");
        std::string target = f.library.Folder.Write("out.KivT", "old");
        f.prompts.Answer({QString::fromStdString(target)});
        f.window->cmdExportTemplate_Click();
        const std::string exported = TemplateFile({"1187 0 0 0 1", "1188 -1 2 5 0"});
        QCOMPARE(ReadFile(target), exported);

        f.prompts.Answer({""}); // Cancel writes nothing
        f.window->cmdExportTemplate_Click();
        std::string old = f.library.Folder.Write("old.KivT", "old");
        f.prompts.Answer({QString::fromStdString(old)});
        {
            FileSizeLimit full(20); // the disk fills up while the new file is written
            f.window->cmdExportTemplate_Click();
        }
        QVERIFY(f.LastMessage().contains("old.KivT"));
        QCOMPARE(ReadFile(old), std::string("old"));
        f.prompts.Answer({QString::fromStdString(f.library.Path)}); // never over the library
        f.window->cmdExportTemplate_Click();
        QVERIFY(f.LastMessage().startsWith("70 "));
        QCOMPARE(ReadFile(target), exported);
    }
};

} // namespace mw::test

QTEST_MAIN(mw::test::ImportExportTest)
#include "ImportExportTest.moc"
