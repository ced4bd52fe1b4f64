#include "window_test_support.h"

#include <utility>

namespace sorrelwick::test {
namespace {

std::function<void(HWND)> activationScript;
std::function<void(HWND)> destructionScript;
HWND mainWindow = nullptr;
HHOOK activationHook = nullptr;
std::vector<HWND> activated;

// Windows become active before their dialog procedure has set them up; the
// script sees them once the thread has nothing else to do.
void CALLBACK RunActivationScript(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    const std::vector<HWND> windows = std::exchange(activated, {});
    for (const HWND window : windows) {
        if (IsWindow(window) && activationScript) activationScript(window);
    }
}

LRESULT CALLBACK WatchActivation(int code, WPARAM wParam, LPARAM lParam) {
    const auto window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE) {
        if (!mainWindow) mainWindow = window;
        activated.push_back(window);
        SetTimer(nullptr, 0, 1, RunActivationScript);
    } else if (code == HCBT_DESTROYWND && window == mainWindow && destructionScript) {
        destructionScript(window);
    }
    return CallNextHookEx(activationHook, code, wParam, lParam);
}

// A script that never ends the window fails its test instead of hanging it.
void CALLBACK GiveUp(HWND, UINT, UINT_PTR, DWORD) {
    if (mainWindow) EndDialog(mainWindow, -1);
}

}  // namespace

INT_PTR RunMainWindowModally(std::function<void(HWND window)> onActivate,
                             std::function<void(HWND window)> onDestroy) {
    activationScript = std::move(onActivate);
    destructionScript = std::move(onDestroy);
    mainWindow = nullptr;
    activated.clear();
    activationHook = SetWindowsHookExA(WH_CBT, WatchActivation, nullptr, GetCurrentThreadId());
    const UINT_PTR timer = SetTimer(nullptr, 0, 10000, GiveUp);
    const INT_PTR result =
        DialogBoxParamA(GetModuleHandleA(nullptr), ResourceId(SORRELWICK_MAIN_WINDOW), nullptr,
                        ui::MainWindowProcedure, 0);
    KillTimer(nullptr, timer);
    UnhookWindowsHookEx(activationHook);
    activationScript = nullptr;
    destructionScript = nullptr;
    return result;
}

}  // namespace sorrelwick::test
