#include "common/Files.h"
#include "library/WindowFixture.h"

#include "settings/frmSettings.h"

#include <QCheckBox>
#include <sqlite3.h>

namespace mw::test {

class MainWindowTest : public QObject {
    Q_OBJECT

    // Three categories: Houses with two subsections whose templates interleave, an empty Ships,
    // and a second category also called Houses.
    static constexpr const char* Library = R"(
        insert into Category(Name) values ('Houses'), ('Ships'), ('Houses');
        insert into SubSection(CategoryID, Name) values (1, 'Small'), (1, 'Large'), (2, 'Unused'), (3, 'Keeps');
        insert into TemplateIndex(BlockCount, CategoryID, SubsectID, Description) values
            (2, 1, 1, 'Cottage'), (1, 1, 2, 'Villa'), (0, 1, 1, 'Hut'), (1, 3, 4, 'Keep');
        insert into TemplateBlocks(ItemID, X, Y, Z, Flag, TempIndexID) values
            (1, 0, 0, 0, 1, 1), (2, 0, 0, 0, 1, 1), (3, 0, 0, 0, 1, 2), (4, 0, 0, 0, 1, 4))";

    static void Expand(frmWardstone& w, const QStringList& nodes) {
        for (const QString& text : nodes)
            w.trvTemplates->findItems(text, Qt::MatchExactly | Qt::MatchRecursive)
                .first()
                ->setExpanded(true);
    }
    static QStringList Expanded(frmWardstone& w) {
        QStringList open;
        for (QTreeWidgetItemIterator it(w.trvTemplates); *it; ++it)
            if ((*it)->isExpanded()) open << (*it)->text(0);
        return open;
    }

    static QString Enabled(frmWardstone& w) {
        QString states;
        for (QPushButton* b : {w.cmdDeleteTemplate, w.cmdExportTemplate, w.cmdPatchMulFiles,
                               w.cmdBuildTemplate, w.cmdExtractFromSphere, w.cmdNuke})
            states += b->isEnabled() ? '1' : '0';
        return states;
    }

private slots:
    // Without its library the program says so and ends, and never makes an empty one.
    void aMissingLibraryEndsTheProgram() {
        WindowFixture f;
        RemoveFile(f.library.Path);
        frmWardstone w(f.session, f.prompts);
        QVERIFY(!w.Form_Initialize());
        QCOMPARE(f.LastMessage(), QString("Wardstone.dat file is missing"));
        QVERIFY(!FileExists(f.library.Path));
    }

    // A library cut short is shown as such in a box, and the program ends without writing to
    // it, even when installed, where a missing one would be made.
    void aDamagedLibraryEndsTheProgramLeavingItAsItIs() {
        WindowFixture f;
        const std::string whole = ReadFile(f.library.Path);
        const std::string cut = f.library.Folder.Write("Wardstone.dat", whole.substr(0, 4096));
        Session installed(f.session.AppFolder, cut, f.library.Folder.Path());
        frmWardstone w(installed, f.prompts);
        QVERIFY(!w.Form_Initialize());
        QCOMPARE(f.prompts.Messages.size(), qsizetype(1));
        QVERIFY(f.LastMessage().startsWith("-2147467259 The library \"" +
                                           QString::fromStdString(cut) +
                                           "\" cannot be read: it is damaged or cut short"));
        QVERIFY(f.LastMessage().contains("It was left as it is"));
        QCOMPARE(ReadFile(cut), whole.substr(0, 4096));
        QVERIFY(!FileExists(cut + "-journal"));
    }

    // Installed, the first start makes the library and components.txt in the data folder from
    // the installed ones and says so; the second opens the library as it was left and says
    // nothing. The tree names the library.
    void anInstalledProgramMakesItsLibraryOnTheFirstStartOnly() {
        WindowFixture f;
        TempFolder prefix;
        const std::string defaults = prefix.File("share/multiwardstone");
        std::filesystem::create_directories(defaults);
        std::filesystem::copy_file(SCHEMA_FILE, defaults + "/schema.sql");
        prefix.Write("share/multiwardstone/components.txt", "ID Name\r\n0675 door\r\n");
        const std::string data = prefix.File("data/MultiWardstone");
        const QString library = QString::fromStdString(data + "/Wardstone.dat");
        Session first(data, library.toStdString(), defaults);
        frmWardstone w(first, f.prompts);
        QVERIFY(w.Form_Initialize());
        QCOMPARE(w.lblStatus->text(), QString("Made an empty library in your data folder"));
        QCOMPARE(w.trvTemplates->toolTip(), "Library: " + library);
        QVERIFY(TreeText(w.trvTemplates).isEmpty());
        QCOMPARE(first.Components.Count(), size_t(1));
        sqlite3_exec(first.cnTemplates.Handle(),
                     "insert into Category(Name) values ('Houses');"
                     "insert into SubSection(CategoryID, Name) values (1, 'Small');"
                     "insert into TemplateIndex(BlockCount, CategoryID, SubsectID, Description) "
                     "values (0, 1, 1, 'Hut')",
                     nullptr, nullptr, nullptr);

        Session second(data, library.toStdString(), defaults);
        frmWardstone again(second, f.prompts);
        QVERIFY(again.Form_Initialize());
        QCOMPARE(again.lblStatus->text(), QString());
        QCOMPARE(TreeText(again.trvTemplates), QStringList({"Houses", "  Small", "    Hut"}));
        QVERIFY(f.prompts.Messages.empty());
    }

    // Templates show in row order, and so do categories and subsections without any (so that
    // they can be reached); without components.txt the status line says so, not a message box.
    // The buttons follow the selection and the settings, also on a click on the node already
    // selected, since the settings may have changed meanwhile; Patch Muls greyed out for the
    // settings says which file is missing. The title carries the build's version.
    void treeAndButtonsFollowTheLibraryAndTheSelection() {
        WindowFixture f;
        f.Sql(Library);
        frmWardstone& w = f.Open();
        QCOMPARE(w.windowTitle(), QString("Kiv Multi Wardstone 1.1"));
        QCOMPARE(f.Tree(), QStringList({"Houses", "  Small", "    Cottage", "    Hut", "  Large",
                                        "    Villa", "  Keeps", "    Keep", "Ships", "  Unused"}));
        QVERIFY(f.prompts.Messages.empty());
        QVERIFY(w.lblStatus->text().contains("components.txt"));
        QCOMPARE(Enabled(w), QString("000011")); // whatever the settings
        f.Select("Cottage");
        QCOMPARE(w.lblItemCount->text(), QString("2"));
        QCOMPARE(Enabled(w), QString("110001"));
        QVERIFY(w.cmdPatchMulFiles->toolTip().contains("none of them is set"));
        f.session.MultiUopPath = "/x/MultiCollection.uop";
        f.Select("Villa");
        QCOMPARE(Enabled(w), QString("111001")); // the package alone is enough to patch

        f.session.MultiUopPath.clear();
        f.session.MultiIdxPath = "/x/multi.idx";
        f.session.SphereFolderPath = "/srv/sphere/";
        f.Select("Hut");
        QCOMPARE(Enabled(w), QString("110111")); // Patch Muls needs both paths
        QVERIFY(w.cmdPatchMulFiles->toolTip().contains(": multi.mul is not set"));
        f.session.MultiMulPath = "/x/multi.mul"; // as the settings dialog sets it
        emit w.trvTemplates->itemClicked(w.trvTemplates->currentItem(), 0); // Hut again
        QCOMPARE(Enabled(w), QString("111111"));
        QCOMPARE(w.cmdPatchMulFiles->toolTip(), QString());
        f.Select("Unused"); // an empty subsection is no template
        QCOMPARE(Enabled(w), QString("000011"));
    }

    // Deletion asks first and removes the blocks with their template, or with a refusal neither.
    // The branches open stay open, the emptied subsection stays, and the deleted template's name
    // and size leave the window with nothing selected to act on.
    void deletionAsksFirstAndRemovesBlocksAndIndexRowTogether() {
        WindowFixture f;
        f.Sql(Library);
        frmWardstone& w = f.Open();
        f.Select("Villa");
        Expand(w, {"Houses", "Ships", "Keeps"});
        f.prompts.Answer({"No", "Yes"});
        w.cmdDeleteTemplate_Click();
        QCOMPARE(f.Tree().size(), 10);
        QCOMPARE(w.lblSelectedTemplate->text(), QString("Villa"));
        w.cmdDeleteTemplate_Click();
        QCOMPARE(f.Tree().size(), 9); // Large stays, empty
        QCOMPARE(Expanded(w), QStringList({"Houses", "Keeps", "Ships"}));
        QVERIFY(StoredBlocks(f.session.cnTemplates, 2).empty());
        QCOMPARE(Enabled(w), QString("000001"));
        QVERIFY(w.lblSelectedTemplate->text().isEmpty() && w.lblItemCount->text().isEmpty());

        f.Sql("create trigger refuse before delete on TemplateIndex begin select raise(abort, "
              "'refused'); end");
        f.Select("Cottage");
        f.prompts.Answer({"Yes"});
        w.cmdDeleteTemplate_Click();
        QVERIFY(f.LastMessage().contains("refused"));
        QCOMPARE(StoredBlocks(f.session.cnTemplates, 1).size(), size_t(2));
    }

    // After an import the new template is selected, its branch opened, the other open branches
    // left open; closing the settings dialog keeps them too and writes the settings at once.
    // Each kind of file dialog opens in the folder it last chose, kept with the settings.
    void theTreeKeepsItsPlaceAndTheDialogsTheirFolders() {
        WindowFixture f;
        f.Sql(Library);
        frmWardstone& w = f.Open();
        Expand(w, {"Ships"});
        f.prompts.Answer({QString::fromStdString(DataFile("wall.KivT"))});
        FileAs("Wall");
        w.cmdImportTemplate_Click();
        QCOMPARE(w.trvTemplates->currentItem()->text(0), QString("Wall"));
        QCOMPARE(Expanded(w), QStringList({"Houses", "Small", "Ships"}));
        QCOMPARE(w.lblSelectedTemplate->text(), QString("Wall"));
        QCOMPARE(w.lblItemCount->text(), QString("4"));

        w.cmdSettings_Click();
        w.SettingsDialog->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(Expanded(w), QStringList({"Houses", "Small", "Ships"}));
        QCOMPARE(w.trvTemplates->currentItem()->text(0), QString("Wall"));
        const QString data = QDir(QString::fromStdString(DataFile(""))).absolutePath();
        QCOMPARE(QSettings("MultiWardstone", "MultiWardstone").value("Folders/ImportKivT"), data);

        f.prompts.Answer({"", ""});
        w.cmdImportTemplate_Click();
        w.cmdExportTemplate_Click();
        QCOMPARE(f.prompts.Folders, QStringList({"", data, ""})); // the export's kind is its own
        frmWardstone& again = f.Open();
        QCOMPARE(again.LastFolders.value("ImportKivT"), data);
    }

    // What the settings dialog and the import options set is kept when the window closes.
    void closingSavesTheSettingsAndTheyComeBack() {
        WindowFixture f;
        const std::string uop = f.library.Folder.Write("MultiCollection.uop", "x");
        frmWardstone& w = f.Open();
        w.cmdSettings_Click();
        frmSettings& d = *w.SettingsDialog;
        d.txtMultiUop->setText(" " + QString::fromStdString(uop) + " ");
        d.cboRecordSize->setCurrentText("16");
        d.chkBackUpGameFiles->setChecked(false);
        d.close();
        w.optUop->setChecked(true);
        w.ScriptFormat = 2;
        w.close();
        f.session.MultiUopPath.clear();
        f.session.RecordSize = RecordSizeChoice::Auto;
        f.session.Backups.Enabled = true;
        frmWardstone& again = f.Open();
        QCOMPARE(f.session.MultiUopPath, uop);
        QVERIFY(f.session.RecordSize == RecordSizeChoice::Sixteen);
        QVERIFY(!f.session.Backups.Enabled);
        QVERIFY(again.optUop->isChecked() && !again.optKivT->isChecked());
        QCOMPARE(again.ScriptFormat, std::int16_t(2));
    }

    // A settings file with some of the import options only: a True chooses that source alone,
    // as the option group would, and is stored so.
    void aPartialSettingsFileChoosesOneImportSource() {
        WindowFixture f;
        QSettings("MultiWardstone", "MultiWardstone").setValue("Settings/OptTxt", "True");
        frmWardstone& w = f.Open();
        QStringList checked;
        for (QRadioButton* option : w.findChildren<QRadioButton*>())
            if (option->isChecked()) checked << option->objectName();
        QCOMPARE(checked, QStringList({"optTxt"}));
        w.SaveSettings();
        QCOMPARE(QSettings("MultiWardstone", "MultiWardstone").value("Settings/OptKivT"), "False");
    }
};

} // namespace mw::test

QTEST_MAIN(mw::test::MainWindowTest)
#include "MainWindowTest.moc"
