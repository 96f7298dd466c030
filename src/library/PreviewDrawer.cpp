#include "library/PreviewDrawer.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <unordered_map>

namespace mw {

namespace {

using KeptPicture = std::shared_ptr<const PreviewPicture>;

// The picture as Qt paints it. Art pixels are either fully transparent (0) or opaque, which is
// premultiplied already, so the image shares the pixels and keeps the picture alive; anything
// else is converted into a copy.
QImage Paintable(const KeptPicture& picture) {
    const ArgbImage& image = picture->Image;
    if (image.Width == 0 || image.Height == 0) return {};
    const auto* bits = reinterpret_cast<const uchar*>(image.Pixels.data());
    const qsizetype line = static_cast<qsizetype>(image.Width) * 4;
    bool premultiplied = std::all_of(image.Pixels.begin(), image.Pixels.end(), [](auto pixel) {
        return pixel == Transparent || (pixel >> 24) == 0xFF;
    });
    if (!premultiplied)
        return QImage(bits, image.Width, image.Height, line, QImage::Format_ARGB32)
            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return QImage(
        bits, image.Width, image.Height, line, QImage::Format_ARGB32_Premultiplied,
        [](void* kept) { delete static_cast<KeptPicture*>(kept); }, new KeptPicture(picture));
}

PreviewResult DrawRequest(PreviewRequest request,
                          const std::shared_ptr<std::atomic<bool>>& cancel) {
    PreviewResult result;
    result.Request = std::move(request);
    auto cancelled = [&cancel] { return cancel->load(std::memory_order_relaxed); };
    try {
        if (cancelled()) throw RunError(err::Cancelled, "Cancelled");
        const PreviewSource& source = result.Request.Art->Source();
        result.Status = source.Status;
        result.Tiles = source.Art.Tiles;
        auto picture = std::make_shared<const PreviewPicture>(
            DrawPreview(*result.Request.Components, source.Art, result.Request.Options, cancelled));
        result.Image = Paintable(picture);
        result.Picture = std::move(picture);
    } catch (const RunError& failure) {
        if (failure.Number == err::Cancelled)
            result.Cancelled = true;
        else
            result.Failure = failure;
    } catch (...) {
        result.Failure = AsRunError(std::current_exception());
    }
    return result;
}

} // namespace

const PreviewSource& OpenedArt::Source() {
    std::call_once(opened_, [this] { source_ = OpenPreviewSource(folder_); });
    return source_;
}

PreviewDrawer::~PreviewDrawer() {
    Cancel();
}

void PreviewDrawer::Cancel() {
    if (cancel_) cancel_->store(true);
}

void PreviewDrawer::Draw(PreviewRequest request) {
    Cancel();
    cancel_ = std::make_shared<std::atomic<bool>>(false);
    const std::uint64_t generation = ++generation_;
    busy_ = true;
    // One watcher per drawing: a cancelled drawing still finishes, and must be told apart.
    auto* watcher = new QFutureWatcher<PreviewResult>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, generation] {
        watcher->deleteLater();
        if (generation != generation_) return;
        busy_ = false;
        emit Drawn(watcher->result());
    });
    watcher->setFuture(QtConcurrent::run(DrawRequest, std::move(request), cancel_));
}

std::optional<QPoint> OriginShift(const PreviewPicture& before, const PreviewPicture& after) {
    std::unordered_map<size_t, QPoint> placed;
    for (const PlacedComponent& component : before.Placed)
        placed.emplace(component.Index, QPoint(component.Left, component.Top));
    for (const PlacedComponent& component : after.Placed) {
        auto found = placed.find(component.Index);
        if (found != placed.end()) return found->second - QPoint(component.Left, component.Top);
    }
    return std::nullopt;
}

} // namespace mw
