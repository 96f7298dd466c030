#include "client/x11/X11Display.h"

#include "client/ClientLink.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <cstdlib>

namespace mw {

namespace {
XErrorTrap* innermostTrap = nullptr;
XErrorHandler handlerBeforeTraps = nullptr;

// Enough for any title or window list; longer values are cut, not refused.
constexpr long MaxPropertyLongs = 1 << 16;

// A property as Xlib hands it over, freed with the object.
struct RawProperty {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned char* data = nullptr;
    ~RawProperty() {
        if (data) XFree(data);
    }
    bool Fetch(Display* display, Window window, Atom property) {
        unsigned long remaining = 0;
        return XGetWindowProperty(display, window, property, 0, MaxPropertyLongs, False,
                                  AnyPropertyType, &type, &format, &count, &remaining,
                                  &data) == Success &&
               type != None;
    }
    std::string Bytes() const { return std::string(reinterpret_cast<char*>(data), count); }
};

std::string Latin1ToUtf8(const std::string& text) {
    std::string utf8;
    for (unsigned char c : text) {
        if (c < 0x80) {
            utf8 += static_cast<char>(c);
        } else {
            utf8 += static_cast<char>(0xC0 | (c >> 6));
            utf8 += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return utf8;
}
} // namespace

XErrorTrap::XErrorTrap(Display* display) : display_(display), outer_(innermostTrap) {
    if (!outer_) handlerBeforeTraps = XSetErrorHandler(&XErrorTrap::Handle);
    innermostTrap = this;
}

XErrorTrap::~XErrorTrap() {
    XSync(display_, False); // errors of our requests must reach this trap, not the next handler
    innermostTrap = outer_;
    if (!outer_) XSetErrorHandler(handlerBeforeTraps);
}

bool XErrorTrap::SyncFailed() {
    XSync(display_, False);
    bool failed = errors_ > 0;
    errors_ = 0;
    return failed;
}

int XErrorTrap::Handle(Display* display, XErrorEvent* error) {
    for (XErrorTrap* trap = innermostTrap; trap; trap = trap->outer_) {
        if (trap->display_ == display) {
            ++trap->errors_;
            return 0;
        }
    }
    // Another connection of the process: its owner decides.
    return handlerBeforeTraps ? handlerBeforeTraps(display, error) : 0;
}

Display* X11Display::Open(const std::string& name) {
    std::string target = name;
    if (const char* variable = std::getenv("DISPLAY"); target.empty() && variable)
        target = variable;
    if (target.empty())
        throw ClientUnreachableError("no X display is set (DISPLAY is empty); in a Wayland "
                                     "session the link needs XWayland");
    Display* display = XOpenDisplay(target.c_str());
    if (!display)
        throw ClientUnreachableError("the X display \"" + target +
                                     "\" cannot be opened; is its X server (or XWayland) "
                                     "running?");
    int event = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion, opcode = 0;
    const char* missing = !XTestQueryExtension(display, &event, &error, &major, &minor) ? "XTEST"
                          : !XkbQueryExtension(display, &opcode, &event, &error, &major, &minor)
                              ? "XKEYBOARD"
                              : nullptr;
    if (missing) {
        XCloseDisplay(display);
        throw ClientUnreachableError("the X server of \"" + target + "\" lacks the " + missing +
                                     " extension needed to type into other programs");
    }
    return display;
}

X11Display::X11Display(const std::string& name) : X11Display(Open(name)) {}

X11Display::X11Display(Display* display)
    : NetWmName(XInternAtom(display, "_NET_WM_NAME", False)),
      Utf8String(XInternAtom(display, "UTF8_STRING", False)),
      NetWmPid(XInternAtom(display, "_NET_WM_PID", False)),
      NetClientListStacking(XInternAtom(display, "_NET_CLIENT_LIST_STACKING", False)),
      NetActiveWindow(XInternAtom(display, "_NET_ACTIVE_WINDOW", False)),
      NetSupportingWmCheck(XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False)),
      WmState(XInternAtom(display, "WM_STATE", False)), display_(display) {}

X11Display::~X11Display() {
    XCloseDisplay(display_);
}

std::optional<std::string> X11Display::ReadBytes(Window window, Atom property, Atom type) const {
    RawProperty value;
    if (!value.Fetch(display_, window, property) || value.type != type || value.format != 8)
        return std::nullopt;
    return value.Bytes();
}

std::optional<std::vector<unsigned long>> X11Display::ReadNumbers(Window window, Atom property,
                                                                  Atom type) const {
    RawProperty value;
    if (!value.Fetch(display_, window, property) || value.type != type || value.format != 32)
        return std::nullopt;
    // Xlib hands 32-bit items over as longs, whatever the size of a long.
    auto* items = reinterpret_cast<unsigned long*>(value.data);
    return std::vector<unsigned long>(items, items + value.count);
}

std::optional<std::string> X11Display::ReadTitle(Window window) const {
    if (auto title = ReadBytes(window, NetWmName, Utf8String)) return title;
    return ReadLegacyTitle(window);
}

std::optional<std::string> X11Display::ReadLegacyTitle(Window window) const {
    RawProperty value;
    if (!value.Fetch(display_, window, XA_WM_NAME) || value.format != 8) return std::nullopt;
    if (value.type == XA_STRING) return Latin1ToUtf8(value.Bytes());
    if (value.type == Utf8String) return value.Bytes();
    // Compound text: Xlib knows how to convert it.
    XTextProperty text{value.data, value.type, value.format, value.count};
    char** list = nullptr;
    int count = 0;
    if (Xutf8TextPropertyToTextList(display_, &text, &list, &count) < Success || count < 1)
        return std::nullopt;
    std::string title = list[0];
    XFreeStringList(list);
    return title;
}

bool X11Display::HasWmState(Window window) const {
    RawProperty value;
    return value.Fetch(display_, window, WmState);
}

bool X11Display::WindowManagerRunning() const {
    auto check = ReadNumbers(Root(), NetSupportingWmCheck, XA_WINDOW);
    if (!check || check->empty()) return false;
    // A window manager that has exited leaves the root's property behind, but not its window.
    auto self = ReadNumbers(check->front(), NetSupportingWmCheck, XA_WINDOW);
    return self && !self->empty() && self->front() == check->front();
}

} // namespace mw
