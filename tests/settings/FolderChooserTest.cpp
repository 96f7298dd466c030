#include "common/MountTable.h"
#include "library/WindowFixture.h"
#include "settings/FolderListing.h"
#include "settings/FrmLocateFolder.h"
#include "settings/frmSettings.h"

namespace mw::test {

class FolderChooserTest : public QObject {
    Q_OBJECT

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

    // Answers the modal chooser once it shows: chooses a folder below the start, then clicks.
    static void AnswerChooser(const QString& folder, bool ok) {
        WhenModal<FrmLocateFolder>([=](FrmLocateFolder& chooser) {
            chooser.Dir1->setCurrentItem(Child(chooser.Dir1->currentItem(), folder));
            (ok ? chooser.cmdOk : chooser.cmdCancel)->click();
        });
    }

private slots:
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
        frmWardstone& w = f.Open();
        w.cmdSettings->click();
        frmSettings& d = *w.SettingsDialog;

        AnswerChooser("Beta", true);
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

QTEST_MAIN(mw::test::FolderChooserTest)
#include "FolderChooserTest.moc"
