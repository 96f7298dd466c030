// Multi extraction on any index entry and any multi.mul: the first 12 bytes of the input are
// the entry, the rest is multi.mul. An accepted entry must lie wholly inside multi.mul, and its
// text must read back as exactly the records that follow its marker.
#include "FuzzSupport.h"

#include "common/RunError.h"
#include "formats/MultiExtraction.h"
#include "formats/TemplateText.h"

#include <string>

namespace mw::fuzz {
namespace {

void CheckExtractedText(const std::string& text, const IdxEntry& entry, const std::uint8_t* mul,
                        size_t mulSize) {
    Require(entry.Length > MulRecordSize && entry.Length % MulRecordSize == 0,
            "an accepted entry holds whole records after its marker");
    Require(entry.Lookup >= 0 && entry.Lookup % MulRecordSize == 0 &&
                std::int64_t{entry.Lookup} + entry.Length <= static_cast<std::int64_t>(mulSize),
            "an accepted entry lies inside multi.mul");
    ComponentBuffer buffer;
    bool ok = ReadComponentList(
        buffer, ComponentsList(),
        InputFile("template.tmp", reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    Require(ok, "the extracted text reads back");
    Require(buffer.ComponentCount == entry.Length / MulRecordSize - 1, "every record is read");
    for (std::int32_t i = 0; i < buffer.ComponentCount; ++i) {
        MulRecord record = DecodeMulRecord(mul + entry.Lookup + (i + 1) * MulRecordSize);
        auto c = static_cast<size_t>(i);
        Require(buffer.ItemID[c] == std::to_string(record.ItemID) &&
                    buffer.X[c] == std::to_string(record.X) &&
                    buffer.Y[c] == std::to_string(record.Y) &&
                    buffer.Z[c] == std::to_string(record.Z),
                "each component line is the record at its place");
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
    fuzz::CheckExtractedText(text, entry, mul, mulSize);
    return 0;
}
