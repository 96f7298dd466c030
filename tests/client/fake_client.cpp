// A stand-in for the game client in the link's tests: one top-level window that writes every
// character it receives to a log file, Enter as a line end. Prints "ready <window id>" once its
// window is shown.
//   fake_client --log FILE [--net-name TITLE] [--wm-name TITLE] [--close-after N]
// --net-name sets _NET_WM_NAME, --wm-name sets WM_NAME; --close-after closes the window after N
// characters, as a client that quits in the middle of a command.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <unistd.h>

namespace {
using Options = std::map<std::string, std::string>; // option name to value

Options ReadOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2)
        options[argv[i]] = argv[i + 1];
    return options;
}

void SetText(Display* display, Window window, const char* property, const char* type,
             const std::string& text) {
    XChangeProperty(display, window, XInternAtom(display, property, False),
                    XInternAtom(display, type, False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(text.data()),
                    static_cast<int>(text.size()));
}

Window CreateWindow(Display* display, const Options& options, int argc, char** argv) {
    Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 320, 200, 0, 0, 0xFFFFFF);
    XWMHints hints{};
    hints.flags = InputHint;
    hints.input = True;
    XSetWMProperties(display, window, nullptr, nullptr, argv, argc, nullptr, &hints, nullptr);
    if (options.count("--net-name"))
        SetText(display, window, "_NET_WM_NAME", "UTF8_STRING", options.at("--net-name"));
    if (options.count("--wm-name"))
        SetText(display, window, "WM_NAME", "STRING", options.at("--wm-name"));
    long pid = getpid();
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(&pid), 1);
    XSelectInput(display, window, KeyPressMask | StructureNotifyMask);
    XMapWindow(display, window);
    return window;
}

// The characters a key press gives, with the state the server reports; Enter as "\n".
std::string Characters(XKeyEvent& key) {
    char text[32];
    KeySym symbol = NoSymbol;
    int length = XLookupString(&key, text, sizeof text, &symbol, nullptr);
    std::string characters(text, static_cast<size_t>(length > 0 ? length : 0));
    return characters == "\r" ? "\n" : characters;
}
} // namespace

int main(int argc, char** argv) {
    Options options = ReadOptions(argc, argv);
    Display* display = XOpenDisplay(nullptr);
    FILE* log = std::fopen(options["--log"].c_str(), "ab");
    long closeAfter =
        options.count("--close-after") ? std::atol(options["--close-after"].c_str()) : -1;
    if (!display || !log) return 2;
    Window window = CreateWindow(display, options, argc, argv);
    long received = 0;
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify) {
            std::printf("ready %lu\n", window);
            std::fflush(stdout);
        } else if (event.type == KeyPress) {
            std::string characters = Characters(event.xkey);
            std::fwrite(characters.data(), 1, characters.size(), log);
            std::fflush(log);
            received += static_cast<long>(characters.size());
            if (received == closeAfter) break;
        }
    }
    XDestroyWindow(display, window);
    XCloseDisplay(display);
    return 0;
}
