#pragma once

#include <QImage>
#include <QString>
#include <vector>

namespace mw {

enum class MessageIcon { None, Exclamation, Critical, Information };

// What to do with unsaved changes of a window being closed.
enum class UnsavedChoice { Save, Discard, Cancel };

// A file chosen in a file dialog, and which of the dialog's filters was chosen with it: the
// filter may decide how the file is read or written.
struct ChosenFile {
    QString Path;   // empty when the user cancelled
    int Filter = 0; // counted from 0 in the order the filters were given
};

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
    // The same, starting from `text` (a name to change).
    virtual QString InputBoxWith(const QString& prompt, const QString& title, const QString& text) {
        (void)text;
        return InputBox(prompt, title);
    }
    // Save, Discard and Cancel, Cancel the default.
    virtual UnsavedChoice AskSaveChanges(const QString& text, const QString& title) {
        return AskYesNo(text, title, MessageIcon::Exclamation) ? UnsavedChoice::Save
                                                               : UnsavedChoice::Cancel;
    }
    // A filter is "Description|*.ext", or several of them joined by "|"; the first is chosen
    // when the dialog opens. The dialog opens in `folder`; empty: the working folder.
    virtual ChosenFile ChooseOpenFile(const QString& title, const QString& filter,
                                      const QString& folder = {}) = 0;
    virtual ChosenFile ChooseSaveFile(const QString& title, const QString& filter,
                                      const QString& folder = {}) = 0;
    // The chosen path alone, empty when the user cancelled.
    QString OpenFile(const QString& title, const QString& filter, const QString& folder = {}) {
        return ChooseOpenFile(title, filter, folder).Path;
    }
    QString SaveFile(const QString& title, const QString& filter, const QString& folder = {}) {
        return ChooseSaveFile(title, filter, folder).Path;
    }
};

// The extension that filter `index` of a filter text gives its files: ".uoa" of
// "Designs|*.uoa"; empty when that pattern is not a single "*.ext".
inline QString FilterExtension(const QString& filter, int index) {
    if (index < 0) return {};
    const QString pattern = filter.section('|', 2 * index + 1, 2 * index + 1);
    if (!pattern.startsWith("*.") || pattern.size() < 3) return {};
    for (QChar c : pattern.mid(2))
        if (c == '*' || c == '?' || c == '[' || c == ';' || c == '.' || c.isSpace()) return {};
    return pattern.mid(1);
}

// The title of every failure message that shows "number description".
inline const QString ApplicationTitle = QStringLiteral("MultiWardstone");

} // namespace mw
