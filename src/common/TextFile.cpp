#include "common/TextFile.h"

#include "common/RunError.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mw {

namespace {
constexpr size_t BlockSize = 1 << 20;

long ErrorNumberFor(int e) {
    switch (e) {
    case ENOENT:
        return err::FileNotFound;
    case ENOTDIR:
        return err::PathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return err::PermissionDenied;
    case ENOSPC:
        return 61; // disk full
    case EISDIR:
    case ENAMETOOLONG:
        return err::BadFileNameOrNumber;
    default:
        return err::PathFileAccessError;
    }
}
} // namespace

void ThrowFileError(int errnoValue, const std::string& path, const char* action) {
    throw RunError(ErrorNumberFor(errnoValue), std::string("Cannot ") + action + " \"" + path +
                                                   "\": " + std::strerror(errnoValue));
}

LineReader::LineReader(const std::string& path) : block_(BlockSize), path_(path) {
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) ThrowFileError(errno, path, "open");
    struct stat info {};
    if (fstat(fileno(file_), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            std::fclose(file_);
            file_ = nullptr;
            ThrowFileError(EISDIR, path, "read");
        }
        size_ = info.st_size;
    }
}

LineReader::~LineReader() {
    if (file_) std::fclose(file_);
}

bool LineReader::Refill() {
    if (eof_) return false;
    begin_ = 0;
    end_ = std::fread(block_.data(), 1, block_.size(), file_);
    if (end_ == 0) eof_ = true;
    return end_ > 0;
}

bool LineReader::AtEnd() {
    return begin_ == end_ && !Refill();
}

// Keeps the start of a line that runs on into the next block.
void LineReader::Carry(const char* start, size_t length) {
    if (carry_.size() + length > MaxLineLength)
        throw RunError(err::BadRecordLength, "Bad record length: line " +
                                                 std::to_string(lineNumber_ + 1) + " of \"" +
                                                 path_ + "\" is longer than 1 MiB");
    carry_.append(start, length);
}

bool LineReader::ReadLine(std::string_view& line) {
    carry_.clear();
    for (;;) {
        if (begin_ == end_ && !Refill()) {
            if (carry_.empty()) return false;
            line = carry_;
            ++lineNumber_;
            return true; // the last line had no line end
        }
        const char* start = block_.data() + begin_;
        const void* found = std::memchr(start, '\n', end_ - begin_);
        if (!found) {
            Carry(start, end_ - begin_);
            consumed_ += static_cast<long long>(end_ - begin_);
            begin_ = end_;
            continue;
        }
        size_t length = static_cast<const char*>(found) - start;
        if (!carry_.empty()) Carry(start, length);
        begin_ += length + 1;
        consumed_ += static_cast<long long>(length + 1);
        line = carry_.empty() ? std::string_view(start, length) : std::string_view(carry_);
        ++lineNumber_;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        return true;
    }
}

Fields::Fields(std::string_view line) {
    size_t start = 0;
    for (;;) {
        size_t space = line.find(' ', start);
        std::string_view field =
            line.substr(start, space == std::string_view::npos ? space : space - start);
        if (Count < Kept) Field[Count] = field;
        ++Count;
        if (space == std::string_view::npos) break;
        start = space + 1;
    }
}

std::string ReadWholeFile(const std::string& path) {
    LineReader probe(path); // reports a missing file or a folder the same way as every reader
    std::string text;
    text.resize(static_cast<size_t>(probe.FileSize()));
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) ThrowFileError(errno, path, "open");
    size_t n = std::fread(text.data(), 1, text.size(), file);
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) ThrowFileError(EIO, path, "read"); // never a short text that passes for whole
    text.resize(n);
    return text;
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

void RemoveFile(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) ThrowFileError(errno, path, "delete");
}

} // namespace mw
