#include "client/x11/X11Keyboard.h"

#include "client/ClientLink.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace mw {

namespace {
constexpr unsigned AllModifiers = 0xFF;

// The key symbol that produces `c`: Latin-1 symbols are the characters themselves, the rest
// of Unicode has symbols of its own. Control characters other than Enter have none.
KeySym SymbolFor(char32_t c) {
    if (c == U'\n') return XK_Return;
    if (c < 0x20 || (c >= 0x7F && c < 0xA0)) return NoSymbol;
    return c < 0x100 ? static_cast<KeySym>(c) : static_cast<KeySym>(0x01000000 | c);
}

void ReleaseHeldModifierKeys(Display* display) {
    char pressed[32];
    XQueryKeymap(display, pressed);
    XModifierKeymap* modifiers = XGetModifierMapping(display);
    for (int i = 0; i < 8 * modifiers->max_keypermod; ++i) {
        KeyCode code = modifiers->modifiermap[i];
        if (code != 0 && (pressed[code / 8] >> (code % 8)) & 1)
            XTestFakeKeyEvent(display, code, False, CurrentTime);
    }
    XFreeModifiermap(modifiers);
}
} // namespace

X11Keyboard::X11Keyboard(Display* display) : display_(display) {
    XkbStateRec state;
    if (XkbGetState(display, XkbUseCoreKbd, &state) != Success ||
        !(map_ = XkbGetMap(display, XkbAllClientInfoMask, XkbUseCoreKbd)))
        throw RunError(err::ClientCannotType,
                       "The keyboard map of the X server cannot be read, so nothing was typed");
    group_ = state.group;
    shift_ = XKeysymToKeycode(display, XK_Shift_L);
    if (shift_ == 0) shift_ = XKeysymToKeycode(display, XK_Shift_R);
}

X11Keyboard::~X11Keyboard() {
    XkbFreeKeyboard(map_, 0, True);
}

std::vector<KeyStroke> X11Keyboard::Plan(const std::u32string& characters) const {
    std::vector<KeyStroke> strokes;
    for (char32_t c : characters) {
        auto stroke = Find(SymbolFor(c));
        if (!stroke) throw ClientCannotTypeError(c);
        strokes.push_back(*stroke);
    }
    return strokes;
}

void X11Keyboard::Type(const KeyStroke& stroke) const {
    if (stroke.Shift) XTestFakeKeyEvent(display_, shift_, True, CurrentTime);
    XTestFakeKeyEvent(display_, stroke.Code, True, CurrentTime);
    XTestFakeKeyEvent(display_, stroke.Code, False, CurrentTime);
    if (stroke.Shift) XTestFakeKeyEvent(display_, shift_, False, CurrentTime);
}

// A key without a symbol for the current group falls back to another group the way the server
// does by default: wrapping around.
std::optional<KeyStroke> X11Keyboard::Find(KeySym symbol) const {
    if (symbol == NoSymbol) return std::nullopt;
    std::optional<KeyStroke> shifted;
    for (int code = map_->min_key_code; code <= map_->max_key_code; ++code) {
        int groups = XkbKeyNumGroups(map_, code);
        if (groups == 0) continue;
        int group = group_ % groups;
        auto key = static_cast<KeyCode>(code);
        if (XkbKeySymEntry(map_, code, 0, group) == symbol) return KeyStroke{key, false};
        int level = ShiftLevel(key, group);
        if (!shifted && level > 0 && shift_ != 0 &&
            XkbKeySymEntry(map_, code, level, group) == symbol)
            shifted = KeyStroke{key, true};
    }
    return shifted;
}

// The level Shift alone selects on this key, 0 when Shift changes nothing.
int X11Keyboard::ShiftLevel(KeyCode code, int group) const {
    XkbKeyTypePtr type = XkbKeyKeyType(map_, code, group);
    for (int i = 0; i < type->map_count; ++i) {
        const XkbKTMapEntryRec& entry = type->map[i];
        if (entry.active && entry.mods.mask == ShiftMask) return entry.level;
    }
    return 0;
}

PlainModifiers::PlainModifiers(Display* display) : display_(display) {
    XkbStateRec state;
    if (XkbGetState(display, XkbUseCoreKbd, &state) == Success) locked_ = state.locked_mods;
    ReleaseHeldModifierKeys(display);
    XkbLatchModifiers(display, XkbUseCoreKbd, AllModifiers, 0);
    XkbLockModifiers(display, XkbUseCoreKbd, AllModifiers, 0);
}

PlainModifiers::~PlainModifiers() {
    XkbLockModifiers(display_, XkbUseCoreKbd, locked_, locked_);
    XFlush(display_);
}

} // namespace mw
