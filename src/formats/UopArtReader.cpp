#include "formats/ArtReader.h"

#include "common/LittleEndian.h"
#include "common/RunError.h"
#include "formats/ArtRecordLimit.h"
#include "formats/PositionedFile.h"
#include "formats/StaticArt.h"
#include "formats/UopHash.h"
#include "formats/UopTables.h"
#include "formats/Zlib.h"

#include <cstdio>

namespace mw {

namespace {

std::string ArtFileName(std::uint32_t entry) {
    char name[40];
    std::snprintf(name, sizeof name, "build/artlegacymul/%08u.tga", entry);
    return name;
}

// Only the header and the tables are read when the package is opened; each record when it is
// asked for.
class UopArtReader : public ArtReader {
public:
    explicit UopArtReader(const std::string& path)
        : file_(path, err::ArtInvalid),
          tables_(ReadUopTables(
              file_.Size(),
              [this](std::uint64_t at, std::uint64_t length) {
                  return file_.Read(at, static_cast<size_t>(length));
              },
              [this](const std::string& why) {
                  return RunError(err::ArtInvalid,
                                  "\"" + file_.Path() + "\" is not a valid art package: " + why);
              })) {}

    std::optional<std::string> StaticArtRecord(std::uint16_t itemId) override {
        const UopEntry* entry =
            tables_.Find(UopNameHash(ArtFileName(StaticArtFirstEntry + itemId)));
        if (!entry || entry->StoredSize == 0) return std::nullopt;
        CheckArtRecordLength(entry->UncompressedSize, file_.Path(), itemId);
        std::string stored = file_.Read(entry->DataOffset + entry->HeaderLength, entry->StoredSize);
        bytesRead_ += stored.size();
        if (entry->Compression == UopStored) return stored;
        std::optional<std::string> record = Inflate(stored, entry->UncompressedSize);
        if (!record)
            throw RunError(err::ArtInvalid, "The art of " + ArtRecordName(file_.Path(), itemId) +
                                                " is damaged: it does not inflate to the " +
                                                std::to_string(entry->UncompressedSize) +
                                                " bytes its entry announces.");
        return record;
    }

    std::uint64_t BytesRead() const override { return bytesRead_; }
    std::string SourcePath() const override { return file_.Path(); }

private:
    PositionedFile file_;
    UopTables tables_;
    std::uint64_t bytesRead_ = 0;
};

} // namespace

std::unique_ptr<ArtReader> OpenUopArt(const std::string& uopPath) {
    return std::make_unique<UopArtReader>(uopPath);
}

} // namespace mw
