#include "client/LinkFixture.h"

#include <X11/Xatom.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace mw::test {

namespace {
constexpr std::chrono::seconds WaitLimit{10}; // generous: other builds share the machine
}

ChildProcess::ChildProcess(std::vector<std::string> command) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) throw std::runtime_error("cannot create a pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (auto& word : command)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    if (posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(ends[1]);
    output_ = ends[0];
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    close(output_);
}

std::string ChildProcess::ReadLine() const {
    std::string line;
    char c = 0;
    pollfd ready{output_, POLLIN, 0};
    while (poll(&ready, 1, 10000) > 0 && read(output_, &c, 1) == 1 && c != '\n')
        line += c;
    return line;
}

void LinkFixture::StartDisplay(bool windowManager) {
    // -displayfd 1: the server takes a free display and writes its number once it is ready.
    server_ = std::make_unique<ChildProcess>(std::vector<std::string>{
        "Xvfb", "-displayfd", "1", "-nolisten", "tcp", "-noreset", "-screen", "0", "640x480x24"});
    std::string number = server_->ReadLine();
    if (number.empty()) GTEST_SKIP() << "Xvfb did not start on this machine";
    name_ = ":" + number;
    own_ = std::make_unique<X11Display>(name_);
    if (!windowManager) return;
    windowManager_ = std::make_unique<ChildProcess>(std::vector<std::string>{
        "matchbox-window-manager", "-display", name_, "-use_titlebar", "no"});
    XErrorTrap trap(Own());
    ASSERT_TRUE(PollUntil([&] { return own_->WindowManagerRunning(); }, WaitLimit))
        << "the window manager did not start";
}

FakeClient& LinkFixture::StartClient(const std::string& title) {
    return StartClientWith({"--net-name", title, "--wm-name", title});
}

FakeClient& LinkFixture::StartClientWith(std::vector<std::string> options) {
    FakeClient& client = clients_.emplace_back();
    client.LogPath = folder_.File("client" + std::to_string(clients_.size()) + ".log");
    std::vector<std::string> command{FAKE_CLIENT, "--display", name_, "--log", client.LogPath};
    command.insert(command.end(), options.begin(), options.end());
    client.Process = std::make_unique<ChildProcess>(command);
    std::string ready = client.Process->ReadLine();
    if (!ready.starts_with("ready ")) throw std::runtime_error("the fake client did not start");
    client.Id = std::stoul(ready.substr(6));
    return client;
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
    XWindowAttributes shown;
    auto viewable = [&] {
        return XGetWindowAttributes(Own(), window, &shown) && shown.map_state == IsViewable;
    };
    PollUntil(viewable, WaitLimit);
    return window;
}

void LinkFixture::GiveFocusTo(Window window) {
    XSetInputFocus(Own(), window, RevertToParent, CurrentTime);
    PollUntil([&] { return FocusedWindow() == window; }, WaitLimit);
}

} // namespace mw::test
