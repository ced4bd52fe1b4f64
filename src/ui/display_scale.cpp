#include "ui/display_scale.h"

namespace sorrelwick::ui {
namespace {

// A function of user32 by name, or null where this system lacks it.
template <typename Function>
Function FromUser32(const char* name) {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

UINT SystemDpi(HWND window) {
    const HDC dc = GetDC(window);
    if (!dc) return kBaseDpi;
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window, dc);
    return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

}  // namespace

UINT WindowDpi(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = FromUser32<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow && window) {
        if (const UINT dpi = getDpiForWindow(window)) return dpi;
    }
    return SystemDpi(window);
}

int AtDpi(int value, UINT dpi) {
    return MulDiv(value, static_cast<int>(dpi), static_cast<int>(kBaseDpi));
}

SIZE FrameSize(HWND window, UINT dpi) {
    using AdjustForDpi = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = FromUser32<AdjustForDpi>("AdjustWindowRectExForDpi");
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    const auto extended = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
    RECT frame = {};
    if (!adjustForDpi || !adjustForDpi(&frame, style, FALSE, extended, dpi)) {
        AdjustWindowRectEx(&frame, style, FALSE, extended);
    }
    return {frame.right - frame.left, frame.bottom - frame.top};
}

void TakeOverDpiChanges(HWND dialog) {
    using DialogBehaviour =
        BOOL(WINAPI*)(HWND, DIALOG_DPI_CHANGE_BEHAVIORS, DIALOG_DPI_CHANGE_BEHAVIORS);
    static const auto setDialog = FromUser32<DialogBehaviour>("SetDialogDpiChangeBehavior");
    const auto ours =
        static_cast<DIALOG_DPI_CHANGE_BEHAVIORS>(DDC_DISABLE_RESIZE | DDC_DISABLE_CONTROL_RELAYOUT);
    if (setDialog) setDialog(dialog, ours, ours);
}

void KeepOwnFontOnDpiChange(HWND control) {
    using ControlBehaviour = BOOL(WINAPI*)(HWND, DIALOG_CONTROL_DPI_CHANGE_BEHAVIORS,
                                           DIALOG_CONTROL_DPI_CHANGE_BEHAVIORS);
    static const auto setControl =
        FromUser32<ControlBehaviour>("SetDialogControlDpiChangeBehavior");
    if (setControl && control) {
        setControl(control, DCDC_DISABLE_FONT_UPDATE, DCDC_DISABLE_FONT_UPDATE);
    }
}

}  // namespace sorrelwick::ui
