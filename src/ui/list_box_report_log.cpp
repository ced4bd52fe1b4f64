#include "ui/list_box_report_log.h"

#include <algorithm>
#include <string>

#include "platform/win32/wide_text.h"

namespace sorrelwick::ui {
namespace {

// The width `text` takes as drawn into `dc`, in pixels.
LONG DrawnWidth(HDC dc, const std::wstring& text) {
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// The width `text` takes as the list draws it, in its own font (the system
// font when it has none), in pixels.
LONG DrawnWidth(HWND list, const std::wstring& text) {
    const HDC dc = GetDC(list);
    if (!dc) return 0;
    const auto font = reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0));
    const HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    const LONG width = DrawnWidth(dc, text);
    if (previous) SelectObject(dc, previous);
    ReleaseDC(list, dc);
    return width;
}

// Line `i` of the list as it holds it.
std::wstring LineText(HWND list, WPARAM i) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
    if (length <= 0) return {};
    std::wstring line(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT got = SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
    line.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return line;
}

// The list remembers its widest line as its sideways scroll range, which
// only ever grows until the list is emptied.
void WidenTo(HWND list, LONG width) {
    if (width > SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0)) {
        SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(width), 0);
    }
}

}  // namespace

ListBoxReportLog::~ListBoxReportLog() {
    Flush();
}

void ListBoxReportLog::StartBatch() {
    batching_ = true;
    widest_ = 0;
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    dc_ = GetDC(list_);
    const auto font = reinterpret_cast<HFONT>(SendMessageW(list_, WM_GETFONT, 0, 0));
    previousFont_ = dc_ && font ? SelectObject(dc_, font) : nullptr;
}

void ListBoxReportLog::AppendLine(std::string_view line) {
    if (!list_) return;
    if (!batching_) StartBatch();
    const std::wstring text = platform::WideForDisplay(line);
    SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (dc_) widest_ = std::max(widest_, DrawnWidth(dc_, text));
}

void ListBoxReportLog::Flush() {
    if (!batching_) return;
    batching_ = false;
    if (dc_) {
        if (previousFont_) SelectObject(dc_, previousFont_);
        ReleaseDC(list_, dc_);
        dc_ = nullptr;
        previousFont_ = nullptr;
    }
    WidenTo(list_, widest_);
    // New lines are read from their start: a sideways scroll left from an
    // earlier, wider listing would cut off their names.
    SendMessageW(list_, WM_HSCROLL, MAKEWPARAM(SB_LEFT, 0), 0);
    // The list shows no selection, so the newest line is brought into view by
    // scrolling, not by making it the current line: a list that shows no
    // selection may not scroll to its current line, and may still paint it
    // highlighted. Asking for the last line at the top scrolls as far as the
    // list goes, which shows the last page.
    const LRESULT count = SendMessageW(list_, LB_GETCOUNT, 0, 0);
    if (count != LB_ERR && count > 0) {
        SendMessageW(list_, LB_SETTOPINDEX, static_cast<WPARAM>(count - 1), 0);
    }
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
}

void ListBoxReportLog::ForgetWidths() {
    if (list_) SendMessageW(list_, LB_SETHORIZONTALEXTENT, 0, 0);
}

void ListBoxReportLog::MeasureWidths() {
    if (!list_) return;
    LONG widest = 0;
    const LRESULT count = SendMessageW(list_, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        widest = std::max(widest, DrawnWidth(list_, LineText(list_, static_cast<WPARAM>(i))));
    }
    SendMessageW(list_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest), 0);
}

// The list keeps its sideways offset when it grows, even where its scroll
// bar then ends nearer or goes away. The scroll bar itself keeps its
// position within its range, so the list is scrolled to where it shows.
void ListBoxReportLog::KeepSidewaysPositionValid() {
    if (!list_) return;
    SCROLLINFO bar = {};
    bar.cbSize = sizeof bar;
    bar.fMask = SIF_POS;
    const int position = GetScrollInfo(list_, SB_HORZ, &bar) ? bar.nPos : 0;
    const auto at = static_cast<WORD>(std::clamp(position, 0, 0xFFFF));
    SendMessageW(list_, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, at), 0);
}

}  // namespace sorrelwick::ui
