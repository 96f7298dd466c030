#pragma once

#include "client/ClientLink.h"
#include "client/x11/X11Display.h"

#include <memory>
#include <string>

namespace mw {

// The client link on an X server: finds the client's window by its title, activates it and types
// into it with synthetic key events. The display is opened at the first use, so that a program
// without one still starts and reports the missing display when a command needs it.
class X11ClientLink final : public ClientLink {
public:
    // `displayName` empty: the display of $DISPLAY, the one the program's own windows are on.
    X11ClientLink(std::string displayName, NativeWindowId ownWindow);

    void ActivateWindow(const std::string& title, bool waitForOurFocus) override;
    bool ClientHasFocus() override;
    void SendKeys(const std::string& keys) override;

private:
    X11Display& Connection();
    bool BelongsToUs(Window window) const;
    bool ClientFocused() const;
    void Activate(Window window, bool windowManager, const std::string& title);

    std::string displayName_;
    Window ownWindow_;
    std::string hostName_;
    std::unique_ptr<X11Display> display_;
    Window client_ = None;
};

} // namespace mw
