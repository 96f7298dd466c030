#pragma once

#include "formats/ArgbImage.h"

#include <string>

namespace mw {

// The bytes of a PNG file of the image: 8-bit RGBA, not interlaced, one zlib stream. The window
// and the command line both save through it, so that they write the same file.
std::string EncodePng(const ArgbImage& image);

} // namespace mw
