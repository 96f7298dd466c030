#include "common/Progress.h"

#include "common/RunError.h"

namespace mw {

namespace {
constexpr auto ReportEvery = std::chrono::milliseconds(50);
}

ProgressTicker::ProgressTicker(const Progress& progress, std::int64_t total)
    : progress_(progress), total_(total), last_(std::chrono::steady_clock::now() - ReportEvery) {}

void ProgressTicker::MaybeReport(std::int64_t done) {
    auto now = std::chrono::steady_clock::now();
    if (now - last_ < ReportEvery) return;
    last_ = now;
    Report(done);
}

void ProgressTicker::Report(std::int64_t done) {
    if (progress_ && !progress_(done, total_))
        throw RunError(err::Cancelled, "Cancelled by the user");
}

} // namespace mw
