#include "ui/page_save_dialog.h"

namespace sorrelwick::ui {
namespace {

constexpr char kFilter[] = "Web page (*.html)\0*.html\0";
constexpr char kTitle[] = "Save the preview page";
constexpr char kDefaultExtension[] = "html";

SaveDialogFunction showSaveDialog = GetSaveFileNameA;

std::size_t NameStart(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? 0 : separator + 1;
}

}  // namespace

std::string SuggestedPagePath(const std::string& setPath) {
    const std::size_t dot = setPath.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot >= NameStart(setPath);
    return (hasExtension ? setPath.substr(0, dot) : setPath) + ".html";
}

std::optional<std::string> AskWhereToSavePage(HWND owner, const std::string& suggestedPath) {
    const std::size_t nameStart = NameStart(suggestedPath);
    const std::string folder = suggestedPath.substr(0, nameStart);
    char path[MAX_PATH] = {};
    lstrcpynA(path, suggestedPath.c_str() + nameStart, MAX_PATH);
    OPENFILENAMEA request = {};
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    request.hwndOwner = owner;
    request.lpstrFilter = kFilter;
    request.nFilterIndex = 1;
    request.lpstrFile = path;
    request.nMaxFile = MAX_PATH;
    request.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    request.lpstrTitle = kTitle;
    request.lpstrDefExt = kDefaultExtension;
    request.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT;
    if (!showSaveDialog(&request)) return std::nullopt;
    path[MAX_PATH - 1] = '\0';
    return std::string(path);
}

void ReplaceSaveDialogForTests(SaveDialogFunction dialog) {
    showSaveDialog = dialog ? dialog : GetSaveFileNameA;
}

}  // namespace sorrelwick::ui
