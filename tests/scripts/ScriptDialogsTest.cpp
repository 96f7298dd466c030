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
