#pragma once
// Acting in the tool's windows as a user would, for the window tests and the
// window driver: reading what a window shows, pressing its buttons and keys,
// and answering modal dialogs as they open.

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace sorrelwick::test {

inline std::string WindowText(HWND window) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
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

// Acting in modal dialogs. Windows become active before their dialog
// procedure has set them up, so the script sees each one once the thread
// has nothing else to do.
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
