#pragma once
// What the main window tests share: a stand-in for the open dialog that
// records each request, the real main window created from the real template,
// and readers for what a user sees in it.

#include <windows.h>
// After windows.h, which it needs.
#include <commdlg.h>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "support/temp_dir.h"
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
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// Read through the wide messages, which also cross into another process
// intact, and given back in the ANSI code page the program wrote them in.
inline std::vector<std::string> ListLines(HWND list) {
    std::vector<std::string> lines;
    const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (WPARAM i = 0; i < static_cast<WPARAM>(count); ++i) {
        const auto length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
        std::vector<wchar_t> wide(static_cast<std::size_t>(length) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide.data()));
        std::string line(static_cast<std::size_t>(length) * 2, '\0');
        const int size =
            WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(length), line.data(),
                                static_cast<int>(line.size()), nullptr, nullptr);
        line.resize(static_cast<std::size_t>(size));
        lines.push_back(line);
    }
    return lines;
}

// The fields of one open-dialog request, copied while the call lasts.
struct OpenRequest {
    DWORD structSize = 0;
    HWND owner = nullptr;
    HINSTANCE instance = nullptr;
    std::string filter;  // the texts, each with its NUL, and the closing NUL
    bool customFilter = false;
    DWORD filterIndex = 0;
    bool fileBufferEmpty = false;
    DWORD fileBufferSize = 0;
    bool fileTitle = false;
    std::optional<std::string> initialFolder;
    std::optional<std::string> title;
    DWORD flags = 0;
    bool defaultExtension = false;
    LPARAM customData = 0;
    bool hook = false;
    bool templateName = false;
};

// Stands in for the platform's open dialog: answers with the next scripted
// path, or cancels when there is none.
class FakeOpenDialog {
  public:
    FakeOpenDialog() {
        requests_.clear();
        answer_.reset();
        ui::ReplaceOpenDialogForTests(&Show);
    }
    ~FakeOpenDialog() { ui::ReplaceOpenDialogForTests(nullptr); }

    void Answer(std::optional<std::string> path) { answer_ = std::move(path); }
    const std::vector<OpenRequest>& Requests() const { return requests_; }

  private:
    static BOOL APIENTRY Show(LPOPENFILENAMEA request) {
        requests_.push_back(Record(*request));
        if (!answer_) return FALSE;
        lstrcpynA(request->lpstrFile, answer_->c_str(), static_cast<int>(request->nMaxFile));
        return TRUE;
    }

    static OpenRequest Record(const OPENFILENAMEA& r) {
        OpenRequest seen;
        seen.structSize = r.lStructSize;
        seen.owner = r.hwndOwner;
        seen.instance = r.hInstance;
        for (const char* p = r.lpstrFilter; p && *p; p += lstrlenA(p) + 1) {
            seen.filter.append(p).push_back('\0');
        }
        seen.filter.push_back('\0');
        seen.customFilter = r.lpstrCustomFilter != nullptr || r.nMaxCustFilter != 0;
        seen.filterIndex = r.nFilterIndex;
        seen.fileBufferEmpty = r.lpstrFile && r.lpstrFile[0] == '\0';
        seen.fileBufferSize = r.nMaxFile;
        seen.fileTitle = r.lpstrFileTitle != nullptr || r.nMaxFileTitle != 0;
        if (r.lpstrInitialDir) seen.initialFolder = r.lpstrInitialDir;
        if (r.lpstrTitle) seen.title = r.lpstrTitle;
        seen.flags = r.Flags;
        seen.defaultExtension = r.lpstrDefExt != nullptr;
        seen.customData = r.lCustData;
        seen.hook = r.lpfnHook != nullptr;
        seen.templateName = r.lpTemplateName != nullptr;
        return seen;
    }

    static inline std::vector<OpenRequest> requests_;
    static inline std::optional<std::string> answer_;
};

inline constexpr const char* kCompanyKey = "SOFTWARE\\Brallion";
inline constexpr const char* kGameKey = "SOFTWARE\\Brallion\\Tessaravine";

// The game's registry key for the length of one test, removed afterwards.
class GameKey {
  public:
    GameKey() {
        RemoveAll();
        created_ = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kGameKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                   nullptr, &key_, nullptr) == ERROR_SUCCESS;
    }
    ~GameKey() {
        if (created_) RegCloseKey(key_);
        RemoveAll();
    }
    GameKey(const GameKey&) = delete;
    GameKey& operator=(const GameKey&) = delete;

    // Stores `bytes` as the value "path" of `type`, exactly as given.
    bool SetPath(DWORD type, const std::string& bytes) {
        return created_ &&
               RegSetValueExA(key_, "path", 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                              static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
    }

    static void RemoveAll() {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kGameKey);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kCompanyKey);
    }

  private:
    HKEY key_ = nullptr;
    bool created_ = false;
};

// Start-up's ToolState, as the program would have it.
inline void ResetToolState() {
    ToolState& state = ui::TheToolState();
    state = ToolState{};
    state.title = ui::LoadTitle(GetModuleHandleA(nullptr));
    ui::SetStartFolders(state);
}

// Takes the quit request a destroyed main window leaves behind, so that it
// cannot end a later modal run; true when there was one with code 0.
inline bool TakeQuitRequest() {
    MSG message;
    bool quit = false;
    while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        quit = message.wParam == 0;
    }
    return quit;
}

// The real main window, modeless and shown, with the open dialog replaced.
class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetToolState();
        window = CreateDialogParamA(GetModuleHandleA(nullptr), ResourceId(SORRELWICK_MAIN_WINDOW),
                                    nullptr, ui::MainWindowProcedure, 0);
        ASSERT_NE(window, nullptr);
        list = GetDlgItem(window, SORRELWICK_REPORT_LIST);
    }
    void TearDown() override {
        if (window) DestroyWindow(window);
        TakeQuitRequest();
    }

    HWND Item(int id) const { return GetDlgItem(window, id); }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    void Click(int id) const { SendMessageA(Item(id), BM_CLICK, 0, 0); }
    std::vector<std::string> Report() const { return ListLines(list); }

    // Presses Load and lets the open dialog answer with `path`, or cancel.
    void Load(std::optional<std::string> path) {
        openDialog.Answer(std::move(path));
        Click(SORRELWICK_LOAD_BUTTON);
    }

    FakeOpenDialog openDialog;
    TempDir dir;
    HWND window = nullptr;
    HWND list = nullptr;
};

// Runs the main window modally, as start-up does. `onActivate` is called soon
// after each time a window of this thread becomes active (the main window
// first, then any dialog it opens), once that window is set up, and posts
// what a user would do there; `onDestroy` sees the main window as it is being
// destroyed. Returns the main window's result, or -1 when it did not end
// within ten seconds.
INT_PTR RunMainWindowModally(std::function<void(HWND window)> onActivate,
                             std::function<void(HWND window)> onDestroy = {});

}  // namespace sorrelwick::test
