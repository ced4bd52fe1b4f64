#include "ui/list_box_report_log.h"

#include <string>

namespace sorrelwick::ui {

void ListBoxReportLog::AppendLine(std::string_view line) {
    if (!list_) return;
    const std::string text(line);
    SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    const LRESULT count = SendMessageA(list_, LB_GETCOUNT, 0, 0);
    if (count == LB_ERR || count <= 0) return;
    // The list shows no selection, so the newest line is brought into view by
    // scrolling, not by making it the current line: a list that shows no
    // selection may not scroll to its current line, and may still paint it
    // highlighted. Asking for the last line at the top scrolls as far as the
    // list goes, which shows the last page.
    SendMessageA(list_, LB_SETTOPINDEX, static_cast<WPARAM>(count - 1), 0);
}

}  // namespace sorrelwick::ui
