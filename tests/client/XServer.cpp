#include "client/XServer.h"

#include "client/ClientLink.h"
#include "client/x11/X11Display.h"

#include <stdexcept>

namespace mw::test {

namespace {
constexpr std::chrono::seconds StartLimit{10};
} // namespace

XServer::XServer() {
    try {
        // -displayfd 1: the server writes the display number it took to its output once ready.
        server_ = std::make_unique<ChildProcess>(
            std::vector<std::string>{"Xvfb", "-displayfd", "1", "-nolisten", "tcp", "-noreset",
                                     "-screen", "0", "640x480x24"},
            std::vector<std::string>{});
    } catch (const std::exception& e) {
        problem_ = e.what();
        return;
    }
    auto number = server_->ReadLine(StartLimit);
    if (number && !number->empty())
        name_ = ":" + *number;
    else
        problem_ = "Xvfb did not report a display within 10 seconds";
}

bool XServer::StartWindowManager() {
    windowManager_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"matchbox-window-manager", "-use_titlebar", "no"}, Environment());
    X11Display display(name_);
    XErrorTrap trap(display.Get());
    return PollUntil([&] { return display.WindowManagerRunning(); }, StartLimit);
}

} // namespace mw::test
