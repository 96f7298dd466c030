#include "formats/UopPackage.h"

#include "common/Files.h"
#include "common/LittleEndian.h"
#include "formats/Zlib.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

namespace mw {

namespace {

constexpr std::uint64_t LargestPackage = std::uint64_t{1} << 30;
constexpr std::uint64_t LargestContents = std::uint64_t{1} << 28;
constexpr std::uint64_t ZlibLargestRatio = 1032; // no zlib stream inflates to more per byte

std::string Hex(std::uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

std::string EntryName(std::uint64_t at) {
    return "the table entry at byte " + std::to_string(at);
}

UopEntry DecodeEntry(const unsigned char* in) {
    return {Get64(in),      Get32(in + 8),  Get32(in + 12), Get32(in + 16),
            Get64(in + 20), Get32(in + 28), Get16(in + 32)};
}

void AppendEntry(std::string& out, const UopEntry& entry) {
    Append64(out, entry.DataOffset);
    Append32(out, entry.HeaderLength);
    Append32(out, entry.StoredSize);
    Append32(out, entry.UncompressedSize);
    Append64(out, entry.NameHash);
    Append32(out, entry.Checksum);
    Append16(out, entry.Compression);
}

// A table block with files[first] to files[first + count - 1], followed by their bytes.
void AppendBlock(std::string& out, const std::vector<UopFile>& files, size_t first, size_t count,
                 bool last) {
    const std::uint64_t table = out.size();
    std::uint64_t data = table + UopBlockHeaderSize + count * UopEntrySize;
    std::uint64_t next = last ? 0 : data;
    for (size_t i = first; i < first + count; ++i)
        next += last ? 0 : files[i].Header.size() + files[i].Stored.size();
    Append32(out, static_cast<std::uint32_t>(count));
    Append64(out, next);
    for (size_t i = first; i < first + count; ++i) {
        const UopFile& file = files[i];
        AppendEntry(out, {data, static_cast<std::uint32_t>(file.Header.size()),
                          static_cast<std::uint32_t>(file.Stored.size()), file.UncompressedSize,
                          file.NameHash, file.Checksum, file.Compression});
        data += file.Header.size() + file.Stored.size();
    }
    for (size_t i = first; i < first + count; ++i)
        out.append(files[i].Header).append(files[i].Stored);
}

std::uint64_t FileSize(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) ThrowFileError(errno, path, "open");
    return static_cast<std::uint64_t>(info.st_size);
}

} // namespace

UopPackage UopPackage::Read(const std::string& path) {
    if (path.empty()) throw RunError(err::FileNotFound, "File not found: no path is set");
    if (FileSize(path) > LargestPackage)
        throw RunError(err::PackageInvalid, "\"" + path +
                                                "\" is larger than 1 GiB: not a "
                                                "package of the game's multis");
    return UopPackage(ReadWholeFile(path), path);
}

UopPackage::UopPackage(std::string bytes, std::string path)
    : bytes_(std::move(bytes)), path_(std::move(path)) {
    ReadHeader();
}

RunError UopPackage::Invalid(const std::string& why) const {
    return RunError(err::PackageInvalid,
                    "\"" + path_ + "\" is not a valid MultiCollection.uop package: " + why);
}

void UopPackage::ReadHeader() {
    if (bytes_.size() < UopHeaderSize)
        throw Invalid("it has " + std::to_string(bytes_.size()) + " bytes, too few for a header");
    if (Get32(BytesAt(bytes_, 0)) != UopMagic)
        throw Invalid("it does not start with the package magic MYP");
    version_ = Get32(BytesAt(bytes_, 4));
    if (version_ != 4 && version_ != UopVersion)
        throw Invalid("its version is " + std::to_string(version_) + ", not 4 or 5");
    signature_ = Get32(BytesAt(bytes_, 8));
    std::uint64_t firstTable = Get64(BytesAt(bytes_, 12));
    std::uint64_t preambleEnd = std::min({firstTable, UopFirstTable, std::uint64_t{bytes_.size()}});
    if (preambleEnd > UopHeaderSize)
        preamble_ = bytes_.substr(UopHeaderSize, preambleEnd - UopHeaderSize);
    ReadTables(firstTable, Get32(BytesAt(bytes_, 24)));
}

void UopPackage::ReadTables(std::uint64_t firstTable, std::uint32_t fileCount) {
    if (std::uint64_t{fileCount} * UopEntrySize > bytes_.size())
        throw Invalid("its header announces " + std::to_string(fileCount) +
                      " files, more than its size can hold");
    for (std::uint64_t offset = firstTable; offset != 0;) {
        std::uint64_t next = ReadBlock(offset);
        if (next != 0 && next <= offset)
            throw Invalid("the table block at byte " + std::to_string(offset) +
                          " links back to byte " + std::to_string(next));
        offset = next;
    }
}

// Reads the block's entries and returns the offset of the next block.
std::uint64_t UopPackage::ReadBlock(std::uint64_t offset) {
    const std::uint64_t size = bytes_.size();
    if (offset < UopHeaderSize || offset > size || size - offset < UopBlockHeaderSize)
        throw Invalid("its table block at byte " + std::to_string(offset) +
                      " lies past the end of the file");
    std::uint32_t count = Get32(BytesAt(bytes_, offset));
    std::uint64_t next = Get64(BytesAt(bytes_, offset + 4));
    std::uint64_t first = offset + UopBlockHeaderSize;
    if (std::uint64_t{count} * UopEntrySize > size - first)
        throw Invalid("the table block at byte " + std::to_string(offset) + " announces " +
                      std::to_string(count) + " entries, but the file ends first (truncated)");
    static const std::string unused(UopEntrySize, '\0');
    for (std::uint64_t at = first; at < first + count * UopEntrySize; at += UopEntrySize)
        if (bytes_.compare(at, UopEntrySize, unused) != 0)
            AddEntry(DecodeEntry(BytesAt(bytes_, at)), at);
    return next;
}

void UopPackage::AddEntry(const UopEntry& entry, std::uint64_t at) {
    const std::uint64_t size = bytes_.size();
    if (entry.DataOffset < UopHeaderSize || entry.DataOffset > size ||
        size - entry.DataOffset < std::uint64_t{entry.HeaderLength} + entry.StoredSize)
        throw Invalid(EntryName(at) + " points past the end of the file (byte " +
                      std::to_string(entry.DataOffset) + ", " +
                      std::to_string(std::uint64_t{entry.HeaderLength} + entry.StoredSize) +
                      " bytes, of " + std::to_string(size) + ")");
    if (entry.Compression != UopStored && entry.Compression != UopZlib)
        throw Invalid(EntryName(at) + " has the unknown compression " +
                      std::to_string(entry.Compression));
    if (entry.Compression == UopStored && entry.UncompressedSize != entry.StoredSize)
        throw Invalid(EntryName(at) + " is stored uncompressed, but its two sizes differ");
    if (entry.UncompressedSize > LargestContents ||
        entry.UncompressedSize > entry.StoredSize * ZlibLargestRatio + 64)
        throw Invalid(EntryName(at) + " announces an absurd size of " +
                      std::to_string(entry.UncompressedSize) + " bytes");
    if (!byHash_.emplace(entry.NameHash, entries_.size()).second)
        throw Invalid(EntryName(at) + " repeats the name hash " + Hex(entry.NameHash));
    entries_.push_back(entry);
}

const UopEntry* UopPackage::Find(std::uint64_t nameHash) const {
    auto found = byHash_.find(nameHash);
    return found == byHash_.end() ? nullptr : &entries_[found->second];
}

std::string_view UopPackage::Header(const UopEntry& entry) const {
    return std::string_view(bytes_).substr(entry.DataOffset, entry.HeaderLength);
}

std::string_view UopPackage::Stored(const UopEntry& entry) const {
    return std::string_view(bytes_).substr(entry.DataOffset + entry.HeaderLength, entry.StoredSize);
}

std::string UopPackage::Contents(const UopEntry& entry, const std::string& name) const {
    if (entry.Compression == UopStored) return std::string(Stored(entry));
    std::optional<std::string> contents = Inflate(Stored(entry), entry.UncompressedSize);
    if (!contents)
        throw Invalid(name + " does not inflate to the " + std::to_string(entry.UncompressedSize) +
                      " bytes its entry announces");
    return std::move(*contents);
}

UopFile CarriedOver(const UopPackage& package, const UopEntry& entry) {
    return {entry.NameHash, entry.Compression,     entry.UncompressedSize,
            entry.Checksum, package.Header(entry), package.Stored(entry)};
}

UopFile CompressedFile(std::uint64_t nameHash, std::string_view contents, std::string& storage) {
    storage = Deflate(contents);
    return {nameHash,         UopZlib, static_cast<std::uint32_t>(contents.size()),
            Adler32(storage), {},      storage};
}

std::string WriteUopPackage(const UopLayout& layout, const std::vector<UopFile>& files) {
    std::string out;
    Append32(out, UopMagic);
    Append32(out, layout.Version);
    Append32(out, layout.Signature);
    Append64(out, UopFirstTable);
    Append32(out, layout.EntriesPerBlock);
    Append32(out, static_cast<std::uint32_t>(files.size()));
    out.append(layout.Preamble.substr(0, UopFirstTable - UopHeaderSize));
    out.resize(UopFirstTable, '\0');
    const size_t perBlock = std::max<size_t>(layout.EntriesPerBlock, 1);
    size_t first = 0;
    do { // an empty package still has its one (empty) table block
        size_t count = std::min(perBlock, files.size() - first);
        AppendBlock(out, files, first, count, first + count == files.size());
        first += count;
    } while (first < files.size());
    return out;
}

} // namespace mw
