// The program as a user starts it: start-up's values from the registry, and
// a whole session in the platform's own dialogs, from the registry's folder
// to the exit code.

#include <filesystem>
#include <utility>

#include "window_test_support.h"

namespace sorrelwick::test {
namespace {

// The game's registry key while it lives, with the value "path" of `type`
// holding `text` in UTF-16, with its NUL unless `nul` is false (no type: the
// key without the value); removed with its company key before and after.
class GameKey {
public:
    GameKey(std::optional<DWORD> type, const std::wstring& text, bool nul = true) {
        Remove();
        HKEY key = nullptr;
        RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Brallion\\Tessaravine", 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr);
        const auto bytes = static_cast<DWORD>((text.size() + (nul ? 1 : 0)) * sizeof(wchar_t));
        const auto* data = reinterpret_cast<const BYTE*>(text.c_str());
        if (type) {
            EXPECT_EQ(RegSetValueExW(key, L"path", 0, *type, data, bytes), ERROR_SUCCESS);
        }
        RegCloseKey(key);
    }
    ~GameKey() { Remove(); }
    GameKey(const GameKey&) = delete;
    GameKey& operator=(const GameKey&) = delete;
    static void Remove() { RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Brallion"); }
};

constexpr DWORD kNoKey = 0xFFFFFFFF;

// The default and last folders from the game's registry value, set in this
// machine's registry by each case.
TEST(StartUp, FoldersFromTheRegistryElseTheCurrentDirectory) {
    const std::string current = ui::CurrentFolder(), k250(250, 'a');
    ASSERT_FALSE(current.empty());
    const struct {
        const char* what;
        std::optional<DWORD> type;  // none: the key without the value
        std::string text;
        std::string folder;
        bool nul = true;  // stored with its NUL
    } cases[] = {
        {"folder", REG_SZ, "C:\\Tess", "C:\\Tess\\DATA\\DAT"},
        {"ending in a backslash", REG_SZ, "C:\\Tess\\", "C:\\Tess\\\\DATA\\DAT"},
        {"expandable string", REG_EXPAND_SZ, "C:\\Tess", "C:\\Tess\\DATA\\DAT"},
        {"stored without its NUL", REG_SZ, "C:\\NoEnd", "C:\\NoEnd\\DATA\\DAT", false},
        {"just fits in 259 characters", REG_SZ, k250, k250 + "\\DATA\\DAT"},
        {"one character too long", REG_SZ, k250 + 'a', current},
        {"longer than the buffer", REG_SZ, std::string(400, 'b'), current},
        {"empty", REG_SZ, "", current},
        {"bytes", REG_BINARY, "C:\\Tess", current},
        {"no value", std::nullopt, "", current},
        {"no key", kNoKey, "", current},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::optional<GameKey> key;
        if (c.type != kNoKey) key.emplace(c.type, Wide(c.text), c.nul);
        ToolState state;
        SetLoadedSet(state, "C:\\old\\set.DAT");
        ui::SetStartFolders(state);
        EXPECT_EQ(state.defaultFolder, c.folder);
        EXPECT_EQ(state.lastFolder, c.folder);
        EXPECT_EQ(state.setPath, "");
        EXPECT_EQ(state.setName, "");
    }
}

// The program started beside the tests, as a user starts it, and ended with
// the test if it is still running.
class Program : public ::testing::Test {
protected:
    ~Program() override {
        if (!process.hProcess) return;
        TerminateProcess(process.hProcess, 99);  // only if it is still running
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
        const std::wstring wide = Wide(caption);
        for (int tries = 0; tries < 300; ++tries, Sleep(50)) {
            const HWND window = FindWindowW(nullptr, wide.c_str());
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (window && owner == process.dwProcessId && IsWindowVisible(window)) return window;
        }
        return HWND{};
    }

    PROCESS_INFORMATION process = {};
};

// The registry names the game's folder, the open dialog starts in its
// chess-set folder, the user types a name, with or without its extension, and
// the set is listed; each folder picker opens on that folder, where the user
// extracts the textures and replaces them; then the specularity is changed,
// and Exit ends with 0. In folders and with names in any language, outside
// the code page the tests run in (1252).
TEST_F(Program, LoadsExtractsReplacesAndChangesTheSpecularity) {
    const struct {
        std::string game, stem, typed;
    } places[] = {{"game", "set1", "set1.DAT"},
                  {"Шахматы", "Доска", "Доска"},
                  {"棋子 集😀", "棋盘😀", "棋盘😀"}};
    for (const auto& [game, stem, typed] : places) {
        SCOPED_TRACE(stem);
        const std::string set = stem + ".DAT";
        TempDir temp;
        const std::string folder = temp.Path().string() + "\\" + game + "\\DATA\\DAT";
        std::filesystem::create_directories(gen::Utf8Path(folder));
        ASSERT_TRUE(WriteWoodSet(folder + "\\" + set, gen::MakeTga(16, 32, 24)));
        const GameKey key(REG_SZ, Wide(temp.Path().string() + "\\" + game));
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
        SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(typed).c_str()));
        PostMessageA(open, WM_COMMAND, IDOK, 0);
        ASSERT_NE(WindowTitled("Sorrelwick - " + set), nullptr);

        const auto wood = [](std::optional<std::string_view> outcome = std::nullopt) {
            return report::TextureInfoLine("wood.tga", 16, 32, 24, outcome);
        };
        const struct {
            int button;
            const char* window;
            Lines report;
        } steps[] = {
            {SORRELWICK_EXTRACT_BUTTON, "Browse for Folder",
             Framed("Exporting " + set + "'s textures to " + folder, {wood("Export successful")})},
            {SORRELWICK_REPLACE_BUTTON, "Browse for Folder",
             Framed("Importing textures from " + folder + " into " + set,
                    {wood("Import successful"), "Original file renamed to " + stem + ".000"})},
            {SORRELWICK_SPECULARITY_BUTTON, "Change chess set's specularity",
             Framed("Changing specularity of " + set, {"Original file renamed to " + stem + ".001",
                                                       "Specularity changed successfully"})},
        };
        Lines expected = Framed("Loading " + set, {wood()});
        EXPECT_EQ(ListLines(list), expected);
        for (const auto& step : steps) {
            SCOPED_TRACE(step.window);
            PressButton(window, step.button);
            const HWND dialog = WindowTitled(step.window);
            ASSERT_NE(dialog, nullptr);
            Sleep(200);  // the picker selects the last folder once it is up
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            Append(expected, step.report);
            for (int tries = 0; tries < 100 && ListLines(list).size() < expected.size(); ++tries) {
                Sleep(50);
            }
            EXPECT_EQ(ListLines(list), expected);
        }
        EXPECT_TRUE(std::filesystem::exists(gen::Utf8Path(folder + "\\wood.tga")));
        PressButton(window, IDOK);
        EXPECT_EQ(WaitForSingleObject(process.hProcess, 15000), WAIT_OBJECT_0);
        DWORD code = 99;
        GetExitCodeProcess(process.hProcess, &code);
        EXPECT_EQ(code, 0u);
        CloseHandle(std::exchange(process.hProcess, nullptr));
    }
}

}  // namespace
}  // namespace sorrelwick::test
