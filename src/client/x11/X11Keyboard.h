#pragma once

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

#include <optional>
#include <string>
#include <vector>

namespace mw {

// One character as keys: a key code, pressed with Shift or without.
struct KeyStroke {
    KeyCode Code = 0;
    bool Shift = false;
};

// The keyboard as it is at construction: the keys of its current group and how to type a
// character with them. Typing goes through XTest, as if the user pressed the keys.
class X11Keyboard {
public:
    explicit X11Keyboard(Display* display); // throws err::ClientCannotType without a key map
    ~X11Keyboard();
    X11Keyboard(const X11Keyboard&) = delete;
    X11Keyboard& operator=(const X11Keyboard&) = delete;

    // The strokes for every character ('\n' is Enter); throws err::ClientCannotType for the
    // first one the current group cannot produce, before anything is typed.
    std::vector<KeyStroke> Plan(const std::u32string& characters) const;
    void Type(const KeyStroke& stroke) const;

private:
    std::optional<KeyStroke> Find(KeySym symbol) const;
    int ShiftLevel(KeyCode code, int group) const;

    Display* display_;
    XkbDescPtr map_ = nullptr;
    int group_ = 0;
    KeyCode shift_ = 0;
};

// Puts the keyboard into its plain state while it lives: held modifier keys are released,
// latched and locked modifiers (Caps Lock among them) are cleared, so that every key gives the
// character planned for it. The locked modifiers are locked again at the end.
class PlainModifiers {
public:
    explicit PlainModifiers(Display* display);
    ~PlainModifiers();
    PlainModifiers(const PlainModifiers&) = delete;
    PlainModifiers& operator=(const PlainModifiers&) = delete;

private:
    Display* display_;
    unsigned locked_ = 0;
};

} // namespace mw
