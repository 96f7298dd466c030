#pragma once

#include "formats/ArgbImage.h"

#include <cstdint>

namespace mw {

// What is drawn for an item without art: an isometric box one cell wide, `height` tiledata
// units (4 pixels each) tall, a flat diamond of 44 x 44 pixels at height 0, in a colour of the
// item id so that neighbouring items of different kinds tell apart. Its top face is lit, its
// left and right faces shaded, its edges darker.
ArgbImage ItemBox(std::uint16_t itemId, int height);

// The image with every opaque pixel at the edge of its shape (a side neighbour transparent or
// outside) in the colour given.
ArgbImage Outlined(const ArgbImage& image, std::uint32_t colour);

} // namespace mw
