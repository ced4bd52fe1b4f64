#pragma once
// The main window's report list as the ReportLog the operations write to.

#include <windows.h>

#include <string_view>

#include "report/report_log.h"

namespace sorrelwick::ui {

class ListBoxReportLog final : public report::ReportLog {
public:
    // `list` may be null; then nothing is ever added.
    explicit ListBoxReportLog(HWND list) : list_(list) {}

    // Adds the line at the end and scrolls so that it is in view. The list
    // scrolls sideways as far as its widest line needs.
    void AppendLine(std::string_view line) override;

    // For a list just emptied: nothing to scroll sideways to.
    void ForgetWidths();

    // For a list given another font: scrolls sideways as far as its widest
    // line needs in that font.
    void MeasureWidths();

    // For a list just resized: a list wide enough for its widest line shows
    // it from its start, and one that is not scrolls no further than that
    // line's end.
    void KeepSidewaysPositionValid();

private:
    HWND list_;
};

}  // namespace sorrelwick::ui
