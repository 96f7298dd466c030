// A stand-in for the game client in the link's tests: one top-level window that writes every
// character it receives to a log file, Enter as a line end. Prints "ready <window id>" once its
// window is shown.
//   fake_client --display NAME --log FILE [--net-name TITLE] [--wm-name TITLE] [--close-after N]
// --net-name sets _NET_WM_NAME, --wm-name sets WM_NAME; --close-after closes the window after N
// characters, as a client that quits in the middle of a command.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <map>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
    std::map<std::string, std::string> options; // option name to value
    for (int i = 1; i + 1 < argc; i += 2)
        options[argv[i]] = argv[i + 1];
    Display* display = XOpenDisplay(options["--display"].c_str());
    FILE* log = std::fopen(options["--log"].c_str(), "ab");
    if (!display || !log) return 2;
    Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 320, 200, 0, 0, 0xFFFFFF);
    XWMHints hints{};
    hints.flags = InputHint;
    hints.input = True;
    XSetWMProperties(display, window, nullptr, nullptr, argv, argc, nullptr, &hints, nullptr);
    auto setText = [&](const char* property, const char* type, const std::string& option) {
        if (!options.count(option)) return;
        const std::string& text = options[option];
        XChangeProperty(display, window, XInternAtom(display, property, False),
                        XInternAtom(display, type, False), 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(text.data()),
                        static_cast<int>(text.size()));
    };
    setText("_NET_WM_NAME", "UTF8_STRING", "--net-name");
    setText("WM_NAME", "STRING", "--wm-name");
    long pid = getpid();
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(&pid), 1);
    XSelectInput(display, window, KeyPressMask | StructureNotifyMask);
    XMapWindow(display, window);
    size_t received = 0, closeAfter = options.count("--close-after")
                                          ? std::stoul(options["--close-after"])
                                          : std::string::npos;
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify) {
            dprintf(1, "ready %lu\n", window); // unbuffered: the test waits for it
        } else if (event.type == KeyPress) {
            char text[32];
            KeySym symbol = NoSymbol; // the characters with the state the server reports
            int length = XLookupString(&event.xkey, text, sizeof text, &symbol, nullptr);
            std::string characters(text, static_cast<size_t>(length > 0 ? length : 0));
            if (characters == "\r") characters = "\n";
            std::fwrite(characters.data(), 1, characters.size(), log);
            std::fflush(log);
            received += characters.size();
            if (received == closeAfter) return 0; // the server closes the window with us
        }
    }
}
