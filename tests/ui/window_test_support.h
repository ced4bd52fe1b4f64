#pragma once
// What the window tests share: stand-ins for the open dialog and the folder
// picker that record each request, a window that records the messages sent
// to it, the real windows created from the real templates, and readers for
// what a user sees in them.

#include <windows.h>
// After windows.h, which they need.
#include <commdlg.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "ui/folder_picker.h"
#include "ui/main_window.h"
#include "ui/open_dialog.h"
#include "ui/resource_ids.h"
#include "ui/shared_tool_state.h"
#include "ui/start_up.h"

namespace sorrelwick::test {

inline LPCSTR ResourceId(int id) {
    return reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(id));
}

inline std::string WindowText(HWND window) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Read through the wide messages, which also cross into another process
// intact, and given back in the ANSI code page the program wrote them in.
std::vector<std::string> ListLines(HWND list);

// One message that a recording window received; `text` when its second
// parameter is a text (the folder picker's selection and status messages).
struct SentMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::string text;
    bool operator==(const SentMessage&) const = default;
};
void PrintTo(const SentMessage& sent, std::ostream* out);

// A hidden window that records every message from WM_USER up.
class RecordingWindow {
public:
    RecordingWindow();
    ~RecordingWindow();
    RecordingWindow(const RecordingWindow&) = delete;
    RecordingWindow& operator=(const RecordingWindow&) = delete;

    HWND Handle() const { return window_; }
    static std::vector<SentMessage> Take();

private:
    HWND window_ = nullptr;
};

// The fields of one open-dialog request and the texts they point to, copied
// while the call lasts.
struct OpenRequest {
    OPENFILENAMEA fields;
    std::string filter;  // the texts, each with its NUL, and the closing NUL
    bool fileBufferEmpty = false;
    std::optional<std::string> initialFolder;
    std::optional<std::string> title;
};

// Stands in for the platform's open dialog: answers with the next scripted
// path, or cancels when there is none.
class FakeOpenDialog {
public:
    FakeOpenDialog();
    ~FakeOpenDialog();
    void Answer(std::optional<std::string> path) { answer_ = std::move(path); }
    const std::vector<OpenRequest>& Requests() const { return requests_; }

private:
    static BOOL APIENTRY Show(LPOPENFILENAMEA request);
    static inline std::vector<OpenRequest> requests_;
    static inline std::optional<std::string> answer_;
};

// One folder-picker request, copied while the call lasts, and what the
// callback did when the picker opened.
struct PickerRequest {
    BROWSEINFOA fields;
    std::string title;
    bool displayNameEmpty = false;
    std::vector<SentMessage> atOpening;
};

// Stands in for the platform's folder picker: opens by calling the request's
// callback as the picker does, writes a display name as the picker does,
// then confirms the scripted item or cancels.
class FakeFolderPicker {
public:
    FakeFolderPicker();
    ~FakeFolderPicker();
    void Confirm(const std::string& folder);
    void ConfirmVirtualItem();  // My Computer: no file-system path
    void Cancel();
    // An item's path is asked of a stand-in that fails and leaves the buffer
    // as it was, the display name still in it.
    void FailPaths();
    const std::vector<PickerRequest>& Requests() const { return requests_; }

private:
    static PIDLIST_ABSOLUTE WINAPI Show(LPBROWSEINFOA request);
    static inline std::vector<PickerRequest> requests_;
    static inline std::function<PIDLIST_ABSOLUTE()> answer_;
    static inline std::string displayName_;
};

inline constexpr const char* kCompanyKey = "SOFTWARE\\Brallion";
inline constexpr const char* kGameKey = "SOFTWARE\\Brallion\\Tessaravine";

// The game's registry key for the length of one test, removed afterwards.
class GameKey {
public:
    GameKey();
    ~GameKey();
    GameKey(const GameKey&) = delete;
    GameKey& operator=(const GameKey&) = delete;

    // Stores `bytes` as the value "path" of `type`, exactly as given.
    bool SetPath(DWORD type, const std::string& bytes);
    static void RemoveAll();

private:
    HKEY key_ = nullptr;
    bool created_ = false;
};

// Start-up's ToolState, as the program would have it.
void ResetToolState();

// Takes the quit request a destroyed main window leaves behind, so that it
// cannot end a later modal run; true when there was one with code 0.
bool TakeQuitRequest();

// Runs dialog template `id` modally with `procedure`, owned by `owner`, and
// returns its result. `onActivate` is called soon after each time a window
// of this thread becomes active, once that window is set up, and posts what
// a user would do there; `onDestroy` sees the dialog as it is being
// destroyed. A dialog still up after ten seconds is ended with -1, so that a
// script that never ends it fails its test instead of hanging it.
INT_PTR RunDialog(int id, DLGPROC procedure, HWND owner,
                  std::function<void(HWND window)> onActivate,
                  std::function<void(HWND window)> onDestroy = {});

// What a user does to end a dialog; posted, as input would arrive.
void PressButton(HWND dialog, int id);
void PressEscape(HWND dialog);
void PressCloseBox(HWND dialog);

// The real main window, modeless, with the open dialog and the folder picker
// replaced.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    HWND Item(int id) const { return GetDlgItem(window, id); }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    void Click(int id) const { SendMessageA(Item(id), BM_CLICK, 0, 0); }
    // Runs command `id` while `onActivate` acts in each window that opens.
    void RunCommand(int id, std::function<void(HWND window)> onActivate) const;
    std::vector<std::string> Report() const { return ListLines(list); }

    // Presses Load and lets the open dialog answer with `path`, or cancel.
    void Load(std::optional<std::string> path);
    // A chess set with one texture, loaded, and the lines of its listing.
    std::vector<std::string> LoadSmallSet(const std::string& name);

    FakeOpenDialog openDialog;
    FakeFolderPicker folderPicker;
    TempDir dir;
    HWND window = nullptr;
    HWND list = nullptr;
};

}  // namespace sorrelwick::test
