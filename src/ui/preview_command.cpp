#include "ui/preview_command.h"

#include <optional>
#include <string>

#include "operations/preview.h"
#include "ui/browser_launch.h"
#include "ui/list_box_report_log.h"
#include "ui/page_save_dialog.h"
#include "ui/shared_tool_state.h"

namespace sorrelwick::ui {

void WritePreviewAndShow(HWND owner, HWND list) {
    const ToolState& state = TheToolState();
    const std::optional<std::string> page =
        AskWhereToSavePage(owner, SuggestedPagePath(state.setPath));
    if (!page) return;
    ListBoxReportLog log(list);
    report::ReportLog* const report = list ? &log : nullptr;
    // The save dialog has asked before an existing file was chosen.
    operations::PreviewRequest request{*page, true, {}, [owner](const std::string& path) {
                                           return ShowInBrowser(owner, path);
                                       }};
    operations::WritePreviewPage(state, request, report);
}

}  // namespace sorrelwick::ui
