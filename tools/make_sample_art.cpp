// Writes a small set of client art files and a house that uses them, for looking at the preview
// by hand and for the README's picture: make_sample_art FOLDER writes artidx.mul, art.mul and
// tiledata.mul there, and house.txt, a template text file to import.
#include "ArtFilesBuilder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using mw::ArgbImage;

constexpr std::uint16_t Floor = 0x0519, WallWest = 0x0020, WallNorth = 0x0021, Door = 0x0675,
                        Roof = 0x05A0, Barrel = 0x0E77;

std::uint32_t Rgb(int r, int g, int b) {
    auto c = [](int v) { return static_cast<std::uint32_t>(std::clamp(v, 0, 255)); };
    return 0xFF000000u | c(r) << 16 | c(g) << 8 | c(b);
}

// A diamond cell with planks (or tiles) and a little grain.
ArgbImage Diamond(int r, int g, int b, bool planks) {
    ArgbImage image(44, 44);
    for (int y = 0; y < 44; ++y)
        for (int x = 0; x < 44; ++x)
            if (std::abs(x - 21.5) + std::abs(y - 21.5) <= 22) {
                int line =
                    planks ? ((x + 2 * y) % 11 == 0 ? -40 : 0) : ((x + y) % 8 == 0 ? -30 : 0);
                int grain = (x * 7 + y * 13) % 9 - 4;
                image.At(x, y) = Rgb(r + line + grain, g + line + grain, b + line + grain);
            }
    return image;
}

// A wall along the west (or north) edge of a cell, 60 pixels high, of stone blocks.
ArgbImage Wall(bool west, int r, int g, int b) {
    const int height = 60;
    ArgbImage image(44, 44 + height);
    for (int x = 0; x < 44; ++x) {
        bool ours = west ? x < 22 : x >= 22;
        if (!ours) continue;
        int edge = west ? 22 - x : x - 22; // the cell's upper edge at this column
        for (int y = edge; y < edge + height + 1; ++y) {
            int course = (y - edge) / 10, joint = (y - edge) % 10 == 0;
            int brick = ((x + course * 6) % 12 == 0) || joint;
            int shade = west ? 0 : -25;
            image.At(x, y) = brick ? Rgb(r - 70, g - 70, b - 70)
                                   : Rgb(r + shade + (x * 5 + y * 3) % 11, g + shade, b + shade);
        }
    }
    return image;
}

ArgbImage BarrelArt() {
    ArgbImage image(24, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 24; ++x) {
            double dx = (x - 11.5) / 12.0;
            if (y < 4 && dx * dx + (y - 3.5) * (y - 3.5) / 16.0 > 1) continue;
            int hoop = (y == 7 || y == 22) ? -50 : 0;
            image.At(x, y) = Rgb(150 + hoop - static_cast<int>(60 * dx * dx), 95 + hoop, 45 + hoop);
        }
    return image;
}

std::string Line(std::uint16_t item, int x, int y, int z) {
    return std::to_string(item) + " " + std::to_string(x) + " " + std::to_string(y) + " " +
           std::to_string(z) + " 1\r\n";
}

// A one-storey house of 6 x 6 cells with a door, a barrel and a raised roof over half of it.
std::string House() {
    std::vector<std::string> lines;
    for (int y = -3; y <= 2; ++y)
        for (int x = -3; x <= 2; ++x)
            lines.push_back(Line(Floor, x, y, 0));
    for (int i = -3; i <= 2; ++i) {
        lines.push_back(Line(WallWest, -3, i, 0));
        lines.push_back(Line(WallNorth, i, -3, 0));
        lines.push_back(Line(WallWest, 3, i, 0));
        lines.push_back(Line(i == 0 ? Door : WallNorth, i, 3, 0));
    }
    lines.push_back(Line(Barrel, -2, -2, 0));
    lines.push_back(Line(Barrel, -1, -2, 0));
    for (int y = -3; y <= 0; ++y)
        for (int x = -3; x <= 2; ++x)
            lines.push_back(Line(Roof, x, y, 15 + 3 * (y + 3)));
    std::string text = "6 version\r\n1 template id\r\n-1 item version\r\n" +
                       std::to_string(lines.size()) + " num components\r\n";
    for (const auto& line : lines)
        text += line;
    return text;
}

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace

int main(int argc, char** argv) {
    using namespace mw::test;
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sample_art FOLDER\n");
        return 2;
    }
    std::string folder = argv[1];
    WriteMulArt(folder, {{Floor, EncodeStaticArt(Diamond(150, 110, 70, true))},
                         {Roof, EncodeStaticArt(Diamond(150, 60, 50, false))},
                         {WallWest, EncodeStaticArt(Wall(true, 160, 155, 145))},
                         {WallNorth, EncodeStaticArt(Wall(false, 160, 155, 145))},
                         {Door, EncodeStaticArt(Wall(false, 120, 80, 40))},
                         {Barrel, EncodeStaticArt(BarrelArt())}});
    Write(folder + "/tiledata.mul", TileDataBytes({{Floor, {mw::TileBackground, 0, "wooden floor"}},
                                                   {Roof, {0, 3, "slate roof"}},
                                                   {WallWest, {0, 20, "stone wall"}},
                                                   {WallNorth, {0, 20, "stone wall"}},
                                                   {Door, {0, 20, "wooden door"}},
                                                   {Barrel, {0, 6, "barrel"}}},
                                                  false));
    Write(folder + "/house.txt", House());
    return 0;
}
