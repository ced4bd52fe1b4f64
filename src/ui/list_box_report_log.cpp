#include "ui/list_box_report_log.h"

#include <string>

#include "platform/win32/wide_text.h"

namespace sorrelwick::ui {
namespace {

// The width `text` takes as the list draws it, in its own font (the system
// font when it has none), in pixels.
LONG DrawnWidth(HWND list, const std::wstring& text) {
    const HDC dc = GetDC(list);
    if (!dc) return 0;
    const auto font = reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0));
    const HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    if (previous) SelectObject(dc, previous);
    ReleaseDC(list, dc);
    return size.cx;
}

// The list remembers its widest line as its sideways scroll range, which
// only ever grows until the list is emptied.
void WidenFor(HWND list, const std::wstring& line) {
    const LONG width = DrawnWidth(list, line);
    if (width > SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0)) {
        SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(width), 0);
    }
}

}  // namespace

void ListBoxReportLog::AppendLine(std::string_view line) {
    if (!list_) return;
    const std::wstring text = platform::WideForDisplay(line);
    SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    WidenFor(list_, text);
    const LRESULT count = SendMessageW(list_, LB_GETCOUNT, 0, 0);
    if (count == LB_ERR || count <= 0) return;
    // The list shows no selection, so the newest line is brought into view by
    // scrolling, not by making it the current line: a list that shows no
    // selection may not scroll to its current line, and may still paint it
    // highlighted. Asking for the last line at the top scrolls as far as the
    // list goes, which shows the last page.
    SendMessageW(list_, LB_SETTOPINDEX, static_cast<WPARAM>(count - 1), 0);
}

void ListBoxReportLog::ForgetWidths() {
    if (list_) SendMessageW(list_, LB_SETHORIZONTALEXTENT, 0, 0);
}

}  // namespace sorrelwick::ui
