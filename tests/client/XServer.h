#pragma once

#include "client/ChildProcess.h"

#include <memory>
#include <string>
#include <vector>

namespace mw::test {

// An Xvfb server of its own for one test, on a free display it picks itself, so that tests can
// run side by side; optionally with a window manager.
class XServer {
public:
    XServer(); // Problem() says why when the server could not start
    const std::string& Name() const { return name_; }
    const std::string& Problem() const { return problem_; }
    std::vector<std::string> Environment() const { return {"DISPLAY=" + name_}; }

    // Starts the window manager and waits until it has announced itself; false when it failed.
    bool StartWindowManager();

private:
    std::string name_, problem_;
    std::unique_ptr<ChildProcess> server_, windowManager_;
};

} // namespace mw::test
