#include "client/RecordingClientLink.h"
#include "common/Files.h"
#include "library/WindowFixture.h"

#include "settings/frmSettings.h"

#include <QCheckBox>
#include <QTimer>

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

    struct ClientFixture : WindowFixture {
        ClientFixture() {
            AddHousesSmall({"1187, 0, 0, 0, 1", "1188, -1, 2, 5, 1"});
            Open();
            session.SphereFolderPath = Server.Path() + "/";
            window->SetClientLink(&Link);
        }
        // "Extract from Server" with the window active, then the user goes to the game and comes
        // back to the main window.
        void ExtractAndComeBack() {
            window->show();
            window->activateWindow(); // also after a dialog of an earlier hand-over
            QVERIFY(QTest::qWaitForWindowActive(window.get()));
            window->cmdExtractFromSphere_Click();
            QTRY_VERIFY(!window->tmrCommand->isActive()); // typed
            window->repaint(); // a repaint before the user went away does nothing
            QApplication::processEvents();
            QVERIFY(window->blnExtractPending);
            ComeBack();
        }
        void ComeBack() {
            QApplication::setActiveWindow(nullptr);
            QApplication::setActiveWindow(window.get());
            Settle();
        }
        // Everything that is due has run: posted events, repaints and zero timers.
        static void Settle() {
            QCoreApplication::sendPostedEvents();
            QApplication::processEvents();
        }
        TempFolder Server;
        RecordingClientLink Link;
    };

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
    // the installed ones and says so in the status line; the second says nothing (what it keeps:
    // LibraryLocationTest). The tree names the library.
    void anInstalledProgramMakesItsLibraryOnTheFirstStartOnly() {
        WindowFixture f;
        InstalledPrefix prefix;
        const std::string defaults = prefix.Defaults();
        const std::string data = prefix.Folder.File("data/MultiWardstone");
        const QString library = QString::fromStdString(data + "/Wardstone.dat");
        for (const QString& status :
             {QString("Made an empty library in your data folder"), QString()}) {
            Session session(data, library.toStdString(), defaults);
            frmWardstone w(session, f.prompts);
            QVERIFY(w.Form_Initialize());
            QCOMPARE(w.lblStatus->text(), status);
            QCOMPARE(w.trvTemplates->toolTip(), "Library: " + library);
            QCOMPARE(session.Components.Count(), size_t(1));
        }
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

    // What the settings dialog sets is kept when the window closes, under the keys that the
    // command line reads too; Source-X is stored as 3.
    void closingSavesTheSettingsAndTheyComeBack() {
        WindowFixture f;
        const std::string uop = f.library.Folder.Write("MultiCollection.uop", "x");
        const std::string art = f.library.Folder.Path();
        frmWardstone& w = f.Open();
        w.cmdSettings_Click();
        frmSettings& d = *w.SettingsDialog;
        d.txtMultiUop->setText(" " + QString::fromStdString(uop) + " ");
        d.cboRecordSize->setCurrentText("16");
        d.chkBackUpGameFiles->setChecked(false);
        d.txtArtFolder->setText(QString::fromStdString(art));
        d.optVerSourceX->click();
        d.optPatchExistingMuls->click();
        d.close();
        w.close();
        QSettings stored("MultiWardstone", "MultiWardstone");
        QCOMPARE(stored.value("Settings/ScriptFormat").toString(), QString("3"));
        QCOMPARE(stored.value("Files/ArtFolder").toString(), QString::fromStdString(art));
        f.session.MultiUopPath.clear();
        f.session.RecordSize = RecordSizeChoice::Auto;
        f.session.Backups.Enabled = true;
        f.session.ArtFolderPath.clear();
        f.session.PatchExisting = false;
        frmWardstone& again = f.Open();
        QCOMPARE(f.session.MultiUopPath, uop);
        QVERIFY(f.session.RecordSize == RecordSizeChoice::Sixteen);
        QVERIFY(!f.session.Backups.Enabled && f.session.PatchExisting);
        QCOMPARE(f.session.ArtFolderPath, art);
        QCOMPARE(again.ScriptFormat, std::int16_t(3));
    }

    // Each import source is kept alone for the next start; a settings file with some of the
    // options only chooses the one set True, as the option group would, and is stored so.
    void theImportSourceIsKeptAlone() {
        WindowFixture f;
        auto checked = [](frmWardstone& w) {
            QStringList names;
            for (QRadioButton* option : w.findChildren<QRadioButton*>())
                if (option->isChecked()) names << option->objectName();
            return names;
        };
        QStringList names;
        for (QRadioButton* option : f.Open().findChildren<QRadioButton*>())
            names << option->objectName();
        for (const QString& name : names) {
            f.window->findChild<QRadioButton*>(name)->setChecked(true);
            f.window->close();
            QCOMPARE(checked(f.Open()), QStringList({name}));
        }
        QSettings("MultiWardstone", "MultiWardstone").clear();
        QSettings("MultiWardstone", "MultiWardstone").setValue("Settings/OptTxt", "True");
        QCOMPARE(checked(f.Open()), QStringList({"optTxt"}));
        f.window->SaveSettings();
        QCOMPARE(QSettings("MultiWardstone", "MultiWardstone").value("Settings/OptKivT"), "False");
    }

    // Build Multi writes the selected template for the server and types the command on the tick;
    // a server folder it cannot write to stops it before the client is touched.
    void buildWritesTheTemplateForTheServerThenTypesTheCommand() {
        ClientFixture f;
        const std::string server = f.session.SphereFolderPath;
        f.Select("Hut");
        f.session.SphereFolderPath = "/no/such/folder/";
        f.window->cmdBuildTemplate_Click();
        QVERIFY(f.LastMessage().contains("/no/such/folder/"));
        f.session.SphereFolderPath = server;
        f.window->cmdBuildTemplate_Click();
        QCOMPARE(ReadFile(f.Server.File("template.tmp")),
                 TemplateFile({"1187 0 0 0 1", "1188 -1 2 5 1"}));
        QTRY_COMPARE(f.Link.Typed, std::string("\n.unextract template.tmp 1\n"));
        QCOMPARE(f.Link.Activations,
                 (std::vector<RecordingClientLink::Activation>{{"Ultima Online", false}}));
    }

    // An Extract that Build or Nuke replaced before the tick leaves nothing to take over, and
    // only the last command is typed; Nuke waits for our window to let go of the focus.
    void aCommandReplacesAPendingExtract() {
        ClientFixture f;
        f.Select("Hut");
        f.window->cmdExtractFromSphere_Click();
        f.window->cmdBuildTemplate_Click();
        QVERIFY(!f.window->blnExtractPending);
        f.window->cmdExtractFromSphere_Click();
        f.window->cmdNuke_Click();
        QVERIFY(!f.window->blnExtractPending);
        QVERIFY(f.Link.Activations.back().WaitForOurFocus);
        QTRY_VERIFY(!f.window->tmrCommand->isActive());
        QCOMPARE(f.Link.Typed, std::string("\n.nuke\n"));
    }

    // The client is not running, or the focus moved on before the tick: nothing is typed and no
    // Extract is left to take over.
    void clientNotRunningOrFocusLostTypesNothing() {
        ClientFixture f;
        f.Link.ClientRunning = false;
        f.Select("Hut");
        f.window->cmdBuildTemplate_Click();
        f.window->cmdExtractFromSphere_Click();
        QVERIFY(!f.window->tmrCommand->isActive()); // nothing to type
        QCOMPARE(f.prompts.Messages.size(), 2);
        QVERIFY(f.LastMessage().contains("not running"));
        QVERIFY(!f.window->blnExtractPending);

        f.Link.ClientRunning = true;
        f.window->cmdExtractFromSphere_Click();
        f.Link.LoseFocus();
        QTRY_VERIFY(f.LastMessage().contains("focus"));
        QVERIFY(!f.window->blnExtractPending);
        QVERIFY(f.Link.Typed.empty());
    }

    // The hand-over of temp.tmp runs once the user is back, once: the reader's message box
    // repaints the window without starting it again, and a structure read is filed once only.
    void extractedStructureIsTakenOverOnceWhenTheUserComesBack() {
        ClientFixture f;
        f.prompts.WhileShown = [&f] { f.window->repaint(); };
        f.ExtractAndComeBack(); // no temp.tmp yet
        QTRY_COMPARE(f.prompts.Messages.size(), 1);
        f.Settle();
        QCOMPARE(f.prompts.Messages.size(), 1);

        f.Server.Write("temp.tmp", TemplateFile({"1300 0 0 0", "1301 1 1 0"}));
        FileAs("Extracted");
        f.ExtractAndComeBack();
        QTRY_COMPARE(f.Tree().size(), 4);
        QCOMPARE(f.Tree().last(), QString("    Extracted"));
        f.ComeBack();
        f.Settle();
        QCOMPARE(f.Tree().size(), 4);
    }
};

} // namespace mw::test

QTEST_MAIN(mw::test::MainWindowTest)
#include "MainWindowTest.moc"
