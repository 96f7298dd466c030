
#include "formats/SamplePackage.h"
#include "library/WindowFixture.h"
#include "library/frmTemplateInfo.h"
#include "scripts/frmScriptsEntry.h"
#include "settings/frmSettings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace mw::test {

// The window's side of MultiCollection.uop, the record size and the backups.
class GameFilesWindowTest : public QObject {
    Q_OBJECT

    struct PackageFixture : WindowFixture {
        PackageFixture() {
            Sql("insert into Category(Name) values ('Houses');"
                "insert into SubSection(CategoryID, Name) values (1, 'Small');"
                "insert into TemplateIndex(BlockCount, CategoryID, SubsectID, Description) values "
                "(2, 1, 1, 'Hut');"
                "insert into TemplateBlocks(ItemID, X, Y, Z, Flag, TempIndexID) values (1100, 0, "
                "0, 0, 1, 1), "
                "(1101, 1, 2, 3, 1, 1)");
            library.Folder.Write("components.txt", "ID Name\r\n");
            Open();
            Uop = library.Folder.Write("MultiCollection.uop", PackageBytes(SampleMultis({0, 1})));
            session.MultiUopPath = Uop;
        }
        void SelectHut() {
            window->trvTemplates->setCurrentItem(
                window->trvTemplates->findItems("Hut", Qt::MatchExactly | Qt::MatchRecursive)
                    .first());
        }
        std::string Uop;
    };

private slots:
    void packageAloneEnablesPatchingAndThePatchGoesInWithABackup() {
        PackageFixture f;
        f.SelectHut();
        QVERIFY(f.window->cmdPatchMulFiles->isEnabled());
        QTimer::singleShot(0, [] {
            auto* entry = qobject_cast<frmScriptsEntry*>(QApplication::activeModalWidget());
            QVERIFY(entry);
            QTest::keyClicks(entry->txtMultiName, "Hut");
            QTest::keyClicks(entry->txtBuyValue, "1");
            QTest::keyClicks(entry->txtSellValue, "1");
            QTest::keyClick(entry->txtSellValue, Qt::Key_End);
            entry->cmdOk->click();
        });
        f.window->cmdPatchMulFiles_Click();
        QCOMPARE(f.window->lblStatus->text(), QString("Patching Completed"));
        QCOMPARE(f.session.PatchSlot, 3); // multi 2: the first id without a file
        QVERIFY(PackageHasMulti(UopPackage::Read(f.Uop), 2));
        int backups = 0;
        for (const auto& file : FileNames(f.library.Folder.Path()))
            backups += file.rfind("MultiCollection.uop.", 0) == 0 && file.size() > 24;
        QCOMPARE(backups, 1);
    }

    void multiOfThePackageIsImported() {
        PackageFixture f;
        f.window->optUop->setChecked(true);
        QTimer::singleShot(0, [] {
            auto* info = qobject_cast<frmTemplateInfo*>(QApplication::activeModalWidget());
            QVERIFY(info);
            info->txtDescription->setText("From the package");
            info->cmdOk->click();
        });
        f.prompts.Answer({"1"});
        f.window->cmdImportTemplate_Click();
        QCOMPARE(f.Tree().last(), QString("    From the package"));
        QCOMPARE(f.session.Buffer.ComponentCount, std::int32_t(SampleMulti(1).size()));
        QTimer::singleShot(0, [] {
            qobject_cast<frmTemplateInfo*>(QApplication::activeModalWidget())
                ->txtDescription->setText("x");
            qobject_cast<frmTemplateInfo*>(QApplication::activeModalWidget())->cmdOk->click();
        });
        f.prompts.Answer({"7"}); // no such multi in the package
        f.window->cmdImportTemplate_Click();
        QCOMPARE(f.prompts.Messages.back().Title,
                 QString("Error While Reading Multi Template File"));
    }

    void settingsDialogEditsTheNewSettingsAndTheyAreKept() {
        PackageFixture f;
        f.window->cmdSettings_Click();
        frmSettings& dialog = *f.window->SettingsDialog;
        QCOMPARE(dialog.txtMultiUop->text(), QString::fromStdString(f.Uop));
        dialog.txtMultiUop->setText(QString::fromStdString(f.Uop) + "x");
        QVERIFY(f.session.MultiUopPath.empty()); // names nothing: not kept
        dialog.txtMultiUop->setText(" " + QString::fromStdString(f.Uop) + " ");
        QCOMPARE(f.session.MultiUopPath, f.Uop);
        dialog.cboRecordSize->setCurrentText("16");
        dialog.chkBackUpGameFiles->setChecked(false);
        f.window->optUop->setChecked(true);
        dialog.close();
        f.window->close();

        f.session.RecordSize = RecordSizeChoice::Auto;
        f.session.MultiUopPath.clear();
        frmWardstone& again = f.Open();
        QVERIFY(f.session.RecordSize == RecordSizeChoice::Sixteen);
        QVERIFY(!f.session.Backups.Enabled);
        QCOMPARE(f.session.MultiUopPath, f.Uop);
        QVERIFY(again.optUop->isChecked());
    }
};

} // namespace mw::test

QTEST_MAIN(mw::test::GameFilesWindowTest)
#include "GameFilesWindowTest.moc"
