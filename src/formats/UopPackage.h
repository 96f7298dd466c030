#pragma once

#include "common/RunError.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace mw {

// A package of the newer game clients (MultiCollection.uop and its kin), little-endian:
//
// header at byte 0:
//   0  u32 magic 0x0050594D ("MYP" and a zero byte)
//   4  u32 version (5)
//   8  u32 signature 0xFD23EC43
//  12  u64 offset of the first table block (0x200 in the files we write)
//  20  u32 entries per block (1000 in the files we write)
//  24  u32 number of files
// table block: u32 number of entries in it, u64 offset of the next block (0 for the last), then
// that many 34-byte entries:
//   0  u64 offset of the file's data      20  u64 name hash (see UopNameHash)
//   8  u32 header length (bytes before     28  u32 Adler-32 of the stored bytes
//          the data at that offset)        32  u16 compression: 0 none, 1 zlib
//  12  u32 stored size
//  16  u32 uncompressed size
// An entry of 34 zero bytes is an unused slot.

constexpr std::uint32_t UopMagic = 0x0050594D;
constexpr std::uint32_t UopVersion = 5;
constexpr std::uint32_t UopSignature = 0xFD23EC43;
constexpr std::uint64_t UopFirstTable = 0x200;
constexpr std::uint32_t UopEntriesPerBlock = 1000;
constexpr std::uint64_t UopHeaderSize = 28;
constexpr std::uint64_t UopBlockHeaderSize = 12;
constexpr std::uint64_t UopEntrySize = 34;
constexpr std::uint16_t UopStored = 0, UopZlib = 1;

struct UopEntry {
    std::uint64_t DataOffset = 0;
    std::uint32_t HeaderLength = 0;
    std::uint32_t StoredSize = 0;
    std::uint32_t UncompressedSize = 0;
    std::uint64_t NameHash = 0;
    std::uint32_t Checksum = 0;
    std::uint16_t Compression = 0;
    bool operator==(const UopEntry&) const = default;
};

// A whole package in memory, checked when it is read: its header, every table block and every
// entry's place, sizes and compression, so that nothing later reads past its end. Every refusal
// is a RunError err::PackageInvalid that names the file and says what is wrong.
class UopPackage {
public:
    static UopPackage Read(const std::string& path); // also refuses a package above 1 GiB
    UopPackage(std::string bytes, std::string path);

    const std::string& Path() const { return path_; }
    std::uint32_t Version() const { return version_; }
    std::uint32_t Signature() const { return signature_; }
    // The bytes between the header and the first table, up to 0x200: kept when rewriting.
    std::string_view Preamble() const { return preamble_; }
    const std::vector<UopEntry>& Entries() const { return entries_; } // in table order

    const UopEntry* Find(std::uint64_t nameHash) const;
    std::string_view Header(const UopEntry& entry) const;
    std::string_view Stored(const UopEntry& entry) const;
    // The file's data, inflated when it is compressed; refused when it does not inflate to the
    // size its entry gives. name says which file it is in the message.
    std::string Contents(const UopEntry& entry, const std::string& name) const;

    RunError Invalid(const std::string& why) const;

private:
    void ReadHeader();

    std::string bytes_, path_;
    std::uint32_t version_ = 0, signature_ = 0;
    std::string preamble_;
    std::vector<UopEntry> entries_;
    std::unordered_map<std::uint64_t, size_t> byHash_;
};

// One file of a package to be written: its entry's fields and its bytes. The bytes are views:
// whoever builds the list keeps them alive until the package is written.
struct UopFile {
    std::uint64_t NameHash = 0;
    std::uint16_t Compression = UopStored;
    std::uint32_t UncompressedSize = 0;
    std::uint32_t Checksum = 0;
    std::string_view Header; // carried over as it is
    std::string_view Stored;
};

// An existing file, to be carried over byte for byte.
UopFile CarriedOver(const UopPackage& package, const UopEntry& entry);

// A new file whose contents are deflated into storage.
UopFile CompressedFile(std::uint64_t nameHash, std::string_view contents, std::string& storage);

// What a package keeps of the one it replaces besides its files.
struct UopLayout {
    std::uint32_t Version = UopVersion;
    std::uint32_t Signature = UopSignature;
    std::string_view Preamble;
    std::uint32_t EntriesPerBlock = UopEntriesPerBlock;
};

// The bytes of a package: the header, the preamble padded to the first table at 0x200, then each
// table block followed by the data of its files, in the order given.
std::string WriteUopPackage(const UopLayout& layout, const std::vector<UopFile>& files);

} // namespace mw
