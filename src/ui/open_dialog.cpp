#include "ui/open_dialog.h"

namespace sorrelwick::ui {
namespace {

// One filter pair, each text NUL-terminated, the list ended by a second NUL.
constexpr char kFilter[] = "Tessaravine chess set (*.DAT)\0*.DAT\0";
constexpr char kTitle[] = "Load a Tessaravine chess set";
// Added to a typed name that has no extension of its own.
constexpr char kDefaultExtension[] = "DAT";

OpenDialogFunction showOpenDialog = GetOpenFileNameA;

}  // namespace

std::optional<std::string> AskForChessSet(HWND owner, const std::string& startFolder) {
    char path[MAX_PATH] = {};
    OPENFILENAMEA request = {};
    // The shorter structure form, which every system version accepts.
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    request.hwndOwner = owner;
    request.lpstrFilter = kFilter;
    request.nFilterIndex = 1;
    request.lpstrFile = path;
    request.nMaxFile = MAX_PATH;
    request.lpstrInitialDir = startFolder.empty() ? nullptr : startFolder.c_str();
    request.lpstrTitle = kTitle;
    request.lpstrDefExt = kDefaultExtension;
    request.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    if (!showOpenDialog(&request)) return std::nullopt;
    path[MAX_PATH - 1] = '\0';
    return std::string(path);
}

void ReplaceOpenDialogForTests(OpenDialogFunction dialog) {
    showOpenDialog = dialog ? dialog : GetOpenFileNameA;
}

}  // namespace sorrelwick::ui
