#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace mw::test {

// A program run for a test, ended (SIGTERM, then reaped) with the object. Its standard output can
// be read line by line; its error output is discarded.
class ChildProcess {
public:
    // Throws std::runtime_error when the program cannot be started at all.
    ChildProcess(const std::vector<std::string>& command,
                 const std::vector<std::string>& environment);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The next line of output, nothing when none came within `limit` or the program ended.
    std::optional<std::string> ReadLine(std::chrono::milliseconds limit);
    bool HasExited();

private:
    pid_t pid_ = -1;
    int output_ = -1;
    bool reaped_ = false;
    std::string pending_;
};

} // namespace mw::test
