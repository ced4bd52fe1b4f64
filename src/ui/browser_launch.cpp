#include "ui/browser_launch.h"

#include <shellapi.h>

#include <optional>

#include "platform/win32/wide_text.h"

namespace sorrelwick::ui {
namespace {

LaunchFunction launchShell = ShellExecuteW;

}  // namespace

// The shell's result is a code above 32 on success, an error number otherwise.
bool ShowInBrowser(HWND owner, const std::string& path) {
    const std::optional<std::wstring> file = platform::WidePath(path);
    if (!file) return false;
    const HINSTANCE result =
        launchShell(owner, L"open", file->c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

void ReplaceBrowserLaunchForTests(LaunchFunction launch) {
    launchShell = launch ? launch : ShellExecuteW;
}

}  // namespace sorrelwick::ui
