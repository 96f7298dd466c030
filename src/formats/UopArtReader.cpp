#include "formats/ArtReader.h"

#include "common/LittleEndian.h"
#include "common/RunError.h"
#include "formats/ArtRecordLimit.h"
#include "formats/PositionedFile.h"
#include "formats/StaticArt.h"
#include "formats/UopHash.h"
#include "formats/UopPackage.h"
#include "formats/Zlib.h"

#include <cstdio>
#include <unordered_map>

namespace mw {

namespace {

// Bounds on the tables of a damaged package, so that neither a long chain of tiny blocks nor a
// table of millions of entries holds the program up; real art packages have about a hundred
// thousand entries, in blocks of a thousand.
constexpr std::uint32_t MostBlocks = 1 << 16;
constexpr std::uint64_t MostEntries = std::uint64_t{1} << 20;
constexpr std::uint64_t ZlibLargestRatio = 1032; // no zlib stream inflates to more per byte

std::string ArtFileName(std::uint32_t entry) {
    char name[40];
    std::snprintf(name, sizeof name, "build/artlegacymul/%08u.tga", entry);
    return name;
}

class UopArtReader : public ArtReader {
public:
    explicit UopArtReader(const std::string& path) : file_(path, err::ArtInvalid) {
        const std::uint64_t size = file_.Size();
        if (size < UopHeaderSize)
            throw Invalid("it has " + std::to_string(size) + " bytes, too few for a header");
        const std::string header = file_.Read(0, UopHeaderSize);
        if (Get32(BytesAt(header, 0)) != UopMagic)
            throw Invalid("it does not start with the package magic MYP");
        std::uint32_t version = Get32(BytesAt(header, 4));
        if (version != 4 && version != UopVersion)
            throw Invalid("its version is " + std::to_string(version) + ", not 4 or 5");
        std::uint32_t fileCount = Get32(BytesAt(header, 24));
        if (std::uint64_t{fileCount} * UopEntrySize > size)
            throw Invalid("its header announces " + std::to_string(fileCount) +
                          " files, more than its size can hold");
        std::uint64_t offset = Get64(BytesAt(header, 12));
        for (std::uint32_t blocks = 0; offset != 0; ++blocks) {
            if (blocks == MostBlocks)
                throw Invalid("its chain of table blocks is longer than " +
                              std::to_string(MostBlocks) + " blocks");
            offset = ReadBlock(offset);
        }
    }

    std::optional<std::string> StaticArtRecord(std::uint16_t itemId) override {
        auto found = entries_.find(UopNameHash(ArtFileName(StaticArtFirstEntry + itemId)));
        if (found == entries_.end() || found->second.StoredSize == 0) return std::nullopt;
        const UopEntry& entry = found->second;
        CheckArtRecordLength(entry.UncompressedSize, file_.Path(), itemId);
        std::string stored = file_.Read(entry.DataOffset + entry.HeaderLength, entry.StoredSize);
        bytesRead_ += stored.size();
        if (entry.Compression == UopStored) return stored;
        std::optional<std::string> record = Inflate(stored, entry.UncompressedSize);
        if (!record)
            throw RunError(err::ArtInvalid, "The art of " + ArtRecordName(file_.Path(), itemId) +
                                                " is damaged: it does not inflate to the " +
                                                std::to_string(entry.UncompressedSize) +
                                                " bytes its entry announces.");
        return record;
    }

    std::uint64_t BytesRead() const override { return bytesRead_; }
    std::string SourcePath() const override { return file_.Path(); }

private:
    RunError Invalid(const std::string& why) const {
        return RunError(err::ArtInvalid,
                        "\"" + file_.Path() + "\" is not a valid art package: " + why);
    }

    // Reads the block's entries and returns the offset of the next block. Blocks follow each
    // other through the file, never back into one read before, so the chain cannot loop.
    std::uint64_t ReadBlock(std::uint64_t offset) {
        const std::uint64_t size = file_.Size();
        if (offset < UopHeaderSize || offset > size || size - offset < UopBlockHeaderSize)
            throw Invalid("its table block at byte " + std::to_string(offset) +
                          " lies past the end of the file");
        const std::string head = file_.Read(offset, UopBlockHeaderSize);
        std::uint32_t count = Get32(BytesAt(head, 0));
        std::uint64_t next = Get64(BytesAt(head, 4));
        const std::uint64_t first = offset + UopBlockHeaderSize;
        if (std::uint64_t{count} * UopEntrySize > size - first)
            throw Invalid("the table block at byte " + std::to_string(offset) + " announces " +
                          std::to_string(count) + " entries, but the file ends first (truncated)");
        if (entries_.size() + std::uint64_t{count} > MostEntries)
            throw Invalid("its tables hold more than " + std::to_string(MostEntries) + " entries");
        const std::uint64_t end = first + std::uint64_t{count} * UopEntrySize;
        if (next != 0 && next < end)
            throw Invalid("the table block at byte " + std::to_string(offset) +
                          " links back to byte " + std::to_string(next));
        const std::string table = file_.Read(first, static_cast<size_t>(end - first));
        static const std::string unused(UopEntrySize, '\0');
        for (std::uint64_t at = 0; at < table.size(); at += UopEntrySize)
            if (table.compare(at, UopEntrySize, unused) != 0) AddEntry(table, at, first + at);
        return next;
    }

    void AddEntry(const std::string& table, std::uint64_t at, std::uint64_t fileAt) {
        const unsigned char* in = BytesAt(table, at);
        UopEntry entry{Get64(in),      Get32(in + 8),  Get32(in + 12), Get32(in + 16),
                       Get64(in + 20), Get32(in + 28), Get16(in + 32)};
        const std::uint64_t size = file_.Size();
        const std::string name = "the table entry at byte " + std::to_string(fileAt);
        if (entry.DataOffset < UopHeaderSize || entry.DataOffset > size ||
            size - entry.DataOffset < std::uint64_t{entry.HeaderLength} + entry.StoredSize)
            throw Invalid(name + " points past the end of the file (byte " +
                          std::to_string(entry.DataOffset) + ", " +
                          std::to_string(std::uint64_t{entry.HeaderLength} + entry.StoredSize) +
                          " bytes, of " + std::to_string(size) + ")");
        if (entry.Compression != UopStored && entry.Compression != UopZlib)
            throw Invalid(name + " has the unknown compression " +
                          std::to_string(entry.Compression));
        if (entry.Compression == UopStored && entry.UncompressedSize != entry.StoredSize)
            throw Invalid(name + " is stored uncompressed, but its two sizes differ");
        if (entry.UncompressedSize > std::uint64_t{entry.StoredSize} * ZlibLargestRatio + 64)
            throw Invalid(name + " announces an absurd size of " +
                          std::to_string(entry.UncompressedSize) + " bytes");
        if (!entries_.emplace(entry.NameHash, entry).second)
            throw Invalid(name + " repeats the name hash of an earlier entry");
    }

    PositionedFile file_;
    std::unordered_map<std::uint64_t, UopEntry> entries_;
    std::uint64_t bytesRead_ = 0;
};

} // namespace

std::unique_ptr<ArtReader> OpenUopArt(const std::string& uopPath) {
    return std::make_unique<UopArtReader>(uopPath);
}

} // namespace mw
