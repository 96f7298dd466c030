#include "render/ItemShapes.h"

#include <algorithm>

namespace mw {

namespace {

constexpr int CellWidth = 44, CellHeight = 44, PixelsPerHeight = 4;

// A colour spread over the hues by the item id, never too dark to see on black.
std::uint32_t ItemColour(std::uint16_t itemId) {
    std::uint32_t hash = itemId * 2654435761u;
    auto channel = [&](int shift) { return 96 + ((hash >> shift) & 0x7F); };
    return 0xFF000000u | channel(8) << 16 | channel(15) << 8 | channel(22);
}

std::uint32_t Shaded(std::uint32_t colour, int percent) {
    auto channel = [&](int shift) { return ((colour >> shift) & 0xFF) * percent / 100 << shift; };
    return 0xFF000000u | channel(16) | channel(8) | channel(0);
}

} // namespace

ArgbImage ItemBox(std::uint16_t itemId, int height) {
    const int rise = PixelsPerHeight * std::clamp(height, 0, 255);
    const std::uint32_t top = ItemColour(itemId), edge = Shaded(top, 55);
    const std::uint32_t left = Shaded(top, 70), right = Shaded(top, 85);
    ArgbImage box(CellWidth, CellHeight + rise);
    for (int x = 0; x < CellWidth; ++x) {
        int d = std::min(x, CellWidth - 1 - x); // 0 at the side corners, 21 in the middle
        int topFirst = 21 - d, topLast = 22 + d;
        for (int y = topFirst; y <= topLast; ++y)
            box.At(x, y) = (y == topFirst || y == topLast || d == 0) ? edge : top;
        for (int y = topLast + 1; y <= topLast + rise; ++y)
            box.At(x, y) =
                (y == topLast + rise || d == 0 || d == 21) ? edge : (x < 22 ? left : right);
    }
    return box;
}

ArgbImage Outlined(const ArgbImage& image, std::uint32_t colour) {
    ArgbImage outlined = image;
    auto clear = [&](int x, int y) {
        return x < 0 || y < 0 || x >= image.Width || y >= image.Height || !IsOpaque(image.At(x, y));
    };
    for (int y = 0; y < image.Height; ++y)
        for (int x = 0; x < image.Width; ++x)
            if (IsOpaque(image.At(x, y)) &&
                (clear(x - 1, y) || clear(x + 1, y) || clear(x, y - 1) || clear(x, y + 1)))
                outlined.At(x, y) = colour;
    return outlined;
}

} // namespace mw
