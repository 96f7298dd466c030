#include "library/frmPreview.h"

#include "app/Failures.h"
#include "app/Session.h"
#include "common/OutputFile.h"
#include "library/PreviewControls.h"
#include "library/PreviewCanvas.h"
#include "render/PngFile.h"
#include "ui/Guarded.h"
#include "ui/NamedControls.h"
#include "ui/Prompts.h"
#include "ui/WaitCursor.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

namespace mw {

namespace {

constexpr int BusyShownAfterMs = 250;

QString FromStd(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

frmPreview::frmPreview(Session& session, Prompts& prompts, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session), prompts_(prompts),
      drawer_(new PreviewDrawer(this)), busy_(new QTimer(this)) {
    setObjectName("frmPreview");
    setWindowTitle("Preview");
    setAttribute(Qt::WA_DeleteOnClose);
    busy_->setSingleShot(true);
    busy_->setInterval(BusyShownAfterMs);
    BuildControls();
    ConnectControls();
    resize(760, 600);
}

frmPreview::~frmPreview() = default;

void frmPreview::BuildControls() {
    picPreview = Named<PreviewCanvas>("picPreview", this);
    picPreview->setToolTip(QString()); // the canvas answers tooltips itself, per component
    picPreview->ToolTipFor = [this](int x, int y) { return ComponentToolTip(x, y); };
    lblHeight = MakeHeightLabel();
    sldHeight = MakeHeightSlider();
    chkShowListed = Named<QCheckBox>("chkShowListed", "Show doors and other listed parts");
    chkShowListed->setToolTip(
        "The components listed in components.txt, which the server places on its own; outlined");
    chkShowListed->setChecked(true);
    cmdFit = DialogButton("cmdFit", "Fit");
    cmdFit->setToolTip("Fit the picture to the window (0); zoom with the wheel, + and -; drag "
                       "to move it");
    lblZoom = Named<QLabel>("lblZoom");
    lblZoom->setMinimumWidth(lblZoom->fontMetrics().horizontalAdvance("10000 %"));
    ShowZoom(picPreview->Zoom());
    cmdSaveImage = DialogButton("cmdSaveImage", "Save Image...");
    cmdSaveImage->setToolTip("Save the picture as a PNG file");
    cmdSaveImage->setEnabled(false);
    lblStatus = Named<QLabel>("lblStatus");
    lblStatus->setWordWrap(true);
    // Room for two lines from the start, so that a longer status does not shrink the picture.
    lblStatus->setMinimumHeight(2 * lblStatus->fontMetrics().lineSpacing());
    lblStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* options = new QHBoxLayout;
    options->addWidget(lblHeight);
    options->addWidget(sldHeight, 1);
    options->addSpacing(12);
    options->addWidget(chkShowListed);
    auto* commands = new QHBoxLayout;
    commands->addWidget(cmdFit);
    commands->addWidget(lblZoom);
    commands->addStretch();
    commands->addWidget(cmdSaveImage);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picPreview, 1);
    layout->addLayout(options);
    layout->addLayout(commands);
    layout->addWidget(lblStatus);
    ShowHeight();
}

void frmPreview::ConnectControls() {
    // Every handler is guarded: a failure it lets out is shown and the window goes on.
    auto guarded = [this](auto handler) { return Guarded(prompts_, std::move(handler)); };
    connect(sldHeight, &QSlider::valueChanged, this, guarded([this] { sldHeight_Change(); }));
    connect(chkShowListed, &QCheckBox::toggled, this, guarded([this] { chkShowListed_Click(); }));
    connect(cmdFit, &QPushButton::clicked, this, guarded([this] { picPreview->Fit(); }));
    connect(cmdSaveImage, &QPushButton::clicked, this, guarded([this] { cmdSaveImage_Click(); }));
    connect(picPreview, &PreviewCanvas::ZoomChanged, this,
            guarded([this](double zoom) { ShowZoom(zoom); }));
    connect(drawer_, &PreviewDrawer::Drawn, this,
            guarded([this](const PreviewResult& result) { Drawn(result); }));
    connect(busy_, &QTimer::timeout, this, guarded([this] {
                if (drawer_->Busy()) lblStatus->setText("Drawing...");
            }));
    AddZoomKeys(this, picPreview);
}

void frmPreview::ShowTemplate(std::int32_t templateId, const QString& name) {
    auto components =
        std::make_shared<const std::vector<MulRecord>>(PreviewComponents(session_, templateId));
    setWindowTitle("Preview - " + name);
    // An id may come back for another template after a deletion, so the components decide.
    if (templateId_ == templateId && *components_ == *components) return;
    templateId_ = templateId;
    components_ = std::move(components);
    SetHeights(sldHeight, *components_, false); // one drawing for the new template, not three
    ShowHeight();
    picPreview->Fit();
    OpenArt(false);
    Redraw();
}

void frmPreview::ArtSettingsChanged(bool reopen) {
    if (OpenArt(reopen)) Redraw();
}

bool frmPreview::OpenArt(bool reopen) {
    std::string folder = PreviewArtFolder(session_);
    if (!reopen && art_ && art_->Folder() == folder) return false;
    art_ = std::make_shared<OpenedArt>(folder);
    return true;
}

std::shared_ptr<const PreviewPicture> frmPreview::Picture() const {
    return shown_ ? shown_->Picture : nullptr;
}

bool frmPreview::Drawing() const {
    return drawer_->Busy();
}

PreviewOptions frmPreview::Options() const {
    return DrawingOptions(sldHeight, chkShowListed->isChecked());
}

void frmPreview::Redraw() {
    if (!components_ || !art_) return;
    drawer_->Draw({*templateId_, components_, art_, Options()});
    busy_->start();
}

void frmPreview::sldHeight_Change() {
    ShowHeight();
    Redraw();
}

void frmPreview::chkShowListed_Click() {
    Redraw();
}

void frmPreview::ShowZoom(double zoom) {
    lblZoom->setText(QString::number(qRound(zoom * 100)) + " %");
}

void frmPreview::ShowHeight() {
    lblHeight->setText(HeightText(sldHeight));
}

void frmPreview::Drawn(const PreviewResult& result) {
    if (result.Cancelled) return; // only an older drawing is cancelled, and that never arrives
    busy_->stop();
    std::optional<QPoint> shift;
    const PreviewResult* before = shown_ ? &*shown_ : nullptr;
    if (before && before->Picture && result.Picture &&
        before->Request.Components == result.Request.Components &&
        before->Request.Art == result.Request.Art)
        shift = OriginShift(*before->Picture, *result.Picture);
    shown_ = result;
    picPreview->SetImage(result.Image, shift.value_or(QPoint()));
    cmdSaveImage->setEnabled(!result.Image.isNull());
    ShowDrawingStatus();
    emit drawingFinished();
}

void frmPreview::ShowDrawingStatus() {
    QStringList sentences;
    if (!shown_->Status.empty()) sentences << FromStd(shown_->Status);
    if (shown_->Failure) {
        sentences << FromStd(FailureText(*shown_->Failure));
    } else if (shown_->Picture) {
        const PreviewPicture& picture = *shown_->Picture;
        if (shown_->Request.Components->empty()) sentences << "The template has no components.";
        if (picture.WithoutArt > 0) sentences << FromStd(WithoutArtText(picture.WithoutArt)) + '.';
        if (!picture.ArtProblem.empty()) sentences << FromStd(picture.ArtProblem);
    }
    lblStatus->setText(sentences.join(' '));
}

QString frmPreview::ComponentToolTip(int x, int y) const {
    return shown_ ? mw::ComponentToolTip(*shown_, x, y) : QString();
}

void frmPreview::cmdSaveImage_Click() {
    // Kept through the file dialog, while which a newer drawing may arrive.
    std::shared_ptr<const PreviewPicture> picture = Picture();
    if (!picture || picture->Image.Width == 0) return;
    QString path = prompts_.SaveFile("Save Image", "PNG image|*.png");
    if (path.isEmpty()) return;
    try {
        WaitCursor wait;
        RefuseProtectedTarget(path.toStdString(), session_.ProtectedFiles());
        // The same bytes as the command line writes for this picture.
        WriteFileAtomically(path.toStdString(), EncodePng(picture->Image));
    } catch (const RunError& failure) {
        prompts_.Message(FromStd(FailureText(failure)), ApplicationTitle, MessageIcon::Exclamation);
    }
}

} // namespace mw
