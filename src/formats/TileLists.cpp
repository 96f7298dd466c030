#include "formats/TileLists.h"

#include "common/Convert.h"
#include "common/LineReader.h"
#include "common/RunError.h"
#include "formats/ComponentsList.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace mw {

namespace {

constexpr size_t MostFields = 8; // more than either format has; the count is still told

struct SplitLine {
    std::string_view Field[MostFields];
    size_t Count = 0;
};

SplitLine SplitAtCommas(std::string_view line) {
    SplitLine split;
    for (size_t start = 0;;) {
        size_t comma = line.find(',', start);
        if (split.Count < MostFields)
            split.Field[split.Count] = Trim(line.substr(start, comma - start));
        ++split.Count;
        if (comma == std::string_view::npos) return split;
        start = comma + 1;
    }
}

SplitLine SplitAtBlanks(std::string_view line) {
    SplitLine split;
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    for (size_t at = 0; at < line.size();) {
        while (at < line.size() && blank(line[at]))
            ++at;
        if (at == line.size()) break;
        size_t end = at;
        while (end < line.size() && !blank(line[end]))
            ++end;
        if (split.Count < MostFields) split.Field[split.Count] = line.substr(at, end - at);
        ++split.Count;
        at = end;
    }
    return split;
}

// An item id as both lists write it: 0x and one to four hexadecimal digits (leading zeros allowed).
std::uint16_t HexItemId(std::string_view text) {
    std::string_view digits =
        text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')
            ? text.substr(2)
            : std::string_view();
    bool hex = !digits.empty() && std::all_of(digits.begin(), digits.end(), [](char c) {
        return std::isxdigit(static_cast<unsigned char>(c)) != 0;
    });
    auto value = hex ? LeadingHexValue(digits) : std::nullopt;
    if (!value || *value > 0xFFFF)
        throw RunError(err::TypeMismatch, "the item id \"" + std::string(text.substr(0, 40)) +
                                              "\" is not 0x followed by a hexadecimal number "
                                              "from 0 to FFFF");
    return static_cast<std::uint16_t>(*value);
}

bool IsCsvHeader(std::string_view line) {
    constexpr std::string_view name = "tileid";
    if (line.size() < name.size()) return false;
    return std::equal(name.begin(), name.end(), line.begin(), [](char a, char b) {
        return a == std::tolower(static_cast<unsigned char>(b));
    });
}

struct Layout {
    SplitLine (*Split)(std::string_view);
    size_t FewestFields, MostFields;
    const char* Fields; // named in a refusal
    bool MayHaveHeader;
};

constexpr Layout Csv{SplitAtCommas, 5, 6, "TileID, OffsetX, OffsetY, OffsetZ, Flag and Cliloc",
                     true};
constexpr Layout List{SplitAtBlanks, 5, 5, "item id, x, y, z and flag", false};

void AddComponent(ComponentBuffer& buffer, const Layout& layout, std::string_view line,
                  long long number) {
    SplitLine fields = layout.Split(line);
    if (fields.Count < layout.FewestFields || fields.Count > layout.MostFields)
        throw InLine(RunError(err::InputPastEndOfFile,
                              "a component line holds " + std::string(layout.Fields) +
                                  "; this one has " + std::to_string(fields.Count) + " field(s)"),
                     number);
    std::uint16_t id = LineValue(HexItemId, fields.Field[0], number, nullptr); // names itself
    std::int16_t x = LineValue(WholeInteger, fields.Field[1], number, "x");
    std::int16_t y = LineValue(WholeInteger, fields.Field[2], number, "y");
    std::int16_t z = LineValue(WholeInteger, fields.Field[3], number, "z"); // the flag is not read
    size_t i = AppendComponent(buffer);
    buffer.ItemID[i] = std::to_string(id);
    buffer.X[i] = std::to_string(x);
    buffer.Y[i] = std::to_string(y);
    buffer.Z[i] = std::to_string(z);
    buffer.Flag[i].assign(1, '1');
    TrackBounds(buffer, i, x, y);
}

void ReadLines(ComponentBuffer& buffer, const Layout& layout, const std::string& path,
               const Progress& progress) {
    LineReader reader(path);
    // Room for no more than the file can hold: a component line takes at least 10 bytes.
    StartComponents(buffer, static_cast<size_t>(reader.FileSize() / 10));
    ProgressTicker ticker(progress, reader.FileSize());
    std::string_view line;
    for (long long number = 1; reader.ReadLine(line); ++number) {
        ticker.Step(reader.BytesRead());
        if (Trim(line).empty()) continue;
        if (number == 1 && layout.MayHaveHeader && IsCsvHeader(Trim(line))) continue;
        AddComponent(buffer, layout, line, number);
        if (buffer.ItemID.size() > static_cast<size_t>(INT32_MAX)) // the components and the spare
            throw RunError(err::Overflow, "more components than a template can hold");
    }
    if (buffer.ItemID.size() == 1) // the spare entry alone
        throw RunError(err::InputPastEndOfFile, "the file holds no component line");
}

bool ReadTileFile(ComponentBuffer& buffer, const ComponentsList& list, const std::string& path,
                  const Progress& progress, const Layout& layout) {
    return ReadIntoBuffer(buffer, InvalidTileListTitle, [&] {
        ReadLines(buffer, layout, path, progress);
        FinishComponents(buffer, list);
    });
}

// The other tools' flag: 1 for a component the server places separately, which ours marks 0.
long TheirFlag(long ours) {
    return ours == 0 ? 1 : ours == 1 ? 0 : ours;
}

// The id as the 16 bits the game files hold; what does not fit is refused, naming the component.
unsigned ItemBits(const TemplateLine& line, std::int64_t i) {
    if (line.ItemID < -32768 || line.ItemID > 0xFFFF)
        throw RunError(err::Overflow, "Component " + std::to_string(i + 1) + ": the item id " +
                                          std::to_string(line.ItemID) + " does not fit 16 bits");
    return static_cast<unsigned>(line.ItemID & 0xFFFF);
}

template <typename Format>
std::string Lines(std::string text, std::int64_t count,
                  const std::function<TemplateLine(std::int64_t)>& line, const Progress& progress,
                  Format format) {
    text.reserve(text.size() + static_cast<size_t>(count) * 24);
    ProgressTicker ticker(progress, count);
    char buffer[96];
    for (std::int64_t i = 0; i < count; ++i) {
        ticker.Step(i);
        TemplateLine next = line(i);
        int n = format(buffer, sizeof buffer, ItemBits(next, i), next);
        text.append(buffer, static_cast<size_t>(n));
    }
    return text;
}

} // namespace

bool ReadTileCsv(ComponentBuffer& buffer, const ComponentsList& list, const std::string& path,
                 const Progress& progress) {
    return ReadTileFile(buffer, list, path, progress, Csv);
}

bool ReadTileList(ComponentBuffer& buffer, const ComponentsList& list, const std::string& path,
                  const Progress& progress) {
    return ReadTileFile(buffer, list, path, progress, List);
}

std::string TileCsvText(std::int64_t count, const std::function<TemplateLine(std::int64_t)>& line,
                        const Progress& progress) {
    return Lines(std::string(TileCsvHeader) + "\r\n", count, line, progress,
                 [](char* out, size_t size, unsigned id, const TemplateLine& l) {
                     auto flag = static_cast<unsigned>(TheirFlag(l.Flag) & 0xFFFF);
                     return std::snprintf(out, size, "0x%04X,%ld,%ld,%ld,0x%X,\r\n", id, l.X, l.Y,
                                          l.Z, flag);
                 });
}

std::string TileListText(std::int64_t count, const std::function<TemplateLine(std::int64_t)>& line,
                         const Progress& progress) {
    return Lines(std::string(), count, line, progress,
                 [](char* out, size_t size, unsigned id, const TemplateLine& l) {
                     return std::snprintf(out, size, "0x%X %ld %ld %ld %ld\r\n", id, l.X, l.Y, l.Z,
                                          TheirFlag(l.Flag));
                 });
}

} // namespace mw
