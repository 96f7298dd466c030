#include "formats/UoaDesigns.h"

#include "common/Files.h"
#include "common/LittleEndian.h"
#include "common/Platform.h"
#include "common/RunError.h"
#include "formats/ComponentsList.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <limits>

namespace mw {

namespace {

constexpr size_t TileBytes = 12;   // six i16
constexpr size_t ExtentBytes = 16; // width, height, user width, user height
// Three absent strings, the extent and the tile count: no design takes fewer bytes.
constexpr size_t SmallestDesign = 3 + ExtentBytes + 4;

std::string Counted(size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Whether the bytes are UTF-8 without overlong forms, surrogates or values past U+10FFFF.
bool IsUtf8(std::string_view text) {
    auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    for (size_t i = 0; i < text.size();) {
        unsigned char lead = byte(i);
        size_t length = lead < 0x80                    ? 1
                        : lead >= 0xC2 && lead <= 0xDF ? 2
                        : lead >= 0xE0 && lead <= 0xEF ? 3
                        : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                       : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (size_t k = 1; k < length; ++k)
            if ((byte(i + k) & 0xC0) != 0x80) return false;
        if (length >= 3) {
            unsigned char second = byte(i + 1);
            if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
                (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F))
                return false;
        }
        i += length;
    }
    return true;
}

// The bytes of the file with a position, every read checked against the end; `where` names the
// piece being read, so that a refusal says where the damage is.
class Cursor {
public:
    explicit Cursor(std::string_view bytes) : bytes_(bytes) {}

    size_t Left() const { return bytes_.size() - at_; }
    size_t At() const { return at_; }
    std::string where;

    const unsigned char* Take(size_t n, const char* what) {
        if (n > Left())
            throw RunError(err::InputPastEndOfFile,
                           "the file ends in the " + std::string(what) + Where() + " (byte " +
                               std::to_string(at_) + " of " + std::to_string(bytes_.size()) + ")");
        const auto* start = reinterpret_cast<const unsigned char*>(bytes_.data()) + at_;
        at_ += n;
        return start;
    }
    std::int16_t I16(const char* what) { return static_cast<std::int16_t>(Get16(Take(2, what))); }
    std::int32_t I32(const char* what) { return static_cast<std::int32_t>(Get32(Take(4, what))); }

    std::string String(const char* what) {
        if (*Take(1, what) == 0) return {};
        std::uint32_t length = 0;
        for (int group = 0;; ++group) {
            unsigned char next = *Take(1, what);
            // Five groups hold 32 bits; a fifth with more than four bits, or a sixth, runs on.
            if (group == 4 && next > 0x0F)
                Fail("the length of the " + std::string(what) + Where() + " runs on past 32 bits");
            length |= static_cast<std::uint32_t>(next & 0x7F) << (7 * group);
            if (!(next & 0x80)) break;
        }
        if (length > Left())
            throw RunError(err::InputPastEndOfFile, "the " + std::string(what) + Where() + " is " +
                                                        Counted(length, "byte", "bytes") +
                                                        " long, past the end of the file (" +
                                                        Counted(Left(), "byte", "bytes") +
                                                        " left)");
        std::string text(reinterpret_cast<const char*>(Take(length, what)), length);
        if (!IsUtf8(text) || text.find('\0') != std::string::npos)
            Fail("the " + std::string(what) + Where() + " is not UTF-8 text");
        return text;
    }

    [[noreturn]] static void Fail(const std::string& why) {
        throw RunError(err::DesignFileInvalid, why);
    }

private:
    std::string Where() const { return where.empty() ? "" : " of " + where; }

    std::string_view bytes_;
    size_t at_ = 0;
};

UoaDesign ParseDesign(Cursor& in) {
    UoaDesign design;
    design.Name = in.String("name");
    design.Category = in.String("category");
    design.Subsection = in.String("subsection");
    for (const char* what : {"width", "height", "user width", "user height"})
        in.I32(what); // the library keeps no extent: it follows from the tiles
    std::int32_t count = in.I32("tile count");
    if (count < 1)
        Cursor::Fail("the tile count " + std::to_string(count) + " of " + in.where +
                     " is below 1: a design needs tiles");
    if (static_cast<size_t>(count) > in.Left() / TileBytes)
        throw RunError(err::InputPastEndOfFile,
                       "the tile count " + std::to_string(count) + " of " + in.where +
                           " is larger than the rest of the file holds (" +
                           Counted(in.Left() / TileBytes, "tile", "tiles") + ")");
    design.Tiles.resize(static_cast<size_t>(count));
    for (UoaTile& tile : design.Tiles) {
        const unsigned char* at = in.Take(TileBytes, "tile");
        tile.ItemID = Get16(at); // a negative id is the id plus 65536: the same 16 bits
        tile.X = static_cast<std::int16_t>(Get16(at + 2));
        tile.Y = static_cast<std::int16_t>(Get16(at + 4));
        tile.Z = static_cast<std::int16_t>(Get16(at + 6)); // level and hue are not kept
    }
    return design;
}

// A name from a library older than UTF-8 is taken as Latin-1, so that the file stays readable.
std::string AsUtf8(const std::string& text) {
    if (IsUtf8(text)) return text;
    std::string utf8;
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | byte >> 6);
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

void PutString(std::string& out, const std::string& name) {
    const std::string text = AsUtf8(name);
    out += '\1';
    for (auto length = static_cast<std::uint32_t>(text.size());; length >>= 7) {
        auto group = static_cast<unsigned char>(length & 0x7F);
        if (length > 0x7F) group |= 0x80;
        out += static_cast<char>(group);
        if (length <= 0x7F) break;
    }
    out += text;
}

void PutDesign(std::string& out, const UoaDesign& design) {
    if (design.Tiles.empty())
        Cursor::Fail("the design \"" + design.Name + "\" has no tiles to write");
    if (design.Tiles.size() > static_cast<size_t>(std::numeric_limits<std::int32_t>::max()))
        Cursor::Fail("the design \"" + design.Name + "\" has more tiles than a file can count");
    for (const std::string* text : {&design.Name, &design.Category, &design.Subsection})
        PutString(out, *text);
    auto [minX, maxX] = std::minmax_element(design.Tiles.begin(), design.Tiles.end(),
                                            [](auto& a, auto& b) { return a.X < b.X; });
    auto [minY, maxY] = std::minmax_element(design.Tiles.begin(), design.Tiles.end(),
                                            [](auto& a, auto& b) { return a.Y < b.Y; });
    auto width = static_cast<std::uint32_t>(maxX->X - minX->X + 1);
    auto height = static_cast<std::uint32_t>(maxY->Y - minY->Y + 1);
    for (std::uint32_t value : {width, height, width, height})
        Append32(out, value);
    Append32(out, static_cast<std::uint32_t>(design.Tiles.size()));
    out.reserve(out.size() + design.Tiles.size() * TileBytes);
    for (const UoaTile& tile : design.Tiles) {
        Append16(out, tile.ItemID);
        for (std::int16_t value : {tile.X, tile.Y, tile.Z, std::int16_t{0}, std::int16_t{0}})
            Append16(out, static_cast<std::uint16_t>(value));
    }
}

// The whole input, from a file or a pipe, never more than UoaLargestFile.
std::string ReadBytes(const std::string& path, const Progress& progress) {
    std::FILE* file = platform::OpenStream(path, "rb");
    if (!file) ThrowFileError(errno, path, "open");
    struct Closer {
        std::FILE* f;
        ~Closer() { std::fclose(f); }
    } closer{file};
    platform::FileInfo info;
    long long size = 0;
    if (platform::StatStream(file, info) == 0) {
        if (info.Kind == platform::FileKind::Directory) ThrowFileError(EISDIR, path, "read");
        size = info.Kind == platform::FileKind::Regular ? static_cast<long long>(info.Size) : 0;
    }
    auto tooLarge = [&] {
        Cursor::Fail("\"" + path + "\" is larger than the " + std::to_string(UoaLargestFile >> 20) +
                     " MiB a design file may have");
    };
    if (size > static_cast<long long>(UoaLargestFile)) tooLarge();
    std::string bytes;
    bytes.reserve(static_cast<size_t>(size));
    ProgressTicker ticker(progress, size);
    char block[1 << 16];
    while (size_t n = std::fread(block, 1, sizeof block, file)) {
        if (bytes.size() + n > UoaLargestFile) tooLarge();
        bytes.append(block, n);
        ticker.Step(static_cast<std::int64_t>(bytes.size()));
    }
    if (std::ferror(file)) ThrowFileError(EIO, path, "read");
    return bytes;
}

} // namespace

UoaFile ParseUoaFile(std::string_view bytes) {
    Cursor in(bytes);
    UoaFile file;
    file.Version = in.I16("version");
    size_t count = 1;
    if (file.Version == UoaBatchVersion) {
        std::int16_t announced = in.I16("design count");
        if (announced < 1)
            Cursor::Fail("the design count " + std::to_string(announced) +
                         " is below 1: the file holds no design");
        count = static_cast<size_t>(announced);
        if (count > in.Left() / SmallestDesign)
            throw RunError(err::InputPastEndOfFile, "the design count " + std::to_string(count) +
                                                        " is larger than the file can hold (" +
                                                        Counted(in.Left(), "byte", "bytes") +
                                                        " after the count)");
    } else if (file.Version != UoaSingleVersion) {
        Cursor::Fail("this is not a UO Architect design file: its version is " +
                     std::to_string(file.Version) + ", not 1 or 2");
    }
    file.Designs.reserve(count);
    for (size_t d = 0; d < count; ++d) {
        in.where = "design " + std::to_string(d + 1);
        file.Designs.push_back(ParseDesign(in));
    }
    if (in.Left() > 0)
        Cursor::Fail(Counted(in.Left(), "byte follows", "bytes follow") +
                     " the last design, at byte " + std::to_string(in.At()));
    return file;
}

UoaFile ReadUoaFile(const std::string& path, const Progress& progress) {
    return ParseUoaFile(ReadBytes(path, progress));
}

std::string UoaFileBytes(const UoaFile& file) {
    size_t count = file.Designs.size();
    if (file.Version == UoaSingleVersion && count != 1)
        Cursor::Fail("a design file of version 1 holds one design, not " + std::to_string(count));
    if (file.Version == UoaBatchVersion && (count < 1 || count > UoaMostDesigns))
        Cursor::Fail("a design file holds from 1 to " + std::to_string(UoaMostDesigns) +
                     " designs, not " + std::to_string(count));
    if (file.Version != UoaSingleVersion && file.Version != UoaBatchVersion)
        Cursor::Fail("design files have version 1 or 2, not " + std::to_string(file.Version));
    std::string out;
    Append16(out, static_cast<std::uint16_t>(file.Version));
    if (file.Version == UoaBatchVersion) Append16(out, static_cast<std::uint16_t>(count));
    for (const UoaDesign& design : file.Designs)
        PutDesign(out, design);
    return out;
}

void DesignIntoBuffer(const UoaDesign& design, ComponentBuffer& buffer,
                      const ComponentsList& list) {
    StartComponents(buffer, design.Tiles.size());
    for (const UoaTile& tile : design.Tiles) {
        size_t i = AppendComponent(buffer);
        buffer.ItemID[i] = std::to_string(tile.ItemID);
        buffer.X[i] = std::to_string(tile.X);
        buffer.Y[i] = std::to_string(tile.Y);
        buffer.Z[i] = std::to_string(tile.Z);
        buffer.Flag[i].assign(1, '1');
        TrackBounds(buffer, i, tile.X, tile.Y);
    }
    FinishComponents(buffer, list);
}

bool ReadUoaDesign(ComponentBuffer& buffer, const ComponentsList& list, const std::string& path,
                   UoaDesign& labels, const Progress& progress) {
    labels = {};
    return ReadIntoBuffer(buffer, InvalidUoaTitle, [&] {
        UoaFile file = ReadUoaFile(path, progress);
        if (file.Designs.size() != 1)
            Cursor::Fail("this file holds " + std::to_string(file.Designs.size()) +
                         " designs: import it as a batch");
        DesignIntoBuffer(file.Designs.front(), buffer, list);
        labels = std::move(file.Designs.front());
        labels.Tiles.clear();
    });
}

bool ReadUoaDesign(ComponentBuffer& buffer, const ComponentsList& list, const std::string& path,
                   const Progress& progress) {
    UoaDesign labels;
    return ReadUoaDesign(buffer, list, path, labels, progress);
}

} // namespace mw
