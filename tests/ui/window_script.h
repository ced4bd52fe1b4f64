#pragma once
// Acting in the tool's windows as a user would, for the window tests and the
// window driver.

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sorrelwick::test {

// Wide text as the UTF-8 the program holds.
inline std::string Utf8(std::wstring_view wide) {
    std::string text(wide.size() * 3, '\0');
    text.resize(static_cast<std::size_t>(
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                            static_cast<int>(text.size()), nullptr, nullptr)));
    return text;
}
inline std::wstring Wide(std::string_view text) {
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                            static_cast<int>(wide.size()))));
    return wide;
}

inline std::string WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Utf8(text);
}

// What a user does in a dialog; posted, as input would arrive.
inline void PressButton(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}
inline void PressEscape(HWND dialog) {
    PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
}
inline void PressCloseBox(HWND dialog) {
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

// Windows become active before their dialog procedure has set them up, so
// the script sees each one once the thread has nothing else to do.
namespace acting {
inline std::function<void(HWND)> script;
inline std::vector<HWND> activated;
inline HWND first = nullptr;
inline HHOOK hook = nullptr;
inline bool gaveUp = false;

inline void CALLBACK RunScript(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    for (const HWND window : std::exchange(activated, {})) {
        if (IsWindow(window) && script) script(window);
    }
}
inline LRESULT CALLBACK Watch(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        if (!first) first = reinterpret_cast<HWND>(wParam);
        activated.push_back(reinterpret_cast<HWND>(wParam));
        SetTimer(nullptr, 0, 1, RunScript);
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}
inline void CALLBACK GiveUp(HWND, UINT, UINT_PTR, DWORD) {
    gaveUp = first != nullptr;
    if (first) EndDialog(first, -1);
}
}  // namespace acting

// Runs `open`, which shows a modal dialog, while `act` sees each window of
// this thread that becomes active and posts what a user would do there. A
// dialog still up after `giveUpAfter` milliseconds is ended with -1, so that
// a script that never ends it fails its test instead of hanging it; false
// then.
inline bool WhileActing(std::function<void(HWND)> act, const std::function<void()>& open,
                        UINT giveUpAfter = 10000) {
    acting::script = std::move(act);
    acting::first = nullptr;
    acting::gaveUp = false;
    acting::activated.clear();
    acting::hook = SetWindowsHookExA(WH_CBT, acting::Watch, nullptr, GetCurrentThreadId());
    const UINT_PTR giveUp = SetTimer(nullptr, 0, giveUpAfter, acting::GiveUp);
    open();
    KillTimer(nullptr, giveUp);
    UnhookWindowsHookEx(acting::hook);
    acting::script = nullptr;
    return !acting::gaveUp;
}

}  // namespace sorrelwick::test
