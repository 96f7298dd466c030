#include "PreviewData.h"

#include "ArtFilesBuilder.h"

#include "formats/StaticArt.h"

#include <cmath>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace mw::bench {
namespace {

constexpr std::uint16_t FloorItems = 0x0500, WallItems = 0x0600, Kinds = 100;
constexpr std::uint64_t ArtFileSize = 200ull << 20;

// A diamond floor tile of 44 x 44 or a wall of 44 x 90, in a colour of its kind.
ArgbImage ItemArt(bool wall, int kind) {
    ArgbImage image(44, wall ? 90 : 44);
    std::uint32_t colour = 0xFF000000u | static_cast<std::uint32_t>(kind * 2371 % 0xFFFFFF);
    for (int y = 0; y < image.Height; ++y)
        for (int x = 0; x < image.Width; ++x)
            if (wall ? (x < 22 ? y >= 21 - x && y <= 68 + x : y >= x - 22 && y <= 111 - x)
                     : std::abs(x - 21.5) + std::abs(y - 21.5) <= 22)
                image.At(x, y) = colour;
    return image;
}

void WriteAt(int fd, const std::string& bytes, std::uint64_t offset) {
    if (::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset)) !=
        static_cast<ssize_t>(bytes.size()))
        throw std::runtime_error("cannot write the benchmark's art");
}

} // namespace

// artidx.mul and a sparse art.mul: the 2 * Kinds records spread evenly over ArtFileSize.
void WriteSparseArt(const Scratch& scratch) {
    int idx = ::open(scratch.File("artidx.mul").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    int mul = ::open(scratch.File("art.mul").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (idx < 0 || mul < 0) throw std::runtime_error("cannot create the benchmark's art");
    std::string entries((StaticArtFirstEntry + 0x10000) * 12, '\xFF');
    const std::uint64_t spacing = ArtFileSize / (2 * Kinds);
    for (int i = 0; i < 2 * Kinds; ++i) {
        bool wall = i >= Kinds;
        std::string record = test::EncodeStaticArt(ItemArt(wall, i % Kinds));
        std::uint32_t entry = StaticArtFirstEntry + (wall ? WallItems : FloorItems) + i % Kinds;
        std::uint32_t offset = static_cast<std::uint32_t>(i * spacing);
        for (int b = 0; b < 4; ++b) {
            entries[entry * 12 + b] = static_cast<char>(offset >> (8 * b));
            entries[entry * 12 + 4 + b] = static_cast<char>(record.size() >> (8 * b));
            entries[entry * 12 + 8 + b] = 0;
        }
        WriteAt(mul, record, offset);
    }
    WriteAt(idx, entries, 0);
    if (::ftruncate(mul, static_cast<off_t>(ArtFileSize)) != 0)
        throw std::runtime_error("cannot size the benchmark's art");
    ::close(idx);
    ::close(mul);
}

std::vector<MulRecord> HouseGrid(size_t count) {
    int side = static_cast<int>(std::ceil(std::sqrt(count / 4.0 / 1.5)));
    std::vector<MulRecord> components;
    for (int storey = 0; components.size() < count; ++storey)
        for (int y = 0; y < side && components.size() < count; ++y)
            for (int x = 0; x < side && components.size() < count; ++x) {
                auto z = static_cast<std::int16_t>(20 * (storey % 4));
                auto at = [&](std::uint16_t first) {
                    return MulRecord{static_cast<std::uint16_t>(first + (x * 7 + y) % Kinds),
                                     static_cast<std::int16_t>(x - side / 2),
                                     static_cast<std::int16_t>(y - side / 2), z, 1};
                };
                components.push_back(at(FloorItems));
                if ((x % 4 == 0 || y % 4 == 0) && components.size() < count)
                    components.push_back(at(WallItems));
            }
    return components;
}

} // namespace mw::bench
