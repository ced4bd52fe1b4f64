#include "ui/folder_commands.h"

#include <optional>

#include "operations/extraction.h"
#include "operations/replacement.h"
#include "report/utf8_text.h"
#include "ui/folder_picker.h"
#include "ui/gallery_window.h"
#include "ui/list_box_report_log.h"
#include "ui/resource_ids.h"
#include "ui/shared_tool_state.h"

namespace sorrelwick::ui {
namespace {

constexpr std::size_t kTitleCapacity = MAX_PATH;
constexpr const char* kReplaceTitle = "Select the directory hosting the textures";

}  // namespace

std::string ExtractPickerTitle(std::string_view setName) {
    std::string title = "Select the directory to extract all ";
    title.append(setName).append("'s textures to");
    return std::string(report::FirstCharacters(title, kTitleCapacity - 1));
}

void RunFolderCommand(HWND mainWindow, int id) {
    ToolState& state = TheToolState();
    const bool extract = id == SORRELWICK_EXTRACT_BUTTON;
    const std::optional<std::string> folder =
        AskForFolder(mainWindow, extract ? ExtractPickerTitle(state.setName) : kReplaceTitle);
    if (!folder) return;
    state.lastFolder = *folder;
    const HWND list = GetDlgItem(mainWindow, SORRELWICK_REPORT_LIST);
    ListBoxReportLog log(list);
    report::ReportLog* const report = list ? &log : nullptr;
    if (extract) {
        operations::ExtractTextures(state, *folder, report);
    } else {
        const bool convert =
            IsDlgButtonChecked(mainWindow, SORRELWICK_CONVERT_CHECK) == BST_CHECKED;
        operations::ReplaceTextures(state, *folder, report, {convert});
        log.Flush();
        RefreshGallery();
    }
}

}  // namespace sorrelwick::ui
