#pragma once

#include "client/ClientLink.h"

#include <string>
#include <vector>

namespace mw::test {

// The client link of the window commands' tests: records what the commands asked for and fails
// the way the test tells it to, as a real client window would.
class RecordingClientLink final : public ClientLink {
public:
    struct Activation {
        std::string Title;
        bool WaitForOurFocus = false;
        bool operator==(const Activation&) const = default;
    };

    void ActivateWindow(const std::string& title, bool waitForOurFocus) override {
        Activations.push_back({title, waitForOurFocus});
        clientFocused_ = ClientRunning;
        if (!ClientRunning) throw ClientNotRunningError(title);
    }

    bool ClientHasFocus() override { return clientFocused_; }

    void SendKeys(const std::string& keys) override {
        if (!clientFocused_) throw ClientFocusLostError(0);
        Typed += keys;
    }

    // The user clicks another program after the activation.
    void LoseFocus() { clientFocused_ = false; }

    bool ClientRunning = true; // false: no window matches, every activation fails
    std::vector<Activation> Activations;
    std::string Typed; // every key typed so far, Enter as '\n'

private:
    bool clientFocused_ = false;
};

} // namespace mw::test
