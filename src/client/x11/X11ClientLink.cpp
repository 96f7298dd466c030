#include "client/x11/X11ClientLink.h"

#include "client/x11/X11Keyboard.h"
#include "client/x11/X11Windows.h"

#include <X11/Xatom.h>

#include <optional>
#include <unistd.h>

namespace mw {

namespace {
std::string HostName() {
    char name[256] = {};
    gethostname(name, sizeof name - 1);
    return name;
}
} // namespace

std::unique_ptr<ClientLink> OpenClientLink(NativeWindowId ownWindow) {
    return std::make_unique<X11ClientLink>(std::string(), ownWindow);
}

X11ClientLink::X11ClientLink(std::string displayName, NativeWindowId ownWindow)
    : displayName_(std::move(displayName)), ownWindow_(static_cast<Window>(ownWindow)),
      hostName_(HostName()) {}

X11Display& X11ClientLink::Connection() {
    if (!display_) display_ = std::make_unique<X11Display>(displayName_);
    return *display_;
}

// Our windows carry our process id, as toolkits set it; the id alone could be another host's.
bool X11ClientLink::BelongsToUs(Window window) const {
    if (ownWindow_ != None && window == ownWindow_) return true;
    auto pid = display_->ReadNumbers(window, display_->NetWmPid, XA_CARDINAL);
    if (!pid || pid->empty() || pid->front() != static_cast<unsigned long>(getpid())) return false;
    auto host = display_->ReadBytes(window, XA_WM_CLIENT_MACHINE, XA_STRING);
    return !host || *host == hostName_;
}

bool X11ClientLink::ClientFocused() const {
    return FocusIsOn(*display_, client_);
}

void X11ClientLink::ActivateWindow(const std::string& title, bool waitForOurFocus) {
    X11Display& x = Connection();
    XErrorTrap trap(x.Get());
    client_ = None;
    WindowTest ours = [this](Window window) { return BelongsToUs(window); };
    if (waitForOurFocus && !PollUntil([&] { return FocusIsWithin(x, ours); }, FocusWaitLimit))
        throw OurFocusMissingError();
    bool windowManager = x.WindowManagerRunning();
    Window window = FindClientWindow(x, title, windowManager, ours);
    if (window == None) throw ClientNotRunningError(title);
    Activate(window, windowManager, title);
    client_ = window;
}

void X11ClientLink::Activate(Window window, bool windowManager, const std::string& title) {
    X11Display& x = *display_;
    bool requested = false;
    auto focused = [&] {
        if (!requested) requested = RequestActivation(x, window, windowManager);
        return requested && FocusIsOn(x, window);
    };
    if (PollUntil(focused, FocusWaitLimit)) return;
    if (!WindowExists(x, window))
        throw ClientNotActivatedError(title, "its window closed while it was being activated");
    throw ClientNotActivatedError(title, "it did not take the keyboard focus within a second");
}

bool X11ClientLink::ClientHasFocus() {
    if (!display_ || client_ == None) return false;
    XErrorTrap trap(display_->Get());
    return ClientFocused();
}

void X11ClientLink::SendKeys(const std::string& keys) {
    std::u32string characters = DecodeKeys(keys);
    if (!display_ || client_ == None) throw ClientFocusLostError(0);
    XErrorTrap trap(display_->Get());
    X11Keyboard keyboard(display_->Get());
    std::vector<KeyStroke> strokes = keyboard.Plan(characters);
    std::optional<PlainModifiers> plain; // set up only once something is typed
    for (size_t i = 0; i < strokes.size(); ++i) {
        if (!ClientFocused()) throw ClientFocusLostError(i);
        if (!plain) plain.emplace(display_->Get());
        keyboard.Type(strokes[i]);
    }
}

} // namespace mw
