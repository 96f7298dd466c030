// The program: the library where the location rule puts it, the shared connection, then the main
// window; closing it ends the program.
#include "app/Session.h"
#include "client/ClientLink.h"
#include "common/Platform.h"
#include "library/frmWardstone.h"
#include "settings/LibraryLocation.h"
#include "ui/CentreOnScreen.h"
#include "ui/Guarded.h"
#include "ui/QtPrompts.h"

#include <QApplication>
#include <QIcon>
#include <QSysInfo>
#include <cstdio>
#include <cstring>

namespace {

// The last safety net: a failure that no handler caught is shown, not passed on to end the
// program with the user's work.
class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv, mw::Prompts& prompts)
        : QApplication(argc, argv), prompts_(prompts) {}

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (...) {
            mw::ShowAnyFailure(prompts_, std::current_exception());
            return false;
        }
    }

private:
    mw::Prompts& prompts_;
};

// Answered before Qt starts, so that it needs no display.
bool AskedForVersion(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--version") == 0) return true;
    return false;
}

int Main(int argc, char** argv) {
    if (AskedForVersion(argc, argv)) {
        std::printf("multiwardstone %s\n", WARDSTONE_VERSION);
        return 0;
    }
    // A write past a file-size limit fails with a message and is undone, instead of ending the
    // program on the spot with temporary files and half a backup left behind.
    mw::platform::IgnoreWriteSignals();
    // On Linux the game client lives on X (under Wine); our window must be there too for the
    // focus checks. Windows (also under Wine, where DISPLAY is set) has its own platform only.
    if (QSysInfo::kernelType() == "linux" && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    mw::QtPrompts prompts;
    GuardedApplication app(argc, argv, prompts);
    QCoreApplication::setOrganizationName("MultiWardstone");
    QCoreApplication::setApplicationName("MultiWardstone");
    QCoreApplication::setApplicationVersion(WARDSTONE_VERSION);
    QGuiApplication::setDesktopFileName("multiwardstone");
    QApplication::setWindowIcon(QIcon::fromTheme("multiwardstone"));
    const mw::LibraryLocation location = mw::LocateLibrary();
    mw::Session session(location.Folder, mw::JoinPath(location.Folder, mw::LibraryFileName),
                        location.DefaultsFolder);
    mw::frmWardstone frmWardstone(session, prompts);
    if (!frmWardstone.Form_Initialize()) return 1; // the user has been told why
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
