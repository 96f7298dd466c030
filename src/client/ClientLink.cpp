#include "client/ClientLink.h"

#include <cstdio>
#include <thread>

namespace mw {

std::string CommandKeys(const std::string& command) {
    return "\n" + command + "\n";
}

bool PollUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

namespace {
// The length of the UTF-8 sequence that starts with `lead`, 0 when it cannot start one.
size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead < 0xE0) return 2;
    if (lead >= 0xE0 && lead < 0xF0) return 3;
    if (lead >= 0xF0 && lead < 0xF5) return 4;
    return 0;
}

bool IsValidCodePoint(char32_t c, size_t length) {
    static constexpr char32_t Smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    return c >= Smallest[length] && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}
} // namespace

std::u32string DecodeKeys(const std::string& keys) {
    std::u32string characters;
    for (size_t i = 0; i < keys.size();) {
        auto lead = static_cast<unsigned char>(keys[i]);
        size_t length = SequenceLength(lead);
        if (length == 0 || i + length > keys.size()) throw ClientCannotTypeError(lead);
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t k = 1; k < length; ++k) {
            auto next = static_cast<unsigned char>(keys[i + k]);
            if ((next & 0xC0) != 0x80) throw ClientCannotTypeError(lead);
            c = (c << 6) | (next & 0x3F);
        }
        if (!IsValidCodePoint(c, length)) throw ClientCannotTypeError(lead);
        characters += c;
        i += length;
    }
    return characters;
}

RunError ClientNotRunningError(const std::string& title) {
    return RunError(err::ClientNotRunning, "No window titled \"" + title + "\" was found");
}

RunError ClientNotActivatedError(const std::string& title, const std::string& why) {
    return RunError(err::ClientNotActivated,
                    "The window \"" + title + "\" could not be activated: " + why);
}

RunError OurFocusMissingError() {
    return RunError(err::ClientNotActivated,
                    "MultiWardstone did not get the keyboard focus, so the client window was "
                    "not activated");
}

RunError ClientFocusLostError(size_t keysTyped) {
    std::string what = keysTyped == 0
                           ? "nothing was typed"
                           : "typing stopped after " + std::to_string(keysTyped) + " keys";
    return RunError(err::ClientFocusLost,
                    "The keyboard focus moved away from the client window, so " + what);
}

RunError ClientUnreachableError(const std::string& why) {
    return RunError(err::ClientUnreachable, "The game client cannot be reached: " + why);
}

RunError ClientCannotTypeError(char32_t character) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(character));
    return RunError(err::ClientCannotType, std::string("The character ") + code +
                                               " cannot be typed with the current keyboard "
                                               "layout, so nothing was typed");
}

} // namespace mw
