#pragma once

#include <cstdint>
#include <string>

namespace mw {

// A file read piece by piece at given offsets (pread), for files too large to read whole. Every
// read is exact: an error is the file error, and a file that ends before the bytes asked for
// (one cut short since it was opened) is a RunError of the number given, naming the file.
class PositionedFile {
public:
    // A missing file, a folder or anything but a plain file is refused with the file error.
    PositionedFile(const std::string& path, long shortReadError);
    ~PositionedFile();
    PositionedFile(const PositionedFile&) = delete;
    PositionedFile& operator=(const PositionedFile&) = delete;

    const std::string& Path() const { return path_; }
    std::uint64_t Size() const { return size_; } // when it was opened
    std::string Read(std::uint64_t offset, size_t length) const;

private:
    std::string path_;
    long shortReadError_;
    int fd_ = -1;
    std::uint64_t size_ = 0;
};

} // namespace mw
