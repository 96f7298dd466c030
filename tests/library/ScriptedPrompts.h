#pragma once

#include "ui/Prompts.h"

#include <QStringList>
#include <deque>
#include <functional>
#include <stdexcept>

namespace mw::test {

// Answers the program's prompts from a script and remembers what it was shown.
class ScriptedPrompts : public Prompts {
public:
    struct Shown {
        QString Text, Title;
        MessageIcon Icon;
    };

    void Message(const QString& text, const QString& title, MessageIcon icon) override {
        Messages.push_back({text, title, icon});
        if (WhileShown) WhileShown();
    }
    bool AskYesNo(const QString& text, const QString& title, MessageIcon icon) override {
        Questions.push_back({text, title, icon});
        return Next() == "Yes";
    }
    QString InputBox(const QString& prompt, const QString& title) override {
        Questions.push_back({prompt, title, MessageIcon::None});
        return Next();
    }
    QString OpenFile(const QString& title, const QString& filter) override {
        Questions.push_back({filter, title, MessageIcon::None});
        return Next();
    }
    QString SaveFile(const QString& title, const QString& filter) override {
        Questions.push_back({filter, title, MessageIcon::None});
        return Next();
    }

    // The answers to give, in order: "Yes"/"No", a typed text, a chosen path ("" cancels).
    void Answer(const QStringList& answers) {
        answers_.insert(answers_.end(), answers.begin(), answers.end());
    }
    bool AllAnswered() const { return answers_.empty(); }

    std::vector<Shown> Messages;
    std::function<void()> WhileShown; // what a real message box would cause, such as a repaint
    std::vector<Shown> Questions;

private:
    QString Next() {
        if (answers_.empty()) throw std::logic_error("the test gave no answer for a prompt");
        QString answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    std::deque<QString> answers_;
};

} // namespace mw::test
