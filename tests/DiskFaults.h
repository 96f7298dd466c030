#pragma once

#include <string>
#include <sys/resource.h>

namespace mw::test {

// Makes writes to one file fail with EIO while the object lives, as a failing disk would: of the
// writes (pwrite or fsync) to it, the first `succeeding` go through, the next `failing` fail and
// the rest go through again. Every other file is written as usual.
class FailingWrites {
public:
    explicit FailingWrites(const std::string& path, int succeeding = 0, int failing = 1 << 30);
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
