#pragma once

#include <string>

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

} // namespace mw::test
