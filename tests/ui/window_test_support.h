#pragma once
// What the window tests share: readers for what a user sees, stand-ins for
// the open dialog and the folder picker that record each request, the game's
// registry key, a way to act in modal dialogs, and the real main window.

#include <windows.h>
// After windows.h, which they need.
#include <commdlg.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "generators/chess_set_builder.h"
#include "generators/tga_builder.h"
#include "report/lines.h"
#include "support/report_matchers.h"
#include "support/temp_dir.h"
#include "ui/folder_picker.h"
#include "ui/main_window.h"
#include "ui/open_dialog.h"
#include "ui/resource_ids.h"
#include "ui/shared_tool_state.h"
#include "ui/start_up.h"

namespace sorrelwick::test {

using Lines = std::vector<std::string>;

inline std::string Text(const char* text) {
    return text ? text : "(null)";
}

inline std::string WindowText(HWND window) {
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Read through the wide messages, which also cross into another process
// intact, and given back in the ANSI code page the program wrote them in.
inline Lines ListLines(HWND list) {
    Lines lines;
    const auto count = static_cast<WPARAM>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (WPARAM i = 0; i < count; ++i) {
        std::wstring wide(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)), L'\0');
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide.data()));
        std::string line(wide.size() * 2, '\0');
        line.resize(static_cast<std::size_t>(
            WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), line.data(),
                                static_cast<int>(line.size()), nullptr, nullptr)));
        lines.push_back(line);
    }
    return lines;
}

// A message from WM_USER up that the recorder received; `text` when its
// second parameter is a text (the picker's selection and status messages).
struct SentMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    std::string text;
    bool operator==(const SentMessage&) const = default;
};
inline void PrintTo(const SentMessage& m, std::ostream* out) {
    *out << "{WM_USER+" << m.message - WM_USER << ", " << m.wParam << ", " << m.lParam << ", \""
         << m.text << "\"}";
}
inline std::vector<SentMessage> recorded;

inline LRESULT CALLBACK Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message < WM_USER) return DefWindowProcA(window, message, wParam, lParam);
    const bool text = message == BFFM_SETSELECTIONA || message == BFFM_SETSTATUSTEXTA;
    recorded.push_back(
        {message, wParam, text ? 0 : lParam, text ? reinterpret_cast<const char*>(lParam) : ""});
    return 0;
}

// A hidden window that records what is sent to it, as the folder picker
// would receive it; what it has recorded is taken with std::exchange.
inline HWND Recorder() {
    static const HWND window = [] {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = Record;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "SorrelwickTestRecorder";
        RegisterClassA(&windowClass);
        return CreateWindowA(windowClass.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr,
                             nullptr, windowClass.hInstance, nullptr);
    }();
    return window;
}

// The game's registry key while it lives, without the value "path" until
// SetPath stores it; removed with its company key before and after.
class GameKey {
public:
    GameKey() {
        RemoveAll();
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brallion\\Tessaravine", 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    }
    ~GameKey() {
        RegCloseKey(key_);
        RemoveAll();
    }
    GameKey(const GameKey&) = delete;
    GameKey& operator=(const GameKey&) = delete;
    bool SetPath(DWORD type, const std::string& bytes) {
        return RegSetValueExA(key_, "path", 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                              static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
    }
    static void RemoveAll() {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brallion\\Tessaravine");
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brallion");
    }

private:
    HKEY key_ = nullptr;
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
    while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) quit = message.wParam == 0;
    return quit;
}

// Acting in modal dialogs. Windows become active before their dialog
// procedure has set them up, so the script sees each one once the thread
// has nothing else to do.
namespace acting {
inline std::function<void(HWND)> script;
inline std::vector<HWND> activated;
inline HWND first = nullptr;
inline HHOOK hook = nullptr;
inline bool gaveUp = false;

inline void CALLBACK RunScript(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    for (const HWND window : std::exchange(activated, {})) {
        if (IsWindow(window) && script) script(window);
    }
}
inline LRESULT CALLBACK Watch(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        if (!first) first = reinterpret_cast<HWND>(wParam);
        activated.push_back(reinterpret_cast<HWND>(wParam));
        SetTimer(nullptr, 0, 1, RunScript);
    }
    return CallNextHookEx(hook, code, wParam, lParam);
}
inline void CALLBACK GiveUp(HWND, UINT, UINT_PTR, DWORD) {
    gaveUp = first != nullptr;
    if (first) EndDialog(first, -1);
}
}  // namespace acting

// Runs `open`, which shows a modal dialog, while `act` sees each window of
// this thread that becomes active and posts what a user would do there. A
// dialog still up after ten seconds is ended with -1, so that a script that
// never ends it fails its test instead of hanging it; false then.
inline bool WhileActing(std::function<void(HWND)> act, const std::function<void()>& open) {
    acting::script = std::move(act);
    acting::first = nullptr;
    acting::gaveUp = false;
    acting::activated.clear();
    acting::hook = SetWindowsHookExA(WH_CBT, acting::Watch, nullptr, GetCurrentThreadId());
    const UINT_PTR giveUp = SetTimer(nullptr, 0, 10000, acting::GiveUp);
    open();
    KillTimer(nullptr, giveUp);
    UnhookWindowsHookEx(acting::hook);
    acting::script = nullptr;
    return !acting::gaveUp;
}

// Runs dialog template `id` modally while `act` acts in it; its result.
inline INT_PTR RunDialog(int id, DLGPROC procedure, HWND owner, std::function<void(HWND)> act) {
    INT_PTR result = 0;
    WhileActing(std::move(act), [&] {
        result = DialogBoxParamA(nullptr, MAKEINTRESOURCEA(id), owner, procedure, 0);
    });
    return result;
}

// What a user does in a dialog; posted, as input would arrive.
inline void PressButton(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}
inline void PressEscape(HWND dialog) {
    PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
}
inline void PressCloseBox(HWND dialog) {
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

// The real main window, modeless, with stand-ins for the open dialog and the
// folder picker that record each request (with the texts it points to).
class MainWindowTest : public ::testing::Test {
protected:
    struct OpenRequest {
        OPENFILENAMEA fields;
        std::string filter;  // each text with its NUL, and the closing NUL
        std::string fileBuffer, initialFolder, title;
    };
    struct PickerRequest {
        BROWSEINFOA fields;
        std::string title, displayName;
        std::vector<SentMessage> atOpening;  // what the callback sent as the picker opened
    };

    void SetUp() override {
        ResetToolState();
        openRequests.clear();
        pickerRequests.clear();
        CancelPicker();
        ui::ReplaceOpenDialogForTests(&OpenDialog);
        ui::ReplaceFolderPickerForTests(&FolderPicker, nullptr);
        window = CreateDialogParamA(nullptr, MAKEINTRESOURCEA(SORRELWICK_MAIN_WINDOW), nullptr,
                                    ui::MainWindowProcedure, 0);
        ASSERT_NE(window, nullptr);
        list = Item(SORRELWICK_REPORT_LIST);
    }
    void TearDown() override {
        if (window) DestroyWindow(window);
        TakeQuitRequest();
        ui::ReplaceOpenDialogForTests(nullptr);
        ui::ReplaceFolderPickerForTests(nullptr, nullptr);
    }

    HWND Item(int id) const { return GetDlgItem(window, id); }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    void Click(int id) const { SendMessageA(Item(id), BM_CLICK, 0, 0); }
    Lines Report() const { return ListLines(list); }
    // Clicks `id` while `act` acts in each window that opens; false when a
    // dialog had to be ended for it.
    bool ClickActing(int id, std::function<void(HWND)> act) const {
        return WhileActing(std::move(act), [&] { Click(id); });
    }

    // Presses Load and lets the open dialog answer with `path`, or cancel.
    void Load(std::optional<std::string> path) {
        openAnswer = std::move(path);
        Click(SORRELWICK_LOAD_BUTTON);
    }
    // A chess set with one texture, loaded, and the lines of its listing.
    Lines LoadSmallSet(const std::string& name) {
        EXPECT_TRUE(gen::ChessSetBuilder()
                        .Signature()
                        .TextureReference("wood.tga")
                        .TextureImage(gen::MakeTga(16, 32, 24))
                        .WriteTo(dir.File(name)));
        Load(dir.File(name));
        return Framed("Loading " + name, {report::TextureInfoLine("wood.tga", 16, 32, 24)});
    }

    // What the folder picker answers next: a folder, an item without a
    // file-system path (My Computer), or cancel.
    static void ConfirmFolder(const std::string& folder) {
        displayName = folder.substr(folder.find_last_of('\\') + 1);
        pickerAnswer = [folder] { return ILCreateFromPathA(folder.c_str()); };
    }
    static void ConfirmMyComputer() {
        displayName = "My Computer";
        pickerAnswer = [] {
            PIDLIST_ABSOLUTE item = nullptr;
            SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &item);
            return item;
        };
    }
    static void CancelPicker() {
        pickerAnswer = [] { return PIDLIST_ABSOLUTE{}; };
    }
    // From now on an item's path is asked of a stand-in that fails and leaves
    // the buffer as it was, the display name still in it.
    static void FailPaths() { ui::ReplaceFolderPickerForTests(&FolderPicker, &NoPath); }

    static BOOL APIENTRY OpenDialog(LPOPENFILENAMEA r) {
        OpenRequest seen{*r, {}, Text(r->lpstrFile), Text(r->lpstrInitialDir), Text(r->lpstrTitle)};
        for (const char* p = r->lpstrFilter; p && *p; p += lstrlenA(p) + 1) {
            seen.filter.append(p).push_back('\0');
        }
        seen.filter.push_back('\0');
        openRequests.push_back(seen);
        if (openAnswer) lstrcpynA(r->lpstrFile, openAnswer->c_str(), static_cast<int>(r->nMaxFile));
        return openAnswer ? TRUE : FALSE;
    }
    // Opens by calling the request's callback as the picker does, and writes
    // the display name into the request as the picker does.
    static PIDLIST_ABSOLUTE WINAPI FolderPicker(LPBROWSEINFOA r) {
        PickerRequest seen{*r, Text(r->lpszTitle), Text(r->pszDisplayName), {}};
        recorded.clear();
        if (r->lpfn) r->lpfn(Recorder(), BFFM_INITIALIZED, 0, r->lParam);
        seen.atOpening = std::exchange(recorded, {});
        pickerRequests.push_back(seen);
        const PIDLIST_ABSOLUTE item = pickerAnswer();
        if (item) lstrcpynA(r->pszDisplayName, displayName.c_str(), MAX_PATH);
        return item;
    }
    static BOOL WINAPI NoPath(PCIDLIST_ABSOLUTE, LPSTR) { return FALSE; }

    static inline std::vector<OpenRequest> openRequests;
    static inline std::optional<std::string> openAnswer;
    static inline std::vector<PickerRequest> pickerRequests;
    static inline std::function<PIDLIST_ABSOLUTE()> pickerAnswer;
    static inline std::string displayName;
    TempDir dir;
    HWND window = nullptr;
    HWND list = nullptr;
};

}  // namespace sorrelwick::test
