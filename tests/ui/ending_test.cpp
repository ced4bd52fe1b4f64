// How the main window ends, run modally as start-up runs it, and the program
// itself: from start through a Load in the platform's own open dialog to its
// exit code.

#include <gtest/gtest.h>

#include <filesystem>

#include "generators/chess_set_builder.h"
#include "generators/tga_builder.h"
#include "report/lines.h"
#include "support/report_matchers.h"
#include "window_test_support.h"

namespace sorrelwick::test {
namespace {

// What a user does to end the main window; posted, as input would arrive.
struct Ending {
    const char* what;
    void (*act)(HWND window);
    INT_PTR result;
};

void PressExit(HWND window) {
    PostMessageA(GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
}

void PressEnterInReport(HWND window) {
    const HWND list = GetDlgItem(window, SORRELWICK_REPORT_LIST);
    PostMessageA(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
    PostMessageA(list, WM_KEYDOWN, VK_RETURN, 0);
}

void PressEscape(HWND window) {
    PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
}

void CloseBox(HWND window) {
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

const Ending kEndings[] = {
    {"Exit button", PressExit, IDOK},
    {"Enter with the report focused", PressEnterInReport, IDOK},
    {"Escape", PressEscape, IDCANCEL},
    {"close box", CloseBox, IDCANCEL},
};

TEST(MainWindowEnding, EachWayEndsWithItsResultReleasesTheFontAndPostsQuit) {
    for (const Ending& ending : kEndings) {
        SCOPED_TRACE(ending.what);
        ResetToolState();
        HFONT font = nullptr;
        const INT_PTR result = RunMainWindowModally(ending.act, [&](HWND window) {
            const HWND list = GetDlgItem(window, SORRELWICK_REPORT_LIST);
            font = reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0));
        });
        EXPECT_EQ(result, ending.result);
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(GetObjectType(font), 0u) << "report font still exists";
        EXPECT_TRUE(TakeQuitRequest());
    }
}

// The program as a user starts it, with arguments it ignores.
class Program : public ::testing::Test {
  protected:
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
    void TearDown() override {
        if (!process.hProcess) return;
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process.hProcess, 99);
        }
        CloseHandle(process.hProcess);
    }

    // The program's visible window with this caption, once it is up.
    HWND WindowTitled(const std::string& caption) const {
        for (int tries = 0; tries < 300; ++tries) {
            Search search = {process.dwProcessId, caption, nullptr};
            EnumWindows(FindWindowOfProgram, reinterpret_cast<LPARAM>(&search));
            if (search.found) return search.found;
            Sleep(50);
        }
        return nullptr;
    }
    HWND MainWindow() const { return WindowTitled("Sorrelwick"); }

    struct Search {
        DWORD processId;
        std::string caption;
        HWND found;
    };
    static BOOL CALLBACK FindWindowOfProgram(HWND window, LPARAM data) {
        auto* search = reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
        if (WindowText(window) != search->caption) return TRUE;
        search->found = window;
        return FALSE;
    }

    DWORD ExitCode() const {
        EXPECT_EQ(WaitForSingleObject(process.hProcess, 15000), WAIT_OBJECT_0);
        DWORD code = 99;
        GetExitCodeProcess(process.hProcess, &code);
        return code;
    }

    PROCESS_INFORMATION process = {};
};

class ProgramEnding : public Program, public ::testing::WithParamInterface<Ending> {};

TEST_P(ProgramEnding, ExitsWithCodeZero) {
    Start();
    const HWND window = MainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window, SORRELWICK_EXTRACT_BUTTON)));
    GetParam().act(window);
    EXPECT_EQ(ExitCode(), 0u);
}

// The whole path: the registry names the game's folder, the open dialog
// starts in its chess-set folder, the user types a name and the set is listed.
TEST_F(Program, LoadsAChessSetFromTheGamesFolder) {
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
    const HWND window = MainWindow();
    ASSERT_NE(window, nullptr);
    PostMessageA(GetDlgItem(window, SORRELWICK_LOAD_BUTTON), BM_CLICK, 0, 0);
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
    EXPECT_EQ(ListLines(GetDlgItem(window, SORRELWICK_REPORT_LIST)),
              Framed("Loading set1.DAT", {report::TextureInfoLine("wood.tga", 16, 32, 24)}));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(window, SORRELWICK_EXTRACT_BUTTON)));
    PressExit(window);
    EXPECT_EQ(ExitCode(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Program, ProgramEnding, ::testing::ValuesIn(kEndings),
                         [](const ::testing::TestParamInfo<Ending>& param) {
                             return std::to_string(param.index);
                         });

}  // namespace
}  // namespace sorrelwick::test
