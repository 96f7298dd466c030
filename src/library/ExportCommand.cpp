// Export: the selected template as a template file.
#include "common/OutputFile.h"
#include "formats/TemplateText.h"
#include "library/frmWardstone.h"
#include "store/TemplateBlocks.h"
#include "ui/ProgressFeedback.h"
#include "ui/Prompts.h"
#include "ui/WaitCursor.h"

namespace mw {

void frmWardstone::cmdExportTemplate_Click() {
    std::optional<std::int32_t> id = SelectedTemplateId();
    if (!id) {
        prompts_.Message("Select the template to export in the tree first.", ApplicationTitle,
                         MessageIcon::Exclamation);
        return;
    }
    QString path = prompts_.SaveFile("Export Template To", "Multi Template files (*.KivT)|*.KivT");
    if (path.isEmpty()) return;
    try {
        WaitCursor wait;
        ProgressFeedback progress(this, "Writing " + path + "...");
        // The file is replaced only once the new one is complete: a failure keeps the old one.
        RefuseProtectedTarget(path.toStdString(), session_.ProtectedFiles());
        WriteTemplateFile(session_.cnTemplates, path.toStdString(), *id, progress.Callback());
    } catch (const RunError& failure) {
        if (failure.Number != err::Cancelled)
            prompts_.Message(ShownFailure(failure), ApplicationTitle, MessageIcon::Exclamation);
    }
}

} // namespace mw
