#pragma once

#include "common/RunError.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace mw {

// A native window handle as the toolkit gives it (QWidget::winId): an X11 window id, or an HWND.
using NativeWindowId = std::uintptr_t;

// How the program reaches the game client: it brings the client's window to the front and types
// into it, and nothing else. Every failure is a RunError with one of the err::Client... numbers.
class ClientLink {
public:
    virtual ~ClientLink() = default;

    // Brings the top-level window titled `title` (or, when none has exactly that title, the
    // topmost one whose title begins with it) to the front and waits until it has the keyboard
    // focus. With `waitForOurFocus`, first waits until this program has the focus.
    // Throws err::ClientNotRunning when no window matches, err::ClientNotActivated when the focus
    // did not arrive (or this program did not get it while waiting), err::ClientUnreachable when
    // there is no window system to talk to. Each wait lasts FocusWaitLimit at most.
    virtual void ActivateWindow(const std::string& title, bool waitForOurFocus) = 0;

    // True while the window of the last successful activation has the keyboard focus.
    virtual bool ClientHasFocus() = 0;

    // Types `keys` (UTF-8; '\n' is the Enter key) into the client window and returns without
    // waiting for the client to read them. Checks before every key that the client window still
    // has the focus, so that nothing is ever typed into another program: throws
    // err::ClientFocusLost when it has not, err::ClientCannotType before typing anything when a
    // character cannot be typed.
    virtual void SendKeys(const std::string& keys) = 0;
};

// How long an activation waits for the focus to arrive.
constexpr std::chrono::milliseconds FocusWaitLimit{1000};

// Asks `done` every few milliseconds until it answers true (then true) or `limit` has passed.
bool PollUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

// The keys that enter a server command in the client: Enter, the command text, Enter.
std::string CommandKeys(const std::string& command);

// The characters of `keys`, decoded from UTF-8; throws err::ClientCannotType on broken UTF-8.
std::u32string DecodeKeys(const std::string& keys);

// The platform's link: X11 on Linux, the Windows backend on Windows. `ownWindow` is the program's
// main window; windows of this process are never taken for the client.
std::unique_ptr<ClientLink> OpenClientLink(NativeWindowId ownWindow);

// The failures every backend reports, with the same wording everywhere.
RunError ClientNotRunningError(const std::string& title);
RunError ClientNotActivatedError(const std::string& title, const std::string& why);
RunError OurFocusMissingError();
RunError ClientFocusLostError(size_t keysTyped);
RunError ClientUnreachableError(const std::string& why);
RunError ClientCannotTypeError(char32_t character);

} // namespace mw
