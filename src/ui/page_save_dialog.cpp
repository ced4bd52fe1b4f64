#include "ui/page_save_dialog.h"

#include "platform/win32/wide_text.h"

namespace sorrelwick::ui {
namespace {

constexpr wchar_t kFilter[] = L"Web page (*.html)\0*.html\0";
constexpr wchar_t kTitle[] = L"Save the preview page";
constexpr wchar_t kDefaultExtension[] = L"html";

SaveDialogFunction showSaveDialog = GetSaveFileNameW;

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
    const std::optional<std::wstring> folder =
        platform::WidePath(suggestedPath.substr(0, nameStart));
    const std::optional<std::wstring> name = platform::WidePath(suggestedPath.substr(nameStart));
    wchar_t path[MAX_PATH] = {};
    if (name) lstrcpynW(path, name->c_str(), MAX_PATH);
    OPENFILENAMEW request = {};
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    request.hwndOwner = owner;
    request.lpstrFilter = kFilter;
    request.nFilterIndex = 1;
    request.lpstrFile = path;
    request.nMaxFile = MAX_PATH;
    request.lpstrInitialDir = folder && !folder->empty() ? folder->c_str() : nullptr;
    request.lpstrTitle = kTitle;
    request.lpstrDefExt = kDefaultExtension;
    request.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT;
    if (!showSaveDialog(&request)) return std::nullopt;
    path[MAX_PATH - 1] = L'\0';
    return platform::Utf8FromWide(path);
}

void ReplaceSaveDialogForTests(SaveDialogFunction dialog) {
    showSaveDialog = dialog ? dialog : GetSaveFileNameW;
}

}  // namespace sorrelwick::ui
