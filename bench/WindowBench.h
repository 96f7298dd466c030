#pragma once

// What the benchmarks of windows share: prompts that answer nothing, and a headless start.
#include "BenchSupport.h"
#include "ui/Prompts.h"

#include <QApplication>
#include <cstdio>
#include <stdexcept>

namespace mw::bench {

// Prompts for windows under a benchmark: every question answered No or nothing. A message means
// that something went wrong: it ends the benchmark, or with `throwOnMessage` false is printed.
class SilentPrompts : public Prompts {
public:
    explicit SilentPrompts(bool throwOnMessage = true) : throwOnMessage_(throwOnMessage) {}
    void Message(const QString& text, const QString&, MessageIcon) override {
        if (throwOnMessage_) throw std::runtime_error("message: " + text.toStdString());
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    bool AskYesNo(const QString&, const QString&, MessageIcon) override { return false; }
    QString InputBox(const QString&, const QString&) override { return {}; }
    ChosenFile ChooseOpenFile(const QString&, const QString&, const QString&) override {
        return {};
    }
    ChosenFile ChooseSaveFile(const QString&, const QString&, const QString&) override {
        return {};
    }

private:
    bool throwOnMessage_;
};

// RunBenchmark with a QApplication, offscreen unless QT_QPA_PLATFORM names a platform.
inline int RunWindowBenchmark(int argc, char** argv, const std::function<void(bool quick)>& body) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RunBenchmark(argc, argv, body);
}

} // namespace mw::bench
