#pragma once

#include "ui/Prompts.h"

#include <QStringList>
#include <functional>
#include <stdexcept>
#include <vector>

namespace mw::test {

// Answers the program's prompts from a script and remembers what it was shown.
class ScriptedPrompts : public Prompts {
public:
    struct Shown {
        QString Text, Title;
    };

    void Message(const QString& text, const QString& title, MessageIcon) override {
        Messages.push_back({text, title});
        if (WhileShown) WhileShown();
    }
    bool AskYesNo(const QString& text, const QString& title, MessageIcon) override {
        return Ask(text, title) == "Yes";
    }
    QString InputBox(const QString& prompt, const QString& title) override {
        return Ask(prompt, title);
    }
    QString OpenFile(const QString& title, const QString& filter) override {
        return Ask(filter, title);
    }
    QString SaveFile(const QString& title, const QString& filter) override {
        return Ask(filter, title);
    }

    // The answers to give, in order: "Yes"/"No", a typed text, a chosen path ("" cancels).
    void Answer(const QStringList& answers) { answers_ += answers; }
    bool AllAnswered() const { return answers_.empty(); }

    std::vector<Shown> Messages, Questions;
    std::function<void()> WhileShown; // what a real message box would cause, such as a repaint

private:
    QString Ask(const QString& text, const QString& title) {
        Questions.push_back({text, title});
        if (answers_.empty()) throw std::logic_error("the test gave no answer for a prompt");
        return answers_.takeFirst();
    }
    QStringList answers_;
};

} // namespace mw::test
