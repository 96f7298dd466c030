#include "library/frmWardstone.h"

#include "app/Failures.h"
#include "app/UserLibrary.h"

#include "common/Files.h"
#include "library/TemplateTree.h"
#include "library/frmEditor.h"
#include "library/frmPreview.h"
#include "settings/SettingsStore.h"
#include "settings/frmSettings.h"
#include "store/LibraryListing.h"
#include "store/TemplateRows.h"
#include "ui/Guarded.h"
#include "ui/NamedControls.h"
#include "ui/Prompts.h"
#include "ui/WaitCursor.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace mw {

namespace {

constexpr int TagRole = NodeTagRole;
constexpr int StatusClearMs = 5000;
constexpr int CommandDelayMs = 5;
constexpr int FailuresShown = 10;

QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}

QPushButton* Button(const QString& name, const QString& caption, bool enabled) {
    auto* button = Named<QPushButton>(name, caption);
    button->setEnabled(enabled);
    return button;
}

// Sets an option as stored. A True clears the others, as choosing it would; a False clears it
// alone, so the import source group may end with none chosen.
void SetOption(QRadioButton* option, const std::optional<bool>& value) {
    if (!value) return;
    if (*value) {
        option->setChecked(true);
        return;
    }
    option->setAutoExclusive(false);
    option->setChecked(false);
    option->setAutoExclusive(true);
}

// Why the settings let Patch Muls patch nothing, naming what is missing; empty when they do.
QString MissingGameFiles(const PatchTargets& targets) {
    if (targets.HasMulFiles() || targets.HasPackage()) return {};
    const QString needs = "Patch Muls needs multi.idx and multi.mul, or MultiCollection.uop, set "
                          "to existing files in the Settings: ";
    if (!targets.MultiIdxPath.empty()) return needs + "multi.mul is not set";
    if (!targets.MultiMulPath.empty()) return needs + "multi.idx is not set";
    return needs + "none of them is set";
}

} // namespace

QString ShownFailure(const RunError& failure) {
    return FromStd(FailureText(failure));
}

QString DesignCount(std::int64_t designs) {
    return QString::number(designs) + (designs == 1 ? " design" : " designs");
}

frmWardstone::frmWardstone(Session& session, Prompts& prompts, QWidget* parent)
    : QWidget(parent), SubSection(session.cnTemplates), Category(session.cnTemplates),
      TempIndex(session.cnTemplates), TempBlock(session.cnTemplates), session_(session),
      prompts_(prompts) {
    setObjectName("frmWardstone");
    setWindowTitle("Kiv Multi Wardstone " WARDSTONE_VERSION);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    BuildControls();
    ConnectControls();
    setFixedSize(sizeHint());
    trvTemplates->setFocus();
}

frmWardstone::~frmWardstone() {
    for (const QPointer<frmEditor>& editor : editors_)
        delete editor.data(); // they file through this window's fields
    delete previewWindow_;    // first: closing the settings would have it draw again
    if (SettingsDialog)
        SettingsDialog->disconnect(this); // nothing of this window is left to update
    delete SettingsDialog;                // it works on this window's fields
}

QGroupBox* frmWardstone::BuildListingFrame() {
    auto* frame = Named<QGroupBox>("Frame2", "Template Listing");
    txtFilter = Named<QLineEdit>("txtFilter");
    txtFilter->setPlaceholderText("Filter by name");
    txtFilter->setClearButtonEnabled(true);
    txtFilter->setToolTip("Shows only the templates whose name contains this text");
    lblShown = Named<QLabel>("lblShown");
    auto* filter = new QHBoxLayout;
    filter->addWidget(txtFilter, 1);
    filter->addWidget(lblShown);
    trvTemplates = Named<QTreeWidget>("trvTemplates");
    trvTemplates->setHeaderHidden(true);
    trvTemplates->setMinimumSize(300, 340);
    trvTemplates->setContextMenuPolicy(Qt::CustomContextMenu);
    lblSelectedTemplate = Named<QLabel>("lblSelectedTemplate");
    lblItemCount = Named<QLabel>("lblItemCount");
    lblStatus = Named<QLabel>("lblStatus");
    auto* details = new QGridLayout;
    details->addWidget(new QLabel("Selected:"), 0, 0);
    details->addWidget(lblSelectedTemplate, 0, 1);
    details->addWidget(new QLabel("Item Count:"), 1, 0);
    details->addWidget(lblItemCount, 1, 1);
    details->setColumnStretch(1, 1);
    auto* layout = new QVBoxLayout(frame);
    layout->addLayout(filter);
    layout->addWidget(trvTemplates);
    layout->addLayout(details);
    layout->addWidget(lblStatus);
    return frame;
}

QGroupBox* frmWardstone::BuildImportFrame() {
    auto* frame = Named<QGroupBox>("frmFile", "Import From");
    optKivT = NamedOption("optKivT", "*.KivT", QString());
    optTxt = NamedOption("optTxt", "*.txt", "*.txt file created by .EXTRACT command ");
    optWsc = NamedOption("optWsc", "*.wsc", "WSC file created by .export command");
    optMultiMuls = NamedOption("optMultiMuls", "Multi Muls", QString());
    optUox3 = NamedOption("optUox3", "UOX3", QString());
    optUop = NamedOption("optUop", "UOP", "One multi of MultiCollection.uop");
    optUoa = NamedOption("optUoa", "*.uoa", "A UO Architect design, or a batch of them");
    optCsv = NamedOption("optCsv", "*.csv", "A tile list, as CSV or as plain text");
    optKivT->setChecked(true);
    auto* layout = new QGridLayout(frame);
    layout->addWidget(optKivT, 0, 0);
    layout->addWidget(optTxt, 0, 1);
    layout->addWidget(optWsc, 1, 0);
    layout->addWidget(optMultiMuls, 1, 1);
    layout->addWidget(optUox3, 2, 0);
    layout->addWidget(optUop, 2, 1);
    layout->addWidget(optUoa, 3, 0);
    layout->addWidget(optCsv, 3, 1);
    return frame;
}

QGroupBox* frmWardstone::BuildOptionsFrame() {
    auto* frame = Named<QGroupBox>("Frame1", "Template Options");
    cmdImportTemplate = Button("cmdImportTemplate", "Import", true);
    cmdImportTemplate->setToolTip("Load a multi to patch");
    cmdBuildTemplate = Button("cmdBuildTemplate", "Build Multi", false);
    cmdPatchMulFiles = Button("cmdPatchMulFiles", "Patch Muls", false);
    cmdDeleteTemplate = Button("cmdDeleteTemplate", "Delete", false);
    cmdExportTemplate = Button("cmdExportTemplate", "Export", false);
    cmdPreview = Button("cmdPreview", "Preview", false);
    cmdPreview->setToolTip("Show the selected template as the game draws it");
    cmdEdit = Button("cmdEdit", "Edit", false);
    cmdEdit->setToolTip("Edit the selected template's components (or double-click it)");
    cmdSettings = Button("cmdSettings", "Settings", true);
    auto* buttons = new QGridLayout;
    buttons->addWidget(cmdImportTemplate, 0, 0);
    buttons->addWidget(cmdBuildTemplate, 0, 1);
    buttons->addWidget(cmdPatchMulFiles, 1, 0);
    buttons->addWidget(cmdDeleteTemplate, 1, 1);
    buttons->addWidget(cmdPreview, 2, 0);
    buttons->addWidget(cmdEdit, 2, 1);
    buttons->addWidget(cmdExportTemplate, 3, 0, 1, 2);
    auto* layout = new QVBoxLayout(frame);
    layout->addLayout(buttons);
    layout->addWidget(BuildImportFrame());
    layout->addWidget(cmdSettings);
    return frame;
}

void frmWardstone::BuildControls() {
    auto* sphere = Named<QGroupBox>("Frame3", "Sphere 55+ Only");
    cmdExtractFromSphere = Button("cmdExtractFromSphere", "Extract from Server", true);
    (new QVBoxLayout(sphere))->addWidget(cmdExtractFromSphere);
    cmdNuke = Button("cmdNuke", "Nuke Cmd", true);
    cmdExit = Button("cmdExit", "Exit", true);

    auto* side = new QVBoxLayout;
    side->addWidget(BuildOptionsFrame());
    side->addWidget(sphere);
    side->addStretch();
    side->addWidget(cmdNuke);
    side->addWidget(cmdExit);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(BuildListingFrame(), 1);
    layout->addLayout(side);

    Timer = Named<QTimer>("Timer", this);
    Timer->setSingleShot(true);
    Timer->start(StatusClearMs); // it ticks once after start-up too
    tmrCommand = Named<QTimer>("tmrCommand", this);
    tmrCommand->setSingleShot(true);
    tmrCommand->setInterval(CommandDelayMs);
}

void frmWardstone::ConnectControls() {
    // Every handler is guarded: a failure it lets out is shown and the window goes on.
    auto guarded = [this](auto handler) { return Guarded(prompts_, this, handler); };
    // Keyboard selection counts as a click: the labels and buttons always follow the selection.
    // A click on the node already selected counts too: the settings may have changed since.
    connect(trvTemplates, &QTreeWidget::currentItemChanged, this,
            guarded(&frmWardstone::trvTemplates_Click));
    connect(trvTemplates, &QTreeWidget::itemClicked, this,
            guarded(&frmWardstone::trvTemplates_Click));
    connect(trvTemplates, &QWidget::customContextMenuRequested, this,
            guarded(&frmWardstone::trvTemplates_ContextMenu));
    connect(trvTemplates, &QTreeWidget::itemDoubleClicked, this,
            Guarded(prompts_, [this](QTreeWidgetItem* item) {
                if (item && KindOf(item) == NodeKind::Template) cmdEdit_Click();
            }));
    trvTemplates->installEventFilter(this); // F2 and Delete
    connect(txtFilter, &QLineEdit::textChanged, this, guarded(&frmWardstone::ApplyFilter));
    connect(cmdEdit, &QPushButton::clicked, this, guarded(&frmWardstone::cmdEdit_Click));
    connect(cmdDeleteTemplate, &QPushButton::clicked, this,
            guarded(&frmWardstone::cmdDeleteTemplate_Click));
    connect(cmdImportTemplate, &QPushButton::clicked, this,
            guarded(&frmWardstone::cmdImportTemplate_Click));
    connect(cmdExportTemplate, &QPushButton::clicked, this,
            guarded(&frmWardstone::cmdExportTemplate_Click));
    connect(cmdPreview, &QPushButton::clicked, this, guarded(&frmWardstone::cmdPreview_Click));
    connect(cmdPatchMulFiles, &QPushButton::clicked, this,
            guarded(&frmWardstone::cmdPatchMulFiles_Click));
    connect(cmdBuildTemplate, &QPushButton::clicked, this,
            guarded(&frmWardstone::cmdBuildTemplate_Click));
    connect(cmdExtractFromSphere, &QPushButton::clicked, this,
            guarded(&frmWardstone::cmdExtractFromSphere_Click));
    connect(cmdNuke, &QPushButton::clicked, this, guarded(&frmWardstone::cmdNuke_Click));
    connect(tmrCommand, &QTimer::timeout, this, guarded(&frmWardstone::tmrCommand_Timer));
    connect(cmdSettings, &QPushButton::clicked, this, guarded(&frmWardstone::cmdSettings_Click));
    connect(cmdExit, &QPushButton::clicked, this, guarded(&QWidget::close));
    connect(Timer, &QTimer::timeout, this, guarded(&frmWardstone::Timer_Timer));
}

bool frmWardstone::Form_Initialize() {
    LoadSettings();
    const std::string path = session_.DatabasePath();
    bool made = false;
    try {
        if (!session_.DefaultsFolder.empty())
            made = ProvideUserLibrary(session_.AppFolder, session_.DefaultsFolder);
    } catch (const RunError& failure) {
        prompts_.Message(ShownFailure(failure), ApplicationTitle, MessageIcon::Critical);
        return false;
    }
    try {
        TempIndex.Connect(path, adUseServer, adLockOptimistic);
        TempBlock.Connect(path, adUseServer, adLockOptimistic);
        Category.Connect(path, adUseServer, adLockOptimistic);
        SubSection.Connect(path, adUseServer, adLockOptimistic);
    } catch (const RunError& failure) {
        if (!FileExists(path))
            prompts_.Message("Wardstone.dat file is missing", "Wardstone Data file not found",
                             MessageIcon::Exclamation);
        else
            prompts_.Message(ShownFailure(failure), ApplicationTitle, MessageIcon::Critical);
        return false;
    }
    try {
        LoadComponentsList(session_.Components, session_.ComponentsPath());
    } catch (const RunError&) {
        // Without the list nothing is flagged as placed separately; the library still opens.
        SetStatus("No components.txt beside the library: no component is flagged");
    }
    if (made) SetStatus("Made an empty library in your data folder"); // the tree's tooltip names it
    trvTemplates->setToolTip("Library: " + FromStd(path));
    blnExtractPending = false;
    FillTemplatesList();
    return true;
}

void frmWardstone::ClearTrvTemplates() {
    trvTemplates->clear();
}

// The tree keeps its place: the open branches stay open and the current node stays current (or
// the template asked for becomes current, its branch opened), and the labels, the buttons and the
// preview follow what is current now.
void frmWardstone::FillTemplatesList(std::optional<std::int32_t> select) {
    std::vector<RunError> failures;
    std::vector<ListedCategory> listing;
    try {
        const std::initializer_list<RecordObject*> all = {&TempIndex, &TempBlock, &Category,
                                                          &SubSection};
        for (RecordObject* records : all)
            records->Unfilter();
        for (RecordObject* records : all)
            records->Requery();
        listing = ListTemplates(TempIndex, Category, SubSection, failures);
    } catch (const RunError& failure) {
        failures.push_back(failure);
    }
    TreePlace place = PlaceOf(trvTemplates);
    if (select) place = WithTemplateCurrent(place, *select);
    trvTemplates->setUpdatesEnabled(false);
    QTreeWidgetItem* current;
    {
        const QSignalBlocker quiet(trvTemplates); // refilling is no selection by the user
        ClearTrvTemplates();
        AddListing(trvTemplates, listing);
        current = RestorePlace(trvTemplates, place);
    }
    trvTemplates->setUpdatesEnabled(true);
    if (current) {
        trvTemplates->scrollToItem(current);
        trvTemplates_Click(current);
    } else {
        lblItemCount->clear();
        lblSelectedTemplate->clear();
        DisableTemplateButtons();
    }
    ApplyFilter();
    // A preview of a template that is gone would show what the library no longer holds.
    if (previewWindow_ && previewWindow_->TemplateId() &&
        !FindTemplateNode(trvTemplates, *previewWindow_->TemplateId()))
        previewWindow_->close();
    ShowFillFailures(failures);
}

void frmWardstone::ShowFillFailures(const std::vector<RunError>& failures) {
    if (failures.empty()) return;
    QStringList lines;
    for (size_t i = 0; i < failures.size() && i < FailuresShown; ++i)
        lines << FromStd(failures[i].Text());
    if (failures.size() > FailuresShown)
        lines << QString("... and %1 more").arg(failures.size() - FailuresShown);
    prompts_.Message(lines.join('\n'), ApplicationTitle, MessageIcon::None);
}

// After a refill no template is selected, so no command may act on the last one clicked.
void frmWardstone::DisableTemplateButtons() {
    for (QPushButton* button : {cmdDeleteTemplate, cmdExportTemplate, cmdPreview, cmdEdit,
                                cmdPatchMulFiles, cmdBuildTemplate})
        button->setEnabled(false);
}

void frmWardstone::SetButtons(bool blnSelected) {
    bool sphere = !session_.SphereFolderPath.empty();
    cmdDeleteTemplate->setEnabled(blnSelected);
    cmdExportTemplate->setEnabled(blnSelected);
    cmdPreview->setEnabled(blnSelected);
    cmdEdit->setEnabled(blnSelected);
    const QString missing = MissingGameFiles(session_.Targets());
    cmdPatchMulFiles->setEnabled(blnSelected && missing.isEmpty());
    cmdPatchMulFiles->setToolTip(blnSelected ? missing : QString());
    cmdBuildTemplate->setEnabled(blnSelected && sphere);
    cmdExtractFromSphere->setEnabled(sphere);
}

std::optional<std::int32_t> frmWardstone::SelectedTemplateId() const {
    QTreeWidgetItem* item = trvTemplates->currentItem();
    if (!item || KindOf(item) != NodeKind::Template) return std::nullopt;
    return item->data(0, TagRole).toInt();
}

void frmWardstone::trvTemplates_Click(QTreeWidgetItem* item) {
    if (!item) return; // nothing selected: nothing to show
    if (KindOf(item) != NodeKind::Template) {
        lblItemCount->clear();
        lblSelectedTemplate->clear();
        SetButtons(false);
        return;
    }
    try {
        std::string filter = "TempIndexID='" + std::to_string(item->data(0, TagRole).toInt()) + "'";
        TempIndex.Filter(filter);
        TempBlock.Filter(filter);
        lblItemCount->setText(QString::number(TempBlock.RecordCount()));
        lblSelectedTemplate->setText(FromStd(TempIndex.Description()));
        TempBlock.Unfilter();
        SetButtons(true);
        // The preview follows templates; a category leaves it showing the last one.
        if (previewWindow_)
            previewWindow_->ShowTemplate(item->data(0, TagRole).toInt(),
                                         lblSelectedTemplate->text());
    } catch (const RunError& failure) {
        ShowFailure(failure);
    }
}

void frmWardstone::cmdDeleteTemplate_Click() {
    std::optional<std::int32_t> id = SelectedTemplateId();
    if (!id) return;
    QString name;
    try {
        name = FromStd(TempIndex.Description());
    } catch (const RunError& failure) {
        ShowFailure(failure);
        return;
    }
    if (!prompts_.AskYesNo("Are you sure you want to delete the " + name + "?", "Confirm Deletion",
                           MessageIcon::None))
        return;
    try {
        WaitCursor wait; // ends before any message: the pointer is back when the user reads it
        DeleteTemplate(session_.cnTemplates, TempIndex, TempBlock, *id);
    } catch (const RunError& failure) {
        ShowFailure(failure);
    }
    FillTemplatesList();
}

frmPreview* frmWardstone::PreviewWindow() const {
    return previewWindow_;
}

void frmWardstone::cmdPreview_Click() {
    std::optional<std::int32_t> id = SelectedTemplateId();
    if (!id) return;
    if (!previewWindow_) {
        previewWindow_ = new frmPreview(session_, prompts_);
        // Beside this window, on the side with more room, narrowed to that room when it can
        // be, so that it covers as little of this window as the screen allows.
        const QRect screen = previewWindow_->screen()->availableGeometry();
        const QRect main = frameGeometry();
        const int gap = 8, rightRoom = screen.right() - main.right() - gap,
                  leftRoom = main.left() - screen.left() - gap;
        const int width =
            std::clamp(std::max(rightRoom, leftRoom), previewWindow_->minimumSizeHint().width(),
                       previewWindow_->width());
        previewWindow_->resize(width, previewWindow_->height());
        const int x = rightRoom >= leftRoom ? std::min(main.right() + gap, screen.right() - width)
                                            : std::max(main.left() - gap - width, screen.left());
        previewWindow_->move(x, main.top());
    }
    previewWindow_->show();
    previewWindow_->raise();
    previewWindow_->activateWindow();
    previewWindow_->ShowTemplate(*id, lblSelectedTemplate->text());
}

void frmWardstone::cmdSettings_Click() {
    if (SettingsDialog) return; // already open, and this window hidden
    hide();
    SettingsDialog = new frmSettings(session_, prompts_, ScriptFormat, *this);
    // The preview shows the effect of the art paths at once, and reads the art afresh after.
    connect(SettingsDialog, &frmSettings::ArtPathsChanged, this, Guarded(prompts_, [this] {
                if (previewWindow_) previewWindow_->ArtSettingsChanged(false);
            }));
    // Kept at once, so that a crash later loses nothing; the buttons follow the new settings.
    connect(SettingsDialog, &QObject::destroyed, this, Guarded(prompts_, [this] {
                SaveSettings();
                if (QTreeWidgetItem* current = trvTemplates->currentItem())
                    trvTemplates_Click(current);
                if (previewWindow_) previewWindow_->ArtSettingsChanged(true);
            }));
    SettingsDialog->show();
}

QString frmWardstone::LastFolder(const QString& kind) const {
    const QString folder = LastFolders.value(kind);
    return !folder.isEmpty() && QDir(folder).exists() ? folder : QString();
}

void frmWardstone::RememberFolder(const QString& kind, const QString& chosenPath) {
    if (!chosenPath.isEmpty()) LastFolders[kind] = QFileInfo(chosenPath).absolutePath();
}

void frmWardstone::SetStatus(const QString& text) {
    lblStatus->setText(text);
    Timer->start(StatusClearMs);
}

void frmWardstone::Timer_Timer() {
    lblStatus->clear();
    Timer->stop();
}

void frmWardstone::ShowFailure(const RunError& failure) {
    prompts_.Message(ShownFailure(failure), ApplicationTitle, MessageIcon::None);
}

void frmWardstone::ApplyStoredSettings(const StoredSettings& stored) {
    session_.MultiIdxPath = stored.MultiIdx.toStdString();
    session_.MultiMulPath = stored.MultiMul.toStdString();
    session_.SphereFolderPath = stored.SphereFolder.toStdString();
    SetOption(optWsc, stored.OptWsc);
    SetOption(optTxt, stored.OptTxt);
    SetOption(optMultiMuls, stored.OptMultiMuls);
    SetOption(optKivT, stored.OptKivT);
    SetOption(optUox3, stored.OptUox3);
    if (stored.ScriptFormat) ScriptFormat = *stored.ScriptFormat;
    session_.MultiUopPath = stored.MultiUop.toStdString();
    session_.RecordSize = RecordSizeChoiceFrom(stored.MultiRecordSize.toStdString());
    session_.ArtFolderPath = stored.ArtFolder.toStdString();
    SetOption(optUop, stored.OptUop);
    SetOption(optUoa, stored.OptUoa);
    SetOption(optCsv, stored.OptCsv);
    session_.Backups.Enabled = stored.BackUpGameFiles.value_or(true);
    session_.PatchExisting = stored.PatchExisting.value_or(false);
    LastFolders = stored.Folders;
}

void frmWardstone::LoadSettings() {
    QSettings store("MultiWardstone", "MultiWardstone");
    ApplyStoredSettings(LoadStoredSettings(store));
}

void frmWardstone::SaveSettings() {
    StoredSettings settings;
    settings.MultiIdx = FromStd(session_.MultiIdxPath);
    settings.MultiMul = FromStd(session_.MultiMulPath);
    settings.SphereFolder = FromStd(session_.SphereFolderPath);
    settings.OptWsc = optWsc->isChecked();
    settings.OptMultiMuls = optMultiMuls->isChecked();
    settings.OptTxt = optTxt->isChecked();
    settings.OptKivT = optKivT->isChecked();
    settings.ScriptFormat = ScriptFormat;
    settings.OptUox3 = optUox3->isChecked();
    settings.MultiUop = FromStd(session_.MultiUopPath);
    settings.MultiRecordSize = RecordSizeChoiceText(session_.RecordSize);
    settings.ArtFolder = FromStd(session_.ArtFolderPath);
    settings.OptUop = optUop->isChecked();
    settings.OptUoa = optUoa->isChecked();
    settings.OptCsv = optCsv->isChecked();
    settings.BackUpGameFiles = session_.Backups.Enabled;
    settings.PatchExisting = session_.PatchExisting;
    settings.Folders = LastFolders;
    QSettings store("MultiWardstone", "MultiWardstone");
    SaveStoredSettings(store, settings);
}

bool frmWardstone::eventFilter(QObject* watched, QEvent* event) {
    if (watched != trvTemplates || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_F2 && key != Qt::Key_Delete) return false;
    RunGuarded(prompts_, [&] { trvTemplates_Key(key); });
    return true;
}

void frmWardstone::closeEvent(QCloseEvent* event) {
    // An editor with unsaved changes asks first; Cancel there keeps everything open.
    for (const QPointer<frmEditor>& editor : editors_)
        if (editor && !editor->close()) return event->ignore();
    if (!settingsSaved_) {
        RunGuarded(prompts_, [this] { SaveSettings(); }); // told, the window closes all the same
        settingsSaved_ = true;
    }
    event->accept();
    QCoreApplication::quit(); // every other window goes with the main window
}

} // namespace mw
