#include "ui/folder_picker.h"

#include "ui/shared_tool_state.h"

namespace sorrelwick::ui {
namespace {

BrowseFunction browse = SHBrowseForFolderA;
PathFunction pathOf = SHGetPathFromIDListA;

// The shell's allocator, given back on every way out of a command.
class ShellAllocator {
public:
    ShellAllocator() {
        if (FAILED(SHGetMalloc(&allocator_))) allocator_ = nullptr;
    }
    ~ShellAllocator() {
        if (allocator_) allocator_->Release();
    }
    ShellAllocator(const ShellAllocator&) = delete;
    ShellAllocator& operator=(const ShellAllocator&) = delete;

    explicit operator bool() const { return allocator_ != nullptr; }
    void Free(PIDLIST_ABSOLUTE item) { allocator_->Free(item); }

private:
    IMalloc* allocator_ = nullptr;
};

int OnPickerOpened(HWND picker) {
    const std::string& lastFolder = TheToolState().lastFolder;
    if (!lastFolder.empty()) {
        SendMessageA(picker, BFFM_SETSELECTIONA, TRUE,
                     reinterpret_cast<LPARAM>(lastFolder.c_str()));
    }
    return 0;
}

// A virtual item (no file-system path) leaves OK as it was.
int OnSelectionChanged(HWND picker, PCIDLIST_ABSOLUTE item) {
    char path[MAX_PATH] = {};
    if (pathOf(item, path)) {
        path[MAX_PATH - 1] = '\0';
        SendMessageA(picker, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path));
        SendMessageA(picker, BFFM_ENABLEOK, 0, TRUE);
    }
    return 0;
}

// Returning non-zero keeps the picker open.
int OnTypedNameNotValid(HWND picker) {
    SendMessageA(picker, BFFM_ENABLEOK, 0, FALSE);
    return 1;
}

}  // namespace

std::optional<std::string> AskForFolder(HWND owner, const std::string& title) {
    ShellAllocator allocator;
    if (!allocator) return std::nullopt;
    char path[MAX_PATH] = {};
    BROWSEINFOA request = {};
    request.hwndOwner = owner;
    request.pidlRoot = nullptr;  // the whole namespace, from the desktop down
    request.pszDisplayName = path;
    request.lpszTitle = title.c_str();
    request.ulFlags = BIF_EDITBOX | BIF_VALIDATE | BIF_NEWDIALOGSTYLE;
    request.lpfn = FolderPickerCallback;
    request.lParam = 0;
    request.iImage = 0;
    const PIDLIST_ABSOLUTE item = browse(&request);
    if (!item) return std::nullopt;
    // An item outside the file system has no path. Its display name, which
    // the picker left in the buffer, must not stand in for one: it would name
    // a folder under the current directory.
    if (!pathOf(item, path)) path[0] = '\0';
    path[MAX_PATH - 1] = '\0';
    allocator.Free(item);
    return std::string(path);
}

int CALLBACK FolderPickerCallback(HWND picker, UINT event, LPARAM parameter, LPARAM) {
    switch (event) {
        case BFFM_INITIALIZED:
            return OnPickerOpened(picker);
        case BFFM_SELCHANGED:
            return OnSelectionChanged(picker, reinterpret_cast<PCIDLIST_ABSOLUTE>(parameter));
        case BFFM_VALIDATEFAILEDA:
            return OnTypedNameNotValid(picker);
        default:
            return 0;
    }
}

void ReplaceFolderPickerForTests(BrowseFunction browseFunction, PathFunction pathFunction) {
    browse = browseFunction ? browseFunction : SHBrowseForFolderA;
    pathOf = pathFunction ? pathFunction : SHGetPathFromIDListA;
}

}  // namespace sorrelwick::ui
