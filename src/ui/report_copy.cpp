#include "ui/report_copy.h"

#include <commctrl.h>

#include <cstring>
#include <memory>
#include <type_traits>

namespace sorrelwick::ui {
namespace {

// The clipboard, open while it lives.
class OpenClipboardFor {
public:
    explicit OpenClipboardFor(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    ~OpenClipboardFor() {
        if (open_) CloseClipboard();
    }
    OpenClipboardFor(const OpenClipboardFor&) = delete;
    OpenClipboardFor& operator=(const OpenClipboardFor&) = delete;
    bool IsOpen() const { return open_; }

private:
    bool open_;
};
struct GlobalRelease {
    void operator()(HGLOBAL memory) const { GlobalFree(memory); }
};
struct MenuRelease {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};

constexpr UINT_PTR kCopySubclass = 1;

LRESULT CALLBACK ReportKeys(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                            DWORD_PTR copyCommand) {
    if (message == WM_KEYDOWN && wParam == 'C' && GetKeyState(VK_CONTROL) < 0) {
        SendMessageW(GetParent(list), WM_COMMAND, static_cast<WPARAM>(copyCommand & 0xFFFF),
                     reinterpret_cast<LPARAM>(list));
        return 0;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(list, ReportKeys, kCopySubclass);
    return DefSubclassProc(list, message, wParam, lParam);
}

}  // namespace

std::wstring ReportText(HWND list) {
    std::wstring text;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring line(length > 0 ? static_cast<std::size_t>(length) + 1 : 1, L'\0');
        const LRESULT got = length > 0 ? SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i),
                                                      reinterpret_cast<LPARAM>(line.data()))
                                       : 0;
        text.append(line.data(), got > 0 ? static_cast<std::size_t>(got) : 0).append(L"\r\n");
    }
    return text;
}

bool CopyReport(HWND owner, HWND list) {
    const std::wstring text = ReportText(list);
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    std::unique_ptr<void, GlobalRelease> memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory) return false;
    void* const place = GlobalLock(memory.get());
    if (!place) return false;
    std::memcpy(place, text.c_str(), bytes);
    GlobalUnlock(memory.get());
    const OpenClipboardFor clipboard(owner);
    if (!clipboard.IsOpen() || !EmptyClipboard()) return false;
    if (!SetClipboardData(CF_UNICODETEXT, memory.get())) return false;
    memory.release();  // the clipboard's now
    return true;
}

void CopyOnControlC(HWND list, int copyCommand) {
    if (list)
        SetWindowSubclass(list, ReportKeys, kCopySubclass, static_cast<DWORD_PTR>(copyCommand));
}

void ShowReportMenu(HWND owner, HWND list, LPARAM at, int copyCommand) {
    POINT place = {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    if (place.x == -1 && place.y == -1) {
        place = {0, 0};
        ClientToScreen(list, &place);
    }
    const std::unique_ptr<std::remove_pointer_t<HMENU>, MenuRelease> menu(CreatePopupMenu());
    if (!menu ||
        !AppendMenuW(menu.get(), MF_STRING, static_cast<UINT_PTR>(copyCommand), L"&Copy report")) {
        return;
    }
    const BOOL chosen = TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, place.x,
                                       place.y, 0, owner, nullptr);
    if (chosen) {
        SendMessageW(owner, WM_COMMAND, static_cast<WPARAM>(chosen & 0xFFFF),
                     reinterpret_cast<LPARAM>(list));
    }
}

}  // namespace sorrelwick::ui
