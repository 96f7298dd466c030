#include "formats/UopPackage.h"

#include "common/Files.h"
#include "common/LittleEndian.h"
#include "common/Platform.h"
#include "formats/UopTables.h"
#include "formats/Zlib.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace mw {

namespace {

constexpr std::uint64_t LargestPackage = std::uint64_t{1} << 30;

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
    platform::FileInfo info;
    if (platform::StatPath(path, info) != 0) ThrowFileError(errno, path, "open");
    return info.Size;
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
    UopTables tables = ReadUopTables(
        bytes_.size(),
        [this](std::uint64_t at, std::uint64_t length) { return bytes_.substr(at, length); },
        [this](const std::string& why) { return Invalid(why); });
    version_ = tables.Version;
    signature_ = tables.Signature;
    std::uint64_t preambleEnd =
        std::min({tables.FirstTable, UopFirstTable, std::uint64_t{bytes_.size()}});
    if (preambleEnd > UopHeaderSize)
        preamble_ = bytes_.substr(UopHeaderSize, preambleEnd - UopHeaderSize);
    entries_ = std::move(tables.Entries);
    byHash_ = std::move(tables.ByHash);
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
