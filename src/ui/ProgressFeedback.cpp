#include "ui/ProgressFeedback.h"

#include <QProgressDialog>

namespace mw {

namespace {
constexpr int ShowAfterMs = 500;
constexpr int Steps = 1000; // the dialog counts in ints; the work may count bytes of big files
} // namespace

ProgressFeedback::ProgressFeedback(QWidget* owner, const QString& label)
    : dialog_(std::make_unique<QProgressDialog>(label, "Cancel", 0, Steps, owner)) {
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setMinimumDuration(ShowAfterMs);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setValue(0);
    callback_ = [this](std::int64_t done, std::int64_t total) {
        int value = total > 0 ? static_cast<int>(done * Steps / total) : 0;
        dialog_->setValue(std::min(value, Steps - 1)); // also lets the dialog see its Cancel button
        return !dialog_->wasCanceled();
    };
}

ProgressFeedback::~ProgressFeedback() = default;

} // namespace mw
