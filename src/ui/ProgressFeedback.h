#pragma once

#include "common/Progress.h"

#include <QString>
#include <memory>

class QProgressDialog;
class QWidget;

namespace mw {

// A progress dialog with a Cancel button for work that takes longer than about half a second;
// shorter work never shows it. The core reports through the Progress function it hands out.
class ProgressFeedback {
public:
    ProgressFeedback(QWidget* owner, const QString& label);
    ~ProgressFeedback();
    ProgressFeedback(const ProgressFeedback&) = delete;
    ProgressFeedback& operator=(const ProgressFeedback&) = delete;

    const Progress& Callback() const { return callback_; }

private:
    std::unique_ptr<QProgressDialog> dialog_;
    Progress callback_;
};

} // namespace mw
