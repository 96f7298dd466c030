// The art record decoder on any bytes. An accepted record is an image of 1 to 1024 pixels a
// side, holding exactly its pixels, each transparent or opaque; a refusal is an ArtInvalid that
// names the record.
#include "FuzzSupport.h"

#include "common/RunError.h"
#include "formats/StaticArt.h"

#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace mw;
    static const std::string where = "art.mul, item 0x1234";
    ArgbImage image;
    try {
        image = DecodeStaticArt(std::string_view(reinterpret_cast<const char*>(data), size), where);
    } catch (const RunError& refused) {
        fuzz::Require(refused.Number == err::ArtInvalid, "a refusal is ArtInvalid");
        fuzz::Require(refused.Description.find(where) != std::string::npos,
                      "a refusal names the record");
        return 0;
    }
    fuzz::Require(image.Width >= 1 && image.Width <= MaxArtSide && image.Height >= 1 &&
                      image.Height <= MaxArtSide,
                  "an accepted image is 1 to 1024 pixels a side");
    fuzz::Require(image.Pixels.size() == size_t(image.Width) * size_t(image.Height),
                  "an accepted image holds exactly its pixels");
    for (std::uint32_t pixel : image.Pixels)
        fuzz::Require(pixel == Transparent || pixel >> 24 == 0xFF,
                      "every pixel is transparent or opaque");
    return 0;
}
