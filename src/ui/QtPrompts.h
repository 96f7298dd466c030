#pragma once

#include "ui/Prompts.h"

#include <QStringList>

class QWidget;

namespace mw {

// The prompts as the user sees them: Qt's message boxes, input boxes and file dialogs.
class QtPrompts : public Prompts {
public:
    void Message(const QString& text, const QString& title, MessageIcon icon) override;
    bool AskYesNo(const QString& text, const QString& title, MessageIcon icon) override;
    bool AskYesNoShowing(const QString& text, const QString& title,
                         const std::vector<CaptionedPicture>& pictures) override;
    QString InputBox(const QString& prompt, const QString& title) override;
    QString InputBoxWith(const QString& prompt, const QString& title, const QString& text) override;
    UnsavedChoice AskSaveChanges(const QString& text, const QString& title) override;
    ChosenFile ChooseOpenFile(const QString& title, const QString& filter,
                              const QString& folder = {}) override;
    ChosenFile ChooseSaveFile(const QString& title, const QString& filter,
                              const QString& folder = {}) override;
};

// "Description|*.ext" as Qt writes it: "Description (*.ext)", one entry per filter.
QStringList QtFileFilters(const QString& filter);

} // namespace mw
