#include "client/x11/X11Windows.h"

#include <X11/Xatom.h>

#include <deque>

namespace mw {

namespace {
std::vector<Window> Children(const X11Display& x, Window window) {
    Window root = None, parent = None, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(x.Get(), window, &root, &parent, &children, &count)) return {};
    std::vector<Window> list(children, children + count);
    if (children) XFree(children);
    return list;
}

Window ParentOf(const X11Display& x, Window window) {
    Window root = None, parent = None, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(x.Get(), window, &root, &parent, &children, &count)) return None;
    if (children) XFree(children);
    return parent;
}

// A reparenting window manager puts the client inside frames; the client is the window that
// carries WM_STATE. A top-level without one is its own client.
Window ClientWindowOf(const X11Display& x, Window topLevel) {
    if (x.HasWmState(topLevel)) return topLevel;
    std::deque<Window> pending{topLevel};
    while (!pending.empty()) {
        for (Window child : Children(x, pending.front())) {
            if (x.HasWmState(child)) return child;
            pending.push_back(child);
        }
        pending.pop_front();
    }
    return topLevel;
}

// Hidden windows are no candidates, but an iconified client (unmapped, with WM_STATE) is.
bool IsShown(const X11Display& x, Window topLevel, Window client) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(x.Get(), topLevel, &attributes)) return false;
    return attributes.map_state != IsUnmapped || x.HasWmState(client);
}

std::vector<Window> RootChildrenTopmostFirst(const X11Display& x) {
    std::vector<Window> clients;
    auto children = Children(x, x.Root()); // bottom to top
    for (auto child = children.rbegin(); child != children.rend(); ++child) {
        Window client = ClientWindowOf(x, *child);
        if (IsShown(x, *child, client)) clients.push_back(client);
    }
    return clients;
}

void SendActiveWindowMessage(const X11Display& x, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = x.NetActiveWindow;
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2; // source: a tool acting for the user, which managers obey
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(x.Get(), x.Root(), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
}
} // namespace

std::vector<Window> ClientWindowsTopmostFirst(const X11Display& x, bool windowManager) {
    if (windowManager) {
        // The manager lists its clients bottom to top.
        if (auto stacking = x.ReadNumbers(x.Root(), x.NetClientListStacking, XA_WINDOW))
            return std::vector<Window>(stacking->rbegin(), stacking->rend());
    }
    return RootChildrenTopmostFirst(x);
}

Window FindClientWindow(const X11Display& x, const std::string& title, bool windowManager,
                        const WindowTest& isOurs) {
    Window prefixMatch = None;
    for (Window window : ClientWindowsTopmostFirst(x, windowManager)) {
        auto name = x.ReadTitle(window);
        if (!name || !name->starts_with(title) || isOurs(window)) continue;
        if (*name == title) return window;
        if (prefixMatch == None) prefixMatch = window;
    }
    return prefixMatch;
}

bool FocusIsWithin(const X11Display& x, const WindowTest& test) {
    Window focus = None;
    int revertTo = 0;
    XGetInputFocus(x.Get(), &focus, &revertTo);
    if (focus == None || focus == PointerRoot) return false;
    for (Window window = focus; window != None && window != x.Root();
         window = ParentOf(x, window)) {
        if (test(window)) return true;
    }
    return false;
}

bool FocusIsOn(const X11Display& x, Window window) {
    return FocusIsWithin(x, [window](Window candidate) { return candidate == window; });
}

bool RequestActivation(const X11Display& x, Window window, bool windowManager) {
    if (windowManager) {
        SendActiveWindowMessage(x, window);
        return true;
    }
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(x.Get(), window, &attributes)) return false;
    if (attributes.map_state != IsViewable) {
        XMapRaised(x.Get(), window);
        return false;
    }
    XRaiseWindow(x.Get(), window);
    XSetInputFocus(x.Get(), window, RevertToParent, CurrentTime);
    return true;
}

bool WindowExists(const X11Display& x, Window window) {
    XWindowAttributes attributes;
    return XGetWindowAttributes(x.Get(), window, &attributes) != 0;
}

} // namespace mw
