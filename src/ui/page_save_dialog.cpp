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

namespace {

// The save dialog as `kind` asks it; `flags` are added to the common ones.
struct SaveKind {
    const wchar_t* filter;
    const wchar_t* title;
    const wchar_t* defaultExtension;
    DWORD flags;
    LPOFNHOOKPROC hook = nullptr;
};

std::optional<std::string> AskWhereToSave(HWND owner, const std::string& suggestedPath,
                                          const SaveKind& kind) {
    const std::size_t nameStart = NameStart(suggestedPath);
    const std::optional<std::wstring> folder =
        platform::WidePath(suggestedPath.substr(0, nameStart));
    const std::optional<std::wstring> name = platform::WidePath(suggestedPath.substr(nameStart));
    wchar_t path[MAX_PATH] = {};
    if (name) lstrcpynW(path, name->c_str(), MAX_PATH);
    OPENFILENAMEW request = {};
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    request.hwndOwner = owner;
    request.lpstrFilter = kind.filter;
    request.nFilterIndex = 1;
    request.lpstrFile = path;
    request.nMaxFile = MAX_PATH;
    request.lpstrInitialDir = folder && !folder->empty() ? folder->c_str() : nullptr;
    request.lpstrTitle = kind.title;
    request.lpstrDefExt = kind.defaultExtension;
    request.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | kind.flags;
    if (kind.hook) {
        request.lpfnHook = kind.hook;
        request.Flags |= OFN_EXPLORER | OFN_ENABLEHOOK;
    }
    if (!showSaveDialog(&request)) return std::nullopt;
    path[MAX_PATH - 1] = L'\0';
    return platform::Utf8FromWide(path);
}

}  // namespace

std::optional<std::string> AskWhereToSavePage(HWND owner, const std::string& suggestedPath) {
    return AskWhereToSave(owner, suggestedPath,
                          {kFilter, kTitle, kDefaultExtension, OFN_OVERWRITEPROMPT});
}

std::optional<std::string> AskWhereToSaveMod(HWND owner, const std::string& suggestedPath) {
    return AskWhereToSave(owner, suggestedPath,
                          {L"Mod file (*.zip)\0*.zip\0", L"Save the changes as a mod", L"zip",
                           OFN_OVERWRITEPROMPT});
}

UINT_PTR CALLBACK ExtractDialogHook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_NOTIFY) return 0;
    const auto* notice = reinterpret_cast<const OFNOTIFYW*>(lParam);
    if (notice->hdr.code != CDN_FILEOK || !notice->lpOFN->lpstrFile) return 0;
    const std::wstring path = notice->lpOFN->lpstrFile;
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return 0;
    const std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
    const std::wstring text = name + L" exists: choose another name.";
    const HWND dialog = GetParent(hook);
    wchar_t caption[MAX_PATH] = {};
    GetWindowTextW(dialog, caption, MAX_PATH);
    MessageBoxW(dialog, text.c_str(), caption, MB_OK | MB_ICONWARNING);
    SetWindowLongPtrW(hook, DWLP_MSGRESULT, 1);
    return 1;
}

std::optional<std::string> AskWhereToExtractTexture(HWND owner, const std::string& suggestedPath) {
    return AskWhereToSave(
        owner, suggestedPath,
        {L"TGA image (*.tga)\0*.tga\0", L"Extract the texture", L"tga", 0, ExtractDialogHook});
}

void ReplaceSaveDialogForTests(SaveDialogFunction dialog) {
    showSaveDialog = dialog ? dialog : GetSaveFileNameW;
}

}  // namespace sorrelwick::ui
