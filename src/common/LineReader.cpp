#include "common/LineReader.h"

#include "common/Files.h"
#include "common/Platform.h"
#include "common/RunError.h"

#include <cerrno>
#include <cstring>

namespace mw {

namespace {
constexpr size_t BlockSize = 1 << 20;
} // namespace

LineReader::LineReader(const std::string& path) : block_(BlockSize), path_(path) {
    file_ = platform::OpenStream(path, "rb");
    if (!file_) ThrowFileError(errno, path, "open");
    platform::FileInfo info;
    if (platform::StatStream(file_, info) == 0) {
        if (info.Kind == platform::FileKind::Directory) {
            std::fclose(file_);
            file_ = nullptr;
            ThrowFileError(EISDIR, path, "read");
        }
        size_ = static_cast<decltype(size_)>(info.Size);
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

} // namespace mw
