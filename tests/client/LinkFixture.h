#pragma once

// GoogleTest first: X11's macros (None, Bool) would break its declarations.
#include <gtest/gtest.h>

#include "TestLibrary.h"
#include "client/x11/X11ClientLink.h"

#include <deque>
#include <sys/types.h>

namespace mw::test {

constexpr const char* ClientTitle = "Ultima Online";
constexpr const char* DecoyTitle = "Ultima Online Launcher";

// A program run for a test, ended (SIGTERM, then reaped) with the object; its error output is
// discarded. One that cannot start reads as a program that printed nothing.
class ChildProcess {
public:
    explicit ChildProcess(std::vector<std::string> command);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    // The next line of its output; empty when none came within ten seconds.
    std::string ReadLine() const;

private:
    pid_t pid_ = -1;
    int output_ = -1;
};

// A fake game client: its process, its window and the log of the characters it received.
struct FakeClient {
    std::unique_ptr<ChildProcess> Process;
    Window Id = None;
    std::string LogPath;
};

// A test on an Xvfb server of its own, so that tests can run side by side, with fake clients and
// a connection of the test's own.
class LinkFixture : public ::testing::Test {
protected:
    // Skips the test when Xvfb cannot start on this machine.
    void StartDisplay(bool windowManager);

    // A fake client whose _NET_WM_NAME and WM_NAME are `title`.
    FakeClient& StartClient(const std::string& title);
    // A fake client with the given options (see fake_client.cpp); waits until it is shown.
    FakeClient& StartClientWith(std::vector<std::string> options);
    X11ClientLink Link(NativeWindowId ownWindow = 0) const {
        return X11ClientLink(name_, ownWindow);
    }

    // What the client received once it has at least `length` bytes (or after a few seconds).
    std::string WaitForText(const FakeClient& client, size_t length) const;
    Window FocusedWindow() const;
    // A shown window of the test's own process, which the link must never take for the client.
    Window CreateOwnWindow(const std::string& title);
    void GiveFocusTo(Window window);
    Display* Own() const { return own_->Get(); }

private:
    std::unique_ptr<ChildProcess> server_, windowManager_;
    std::string name_; // the display's name
    std::unique_ptr<X11Display> own_;
    TempFolder folder_;
    std::deque<FakeClient> clients_;
};

} // namespace mw::test
