#include "render/PngFile.h"

#include "common/RunError.h"

#include <zlib.h>

namespace mw {

namespace {

void AppendBigEndian32(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<char>(value >> shift & 0xFF));
}

void AppendChunk(std::string& png, const char* type, std::string_view data) {
    AppendBigEndian32(png, static_cast<std::uint32_t>(data.size()));
    size_t start = png.size();
    png.append(type, 4);
    png.append(data);
    auto crc = crc32(0, reinterpret_cast<const Bytef*>(png.data() + start),
                     static_cast<uInt>(png.size() - start));
    AppendBigEndian32(png, static_cast<std::uint32_t>(crc));
}

// The rows as RGBA, each after filter byte 0, deflated row by row so that a large picture is
// never held twice uncompressed.
std::string CompressedRows(const ArgbImage& image) {
    z_stream stream{};
    if (deflateInit(&stream, Z_DEFAULT_COMPRESSION) != Z_OK)
        throw RunError(err::OutOfMemory, "Out of memory");
    std::string out, row(1 + 4 * static_cast<size_t>(image.Width), '\0');
    char buffer[1 << 16];
    auto pump = [&](int flush) {
        do {
            stream.next_out = reinterpret_cast<Bytef*>(buffer);
            stream.avail_out = sizeof buffer;
            deflate(&stream, flush);
            out.append(buffer, sizeof buffer - stream.avail_out);
        } while (stream.avail_out == 0);
    };
    for (int y = 0; y < image.Height; ++y) {
        for (int x = 0; x < image.Width; ++x) {
            std::uint32_t p = image.At(x, y);
            char* rgba = &row[1 + 4 * static_cast<size_t>(x)];
            rgba[0] = static_cast<char>(p >> 16 & 0xFF);
            rgba[1] = static_cast<char>(p >> 8 & 0xFF);
            rgba[2] = static_cast<char>(p & 0xFF);
            rgba[3] = static_cast<char>(p >> 24);
        }
        stream.next_in = reinterpret_cast<Bytef*>(row.data());
        stream.avail_in = static_cast<uInt>(row.size());
        pump(Z_NO_FLUSH);
    }
    pump(Z_FINISH);
    deflateEnd(&stream);
    return out;
}

} // namespace

std::string EncodePng(const ArgbImage& picture) {
    // PNG has no empty image: nothing drawn is saved as one transparent pixel.
    static const ArgbImage onePixel(1, 1);
    const ArgbImage& image = picture.Pixels.empty() ? onePixel : picture;
    std::string png("\x89PNG\r\n\x1A\n", 8), header;
    AppendBigEndian32(header, static_cast<std::uint32_t>(image.Width));
    AppendBigEndian32(header, static_cast<std::uint32_t>(image.Height));
    header.append("\x08\x06\x00\x00\x00", 5); // 8 bits, RGBA, deflate, no filter, no interlace
    AppendChunk(png, "IHDR", header);
    AppendChunk(png, "IDAT", CompressedRows(image));
    AppendChunk(png, "IEND", {});
    return png;
}

} // namespace mw
