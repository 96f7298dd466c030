#include "patcher/MultiFiles.h"

#include "common/RunError.h"
#include "common/TextFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mw {

namespace {

void Put16(unsigned char* out, std::uint16_t value) {
    out[0] = static_cast<unsigned char>(value & 0xFF);
    out[1] = static_cast<unsigned char>(value >> 8);
}

void Put32(unsigned char* out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out[i] = static_cast<unsigned char>(value >> (8 * i));
}

std::uint16_t Get16(const unsigned char* in) {
    return static_cast<std::uint16_t>(in[0] | (in[1] << 8));
}

std::uint32_t Get32(const unsigned char* in) {
    return static_cast<std::uint32_t>(in[0]) | static_cast<std::uint32_t>(in[1]) << 8 |
           static_cast<std::uint32_t>(in[2]) << 16 | static_cast<std::uint32_t>(in[3]) << 24;
}

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

void EncodeMulRecord(const MulRecord& record, unsigned char out[MulRecordSize]) {
    Put16(out, record.ItemID);
    Put16(out + 2, static_cast<std::uint16_t>(record.X));
    Put16(out + 4, static_cast<std::uint16_t>(record.Y));
    Put16(out + 6, static_cast<std::uint16_t>(record.Z));
    Put32(out + 8, static_cast<std::uint32_t>(record.Flag));
}

MulRecord DecodeMulRecord(const unsigned char in[MulRecordSize]) {
    return {Get16(in), static_cast<std::int16_t>(Get16(in + 2)),
            static_cast<std::int16_t>(Get16(in + 4)), static_cast<std::int16_t>(Get16(in + 6)),
            static_cast<std::int32_t>(Get32(in + 8))};
}

RecordFile::RecordFile(const std::string& path, Mode mode) : path_(path) {
    if (path.empty()) throw RunError(err::FileNotFound, "File not found: no path is set");
    fd_ = ::open(path.c_str(), mode == Mode::Read ? O_RDONLY : O_RDWR); // never O_CREAT
    if (fd_ < 0) ThrowFileError(errno, path, mode == Mode::Read ? "open" : "open for writing");
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        ThrowFileError(EISDIR, path, "open");
    }
}

RecordFile::~RecordFile() {
    if (fd_ >= 0) ::close(fd_);
}

bool RecordFile::IsSameFileAs(const RecordFile& other) const {
    struct stat mine {
    }, theirs{};
    return ::fstat(fd_, &mine) == 0 && ::fstat(other.fd_, &theirs) == 0 &&
           mine.st_dev == theirs.st_dev && mine.st_ino == theirs.st_ino;
}

std::int64_t RecordFile::Size() const {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) ThrowFileError(errno, path_, "read");
    return info.st_size;
}

void RecordFile::ReadAt(std::int64_t offset, std::int64_t length, unsigned char* out) const {
    if (offset < 0 || length < 0 || offset > Size() - length) throw PastEnd(path_, offset, length);
    std::int64_t done = 0;
    while (done < length) {
        ssize_t n = ::pread(fd_, out + done, static_cast<size_t>(length - done), offset + done);
        if (n < 0 && errno == EINTR) continue;
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

MulRecord RecordFile::ReadMulRecord(std::int64_t r) const {
    unsigned char bytes[MulRecordSize];
    if (!ReadRecord(r, MulRecordSize, bytes))
        throw PastEnd(path_, (r - 1) * MulRecordSize, MulRecordSize);
    return DecodeMulRecord(bytes);
}

void RecordFile::WriteAt(std::int64_t offset, const void* data, std::int64_t length) {
    auto* bytes = static_cast<const unsigned char*>(data);
    std::int64_t done = 0;
    while (done < length) {
        ssize_t n = ::pwrite(fd_, bytes + done, static_cast<size_t>(length - done), offset + done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) ThrowFileError(n < 0 ? errno : ENOSPC, path_, "write");
        done += n;
    }
}

void RecordFile::WriteIdxEntry(std::int64_t r, const IdxEntry& entry) {
    unsigned char bytes[IdxEntrySize];
    EncodeIdxEntry(entry, bytes);
    WriteAt((r - 1) * IdxEntrySize, bytes, IdxEntrySize);
}

void RecordFile::WriteMulRecords(std::int64_t r, const std::vector<MulRecord>& records) {
    std::vector<unsigned char> bytes(records.size() * MulRecordSize);
    for (size_t i = 0; i < records.size(); ++i)
        EncodeMulRecord(records[i], bytes.data() + i * MulRecordSize);
    WriteAt((r - 1) * MulRecordSize, bytes.data(), static_cast<std::int64_t>(bytes.size()));
}

void RecordFile::Truncate(std::int64_t size) {
    if (::ftruncate(fd_, size) != 0) ThrowFileError(errno, path_, "write");
}

void RecordFile::Flush() {
    if (::fsync(fd_) != 0) ThrowFileError(errno, path_, "write");
}

} // namespace mw
