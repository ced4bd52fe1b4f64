// The program itself, as a user starts it: a whole session in the platform's
// own dialogs, from the registry's folder to the exit code.

#include <filesystem>
#include <memory>

#include "window_test_support.h"

namespace sorrelwick::test {
namespace {

// The registry names the game's folder, the open dialog starts in its
// chess-set folder, the user types a name and the set is listed; each folder
// picker opens on that folder, where the user extracts the textures and
// replaces them; then the specularity is changed, and Exit ends with 0.
TEST(Program, LoadsExtractsReplacesAndChangesTheSpecularity) {
    TempDir game;
    const auto setFolder = game.Path() / "DATA" / "DAT";
    std::filesystem::create_directories(setFolder);
    ASSERT_TRUE(gen::ChessSetBuilder()
                    .Signature()
                    .TextureReference("wood.tga")
                    .TextureImage(gen::MakeTga(16, 32, 24))
                    .WriteTo((setFolder / "set1.DAT").string()));
    const GameKey key(REG_SZ, game.Path().string() + '\0');
    ASSERT_TRUE(key.stored);

    // Started beside the tests, with arguments that it ignores.
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path = self;
    path = path.substr(0, path.find_last_of('\\') + 1) + SORRELWICK_PROGRAM_FROM_TESTS;
    std::string commandLine = "\"" + path + "\" --these are /ignored";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                               nullptr, nullptr, &startup, &process))
        << path;
    const std::unique_ptr<void, void (*)(HANDLE)> ending(process.hProcess, [](HANDLE handle) {
        TerminateProcess(handle, 99);  // only if it is still running
        CloseHandle(handle);
    });
    CloseHandle(process.hThread);
    // The program's visible window with this caption, once it is up.
    const auto windowTitled = [&](const char* caption) {
        for (int tries = 0; tries < 300; ++tries, Sleep(50)) {
            const HWND window = FindWindowA(nullptr, caption);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (window && owner == process.dwProcessId && IsWindowVisible(window)) return window;
        }
        return HWND{};
    };

    const HWND window = windowTitled("Sorrelwick");
    ASSERT_NE(window, nullptr);
    const HWND list = GetDlgItem(window, SORRELWICK_REPORT_LIST);
    PressButton(window, SORRELWICK_LOAD_BUTTON);
    const HWND open = windowTitled("Load a Tessaravine chess set");
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
    ASSERT_NE(windowTitled("Sorrelwick - set1.DAT"), nullptr);

    const auto wood = [](std::optional<std::string_view> outcome = std::nullopt) {
        return report::TextureInfoLine("wood.tga", 16, 32, 24, outcome);
    };
    const std::string folder = setFolder.string();
    const struct {
        int button;
        const char* window;
        Lines report;
    } steps[] = {
        {SORRELWICK_EXTRACT_BUTTON, "Browse for Folder",
         Framed("Exporting set1.DAT's textures to " + folder, {wood("Export successful")})},
        {SORRELWICK_REPLACE_BUTTON, "Browse for Folder",
         Framed("Importing textures from " + folder + " into set1.DAT",
                {wood("Import successful"), "Original file renamed to set1.000"})},
        {SORRELWICK_SPECULARITY_BUTTON, "Change chess set's specularity",
         Framed("Changing specularity of set1.DAT",
                {"Original file renamed to set1.001", "Specularity changed successfully"})},
    };
    Lines expected = Framed("Loading set1.DAT", {wood()});
    EXPECT_EQ(ListLines(list), expected);
    for (const auto& step : steps) {
        SCOPED_TRACE(step.window);
        PressButton(window, step.button);
        const HWND dialog = windowTitled(step.window);
        ASSERT_NE(dialog, nullptr);
        Sleep(200);  // the picker selects the last folder once it is up
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        Append(expected, step.report);
        for (int tries = 0; tries < 100 && ListLines(list).size() < expected.size(); ++tries) {
            Sleep(50);
        }
        EXPECT_EQ(ListLines(list), expected);
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
