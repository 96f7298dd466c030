// Multi extraction on any index entry and any multi.mul: the first 12 bytes of the input are
// the entry, the rest is multi.mul. Extraction chooses the record width (Auto) from the files,
// so the promises hold at the width the files show: an accepted entry lies wholly inside
// multi.mul, holds whole records after its marker, and its text is exactly those records.
#include "FuzzSupport.h"

#include "common/RunError.h"
#include "formats/MultiExtraction.h"
#include "formats/RecordSize.h"

#include <string>
#include <vector>

namespace mw::fuzz {
namespace {

// The width extraction read at. The index holds this one entry, so a Length that is a whole
// number of records of one width only must give that width; a multiple of 48 leaves it to the
// records, as Auto does.
RecordWidth ChosenWidth(const std::string& idxPath, const std::string& mulPath,
                        const IdxEntry& entry) {
    RecordFile idx(idxPath, RecordFile::Mode::Read);
    RecordFile mul(mulPath, RecordFile::Mode::Read);
    RecordWidthVerdict verdict = DetectRecordWidth(idx, mul);
    Require(verdict.Width.has_value(), "an accepted entry has a width the files show");
    if (entry.Length % 48 != 0)
        Require(*verdict.Width ==
                    (entry.Length % 16 == 0 ? RecordWidth::Sixteen : RecordWidth::Twelve),
                "a Length of whole records of one width only gives that width");
    return *verdict.Width;
}

void CheckExtractedText(const std::string& text, const IdxEntry& entry, RecordWidth width,
                        const std::uint8_t* mul, size_t mulSize) {
    const std::int64_t size = RecordBytes(width);
    Require(entry.Length > size && entry.Length % size == 0,
            "an accepted entry holds whole records after its marker");
    Require(entry.Lookup >= 0 && entry.Lookup % size == 0 &&
                std::int64_t{entry.Lookup} + entry.Length <= static_cast<std::int64_t>(mulSize),
            "an accepted entry lies inside multi.mul");
    std::vector<MulRecord> records;
    for (std::int64_t at = entry.Lookup + size; at < entry.Lookup + entry.Length; at += size)
        records.push_back(DecodeMulRecord(mul + at, width)); // after the marker
    CheckMultiText(text, records);
}

} // namespace
} // namespace mw::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    using namespace mw;
    if (size < IdxEntrySize) return 0;
    const std::uint8_t* mul = data + IdxEntrySize;
    size_t mulSize = size - IdxEntrySize;
    const std::string idxPath = fuzz::InputFile("multi.idx", data, IdxEntrySize);
    const std::string mulPath = fuzz::InputFile("multi.mul", mul, mulSize);
    IdxEntry entry = DecodeIdxEntry(data);
    std::string text;
    try {
        text = MultiAsText(ReadMultiEntry(idxPath, 1), mulPath);
    } catch (const RunError& refused) {
        fuzz::Require(!refused.Description.empty(), "a refusal says why");
        return 0;
    }
    fuzz::CheckExtractedText(text, entry, fuzz::ChosenWidth(idxPath, mulPath, entry), mul, mulSize);
    return 0;
}
