#pragma once

#include "ui/Prompts.h"

#include <QList>
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
        return Ask().Text == "Yes";
    }
    bool AskYesNoShowing(const QString& text, const QString& title,
                         const std::vector<CaptionedPicture>& pictures) override {
        Pictures = pictures;
        return AskYesNo(text, title, MessageIcon::Exclamation);
    }
    QString InputBox(const QString&, const QString&) override { return Ask().Text; }
    QString InputBoxWith(const QString&, const QString&, const QString& text) override {
        Offered << text;
        return Ask().Text;
    }
    // Answered "Save", "Discard" or "Cancel".
    UnsavedChoice AskSaveChanges(const QString& text, const QString&) override {
        Questions << text;
        const QString answer = Ask().Text;
        return answer == "Save"      ? UnsavedChoice::Save
               : answer == "Discard" ? UnsavedChoice::Discard
                                     : UnsavedChoice::Cancel;
    }
    ChosenFile ChooseOpenFile(const QString&, const QString& filter,
                              const QString& folder = {}) override {
        Folders << folder;
        return Choose(filter);
    }
    ChosenFile ChooseSaveFile(const QString&, const QString& filter,
                              const QString& folder = {}) override {
        Folders << folder;
        return Choose(filter);
    }

    // The answers to give, in order: "Yes"/"No", a typed text, a chosen path ("" cancels) with
    // the dialog's first filter.
    void Answer(const QStringList& answers) {
        for (const QString& answer : answers)
            answers_.push_back({answer, {}});
    }
    // A path chosen in a file dialog together with the filter of this description, which the
    // dialog must offer.
    void AnswerFile(const QString& path, const QString& filterDescription) {
        answers_.push_back({path, filterDescription});
    }

    QStringList Messages;
    QStringList Questions; // what AskYesNo and AskSaveChanges asked
    QStringList Offered;   // the texts input boxes started from
    QStringList Filters;   // what each file dialog offered, "Description|*.ext|..."
    QStringList Folders;   // where each file dialog opened ("" the working folder)
    std::vector<CaptionedPicture> Pictures; // of the last question that showed any
    std::function<void()> WhileShown; // what a real message box would cause, such as a repaint

private:
    struct Scripted {
        QString Text, FilterDescription;
    };
    Scripted Ask() {
        if (answers_.empty()) throw std::logic_error("the test gave no answer for a prompt");
        return answers_.takeFirst();
    }
    ChosenFile Choose(const QString& filter) {
        Filters << filter;
        Scripted answer = Ask();
        if (answer.FilterDescription.isEmpty()) return {answer.Text, 0};
        const QStringList parts = filter.split('|');
        for (int i = 0; 2 * i < parts.size(); ++i)
            if (parts[2 * i] == answer.FilterDescription) return {answer.Text, i};
        throw std::logic_error("the file dialog offers no filter " +
                               answer.FilterDescription.toStdString());
    }
    QList<Scripted> answers_;
};

} // namespace mw::test
