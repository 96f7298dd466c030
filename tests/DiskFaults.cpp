// The test programs' own pwrite and fsync stand in for the system's, so that a test can make
// writes to one file fail; unarmed they pass every call on. A file-size limit stands for a full
// disk.
#include "DiskFaults.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <dlfcn.h>
#include <string>
#include <unistd.h>

namespace {

std::string failingPath;
int succeedingLeft = 0, failingLeft = 0;

bool ShouldFail(int fd) {
    if (failingPath.empty()) return false;
    char link[64], target[PATH_MAX];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    ssize_t n = ::readlink(link, target, sizeof target - 1);
    if (n < 0 || std::string(target, static_cast<size_t>(n)) != failingPath) return false;
    if (succeedingLeft > 0) {
        --succeedingLeft;
        return false;
    }
    if (failingLeft == 0) return false;
    --failingLeft;
    errno = EIO;
    return true;
}

template <class Function> Function Real(const char* name) {
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" ssize_t pwrite(int fd, const void* data, size_t count, off_t offset) {
    static auto real = Real<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite");
    return ShouldFail(fd) ? -1 : real(fd, data, count, offset);
}

extern "C" int fsync(int fd) {
    static auto real = Real<int (*)(int)>("fsync");
    return ShouldFail(fd) ? -1 : real(fd);
}

namespace mw::test {

FailingWrites::FailingWrites(const std::string& path, int succeeding, int failing) {
    char resolved[PATH_MAX];
    failingPath = ::realpath(path.c_str(), resolved) ? resolved : path;
    succeedingLeft = succeeding;
    failingLeft = failing;
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
