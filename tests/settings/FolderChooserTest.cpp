#include "library/WindowFixture.h"
#include "settings/FolderListing.h"
#include "settings/FrmLocateFolder.h"
#include "settings/InFolder.h"
#include "settings/frmSettings.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace mw::test {

class FolderChooserTest : public QObject {
    Q_OBJECT

    // A start folder with two folders to choose, a hidden one and a file.
    struct Place {
        Place() {
            MakeFolder(Start + "/Beta/deep");
            MakeFolder(Start + "/alpha");
            MakeFolder(Start + "/.hidden");
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

    // The tree as text, one line per folder, with the chosen one marked.
    static QStringList Tree(FrmLocateFolder& chooser) {
        QStringList lines;
        QTreeWidgetItemIterator it(chooser.Dir1);
        for (; *it; ++it) {
            int depth = 0;
            for (QTreeWidgetItem* up = (*it)->parent(); up; up = up->parent())
                ++depth;
            lines << QString(depth, ' ') + (*it)->text(0) +
                         (*it == chooser.Dir1->currentItem() ? " <" : "");
        }
        return lines;
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
                            "sysfs /sys sysfs rw 0 0\n"
                            "/dev/sda1 / ext4 rw 0 0\n"
                            "tmpfs /dev/shm tmpfs rw 0 0\n"
                            "tmpfs /run tmpfs rw 0 0\n"
                            "/dev/sdb1 /run/media/kim/USB\\040STICK vfat rw 0 0\n"
                            "/dev/sdc1 /srv/uo ext4 rw 0 0\n"
                            "/dev/sdc1 /srv/uo ext4 rw 0 0\n"
                            "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\n"
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

    void startsAtTheCurrentFolderWithTheFoldersBelowIt() {
        Place place;
        InFolder here(place.Start);
        ScriptedPrompts prompts;
        FrmLocateFolder chooser(prompts);
        QCOMPARE(chooser.windowTitle(), QString("Locate Sphere Folder"));
        QCOMPARE(chooser.findChild<QGroupBox*>("Frame1")->title(), QString("Select Folder"));
        QCOMPARE(chooser.cmdOk->text(), QString("&Ok"));
        QCOMPARE(chooser.cmdCancel->text(), QString("&Cancel"));
        QCOMPARE(chooser.Path(), QDir::currentPath());
        QCOMPARE(Names(chooser.Dir1->currentItem()), QStringList({"alpha", "Beta"}));
        QCOMPARE(chooser.Drive1->itemText(0), QString("/"));
        QVERIFY(chooser.Path().startsWith(chooser.Drive1->currentText()));

        QTreeWidgetItem* beta = Child(chooser.Dir1->currentItem(), "Beta");
        beta->setExpanded(true); // read when opened
        QCOMPARE(Names(beta), QStringList({"deep"}));
        chooser.Dir1->setCurrentItem(beta);
        QCOMPARE(chooser.ChosenFolder(), QDir::currentPath() + "/Beta/");
        chooser.Dir1->setCurrentItem(chooser.Dir1->topLevelItem(0));
        QCOMPARE(chooser.ChosenFolder(), QString("/")); // the root keeps its one separator
        QVERIFY(prompts.Messages.empty());
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
        QCOMPARE(d.txtSphereFolder->text(), beta);
        QCOMPARE(QString::fromStdString(f.session.SphereFolderPath), beta);
        QCOMPARE(d.txtSphereFolder->palette().color(QPalette::Base), QColor(0, 192, 0));

        AnswerChooser("alpha", false);
        d.cmdBrowseForFolder->click();
        QCOMPARE(d.txtSphereFolder->text(), beta);
        QCOMPARE(QString::fromStdString(f.session.SphereFolderPath), beta);

        AnswerChooser("alpha", true); // a folder without a normal file
        d.cmdBrowseForFolder->click();
        QCOMPARE(d.txtSphereFolder->text(), QDir::currentPath() + "/alpha/");
        QCOMPARE(d.txtSphereFolder->palette().color(QPalette::Base), QColor(255, 0, 0));
    }

    void drivesShowTheirFoldersAndUnreadableOnesLeaveTheListsAsTheyWere() {
        Place place;
        InFolder here(place.Start);
        ScriptedPrompts prompts;
        FrmLocateFolder chooser(prompts);
        QTreeWidgetItem* alpha = Child(chooser.Dir1->currentItem(), "alpha");
        std::filesystem::remove(place.Start + "/alpha"); // removed while the chooser is open
        const QStringList before = Tree(chooser);
        const QString chosen = chooser.Path();

        chooser.Dir1->setCurrentItem(alpha);
        QCOMPARE(prompts.Messages.size(), size_t(1));
        QVERIFY(prompts.Messages[0].Text.contains("alpha"));
        QCOMPARE(prompts.Messages[0].Title, QString("MultiWardstone"));
        QVERIFY(prompts.Messages[0].Icon == MessageIcon::Exclamation);
        QCOMPARE(Tree(chooser), before);
        QCOMPARE(chooser.Path(), chosen);

        alpha->setExpanded(true);
        QCOMPARE(prompts.Messages.size(), size_t(2));
        QVERIFY(!alpha->isExpanded());

        const int drive = chooser.Drive1->currentIndex();
        chooser.Drive1->addItem("/no/such/drive", "/no/such/drive");
        chooser.Drive1->setCurrentIndex(chooser.Drive1->count() - 1);
        QCOMPARE(prompts.Messages.size(), size_t(3));
        QVERIFY(prompts.Messages[2].Text.contains("/no/such/drive"));
        QCOMPARE(chooser.Drive1->currentIndex(), drive);
        QCOMPARE(Tree(chooser), before);
        QCOMPARE(chooser.Path(), chosen);

        chooser.Drive1->addItem("beta", QString::fromStdString(place.Start + "/Beta"));
        chooser.Drive1->setCurrentIndex(chooser.Drive1->count() - 1); // one that can be read
        QCOMPARE(chooser.Path().toStdString(), place.Start + "/Beta");
        QCOMPARE(Names(chooser.Dir1->currentItem()), QStringList({"deep"}));
        QCOMPARE(prompts.Messages.size(), size_t(3));
    }
};

} // namespace mw::test

QTEST_MAIN(mw::test::FolderChooserTest)
#include "FolderChooserTest.moc"
