#pragma once

#include <string>
#include <sys/resource.h>

namespace mw::test {

// Makes writes to one file fail with EIO while the object lives, as a failing disk would. The
// file is the path given, or any file named after it (the path, a dot and more: its temporary
// copies and its backups), so that a write under a temporary name fails too. Of the calls that
// write it (write, pwrite, fsync, and a rename onto it), the first `succeeding` go through, the
// next `failing` fail and the rest go through again. Half way: the first failing write puts
// down half its bytes and reports them (a short write, as a disk that fills up makes), and only
// the next call fails. Every other file is written as usual.
class FailingWrites {
public:
    enum class Fault { Whole, HalfWay };
    explicit FailingWrites(const std::string& path, int succeeding = 0, int failing = 1 << 30,
                           Fault fault = Fault::Whole);
    ~FailingWrites();
    FailingWrites(const FailingWrites&) = delete;
    FailingWrites& operator=(const FailingWrites&) = delete;
};

// Files written by this process may not grow beyond `bytes` while the object lives: a write past
// the limit fails as it would on a full disk, for root too.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit before_{};
};

} // namespace mw::test
