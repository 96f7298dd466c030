#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace mw {

class RunError;

// The game's multi files, little-endian records without a header, addressed by 1-based record
// number: record r lies at byte size * (r - 1).
//
// multi.idx, one IdxEntry per multi id (multi n is record n + 1):
//   0  i32 Lookup   byte offset of the multi's first record in multi.mul
//   4  i32 Length   byte length of its records; -1 marks a free entry
//   8  i32 Extra    not read; written as -1
//
// multi.mul, MulRecords of 12 bytes (classic clients) or 16 bytes (clients from 7.0.9.0 on):
//   0  u16 ItemID   game item (graphic) id
//   2  i16 X
//   4  i16 Y
//   6  i16 Z
//   8  i32 Flag     1 an ordinary component, 0 one the server places separately (a door);
//                   in 16-byte records the flag is i64, bytes 8 to 15
//
// Every multi we write starts with the marker record 1, 0, 0, 0, 0; readers skip it.

constexpr std::int64_t IdxEntrySize = 12;
constexpr std::int64_t MulRecordSize = 12; // the classic width
constexpr std::int64_t WideMulRecordSize = 16;

enum class RecordWidth { Twelve = 12, Sixteen = 16 };

constexpr std::int64_t RecordBytes(RecordWidth width) {
    return static_cast<std::int64_t>(width);
}
constexpr std::int32_t FreeEntryLength = -1;
constexpr std::int32_t FirstMultiItemId = 0x4000; // the item id of multi 0
// The highest multi id whose item id, 0x4000 + id, fits 16 bits; no file of ours holds more.
constexpr std::uint32_t HighestMultiId = 0xBFFF;

// The game item id of the multi in multi.idx entry PatchSlot (multi PatchSlot - 1):
// 16383 + PatchSlot.
constexpr std::int32_t MultiItemId(std::int32_t PatchSlot) {
    return FirstMultiItemId - 1 + PatchSlot;
}

struct IdxEntry {
    std::int32_t Lookup = 0;
    std::int32_t Length = 0;
    std::int32_t Extra = 0;
    bool operator==(const IdxEntry&) const = default;
};

struct MulRecord {
    std::uint16_t ItemID = 0;
    std::int16_t X = 0, Y = 0, Z = 0;
    std::int64_t Flag = 0; // 12-byte records hold its low 32 bits
    bool operator==(const MulRecord&) const = default;
};

constexpr MulRecord MarkerRecord{1, 0, 0, 0, 0};

void EncodeIdxEntry(const IdxEntry& entry, unsigned char out[IdxEntrySize]);
IdxEntry DecodeIdxEntry(const unsigned char in[IdxEntrySize]);
// out and in hold RecordBytes(width) bytes.
void EncodeMulRecord(const MulRecord& record, unsigned char* out,
                     RecordWidth width = RecordWidth::Twelve);
MulRecord DecodeMulRecord(const unsigned char* in, RecordWidth width = RecordWidth::Twelve);

// One of the two files, opened for record access. It is never created: a missing file is an
// error, so that reading or a failed check never leaves an empty file in the game folder. A
// folder, a FIFO or a device is refused, and so is, for writing, a file without its owner's
// write permission, root's patches too.
class RecordFile {
public:
    enum class Mode { Read, ReadWrite };
    RecordFile(const std::string& path, Mode mode); // throws RunError naming the path
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    const std::string& Path() const { return path_; }
    std::int64_t Size() const; // in bytes
    // Number of whole records of the given size.
    std::int64_t RecordCount(std::int64_t recordSize) const { return Size() / recordSize; }

    // Reads record r (from 1); false when it does not lie wholly inside the file.
    bool ReadRecord(std::int64_t r, std::int64_t recordSize, unsigned char* out) const;
    IdxEntry ReadIdxEntry(std::int64_t r) const; // throws when past the end
    // Reads bytes at an offset; throws when they do not lie wholly inside the file.
    void ReadAt(std::int64_t offset, std::int64_t length, unsigned char* out) const;

    void WriteAt(std::int64_t offset, const void* data, std::int64_t length);
    void WriteIdxEntry(std::int64_t r, const IdxEntry& entry);
    // Writes the records one after another from record r on, in a single write.
    void WriteMulRecords(std::int64_t r, const std::vector<MulRecord>& records,
                         RecordWidth width = RecordWidth::Twelve);
    void Truncate(std::int64_t size); // cuts the file to size bytes
    void Flush();                     // to the disk, not just to the system

private:
    [[noreturn]] void Refuse(const RunError& why); // closes the file, then throws

    std::string path_;
    int fd_ = -1;
};

// Calls visit(r, entry) for every entry of multi.idx in order, r counted from 1, reading the
// index in large blocks.
void ForEachIdxEntry(const RecordFile& multiIdx,
                     const std::function<void(std::int64_t r, const IdxEntry& entry)>& visit);

// Every record that an index entry covers, the first (the marker of the multis we write)
// included, decoded at the given width. Refuses, naming the file, an entry that is free, whose
// Length is not a whole number of records, or that does not lie wholly inside the file.
std::vector<MulRecord> ReadMultiRecords(const RecordFile& multiMul, const IdxEntry& entry,
                                        RecordWidth width);

} // namespace mw
