#pragma once

#include "app/DesignImport.h"
#include "app/ImportSources.h"
#include "app/Session.h"
#include "common/RunError.h"
#include "library/TemplateTree.h"
#include "store/CCategory.h"
#include "store/CSubSection.h"
#include "store/CTempBlock.h"
#include "store/CTempIndex.h"

#include <QMap>
#include <QPointer>
#include <QWidget>
#include <optional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPoint;
class QPushButton;
class QRadioButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace mw {

class ClientLink;
class Prompts;
class frmEditor;
class frmMultiScripts;
class frmPreview;
class frmSettings;
struct StoredSettings;

// The main window: the library as a tree of categories, subsections and templates, the selected
// template's name and size, one button per command and the status line.
class frmWardstone : public QWidget {
    Q_OBJECT
public:
    frmWardstone(Session& session, Prompts& prompts, QWidget* parent = nullptr);
    ~frmWardstone() override;

    // Start-up: settings, the library, components.txt, the tree. An installed program first makes
    // a missing library in the user's data folder (Session::DefaultsFolder) and says so in the
    // status line. False when the program must end (no library); the user has then been told.
    bool Form_Initialize();

    // Refills the tree from the library, keeping its place; `select`: the template to show
    // selected instead, its branch opened.
    void FillTemplatesList(std::optional<std::int32_t> select = std::nullopt);
    void SetButtons(bool blnSelected);
    void ClearTrvTemplates();
    void LoadSettings();
    void SaveSettings();
    void SetStatus(const QString& text); // the status line, cleared again 5 seconds later

    // The template of the selected tree node, if a template is selected.
    std::optional<std::int32_t> SelectedTemplateId() const;
    Session& session() { return session_; }
    Prompts& prompts() { return prompts_; }
    // How the commands reach the game client; the program's platform link, a recording one in
    // tests.
    void SetClientLink(ClientLink* link) { clientLink_ = link; }
    // Files the buffer as a new template through the template info dialog, which proposes the
    // labels a design file gave; true when stored.
    bool FileNewTemplate(const DesignLabels& proposed = {});
    bool
    AskFiling(const DesignLabels& proposed = {}); // the template info dialog; true when confirmed
    bool StoreBuffer(); // the buffer as a new template where the dialog filed it, then the tree
    // Shows why the last read of the buffer failed, unless it was cancelled.
    void ShowReaderMessage();
    // The window that shows generated scripts, made on first use and kept while it is open.
    frmMultiScripts& ScriptsWindow();
    // The preview window while it is open; it follows the selected template.
    frmPreview* PreviewWindow() const;
    // Shows "number description" in a message box titled with the application's title.
    void ShowFailure(const RunError& failure);

    // Event handlers; public so that tests can drive them as the events would.
    void trvTemplates_Click(QTreeWidgetItem* item);
    void cmdDeleteTemplate_Click();
    void cmdImportTemplate_Click();
    void cmdExportTemplate_Click(); // in the format of the save dialog's filter
    // The tree's context menu: a template renamed, moved, duplicated, deleted or edited; a
    // category or subsection renamed, deleted (with its templates, asked first) or exported as
    // one batch of designs; off the nodes, a new category or the whole library as a batch.
    void trvTemplates_ContextMenu(const QPoint& at);
    void trvTemplates_Key(int key); // F2 renames, Delete deletes the current node
    void mnuRename_Click(QTreeWidgetItem* node);
    void mnuMove_Click(QTreeWidgetItem* node);
    void mnuDuplicate_Click(QTreeWidgetItem* node); // "Copy of ..." beside it
    void mnuDelete_Click(QTreeWidgetItem* node);    // a category or subsection
    void mnuNewCategory_Click();
    void mnuNewSubSection_Click(QTreeWidgetItem* category);
    void mnuExportBatch_Click(QTreeWidgetItem* node); // no node: the whole library
    void ApplyFilter(); // shows the templates whose name holds the filter's text, and the count
    void cmdPreview_Click(); // opens the preview window, or brings it to the front
    // Opens the selected template in an editor window of its own, or brings its editor to the
    // front; a double click on a template does the same.
    void cmdEdit_Click();
    frmEditor* EditorOf(std::int32_t templateId) const; // the open editor of the template
    // A template was saved in an editor: the tree, the labels and the preview show it.
    void TemplateSaved(std::int32_t templateId);
    void cmdPatchMulFiles_Click();
    // With "Patch Existing": the multi to replace, asked and confirmed; none when the user
    // cancelled or said No.
    std::optional<std::uint32_t> AskMultiToReplace(std::int32_t templateId);
    void cmdBuildTemplate_Click();
    void cmdExtractFromSphere_Click();
    void cmdNuke_Click();
    void tmrCommand_Timer();
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
    // The folder each kind of file dialog last chose ("ImportKivT", "Export", ...), where it
    // opens the next time; kept with the settings.
    QMap<QString, QString> LastFolders;

    // A category's or subsection's tree node keeps its name as stored (see TemplateTree.h).
    static constexpr int NameRole = NodeNameRole;

    // Controls, by the object names tests find them by.
    QLineEdit* txtFilter;
    QLabel* lblShown; // how many templates the tree shows
    QTreeWidget* trvTemplates;
    QLabel* lblSelectedTemplate;
    QLabel* lblItemCount;
    QLabel* lblStatus;
    QPushButton *cmdImportTemplate, *cmdBuildTemplate, *cmdPatchMulFiles, *cmdDeleteTemplate,
        *cmdExportTemplate, *cmdPreview, *cmdEdit, *cmdSettings, *cmdExtractFromSphere, *cmdNuke,
        *cmdExit;
    QRadioButton *optKivT, *optTxt, *optWsc, *optMultiMuls, *optUox3, *optUop, *optUoa, *optCsv;
    QTimer* Timer;
    QTimer* tmrCommand;
    QPointer<frmSettings> SettingsDialog; // while it is open

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override; // the tree's F2 and Delete
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildControls();
    QGroupBox* BuildListingFrame();
    QGroupBox* BuildOptionsFrame();
    QGroupBox* BuildImportFrame();
    void ConnectControls();
    void ApplyStoredSettings(const StoredSettings& stored);
    void DisableTemplateButtons();
    void ShowFillFailures(const std::vector<RunError>& failures);
    void ImportFile(const QString& filter, const QString& title, ImportSource source,
                    const QString& kind);
    QString LastFolder(const QString& kind) const; // empty when none is known that exists
    void RememberFolder(const QString& kind, const QString& chosenPath);
    void ImportDesignFile(const QString& path);
    void ImportDesignBatch(const DesignBatch& batch);
    QString ChooseExportPath(const QString& title, const QString& filter, const QString& kind,
                             int& chosenFilter);
    void ImportFromGameFiles(bool fromPackage);
    bool ActivateClient(bool waitForOurFocus);
    bool RequireSphereFolder();
    void TakeOverExtract();

    Session& session_;
    Prompts& prompts_;
    QPointer<frmMultiScripts> scriptsWindow_;
    QPointer<frmPreview> previewWindow_;
    std::vector<QPointer<frmEditor>> editors_;
    ClientLink* clientLink_ = nullptr;
    bool leftSinceExtract_ = false; // the user went to the client after Extract from Server
    bool settingsSaved_ = false;
};

// The text a message box shows for a failure: "number description".
QString ShownFailure(const RunError& failure);
// "1 design", "12 designs".
QString DesignCount(std::int64_t designs);

} // namespace mw
