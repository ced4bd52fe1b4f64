// The program itself, as a user starts it: a whole session in the platform's
// own dialogs, from the registry's folder to the exit code.

#include <filesystem>

#include "window_test_support.h"

namespace sorrelwick::test {
namespace {

class Program : public ::testing::Test {
protected:
    void TearDown() override {
        if (!process.hProcess) return;
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process.hProcess, 99);
        }
        CloseHandle(process.hProcess);
    }
    // Starts it with arguments that it ignores.
    void Start() {
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string path = self;
        path = path.substr(0, path.find_last_of('\\') + 1) + SORRELWICK_PROGRAM_FROM_TESTS;
        std::string commandLine = "\"" + path + "\" --these are /ignored";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        ASSERT_TRUE(CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                   nullptr, nullptr, &startup, &process))
            << path;
        CloseHandle(process.hThread);
    }
    // The program's visible window with this caption, once it is up.
    HWND WindowTitled(const std::string& caption) const {
        for (int tries = 0; tries < 300; ++tries, Sleep(50)) {
            const HWND window = FindWindowA(nullptr, caption.c_str());
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (window && owner == process.dwProcessId && IsWindowVisible(window)) return window;
        }
        return nullptr;
    }
    // The report once it has `count` lines, or as it is after a few seconds.
    static Lines ReportOnceItHas(HWND list, std::size_t count) {
        for (int tries = 0; tries < 100 && ListLines(list).size() < count; ++tries) Sleep(50);
        return ListLines(list);
    }

    PROCESS_INFORMATION process = {};
};

// The registry names the game's folder, the open dialog starts in its
// chess-set folder, the user types a name and the set is listed; each folder
// picker opens on that folder, where the user extracts the textures and
// replaces them; then the specularity is changed, and Exit ends with 0.
TEST_F(Program, LoadsExtractsReplacesAndChangesTheSpecularity) {
    TempDir game;
    const auto setFolder = game.Path() / "DATA" / "DAT";
    std::filesystem::create_directories(setFolder);
    ASSERT_TRUE(gen::ChessSetBuilder()
                    .Signature()
                    .TextureReference("wood.tga")
                    .TextureImage(gen::MakeTga(16, 32, 24))
                    .WriteTo((setFolder / "set1.DAT").string()));
    GameKey key;
    ASSERT_TRUE(key.SetPath(REG_SZ, game.Path().string() + '\0'));

    Start();
    const HWND window = WindowTitled("Sorrelwick");
    ASSERT_NE(window, nullptr);
    const HWND list = GetDlgItem(window, SORRELWICK_REPORT_LIST);
    PressButton(window, SORRELWICK_LOAD_BUTTON);
    const HWND open = WindowTitled("Load a Tessaravine chess set");
    ASSERT_NE(open, nullptr);
    // The file-name field: an edit inside the name combo box, or a plain edit.
    HWND name = GetDlgItem(open, edt1);
    for (HWND box = GetDlgItem(open, cmb13); box && !name;
         box = FindWindowExA(box, nullptr, "ComboBox", nullptr)) {
        name = FindWindowExA(box, nullptr, "Edit", nullptr);
    }
    ASSERT_NE(name, nullptr);
    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("set1.DAT"));
    PostMessageA(open, WM_COMMAND, IDOK, 0);

    ASSERT_NE(WindowTitled("Sorrelwick - set1.DAT"), nullptr);
    const auto Wood = [](std::optional<std::string_view> outcome = std::nullopt) {
        return report::TextureInfoLine("wood.tga", 16, 32, 24, outcome);
    };
    Lines expected = Framed("Loading set1.DAT", {Wood()});
    EXPECT_EQ(ListLines(list), expected);

    const std::string folder = setFolder.string();
    const struct {
        int button;
        const char* window;
        Lines report;
    } steps[] = {
        {SORRELWICK_EXTRACT_BUTTON, "Browse for Folder",
         Framed("Exporting set1.DAT's textures to " + folder, {Wood("Export successful")})},
        {SORRELWICK_REPLACE_BUTTON, "Browse for Folder",
         Framed("Importing textures from " + folder + " into set1.DAT",
                {Wood("Import successful"), "Original file renamed to set1.000"})},
        {SORRELWICK_SPECULARITY_BUTTON, "Change chess set's specularity",
         Framed("Changing specularity of set1.DAT",
                {"Original file renamed to set1.001", "Specularity changed successfully"})},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.window);
        PressButton(window, step.button);
        const HWND dialog = WindowTitled(step.window);
        ASSERT_NE(dialog, nullptr);
        Sleep(200);  // the picker selects the last folder once it is up
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        expected.insert(expected.end(), step.report.begin(), step.report.end());
        EXPECT_EQ(ReportOnceItHas(list, expected.size()), expected);
    }
    EXPECT_TRUE(std::filesystem::exists(setFolder / "wood.tga"));
    PressButton(window, IDOK);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 15000), WAIT_OBJECT_0);
    DWORD code = 99;
    GetExitCodeProcess(process.hProcess, &code);
    EXPECT_EQ(code, 0u);
}

}  // namespace
}  // namespace sorrelwick::test
