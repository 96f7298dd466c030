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

    static void Fill(frmScriptsEntry& dialog, const QString& name) {
        QTest::keyClicks(dialog.txtMultiName, name);
        QTest::keyClicks(dialog.txtBuyValue, "500");
        QTest::keyClicks(dialog.txtSellValue, "250");
        QTest::keyClick(dialog.txtSellValue, Qt::Key_End);
    }

private slots:
    void okFollowsTheBoxesAsTheyStoodBeforeEachKey() {
        PatchFixture f;
        frmScriptsEntry dialog(f.session, f.prompts, f.window->ScriptFormat, {}, f.window.get());
        dialog.show();
        QTest::keyClicks(dialog.txtMultiName, "A");
        QTest::keyClicks(dialog.txtBuyValue, "1");
        QTest::keyClick(dialog.txtSellValue, Qt::Key_2);
        QVERIFY(!dialog.cmdOk->isEnabled()); // the key that fills the last box is not yet seen
        dialog.close();
        QVERIFY(dialog.isVisible()); // no way out but confirming
        QTest::keyClick(dialog.txtSellValue, Qt::Key_End);
        QVERIFY(dialog.cmdOk->isEnabled());
    }

    // The entries and the slot just patched reach the scripts, in the format chosen.
    void patchWritesTheFilesAndTheScriptsFollow() {
        PatchFixture f;
        WhenModal<frmScriptsEntry>([](frmScriptsEntry& dialog) {
            Fill(dialog, " Small Tower ");
            dialog.cmdOk->click();
        });
        f.window->cmdPatchMulFiles_Click();
        QCOMPARE(f.window->lblStatus->text(), QString("Patching Completed"));
        QCOMPARE(f.session.PatchSlot, 3);
        frmMultiScripts& scripts = f.window->ScriptsWindow();
        QVERIFY(scripts.isVisible());
        QVERIFY(scripts.txtScripts->toPlainText().contains(
            "[ITEMDEF 04002]\nDEFNAME=i_Small_Tower\nNAME=Small Tower\n"));

        f.window->ScriptFormat = 2; // the old format, in the same window as before
        WhenModal<frmScriptsEntry>([](frmScriptsEntry& dialog) {
            Fill(dialog, "Hut");
            dialog.close(); // the close box confirms once OK is enabled
        });
        f.window->cmdPatchMulFiles_Click();
        QCOMPARE(&f.window->ScriptsWindow(), &scripts);
        QVERIFY(scripts.txtScripts->toPlainText().contains("[4003]\nNAME=Hut\n"));
        QVERIFY(scripts.txtScripts->toPlainText().contains("SELLVALUE=250"));
    }

    void failedPatchSaysWhyAndOpensNoDialog() {
        PatchFixture f;
        RemoveFile(f.session.MultiIdxPath);
        f.window->cmdPatchMulFiles_Click(); // a dialog opened here would hang the test
        QCOMPARE(
            f.LastMessage(),
            QString(
                "Multi.idx & Multi.mul files are not in the same folder as the multi scripter."));
        QCOMPARE(f.window->lblStatus->text(), QString("Patching failed: nothing was written"));
        QVERIFY(QApplication::overrideCursor() == nullptr);

        f.window->FillTemplatesList(); // nothing selected: nothing to patch
        f.window->cmdPatchMulFiles_Click();
        QVERIFY(f.LastMessage().contains("Select the template"));
    }
};

} // namespace mw::test

QTEST_MAIN(mw::test::ScriptDialogsTest)
#include "ScriptDialogsTest.moc"
