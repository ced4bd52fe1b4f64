#include "ui/folder_picker.h"

#include <vector>

#include "platform/win32/wide_text.h"
#include "ui/shared_tool_state.h"

namespace sorrelwick::ui {
namespace {

BrowseFunction browse = SHBrowseForFolderW;
PathFunction pathOf = SHGetPathFromIDListEx;

// The item's whole path, asked for in a buffer that holds any path, so that
// it is never cut to fit: nullopt for an item outside the file system, and
// for a path longer than the system takes without the long-path prefix.
std::optional<std::wstring> WholePathOf(PCIDLIST_ABSOLUTE item) {
    constexpr DWORD kAnyPath = 32768;
    std::vector<wchar_t> path(kAnyPath, L'\0');
    if (!pathOf(item, path.data(), kAnyPath, GPFIDL_DEFAULT)) return std::nullopt;
    path.back() = L'\0';
    std::wstring whole = path.data();
    if (whole.empty() || whole.size() > platform::kMaxWidePathLength) return std::nullopt;
    return whole;
}

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
    const std::optional<std::wstring> lastFolder = platform::WidePath(TheToolState().lastFolder);
    if (lastFolder && !lastFolder->empty()) {
        SendMessageW(picker, BFFM_SETSELECTIONW, TRUE,
                     reinterpret_cast<LPARAM>(lastFolder->c_str()));
    }
    return 0;
}

// A virtual item (no file-system path) leaves OK as it was.
int OnSelectionChanged(HWND picker, PCIDLIST_ABSOLUTE item) {
    if (const std::optional<std::wstring> path = WholePathOf(item)) {
        SendMessageW(picker, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(path->c_str()));
        SendMessageW(picker, BFFM_ENABLEOK, 0, TRUE);
    }
    return 0;
}

// Returning non-zero keeps the picker open.
int OnTypedNameNotValid(HWND picker) {
    SendMessageW(picker, BFFM_ENABLEOK, 0, FALSE);
    return 1;
}

}  // namespace

std::optional<std::string> AskForFolder(HWND owner, const std::string& title) {
    ShellAllocator allocator;
    if (!allocator) return std::nullopt;
    wchar_t displayName[MAX_PATH] = {};
    const std::wstring wideTitle = platform::WideForDisplay(title);
    BROWSEINFOW request = {};
    request.hwndOwner = owner;
    request.pidlRoot = nullptr;  // the whole namespace, from the desktop down
    request.pszDisplayName = displayName;
    request.lpszTitle = wideTitle.c_str();
    request.ulFlags = BIF_EDITBOX | BIF_VALIDATE | BIF_NEWDIALOGSTYLE;
    request.lpfn = FolderPickerCallback;
    request.lParam = 0;
    request.iImage = 0;
    const PIDLIST_ABSOLUTE item = browse(&request);
    if (!item) return std::nullopt;
    // An item outside the file system has no path. Its display name, which
    // the picker left in its buffer, must not stand in for one: it would name
    // a folder under the current directory. Nor may a path that had to be
    // cut: both give the empty path, which the operation refuses.
    const std::optional<std::wstring> path = WholePathOf(item);
    allocator.Free(item);
    return path ? platform::Utf8FromWide(*path).value_or(std::string()) : std::string();
}

int CALLBACK FolderPickerCallback(HWND picker, UINT event, LPARAM parameter, LPARAM) {
    switch (event) {
        case BFFM_INITIALIZED:
            return OnPickerOpened(picker);
        case BFFM_SELCHANGED:
            return OnSelectionChanged(picker, reinterpret_cast<PCIDLIST_ABSOLUTE>(parameter));
        case BFFM_VALIDATEFAILEDW:
            return OnTypedNameNotValid(picker);
        default:
            return 0;
    }
}

void ReplaceFolderPickerForTests(BrowseFunction browseFunction, PathFunction pathFunction) {
    browse = browseFunction ? browseFunction : SHBrowseForFolderW;
    pathOf = pathFunction ? pathFunction : SHGetPathFromIDListEx;
}

}  // namespace sorrelwick::ui
