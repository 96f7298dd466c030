#include "library/WindowFixture.h"
#include "settings/InFolder.h"
#include "settings/SettingsStore.h"
#include "settings/frmSettings.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace mw::test {

namespace {
const QColor Grey(192, 192, 192), Red(255, 0, 0), Green(0, 192, 0);
}

class SettingsDialogTest : public QObject {
    Q_OBJECT

    static frmSettings& OpenSettings(frmWardstone& w) {
        w.cmdSettings->click();
        return *w.SettingsDialog;
    }

    static QColor Background(QLineEdit* box) { return box->palette().color(QPalette::Base); }

    static void CloseAndDrop(frmSettings& dialog) {
        dialog.close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private slots:
    void storedValuesThatDoNotConvertAreSkippedAndTheRestLoads() {
        TempFolder folder;
        QSettings store(QString::fromStdString(folder.File("s.conf")), QSettings::IniFormat);
        store.setValue("Settings/OptTxt", "true");
        store.setValue("Settings/OptWsc", "0");
        store.setValue("Settings/OptKivT", "yes please");
        store.setValue("Settings/ScriptFormat", "new");
        store.setValue("Settings/OptUox3", "False");
        StoredSettings loaded = LoadStoredSettings(store);
        QCOMPARE(loaded.OptTxt, std::optional<bool>(true));
        QCOMPARE(loaded.OptWsc, std::optional<bool>(false));
        QVERIFY(!loaded.OptKivT);
        QVERIFY(!loaded.ScriptFormat);
        QCOMPARE(loaded.OptUox3, std::optional<bool>(false));
        store.setValue("Settings/ScriptFormat", "70000");
        QVERIFY(!LoadStoredSettings(store).ScriptFormat);
    }

    void firstRunShowsEmptyBoxesAndTheNewFormat() {
        WindowFixture f;
        frmWardstone& w = f.Open();
        frmSettings& d = OpenSettings(w);
        QCOMPARE(d.windowTitle(), QString("Settings"));
        for (QLineEdit* box : {d.txtMultiIdx, d.txtMultiMul, d.txtSphereFolder})
            QVERIFY(box->text().isEmpty());
        QCOMPARE(Background(d.txtMultiIdx), Red);
        QCOMPARE(Background(d.txtMultiMul), Red);
        QCOMPARE(Background(d.txtSphereFolder), Grey);
        QVERIFY(d.optVer54->isChecked());
        QCOMPARE(w.ScriptFormat, std::int16_t(0)); // shown, not chosen

        QCOMPARE(d.Frame3->title(),
                 QString("Warning make backups of these files before patching."));
        QCOMPARE(d.Frame3->palette().color(QPalette::WindowText), QColor(192, 0, 0));
        QCOMPARE(d.Frame3->font().family(), QString("Times New Roman"));
        QVERIFY(!d.Frame2->isEnabled()); // nothing reads the patch options
    }

    void aTypedPathIsKeptOnlyWhileItNamesSomething() {
        WindowFixture f;
        TempFolder files;
        files.Write("multi.idx", "x");
        InFolder here(files.Path());
        frmWardstone& w = f.Open();
        frmSettings& d = OpenSettings(w);
        const QString typed = "multi.idx";
        for (int i = 0; i < typed.size(); ++i) {
            QTest::keyClick(d.txtMultiIdx, typed[i].toLatin1());
            bool whole = i + 1 == typed.size();
            QCOMPARE(Background(d.txtMultiIdx), whole ? Green : Red);
            QCOMPARE(f.session.MultiIdxPath, std::string(whole ? "multi.idx" : ""));
        }
        QTest::keyClick(d.txtMultiIdx, ' ');
        QCOMPARE(Background(d.txtMultiIdx), Green);
        QCOMPARE(f.session.MultiIdxPath, std::string("multi.idx"));
        QTest::keyClick(d.txtMultiIdx, 'x');
        QCOMPARE(Background(d.txtMultiIdx), Red);
        QVERIFY(f.session.MultiIdxPath.empty());

        QString mul = QString::fromStdString(files.Write("multi.mul", "x"));
        d.txtMultiMul->setText("  " + mul + " ");
        QCOMPARE(Background(d.txtMultiMul), Green);
        QCOMPARE(QString::fromStdString(f.session.MultiMulPath), mul);
        d.txtMultiMul->clear();
        QCOMPARE(Background(d.txtMultiMul), Red);
        QVERIFY(f.session.MultiMulPath.empty());
    }

    void aStoredPathThatIsGoneIsDroppedOnOpening() {
        WindowFixture f;
        TempFolder files;
        frmWardstone& w = f.Open();
        f.session.MultiIdxPath = files.File("gone.idx");
        f.session.MultiMulPath = files.Write("multi.mul", "x");
        frmSettings& d = OpenSettings(w);
        QCOMPARE(d.txtMultiIdx->text().toStdString(), files.File("gone.idx"));
        QCOMPARE(Background(d.txtMultiIdx), Red);
        QVERIFY(f.session.MultiIdxPath.empty());
        QCOMPARE(Background(d.txtMultiMul), Green);
        QCOMPARE(f.session.MultiMulPath, files.File("multi.mul"));
    }

    // The folder's name is no file pattern: wildcards in it match only themselves.
    void theFolderIsGreenOnlyWhenItsClosingSeparatorFindsANormalFile() {
        WindowFixture f;
        TempFolder files;
        for (const char* name : {"quiet/sub", "srv*", "srv?", "srv[1]", "x"})
            MakeFolder(files.File(name));
        files.Write("quiet/.hidden", "x");
        for (std::string folder : {"server", "srv1", "[x]"}) {
            MakeFolder(files.File(folder));
            files.Write(folder + "/spheresvr", "x");
        }
        frmWardstone& w = f.Open();
        frmSettings& d = OpenSettings(w);
        const std::string server = files.File("server");
        const std::pair<std::string, QColor> cases[] = {
            {server, Red}, // the folder itself is no normal file
            {server + "/", Green},
            {" " + server + "/", Red},
            {server + "/spheresvr", Green},
            {files.File("quiet/"), Red}, // only a hidden file and a folder
            {files.File("missing/"), Red},
            {"", Red},
            {files.File("[x]/"), Green},
            {files.File("srv*/"), Red},
            {files.File("srv?/"), Red},
            {files.File("srv[1]/"), Red},
            {files.File("srv1/*"), Red},
            {files.File("srv1/spheresv?"), Red},
        };
        for (const auto& [text, colour] : cases) {
            d.txtSphereFolder->setText(QString::fromStdString(text));
            QVERIFY2(Background(d.txtSphereFolder) == colour, text.c_str());
            QCOMPARE(f.session.SphereFolderPath, text); // kept as typed, whatever it finds
        }
    }

    void browseTakesTheChosenFileAndCancelOrAFailureChangesNothing() {
        WindowFixture f;
        TempFolder files;
        QString idx = QString::fromStdString(files.Write("multi.idx", "x"));
        frmWardstone& w = f.Open();
        f.session.MultiMulPath = files.Write("multi.mul", "x");
        frmSettings& d = OpenSettings(w);

        f.prompts.Answer({idx, ""});
        d.cmdBrowseMultIdx->click();
        QCOMPARE(f.prompts.Questions.back().Title, QString("Browse for the multi.idx file"));
        QCOMPARE(f.prompts.Questions.back().Text, QString("Multi.idx files (*.idx)|*.idx"));
        QCOMPARE(d.txtMultiIdx->text(), idx);
        QCOMPARE(Background(d.txtMultiIdx), Green);
        QCOMPARE(QString::fromStdString(f.session.MultiIdxPath), idx);

        d.cmdBrowseMultiMul->click();
        QCOMPARE(f.prompts.Questions.back().Title, QString("Browse for the multi.mul file"));
        QCOMPARE(f.prompts.Questions.back().Text, QString("Multi.mul file (*.mul)|*.mul"));
        QCOMPARE(f.session.MultiMulPath, files.File("multi.mul"));
        QCOMPARE(d.txtMultiMul->text().toStdString(), files.File("multi.mul"));
        QCOMPARE(Background(d.txtMultiMul), Green);
        QVERIFY(f.prompts.AllAnswered());

        d.cmdBrowseMultiUop->click(); // no answer scripted: the file dialog fails
        QCOMPARE(f.prompts.Messages.back().Text,
                 QString("%1 Internal error: the test gave no answer for a prompt")
                     .arg(err::InternalError));
        QCOMPARE(f.prompts.Messages.back().Title, ApplicationTitle);
        QVERIFY(d.txtMultiUop->text().isEmpty());
    }

    void everyFormatButTheOldOneOpensAsTheNewOne() {
        WindowFixture f;
        frmWardstone& w = f.Open();
        for (std::int16_t stored : {0, 1, 2, 7}) {
            w.ScriptFormat = stored;
            frmSettings& d = OpenSettings(w);
            QCOMPARE(d.optVer51a->isChecked(), stored == 2);
            QCOMPARE(d.optVer54->isChecked(), stored != 2);
            QCOMPARE(w.ScriptFormat, stored);
            CloseAndDrop(d);
        }
        frmSettings& d = OpenSettings(w);
        d.optVer51a->click();
        QCOMPARE(w.ScriptFormat, std::int16_t(2));
        d.optVer54->click();
        QCOMPARE(w.ScriptFormat, std::int16_t(1));
    }

    void theMainWindowIsHiddenWhileTheDialogIsOpen() {
        WindowFixture f;
        frmWardstone& w = f.Open();
        w.show();
        for (bool byCloseBox : {false, true}) {
            frmSettings& d = OpenSettings(w);
            QVERIFY(!w.isVisible());
            QVERIFY(d.isVisible());
            w.cmdSettings_Click(); // cannot be clicked while hidden; opens no second dialog
            QCOMPARE(w.SettingsDialog.data(), &d);
            d.txtSphereFolder->setText("typed/");
            if (byCloseBox)
                CloseAndDrop(d);
            else {
                d.cmdClose->click();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            }
            QVERIFY(w.isVisible());
            QVERIFY(w.SettingsDialog.isNull());
            QCOMPARE(f.session.SphereFolderPath, std::string("typed/"));
        }
        f.session.SphereFolderPath = "elsewhere/";
        frmSettings& again = OpenSettings(w); // loaded afresh
        QCOMPARE(again.txtSphereFolder->text(), QString("elsewhere/"));
        QPointer<frmSettings> open(&again);
        f.window.reset(); // the dialog works on the window's fields, so it goes with it
        QVERIFY(open.isNull());
    }
};

} // namespace mw::test

QTEST_MAIN(mw::test::SettingsDialogTest)
#include "SettingsDialogTest.moc"
