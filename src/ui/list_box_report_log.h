#pragma once
// The main window's report list as the ReportLog the operations write to.

#include <windows.h>

#include <string_view>

#include "report/report_log.h"

namespace sorrelwick::ui {

// An operation's lines arrive one by one, hundreds of them at a time. The
// list is told to hold its drawing while they come, each line is measured
// with one device context kept for the batch, and the list scrolls and draws
// once, when the batch ends: at Flush, or when the log goes.
class ListBoxReportLog final : public report::ReportLog {
public:
    // `list` may be null; then nothing is ever added.
    explicit ListBoxReportLog(HWND list) : list_(list) {}
    ~ListBoxReportLog() override;
    ListBoxReportLog(const ListBoxReportLog&) = delete;
    ListBoxReportLog& operator=(const ListBoxReportLog&) = delete;

    // Adds the line at the end. Once the batch ends the newest line is in
    // view, the list scrolls sideways as far as its widest line needs, and
    // shows the lines from their left edge.
    void AppendLine(std::string_view line) override;

    // Ends the batch: the list scrolls to its newest line and draws again.
    void Flush();

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
    void StartBatch();

    HWND list_;
    HDC dc_ = nullptr;  // the list's, with its font, while a batch runs
    HGDIOBJ previousFont_ = nullptr;
    LONG widest_ = 0;  // of the batch's lines
    bool batching_ = false;
};

}  // namespace sorrelwick::ui
