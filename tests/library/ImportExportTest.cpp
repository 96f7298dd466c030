#include "DiskFaults.h"
#include "MultiFilesBuilder.h"
#include "common/Files.h"
#include "library/WindowFixture.h"
#include "library/frmTemplateInfo.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

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

    // Answers the template info dialog once it is open: a description, or Cancel when empty.
    static void FileAs(const QString& description) {
        WhenModal<frmTemplateInfo>([description](frmTemplateInfo& info) {
            info.txtDescription->setText(description);
            (description.isEmpty() ? info.cmdCancel : info.cmdOk)->click();
        });
    }

private slots:
    void everyFileSourceIsReadAndFiled() {
        ImportFixture f;
        struct Source {
            QRadioButton* Option;
            const char* Sample;
            const char* Title;
            int Components;
        };
        for (const Source& source :
             {Source{f.window->optTxt, "extract-crlf.txt", "Import Multi.txt file", 3},
              {f.window->optUox3, "uox3-items.wsc", "Import UOX3 Items.wsc file", 5},
              {f.window->optKivT, "wall.KivT", "Import Kiv Multi Template", 4},
              {f.window->optWsc, "sphere-export.wsc", "Import an exported wsc file", 3}}) {
            source.Option->setChecked(true);
            f.prompts.Answer({QString::fromStdString(DataFile(source.Sample))});
            FileAs(source.Sample);
            f.window->cmdImportTemplate_Click();
            QCOMPARE(f.prompts.Questions.back().Title, QString(source.Title));
            QCOMPARE(f.session.Buffer.ComponentCount, source.Components);
            QCOMPARE(f.window->lblStatus->text(), QString("Import Complete"));
            QCOMPARE(f.Filed().last(), "    " + QString(source.Sample));
            QVERIFY(f.window->NewCategoryID.isEmpty() && f.window->strNewDescription.isEmpty());
            QVERIFY(QApplication::overrideCursor() == nullptr);
        }
        QCOMPARE(f.prompts.Questions.front().Text, QString("Multi.txt files (*.txt)|*.txt"));
    }

    void cancelAtEachPromptFilesNothing() {
        ImportFixture f;
        f.prompts.Answer({""}); // Cancel in the open dialog: no file is read at all
        f.window->cmdImportTemplate_Click();
        f.prompts.Answer({QString::fromStdString(DataFile("extract-lf.txt"))});
        FileAs(""); // Cancel in the template info dialog
        f.window->cmdImportTemplate_Click();
        QVERIFY(f.Filed().isEmpty());
        QVERIFY(f.prompts.Messages.empty());
        QVERIFY(f.window->lblStatus->text().isEmpty());
    }

    void refusedFileIsReportedAndNoDialogFollows() {
        ImportFixture f;
        f.window->optTxt->setChecked(true);
        f.prompts.Answer({QString::fromStdString(f.library.Folder.Write(
            "bad.txt", "6 version\r\n1 template id\r\n-1 item version\r\n3 components\r\n"))});
        f.window->cmdImportTemplate_Click(); // a dialog opened now would never be answered
        QCOMPARE(f.prompts.Messages.back().Text,
                 QString("This file is not a valid multi template file"));
        QCOMPARE(f.prompts.Messages.back().Title, QString("Invalid File Type"));
        QVERIFY(f.Filed().isEmpty());
    }

    void multiFromTheGameFilesIsFiledFirstThenRead() {
        ImportFixture f;
        f.UseGameFiles();
        FileAs("Multi 3");
        f.prompts.Answer({" 3 "});
        f.window->cmdImportTemplate_Click();
        QCOMPARE(f.prompts.Questions.back().Title,
                 QString("Enter the hexidecimal Multi ID you wish to Import"));
        QCOMPARE(f.Filed(), QStringList({"    Multi 3"}));
        QCOMPARE(f.session.Buffer.ComponentCount, std::int32_t(SampleMultiFiles::Fourth.size()));
        QVERIFY(!FileExists(f.library.Folder.File("template.tmp")));
        QCOMPARE(f.window->lblStatus->text(), QString("Import Complete"));
    }

    void multiImportStopsWithAReasonAtEveryRefusal() {
        ImportFixture f;
        f.UseGameFiles();
        FileAs(""); // cancelled before any id is asked for
        f.window->cmdImportTemplate_Click();
        QCOMPARE(f.prompts.Messages.back().Text, QString("Template Import aborted"));
        QCOMPARE(f.prompts.Messages.back().Title, QString("Import was Aborted"));
        QVERIFY(f.prompts.Questions.empty());
        for (QString id : {QString(""), QString("zz"), QString("C000")}) {
            FileAs("Never filed");
            f.prompts.Answer({id});
            f.window->cmdImportTemplate_Click();
            QVERIFY(f.prompts.Messages.back().Text.startsWith("Template Import aborted"));
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
        QCOMPARE(f.prompts.Questions.back().Title, QString("File Already Exisits"));
        QCOMPARE(f.prompts.Messages.back().Text, QString("extraction canceled"));
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
        QCOMPARE(f.prompts.Messages[0].Text,
                 QString("%1 Database engine: database is locked").arg(err::EngineGeneralFailure));
        QCOMPARE(f.prompts.Messages[0].Title, ApplicationTitle);
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
        QCOMPARE(f.prompts.Questions.back().Title, QString("Export Template To"));
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
        QVERIFY(f.prompts.Messages.back().Text.contains("old.KivT"));
        QCOMPARE(ReadFile(old), std::string("old"));
        f.prompts.Answer({QString::fromStdString(f.library.Path)}); // never over the library
        f.window->cmdExportTemplate_Click();
        QVERIFY(f.prompts.Messages.back().Text.startsWith("70 "));
        QCOMPARE(ReadFile(target), exported);
    }
};

} // namespace mw::test

QTEST_MAIN(mw::test::ImportExportTest)
#include "ImportExportTest.moc"
