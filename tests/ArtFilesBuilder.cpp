#include "ArtFilesBuilder.h"

#include "common/LittleEndian.h"
#include "formats/StaticArt.h"
#include "formats/UopHash.h"
#include "formats/UopPackage.h"
#include "formats/Zlib.h"

#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <vector>

namespace mw::test {

namespace {

// Each channel to the nearest of 32 levels: the inverse of Rgb555ToArgb's widening. Opaque black
// becomes 0x8000 (the bit the decoder ignores), so that it does not turn transparent.
std::uint16_t ToRgb555(std::uint32_t argb) {
    auto narrow = [](std::uint32_t c) { return (c * 31 + 127) / 255; };
    auto value = static_cast<std::uint16_t>(narrow(argb >> 16 & 0xFF) << 10 |
                                            narrow(argb >> 8 & 0xFF) << 5 | narrow(argb & 0xFF));
    return value == 0 ? 0x8000 : value;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write the sample file " + path);
}

std::string ArtFileName(std::uint32_t entry) {
    char name[40];
    std::snprintf(name, sizeof name, "build/artlegacymul/%08u.tga", entry);
    return name;
}

} // namespace

std::string EncodeStaticArt(const ArgbImage& image) {
    std::string data;
    std::vector<std::uint16_t> starts;
    for (int y = 0; y < image.Height; ++y) {
        if (data.size() / 2 > 0xFFFF)
            throw std::length_error("the image's runs do not fit the 16-bit row offsets");
        starts.push_back(static_cast<std::uint16_t>(data.size() / 2));
        for (int x = 0, end = 0; x < image.Width;) {
            if (!IsOpaque(image.At(x, y))) {
                ++x;
                continue;
            }
            int runEnd = x;
            while (runEnd < image.Width && IsOpaque(image.At(runEnd, y)))
                ++runEnd;
            Append16(data, static_cast<std::uint16_t>(x - end));
            Append16(data, static_cast<std::uint16_t>(runEnd - x));
            for (; x < runEnd; ++x)
                Append16(data, ToRgb555(image.At(x, y)));
            end = runEnd;
        }
        Append32(data, 0); // the run (0, 0)
    }
    std::string record;
    Append32(record, 0x12345678); // the header the decoder does not read
    Append16(record, static_cast<std::uint16_t>(image.Width));
    Append16(record, static_cast<std::uint16_t>(image.Height));
    for (std::uint16_t start : starts)
        Append16(record, start);
    return record + data;
}

ArgbImage SolidImage(int width, int height, std::uint32_t argb) {
    ArgbImage image(width, height);
    std::fill(image.Pixels.begin(), image.Pixels.end(), argb);
    return image;
}

void WriteMulArt(const std::string& folder, const ArtRecords& records) {
    const std::uint32_t entries =
        StaticArtFirstEntry + (records.empty() ? 0 : records.rbegin()->first + 1u);
    std::string idx, mul("land", 4); // no record starts at byte 0
    idx.reserve(size_t{entries} * 12);
    for (std::uint32_t entry = 0; entry < entries; ++entry) {
        auto found = entry < StaticArtFirstEntry
                         ? records.end()
                         : records.find(static_cast<std::uint16_t>(entry - StaticArtFirstEntry));
        if (found == records.end()) {
            Append32(idx, 0xFFFFFFFF);
            Append32(idx, 0xFFFFFFFF); // length -1
        } else {
            Append32(idx, static_cast<std::uint32_t>(mul.size()));
            Append32(idx, static_cast<std::uint32_t>(found->second.size()));
            mul += found->second;
        }
        Append32(idx, 0);
    }
    WriteFile(folder + "/artidx.mul", idx);
    WriteFile(folder + "/art.mul", mul);
}

void WriteUopArt(const std::string& path, const ArtRecords& records) {
    static const std::string header("TGA\x01", 4);
    std::vector<UopFile> files;
    for (const auto& [itemId, record] : records)
        files.push_back({UopNameHash(ArtFileName(StaticArtFirstEntry + itemId)), UopStored,
                         static_cast<std::uint32_t>(record.size()), Adler32(record), header,
                         record});
    // Small blocks, so that a few dozen records already make a chain of tables.
    WriteFile(path, WriteUopPackage({UopVersion, UopSignature, {}, 16}, files));
}

std::string TileDataBytes(const std::map<std::uint16_t, StaticTile>& statics, bool newerLayout,
                          size_t staticCount) {
    const size_t flags = newerLayout ? 8 : 4, land = newerLayout ? 30 : 26;
    const size_t record = flags + 33, groups = (staticCount + 31) / 32;
    const size_t landPart = 512 * (4 + 32 * land), group = 4 + 32 * record;
    std::string bytes(landPart + groups * group, '\0');
    for (const auto& [itemId, tile] : statics) {
        if (itemId >= groups * 32) throw std::out_of_range("a static beyond the file's records");
        auto* at = reinterpret_cast<unsigned char*>(bytes.data()) + landPart + itemId / 32 * group +
                   4 + itemId % 32 * record;
        if (newerLayout)
            Put64(at, tile.Flags);
        else
            Put32(at, static_cast<std::uint32_t>(tile.Flags));
        for (size_t field = 0; field < 12; ++field) // weight to value: set, so that a reader
            at[flags + field] = static_cast<unsigned char>(0x11 * (field + 1)); // off by one shows
        at[flags + 12] = tile.Height;
        tile.Name.copy(reinterpret_cast<char*>(at + flags + 13), 20);
    }
    return bytes;
}

} // namespace mw::test
