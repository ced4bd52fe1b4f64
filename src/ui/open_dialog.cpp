#include "ui/open_dialog.h"

namespace sorrelwick::ui {
namespace {

// Filter pairs, each text NUL-terminated, the list ended by a second NUL.
constexpr char kSetFilter[] = "Tessaravine chess set (*.DAT)\0*.DAT\0";
constexpr char kSetOrBackupFilter[] =
    "Tessaravine chess set or backup (*.DAT, *.000 to *.999)\0"
    "*.DAT;*.0??;*.1??;*.2??;*.3??;*.4??;*.5??;*.6??;*.7??;*.8??;*.9??\0"
    "Tessaravine chess set (*.DAT)\0*.DAT\0";
constexpr char kSetTitle[] = "Load a Tessaravine chess set";
constexpr char kSetOrBackupTitle[] = "Choose a Tessaravine chess set or one of its backups";
// Added to a typed name that has no extension of its own.
constexpr char kDefaultExtension[] = "DAT";

OpenDialogFunction showOpenDialog = GetOpenFileNameA;

bool IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// `path` with its file name spelt as on disk: a dialog may hand back a typed
// name, or its default extension, in another case.
std::string AsOnDisk(const std::string& path) {
    WIN32_FIND_DATAA found = {};
    const HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return path;
    FindClose(search);
    const std::size_t separator = path.find_last_of("\\/");
    return path.substr(0, separator == std::string::npos ? 0 : separator + 1) + found.cFileName;
}

// Some dialogs check that a file exists before they add the default
// extension, so a typed "set" would be refused though "set.DAT" exists; the
// dialog is therefore not asked to check, and the name is resolved here.
std::optional<std::string> ExistingFile(const std::string& path) {
    if (IsFile(path)) return AsOnDisk(path);
    std::string withExtension = path + "." + kDefaultExtension;
    if (IsFile(withExtension)) return AsOnDisk(withExtension);
    return std::nullopt;
}

}  // namespace

UINT_PTR CALLBACK OpenDialogHook(HWND hook, UINT message, WPARAM, LPARAM lParam) {
    if (message != WM_NOTIFY) return 0;
    const auto* notice = reinterpret_cast<const OFNOTIFYA*>(lParam);
    if (notice->hdr.code != CDN_FILEOK || !notice->lpOFN->lpstrFile) return 0;
    const std::string path = notice->lpOFN->lpstrFile;
    if (ExistingFile(path)) return 0;
    const std::string text = path + "\nFile not found.\nCheck the file name and try again.";
    const HWND dialog = GetParent(hook);
    char caption[MAX_PATH] = {};
    GetWindowTextA(dialog, caption, MAX_PATH);
    MessageBoxA(dialog, text.c_str(), caption, MB_OK | MB_ICONWARNING);
    SetWindowLongPtrA(hook, DWLP_MSGRESULT, 1);
    return 1;
}

std::optional<std::string> AskForChessSet(HWND owner, const std::string& startFolder,
                                          OpenChoice choice) {
    const bool backups = choice == OpenChoice::kChessSetOrBackup;
    char path[MAX_PATH] = {};
    OPENFILENAMEA request = {};
    // The shorter structure form, which every system version accepts.
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    request.hwndOwner = owner;
    request.lpstrFilter = backups ? kSetOrBackupFilter : kSetFilter;
    request.nFilterIndex = 1;
    request.lpstrFile = path;
    request.nMaxFile = MAX_PATH;
    request.lpstrInitialDir = startFolder.empty() ? nullptr : startFolder.c_str();
    request.lpstrTitle = backups ? kSetOrBackupTitle : kSetTitle;
    request.lpstrDefExt = kDefaultExtension;
    request.lpfnHook = OpenDialogHook;
    request.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_EXPLORER | OFN_ENABLEHOOK;
    if (!showOpenDialog(&request)) return std::nullopt;
    path[MAX_PATH - 1] = '\0';
    // A name the hook did not see (or a stand-in dialog's) is kept as it is,
    // and the loading reports it.
    return ExistingFile(path).value_or(path);
}

void ReplaceOpenDialogForTests(OpenDialogFunction dialog) {
    showOpenDialog = dialog ? dialog : GetOpenFileNameA;
}

}  // namespace sorrelwick::ui
