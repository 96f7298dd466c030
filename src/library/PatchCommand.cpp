// Patch Muls: the selected template into the game's multi files, then its scripts.
#include "app/Failures.h"
#include "app/PatchAndScripts.h"
#include "app/UnpatchedPackage.h"
#include "library/frmWardstone.h"
#include "scripts/frmMultiScripts.h"
#include "scripts/frmScriptsEntry.h"
#include "ui/ProgressFeedback.h"
#include "ui/Prompts.h"
#include "ui/WaitCursor.h"

#include <QLabel>

namespace mw {

frmMultiScripts& frmWardstone::ScriptsWindow() {
    if (!scriptsWindow_) scriptsWindow_ = new frmMultiScripts(this, prompts_);
    return *scriptsWindow_;
}

void frmWardstone::cmdPatchMulFiles_Click() {
    std::optional<std::int32_t> id = SelectedTemplateId();
    if (!id) {
        prompts_.Message("Select the template to patch in the tree first.", ApplicationTitle,
                         MessageIcon::Exclamation);
        return;
    }
    std::optional<std::uint32_t> replace;
    if (session_.PatchExisting && !(replace = AskMultiToReplace(*id))) return;
    std::string removed; // the leftovers of an interrupted patch that this one removed
    auto withRemoved = [&removed](const char* text) {
        return QString::fromUtf8(removed.empty() ? text : text + (". " + removed));
    };
    try {
        WaitCursor wait;
        ProgressFeedback progress(this, "Patching the game files...");
        auto status = [this](const char* text) {
            SetStatus(text);
            lblStatus->repaint();
        };
        PatchStoredTemplate(session_, *id, status, progress.Callback(), replace,
                            [&removed](const std::string& line) { removed = line; });
    } catch (const RunError& failure) {
        if (failure.Number == err::Cancelled) {
            SetStatus(withRemoved("Patching cancelled: nothing was written"));
            return;
        }
        // Only a failure that could not be undone leaves anything written; its message says what.
        SetStatus(withRemoved(failure.Number == err::GameFilesNotRestored
                                  ? "Patching failed: the game files may be changed"
                                  : "Patching failed: nothing was written"));
        if (failure.Number == err::MultiFilesNotFound)
            prompts_.Message(MultiFilesNotFoundText, MultiFilesNotFoundTitle,
                             MessageIcon::Critical);
        else
            ShowFailure(failure);
        return;
    }
    if (!removed.empty()) SetStatus(withRemoved(PatchingCompletedText));
    const std::string package = UnpatchedPackageBeside(session_.Targets());
    if (!package.empty())
        prompts_.Message(QString::fromStdString(UnpatchedPackageNote(
                             package, "Choose it under Settings, \"Path to MultiCollection.uop\", "
                                      "so that the next patch writes both.")),
                         "Patching Completed", MessageIcon::Information);
    frmScriptsEntry entry(
        session_, prompts_, ScriptFormat,
        [this](const QString& scripts) { ScriptsWindow().ShowScripts(scripts); }, this);
    entry.exec();
}

} // namespace mw
