#include "MultiFilesBuilder.h"
#include "common/TextFile.h"
#include "library/WindowFixture.h"
#include "library/frmTemplateInfo.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

namespace mw::test {

class ImportExportTest : public QObject {
    Q_OBJECT

    struct ImportFixture : WindowFixture {
        ImportFixture() {
            Sql("insert into Category(Name) values ('Houses');"
                "insert into SubSection(CategoryID, Name) values (1, 'Small')");
            library.Folder.Write("components.txt", "ID Name\r\n0675 door\r\n");
            Open();
        }
        QString Sample(const char* name) { return QString::fromStdString(DataFile(name)); }
    };

    // Answers the template info dialog once it is open: a description, or Cancel when empty.
    static void FileAs(const QString& description) {
        QTimer::singleShot(0, [description] {
            auto* info = qobject_cast<frmTemplateInfo*>(QApplication::activeModalWidget());
            QVERIFY(info);
            if (description.isEmpty()) {
                info->cmdCancel->click();
                return;
            }
            info->txtDescription->setText(description);
            info->cmdOk->click();
        });
    }

private slots:
    void textFileIsFiledAndTheStatusSaysSo() {
        ImportFixture f;
        f.window->optTxt->setChecked(true);
        f.prompts.Answer({f.Sample("extract-crlf.txt")});
        FileAs("Cottage");
        f.window->cmdImportTemplate_Click();
        QCOMPARE(f.prompts.Questions.back().Title, QString("Import Multi.txt file"));
        QCOMPARE(f.prompts.Questions.back().Text, QString("Multi.txt files (*.txt)|*.txt"));
        QCOMPARE(f.Tree(), QStringList({"Houses", "  Small", "    Cottage"}));
        QCOMPARE(f.window->lblStatus->text(), QString("Import Complete"));
        QVERIFY(f.window->NewCategoryID.isEmpty() && f.window->strNewDescription.isEmpty());
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    void cancelAtEachPromptFilesNothing() {
        ImportFixture f;
        f.prompts.Answer({""}); // Cancel in the open dialog: no file is read at all
        f.window->cmdImportTemplate_Click();
        QCOMPARE(f.prompts.Questions.back().Title, QString("Import Kiv Multi Template"));
        f.prompts.Answer({f.Sample("extract-lf.txt")});
        FileAs(""); // Cancel in the template info dialog
        f.window->cmdImportTemplate_Click();
        QVERIFY(f.Tree().isEmpty());
        QVERIFY(f.prompts.Messages.empty());
        QVERIFY(f.window->lblStatus->text().isEmpty());
    }

    void refusedFileIsReportedAndNoDialogFollows() {
        ImportFixture f;
        f.window->optTxt->setChecked(true);
        QString bad = QString::fromStdString(f.library.Folder.Write(
            "bad.txt", "6 version\r\n1 template id\r\n-1 item version\r\n3 components\r\n"));
        f.prompts.Answer({bad}); // a dialog opened now would never be answered
        f.window->cmdImportTemplate_Click();
        QCOMPARE(f.prompts.Messages.back().Text,
                 QString("This file is not a valid multi template file"));
        QCOMPARE(f.prompts.Messages.back().Title, QString("Invalid File Type"));
        QVERIFY(f.Tree().isEmpty());
    }

    void worldSavesAreCentredAndFiled() {
        ImportFixture f;
        f.window->optUox3->setChecked(true);
        f.prompts.Answer({f.Sample("uox3-items.wsc")});
        FileAs("From UOX3");
        f.window->cmdImportTemplate_Click();
        QCOMPARE(f.prompts.Questions.back().Title, QString("Import UOX3 Items.wsc file"));
        f.window->optWsc->setChecked(true);
        f.prompts.Answer({f.Sample("sphere-export.wsc")});
        FileAs("From Sphere");
        f.window->cmdImportTemplate_Click();
        QCOMPARE(f.prompts.Questions.back().Title, QString("Import an exported wsc file"));
        QCOMPARE(f.Tree(), QStringList({"Houses", "  Small", "    From UOX3", "    From Sphere"}));
        QCOMPARE(f.session.Buffer.X[0], std::string("-1")); // 100, 101, 102 around 101
    }

    void multiFromTheGameFilesIsFiledFirstThenRead() {
        ImportFixture f;
        SampleMultiFiles game(f.library.Folder);
        f.session.MultiIdxPath = game.Paths.MultiIdxPath;
        f.session.MultiMulPath = game.Paths.MultiMulPath;
        f.window->optMultiMuls->setChecked(true);
        FileAs("Multi 3");
        f.prompts.Answer({" 3 "});
        f.window->cmdImportTemplate_Click();
        QCOMPARE(f.prompts.Questions.back().Title,
                 QString("Enter the hexidecimal Multi ID you wish to Import"));
        QCOMPARE(f.Tree(), QStringList({"Houses", "  Small", "    Multi 3"}));
        QCOMPARE(f.session.Buffer.ComponentCount, std::int32_t(SampleMultiFiles::Fourth.size()));
        QVERIFY(!FileExists(f.library.Folder.File("template.tmp")));
        QCOMPARE(f.window->lblStatus->text(), QString("Import Complete"));
    }

    void multiImportStopsWithAReasonAtEveryRefusal() {
        ImportFixture f;
        SampleMultiFiles game(f.library.Folder);
        f.session.MultiIdxPath = game.Paths.MultiIdxPath;
        f.session.MultiMulPath = game.Paths.MultiMulPath;
        f.window->optMultiMuls->setChecked(true);
        FileAs(""); // cancelled before any id is asked for
        f.window->cmdImportTemplate_Click();
        QCOMPARE(f.prompts.Messages.back().Text, QString("Template Import aborted"));
        QCOMPARE(f.prompts.Messages.back().Title, QString("Import was Aborted"));
        QVERIFY(f.prompts.Questions.empty());
        for (QString id : {QString(""), QString("zz"), QString("7FFF")}) {
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
        QVERIFY(f.Tree().isEmpty());
        QVERIFY(f.prompts.AllAnswered());
    }

    void exportWritesTheTemplateAndKeepsAnOldFileOnFailure() {
        ImportFixture f;
        f.prompts.Answer({f.Sample("extract-crlf.txt")});
        FileAs("Cottage");
        f.window->cmdImportTemplate_Click();
        f.window->trvTemplates->setCurrentItem(
            f.window->trvTemplates->findItems("Cottage", Qt::MatchExactly | Qt::MatchRecursive)
                .first());
        std::string target = f.library.Folder.Write("out.KivT", "old");
        f.prompts.Answer({QString::fromStdString(target)});
        f.window->cmdExportTemplate_Click();
        QCOMPARE(f.prompts.Questions.back().Title, QString("Export Template To"));
        const std::string exported =
            "6 version\r\n1 template id\r\n-1 item version\r\n3 num components\r\n"
            "1187 0 0 0 1\r\n1188 -1 2 5 1\r\n1189 4 -3 0 1\r\n";
        QCOMPARE(ReadFile(target), exported); // flags come from the components list, not the file

        f.prompts.Answer({""}); // Cancel writes nothing
        f.window->cmdExportTemplate_Click();
        f.prompts.Answer({QString::fromStdString(f.library.Folder.File("missing/out.KivT"))});
        f.window->cmdExportTemplate_Click();
        QVERIFY(f.prompts.Messages.back().Text.contains("missing/out.KivT"));
        QCOMPARE(ReadFile(target), exported);
    }
};

} // namespace mw::test

QTEST_MAIN(mw::test::ImportExportTest)
#include "ImportExportTest.moc"
