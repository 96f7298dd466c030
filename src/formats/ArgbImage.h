#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mw {

// An image as 32-bit pixels 0xAARRGGBB, row by row from the top left. A pixel of alpha 0 is
// transparent; art pixels are either that or opaque.
struct ArgbImage {
    int Width = 0, Height = 0;
    std::vector<std::uint32_t> Pixels;

    ArgbImage() = default;
    ArgbImage(int width, int height)
        : Width(width), Height(height), Pixels(static_cast<size_t>(width) * height, 0) {}
    std::uint32_t At(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
    std::uint32_t& At(int x, int y) { return Pixels[static_cast<size_t>(y) * Width + x]; }
    size_t Bytes() const { return Pixels.size() * sizeof(std::uint32_t); }
};

constexpr std::uint32_t Transparent = 0;
constexpr bool IsOpaque(std::uint32_t pixel) {
    return (pixel >> 24) != 0;
}

} // namespace mw
