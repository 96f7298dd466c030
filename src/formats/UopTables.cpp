#include "formats/UopTables.h"

#include "common/LittleEndian.h"

#include <cstdio>

namespace mw {

namespace {

// Bounds on the tables of a damaged package, so that neither a long chain of tiny blocks nor a
// table of millions of entries holds the program up; real packages have at most a few hundred
// thousand entries, in blocks of a thousand.
constexpr std::uint32_t MostBlocks = 1 << 16;
constexpr std::uint64_t MostEntries = std::uint64_t{1} << 20;
constexpr std::uint64_t LargestContents = std::uint64_t{1} << 28;
constexpr std::uint64_t ZlibLargestRatio = 1032; // no zlib stream inflates to more per byte

std::string Hex(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

class TableReader {
public:
    TableReader(std::uint64_t size, const UopReadAt& readAt, const UopInvalid& invalid)
        : size_(size), readAt_(readAt), invalid_(invalid) {}

    UopTables Read() {
        if (size_ < UopHeaderSize)
            throw invalid_("it has " + std::to_string(size_) + " bytes, too few for a header");
        const std::string header = readAt_(0, UopHeaderSize);
        if (Get32(BytesAt(header, 0)) != UopMagic)
            throw invalid_("it does not start with the package magic MYP");
        tables_.Version = Get32(BytesAt(header, 4));
        if (tables_.Version != 4 && tables_.Version != UopVersion)
            throw invalid_("its version is " + std::to_string(tables_.Version) + ", not 4 or 5");
        tables_.Signature = Get32(BytesAt(header, 8));
        tables_.FirstTable = Get64(BytesAt(header, 12));
        std::uint32_t fileCount = Get32(BytesAt(header, 24));
        if (std::uint64_t{fileCount} * UopEntrySize > size_)
            throw invalid_("its header announces " + std::to_string(fileCount) +
                           " files, more than its size can hold");
        std::uint64_t offset = tables_.FirstTable;
        for (std::uint32_t blocks = 0; offset != 0; ++blocks) {
            if (blocks == MostBlocks)
                throw invalid_("its chain of table blocks is longer than " +
                               std::to_string(MostBlocks) + " blocks");
            offset = ReadBlock(offset);
        }
        return std::move(tables_);
    }

private:
    // Reads the block's entries and returns the offset of the next block, which must lie after
    // this one's entries.
    std::uint64_t ReadBlock(std::uint64_t offset) {
        if (offset < UopHeaderSize || offset > size_ || size_ - offset < UopBlockHeaderSize)
            throw invalid_("its table block at byte " + std::to_string(offset) +
                           " lies past the end of the file");
        const std::string head = readAt_(offset, UopBlockHeaderSize);
        std::uint32_t count = Get32(BytesAt(head, 0));
        std::uint64_t next = Get64(BytesAt(head, 4));
        const std::uint64_t first = offset + UopBlockHeaderSize;
        if (std::uint64_t{count} * UopEntrySize > size_ - first)
            throw invalid_("the table block at byte " + std::to_string(offset) + " announces " +
                           std::to_string(count) + " entries, but the file ends first (truncated)");
        if (tables_.Entries.size() + std::uint64_t{count} > MostEntries)
            throw invalid_("its tables hold more than " + std::to_string(MostEntries) + " entries");
        const std::uint64_t end = first + std::uint64_t{count} * UopEntrySize;
        if (next != 0 && next < end)
            throw invalid_("the table block at byte " + std::to_string(offset) +
                           " links back to byte " + std::to_string(next));
        const std::string table = readAt_(first, end - first);
        static const std::string unused(UopEntrySize, '\0');
        for (std::uint64_t at = 0; at < table.size(); at += UopEntrySize)
            if (table.compare(at, UopEntrySize, unused) != 0)
                AddEntry(BytesAt(table, at), first + at);
        return next;
    }

    void AddEntry(const unsigned char* in, std::uint64_t fileAt) {
        UopEntry entry{Get64(in),      Get32(in + 8),  Get32(in + 12), Get32(in + 16),
                       Get64(in + 20), Get32(in + 28), Get16(in + 32)};
        const std::string name = "the table entry at byte " + std::to_string(fileAt);
        const std::uint64_t length = std::uint64_t{entry.HeaderLength} + entry.StoredSize;
        if (entry.DataOffset < UopHeaderSize || entry.DataOffset > size_ ||
            size_ - entry.DataOffset < length)
            throw invalid_(name + " points past the end of the file (byte " +
                           std::to_string(entry.DataOffset) + ", " + std::to_string(length) +
                           " bytes, of " + std::to_string(size_) + ")");
        if (entry.Compression != UopStored && entry.Compression != UopZlib)
            throw invalid_(name + " has the unknown compression " +
                           std::to_string(entry.Compression));
        if (entry.Compression == UopStored && entry.UncompressedSize != entry.StoredSize)
            throw invalid_(name + " is stored uncompressed, but its two sizes differ");
        if (entry.UncompressedSize > LargestContents ||
            entry.UncompressedSize > std::uint64_t{entry.StoredSize} * ZlibLargestRatio + 64)
            throw invalid_(name + " announces an absurd size of " +
                           std::to_string(entry.UncompressedSize) + " bytes");
        if (!tables_.ByHash.emplace(entry.NameHash, tables_.Entries.size()).second)
            throw invalid_(name + " repeats the name hash " + Hex(entry.NameHash));
        tables_.Entries.push_back(entry);
    }

    std::uint64_t size_;
    const UopReadAt& readAt_;
    const UopInvalid& invalid_;
    UopTables tables_;
};

} // namespace

UopTables ReadUopTables(std::uint64_t fileSize, const UopReadAt& readAt,
                        const UopInvalid& invalid) {
    return TableReader(fileSize, readAt, invalid).Read();
}

} // namespace mw
