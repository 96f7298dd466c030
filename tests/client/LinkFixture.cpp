#include "client/LinkFixture.h"

#include <X11/Xatom.h>

#include <filesystem>
#include <unistd.h>

namespace mw::test {

namespace {
constexpr std::chrono::seconds WaitLimit{5};
}

void LinkFixture::StartDisplay(bool windowManager) {
    server_ = std::make_unique<XServer>();
    if (!server_->Problem().empty())
        GTEST_SKIP() << "No X server for this test: " << server_->Problem();
    own_ = std::make_unique<X11Display>(server_->Name());
    if (windowManager) {
        ASSERT_TRUE(server_->StartWindowManager()) << "the window manager did not start";
    }
}

FakeClient& LinkFixture::StartClient(const std::string& title) {
    return StartClientWith({"--net-name", title, "--wm-name", title});
}

FakeClient& LinkFixture::StartClientWith(std::vector<std::string> options) {
    FakeClient& client = clients_.emplace_back();
    client.LogPath = folder_.File("client" + std::to_string(clients_.size()) + ".log");
    std::vector<std::string> command{FAKE_CLIENT, "--log", client.LogPath};
    command.insert(command.end(), options.begin(), options.end());
    client.Process = std::make_unique<ChildProcess>(command, server_->Environment());
    auto ready = client.Process->ReadLine(WaitLimit);
    if (!ready || !ready->starts_with("ready "))
        throw std::runtime_error("the fake client did not start");
    client.Id = std::stoul(ready->substr(6));
    return client;
}

X11ClientLink LinkFixture::Link(NativeWindowId ownWindow) const {
    return X11ClientLink(server_->Name(), ownWindow);
}

std::string LinkFixture::WaitForText(const FakeClient& client, size_t length) const {
    PollUntil([&] { return std::filesystem::file_size(client.LogPath) >= length; }, WaitLimit);
    return ReadFile(client.LogPath);
}

Window LinkFixture::FocusedWindow() const {
    Window focus = None;
    int revertTo = 0;
    XGetInputFocus(Own(), &focus, &revertTo);
    return focus;
}

Window LinkFixture::CreateOwnWindow(const std::string& title) {
    Window window = XCreateSimpleWindow(Own(), DefaultRootWindow(Own()), 0, 0, 200, 100, 0, 0, 0);
    XStoreName(Own(), window, title.c_str());
    long pid = getpid();
    XChangeProperty(Own(), window, own_->NetWmPid, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&pid), 1);
    XMapWindow(Own(), window);
    PollUntil(
        [&] {
            XWindowAttributes attributes;
            return XGetWindowAttributes(Own(), window, &attributes) &&
                   attributes.map_state == IsViewable;
        },
        WaitLimit);
    return window;
}

void LinkFixture::GiveFocusTo(Window window) {
    XSetInputFocus(Own(), window, RevertToParent, CurrentTime);
    PollUntil([&] { return FocusedWindow() == window; }, WaitLimit);
}

} // namespace mw::test
