#pragma once

#include <X11/Xlib.h>

#include <optional>
#include <string>
#include <vector>

namespace mw {

// Catches the X errors of one display while it lives, so that a window that vanishes half way
// makes a call fail instead of ending the program, as Xlib's own handler would.
class XErrorTrap {
public:
    explicit XErrorTrap(Display* display);
    ~XErrorTrap();
    XErrorTrap(const XErrorTrap&) = delete;
    XErrorTrap& operator=(const XErrorTrap&) = delete;

    // Waits until the server has handled every request sent so far; true when any of them
    // failed since the trap was set or since the last call.
    bool SyncFailed();

private:
    static int Handle(Display* display, XErrorEvent* error);

    Display* display_;
    XErrorTrap* outer_;
    unsigned long errors_ = 0;
};

// One connection to an X server with the atoms the client link reads. Its readers expect an
// XErrorTrap to be set, and answer "nothing" for a window that has gone.
class X11Display {
public:
    // Opens `name`, or $DISPLAY when it is empty; throws err::ClientUnreachable saying why not.
    explicit X11Display(const std::string& name);
    ~X11Display();
    X11Display(const X11Display&) = delete;
    X11Display& operator=(const X11Display&) = delete;

    Display* Get() const { return display_; }
    Window Root() const { return DefaultRootWindow(display_); }

    // A property of 8-bit items of the given type, as bytes.
    std::optional<std::string> ReadBytes(Window window, Atom property, Atom type) const;
    // A property of 32-bit items (CARDINAL, WINDOW) of the given type.
    std::optional<std::vector<unsigned long>> ReadNumbers(Window window, Atom property,
                                                          Atom type) const;
    // The window's title in UTF-8: _NET_WM_NAME, else WM_NAME in whatever encoding it has.
    std::optional<std::string> ReadTitle(Window window) const;
    bool HasWmState(Window window) const;
    // True when an EWMH window manager is running (its check window exists and names itself).
    bool WindowManagerRunning() const;

    const Atom NetWmName, Utf8String, NetWmPid, NetClientListStacking, NetActiveWindow,
        NetSupportingWmCheck, WmState;

private:
    explicit X11Display(Display* display);
    static Display* Open(const std::string& name);
    std::optional<std::string> ReadLegacyTitle(Window window) const;

    Display* display_;
};

} // namespace mw
