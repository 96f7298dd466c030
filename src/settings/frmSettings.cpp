#include "settings/frmSettings.h"

#include "app/Session.h"
#include "common/Files.h"
#include "scripts/MakeScripts.h"
#include "settings/FrmLocateFolder.h"
#include "settings/PathChecks.h"
#include "ui/CentreOnScreen.h"
#include "ui/Guarded.h"
#include "ui/NamedControls.h"
#include "ui/Prompts.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <optional>
#include <tuple>

namespace mw {

namespace {

const QColor DesignGrey(192, 192, 192);
const QColor MissingRed(255, 0, 0);
const QColor FoundGreen(0, 192, 0);
const QColor WarningRed(192, 0, 0);
constexpr int PathBoxWidth = 360;

QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}

QLineEdit* PathBox(const QString& name) {
    auto* box = Named<QLineEdit>(name);
    box->setMinimumWidth(PathBoxWidth);
    return box;
}

void SetBackground(QLineEdit* box, const QColor& colour) {
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, colour);
    box->setPalette(palette);
}

// Pins a control's font family and text colour, so that it keeps them when its frame's change.
void KeepLook(QWidget* control) {
    QFont font = control->font();
    font.setFamily(font.family());
    control->setFont(font);
    QPalette palette = control->palette();
    palette.setColor(QPalette::WindowText, palette.color(QPalette::WindowText));
    control->setPalette(palette);
}

// The frame's caption in Times New Roman, or in another serif face where that is missing, and
// in its own colour; the controls in the frame keep the window's font and colour.
void StyleCaption(QGroupBox* frame, std::optional<QColor> colour = std::nullopt) {
    for (QWidget* control : frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        KeepLook(control);
    QFont font = frame->font();
    font.setFamily("Times New Roman");
    font.setStyleHint(QFont::Serif);
    frame->setFont(font);
    if (!colour) return;
    QPalette palette = frame->palette();
    palette.setColor(QPalette::WindowText, *colour);
    frame->setPalette(palette);
}

// Where a Browse starts: the folder the box names, or the folder of the file (or pattern) it
// names; empty when neither exists.
QString FolderOfValue(const QLineEdit* box) {
    const QString text = box->text().trimmed();
    if (text.isEmpty()) return {};
    const QFileInfo named(text);
    if (named.isDir()) return named.absoluteFilePath();
    const QDir folder = named.absoluteDir();
    return folder.exists() ? folder.absolutePath() : QString();
}

} // namespace

frmSettings::frmSettings(Session& session, Prompts& prompts, std::int16_t& ScriptFormat,
                         QWidget& mainWindow)
    : session_(session), prompts_(prompts), ScriptFormat_(ScriptFormat), mainWindow_(mainWindow) {
    setObjectName("frmSettings");
    setWindowTitle("Settings");
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_DeleteOnClose); // the next opening loads it afresh
    BuildControls();
    ConnectControls();
    Form_Load();
    setFixedSize(sizeHint());
    CentreOnScreen(*this);
    txtMultiIdx->setFocus();
}

QGroupBox* frmSettings::BuildFilesFrame() {
    Frame3 = Named<QGroupBox>("Frame3", "Warning make backups of these files before patching.");
    Label5 = Named<QLabel>("Label5", "Path to Multi.idx");
    txtMultiIdx = PathBox("txtMultiIdx");
    cmdBrowseMultIdx = DialogButton("cmdBrowseMultIdx", "Browse");
    Label6 = Named<QLabel>("Label6", "Path to Multi.mul");
    txtMultiMul = PathBox("txtMultiMul");
    cmdBrowseMultiMul = DialogButton("cmdBrowseMultiMul", "Browse");
    Label7 = Named<QLabel>("Label7", "Path to MultiCollection.uop");
    txtMultiUop = PathBox("txtMultiUop");
    cmdBrowseMultiUop = DialogButton("cmdBrowseMultiUop", "Browse");
    Label8 = Named<QLabel>("Label8", "Multi record size");
    cboRecordSize = Named<QComboBox>("cboRecordSize");
    cboRecordSize->addItems({"Auto", "12", "16"});
    cboRecordSize->setToolTip(
        "The size of a multi.mul record: 12 bytes in classic clients, 16 from 7.0.9.0 on");
    chkBackUpGameFiles =
        Named<QCheckBox>("chkBackUpGameFiles", "Back up game files before patching");
    chkBackUpGameFiles->setToolTip(
        "Copies each game file once per run, next to itself, before the first change");
    auto* layout = new QGridLayout(Frame3);
    int row = 0;
    for (auto [label, box, browse] : {std::tuple{Label5, txtMultiIdx, cmdBrowseMultIdx},
                                      std::tuple{Label6, txtMultiMul, cmdBrowseMultiMul},
                                      std::tuple{Label7, txtMultiUop, cmdBrowseMultiUop}}) {
        layout->addWidget(label, row++, 0, 1, 2);
        layout->addWidget(box, row, 0);
        layout->addWidget(browse, row++, 1);
    }
    auto* size = new QHBoxLayout;
    size->addWidget(Label8);
    size->addWidget(cboRecordSize);
    size->addStretch();
    layout->addLayout(size, row++, 0, 1, 2);
    layout->addWidget(chkBackUpGameFiles, row, 0, 1, 2);
    StyleCaption(Frame3, WarningRed);
    return Frame3;
}

QGroupBox* frmSettings::BuildSphereFrame() {
    Frame1 = Named<QGroupBox>("Frame1", "Location of the Sphere server exe file");
    txtSphereFolder = PathBox("txtSphereFolder");
    cmdBrowseForFolder = DialogButton("cmdBrowseForFolder", "Browse");
    auto* layout = new QHBoxLayout(Frame1);
    layout->addWidget(txtSphereFolder);
    layout->addWidget(cmdBrowseForFolder);
    StyleCaption(Frame1);
    return Frame1;
}

// Nothing reads these: patching always writes into the files configured above.
QGroupBox* frmSettings::BuildArtFrame() {
    Frame4 = Named<QGroupBox>("Frame4", "Art folder (empty: beside the multi files)");
    Frame4->setToolTip("The folder of the client's art files that Preview draws with");
    txtArtFolder = PathBox("txtArtFolder");
    cmdBrowseArtFolder = DialogButton("cmdBrowseArtFolder", "Browse");
    auto* layout = new QHBoxLayout(Frame4);
    layout->addWidget(txtArtFolder);
    layout->addWidget(cmdBrowseArtFolder);
    StyleCaption(Frame4);
    return Frame4;
}

QGroupBox* frmSettings::BuildPatchFrame() {
    Frame2 = Named<QGroupBox>("Frame2", "Patch Options");
    optPatchExistingMuls = NamedOption("optPatchExistingMuls", "Patch Existing",
                                       "Patch Muls replaces a multi whose id you give");
    optCreateNewMuls =
        NamedOption("optCreateNewMuls", "Create New Muls", "Patch Muls adds a new multi");
    auto* layout = new QVBoxLayout(Frame2);
    layout->addWidget(optPatchExistingMuls);
    layout->addWidget(optCreateNewMuls);
    return Frame2;
}

QGroupBox* frmSettings::BuildVersionFrame() {
    frmVersion = Named<QGroupBox>("frmVersion", "Script Version");
    optVer54 = NamedOption("optVer54", "Ver. 55+", "New sphere 54+ script format");
    optVer51a = NamedOption("optVer51a", "Ver. 51a", "Old script format");
    optVerSourceX = NamedOption("optVerSourceX", "Source-X", "Sphere Source-X [MULTIDEF] format");
    auto* layout = new QVBoxLayout(frmVersion);
    layout->addWidget(optVer54);
    layout->addWidget(optVer51a);
    layout->addWidget(optVerSourceX);
    return frmVersion;
}

void frmSettings::BuildControls() {
    auto* options = new QHBoxLayout;
    options->addWidget(BuildPatchFrame());
    options->addWidget(BuildVersionFrame());
    options->addStretch();
    cmdClose = DialogButton("cmdClose", "&Close");
    auto* close = new QVBoxLayout;
    close->addStretch();
    close->addWidget(cmdClose);
    options->addLayout(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildFilesFrame());
    layout->addWidget(BuildSphereFrame());
    layout->addWidget(BuildArtFrame());
    layout->addLayout(options);
    for (QLineEdit* box : {txtMultiIdx, txtMultiMul, txtMultiUop, txtSphereFolder, txtArtFolder})
        SetBackground(box, DesignGrey);
    QWidget* const order[] = {
        txtMultiIdx,     cmdBrowseMultIdx,   txtMultiMul,   cmdBrowseMultiMul,
        txtMultiUop,     cmdBrowseMultiUop,  cboRecordSize, chkBackUpGameFiles,
        txtSphereFolder, cmdBrowseForFolder, txtArtFolder,  cmdBrowseArtFolder,
        optVer54,        optVer51a,          optVerSourceX, cmdClose};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void frmSettings::ConnectControls() {
    Session& session = session_;
    Prompts& prompts = prompts_;
    // Every handler is guarded: a failure it lets out is shown and the dialog goes on.
    auto guarded = [&prompts](auto handler) { return Guarded(prompts, std::move(handler)); };
    connect(txtMultiIdx, &QLineEdit::textChanged, this,
            guarded([this, &session] { FilePath_Change(txtMultiIdx, session.MultiIdxPath); }));
    connect(txtMultiMul, &QLineEdit::textChanged, this,
            guarded([this, &session] { FilePath_Change(txtMultiMul, session.MultiMulPath); }));
    connect(txtSphereFolder, &QLineEdit::textChanged, this,
            guarded([this] { txtSphereFolder_Change(); }));
    connect(cmdBrowseMultIdx, &QPushButton::clicked, this, guarded([this, &session] {
                BrowseForFile(txtMultiIdx, session.MultiIdxPath, "Browse for the multi.idx file",
                              "Multi.idx files (*.idx)|*.idx");
            }));
    connect(cmdBrowseMultiMul, &QPushButton::clicked, this, guarded([this, &session] {
                BrowseForFile(txtMultiMul, session.MultiMulPath, "Browse for the multi.mul file",
                              "Multi.mul file (*.mul)|*.mul");
            }));
    connect(txtMultiUop, &QLineEdit::textChanged, this,
            guarded([this, &session] { FilePath_Change(txtMultiUop, session.MultiUopPath); }));
    connect(cmdBrowseMultiUop, &QPushButton::clicked, this, guarded([this, &session] {
                BrowseForFile(txtMultiUop, session.MultiUopPath,
                              "Browse for the MultiCollection.uop file",
                              "MultiCollection.uop file (*.uop)|*.uop");
            }));
    connect(cboRecordSize, &QComboBox::currentTextChanged, this,
            guarded([&session](const QString& text) {
                session.RecordSize = RecordSizeChoiceFrom(text.toStdString());
            }));
    connect(chkBackUpGameFiles, &QCheckBox::toggled, this,
            guarded([&session](bool checked) { session.Backups.Enabled = checked; }));
    connect(cmdBrowseForFolder, &QPushButton::clicked, this,
            guarded([this] { cmdBrowseForFolder_Click(); }));
    connect(txtArtFolder, &QLineEdit::textChanged, this,
            guarded([this] { txtArtFolder_Change(); }));
    connect(cmdBrowseArtFolder, &QPushButton::clicked, this,
            guarded([this] { cmdBrowseArtFolder_Click(); }));
    // Clicks only: opening the dialog shows the format without choosing one.
    connect(optPatchExistingMuls, &QRadioButton::clicked, this,
            guarded([&session] { session.PatchExisting = true; }));
    connect(optCreateNewMuls, &QRadioButton::clicked, this,
            guarded([&session] { session.PatchExisting = false; }));
    connect(optVer51a, &QRadioButton::clicked, this,
            guarded([this] { ScriptFormat_ = OldScriptFormat; }));
    connect(optVer54, &QRadioButton::clicked, this,
            guarded([this] { ScriptFormat_ = NewScriptFormat; }));
    connect(optVerSourceX, &QRadioButton::clicked, this,
            guarded([this] { ScriptFormat_ = SourceXScriptFormat; }));
    connect(cmdClose, &QPushButton::clicked, this, guarded([this] { close(); }));
    // Escape closes the dialog as its close box does.
    connect(new QShortcut(Qt::Key_Escape, this), &QShortcut::activated, this, &QWidget::close);
}

// A box whose text stays empty keeps its colour: red for the files, grey for the folders.
void frmSettings::Form_Load() {
    for (QLineEdit* box : {txtMultiIdx, txtMultiMul, txtMultiUop})
        SetBackground(box, MissingRed);
    const Session& session = session_;
    txtMultiIdx->setText(FromStd(session.MultiIdxPath));
    txtMultiMul->setText(FromStd(session.MultiMulPath));
    txtMultiUop->setText(FromStd(session.MultiUopPath));
    cboRecordSize->setCurrentText(RecordSizeChoiceText(session.RecordSize));
    chkBackUpGameFiles->setChecked(session.Backups.Enabled);
    txtSphereFolder->setText(FromStd(session.SphereFolderPath));
    txtArtFolder->setText(FromStd(session.ArtFolderPath));
    (session.PatchExisting ? optPatchExistingMuls : optCreateNewMuls)->setChecked(true);
    QRadioButton* format = ScriptFormat_ == OldScriptFormat       ? optVer51a
                           : ScriptFormat_ == SourceXScriptFormat ? optVerSourceX
                                                                  : optVer54;
    format->setChecked(true);
}

// Runs on every change, so on every key stroke: a path is kept only while it names something.
void frmSettings::FilePath_Change(QLineEdit* box, std::string& setting) {
    std::string path = box->text().trimmed().toStdString();
    bool found = FileExists(path);
    SetBackground(box, found ? FoundGreen : MissingRed);
    setting = found ? path : std::string();
    emit ArtPathsChanged(); // the preview may read its art beside the multi files
}

// The folder is kept as typed even when it finds nothing; the colour only tells.
void frmSettings::txtSphereFolder_Change() {
    std::string text = txtSphereFolder->text().toStdString();
    SetBackground(txtSphereFolder, FindsNormalFile(text) ? FoundGreen : MissingRed);
    session_.SphereFolderPath = text;
}

// Kept as typed like the Sphere folder; empty is a choice of its own (the art beside the multi
// files), so it is not marked as missing.
void frmSettings::txtArtFolder_Change() {
    std::string text = txtArtFolder->text().toStdString();
    if (text.empty())
        SetBackground(txtArtFolder, DesignGrey);
    else
        SetBackground(txtArtFolder, NamesFolder(text) ? FoundGreen : MissingRed);
    session_.ArtFolderPath = text;
    emit ArtPathsChanged();
}

void frmSettings::BrowseForFile(QLineEdit* box, std::string& setting, const QString& title,
                                const QString& filter) {
    QString chosen = prompts_.OpenFile(title, filter, FolderOfValue(box));
    if (chosen.isEmpty()) return;
    box->setText(chosen);
    FilePath_Change(box, setting); // again: the box may have shown this path already
}

void frmSettings::cmdBrowseForFolder_Click() {
    FrmLocateFolder chooser(prompts_, this, FolderOfValue(txtSphereFolder));
    if (chooser.exec() == QDialog::Accepted) {
        txtSphereFolder->setText(chooser.ChosenFolder());
        txtSphereFolder_Change(); // again: the box may have shown this folder already
        return;
    }
    raise();
    activateWindow();
}

void frmSettings::cmdBrowseArtFolder_Click() {
    FrmLocateFolder chooser(prompts_, this, FolderOfValue(txtArtFolder));
    if (chooser.exec() == QDialog::Accepted) {
        txtArtFolder->setText(chooser.Path());
        return;
    }
    raise();
    activateWindow();
}

// However the dialog closes, the main window comes back as it was left.
void frmSettings::closeEvent(QCloseEvent* event) {
    mainWindow_.show();
    event->accept();
}

} // namespace mw
