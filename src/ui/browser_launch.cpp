#include "ui/browser_launch.h"

#include <shellapi.h>

namespace sorrelwick::ui {
namespace {

LaunchFunction launchShell = ShellExecuteA;

}  // namespace

// The shell's result is a code above 32 on success, an error number otherwise.
bool ShowInBrowser(HWND owner, const std::string& path) {
    const HINSTANCE result =
        launchShell(owner, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

void ReplaceBrowserLaunchForTests(LaunchFunction launch) {
    launchShell = launch ? launch : ShellExecuteA;
}

}  // namespace sorrelwick::ui
