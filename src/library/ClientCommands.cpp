// Build Multi, Extract from Server and Nuke Cmd: server commands typed into the game client, and
// the hand-over of a structure the server extracted.
#include "client/ClientLink.h"
#include "library/frmWardstone.h"
#include "store/TemplateBlocks.h"
#include "ui/Guarded.h"
#include "ui/Prompts.h"

#include <QEvent>
#include <QTimer>

namespace mw {

namespace {
const std::string ClientTitle = "Ultima Online";
const QString NotActiveTitle = "Client is not active";
} // namespace

bool frmWardstone::RequireSphereFolder() {
    if (!session_.SphereFolderPath.empty()) return true;
    prompts_.Message("The Sphere server folder is not set: choose it under Settings.",
                     ApplicationTitle, MessageIcon::Exclamation);
    return false;
}

bool frmWardstone::ActivateClient(bool waitForOurFocus) {
    try {
        if (!clientLink_)
            throw ClientUnreachableError("this program has no link to the game client");
        clientLink_->ActivateWindow(ClientTitle, waitForOurFocus);
        return true;
    } catch (const RunError& failure) {
        if (failure.Number == err::ClientNotRunning)
            prompts_.Message("Ultima Online is not running", NotActiveTitle,
                             MessageIcon::Exclamation);
        else
            prompts_.Message(ShownFailure(failure), NotActiveTitle, MessageIcon::Exclamation);
        return false;
    }
}

void frmWardstone::cmdBuildTemplate_Click() {
    strCommand = ".unextract template.tmp 1";
    blnExtractPending = false; // an extract it replaces is never typed: nothing to take over
    std::optional<std::int32_t> id = SelectedTemplateId();
    if (!id) {
        prompts_.Message("Select the template to build in the tree first.", ApplicationTitle,
                         MessageIcon::Exclamation);
        return;
    }
    if (!RequireSphereFolder()) return;
    try {
        // Written under another name and renamed, so the server never reads half a file.
        WriteTemplateFile(session_.cnTemplates, JoinPath(session_.SphereFolderPath, "template.tmp"),
                          *id);
    } catch (const RunError& failure) {
        ShowFailure(failure);
        return;
    }
    if (ActivateClient(false)) tmrCommand->start();
}

void frmWardstone::cmdExtractFromSphere_Click() {
    strCommand = ".extract temp.tmp 1";
    if (!RequireSphereFolder() || !ActivateClient(false)) return;
    tmrCommand->start();
    blnExtractPending = true;
    leftSinceExtract_ = !isActiveWindow();
}

void frmWardstone::cmdNuke_Click() {
    strCommand = ".nuke";
    blnExtractPending = false; // as in Build Multi
    if (ActivateClient(true)) tmrCommand->start();
}

// Types the pending command, but only into the client: if the focus has moved on since the
// activation, nothing is typed.
void frmWardstone::tmrCommand_Timer() {
    tmrCommand->stop();
    try {
        if (!clientLink_->ClientHasFocus()) throw ClientFocusLostError(0);
        clientLink_->SendKeys(CommandKeys(strCommand.toStdString()));
    } catch (const RunError& failure) {
        blnExtractPending = false; // the server was not asked, so there is nothing to take over
        prompts_.Message(ShownFailure(failure), NotActiveTitle, MessageIcon::Exclamation);
    }
}

// The window repaints its background under every button it redraws; what counts is the repaint
// when the user comes back to the window from the client.
void frmWardstone::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !blnExtractPending) return;
    if (!isActiveWindow())
        leftSinceExtract_ = true;
    else if (leftSinceExtract_)
        update();
}

void frmWardstone::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (!blnExtractPending || !leftSinceExtract_ || !isActiveWindow()) return;
    // Cleared before anything else, so that the repaints under a message box do not start the
    // hand-over again; the dialog itself may not open inside a paint event.
    blnExtractPending = false;
    QTimer::singleShot(0, this, Guarded(prompts_, this, &frmWardstone::TakeOverExtract));
}

void frmWardstone::TakeOverExtract() {
    std::string path = JoinPath(session_.SphereFolderPath, "temp.tmp");
    if (!ReadImportFile(session_, ImportSource::Txt, path)) {
        ShowReaderMessage();
        return;
    }
    FileNewTemplate();
}

} // namespace mw
