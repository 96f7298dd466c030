#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace mw {

// Long work reports how far it is; the answer false asks it to stop, which it does by failing
// with err::Cancelled and leaving nothing half done.
using Progress = std::function<bool(std::int64_t done, std::int64_t total)>;

// Calls the progress function a few times a second rather than for every step.
class ProgressTicker {
public:
    ProgressTicker(const Progress& progress, std::int64_t total);
    void Step(std::int64_t done) {
        if (progress_ && (++calls_ & 0xFF) == 0) MaybeReport(done);
    }
    // For steps that each take long (a template of a batch): reports whenever the last report
    // is old enough, however few the calls.
    void Checkpoint(std::int64_t done) {
        if (progress_) MaybeReport(done);
    }
    void Report(std::int64_t done);

private:
    void MaybeReport(std::int64_t done);

    const Progress& progress_;
    std::int64_t total_;
    std::uint32_t calls_ = 0;
    std::chrono::steady_clock::time_point last_;
};

} // namespace mw
