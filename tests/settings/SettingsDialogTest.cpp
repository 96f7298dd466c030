#include "library/WindowFixture.h"
#include "settings/SettingsStore.h"
#include "settings/frmSettings.h"

namespace mw::test {

namespace {
const QColor Red(255, 0, 0), Green(0, 192, 0);
}

class SettingsDialogTest : public QObject {
    Q_OBJECT

    static frmSettings& OpenSettings(frmWardstone& w) {
        w.cmdSettings->click();
        return *w.SettingsDialog;
    }

    static QColor Background(QLineEdit* box) { return box->palette().color(QPalette::Base); }

private slots:
    // A settings file edited by hand: what does not convert is skipped, the rest still loads.
    void storedValuesThatDoNotConvertAreSkippedAndTheRestLoads() {
        TempFolder folder;
        QSettings store(QString::fromStdString(folder.File("s.conf")), QSettings::IniFormat);
        store.setValue("Settings/OptTxt", "true");
        store.setValue("Settings/OptWsc", "0");
        store.setValue("Settings/OptKivT", "yes please");
        store.setValue("Settings/ScriptFormat", "new");
        StoredSettings loaded = LoadStoredSettings(store);
        QCOMPARE(loaded.OptTxt, std::optional<bool>(true));
        QCOMPARE(loaded.OptWsc, std::optional<bool>(false));
        QVERIFY(!loaded.OptKivT);
        QVERIFY(!loaded.ScriptFormat);
    }

    // A file path is kept only while it names a file: checked on opening, on every key stroke
    // and after Browse; a cancelled or failed Browse changes nothing.
    void aFilePathIsKeptOnlyWhileItNamesAFile() {
        WindowFixture f;
        TempFolder files;
        const QString idx = QString::fromStdString(files.Write("multi.idx", "x"));
        InFolder here(files.Path());
        frmWardstone& w = f.Open();
        f.session.MultiIdxPath = files.File("gone.idx");
        f.session.MultiMulPath = files.Write("multi.mul", "x");
        frmSettings& d = OpenSettings(w);
        QCOMPARE(d.txtMultiIdx->text().toStdString(), files.File("gone.idx"));
        QVERIFY(f.session.MultiIdxPath.empty());
        QCOMPARE(f.session.MultiMulPath, files.File("multi.mul"));

        d.txtMultiIdx->clear();
        const QString typed = "multi.idx";
        for (int i = 0; i < typed.size(); ++i) {
            QTest::keyClick(d.txtMultiIdx, typed[i].toLatin1());
            QCOMPARE(f.session.MultiIdxPath, std::string(i + 1 < typed.size() ? "" : "multi.idx"));
        }
        QCOMPARE(Background(d.txtMultiIdx), Green);
        QTest::keyClick(d.txtMultiIdx, ' ');
        QCOMPARE(f.session.MultiIdxPath, std::string("multi.idx"));
        QTest::keyClick(d.txtMultiIdx, 'x');
        QVERIFY(f.session.MultiIdxPath.empty());
        QCOMPARE(Background(d.txtMultiIdx), Red);

        f.prompts.Answer({idx, ""});
        d.cmdBrowseMultIdx->click();
        QCOMPARE(d.txtMultiIdx->text(), idx);
        QCOMPARE(QString::fromStdString(f.session.MultiIdxPath), idx);
        d.cmdBrowseMultiMul->click(); // cancelled
        QCOMPARE(d.txtMultiMul->text().toStdString(), files.File("multi.mul"));
        QCOMPARE(f.session.MultiMulPath, files.File("multi.mul"));
        d.cmdBrowseMultiUop->click(); // no answer scripted: the file dialog fails
        QCOMPARE(f.LastMessage(), QString("%1 Internal error: the test gave no answer for a prompt")
                                      .arg(err::InternalError));
        QVERIFY(d.txtMultiUop->text().isEmpty());
    }

    // The folder's name is no file pattern: wildcards in it match only themselves.
    void theFolderIsGreenOnlyWhenItsClosingSeparatorFindsANormalFile() {
        WindowFixture f;
        TempFolder files;
        for (const char* name : {"quiet/sub", "srv*", "srv[1]", "x"})
            std::filesystem::create_directories(files.File(name));
        files.Write("quiet/.hidden", "x");
        for (std::string folder : {"server", "srv1", "[x]"}) {
            std::filesystem::create_directories(files.File(folder));
            files.Write(folder + "/spheresvr", "x");
        }
        frmSettings& d = OpenSettings(f.Open());
        const std::string server = files.File("server");
        const std::pair<std::string, QColor> cases[] = {
            {server, Red}, // the folder itself is no normal file
            {server + "/", Green},
            {" " + server + "/", Red},
            {server + "/spheresvr", Green},
            {files.File("quiet/"), Red}, // only a hidden file and a folder
            {"", Red},
            {files.File("[x]/"), Green},
            {files.File("srv*/"), Red},
            {files.File("srv[1]/"), Red},
            {files.File("srv1/spheresv?"), Red},
        };
        for (const auto& [text, colour] : cases) {
            d.txtSphereFolder->setText(QString::fromStdString(text));
            QVERIFY2(Background(d.txtSphereFolder) == colour, text.c_str());
            QCOMPARE(f.session.SphereFolderPath, text); // kept as typed, whatever it finds
        }
    }

    // However the dialog closes, the main window comes back; each opening loads the settings
    // afresh and shows the stored format without choosing one: only a click chooses.
    void theMainWindowIsHiddenWhileTheDialogIsOpen() {
        WindowFixture f;
        frmWardstone& w = f.Open();
        w.show();
        for (std::int16_t stored : {0, 2, 7}) {
            w.ScriptFormat = stored;
            f.session.SphereFolderPath = std::to_string(stored);
            frmSettings& d = OpenSettings(w);
            QVERIFY(!w.isVisible());
            QCOMPARE(d.txtSphereFolder->text(), QString::number(stored));
            QCOMPARE(d.optVer51a->isChecked(), stored == 2);
            QCOMPARE(d.optVer54->isChecked(), stored != 2);
            QCOMPARE(w.ScriptFormat, stored);
            w.cmdSettings_Click(); // cannot be clicked while hidden; opens no second dialog
            QCOMPARE(w.SettingsDialog.data(), &d);
            d.txtSphereFolder->setText("typed/");
            if (stored == 2)
                d.close();
            else
                d.cmdClose->click();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(w.isVisible());
            QVERIFY(w.SettingsDialog.isNull());
            QCOMPARE(f.session.SphereFolderPath, std::string("typed/"));
        }
        frmSettings& d = OpenSettings(w);
        d.optVer51a->click();
        QCOMPARE(w.ScriptFormat, std::int16_t(2));
        d.optVer54->click();
        QCOMPARE(w.ScriptFormat, std::int16_t(1));
        QPointer<frmSettings> open(&d);
        f.window.reset(); // the dialog works on the window's fields, so it goes with it
        QVERIFY(open.isNull());
    }
};

} // namespace mw::test

QTEST_MAIN(mw::test::SettingsDialogTest)
#include "SettingsDialogTest.moc"
