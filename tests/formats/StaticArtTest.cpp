#include "ArtFilesBuilder.h"
#include "Refusals.h"

#include "common/LittleEndian.h"
#include "common/RunError.h"
#include "formats/StaticArt.h"

#include <gtest/gtest.h>

#include <vector>

namespace mw {
namespace {

std::string Record(std::uint32_t header, const std::vector<std::uint16_t>& words) {
    std::string out;
    Append32(out, header);
    for (std::uint16_t word : words)
        Append16(out, word);
    return out;
}

// 4 x 3, rows stored out of order. Row 0: at x 1 a run of red and the value 0. Row 1: green at
// x 0, then blue 2 pixels after the end of that run (x 3). Row 2: grey, white, 0x8000 (black,
// opaque: the top bit is not a colour) and 1,1,1, filling the row.
const std::string HandWritten =
    Record(0xDEADBEEF, {
                           4,      3,                            // size
                           8,      14,     0,                    // row offsets
                           0,      4,      0x4210, 0x7FFF,       // row 2
                           0x8000, 0x0421, 0,      0,            //
                           1,      2,      0x7C00, 0,      0, 0, // row 0
                           0,      1,      0x03E0, 2,      1, 1, // row 1
                           0,      0,                            //
                       });

const std::vector<std::uint32_t> HandWrittenPixels = {
    0,          0xFFFF0000, 0,          0,          // row 0
    0xFF00FF00, 0,          0,          0xFF000008, // row 1
    0xFF838383, 0xFFFFFFFF, 0xFF000000, 0xFF080808, // row 2: 16 -> 131, 1 -> 8
};

void ExpectRefused(std::string_view record, const std::string& why) {
    test::ExpectRefused([&] { DecodeStaticArt(record, "art.mul, item 0x0001"); }, err::ArtInvalid,
                        {why, "art.mul, item 0x0001"});
}

TEST(StaticArt, HandWrittenRecordDecodesPixelByPixel) {
    ArgbImage image = DecodeStaticArt(HandWritten, "x");
    EXPECT_EQ(std::tuple(image.Width, image.Height, image.Pixels),
              std::tuple(4, 3, HandWrittenPixels));
}

// Every cut and any size not of an item are refused, saying why; the largest sides pass.
TEST(StaticArt, DamagedRecordsAreRefused) {
    for (size_t length = 0; length < HandWritten.size(); ++length)
        ExpectRefused(std::string_view(HandWritten).substr(0, length), "");
    for (auto [w, h] : {std::pair{0, 1}, {1, 0}, {1025, 1}, {1, 1025}, {0xFFFF, 0xFFFF}})
        ExpectRefused(Record(0, {std::uint16_t(w), std::uint16_t(h), 0, 0, 0}),
                      "size " + std::to_string(w) + " x " + std::to_string(h));
    ExpectRefused(Record(0, {1, 1, 2, 0, 0}), "row 0 starts outside");
    ExpectRefused(Record(0, {1, 2, 0, 0xFFFF, 0, 0}), "row 1 starts outside");
    ExpectRefused(Record(0, {2, 1, 0, 1, 2, 5, 5, 0, 0}), "a run of row 0 lies outside");
    ExpectRefused(Record(0, {2, 1, 0, 2, 1, 5, 0, 0}), "a run of row 0 lies outside");
    ExpectRefused(Record(0, {2, 1, 0, 0xFFFF, 0xFFFF, 0, 0}), "a run of row 0 lies outside");
    for (int side : {1, MaxArtSide}) { // the largest sides pass
        std::string record = test::EncodeStaticArt(test::SolidImage(side, 1025 - side, ~0u));
        EXPECT_EQ(DecodeStaticArt(record, "x").Pixels.size(), size_t(side * (1025 - side)));
    }
    // Flipped bits decode to a whole image or are refused: never a read outside the record.
    for (size_t at = 0; at < HandWritten.size(); ++at)
        for (unsigned char flip : {0x01, 0x10, 0x80, 0xFF}) {
            std::string damaged = HandWritten;
            damaged[at] = static_cast<char>(damaged[at] ^ flip);
            try {
                ArgbImage image = DecodeStaticArt(damaged, "x");
                EXPECT_EQ(image.Pixels.size(), size_t(image.Width) * size_t(image.Height));
            } catch (const RunError& refused) {
                EXPECT_EQ(refused.Number, err::ArtInvalid) << at;
            }
        }
}

} // namespace
} // namespace mw
