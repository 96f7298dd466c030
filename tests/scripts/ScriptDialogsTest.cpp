#include "common/Files.h"
#include "library/WindowFixture.h"
#include "patcher/MultiBytes.h"
#include "scripts/frmMultiScripts.h"
#include "scripts/frmScriptsEntry.h"

#include <QPlainTextEdit>

namespace mw::test {

class ScriptDialogsTest : public QObject {
    Q_OBJECT

    // A library with one template of two components, one of them a listed door, and a pair of
    // game files whose third and fourth entries are free.
    struct PatchFixture : WindowFixture {
        PatchFixture() {
            AddHousesSmall({"1653, 0, -3, 0, 1", "1100, 3, 4, 7, 1"});
            Open(); // loads the settings first: the paths come after
            session.MultiIdxPath = library.Folder.Write(
                "multi.idx", Entry(0, 24) + Entry(24, 12) + Entry(-1, -1) + Entry(-1, -1));
            session.MultiMulPath = library.Folder.Write("multi.mul", OldRecords(3));
            Select("Hut");
        }
    };

private slots:
    // The entries, the format chosen, the slot just patched and the door that the window read
    // from components.txt reach the scripts. The dialog has no way out but confirming, and OK
    // follows the boxes as they stood before each key.
    void patchWritesTheFilesAndTheScriptsFollow() {
        PatchFixture f;
        f.window->ScriptFormat = 2; // the old format
        WhenModal<frmScriptsEntry>([](frmScriptsEntry& dialog) {
            dialog.close();
            QVERIFY(dialog.isVisible());
            QTest::keyClicks(dialog.txtMultiName, "Small Tower");
            QTest::keyClicks(dialog.txtBuyValue, "500");
            QTest::keyClicks(dialog.txtSellValue, "250");
            QTest::keyClick(dialog.txtSellValue, Qt::Key_End);
            dialog.close(); // the close box confirms once OK is enabled
        });
        f.window->cmdPatchMulFiles_Click();
        frmMultiScripts& scripts = f.window->ScriptsWindow();
        QVERIFY(scripts.isVisible());
        QVERIFY(scripts.txtScripts->toPlainText().contains("[4002]\nNAME=Small Tower\n"));
        QVERIFY(scripts.txtScripts->toPlainText().contains("SELLVALUE=250"));
        QVERIFY(scripts.txtScripts->toPlainText().contains("\nCOMPONENT=0675, ")); // components.txt
    }

    // Source-X takes no sell value: its box is hidden and OK follows the two shown.
    void sourceXAsksNoSellValue() {
        WindowFixture f;
        frmScriptsEntry dialog(f.session, f.prompts, 3, {}, nullptr);
        QVERIFY(dialog.txtSellValue->isHidden());
        QTest::keyClicks(dialog.txtMultiName, "Hut");
        QTest::keyClicks(dialog.txtBuyValue, "500");
        QTest::keyClick(dialog.txtBuyValue, Qt::Key_End);
        QVERIFY(dialog.cmdOk->isEnabled());
    }

    // With "Patch Existing" (kept in the settings), Patch Muls asks which multi, says what each
    // file holds there and what replaces it, shows both; No writes nothing, Yes replaces and the
    // scripts follow for that multi.
    void patchExistingAsksWhatToReplace() {
        PatchFixture f;
        f.session.PatchExisting = true;
        f.window->SaveSettings();
        f.session.PatchExisting = false;
        f.window->LoadSettings();
        QVERIFY(f.session.PatchExisting);
        const std::string idx = ReadFile(f.session.MultiIdxPath);
        const std::string mul = ReadFile(f.session.MultiMulPath);
        f.prompts.Answer({"xyz", "2", "No"});
        f.window->cmdPatchMulFiles_Click(); // not hexadecimal: said, nothing asked
        f.window->cmdPatchMulFiles_Click();
        QCOMPARE(f.prompts.Messages.size(), 1);
        QVERIFY(f.prompts.Questions.last().contains("multi.idx / multi.mul: the multi is free."));
        QVERIFY(f.prompts.Questions.last().contains("\"Hut\" (2 components)"));
        QCOMPARE(ReadFile(f.session.MultiIdxPath), idx);
        QCOMPARE(ReadFile(f.session.MultiMulPath), mul);

        f.prompts.Answer({"0", "Yes"});
        WhenModal<frmScriptsEntry>([](frmScriptsEntry& dialog) {
            QTest::keyClicks(dialog.txtMultiName, "Hut");
            QTest::keyClicks(dialog.txtBuyValue, "5");
            QTest::keyClicks(dialog.txtSellValue, "2");
            QTest::keyClick(dialog.txtSellValue, Qt::Key_End);
            dialog.close();
        });
        f.window->cmdPatchMulFiles_Click();
        QVERIFY(f.prompts.Questions.last().contains("the multi holds 1 components."));
        QCOMPARE(f.prompts.Pictures.size(), size_t{2}); // what is there now, and the template
        QCOMPARE(ReadFile(f.session.MultiIdxPath).substr(0, 12), Entry(36, 36, 0));
        QVERIFY(f.window->ScriptsWindow().txtScripts->toPlainText().contains("04000]"));
    }

    void failedPatchSaysWhyAndOpensNoDialog() {
        PatchFixture f;
        RemoveFile(f.session.MultiIdxPath);
        f.window->cmdPatchMulFiles_Click(); // a dialog opened here would hang the test
        QVERIFY(f.LastMessage().contains("Multi.idx"));
        QCOMPARE(f.window->lblStatus->text(), QString("Patching failed: nothing was written"));
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }
};

} // namespace mw::test

QTEST_MAIN(mw::test::ScriptDialogsTest)
#include "ScriptDialogsTest.moc"
