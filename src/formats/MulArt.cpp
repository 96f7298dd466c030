#include "formats/ArtReader.h"

#include "common/LittleEndian.h"
#include "common/RunError.h"
#include "formats/ArtRecordLimit.h"
#include "formats/PositionedFile.h"
#include "formats/StaticArt.h"

#include <vector>

namespace mw {

namespace {

constexpr std::uint64_t LargestIndex = std::uint64_t{64} << 20; // real ones are a few hundred KB
constexpr size_t IndexEntrySize = 12;

struct MulEntry {
    std::uint32_t Offset = 0;
    std::int32_t Length = 0;
    bool InUse() const { return Offset != 0xFFFFFFFFu && Length > 0; }
};

class MulArtReader : public ArtReader {
public:
    MulArtReader(const std::string& idxPath, const std::string& mulPath)
        : mul_(mulPath, err::ArtInvalid) {
        PositionedFile idx(idxPath, err::ArtInvalid);
        if (idx.Size() > LargestIndex || idx.Size() % IndexEntrySize != 0)
            throw RunError(err::ArtInvalid, "\"" + idxPath + "\" is not an art index: its " +
                                                std::to_string(idx.Size()) + " bytes are " +
                                                (idx.Size() > LargestIndex
                                                     ? "more than any art index has"
                                                     : "not a whole number of 12-byte entries"));
        const std::string bytes = idx.Read(0, static_cast<size_t>(idx.Size()));
        entries_.resize(bytes.size() / IndexEntrySize);
        for (size_t i = 0; i < entries_.size(); ++i) {
            const unsigned char* in = BytesAt(bytes, i * IndexEntrySize);
            MulEntry entry{Get32(in), static_cast<std::int32_t>(Get32(in + 4))};
            if (entry.InUse() &&
                std::uint64_t{entry.Offset} + std::uint64_t(entry.Length) > mul_.Size())
                throw RunError(err::ArtInvalid, "\"" + idxPath + "\" is damaged: entry " +
                                                    std::to_string(i) + " lies outside \"" +
                                                    mulPath + "\" (byte " +
                                                    std::to_string(entry.Offset) + ", " +
                                                    std::to_string(entry.Length) + " bytes, of " +
                                                    std::to_string(mul_.Size()) + ")");
            entries_[i] = entry;
        }
    }

    std::optional<std::string> StaticArtRecord(std::uint16_t itemId) override {
        const size_t at = StaticArtFirstEntry + size_t{itemId};
        if (at >= entries_.size() || !entries_[at].InUse()) return std::nullopt;
        const MulEntry& entry = entries_[at];
        CheckArtRecordLength(entry.Length, mul_.Path(), itemId);
        std::string record = mul_.Read(entry.Offset, static_cast<size_t>(entry.Length));
        bytesRead_ += record.size();
        return record;
    }

    std::uint64_t BytesRead() const override { return bytesRead_; }
    std::string SourcePath() const override { return mul_.Path(); }

private:
    PositionedFile mul_;
    std::vector<MulEntry> entries_;
    std::uint64_t bytesRead_ = 0;
};

} // namespace

std::unique_ptr<ArtReader> OpenMulArt(const std::string& idxPath, const std::string& mulPath) {
    return std::make_unique<MulArtReader>(idxPath, mulPath);
}

} // namespace mw
