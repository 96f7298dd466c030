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

    static void FileScripts() {
        WhenModal<frmScriptsEntry>([](frmScriptsEntry& dialog) {
            QTest::keyClicks(dialog.txtMultiName, "Hut");
            QTest::keyClicks(dialog.txtBuyValue, "5");
            QTest::keyClicks(dialog.txtSellValue, "2");
            QTest::keyClick(dialog.txtSellValue, Qt::Key_End);
            dialog.close();
        });
    }

private slots:
    // The entries, the format chosen, the slot just patched and the door that the window read
    // from components.txt reach the scripts. The dialog has no way out but confirming, and OK
    // follows the boxes as they stood before each key. The scripts open over the main window,
    // and Escape closes them.
    void patchWritesTheFilesAndTheScriptsFollow() {
        PatchFixture f;
        f.window->move(120, 40); // where the scripts fit the screen when centred over it
        f.window->show();
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
        QVERIFY(QTest::qWaitForWindowExposed(&scripts));
        const QPoint off = scripts.frameGeometry().center() - f.window->frameGeometry().center();
        QVERIFY(off.manhattanLength() < 8);
        scripts.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&scripts));
        QTest::keyClick(scripts.txtScripts, Qt::Key_Escape);
        QVERIFY(!scripts.isVisible());
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
        FileScripts();
        f.window->cmdPatchMulFiles_Click();
        QVERIFY(f.prompts.Questions.last().contains("the multi holds 1 components."));
        QCOMPARE(f.prompts.Pictures.size(), size_t{2}); // what is there now, and the template
        QCOMPARE(ReadFile(f.session.MultiIdxPath).substr(0, 12), Entry(36, 36, 0));
        QVERIFY(f.window->ScriptsWindow().txtScripts->toPlainText().contains("04000]"));
    }

    // A missing index, or one whose scan meets an all-zero entry, gets the fixed "File Not
    // Found!" message; a full one says so, with its size. No dialog opens, the window goes on.
    void failedPatchSaysWhyAndOpensNoDialog() {
        PatchFixture f;
        const std::string idx = f.session.MultiIdxPath;
        const std::pair<std::string, QString> cases[] = {
            {"", "Multi.idx"},
            {Entry(0, 24) + Entry(0, 0) + Entry(-1, -1), "Multi.idx"},
            {Entry(0, 24) + Entry(24, 12),
             "no free entry: \"" + QString::fromStdString(idx) + "\" holds 2 entries"}};
        for (const auto& [entries, says] : cases) {
            RemoveFile(idx);
            if (!entries.empty()) f.library.Folder.Write("multi.idx", entries);
            f.window->cmdPatchMulFiles_Click(); // a dialog opened here would never be answered
            QVERIFY2(f.LastMessage().contains(says), qPrintable(f.LastMessage()));
            QCOMPARE(f.window->lblStatus->text(), QString("Patching failed: nothing was written"));
        }
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }

    // A package beside multi.idx that the settings do not name: the patch says that its clients
    // will not see the new multi, and how to name it; named, it is patched and nothing is said.
    void aPackageBesideTheIndexThatIsNotNamedIsTold() {
        PatchFixture f;
        const std::string package = f.library.Folder.Write("MultiCollection.UOP", "x");
        FileScripts();
        f.window->cmdPatchMulFiles_Click();
        QVERIFY(f.LastMessage().contains(QString::fromStdString(package) + "\" was not patched"));
        QVERIFY(f.LastMessage().contains("Path to MultiCollection.uop"));
    }
};

} // namespace mw::test

QTEST_MAIN(mw::test::ScriptDialogsTest)
#include "ScriptDialogsTest.moc"
