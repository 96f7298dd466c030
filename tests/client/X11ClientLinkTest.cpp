#include "Refusals.h"
#include "client/LinkFixture.h"
#include "client/x11/X11Windows.h"

#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>

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

    // A manager that lists no stacking order leaves the search to the root's children, which are
    // then the manager's frames: the clients are found inside them, in the same order.
    X11Display display(DisplayString(Own()));
    XErrorTrap trap(display.Get());
    std::vector<Window> found, expected{upper.Id, client.Id, decoy.Id};
    for (Window window : ClientWindowsTopmostFirst(display, false))
        if (std::ranges::find(expected, window) != expected.end()) found.push_back(window);
    EXPECT_EQ(found, expected);
}

TEST_P(ActivationTest, NoMatchingWindowMeansNotRunning) {
    StartClient("ultima online"); // titles compare case-sensitively
    StartClient("Ultima");
    // _NET_WM_NAME, when a window has one, is its title rather than WM_NAME.
    StartClientWith({"--net-name", "Something else", "--wm-name", ClientTitle});
    CreateOwnWindow(ClientTitle); // our own process is never the client
    auto link = Link();
    EXPECT_EQ(FailureNumber([&] { link.ActivateWindow(ClientTitle, false); }),
              err::ClientNotRunning);
    EXPECT_FALSE(link.ClientHasFocus());

    FakeClient& legacy = StartClientWith({"--wm-name", ClientTitle}); // a title in WM_NAME only
    auto ownerLink = Link(legacy.Id); // the window the program says is its own
    EXPECT_EQ(FailureNumber([&] { ownerLink.ActivateWindow(ClientTitle, false); }),
              err::ClientNotRunning);
    link.ActivateWindow(ClientTitle, false);
    EXPECT_EQ(FocusedWindow(), legacy.Id);
}

TEST_P(ActivationTest, FocusMovedAwayIsNoticedBeforeTyping) {
    FakeClient& client = StartClient(ClientTitle);
    FakeClient& decoy = StartClient(DecoyTitle);
    auto link = Link(), other = Link();
    link.ActivateWindow(ClientTitle, false);
    other.ActivateWindow(DecoyTitle, false); // the user clicks another window
    EXPECT_FALSE(link.ClientHasFocus());
    EXPECT_EQ(FailureNumber([&] { link.SendKeys(CommandKeys(".nuke")); }), err::ClientFocusLost);
    other.SendKeys("ok"); // keys arrive in order: a stray key would come before these
    EXPECT_EQ(WaitForText(decoy, 2), "ok");
    EXPECT_EQ(ReadFile(client.LogPath), "");
}

TEST_P(ActivationTest, WaitsUntilOurWindowHasTheFocus) {
    FakeClient& client = StartClient(ClientTitle);
    GiveFocusTo(CreateOwnWindow("MultiWardstone"));
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

// Typing and the X error handling need no window manager.
class TypingTest : public LinkFixture {
protected:
    void SetUp() override { StartDisplay(false); }
};

// Caps Lock and a held Shift would change what arrives: the link types around them and puts
// Caps Lock back afterwards.
TEST_F(TypingTest, TheTextArrivesExactlyWhateverTheModifiers) {
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

    XkbLockModifiers(Own(), XkbUseCoreKbd, LockMask, LockMask);
    XTestFakeKeyEvent(Own(), XKeysymToKeycode(Own(), XK_Shift_L), True, CurrentTime);
    XSync(Own(), False);
    std::string keys = CommandKeys(".unextract Template.tmp 1") + "LastKeys";
    link.SendKeys(keys);
    expected += keys;
    EXPECT_EQ(WaitForText(client, expected.size()), expected);
    XkbStateRec state;
    XkbGetState(Own(), XkbUseCoreKbd, &state);
    EXPECT_TRUE(state.locked_mods & LockMask) << "Caps Lock is on again afterwards";
}

// All the keys in one call, far more than are typed before the client has gone: the focus is
// checked between keys, not only before the first.
TEST_F(TypingTest, WindowClosingHalfWayStopsTheTyping) {
    FakeClient& client = StartClientWith({"--net-name", ClientTitle, "--close-after", "3"});
    auto link = Link();
    link.ActivateWindow(ClientTitle, false);
    EXPECT_EQ(FailureNumber([&] { link.SendKeys(std::string(20000, 'x')); }), err::ClientFocusLost);
    EXPECT_EQ(ReadFile(client.LogPath), "xxx");
}

TEST_F(TypingTest, UntypableKeysTypeNothing) {
    FakeClient& client = StartClient(ClientTitle);
    auto link = Link();
    EXPECT_EQ(FailureNumber([&] { link.SendKeys("\n.nuke\n"); }), err::ClientFocusLost)
        << "keys go only to a window the link activated";
    link.ActivateWindow(ClientTitle, false);
    // Not in the layout, broken UTF-8, a control character other than Enter.
    for (const char* keys : {"\n.nuke \u20AC\n", "\n.nuke \xFF\n", "\n.nuke\t\n"})
        EXPECT_EQ(FailureNumber([&] { link.SendKeys(keys); }), err::ClientCannotType) << keys;
    XSync(Own(), False);
    EXPECT_EQ(ReadFile(client.LogPath), "");
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
    X11ClientLink link(":64999", 0);
    ExpectRefused([&] { link.ActivateWindow(ClientTitle, false); }, err::ClientUnreachable,
                  {"\":64999\""});
}

} // namespace
} // namespace mw::test
