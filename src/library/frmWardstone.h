#pragma once

#include "common/RunError.h"
#include "common/Session.h"
#include "store/CCategory.h"
#include "store/CSubSection.h"
#include "store/CTempBlock.h"
#include "store/CTempIndex.h"

#include <QPointer>
#include <QWidget>
#include <optional>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace mw {

class Prompts;
class frmSettings;
struct StoredSettings;

// The main window: the library as a tree of categories, subsections and templates, the selected
// template's name and size, one button per command and the status line.
class frmWardstone : public QWidget {
    Q_OBJECT
public:
    frmWardstone(Session& session, Prompts& prompts, QWidget* parent = nullptr);
    ~frmWardstone() override;

    // Start-up: settings, the library, components.txt, the tree. False when the program must end
    // (the library is missing); the user has then been told.
    bool Form_Initialize();

    void FillTemplatesList();
    void SetButtons(bool blnSelected);
    void ClearTrvTemplates();
    void LoadSettings();
    void SaveSettings();
    void SetStatus(const QString& text); // the status line, cleared again 5 seconds later

    // The template of the selected tree node, if a template is selected.
    std::optional<std::int32_t> SelectedTemplateId() const;
    Session& session() { return session_; }
    Prompts& prompts() { return prompts_; }
    // Shows "number description" in a message box titled with the application's title.
    void ShowFailure(const std::exception& failure);

    // Event handlers; public so that tests can drive them as the events would.
    void trvTemplates_Click(QTreeWidgetItem* item);
    void cmdDeleteTemplate_Click();
    void cmdSettings_Click(); // hides this window while the settings dialog is open
    void Timer_Timer();

    // Shared with the template info dialog and the commands.
    CSubSection SubSection;
    CCategory Category;
    QString NewCategoryID;
    QString NewSubsectID;
    QString strNewDescription;
    bool blnCancelAdd = false;
    std::int16_t ScriptFormat = 0;
    QString strCommand;
    CTempIndex TempIndex;
    CTempBlock TempBlock;
    bool blnExtractPending = false;

    // Controls, named as users and tests know them.
    QTreeWidget* trvTemplates;
    QLabel* lblSelectedTemplate;
    QLabel* lblItemCount;
    QLabel* lblStatus;
    QPushButton *cmdImportTemplate, *cmdBuildTemplate, *cmdPatchMulFiles, *cmdDeleteTemplate,
        *cmdExportTemplate, *cmdPreview, *cmdSettings, *cmdExtractFromSphere, *cmdNuke, *cmdExit;
    QRadioButton *optKivT, *optTxt, *optWsc, *optMultiMuls, *optUox3;
    QTimer* Timer;
    QTimer* tmrCommand;
    QPointer<frmSettings> SettingsDialog; // while it is open

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    QGroupBox* BuildListingFrame();
    QGroupBox* BuildOptionsFrame();
    QGroupBox* BuildImportFrame();
    void ConnectControls();
    void ApplyStoredSettings(const StoredSettings& stored);
    void DisableTemplateButtons();
    void ShowFillFailures(const std::vector<RunError>& failures);

    Session& session_;
    Prompts& prompts_;
    bool settingsSaved_ = false;
};

// The text a message box shows for a failure: "number description".
QString FailureText(const std::exception& failure);

} // namespace mw
