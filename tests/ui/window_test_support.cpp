#include "window_test_support.h"

#include <ostream>
#include <utility>

#include "generators/chess_set_builder.h"
#include "generators/tga_builder.h"
#include "report/lines.h"
#include "support/report_matchers.h"

namespace sorrelwick::test {

std::vector<std::string> ListLines(HWND list) {
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

// Recording window ----------------------------------------------------------

namespace {

constexpr const char* kRecorderClass = "SorrelwickTestRecorder";
std::vector<SentMessage> recorded;

bool CarriesText(UINT message) {
    return message == BFFM_SETSELECTIONA || message == BFFM_SETSTATUSTEXTA;
}

LRESULT CALLBACK Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message < WM_USER) return DefWindowProcA(window, message, wParam, lParam);
    SentMessage sent{message, wParam, lParam, {}};
    if (CarriesText(message) && lParam) {
        sent.text = reinterpret_cast<const char*>(lParam);
        sent.lParam = 0;  // the pointer itself means nothing to a test
    }
    recorded.push_back(sent);
    return 0;
}

}  // namespace

void PrintTo(const SentMessage& sent, std::ostream* out) {
    *out << "{WM_USER+" << sent.message - WM_USER << ", " << sent.wParam << ", " << sent.lParam
         << ", \"" << sent.text << "\"}";
}

RecordingWindow::RecordingWindow() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = Record;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kRecorderClass;
    RegisterClassA(&windowClass);  // fails harmlessly once registered
    window_ = CreateWindowA(kRecorderClass, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
    recorded.clear();
}

RecordingWindow::~RecordingWindow() {
    DestroyWindow(window_);
}

std::vector<SentMessage> RecordingWindow::Take() {
    return std::exchange(recorded, {});
}

// Open dialog ---------------------------------------------------------------

FakeOpenDialog::FakeOpenDialog() {
    requests_.clear();
    answer_.reset();
    ui::ReplaceOpenDialogForTests(&Show);
}

FakeOpenDialog::~FakeOpenDialog() {
    ui::ReplaceOpenDialogForTests(nullptr);
}

BOOL APIENTRY FakeOpenDialog::Show(LPOPENFILENAMEA request) {
    OpenRequest seen{*request, {}, false, {}, {}};
    for (const char* p = request->lpstrFilter; p && *p; p += lstrlenA(p) + 1) {
        seen.filter.append(p).push_back('\0');
    }
    seen.filter.push_back('\0');
    seen.fileBufferEmpty = request->lpstrFile && request->lpstrFile[0] == '\0';
    if (request->lpstrInitialDir) seen.initialFolder = request->lpstrInitialDir;
    if (request->lpstrTitle) seen.title = request->lpstrTitle;
    requests_.push_back(seen);
    if (!answer_) return FALSE;
    lstrcpynA(request->lpstrFile, answer_->c_str(), static_cast<int>(request->nMaxFile));
    return TRUE;
}

// Folder picker -------------------------------------------------------------

namespace {

BOOL WINAPI FailWithoutTouchingTheBuffer(PCIDLIST_ABSOLUTE, LPSTR) {
    return FALSE;
}

}  // namespace

FakeFolderPicker::FakeFolderPicker() {
    requests_.clear();
    Cancel();
    ui::ReplaceFolderPickerForTests(&Show, nullptr);
}

FakeFolderPicker::~FakeFolderPicker() {
    ui::ReplaceFolderPickerForTests(nullptr, nullptr);
}

void FakeFolderPicker::Confirm(const std::string& folder) {
    displayName_ = folder.substr(folder.find_last_of('\\') + 1);
    answer_ = [folder] { return ILCreateFromPathA(folder.c_str()); };
}

void FakeFolderPicker::ConfirmVirtualItem() {
    displayName_ = "My Computer";
    answer_ = [] {
        PIDLIST_ABSOLUTE item = nullptr;
        SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &item);
        return item;
    };
}

void FakeFolderPicker::Cancel() {
    answer_ = [] { return PIDLIST_ABSOLUTE{}; };
}

void FakeFolderPicker::FailPaths() {
    ui::ReplaceFolderPickerForTests(&Show, &FailWithoutTouchingTheBuffer);
}

PIDLIST_ABSOLUTE WINAPI FakeFolderPicker::Show(LPBROWSEINFOA request) {
    PickerRequest seen{*request, request->lpszTitle ? request->lpszTitle : "", false, {}};
    seen.displayNameEmpty = request->pszDisplayName && request->pszDisplayName[0] == '\0';
    if (request->lpfn) {
        const RecordingWindow picker;
        request->lpfn(picker.Handle(), BFFM_INITIALIZED, 0, request->lParam);
        seen.atOpening = RecordingWindow::Take();
    }
    requests_.push_back(seen);
    const PIDLIST_ABSOLUTE item = answer_();
    if (item && request->pszDisplayName) {
        lstrcpynA(request->pszDisplayName, displayName_.c_str(), MAX_PATH);
    }
    return item;
}

// Registry and state --------------------------------------------------------

GameKey::GameKey() {
    RemoveAll();
    created_ = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kGameKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                               &key_, nullptr) == ERROR_SUCCESS;
}

GameKey::~GameKey() {
    if (created_) RegCloseKey(key_);
    RemoveAll();
}

bool GameKey::SetPath(DWORD type, const std::string& bytes) {
    return created_ &&
           RegSetValueExA(key_, "path", 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                          static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

void GameKey::RemoveAll() {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kGameKey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kCompanyKey);
}

void ResetToolState() {
    ToolState& state = ui::TheToolState();
    state = ToolState{};
    state.title = ui::LoadTitle(GetModuleHandleA(nullptr));
    ui::SetStartFolders(state);
}

bool TakeQuitRequest() {
    MSG message;
    bool quit = false;
    while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        quit = message.wParam == 0;
    }
    return quit;
}

// Scripts -------------------------------------------------------------------

namespace {

std::function<void(HWND)> activationScript;
std::function<void(HWND)> destructionScript;
HWND firstWindow = nullptr;
HHOOK activationHook = nullptr;
UINT_PTR giveUpTimer = 0;
std::vector<HWND> activated;

// Windows become active before their dialog procedure has set them up; the
// script sees them once the thread has nothing else to do.
void CALLBACK RunActivationScript(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    const std::vector<HWND> windows = std::exchange(activated, {});
    for (const HWND window : windows) {
        if (IsWindow(window) && activationScript) activationScript(window);
    }
}

LRESULT CALLBACK WatchActivation(int code, WPARAM wParam, LPARAM lParam) {
    const auto window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE) {
        if (!firstWindow) firstWindow = window;
        activated.push_back(window);
        SetTimer(nullptr, 0, 1, RunActivationScript);
    } else if (code == HCBT_DESTROYWND && window == firstWindow && destructionScript) {
        destructionScript(window);
    }
    return CallNextHookEx(activationHook, code, wParam, lParam);
}

void CALLBACK GiveUp(HWND, UINT, UINT_PTR, DWORD) {
    if (firstWindow) EndDialog(firstWindow, -1);
}

// While it lives, the scripts of RunDialog act; see there.
class ActivationScript {
public:
    ActivationScript(std::function<void(HWND)> onActivate, std::function<void(HWND)> onDestroy);
    ~ActivationScript();
    ActivationScript(const ActivationScript&) = delete;
    ActivationScript& operator=(const ActivationScript&) = delete;
};

ActivationScript::ActivationScript(std::function<void(HWND)> onActivate,
                                   std::function<void(HWND)> onDestroy) {
    activationScript = std::move(onActivate);
    destructionScript = std::move(onDestroy);
    firstWindow = nullptr;
    activated.clear();
    activationHook = SetWindowsHookExA(WH_CBT, WatchActivation, nullptr, GetCurrentThreadId());
    giveUpTimer = SetTimer(nullptr, 0, 10000, GiveUp);
}

ActivationScript::~ActivationScript() {
    KillTimer(nullptr, giveUpTimer);
    UnhookWindowsHookEx(activationHook);
    activationScript = nullptr;
    destructionScript = nullptr;
}

}  // namespace

INT_PTR RunDialog(int id, DLGPROC procedure, HWND owner, std::function<void(HWND)> onActivate,
                  std::function<void(HWND)> onDestroy) {
    const ActivationScript script(std::move(onActivate), std::move(onDestroy));
    return DialogBoxParamA(GetModuleHandleA(nullptr), ResourceId(id), owner, procedure, 0);
}

void PressButton(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void PressEscape(HWND dialog) {
    PostMessageA(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
}

void PressCloseBox(HWND dialog) {
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

// Main window ---------------------------------------------------------------

void MainWindowTest::SetUp() {
    ResetToolState();
    window = CreateDialogParamA(GetModuleHandleA(nullptr), ResourceId(SORRELWICK_MAIN_WINDOW),
                                nullptr, ui::MainWindowProcedure, 0);
    ASSERT_NE(window, nullptr);
    list = GetDlgItem(window, SORRELWICK_REPORT_LIST);
}

void MainWindowTest::TearDown() {
    if (window) DestroyWindow(window);
    TakeQuitRequest();
}

void MainWindowTest::RunCommand(int id, std::function<void(HWND)> onActivate) const {
    const ActivationScript script(std::move(onActivate), {});
    SendMessageA(window, WM_COMMAND, static_cast<WPARAM>(id), 0);
}

void MainWindowTest::Load(std::optional<std::string> path) {
    openDialog.Answer(std::move(path));
    Click(SORRELWICK_LOAD_BUTTON);
}

std::vector<std::string> MainWindowTest::LoadSmallSet(const std::string& name) {
    const std::string path = dir.File(name);
    EXPECT_TRUE(gen::ChessSetBuilder()
                    .Signature()
                    .TextureReference("wood.tga")
                    .TextureImage(gen::MakeTga(16, 32, 24))
                    .WriteTo(path));
    Load(path);
    return Framed("Loading " + name, {report::TextureInfoLine("wood.tga", 16, 32, 24)});
}

}  // namespace sorrelwick::test
