#pragma once
// What the window tests share: the report's lines, and the real main window with stand-ins for the
// open and save dialogs, the folder picker and the browser launch.

#include <windows.h>
// After windows.h, which they need.
#include <commdlg.h>
#include <gtest/gtest.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "generators/chess_set_builder.h"
#include "generators/tga_builder.h"
#include "report/lines.h"
#include "support/report_matchers.h"
#include "support/temp_dir.h"
#include "ui/browser_launch.h"
#include "ui/folder_picker.h"
#include "ui/main_window.h"
#include "ui/open_dialog.h"
#include "ui/page_save_dialog.h"
#include "ui/resource_ids.h"
#include "ui/shared_tool_state.h"
#include "ui/start_up.h"
#include "ui/user_settings.h"
#include "window_script.h"

namespace sorrelwick::test {

using Lines = std::vector<std::string>;

inline void Append(Lines& lines, const Lines& more) {
    lines.insert(lines.end(), more.begin(), more.end());
}

inline Lines Joined(Lines lines, const Lines& more) {
    Append(lines, more);
    return lines;
}

inline std::string Text(const wchar_t* text) {
    return text ? Utf8(text) : "(null)";
}

// A chess set with the one texture wood.tga, of `image`.
inline bool WriteWoodSet(const std::string& path, const std::vector<std::uint8_t>& image) {
    return gen::ChessSetBuilder()
        .Signature()
        .TextureReference("wood.tga")
        .TextureImage(image)
        .WriteTo(path);
}

// Files of `dir` dropped on `window` from the shell, named by their full
// paths, at `at` in its client area.
inline void Drop(HWND window, const TempDir& dir, const Lines& files, POINT at = {}) {
    std::wstring names;
    for (const std::string& file : files) names += Wide(dir.File(file)) + L'\0';
    names += L'\0';
    const HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(GlobalLock(drop));
    header->pFiles = sizeof(DROPFILES);
    header->pt = at;
    header->fWide = TRUE;
    std::memcpy(header + 1, names.data(), names.size() * sizeof(wchar_t));
    GlobalUnlock(drop);
    SendMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);  // frees it
}

inline void PressControlC(HWND control) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    const BYTE controlWas = keys[VK_CONTROL];
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(control, WM_KEYDOWN, 'C', 0);
    keys[VK_CONTROL] = controlWas;
    SetKeyboardState(keys);
}

// The clipboard's text, which it then no longer holds.
inline std::wstring TakeClipboardText() {
    if (!OpenClipboard(nullptr)) return L"(clipboard not open)";
    std::wstring text = L"(no text)";
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    EmptyClipboard();
    CloseClipboard();
    return text;
}

// Read through the wide messages, which also cross into another process
// intact, and given back as the UTF-8 the program wrote them in.
inline Lines ListLines(HWND list) {
    Lines lines;
    const auto count = static_cast<WPARAM>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (WPARAM i = 0; i < count; ++i) {
        std::wstring wide(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)), L'\0');
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide.data()));
        lines.push_back(Utf8(wide));
    }
    return lines;
}

// How wide `text` is drawn in `control`'s own font, in pixels.
inline LONG DrawnWidth(HWND control, const std::string& text) {
    const HDC dc = GetDC(control);
    const HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size = {};
    const std::wstring wide = Wide(text);
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    return size.cx;
}

// Where `control` lies in the client area of `window`.
inline RECT PlaceIn(HWND window, HWND control) {
    RECT place = {};
    GetWindowRect(control, &place);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&place), 2);
    return place;
}

inline LOGFONTW FontOf(HWND window) {
    LOGFONTW font = {};
    const auto handle = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    GetObjectW(handle, sizeof font, &font);
    return font;
}

inline int ScreenDpi() {
    const HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return dpi;
}

// Start-up's ToolState, as the program would have it.
inline void ResetToolState() {
    ToolState& state = ui::TheToolState();
    state = ToolState{};
    state.title = ui::LoadTitle(GetModuleHandleA(nullptr));
    ui::SetStartFolders(state);
}

// Takes the quit request a destroyed main window leaves behind, so that it
// cannot end a later modal run.
inline void TakeQuitRequest() {
    MSG message;
    while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) continue;
}

// Runs dialog template `id` modally while `act` acts in it; its result.
inline INT_PTR RunDialog(int id, DLGPROC procedure, HWND owner, std::function<void(HWND)> act) {
    INT_PTR result = 0;
    WhileActing(std::move(act), [&] {
        result = DialogBoxParamW(nullptr, MAKEINTRESOURCEW(id), owner, procedure, 0);
    });
    return result;
}

// The real main window, modeless, with stand-ins for the open and save
// dialogs, the folder picker and the browser launch that record each request
// (with the texts it points to) in the test running.
class MainWindowTest : public ::testing::Test {
protected:
    struct OpenRequest {
        OPENFILENAMEW fields;
        std::string filter;  // each text with its NUL, and the closing NUL
        std::string fileBuffer, initialFolder, title, defaultExtension;
    };
    struct PickerRequest {
        BROWSEINFOW fields;
        std::string title, displayName, lastFolder;  // lastFolder: where it opens
    };
    struct Launch {
        HWND owner;
        std::string verb, file;
        bool noParameters, noFolder;
        INT show;
        bool operator==(const Launch&) const = default;
    };

    void SetUp() override {
        ResetToolState();
        running = this;
        UseStandIns(true);
        window = CreateDialogParamW(nullptr, MAKEINTRESOURCEW(SORRELWICK_MAIN_WINDOW), nullptr,
                                    ui::MainWindowProcedure, 0);
        ASSERT_NE(window, nullptr);
        list = Item(SORRELWICK_REPORT_LIST);
    }
    void TearDown() override {
        if (window) DestroyWindow(window);
        TakeQuitRequest();
        UseStandIns(false);
    }
    static void UseStandIns(bool use) {
        // What the window remembers for the user, kept apart and forgotten
        // before and after each test.
        RegDeleteKeyW(HKEY_CURRENT_USER, kTestSettingsKey);
        ui::UseSettingsKeyForTests(use ? kTestSettingsKey : nullptr);
        ui::ReplaceOpenDialogForTests(use ? &OpenDialog : nullptr);
        ui::ReplaceSaveDialogForTests(use ? &SaveDialog : nullptr);
        ui::ReplaceFolderPickerForTests(use ? &FolderPicker : nullptr, nullptr);
        ui::ReplaceBrowserLaunchForTests(use ? &LaunchBrowser : nullptr);
    }

    HWND Item(int id) const { return GetDlgItem(window, id); }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    void Click(int id) const { SendMessageW(Item(id), BM_CLICK, 0, 0); }
    Lines Report() const { return ListLines(list); }
    // Clicks `id` while `act` acts in each window that opens; false when a
    // dialog had to be ended for it.
    bool ClickActing(int id, std::function<void(HWND)> act) const {
        return WhileActing(std::move(act), [&] { Click(id); });
    }
    // What a user sees of the loaded set (none when `name` is empty): the
    // caption and the set's commands; and the ToolState.
    void ExpectLoaded(const std::string& name) const {
        SCOPED_TRACE("loaded: " + name);
        const bool loaded = !name.empty();
        EXPECT_EQ(WindowText(window), loaded ? "Sorrelwick - " + name : "Sorrelwick");
        for (const int id : {SORRELWICK_EXTRACT_BUTTON, SORRELWICK_REPLACE_BUTTON,
                             SORRELWICK_SPECULARITY_BUTTON, SORRELWICK_PREVIEW_BUTTON}) {
            EXPECT_EQ(Enabled(id), loaded) << id;
        }
        EXPECT_EQ(ui::TheToolState().setPath, loaded ? dir.File(name) : "");
        EXPECT_EQ(ui::TheToolState().setName, name);
    }

    // Presses Load and lets the open dialog answer with `path`, or cancel.
    void Load(std::optional<std::string> path) {
        openAnswer = std::move(path);
        Click(SORRELWICK_LOAD_BUTTON);
    }
    // A chess set with one texture, and the lines of its listing.
    Lines WriteSmallSet(const std::string& name) {
        EXPECT_TRUE(WriteWoodSet(dir.File(name), gen::MakeTga(16, 32, 24)));
        return Framed("Loading " + name, {report::TextureInfoLine("wood.tga", 16, 32, 24)});
    }
    // The same, loaded.
    Lines LoadSmallSet(const std::string& name) {
        Lines listing = WriteSmallSet(name);
        Load(dir.File(name));
        return listing;
    }

    static OpenRequest Recorded(const OPENFILENAMEW* r) {
        std::string filter;
        for (const wchar_t* p = r->lpstrFilter; p && *p; p += lstrlenW(p) + 1) {
            filter.append(Utf8(p)).push_back('\0');
        }
        filter.push_back('\0');
        const std::string file = Text(r->lpstrFile), folder = Text(r->lpstrInitialDir);
        return {*r, filter, file, folder, Text(r->lpstrTitle), Text(r->lpstrDefExt)};
    }
    // Records the request and answers with `answer`, or cancels.
    static BOOL Answer(LPOPENFILENAMEW r, std::vector<OpenRequest>& requests,
                       const std::optional<std::string>& answer) {
        requests.push_back(Recorded(r));
        if (answer) lstrcpynW(r->lpstrFile, Wide(*answer).c_str(), static_cast<int>(r->nMaxFile));
        return answer ? TRUE : FALSE;
    }
    static BOOL APIENTRY OpenDialog(LPOPENFILENAMEW r) {
        return Answer(r, running->openRequests, running->openAnswer);
    }
    static BOOL APIENTRY SaveDialog(LPOPENFILENAMEW r) {
        return Answer(r, running->saveRequests, running->saveAnswer);
    }
    // Says it opened the file, or fails as the shell does when no program
    // is registered for it.
    static HINSTANCE WINAPI LaunchBrowser(HWND owner, LPCWSTR verb, LPCWSTR file,
                                          LPCWSTR parameters, LPCWSTR folder, INT show) {
        running->launches.push_back({owner, Text(verb), Text(file), !parameters, !folder, show});
        const INT_PTR result = running->launchWorks ? 42 : SE_ERR_NOASSOC;
        return reinterpret_cast<HINSTANCE>(result);
    }
    // Gives the item `pickerAnswer` names, or nothing when none, with a
    // display name as the picker writes one.
    static PIDLIST_ABSOLUTE WINAPI FolderPicker(LPBROWSEINFOW r) {
        running->pickerRequests.push_back(
            {*r, Text(r->lpszTitle), Text(r->pszDisplayName), ui::TheToolState().lastFolder});
        const std::optional<std::string>& answer = running->pickerAnswer;
        if (!answer) return nullptr;
        lstrcpynW(r->pszDisplayName, L"Display name", MAX_PATH);
        return ILCreateFromPathW(Wide(*answer).c_str());
    }

    static constexpr wchar_t kTestSettingsKey[] = L"Software\\Sorrelwick window tests";
    static inline MainWindowTest* running = nullptr;
    std::vector<OpenRequest> openRequests, saveRequests;
    std::optional<std::string> openAnswer, saveAnswer, pickerAnswer;
    std::vector<Launch> launches;
    bool launchWorks = true;
    std::vector<PickerRequest> pickerRequests;
    TempDir dir;
    HWND window = nullptr;
    HWND list = nullptr;
};

}  // namespace sorrelwick::test
