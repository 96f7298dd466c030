#pragma once

#include "library/PreviewDrawer.h"

#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;
class QTimer;

namespace mw {

class PreviewCanvas;
class Prompts;
struct Session;

// A template drawn as the game draws it, beside the main window, which tells it which template
// is selected. The drawing runs on a worker; a newer template or option cancels an older one.
// The art is that of PreviewArtFolder, opened once and kept (its cache warm) until the settings
// name another folder.
class frmPreview : public QWidget {
    Q_OBJECT
public:
    frmPreview(Session& session, Prompts& prompts, QWidget* parent = nullptr);
    ~frmPreview() override;

    // Loads the template's components (here, on the library's thread) and draws them fitted to
    // the window. The template already shown, unchanged in the library, is left as it is.
    void ShowTemplate(std::int32_t templateId, const QString& name);
    // The settings may name other art: it is opened afresh when its folder changed, or always
    // when `reopen` (the files in it may have changed), and the template drawn again.
    void ArtSettingsChanged(bool reopen);

    std::optional<std::int32_t> TemplateId() const { return templateId_; }
    // The picture shown; null before the first drawing and after a failed one.
    std::shared_ptr<const PreviewPicture> Picture() const;
    bool Drawing() const;
    PreviewOptions Options() const;
    // The tooltip of the picture's pixel x, y: the component drawn there, or empty.
    QString ComponentToolTip(int x, int y) const;

    // Event handlers; public so that tests can drive them as the events would.
    void cmdSaveImage_Click();
    void sldHeight_Change();
    void chkShowListed_Click();

    // Controls, by the object names tests find them by.
    PreviewCanvas* picPreview;
    QSlider* sldHeight;
    QLabel *lblHeight, *lblZoom, *lblStatus;
    QCheckBox* chkShowListed;
    QPushButton *cmdFit, *cmdSaveImage;

signals:
    // The newest drawing has finished (drawn or failed); the window shows its outcome.
    void drawingFinished();

private:
    void BuildControls();
    void ConnectControls();
    bool OpenArt(bool reopen); // true when the art is another now
    void Redraw();
    void Drawn(const PreviewResult& result);
    void ShowHeight();
    void ShowZoom(double zoom);
    void ShowDrawingStatus();

    Session& session_;
    Prompts& prompts_;
    PreviewDrawer* drawer_;
    QTimer* busy_; // "Drawing..." shows only for drawings that take a while
    std::optional<std::int32_t> templateId_;
    std::shared_ptr<const std::vector<MulRecord>> components_;
    std::shared_ptr<OpenedArt> art_;
    std::optional<PreviewResult> shown_;
};

} // namespace mw
