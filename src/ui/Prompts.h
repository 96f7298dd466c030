#pragma once

#include <QString>

namespace mw {

enum class MessageIcon { None, Exclamation, Critical, Information };

// Every message box, input box and file dialog of the program goes through here, so that the
// program shows Qt's and the tests answer from a script.
class Prompts {
public:
    virtual ~Prompts() = default;
    virtual void Message(const QString& text, const QString& title, MessageIcon icon) = 0;
    // Yes and No; true for Yes.
    virtual bool AskYesNo(const QString& text, const QString& title, MessageIcon icon) = 0;
    // The typed text; empty when the user cancelled or typed nothing.
    virtual QString InputBox(const QString& prompt, const QString& title) = 0;
    // A filter is "Description|*.ext"; the chosen path, empty when the user cancelled.
    virtual QString OpenFile(const QString& title, const QString& filter) = 0;
    virtual QString SaveFile(const QString& title, const QString& filter) = 0;
};

// The title of every failure message that shows "number description".
inline const QString ApplicationTitle = QStringLiteral("MultiWardstone");

} // namespace mw
