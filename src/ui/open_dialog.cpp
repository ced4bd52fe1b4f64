#include "ui/open_dialog.h"

#include "platform/win32/wide_text.h"

namespace sorrelwick::ui {
namespace {

// Filter pairs, each text NUL-terminated, the list ended by a second NUL.
constexpr wchar_t kSetFilter[] = L"Tessaravine chess set (*.DAT)\0*.DAT\0";
constexpr wchar_t kSetOrBackupFilter[] =
    L"Tessaravine chess set or backup (*.DAT, *.000 to *.999)\0"
    L"*.DAT;*.0??;*.1??;*.2??;*.3??;*.4??;*.5??;*.6??;*.7??;*.8??;*.9??\0"
    L"Tessaravine chess set (*.DAT)\0*.DAT\0";
constexpr wchar_t kModFilter[] = L"Mod file (*.zip)\0*.zip\0";
constexpr wchar_t kSetTitle[] = L"Load a Tessaravine chess set";
constexpr wchar_t kModTitle[] = L"Apply a mod to the chess set";
constexpr wchar_t kSetOrBackupTitle[] = L"Choose a Tessaravine chess set or one of its backups";
// Added to a typed name that has no extension of its own.
constexpr wchar_t kDefaultExtension[] = L"DAT";

OpenDialogFunction showOpenDialog = GetOpenFileNameW;

bool IsFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// `path` with its file name spelt as on disk: a dialog may hand back a typed
// name, or its default extension, in another case.
std::wstring AsOnDisk(const std::wstring& path) {
    WIN32_FIND_DATAW found = {};
    const HANDLE search = FindFirstFileW(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return path;
    FindClose(search);
    const std::size_t separator = path.find_last_of(L"\\/");
    return path.substr(0, separator == std::wstring::npos ? 0 : separator + 1) + found.cFileName;
}

// Some dialogs check that a file exists before they add the default
// extension, so a typed "set" would be refused though "set.DAT" exists; the
// dialog is therefore not asked to check, and the name is resolved here.
// A path longer than the system takes is never resolved.
std::optional<std::wstring> ExistingFile(const std::wstring& path) {
    if (path.size() > platform::kMaxWidePathLength) return std::nullopt;
    if (IsFile(path)) return AsOnDisk(path);
    std::wstring withExtension = path + L"." + kDefaultExtension;
    if (withExtension.size() <= platform::kMaxWidePathLength && IsFile(withExtension)) {
        return AsOnDisk(withExtension);
    }
    return std::nullopt;
}

}  // namespace

UINT_PTR CALLBACK OpenDialogHook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_NOTIFY) return 0;
    const auto* notice = reinterpret_cast<const OFNOTIFYW*>(lParam);
    if (notice->hdr.code != CDN_FILEOK || !notice->lpOFN->lpstrFile) return 0;
    const std::wstring path = notice->lpOFN->lpstrFile;
    if (ExistingFile(path)) return 0;
    const std::wstring text = path + L"\nFile not found.\nCheck the file name and try again.";
    const HWND dialog = GetParent(hook);
    wchar_t caption[MAX_PATH] = {};
    GetWindowTextW(dialog, caption, MAX_PATH);
    MessageBoxW(dialog, text.c_str(), caption, MB_OK | MB_ICONWARNING);
    SetWindowLongPtrW(hook, DWLP_MSGRESULT, 1);
    return 1;
}

std::optional<std::string> AskForChessSet(HWND owner, const std::string& startFolder,
                                          OpenChoice choice) {
    const bool backups = choice == OpenChoice::kChessSetOrBackup;
    // A start folder the system can't take is left to the dialog's choice.
    const std::optional<std::wstring> start = platform::WidePath(startFolder);
    wchar_t path[MAX_PATH] = {};
    OPENFILENAMEW request = {};
    // The shorter structure form, which every system version accepts.
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    request.hwndOwner = owner;
    const bool mod = choice == OpenChoice::kModFile;
    request.lpstrFilter = mod ? kModFilter : backups ? kSetOrBackupFilter : kSetFilter;
    request.nFilterIndex = 1;
    request.lpstrFile = path;
    request.nMaxFile = MAX_PATH;
    request.lpstrInitialDir = start && !start->empty() ? start->c_str() : nullptr;
    request.lpstrTitle = mod ? kModTitle : backups ? kSetOrBackupTitle : kSetTitle;
    request.lpstrDefExt = mod ? L"zip" : kDefaultExtension;
    request.lpfnHook = OpenDialogHook;
    request.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_ENABLEHOOK;
    // A path that doesn't fit the buffer makes the dialog fail: it is never
    // cut and then used.
    if (!showOpenDialog(&request)) return std::nullopt;
    path[MAX_PATH - 1] = L'\0';
    // A name the hook did not see (or a stand-in dialog's) is kept as it is,
    // and the loading reports it.
    return platform::Utf8FromWide(ExistingFile(path).value_or(path));
}

std::optional<std::string> AskForTextureFile(HWND owner, const std::string& startFolder,
                                             bool converting) {
    constexpr wchar_t kFilter[] = L"Texture picture (*.tga, *.png)\0*.tga;*.png\0";
    // The arrays hold their own closing zero: each filter ends in two.
    constexpr wchar_t kPictures[] =
        L"Picture (*.tga, *.png, *.bmp, *.jpg, *.jpeg, *.psd, *.gif)\0"
        L"*.tga;*.png;*.bmp;*.jpg;*.jpeg;*.psd;*.gif\0";
    const std::optional<std::wstring> folder = platform::WidePath(startFolder);
    wchar_t path[MAX_PATH] = {};
    OPENFILENAMEW request = {};
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    request.hwndOwner = owner;
    request.lpstrFilter = converting ? kPictures : kFilter;
    request.nFilterIndex = 1;
    request.lpstrFile = path;
    request.nMaxFile = MAX_PATH;
    request.lpstrInitialDir = folder && !folder->empty() ? folder->c_str() : nullptr;
    request.lpstrTitle = L"Replace the texture from a file";
    request.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    if (!showOpenDialog(&request)) return std::nullopt;
    path[MAX_PATH - 1] = L'\0';
    return platform::Utf8FromWide(path);
}

void ReplaceOpenDialogForTests(OpenDialogFunction dialog) {
    showOpenDialog = dialog ? dialog : GetOpenFileNameW;
}

}  // namespace sorrelwick::ui
