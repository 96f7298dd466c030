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
            files.Write("start/Beta/spheresvr", "x");
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
    void drivesAreWhereAUserPicksFoldersFrom() {
        const char* table = "proc /proc proc rw 0 0\n"
                            "/dev/sda1 / ext4 rw 0 0\n"
                            "tmpfs /run tmpfs rw 0 0\n"
                            "/dev/sdb1 /run/media/kim/USB\\040STICK vfat rw 0 0\n"
                            "/dev/sdc1 /srv/uo ext4 rw 0 0\n"
                            "/dev/sdc1 /srv/uo ext4 rw 0 0\n"
                            "/dev/sdd1 /run/user/1000/doc ext4 rw 0 0\n"
                            "server:/export /mnt/share nfs4 rw 0 0\n"
                            "broken line\n";
        QCOMPARE(
            PickableMountPoints(table),
            std::vector<std::string>({"/", "/run/media/kim/USB STICK", "/srv/uo", "/mnt/share"}));
        std::vector<std::string> drives = UserDrives();
        QCOMPARE(drives.front(), std::string("/"));
        std::string home = AbsoluteFolder(QDir::homePath().toStdString());
        QVERIFY(home == "/" || drives[1] == home);
        QCOMPARE(DriveHolding("/srv/uo/sphere", {"/", "/srv/uo", "/srv"}), std::string("/srv/uo"));
        QCOMPARE(DriveHolding("/srv/uotwo", {"/", "/srv/uo"}), std::string("/"));
    }

    // The chooser starts at the current folder and reads a folder when it is opened or chosen; a
    // folder or drive that cannot be read is told and leaves the lists as they were.
    void startsAtTheCurrentFolderAndWhatCannotBeReadChangesNothing() {
        Place place;
        InFolder here(place.Start);
        ScriptedPrompts prompts;
        FrmLocateFolder chooser(prompts);
        const QString start = QDir::currentPath();
        QCOMPARE(chooser.Path(), start);
        QCOMPARE(Names(chooser.Dir1->currentItem()), QStringList({"alpha", "Beta"}));
        QVERIFY(start.startsWith(chooser.Drive1->currentText()));
        QTreeWidgetItem* alpha = Child(chooser.Dir1->currentItem(), "alpha");
        QTreeWidgetItem* beta = Child(chooser.Dir1->currentItem(), "Beta");

        std::filesystem::remove(place.Start + "/alpha"); // removed while the chooser is open
        const QStringList before = TreeText(chooser.Dir1);
        chooser.Dir1->setCurrentItem(alpha);
        QCOMPARE(prompts.Messages.size(), size_t(1));
        QVERIFY(prompts.Messages[0].Text.contains("alpha"));
        alpha->setExpanded(true);
        QCOMPARE(prompts.Messages.size(), size_t(2));
        QVERIFY(!alpha->isExpanded());
        const int drive = chooser.Drive1->currentIndex();
        chooser.Drive1->addItem("/no/such/drive", "/no/such/drive");
        chooser.Drive1->setCurrentIndex(chooser.Drive1->count() - 1);
        QCOMPARE(prompts.Messages.size(), size_t(3));
        QVERIFY(prompts.Messages[2].Text.contains("/no/such/drive"));
        QCOMPARE(chooser.Drive1->currentIndex(), drive);
        QCOMPARE(TreeText(chooser.Dir1), before);
        QCOMPARE(chooser.Path(), start);

        beta->setExpanded(true); // read when opened
        QCOMPARE(Names(beta), QStringList({"deep"}));
        chooser.Dir1->setCurrentItem(beta);
        QCOMPARE(chooser.ChosenFolder(), start + "/Beta/");
        chooser.Dir1->setCurrentItem(chooser.Dir1->topLevelItem(0));
        QCOMPARE(chooser.ChosenFolder(), QString("/")); // the root keeps its one separator
        chooser.Drive1->addItem("beta", QString::fromStdString(place.Start + "/Beta"));
        chooser.Drive1->setCurrentIndex(chooser.Drive1->count() - 1); // one that can be read
        QCOMPARE(chooser.Path().toStdString(), place.Start + "/Beta");
        QCOMPARE(Names(chooser.Dir1->currentItem()), QStringList({"deep"}));
        QCOMPARE(prompts.Messages.size(), size_t(3));
    }

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
        AnswerChooser("alpha", false);
        d.cmdBrowseForFolder->click();
        QCOMPARE(QString::fromStdString(f.session.SphereFolderPath), beta);
    }
};

} // namespace mw::test

QTEST_MAIN(mw::test::FolderChooserTest)
#include "FolderChooserTest.moc"
