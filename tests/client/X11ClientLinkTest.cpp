#include "client/LinkFixture.h"
#include "client/x11/X11Windows.h"

#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <cstdlib>

namespace mw::test {

namespace {

// Activation and focus, once with a window manager and once without.
class ActivationTest : public LinkFixture, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override { StartDisplay(GetParam()); }
};

INSTANTIATE_TEST_SUITE_P(Desktop, ActivationTest, ::testing::Values(false, true),
                         [](const auto& info) {
                             return info.param ? "WithWindowManager" : "WithoutWindowManager";
                         });

TEST_P(ActivationTest, ExactTitleWinsOverPrefixAndTheTopmostOverTheOthers) {
    FakeClient& decoy = StartClient(DecoyTitle);
    auto link = Link();
    link.ActivateWindow(ClientTitle, false);
    EXPECT_EQ(FocusedWindow(), decoy.Id); // a prefix match when no title is exact
    FakeClient& client = StartClient(ClientTitle);
    link.ActivateWindow(DecoyTitle, false); // the decoy on top again
    link.ActivateWindow(ClientTitle, false);
    EXPECT_EQ(FocusedWindow(), client.Id);
    EXPECT_TRUE(link.ClientHasFocus());
    FakeClient& upper = StartClient(ClientTitle);
    link.ActivateWindow(ClientTitle, false);
    EXPECT_EQ(FocusedWindow(), upper.Id);
}

TEST_P(ActivationTest, NoMatchingWindowMeansNotRunning) {
    StartClient("ultima online"); // titles compare case-sensitively
    StartClient("Ultima");
    CreateOwnWindow(ClientTitle); // our own process is never the client
    auto link = Link();
    EXPECT_EQ(FailureNumber([&] { link.ActivateWindow(ClientTitle, false); }),
              err::ClientNotRunning);
    EXPECT_FALSE(link.ClientHasFocus());

    FakeClient& named = StartClient(ClientTitle); // the window the program says is its own
    auto ownerLink = Link(named.Id);
    EXPECT_EQ(FailureNumber([&] { ownerLink.ActivateWindow(ClientTitle, false); }),
              err::ClientNotRunning);
}

TEST_P(ActivationTest, FocusMovedAwayIsNoticedBeforeTyping) {
    FakeClient& client = StartClient(ClientTitle);
    FakeClient& decoy = StartClient(DecoyTitle);
    auto link = Link();
    link.ActivateWindow(ClientTitle, false);
    Link().ActivateWindow(DecoyTitle, false); // the user clicks another window
    EXPECT_FALSE(link.ClientHasFocus());
    EXPECT_EQ(FailureNumber([&] { link.SendKeys(CommandKeys(".nuke")); }), err::ClientFocusLost);
    XSync(Own(), False);
    EXPECT_EQ(ReadFile(client.LogPath), "");
    EXPECT_EQ(ReadFile(decoy.LogPath), "");
}

TEST_P(ActivationTest, WaitsUntilOurWindowHasTheFocus) {
    FakeClient& client = StartClient(ClientTitle);
    Window own = CreateOwnWindow("MultiWardstone");
    GiveFocusTo(own);
    auto link = Link();
    link.ActivateWindow(ClientTitle, true);
    EXPECT_EQ(FocusedWindow(), client.Id);

    // Now the client has the focus, not us: the wait ends without activating anything.
    GiveFocusTo(StartClient(DecoyTitle).Id);
    Window before = FocusedWindow();
    EXPECT_EQ(FailureNumber([&] { link.ActivateWindow(ClientTitle, true); }),
              err::ClientNotActivated);
    EXPECT_EQ(FocusedWindow(), before);
}

// A manager that lists no stacking order leaves the search to the root's children, which are
// then the manager's frames: the clients are found inside them, in the same order.
TEST_P(ActivationTest, SearchWithoutStackingListFindsClientsInFrames) {
    FakeClient& lower = StartClient(ClientTitle);
    FakeClient& upper = StartClient(DecoyTitle);
    X11Display display(DisplayString(Own()));
    XErrorTrap trap(display.Get());
    std::vector<Window> ours;
    for (Window window : ClientWindowsTopmostFirst(display, false)) {
        if (window == lower.Id || window == upper.Id) ours.push_back(window);
    }
    EXPECT_EQ(ours, (std::vector<Window>{upper.Id, lower.Id}));
}

// Typing and the window search's details need no window manager.
class TypingTest : public LinkFixture {
protected:
    void SetUp() override { StartDisplay(false); }
};

TEST_F(TypingTest, EachCommandArrivesExactly) {
    FakeClient& client = StartClient(ClientTitle);
    auto link = Link();
    link.ActivateWindow(ClientTitle, false);
    std::string expected;
    for (const char* command :
         {".unextract template.tmp 1", ".extract temp.tmp 1", ".nuke", "Mixed Case 0123456789"}) {
        link.SendKeys(CommandKeys(command));
        expected += CommandKeys(command);
    }
    EXPECT_EQ(WaitForText(client, expected.size()), expected);
}

TEST_F(TypingTest, CapsLockAndAHeldShiftChangeNothing) {
    FakeClient& client = StartClient(ClientTitle);
    XkbLockModifiers(Own(), XkbUseCoreKbd, LockMask, LockMask);
    XTestFakeKeyEvent(Own(), XKeysymToKeycode(Own(), XK_Shift_L), True, CurrentTime);
    XSync(Own(), False);
    auto link = Link();
    link.ActivateWindow(ClientTitle, false);
    std::string keys = CommandKeys(".unextract Template.tmp 1") + "LastKeys";
    link.SendKeys(keys);
    EXPECT_EQ(WaitForText(client, keys.size()), keys);
    XkbStateRec state;
    XkbGetState(Own(), XkbUseCoreKbd, &state);
    EXPECT_TRUE(state.locked_mods & LockMask) << "Caps Lock is on again afterwards";
}

TEST_F(TypingTest, WindowClosingHalfWayStopsTheTyping) {
    FakeClient& client = StartClientWith({"--net-name", ClientTitle, "--close-after", "3"});
    auto link = Link();
    link.ActivateWindow(ClientTitle, false);
    long failure = 0;
    PollUntil([&] { return (failure = FailureNumber([&] { link.SendKeys("x"); })) != 0; },
              std::chrono::seconds(5));
    EXPECT_EQ(failure, err::ClientFocusLost);
    EXPECT_EQ(ReadFile(client.LogPath), "xxx");
    EXPECT_EQ(FailureNumber([&] { link.ActivateWindow(ClientTitle, false); }),
              err::ClientNotRunning);
}

TEST_F(TypingTest, UntypableKeysTypeNothing) {
    FakeClient& client = StartClient(ClientTitle);
    auto link = Link();
    EXPECT_EQ(FailureNumber([&] { link.SendKeys("\n.nuke\n"); }), err::ClientFocusLost)
        << "keys go only to a window the link activated";
    link.ActivateWindow(ClientTitle, false);
    EXPECT_EQ(FailureNumber([&] { link.SendKeys("\n.nuke \u20AC\n"); }), err::ClientCannotType);
    EXPECT_EQ(FailureNumber([&] { link.SendKeys("\n.nuke \xFF\n"); }), err::ClientCannotType);
    EXPECT_EQ(FailureNumber([&] { link.SendKeys("\n.nuke\t\n"); }), err::ClientCannotType);
    XSync(Own(), False);
    EXPECT_EQ(ReadFile(client.LogPath), "");
}

TEST_F(TypingTest, NetWmNameComesBeforeWmName) {
    FakeClient& legacy = StartClientWith({"--wm-name", ClientTitle});
    StartClientWith({"--net-name", "Something else", "--wm-name", ClientTitle});
    auto link = Link();
    link.ActivateWindow(ClientTitle, false);
    EXPECT_EQ(FocusedWindow(), legacy.Id);
}

TEST_F(TypingTest, VanishedWindowIsAFailedCallNotTheEnd) {
    X11Display display(DisplayString(Own()));
    Window gone = CreateOwnWindow("gone");
    XDestroyWindow(Own(), gone);
    XSync(Own(), False);
    XErrorTrap trap(display.Get());
    EXPECT_FALSE(display.ReadTitle(gone));
    EXPECT_FALSE(RequestActivation(display, gone, false));
    EXPECT_TRUE(trap.SyncFailed());
}

TEST(X11ClientLinkTest, UnreachableDisplaySaysWhy) {
    X11ClientLink missing(":64999", 0);
    auto failure = FailureOf([&] { missing.ActivateWindow(ClientTitle, false); });
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->Number, err::ClientUnreachable);
    EXPECT_NE(failure->Description.find("\":64999\""), std::string::npos) << failure->Description;

    std::string saved = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    unsetenv("DISPLAY");
    X11ClientLink unset("", 0);
    failure = FailureOf([&] { unset.ActivateWindow(ClientTitle, false); });
    if (!saved.empty()) setenv("DISPLAY", saved.c_str(), 1);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->Number, err::ClientUnreachable);
    EXPECT_NE(failure->Description.find("DISPLAY"), std::string::npos) << failure->Description;
}

} // namespace
} // namespace mw::test
