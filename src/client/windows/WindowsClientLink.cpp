// The client link on Windows: the client's window is found among the visible top-level windows by
// its title, brought to the foreground, and typed into with SendInput.

#include "client/ClientLink.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <vector>

namespace mw {

namespace {
std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    int length = static_cast<int>(text.size());
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), length, result.data(), size, nullptr, nullptr);
    return result;
}

std::string TitleOf(HWND window) {
    std::wstring title(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    title.resize(
        static_cast<size_t>(GetWindowTextW(window, title.data(), static_cast<int>(title.size()))));
    return Utf8(title);
}

bool IsOurs(HWND window) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process == GetCurrentProcessId();
}

bool WeHaveTheFocus() {
    HWND foreground = GetForegroundWindow();
    return foreground && IsOurs(foreground);
}

struct Search {
    const std::string& Title;
    HWND Exact = nullptr, Prefix = nullptr;
};

// EnumWindows lists the top-level windows topmost first, so the first match is the topmost.
BOOL CALLBACK Consider(HWND window, LPARAM data) {
    Search& search = *reinterpret_cast<Search*>(data);
    if (!IsWindowVisible(window) || IsOurs(window)) return TRUE;
    std::string title = TitleOf(window);
    if (!title.starts_with(search.Title)) return TRUE;
    if (title == search.Title) {
        search.Exact = window;
        return FALSE;
    }
    if (!search.Prefix) search.Prefix = window;
    return TRUE;
}

HWND FindClientWindow(const std::string& title) {
    Search search{title};
    EnumWindows(&Consider, reinterpret_cast<LPARAM>(&search));
    return search.Exact ? search.Exact : search.Prefix;
}

// Windows lets only the foreground process hand the foreground on; attached to the input of the
// foreground window's thread for the moment of the switch, we count as that process.
void BringToForeground(HWND window) {
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    HWND foreground = GetForegroundWindow();
    DWORD foregroundThread = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
    DWORD ourThread = GetCurrentThreadId();
    bool attached = foregroundThread != 0 && foregroundThread != ourThread &&
                    AttachThreadInput(ourThread, foregroundThread, TRUE);
    AllowSetForegroundWindow(ASFW_ANY);
    BringWindowToTop(window);
    SetForegroundWindow(window);
    if (attached) AttachThreadInput(ourThread, foregroundThread, FALSE);
}

INPUT KeyInput(WORD virtualKey, WORD unit, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = unit;
    input.ki.dwFlags = flags;
    return input;
}

// Enter as the key itself, every other character as Unicode input, which neither Caps Lock nor
// the keyboard layout can change.
std::vector<INPUT> InputsFor(char32_t c) {
    if (c == U'\n') return {KeyInput(VK_RETURN, 0, 0), KeyInput(VK_RETURN, 0, KEYEVENTF_KEYUP)};
    if (c < 0x20 || (c >= 0x7F && c < 0xA0)) throw ClientCannotTypeError(c);
    std::vector<WORD> units;
    if (c < 0x10000) {
        units.push_back(static_cast<WORD>(c));
    } else {
        units.push_back(static_cast<WORD>(0xD800 + ((c - 0x10000) >> 10)));
        units.push_back(static_cast<WORD>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    }
    std::vector<INPUT> inputs;
    for (WORD unit : units) {
        inputs.push_back(KeyInput(0, unit, KEYEVENTF_UNICODE));
        inputs.push_back(KeyInput(0, unit, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP));
    }
    return inputs;
}

// Modifier keys the user still holds would turn characters into shortcuts.
void ReleaseHeldModifiers() {
    std::vector<INPUT> releases;
    for (int key :
         {VK_LSHIFT, VK_RSHIFT, VK_LCONTROL, VK_RCONTROL, VK_LMENU, VK_RMENU, VK_LWIN, VK_RWIN}) {
        if (GetAsyncKeyState(key) & 0x8000)
            releases.push_back(KeyInput(static_cast<WORD>(key), 0, KEYEVENTF_KEYUP));
    }
    if (!releases.empty())
        SendInput(static_cast<UINT>(releases.size()), releases.data(), sizeof(INPUT));
}

class WindowsClientLink final : public ClientLink {
public:
    void ActivateWindow(const std::string& title, bool waitForOurFocus) override {
        client_ = nullptr;
        if (waitForOurFocus && !PollUntil(&WeHaveTheFocus, FocusWaitLimit))
            throw OurFocusMissingError();
        HWND window = FindClientWindow(title);
        if (!window) throw ClientNotRunningError(title);
        BringToForeground(window);
        if (!PollUntil([window] { return GetForegroundWindow() == window; }, FocusWaitLimit)) {
            throw ClientNotActivatedError(title, IsWindow(window)
                                                     ? "it did not come to the foreground"
                                                     : "its window closed while it was being "
                                                       "activated");
        }
        client_ = window;
    }

    bool ClientHasFocus() override { return client_ && GetForegroundWindow() == client_; }

    void SendKeys(const std::string& keys) override {
        std::vector<std::vector<INPUT>> strokes;
        for (char32_t c : DecodeKeys(keys))
            strokes.push_back(InputsFor(c));
        for (size_t i = 0; i < strokes.size(); ++i) {
            if (!ClientHasFocus()) throw ClientFocusLostError(i);
            if (i == 0) ReleaseHeldModifiers();
            SendInput(static_cast<UINT>(strokes[i].size()), strokes[i].data(), sizeof(INPUT));
        }
    }

private:
    HWND client_ = nullptr;
};
} // namespace

// Windows of our process are known by their process id, so the window handle is not needed.
std::unique_ptr<ClientLink> OpenClientLink(NativeWindowId) {
    return std::make_unique<WindowsClientLink>();
}

} // namespace mw
