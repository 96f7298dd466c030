#pragma once

#include "ui/Prompts.h"

#include <QStringList>
#include <functional>
#include <stdexcept>

namespace mw::test {

// Answers the program's prompts from a script and remembers the messages it showed.
class ScriptedPrompts : public Prompts {
public:
    void Message(const QString& text, const QString&, MessageIcon) override {
        Messages << text;
        if (WhileShown) WhileShown();
    }
    bool AskYesNo(const QString& text, const QString&, MessageIcon) override {
        Questions << text;
        return Ask() == "Yes";
    }
    bool AskYesNoShowing(const QString& text, const QString& title,
                         const std::vector<CaptionedPicture>& pictures) override {
        Pictures = pictures;
        return AskYesNo(text, title, MessageIcon::Exclamation);
    }
    QString InputBox(const QString&, const QString&) override { return Ask(); }
    QString OpenFile(const QString&, const QString&) override { return Ask(); }
    QString SaveFile(const QString&, const QString&) override { return Ask(); }

    // The answers to give, in order: "Yes"/"No", a typed text, a chosen path ("" cancels).
    void Answer(const QStringList& answers) { answers_ += answers; }

    QStringList Messages, Questions;
    std::vector<CaptionedPicture> Pictures; // of the last question that showed any
    std::function<void()> WhileShown; // what a real message box would cause, such as a repaint

private:
    QString Ask() {
        if (answers_.empty()) throw std::logic_error("the test gave no answer for a prompt");
        return answers_.takeFirst();
    }
    QStringList answers_;
};

} // namespace mw::test
