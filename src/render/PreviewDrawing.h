#pragma once

#include "formats/ArgbImage.h"
#include "formats/MultiFiles.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace mw {

class ArtCache;
class TileData;

// A template drawn as the game client draws it: each component's static art with its bottom
// centre at ((x - y) * 22, (x + y) * 22 + 22 - 4 * z), in the order of x + y, then of a priority
// (z - 1 for Background tiles, z + 1 for tiles with a height, z otherwise), then of the template.
// A component without art is drawn as a shaded isometric box of its tiledata height (a flat
// diamond without one) in a colour of its item id, so that the shape always shows.

constexpr int MaxPictureSide = 8192;
constexpr int PictureMargin = 8;
constexpr std::uint32_t ListedOutline = 0xFFFFD800; // the edge of a component the server places

// Where the art comes from; either may be missing.
struct PreviewArt {
    std::shared_ptr<ArtCache> Art;
    std::shared_ptr<const TileData> Tiles;
};

struct PreviewOptions {
    std::optional<int> MaxZ; // components above it are left out
    bool ShowListed = true;  // components of flag 0 (listed in components.txt), outlined
};

// Where one drawn component lies in the picture, for finding the one under the pointer.
struct PlacedComponent {
    size_t Index = 0; // in the template
    int Left = 0, Top = 0;
    std::shared_ptr<const ArgbImage> Image; // what was drawn there (art or box)
};

struct PreviewPicture {
    ArgbImage Image;                     // cropped to what was drawn, with PictureMargin around it
    int WithoutArt = 0;                  // components drawn as boxes
    std::string ArtProblem;              // the first damaged art record met, if any
    std::vector<PlacedComponent> Placed; // in drawing order
    // Where the template's point 0, 0 (the centre of the tile 0, 0 at z 0) lies in the picture.
    int OriginX = 0, OriginY = 0;
};

// The tile x, y whose diamond at height z covers the picture point; rounded to the nearest.
std::pair<int, int> TileAt(const PreviewPicture& picture, double x, double y, int z = 0);

// Draws the components. `cancelled` is asked now and then; when it answers true the drawing
// stops with err::Cancelled. A picture above MaxPictureSide on either side is refused with
// err::PictureTooLarge before it is allocated. No components give an empty picture.
PreviewPicture DrawPreview(const std::vector<MulRecord>& components, const PreviewArt& art,
                           const PreviewOptions& options,
                           const std::function<bool()>& cancelled = {});

// The index in the template of the topmost component with a visible pixel at x, y of the
// picture; nothing over the background.
std::optional<size_t> ComponentAt(const PreviewPicture& picture, int x, int y);

} // namespace mw
