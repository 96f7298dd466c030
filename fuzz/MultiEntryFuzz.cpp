// Multi extraction on any index entry and any multi.mul: the first 12 bytes of the input are
// the entry, the rest is multi.mul. Extraction chooses the record width (Auto) from the files,
// so the promises hold at the width the files show: an accepted entry lies wholly inside
// multi.mul, holds whole records after its marker, and its text is exactly those records.
#include "FuzzSupport.h"

#include "common/RunError.h"
#include "formats/MultiExtraction.h"
#include "formats/TemplateText.h"
#include "patcher/RecordSize.h"

#include <string>
#include <string_view>

namespace mw::fuzz {
namespace {

// The width extraction read at. The index holds this one entry, so a Length that is a whole
// number of records of one width only must give that width; a multiple of 48 leaves it to the
// records, as Auto does.
RecordWidth ChosenWidth(const MultiFilePaths& paths, const IdxEntry& entry) {
    RecordFile idx(paths.MultiIdxPath, RecordFile::Mode::Read);
    RecordFile mul(paths.MultiMulPath, RecordFile::Mode::Read);
    RecordWidthVerdict verdict = DetectRecordWidth(idx, mul);
    Require(verdict.Width.has_value(), "an accepted entry has a width the files show");
    if (entry.Length % 48 != 0)
        Require(*verdict.Width ==
                    (entry.Length % 16 == 0 ? RecordWidth::Sixteen : RecordWidth::Twelve),
                "a Length of whole records of one width only gives that width");
    return *verdict.Width;
}

std::string ComponentLine(const MulRecord& record) {
    return std::to_string(record.ItemID) + ' ' + std::to_string(record.X) + ' ' +
           std::to_string(record.Y) + ' ' + std::to_string(record.Z) + ' ' +
           std::to_string(record.Flag);
}

// The text line by line, the header's four lines first; each component line must be the
// record at its place, flag included (reading back drops the flag).
void CheckLines(std::string_view text, const std::uint8_t* records, RecordWidth width,
                std::int64_t count) {
    const std::int64_t size = RecordBytes(width);
    std::int64_t line = 0;
    for (size_t at = 0; at < text.size(); ++line) {
        size_t end = text.find("\r\n", at);
        Require(end != std::string_view::npos, "every line ends with CR LF");
        if (line >= 4) {
            Require(line - 4 < count, "there is no line after the last record");
            MulRecord record = DecodeMulRecord(records + (line - 4) * size, width);
            Require(text.substr(at, end - at) == ComponentLine(record),
                    "each component line is the record at its place");
        }
        at = end + 2;
    }
    Require(line == 4 + count, "there is a line for every record");
}

void CheckExtractedText(const std::string& text, const IdxEntry& entry, RecordWidth width,
                        const std::uint8_t* mul, size_t mulSize) {
    const std::int64_t size = RecordBytes(width);
    Require(entry.Length > size && entry.Length % size == 0,
            "an accepted entry holds whole records after its marker");
    Require(entry.Lookup >= 0 && entry.Lookup % size == 0 &&
                std::int64_t{entry.Lookup} + entry.Length <= static_cast<std::int64_t>(mulSize),
            "an accepted entry lies inside multi.mul");
    const std::int64_t count = entry.Length / size - 1;
    const std::uint8_t* records = mul + entry.Lookup + size; // after the marker
    CheckLines(text, records, width, count);

    ComponentBuffer buffer;
    bool ok = ReadComponentList(
        buffer, ComponentsList(),
        InputFile("template.tmp", reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    Require(ok, "the extracted text reads back");
    Require(buffer.ComponentCount == count, "every record is read");
    for (std::int32_t i = 0; i < buffer.ComponentCount; ++i) {
        MulRecord record = DecodeMulRecord(records + i * size, width);
        auto c = static_cast<size_t>(i);
        Require(buffer.ItemID[c] == std::to_string(record.ItemID) &&
                    buffer.X[c] == std::to_string(record.X) &&
                    buffer.Y[c] == std::to_string(record.Y) &&
                    buffer.Z[c] == std::to_string(record.Z),
                "each component read back is the record at its place");
    }
}

} // namespace
} // namespace mw::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace mw;
    if (size < IdxEntrySize) return 0;
    const std::uint8_t* mul = data + IdxEntrySize;
    size_t mulSize = size - IdxEntrySize;
    MultiFilePaths paths{fuzz::InputFile("multi.idx", data, IdxEntrySize),
                         fuzz::InputFile("multi.mul", mul, mulSize)};
    IdxEntry entry = DecodeIdxEntry(data);
    std::string text;
    try {
        text = MultiAsText(ReadMultiEntry(paths.MultiIdxPath, 1), paths.MultiMulPath);
    } catch (const RunError& refused) {
        fuzz::Require(!refused.Description.empty(), "a refusal says why");
        return 0;
    }
    fuzz::CheckExtractedText(text, entry, fuzz::ChosenWidth(paths, entry), mul, mulSize);
    return 0;
}
