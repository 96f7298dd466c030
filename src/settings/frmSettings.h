#pragma once

#include <QWidget>
#include <cstdint>
#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace mw {

class Prompts;
struct Session;

// Edits the paths of the game's multi files, the Sphere server folder, the art folder of the
// preview and the script format.
// Every change takes effect at once; there is nothing to apply or cancel. While it is open the
// main window is hidden; closing it in any way shows the main window again and deletes it.
// It edits the session's paths and options and the main window's script format in place.
class frmSettings : public QWidget {
    Q_OBJECT
public:
    frmSettings(Session& session, Prompts& prompts, std::int16_t& ScriptFormat,
                QWidget& mainWindow);

    // Event handlers; public so that tests can drive them as the events would.
    void cmdBrowseForFolder_Click();
    void cmdBrowseArtFolder_Click();

    // Controls, by the object names tests find them by.
    QGroupBox *Frame3, *Frame1, *Frame2, *Frame4, *frmVersion;
    QLabel *Label5, *Label6, *Label7, *Label8;
    QLineEdit *txtMultiIdx, *txtMultiMul, *txtMultiUop, *txtSphereFolder, *txtArtFolder;
    QPushButton *cmdBrowseMultIdx, *cmdBrowseMultiMul, *cmdBrowseMultiUop, *cmdBrowseForFolder,
        *cmdBrowseArtFolder, *cmdClose;
    QComboBox* cboRecordSize;
    QCheckBox* chkBackUpGameFiles;
    QRadioButton *optPatchExistingMuls, *optCreateNewMuls, *optVer54, *optVer51a, *optVerSourceX;

signals:
    // A path that decides where the preview's art comes from changed: the art folder or a multi
    // file.
    void ArtPathsChanged();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QGroupBox* BuildFilesFrame();
    QGroupBox* BuildSphereFrame();
    QGroupBox* BuildArtFrame();
    QGroupBox* BuildPatchFrame();
    QGroupBox* BuildVersionFrame();
    void BuildControls();
    void ConnectControls();
    void Form_Load();
    void FilePath_Change(QLineEdit* box, std::string& setting);
    void txtSphereFolder_Change();
    void txtArtFolder_Change();
    void BrowseForFile(QLineEdit* box, std::string& setting, const QString& title,
                       const QString& filter);

    Session& session_;
    Prompts& prompts_;
    std::int16_t& ScriptFormat_;
    QWidget& mainWindow_;
};

} // namespace mw
