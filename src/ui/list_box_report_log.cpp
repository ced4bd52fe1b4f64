#include "ui/list_box_report_log.h"

#include <string>

namespace sorrelwick::ui {

void ListBoxReportLog::AppendLine(std::string_view line) {
    if (!list_) return;
    const std::string text(line);
    SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    const LRESULT count = SendMessageA(list_, LB_GETCOUNT, 0, 0);
    if (count == LB_ERR || count <= 0) return;
    const auto last = static_cast<WPARAM>(count - 1);
    SendMessageA(list_, LB_SETCURSEL, last, 0);
    // The list shows no selection, and some systems then do not scroll to the
    // current line; asking for the last line at the top scrolls as far as the
    // list goes, so the last page is shown.
    SendMessageA(list_, LB_SETTOPINDEX, last, 0);
}

}  // namespace sorrelwick::ui
