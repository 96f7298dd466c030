// The program: the shared connection, then the main window; closing it ends the program.
#include "client/ClientLink.h"
#include "common/Session.h"
#include "library/CentreOnScreen.h"
#include "library/QtPrompts.h"
#include "library/frmWardstone.h"

#include <QApplication>

namespace {

int Main(int argc, char** argv) {
    // The game client lives on X (under Wine); our window must be there too for the focus checks.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName("MultiWardstone");
    QCoreApplication::setApplicationName("MultiWardstone");
    mw::Session session(mw::ExecutableFolder());
    mw::QtPrompts prompts;
    mw::frmWardstone frmWardstone(session, prompts);
    if (!frmWardstone.Form_Initialize()) return 0; // the user has been told why
    std::unique_ptr<mw::ClientLink> link = mw::OpenClientLink(frmWardstone.winId());
    frmWardstone.SetClientLink(link.get());
    mw::CentreOnScreen(frmWardstone);
    frmWardstone.show();
    return app.exec();
}

} // namespace

int main(int argc, char** argv) {
    return Main(argc, argv);
}
