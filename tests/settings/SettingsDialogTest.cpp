#include "common/MountTable.h"
#include "library/WindowFixture.h"
#include "settings/FolderListing.h"
#include "settings/FrmLocateFolder.h"
#include "settings/frmSettings.h"

namespace mw::test {

class SettingsDialogTest : public QObject {
    Q_OBJECT

    static frmSettings& OpenSettings(frmWardstone& w) {
        w.cmdSettings->click();
        return *w.SettingsDialog;
    }

    static bool Green(QLineEdit* box) {
        return box->palette().color(QPalette::Base) == QColor(0, 192, 0);
    }

    // A start folder with two folders to choose, a hidden one and a file.
    struct Place {
        Place() {
            for (const char* folder : {"/Beta/deep", "/alpha", "/.hidden"})
                std::filesystem::create_directories(Start + folder);
            files.Write("start/file", "x");
        }
        TempFolder files;
        std::string Start = files.File("start");
    };

    static QStringList Names(QTreeWidgetItem* item) {
        QStringList names;
        for (int i = 0; i < item->childCount(); ++i)
            names << item->child(i)->text(0);
        return names;
    }

    static QTreeWidgetItem* Child(QTreeWidgetItem* item, const QString& name) {
        for (int i = 0; i < item->childCount(); ++i)
            if (item->child(i)->text(0) == name) return item->child(i);
        return nullptr;
    }

private slots:
    // A file path takes effect while it names a file, and only then: checked on opening, on every
    // key stroke and after Browse, which opens in the folder of the box's path; a failed Browse
    // changes nothing.
    void aFilePathIsKeptOnlyWhileItNamesAFile() {
        WindowFixture f;
        TempFolder files;
        const QString idx = QString::fromStdString(files.Write("multi.idx", "x"));
        InFolder here(files.Path());
        frmWardstone& w = f.Open();
        f.session.MultiIdxPath = files.File("gone.idx");
        frmSettings& d = OpenSettings(w);
        QVERIFY(f.session.MultiIdxPath.empty());
        d.txtMultiIdx->clear();
        QTest::keyClicks(d.txtMultiIdx, "multi.id");
        QVERIFY(f.session.MultiIdxPath.empty());
        QTest::keyClick(d.txtMultiIdx, 'x');
        QCOMPARE(f.session.MultiIdxPath, std::string("multi.idx"));
        QTest::keyClick(d.txtMultiIdx, 'x');
        QVERIFY(f.session.MultiIdxPath.empty());

        f.prompts.Answer({idx, ""});
        d.cmdBrowseMultIdx->click();
        QCOMPARE(QString::fromStdString(f.session.MultiIdxPath), idx);
        d.cmdBrowseMultIdx->click(); // opens where the chosen file lies
        const QString folder = QString::fromStdString(files.Path());
        QCOMPARE(f.prompts.Folders, QStringList({folder, folder}));
        d.cmdBrowseMultiUop->click(); // no answer scripted: the file dialog fails
        QVERIFY(f.LastMessage().startsWith(QString::number(err::InternalError)));
        QVERIFY(d.txtMultiUop->text().isEmpty());
    }

    // The folder is kept as typed; its box is green when the closing separator finds a normal
    // file in it, or when its last part, taken as a file pattern, matches one (never a folder,
    // nor a hidden file).
    void theFolderIsGreenOnlyWhenItsClosingSeparatorFindsANormalFile() {
        WindowFixture f;
        TempFolder files;
        for (const char* name : {"quiet/sub", "srv*", "srv1"})
            std::filesystem::create_directories(files.File(name));
        files.Write("quiet/.hidden", "x");
        files.Write("srv1/spheresvr", "x");
        frmSettings& d = OpenSettings(f.Open());
        const std::pair<std::string, bool> cases[] = {
            {files.File("srv1"), false}, // the folder itself is no normal file
            {files.File("srv1/"), true}, // the closing separator looks inside
            {files.File("srv1/spheresvr"), true},
            {files.File("quiet/"), false}, // only a hidden file and a folder
            {files.File("srv*/"), false},  // a folder pattern is taken literally
            {files.File("srv1/*svr"), true},
            {files.File("srv1/?pheres?r"), true},
            {files.File("srv1/*.exe"), false},
            {files.File("quiet/*"), false},
            {files.File("s*"), false}, // folders only
        };
        for (const auto& [text, green] : cases) {
            d.txtSphereFolder->setText(QString::fromStdString(text));
            QVERIFY2(Green(d.txtSphereFolder) == green, text.c_str());
            QCOMPARE(f.session.SphereFolderPath, text);
        }
    }

    // The art folder is kept as typed and tells by its colour whether it names a folder; empty
    // means the folder of the multi files, a choice of its own that is not marked missing (kept
    // over a restart: MainWindowTest).
    void theArtFolderIsKeptAsTypedAndStored() {
        WindowFixture f;
        TempFolder files;
        std::filesystem::create_directories(files.File("art"));
        files.Write("art/artidx.mul", "");
        frmSettings& d = OpenSettings(f.Open());
        const QColor empty = d.txtArtFolder->palette().color(QPalette::Base);
        QVERIFY(empty != QColor(255, 0, 0) && !Green(d.txtArtFolder));
        const std::pair<std::string, bool> cases[] = {
            {files.File("art"), true},
            {files.File("art/artidx.mul"), false}, // a file is no folder
            {files.File("gone"), false},
        };
        for (const auto& [text, green] : cases) {
            d.txtArtFolder->setText(QString::fromStdString(text));
            QVERIFY2(Green(d.txtArtFolder) == green, text.c_str());
            QCOMPARE(f.session.ArtFolderPath, text);
        }
        d.txtArtFolder->clear();
        QVERIFY(f.session.ArtFolderPath.empty());
        QCOMPARE(d.txtArtFolder->palette().color(QPalette::Base), empty);
    }

    // However the dialog closes, Escape too, the main window comes back; an opening shows the
    // stored format without choosing one, and only a click chooses, at once.
    void theMainWindowIsHiddenWhileTheDialogIsOpen() {
        WindowFixture f;
        frmWardstone& w = f.Open();
        w.show();
        OpenSettings(w).cmdClose->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(w.isVisible());
        frmSettings& escaped = OpenSettings(w);
        escaped.show();
        QVERIFY(QTest::qWaitForWindowActive(&escaped));
        QTest::keyClick(escaped.txtMultiIdx, Qt::Key_Escape); // as the close box
        QVERIFY(w.isVisible() && !escaped.isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        w.ScriptFormat = 7;
        frmSettings& d = OpenSettings(w);
        QVERIFY(!w.isVisible());
        QVERIFY(d.optVer54->isChecked());
        QCOMPARE(w.ScriptFormat, std::int16_t(7));
        d.optVer51a->click();
        QCOMPARE(w.ScriptFormat, std::int16_t(2));
        d.optVerSourceX->click();
        QVERIFY(d.optCreateNewMuls->isChecked()); // the default: a new multi
        d.optPatchExistingMuls->click();
        QVERIFY(f.session.PatchExisting);
        d.close();
        QVERIFY(w.isVisible());
    }

    // One table row per rule: the kernel's file systems and the system's places are left out,
    // removable media stay, octal escapes are read, a mount point shows once and a line that is
    // no mount is skipped; a folder is on the longest drive above it.
    void drivesAreWhereAUserPicksFoldersFrom() {
        const char* table = "proc /proc proc rw 0 0\n"
                            "/dev/sda1 / ext4 rw 0 0\n"
                            "/dev/sdb1 /run/media/kim/USB\\040STICK vfat rw 0 0\n"
                            "/dev/sdc1 /srv/uo ext4 rw 0 0\n"
                            "/dev/sdc1 /srv/uo ext4 rw 0 0\n"
                            "/dev/sdd1 /run/user/1000/doc ext4 rw 0 0\n"
                            "broken line\n";
        QCOMPARE(PickableMountPoints(table),
                 std::vector<std::string>({"/", "/run/media/kim/USB STICK", "/srv/uo"}));
        QCOMPARE(DriveHolding("/srv/uo/sphere", {"/", "/srv/uo", "/srv"}), std::string("/srv/uo"));
        QCOMPARE(DriveHolding("/srv/uotwo", {"/", "/srv/uo"}), std::string("/"));
    }

    // The chooser starts at the current folder; a folder or drive that cannot be read is told and
    // never chosen, and the lists stay as they were.
    void startsAtTheCurrentFolderAndWhatCannotBeReadIsNeverChosen() {
        Place place;
        InFolder here(place.Start);
        ScriptedPrompts prompts;
        FrmLocateFolder chooser(prompts);
        const QString start = QDir::currentPath();
        QCOMPARE(chooser.Path(), start);
        QCOMPARE(Names(chooser.Dir1->currentItem()), QStringList({"alpha", "Beta"}));
        QVERIFY(start.startsWith(chooser.Drive1->currentText()));

        std::filesystem::remove(place.Start + "/alpha"); // removed while the chooser is open
        const QStringList before = TreeText(chooser.Dir1);
        chooser.Dir1->setCurrentItem(Child(chooser.Dir1->currentItem(), "alpha"));
        QCOMPARE(prompts.Messages.size(), 1);
        QVERIFY(prompts.Messages[0].contains("alpha"));
        const int drive = chooser.Drive1->currentIndex();
        chooser.Drive1->addItem("/no/such/drive", "/no/such/drive");
        chooser.Drive1->setCurrentIndex(chooser.Drive1->count() - 1);
        QCOMPARE(prompts.Messages.size(), 2);
        QVERIFY(prompts.Messages[1].contains("/no/such/drive"));
        QCOMPARE(chooser.Drive1->currentIndex(), drive);
        QCOMPARE(TreeText(chooser.Dir1), before);
        QCOMPARE(chooser.Path(), start);

        chooser.Drive1->addItem("beta", QString::fromStdString(place.Start + "/Beta"));
        chooser.Drive1->setCurrentIndex(chooser.Drive1->count() - 1); // one that can be read
        QCOMPARE(Names(chooser.Dir1->currentItem()), QStringList({"deep"}));
    }

    // The next Browse starts at the folder chosen.
    void okPutsTheFolderIntoTheSettingsAndCancelLeavesThem() {
        WindowFixture f;
        Place place;
        InFolder here(place.Start);
        frmSettings& d = OpenSettings(f.Open());
        WhenModal<FrmLocateFolder>([](FrmLocateFolder& chooser) {
            chooser.Dir1->setCurrentItem(Child(chooser.Dir1->currentItem(), "Beta"));
            chooser.cmdOk->click();
        });
        d.cmdBrowseForFolder->click();
        QString beta = QDir::currentPath() + "/Beta/";
        QCOMPARE(QString::fromStdString(f.session.SphereFolderPath), beta);
        QString startedAt;
        WhenModal<FrmLocateFolder>([&startedAt](FrmLocateFolder& chooser) {
            startedAt = chooser.Path();
            chooser.cmdCancel->click();
        });
        d.cmdBrowseForFolder->click();
        QCOMPARE(startedAt + "/", beta);
        QCOMPARE(QString::fromStdString(f.session.SphereFolderPath), beta);
    }
};

} // namespace mw::test

QTEST_MAIN(mw::test::SettingsDialogTest)
#include "SettingsDialogTest.moc"
