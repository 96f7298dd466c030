// The test programs' own write, pwrite, fsync and rename stand in for the system's, so that a
// test can make writes to one file fail; unarmed they pass every call on. A file-size limit
// stands for a full disk.
#include "DiskFaults.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <libgen.h>
#include <string>
#include <unistd.h>

namespace {

std::string failingPath;
int succeedingLeft = 0, failingLeft = 0;
bool halfWay = false;

// A path with its folder's links resolved, also for a file that does not exist yet.
std::string Resolved(const char* path) {
    char resolved[PATH_MAX];
    if (::realpath(path, resolved)) return resolved;
    std::string folder = path, name = path;
    if (!::realpath(::dirname(folder.data()), resolved)) return path;
    return std::string(resolved) + "/" + ::basename(name.data());
}

bool Matches(const std::string& path) {
    return path == failingPath || path.rfind(failingPath + ".", 0) == 0;
}

std::string PathOf(int fd) {
    char link[64], target[PATH_MAX];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    ssize_t n = ::readlink(link, target, sizeof target - 1);
    return n < 0 ? std::string() : std::string(target, static_cast<size_t>(n));
}

enum class Outcome { Pass, Half, Fail };

// What the next call that writes the file does; `count` is the bytes it writes (0: none). The
// path is asked for only when armed: every write of the test program comes through here.
template <class PathFunction> Outcome Next(const PathFunction& path, size_t count) {
    if (failingPath.empty() || !Matches(path())) return Outcome::Pass;
    if (succeedingLeft > 0) {
        --succeedingLeft;
        return Outcome::Pass;
    }
    if (failingLeft == 0) return Outcome::Pass;
    if (halfWay && count > 1) {
        halfWay = false;
        return Outcome::Half;
    }
    --failingLeft;
    errno = EIO;
    return Outcome::Fail;
}

template <class Function> Function Real(const char* name) {
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

// A write of `count` bytes to `fd` that `real` makes of the count it is given: all of it, half
// of it, or none (failed).
template <class RealWrite> ssize_t FaultedWrite(int fd, size_t count, const RealWrite& real) {
    switch (Next([fd] { return PathOf(fd); }, count)) {
    case Outcome::Pass:
        return real(count);
    case Outcome::Half:
        return real(count / 2);
    case Outcome::Fail:
        break;
    }
    return -1;
}

} // namespace

extern "C" ssize_t write(int fd, const void* data, size_t count) {
    static auto real = Real<ssize_t (*)(int, const void*, size_t)>("write");
    return FaultedWrite(fd, count, [&](size_t n) { return real(fd, data, n); });
}

extern "C" ssize_t pwrite(int fd, const void* data, size_t count, off_t offset) {
    static auto real = Real<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
    return FaultedWrite(fd, count, [&](size_t n) { return real(fd, data, n, offset); });
}

extern "C" int fsync(int fd) {
    static auto real = Real<int (*)(int)>("fsync");
    return Next([fd] { return PathOf(fd); }, 0) == Outcome::Fail ? -1 : real(fd);
}

extern "C" int rename(const char* from, const char* to) {
    static auto real = Real<int (*)(const char*, const char*)>("rename");
    return Next([to] { return Resolved(to); }, 0) == Outcome::Fail ? -1 : real(from, to);
}

namespace mw::test {

FailingWrites::FailingWrites(const std::string& path, int succeeding, int failing, Fault fault) {
    failingPath = Resolved(path.c_str());
    succeedingLeft = succeeding;
    failingLeft = failing;
    halfWay = fault == Fault::HalfWay;
}

FailingWrites::~FailingWrites() {
    failingPath.clear();
}

FileSizeLimit::FileSizeLimit(rlim_t bytes) {
    std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead of ending the test
    getrlimit(RLIMIT_FSIZE, &before_);
    rlimit limit = before_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &before_);
}

} // namespace mw::test
