#pragma once

#include <QImage>
#include <QString>
#include <vector>

namespace mw {

enum class MessageIcon { None, Exclamation, Critical, Information };

struct CaptionedPicture {
    QString Caption;
    QImage Picture;
};

// Every message box, input box and file dialog of the program goes through here, so that the
// program shows Qt's and the tests answer from a script.
class Prompts {
public:
    virtual ~Prompts() = default;
    virtual void Message(const QString& text, const QString& title, MessageIcon icon) = 0;
    // Yes and No; true for Yes.
    virtual bool AskYesNo(const QString& text, const QString& title, MessageIcon icon) = 0;
    // A question before a change of the user's files: Yes and No, with No the default button, and
    // pictures side by side above the buttons (what is there now, what replaces it).
    virtual bool AskYesNoShowing(const QString& text, const QString& title,
                                 const std::vector<CaptionedPicture>& pictures) {
        (void)pictures;
        return AskYesNo(text, title, MessageIcon::Exclamation);
    }
    // The typed text; empty when the user cancelled or typed nothing.
    virtual QString InputBox(const QString& prompt, const QString& title) = 0;
    // A filter is "Description|*.ext"; the chosen path, empty when the user cancelled.
    virtual QString OpenFile(const QString& title, const QString& filter) = 0;
    virtual QString SaveFile(const QString& title, const QString& filter) = 0;
};

// The title of every failure message that shows "number description".
inline const QString ApplicationTitle = QStringLiteral("MultiWardstone");

} // namespace mw
