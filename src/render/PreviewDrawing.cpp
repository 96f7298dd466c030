#include "render/PreviewDrawing.h"

#include "common/RunError.h"
#include "formats/ArtCache.h"
#include "formats/TileData.h"
#include "render/ItemShapes.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <map>
#include <set>

namespace mw {

namespace {

constexpr int HalfCell = 22, PixelsPerZ = 4;

// One component on its way to the picture.
struct Sprite {
    size_t Index;
    int Depth, Priority; // draw order: x + y, then the priority
    int Left, Top;       // in the coordinates of the template, before cropping
    std::shared_ptr<const ArgbImage> Image;
};

// Where each item's image comes from: its art, else a box; outlined for the listed components.
// Boxes and outlines are made once per drawing.
class Images {
public:
    Images(const PreviewArt& art, PreviewPicture& picture) : art_(art), picture_(picture) {}

    const StaticTile* Tile(std::uint16_t itemId) const {
        return art_.Tiles ? art_.Tiles->Static(itemId) : nullptr;
    }

    std::shared_ptr<const ArgbImage> For(std::uint16_t itemId, bool listed) {
        auto& slot = (listed ? outlined_ : plain_)[itemId];
        if (!slot)
            slot = listed ? std::make_shared<const ArgbImage>(
                                Outlined(*For(itemId, false), ListedOutline))
                          : Plain(itemId);
        return slot;
    }

    bool Boxed(std::uint16_t itemId) const { return boxed_.count(itemId) != 0; }

private:
    std::shared_ptr<const ArgbImage> Plain(std::uint16_t itemId) {
        if (auto image = Art(itemId)) return image;
        boxed_.insert(itemId);
        const StaticTile* tile = Tile(itemId);
        return std::make_shared<const ArgbImage>(ItemBox(itemId, tile ? tile->Height : 0));
    }

    std::shared_ptr<const ArgbImage> Art(std::uint16_t itemId) {
        if (!art_.Art) return nullptr;
        try {
            return art_.Art->StaticArt(itemId);
        } catch (const RunError& damaged) {
            if (picture_.ArtProblem.empty()) picture_.ArtProblem = damaged.Description;
            return nullptr;
        }
    }

    const PreviewArt& art_;
    PreviewPicture& picture_;
    std::map<std::uint16_t, std::shared_ptr<const ArgbImage>> plain_, outlined_;
    std::set<std::uint16_t> boxed_;
};

int Priority(const MulRecord& component, const StaticTile* tile) {
    if (tile && (tile->Flags & TileBackground)) return component.Z - 1;
    if (tile && tile->Height > 0) return component.Z + 1;
    return component.Z;
}

bool Drawn(const MulRecord& component, const PreviewOptions& options) {
    if (options.MaxZ && component.Z > *options.MaxZ) return false;
    return options.ShowListed || component.Flag != 0;
}

class Cancellation {
public:
    explicit Cancellation(const std::function<bool()>& cancelled) : cancelled_(cancelled) {}
    void Check() {
        if (cancelled_ && (++calls_ & 0x3F) == 0 && cancelled_())
            throw RunError(err::Cancelled, "The drawing was cancelled.");
    }

private:
    const std::function<bool()>& cancelled_;
    unsigned calls_ = 0;
};

std::vector<Sprite> Sprites(const std::vector<MulRecord>& components, Images& images,
                            const PreviewOptions& options, Cancellation& cancellation,
                            PreviewPicture& picture) {
    std::vector<Sprite> sprites;
    for (size_t i = 0; i < components.size(); ++i) {
        const MulRecord& c = components[i];
        if (!Drawn(c, options)) continue;
        cancellation.Check();
        auto image = images.For(c.ItemID, c.Flag == 0);
        if (images.Boxed(c.ItemID)) ++picture.WithoutArt;
        int centreX = (c.X - c.Y) * HalfCell;
        int bottom = (c.X + c.Y) * HalfCell + HalfCell - PixelsPerZ * c.Z;
        sprites.push_back({i, c.X + c.Y, Priority(c, images.Tile(c.ItemID)),
                           centreX - image->Width / 2, bottom - image->Height, std::move(image)});
    }
    std::stable_sort(sprites.begin(), sprites.end(), [](const Sprite& a, const Sprite& b) {
        return a.Depth != b.Depth ? a.Depth < b.Depth : a.Priority < b.Priority;
    });
    return sprites;
}

struct Bounds {
    long long Left = LLONG_MAX, Top = LLONG_MAX, Right = LLONG_MIN, Bottom = LLONG_MIN;
};

Bounds SpriteBounds(const std::vector<Sprite>& sprites) {
    Bounds b;
    for (const Sprite& s : sprites) {
        b.Left = std::min<long long>(b.Left, s.Left);
        b.Top = std::min<long long>(b.Top, s.Top);
        b.Right = std::max<long long>(b.Right, s.Left + s.Image->Width);
        b.Bottom = std::max<long long>(b.Bottom, s.Top + s.Image->Height);
    }
    return b;
}

void Blit(const ArgbImage& image, int left, int top, ArgbImage& picture) {
    for (int y = 0; y < image.Height; ++y) {
        const std::uint32_t* from = &image.Pixels[static_cast<size_t>(y) * image.Width];
        std::uint32_t* to = &picture.Pixels[static_cast<size_t>(top + y) * picture.Width + left];
        for (int x = 0; x < image.Width; ++x)
            if (IsOpaque(from[x])) to[x] = from[x];
    }
}

} // namespace

PreviewPicture DrawPreview(const std::vector<MulRecord>& components, const PreviewArt& art,
                           const PreviewOptions& options, const std::function<bool()>& cancelled) {
    PreviewPicture picture;
    Images images(art, picture);
    Cancellation cancellation(cancelled);
    std::vector<Sprite> sprites = Sprites(components, images, options, cancellation, picture);
    if (sprites.empty()) return picture;
    Bounds b = SpriteBounds(sprites);
    long long width = b.Right - b.Left + 2 * PictureMargin;
    long long height = b.Bottom - b.Top + 2 * PictureMargin;
    if (width > MaxPictureSide || height > MaxPictureSide)
        throw RunError(err::PictureTooLarge,
                       "The picture of this template would be " + std::to_string(width) + " x " +
                           std::to_string(height) + " pixels, more than the " +
                           std::to_string(MaxPictureSide) + " x " + std::to_string(MaxPictureSide) +
                           " that a preview can show.");
    picture.Image = ArgbImage(static_cast<int>(width), static_cast<int>(height));
    picture.OriginX = static_cast<int>(PictureMargin - b.Left);
    picture.OriginY = static_cast<int>(PictureMargin - b.Top);
    picture.Placed.reserve(sprites.size());
    for (Sprite& s : sprites) {
        cancellation.Check();
        int left = static_cast<int>(s.Left - b.Left) + PictureMargin;
        int top = static_cast<int>(s.Top - b.Top) + PictureMargin;
        Blit(*s.Image, left, top, picture.Image);
        picture.Placed.push_back({s.Index, left, top, std::move(s.Image)});
    }
    return picture;
}

std::pair<int, int> TileAt(const PreviewPicture& picture, double x, double y, int z) {
    // A tile's diamond is centred (x - y) * 22 across and (x + y) * 22 down from the origin.
    const double across = (x - picture.OriginX) / HalfCell,
                 down = (y - picture.OriginY + PixelsPerZ * z) / HalfCell;
    return {static_cast<int>(std::lround((across + down) / 2)),
            static_cast<int>(std::lround((down - across) / 2))};
}

std::optional<size_t> ComponentAt(const PreviewPicture& picture, int x, int y) {
    for (auto placed = picture.Placed.rbegin(); placed != picture.Placed.rend(); ++placed) {
        const ArgbImage& image = *placed->Image;
        int u = x - placed->Left, v = y - placed->Top;
        if (u >= 0 && v >= 0 && u < image.Width && v < image.Height && IsOpaque(image.At(u, v)))
            return placed->Index;
    }
    return std::nullopt;
}

} // namespace mw
