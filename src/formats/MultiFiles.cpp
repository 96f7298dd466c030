#include "formats/MultiFiles.h"

#include "common/Files.h"
#include "common/LittleEndian.h"
#include "common/Platform.h"
#include "common/RunError.h"

#include <algorithm>
#include <cerrno>

namespace mw {

namespace {

RunError PastEnd(const std::string& path, std::int64_t offset, std::int64_t length) {
    return RunError(err::InputPastEndOfFile, "Input past end of file: \"" + path + "\" has no " +
                                                 std::to_string(length) + " bytes at offset " +
                                                 std::to_string(offset));
}

} // namespace

void EncodeIdxEntry(const IdxEntry& entry, unsigned char out[IdxEntrySize]) {
    Put32(out, static_cast<std::uint32_t>(entry.Lookup));
    Put32(out + 4, static_cast<std::uint32_t>(entry.Length));
    Put32(out + 8, static_cast<std::uint32_t>(entry.Extra));
}

IdxEntry DecodeIdxEntry(const unsigned char in[IdxEntrySize]) {
    return {static_cast<std::int32_t>(Get32(in)), static_cast<std::int32_t>(Get32(in + 4)),
            static_cast<std::int32_t>(Get32(in + 8))};
}

void EncodeMulRecord(const MulRecord& record, unsigned char* out, RecordWidth width) {
    Put16(out, record.ItemID);
    Put16(out + 2, static_cast<std::uint16_t>(record.X));
    Put16(out + 4, static_cast<std::uint16_t>(record.Y));
    Put16(out + 6, static_cast<std::uint16_t>(record.Z));
    if (width == RecordWidth::Sixteen)
        Put64(out + 8, static_cast<std::uint64_t>(record.Flag));
    else
        Put32(out + 8, static_cast<std::uint32_t>(record.Flag));
}

MulRecord DecodeMulRecord(const unsigned char* in, RecordWidth width) {
    MulRecord record{Get16(in), static_cast<std::int16_t>(Get16(in + 2)),
                     static_cast<std::int16_t>(Get16(in + 4)),
                     static_cast<std::int16_t>(Get16(in + 6)),
                     static_cast<std::int32_t>(Get32(in + 8))};
    if (width == RecordWidth::Sixteen) record.Flag = static_cast<std::int64_t>(Get64(in + 8));
    return record;
}

RecordFile::RecordFile(const std::string& path, Mode mode) : path_(path) {
    if (path.empty()) throw RunError(err::FileNotFound, "File not found: no path is set");
    // Never created; a FIFO is refused below instead of waiting for a writer.
    fd_ = platform::OpenRegularFile(path, mode == Mode::Read ? platform::Access::Read
                                                             : platform::Access::ReadWrite);
    if (fd_ < 0) ThrowFileError(errno, path, mode == Mode::Read ? "open" : "open for writing");
    platform::FileInfo info;
    if (platform::StatOpenFile(fd_, info) != 0) Refuse(FileError(errno, path, "open"));
    if (info.Kind == platform::FileKind::Directory) Refuse(FileError(EISDIR, path, "open"));
    if (info.Kind != platform::FileKind::Regular)
        Refuse(RunError(err::BadFileNameOrNumber, "Bad file name: \"" + path +
                                                      "\" is not a regular file (a FIFO, a "
                                                      "device or a socket)"));
    // The system would let root write it; the owner marked it as not to be changed.
    if (mode == Mode::ReadWrite && !info.Writable) Refuse(ReadOnlyError(path));
}

void RecordFile::Refuse(const RunError& why) {
    platform::CloseFile(fd_);
    fd_ = -1;
    throw why;
}

RecordFile::~RecordFile() {
    if (fd_ >= 0) platform::CloseFile(fd_);
}

std::int64_t RecordFile::Size() const {
    platform::FileInfo info;
    if (platform::StatOpenFile(fd_, info) != 0) ThrowFileError(errno, path_, "read");
    return static_cast<std::int64_t>(info.Size);
}

void RecordFile::ReadAt(std::int64_t offset, std::int64_t length, unsigned char* out) const {
    if (offset < 0 || length < 0 || offset > Size() - length) throw PastEnd(path_, offset, length);
    std::int64_t done = 0;
    while (done < length) {
        long long n = platform::ReadAt(fd_, out + done, static_cast<size_t>(length - done),
                                       static_cast<std::uint64_t>(offset + done));
        if (n < 0) ThrowFileError(errno, path_, "read");
        if (n == 0) throw PastEnd(path_, offset, length);
        done += n;
    }
}

bool RecordFile::ReadRecord(std::int64_t r, std::int64_t recordSize, unsigned char* out) const {
    if (r < 1 || r > RecordCount(recordSize)) return false;
    ReadAt((r - 1) * recordSize, recordSize, out);
    return true;
}

IdxEntry RecordFile::ReadIdxEntry(std::int64_t r) const {
    unsigned char bytes[IdxEntrySize];
    if (!ReadRecord(r, IdxEntrySize, bytes))
        throw PastEnd(path_, (r - 1) * IdxEntrySize, IdxEntrySize);
    return DecodeIdxEntry(bytes);
}

void RecordFile::WriteAt(std::int64_t offset, const void* data, std::int64_t length) {
    auto* bytes = static_cast<const unsigned char*>(data);
    std::int64_t done = 0;
    while (done < length) {
        long long n = platform::WriteAt(fd_, bytes + done, static_cast<size_t>(length - done),
                                        static_cast<std::uint64_t>(offset + done));
        if (n <= 0) ThrowFileError(n < 0 ? errno : ENOSPC, path_, "write");
        done += n;
    }
}

void RecordFile::WriteIdxEntry(std::int64_t r, const IdxEntry& entry) {
    unsigned char bytes[IdxEntrySize];
    EncodeIdxEntry(entry, bytes);
    WriteAt((r - 1) * IdxEntrySize, bytes, IdxEntrySize);
}

void RecordFile::WriteMulRecords(std::int64_t r, const std::vector<MulRecord>& records,
                                 RecordWidth width) {
    const auto size = static_cast<size_t>(RecordBytes(width));
    std::vector<unsigned char> bytes(records.size() * size);
    for (size_t i = 0; i < records.size(); ++i)
        EncodeMulRecord(records[i], bytes.data() + i * size, width);
    WriteAt((r - 1) * RecordBytes(width), bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

void RecordFile::Truncate(std::int64_t size) {
    if (platform::TruncateFile(fd_, static_cast<std::uint64_t>(size)) != 0)
        ThrowFileError(errno, path_, "write");
}

void RecordFile::Flush() {
    if (platform::FlushFile(fd_) != 0) ThrowFileError(errno, path_, "write");
}

void ForEachIdxEntry(const RecordFile& multiIdx,
                     const std::function<void(std::int64_t r, const IdxEntry& entry)>& visit) {
    constexpr std::int64_t EntriesPerRead = 4096;
    const std::int64_t count = multiIdx.RecordCount(IdxEntrySize);
    std::vector<unsigned char> block(static_cast<size_t>(EntriesPerRead * IdxEntrySize));
    for (std::int64_t first = 1; first <= count; first += EntriesPerRead) {
        std::int64_t n = std::min(EntriesPerRead, count - first + 1);
        multiIdx.ReadAt((first - 1) * IdxEntrySize, n * IdxEntrySize, block.data());
        for (std::int64_t i = 0; i < n; ++i)
            visit(first + i, DecodeIdxEntry(block.data() + i * IdxEntrySize));
    }
}

std::vector<MulRecord> ReadMultiRecords(const RecordFile& multiMul, const IdxEntry& entry,
                                        RecordWidth width) {
    const std::int64_t size = RecordBytes(width);
    std::string where = "the entry with Lookup " + std::to_string(entry.Lookup) + " and Length " +
                        std::to_string(entry.Length);
    if (entry.Length == FreeEntryLength)
        throw RunError(err::BadRecordNumber, "Bad record number: " + where + " is free");
    if (entry.Length < 0 || entry.Length % size != 0)
        throw RunError(err::BadRecordLength, "Bad record length: " + where +
                                                 " is not a whole "
                                                 "number of " +
                                                 std::to_string(size) + "-byte records");
    if (entry.Lookup < 0 || std::int64_t{entry.Lookup} + entry.Length > multiMul.Size())
        throw PastEnd(multiMul.Path(), entry.Lookup, entry.Length);
    std::vector<unsigned char> bytes(static_cast<size_t>(entry.Length));
    multiMul.ReadAt(entry.Lookup, entry.Length, bytes.data());
    std::vector<MulRecord> records(static_cast<size_t>(entry.Length / size));
    for (size_t i = 0; i < records.size(); ++i)
        records[i] = DecodeMulRecord(bytes.data() + i * static_cast<size_t>(size), width);
    return records;
}

} // namespace mw
