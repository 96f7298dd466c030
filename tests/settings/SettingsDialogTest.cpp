#include "library/WindowFixture.h"
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
    // means the folder of the multi files, a choice of its own that is not marked missing. It is
    // stored under Files/ArtFolder and read back at the next start.
    void theArtFolderIsKeptAsTypedAndStored() {
        WindowFixture f;
        TempFolder files;
        std::filesystem::create_directories(files.File("art"));
        files.Write("art/artidx.mul", "");
        frmWardstone& w = f.Open();
        frmSettings& d = OpenSettings(w);
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

        d.txtArtFolder->setText(QString::fromStdString(files.File("art")));
        d.close();
        w.SaveSettings();
        QCOMPARE(QSettings("MultiWardstone", "MultiWardstone").value("Files/ArtFolder").toString(),
                 QString::fromStdString(files.File("art")));
        f.session.ArtFolderPath.clear();
        w.LoadSettings();
        QCOMPARE(f.session.ArtFolderPath, files.File("art"));
    }

    // However the dialog closes, Escape too, the main window comes back; an opening shows the
    // stored format without choosing one, and only a click chooses, at once. Source-X is stored
    // as 3.
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
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        w.SaveSettings();
        QCOMPARE(
            QSettings("MultiWardstone", "MultiWardstone").value("Settings/ScriptFormat").toString(),
            QString("3"));
        QCOMPARE(QSettings("MultiWardstone", "MultiWardstone")
                     .value("Settings/PatchExisting")
                     .toString(),
                 QString("True"));
        w.ScriptFormat = 1;
        w.LoadSettings();
        QVERIFY(OpenSettings(w).optVerSourceX->isChecked());
    }
};

} // namespace mw::test

QTEST_MAIN(mw::test::SettingsDialogTest)
#include "SettingsDialogTest.moc"
