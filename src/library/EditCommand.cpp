// Edit: the selected template in an editor window of its own, one per template.
#include "library/frmEditor.h"
#include "library/frmPreview.h"
#include "library/frmWardstone.h"
#include "ui/WaitCursor.h"

#include <QScreen>
#include <QTreeWidget>

namespace mw {

frmEditor* frmWardstone::EditorOf(std::int32_t templateId) const {
    for (const QPointer<frmEditor>& editor : editors_)
        if (editor && editor->TemplateId() == templateId) return editor;
    return nullptr;
}

void frmWardstone::cmdEdit_Click() {
    std::optional<std::int32_t> id = SelectedTemplateId();
    if (!id) return;
    frmEditor* editor = EditorOf(*id);
    if (!editor) {
        WaitCursor wait;
        editor = new frmEditor(*this, *id);
        std::erase_if(editors_, [](const QPointer<frmEditor>& gone) { return !gone; });
        editors_.push_back(editor);
        // Over the rest of the screen beside this window where there is room, else centred.
        const QRect screen = editor->screen()->availableGeometry();
        editor->move(std::clamp(frameGeometry().right() + 8, screen.left(),
                                std::max(screen.left(), screen.right() - editor->width())),
                     std::max(screen.top(), frameGeometry().top()));
    }
    editor->show();
    editor->raise();
    editor->activateWindow();
}

// The tree keeps its place (a new template becomes current, as an import's does), and the
// labels and the preview show what the library holds now.
void frmWardstone::TemplateSaved(std::int32_t templateId) {
    const bool isNew = !FindTemplateNode(trvTemplates, templateId);
    if (isNew)
        FillTemplatesList(templateId);
    else
        FillTemplatesList();
}

} // namespace mw
