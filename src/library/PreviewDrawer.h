#pragma once

#include "app/TemplatePreview.h"
#include "common/RunError.h"
#include "render/PreviewDrawing.h"

#include <QImage>
#include <QObject>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace mw {

// The art of one folder, opened by the first drawing that needs it, on the worker (reading the
// index and tiledata takes a moment), and then shared by every drawing from that folder, so that
// its cache of decoded art stays warm.
class OpenedArt {
public:
    explicit OpenedArt(std::string folder) : folder_(std::move(folder)) {}
    const std::string& Folder() const { return folder_; }
    // Opens the art on the first call, from any thread; calls meanwhile wait for it.
    const PreviewSource& Source();

private:
    std::string folder_;
    std::once_flag opened_;
    PreviewSource source_;
};

struct PreviewRequest {
    std::int32_t TemplateId = 0;
    std::shared_ptr<const std::vector<MulRecord>> Components;
    std::shared_ptr<OpenedArt> Art;
    PreviewOptions Options;
};

// What a drawing gave: the picture and what it was drawn from, or why there is none.
struct PreviewResult {
    PreviewRequest Request;
    std::string Status; // where the art came from, or why there is none
    std::shared_ptr<const TileData> Tiles;
    std::shared_ptr<const PreviewPicture> Picture; // null when the drawing failed
    QImage Image;                                  // the picture as painted; shares its pixels
    std::optional<RunError> Failure;
    bool Cancelled = false;
};

// Draws on a worker thread, so that the window never waits for it. Only the newest request
// counts: a new one cancels the one before, whose result is dropped. Results arrive on the
// drawer's own thread.
class PreviewDrawer : public QObject {
    Q_OBJECT
public:
    explicit PreviewDrawer(QObject* parent = nullptr) : QObject(parent) {}
    ~PreviewDrawer() override; // cancels the drawing; the worker ends it on its own

    void Draw(PreviewRequest request);
    bool Busy() const { return busy_; }

signals:
    void Drawn(const mw::PreviewResult& result);

private:
    void Cancel();

    std::shared_ptr<std::atomic<bool>> cancel_;
    std::uint64_t generation_ = 0;
    bool busy_ = false;
};

// How far the top left of `after` lies from that of `before`, in picture pixels, when both are
// drawings of the same components (with other parts left out, the crop moves); nothing when they
// share no drawn component.
std::optional<QPoint> OriginShift(const PreviewPicture& before, const PreviewPicture& after);

} // namespace mw
