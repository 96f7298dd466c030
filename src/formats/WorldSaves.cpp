#include "formats/WorldSaves.h"

#include "common/Convert.h"
#include "common/LineReader.h"
#include "common/RunError.h"
#include "formats/ComponentsList.h"
#include "formats/TemplateText.h"

namespace mw {

namespace {

constexpr const char* SphereSection = "SECTION WORLDITEM";
constexpr int SphereHeaderLines = 4;
constexpr int SphereLinesAfterData = 10; // a record is 14 lines: item id, X, Y, Z and these

const ReaderMessage NotAWorldFile{InvalidWscTitle, InvalidWscText};
// Line 1 of the file says it is not a world file of the kind asked for.
const ReadRefusal WrongKindOfFile{NotAWorldFile, true};
// The file ends where a line must be read, or holds no item at all.
const ReadRefusal CorruptWorldFile{NotAWorldFile, false};

// A value's check, refused here with the line rather than by the store: an item id the game
// files cannot hold, a coordinate beyond 16 bits, or a number written other than whole.
using ValueCheck = void (*)(std::string_view value);

void CheckItemId(std::string_view value) {
    WholeItemId(value);
}

void CheckCoordinate(std::string_view value) {
    WholeInteger(value);
}

std::string Shortened(std::string_view line) {
    constexpr size_t Shown = 40;
    return line.size() <= Shown ? std::string(line) : std::string(line.substr(0, Shown)) + "...";
}

// The lines of a world file, counted so that a refusal can say where the fault is.
class WorldFileLines {
public:
    WorldFileLines(const std::string& path, const Progress& progress)
        : reader_(path), ticker_(progress, reader_.FileSize()) {}

    // The next line, valid until the next read; false at the end of the file.
    bool TryNext(std::string_view& line) {
        if (!reader_.ReadLine(line)) return false;
        ++number_;
        ticker_.Step(reader_.BytesRead());
        return true;
    }

    // The next line, where the file must have one.
    std::string_view Next() {
        std::string_view line;
        if (!TryNext(line)) throw CorruptWorldFile;
        return line;
    }

    // Stores the value of the line last read, refusing a line without one or a value that
    // fails the check; `field` names the value in the refusal.
    void Take(std::string_view line, std::string& target, ValueCheck check,
              const char* field) const {
        Fields fields(line);
        if (fields.Count < 2)
            throw RunError(err::InputPastEndOfFile, "line " + std::to_string(number_) +
                                                        " has no value after its key: \"" +
                                                        Shortened(line) + "\"");
        std::string_view value = fields(2);
        LineValue(check, value, number_, field);
        target.assign(value);
    }

private:
    LineReader reader_;
    ProgressTicker ticker_;
    long long number_ = 0;
};

// The item's X, Y (and Z) are stored; its flag and the bounds follow.
void FinishItem(ComponentBuffer& buffer, size_t index) {
    buffer.Flag[index].assign(1, '1');
    TrackBounds(buffer, static_cast<std::int32_t>(index));
}

void ReadSphereHeader(ComponentBuffer& buffer, WorldFileLines& lines) {
    std::string_view first;
    if (!lines.TryNext(first) || first.find(SphereSection) == std::string_view::npos)
        throw WrongKindOfFile;
    StartComponents(buffer, 0);
    for (int skipped = 1; skipped < SphereHeaderLines; ++skipped)
        lines.Next();
}

void ReadSphereItems(ComponentBuffer& buffer, WorldFileLines& lines) {
    ReadSphereHeader(buffer, lines);
    std::string_view line;
    while (lines.TryNext(line)) {
        size_t i = AppendComponent(buffer);
        lines.Take(line, buffer.ItemID[i], CheckItemId, "item id");
        lines.Take(lines.Next(), buffer.X[i], CheckCoordinate, "x");
        lines.Take(lines.Next(), buffer.Y[i], CheckCoordinate, "y");
        lines.Take(lines.Next(), buffer.Z[i], CheckCoordinate, "z");
        FinishItem(buffer, i);
        for (int skipped = 0; skipped < SphereLinesAfterData && lines.TryNext(line); ++skipped) {
        }
    }
}

// The key is the text before the first space. Keys that merely contain these letters
// (HIDAMAGE, HIDDEN, SERIALID) belong to other lines of an item.
bool HasKey(std::string_view line, std::string_view key) {
    return line.substr(0, line.find(' ')) == key;
}

bool IsZLine(std::string_view line) {
    return HasKey(line, "Z") || HasKey(line, "z");
}

// Reads on up to the next line whose key is "ID"; false when the file ends first.
bool FindItemLine(WorldFileLines& lines, std::string_view& line) {
    while (lines.TryNext(line))
        if (HasKey(line, "ID")) return true;
    return false;
}

void ReadUox3Items(ComponentBuffer& buffer, WorldFileLines& lines) {
    StartComponents(buffer, 0);
    std::string_view line;
    bool atItemLine = FindItemLine(lines, line);
    while (atItemLine) {
        size_t i = AppendComponent(buffer);
        lines.Take(line, buffer.ItemID[i], CheckItemId, "item id");
        lines.Take(lines.Next(), buffer.X[i], CheckCoordinate, "x");
        lines.Take(lines.Next(), buffer.Y[i], CheckCoordinate, "y");
        buffer.Z[i].assign(1, '0');
        bool more = lines.TryNext(line);
        if (more && IsZLine(line)) {
            lines.Take(line, buffer.Z[i], CheckCoordinate, "z");
            more = lines.TryNext(line);
        }
        FinishItem(buffer, i);
        // A line right after the item may itself start the next one.
        atItemLine = more && (HasKey(line, "ID") || FindItemLine(lines, line));
    }
    if (buffer.ItemID.size() == 1) throw CorruptWorldFile; // the spare entry alone: no item
}

using ItemsReader = void (*)(ComponentBuffer&, WorldFileLines&);

bool ReadWorldFile(ComponentBuffer& buffer, const ComponentsList& list, const std::string& path,
                   const Progress& progress, ItemsReader readItems) {
    return ReadIntoBuffer(buffer, ReadErrorTitle, [&] {
        WorldFileLines lines(path, progress);
        readItems(buffer, lines);
        FinishComponents(buffer, list);
        CentreComponents(buffer);
    });
}

} // namespace

bool ReadSphereExportWsc(ComponentBuffer& buffer, const ComponentsList& list,
                         const std::string& path, const Progress& progress) {
    return ReadWorldFile(buffer, list, path, progress, ReadSphereItems);
}

bool ReadUox3Wsc(ComponentBuffer& buffer, const ComponentsList& list, const std::string& path,
                 const Progress& progress) {
    return ReadWorldFile(buffer, list, path, progress, ReadUox3Items);
}

} // namespace mw
