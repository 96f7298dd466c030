#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace mw {

// Reads a single-byte text file line by line, in large blocks, accepting LF and CR LF alike.
// A line longer than MaxLineLength is refused, so that no file (/dev/zero, a file without line
// ends) makes the reader hold more than that.
class LineReader {
public:
    static constexpr size_t MaxLineLength = 1 << 20;

    explicit LineReader(const std::string& path); // throws RunError when the file cannot be opened
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // The next line without its line end; false at the end of the file. The line stays valid
    // until the next call of ReadLine.
    bool ReadLine(std::string_view& line);
    long long BytesRead() const { return consumed_; }
    long long FileSize() const { return size_; }

private:
    bool Refill();
    void Carry(const char* start, size_t length);

    std::FILE* file_ = nullptr;
    std::vector<char> block_;
    size_t begin_ = 0, end_ = 0;
    bool eof_ = false;
    std::string carry_;
    long long consumed_ = 0, size_ = 0, lineNumber_ = 0;
    std::string path_;
};

// The fields of a line split at single spaces: two spaces in a row make an empty field.
// Only the first fields are kept; Count says how many the line has in all.
struct Fields {
    static constexpr size_t Kept = 5;
    std::string_view Field[Kept];
    size_t Count = 0;

    explicit Fields(std::string_view line);
    // Field n counted from 1, empty when the line has fewer fields.
    std::string_view operator()(size_t n) const {
        return n <= Kept && n <= Count ? Field[n - 1] : std::string_view();
    }
};

} // namespace mw
