// The drawing, with art files written by the tests. Every expected pixel is worked out by hand
// from the placement rule: bottom centre at ((x - y) * 22, (x + y) * 22 + 22 - 4 * z), the
// picture cropped to what was drawn plus an 8-pixel margin.
#include "ArtFilesBuilder.h"
#include "Refusals.h"

#include "common/LittleEndian.h"
#include "formats/ArtCache.h"
#include "formats/StaticArt.h"
#include "formats/TileData.h"
#include "formats/Zlib.h"
#include "render/PngFile.h"
#include "render/PreviewDrawing.h"

#include <gtest/gtest.h>

namespace mw::test {
namespace {

constexpr std::uint32_t Red = 0xFFFF0000, Blue = 0xFF0000FF, Green = 0xFF00FF00;
constexpr std::uint16_t RedItem = 0x10, BlueItem = 0x11, GreenItem = 0x12, NoArtItem = 0x40;

class PreviewDrawingTest : public ::testing::Test {
protected:
    void SetUp() override {
        records_ = {{RedItem, EncodeStaticArt(SolidImage(30, 40, Red))},
                    {BlueItem, EncodeStaticArt(SolidImage(30, 40, Blue))},
                    {GreenItem, EncodeStaticArt(SolidImage(4, 4, Green))}};
    }
    PreviewArt Art(const std::map<std::uint16_t, StaticTile>& tiles = {}) {
        WriteMulArt(folder_.Path(), records_);
        PreviewArt art;
        art.Art = std::make_shared<ArtCache>(
            OpenMulArt(folder_.File("artidx.mul"), folder_.File("art.mul")));
        if (!tiles.empty())
            art.Tiles = std::make_shared<const TileData>(
                TileData::Parse(TileDataBytes(tiles, false), "tiledata.mul"));
        return art;
    }

    TempFolder folder_;
    ArtRecords records_;
};

TEST_F(PreviewDrawingTest, OverlappingTilesAreDrawnByDepthNotByTemplateOrder) {
    // Blue at (1,0,0) spans x 7..36, y 4..43; red at (0,0,0) spans x -15..14, y -18..21. The
    // picture starts at (-15, -18) less the margin: picture = world + (23, 26).
    PreviewPicture picture =
        DrawPreview({{BlueItem, 1, 0, 0, 1}, {RedItem, 0, 0, 0, 1}}, Art(), {});
    EXPECT_EQ(picture.Image.Width, 36 + 15 + 1 + 16);
    EXPECT_EQ(picture.Image.Height, 43 + 18 + 1 + 16);
    EXPECT_EQ(picture.Image.At(10 + 23, 10 + 26), Blue); // where both lie: the deeper one on top
    EXPECT_EQ(picture.Image.At(0 + 23, 0 + 26), Red);
    EXPECT_EQ(picture.Image.At(20 + 23, -10 + 26), Transparent);
    EXPECT_EQ(picture.WithoutArt, 0);
    EXPECT_EQ(ComponentAt(picture, 10 + 23, 10 + 26), 0u);
    EXPECT_EQ(ComponentAt(picture, 0 + 23, 0 + 26), 1u);
    EXPECT_EQ(ComponentAt(picture, 20 + 23, -10 + 26), std::nullopt);
}

TEST_F(PreviewDrawingTest, ZRaisesATileFourPixelsAStepAndTheSliderLeavesUpperOnesOut) {
    // 4 x 4 green at z 10: rows -22..-19; at z 0: rows 18..21. Picture rows = world + 30.
    std::vector<MulRecord> tiles{{GreenItem, 0, 0, 10, 1}, {GreenItem, 0, 0, 0, 1}};
    PreviewPicture picture = DrawPreview(tiles, Art(), {});
    EXPECT_EQ(picture.Image.Height, 44 + 16);
    for (int y : {8, 11, 48, 51})
        EXPECT_EQ(picture.Image.At(8, y), Green) << y;
    for (int y : {7, 12, 47, 52})
        EXPECT_EQ(picture.Image.At(8, y), Transparent) << y;

    PreviewOptions lowerOnly;
    lowerOnly.MaxZ = 9;
    PreviewPicture lower = DrawPreview(tiles, Art(), lowerOnly);
    EXPECT_EQ(lower.Image.Height, 4 + 16);
    ASSERT_EQ(lower.Placed.size(), 1u);
    EXPECT_EQ(lower.Placed[0].Index, 1u);
}

TEST_F(PreviewDrawingTest, ABackgroundTileLiesUnderAWallOfTheSameCellWhateverTheTemplateOrder) {
    std::vector<MulRecord> wallThenFloor{{BlueItem, 2, 2, 0, 1}, {RedItem, 2, 2, 0, 1}};
    std::map<std::uint16_t, StaticTile> tiles{{RedItem, {TileBackground, 0, "floor"}},
                                              {BlueItem, {0, 20, "wall"}}};
    EXPECT_EQ(DrawPreview(wallThenFloor, Art(tiles), {}).Image.At(20, 20), Blue);
    // Without tiledata nothing tells them apart: the template order decides.
    EXPECT_EQ(DrawPreview(wallThenFloor, Art(), {}).Image.At(20, 20), Red);
}

TEST_F(PreviewDrawingTest, APixelZeroInsideARunShowsWhatLiesBelow) {
    // One row of three pixels in one run: blue, 0, blue; drawn after a red row at the same place.
    std::string holed("\0\0\0\0\x03\x00\x01\x00\x00\x00"
                      "\x00\x00\x03\x00\x1F\x00\x00\x00\x1F\x00\x00\x00\x00\x00",
                      24);
    records_[BlueItem] = holed;
    records_[RedItem] = EncodeStaticArt(SolidImage(3, 1, Red));
    PreviewPicture picture =
        DrawPreview({{RedItem, 0, 0, 0, 1}, {BlueItem, 0, 0, 0, 1}}, Art(), {});
    ASSERT_EQ(picture.Image.Width, 3 + 16);
    EXPECT_EQ(picture.Image.At(8, 8), Blue);
    EXPECT_EQ(picture.Image.At(9, 8), Red);
    EXPECT_EQ(picture.Image.At(10, 8), Blue);
}

TEST_F(PreviewDrawingTest, AnItemWithoutArtIsABoxOfItsTiledataHeight) {
    for (auto [height, expectedHeight] : {std::pair{0, 44}, std::pair{5, 64}}) {
        PreviewPicture picture =
            DrawPreview({{NoArtItem, 0, 0, 0, 1}, {GreenItem, 0, 0, 0, 1}},
                        Art({{NoArtItem, {0, static_cast<std::uint8_t>(height), "crate"}}}), {});
        EXPECT_EQ(picture.WithoutArt, 1);
        EXPECT_EQ(picture.Image.Width, 44 + 16);
        EXPECT_EQ(picture.Image.Height, expectedHeight + 16);
        EXPECT_TRUE(IsOpaque(picture.Image.At(8 + 22, 8 + 2)));              // the top corner
        EXPECT_EQ(picture.Image.At(8 + 1, 8 + 1), Transparent);              // beside it
        EXPECT_EQ(picture.Image.At(8, 8 + expectedHeight - 1), Transparent); // the bottom left
    }
    // With no art files at all, every component is a box, and still drawn.
    PreviewPicture boxes = DrawPreview({{RedItem, 0, 0, 0, 1}, {RedItem, 1, 0, 0, 1}}, {}, {});
    EXPECT_EQ(boxes.WithoutArt, 2);
    EXPECT_EQ(boxes.Image.Width, 22 + 44 + 16);
}

TEST_F(PreviewDrawingTest, ListedComponentsAreOutlinedOrLeftOut) {
    std::vector<MulRecord> door{{GreenItem, 0, 0, 0, 0}, {RedItem, 3, 0, 0, 1}};
    PreviewPicture shown = DrawPreview(door, Art(), {});
    auto doorAt = [&](const PreviewPicture& p) { return p.Placed[0].Index == 0 ? 0 : 1; };
    const PlacedComponent& placed = shown.Placed[doorAt(shown)];
    EXPECT_EQ(shown.Image.At(placed.Left, placed.Top), ListedOutline);
    EXPECT_EQ(shown.Image.At(placed.Left + 1, placed.Top + 1), Green);

    PreviewOptions hidden;
    hidden.ShowListed = false;
    PreviewPicture without = DrawPreview(door, Art(), hidden);
    ASSERT_EQ(without.Placed.size(), 1u);
    EXPECT_EQ(without.Placed[0].Index, 1u);
}

TEST_F(PreviewDrawingTest, APictureAboveTheLargestSizeIsRefusedAndADamagedRecordDrawnAsABox) {
    EXPECT_EQ(FailureNumber([&] {
                  DrawPreview({{GreenItem, -200, 0, 0, 1}, {GreenItem, 200, 0, 0, 1}}, Art(), {});
              }),
              err::PictureTooLarge);
    records_[GreenItem] = std::string("\0\0\0\0\x05\x00", 6);
    PreviewPicture picture = DrawPreview({{GreenItem, 0, 0, 0, 1}}, Art(), {});
    EXPECT_EQ(picture.WithoutArt, 1);
    EXPECT_NE(picture.ArtProblem.find("0x0012"), std::string::npos) << picture.ArtProblem;
}

// The art is read through the cache, each item once, and drawing again reads nothing (the
// cache's limit: ArtFilesTest); a cancelled drawing is refused.
TEST_F(PreviewDrawingTest, TheArtComesThroughTheCacheAndADrawingCanBeCancelled) {
    PreviewArt art = Art();
    std::vector<MulRecord> many(500, {GreenItem, 0, 0, 0, 1});
    DrawPreview(many, art, {});
    DrawPreview(many, art, {});
    EXPECT_EQ(art.Art->CachedBytes(), 4u * 4 * 4);
    EXPECT_EQ(art.Art->BytesRead(), records_[GreenItem].size());
    ExpectRefused([&] { DrawPreview(many, art, {}, [] { return true; }); }, err::Cancelled);
}

// A PNG read back chunk by chunk: its header, and its pixels as RGBA after filter byte 0.
TEST(PngFileTest, ThePixelsReadBackFromTheFile) {
    ArgbImage image(3, 2);
    image.At(0, 0) = 0xFF102030;
    image.At(2, 1) = 0x80405060;
    std::string png = EncodePng(image);
    ASSERT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1A\n", 8));
    std::map<std::string, std::string> chunks;
    for (size_t at = 8; at + 12 <= png.size();) {
        std::uint32_t length = __builtin_bswap32(Get32(BytesAt(png, at))); // big-endian
        chunks[png.substr(at + 4, 4)] = png.substr(at + 8, length);
        at += 12 + length;
    }
    ASSERT_EQ(chunks.count("IHDR"), 1u);
    EXPECT_EQ(chunks["IHDR"], std::string("\0\0\0\3\0\0\0\2\x08\x06\0\0\0", 13));
    auto rows = Inflate(chunks["IDAT"], 2 * (1 + 3 * 4));
    ASSERT_TRUE(rows);
    EXPECT_EQ(*rows, std::string("\0\x10\x20\x30\xFF\0\0\0\0\0\0\0\0"
                                 "\0\0\0\0\0\0\0\0\0\x40\x50\x60\x80",
                                 26));
    EXPECT_EQ(chunks.count("IEND"), 1u);
}

} // namespace
} // namespace mw::test
