// Start-up's values: the title, and the default and last folders from the
// game's registry value, set in this machine's registry by each case.

#include "window_test_support.h"

namespace sorrelwick::test {
namespace {

constexpr DWORD kNoKey = 0xFFFFFFFF;

std::string Text0(const std::string& text) {
    return text + '\0';
}

TEST(StartUp, TitleAndFoldersFromTheRegistryElseTheCurrentDirectory) {
    EXPECT_EQ(ui::LoadTitle(GetModuleHandleA(nullptr)), "Sorrelwick");

    const std::string current = ui::CurrentFolder(), k250(250, 'a');
    ASSERT_FALSE(current.empty());
    const struct {
        const char* what;
        DWORD type;  // REG_NONE: the key without the value
        std::string bytes;
        std::string folder;
    } cases[] = {
        {"folder", REG_SZ, Text0("C:\\Tess"), "C:\\Tess\\DATA\\DAT"},
        {"ending in a backslash", REG_SZ, Text0("C:\\Tess\\"), "C:\\Tess\\\\DATA\\DAT"},
        {"expandable string", REG_EXPAND_SZ, Text0("C:\\Tess"), "C:\\Tess\\DATA\\DAT"},
        {"stored without its NUL", REG_SZ, "C:\\NoEnd", "C:\\NoEnd\\DATA\\DAT"},
        {"just fits in 259 characters", REG_SZ, Text0(k250), k250 + "\\DATA\\DAT"},
        {"one character too long", REG_SZ, Text0(k250 + 'a'), current},
        {"longer than the buffer", REG_SZ, Text0(std::string(400, 'b')), current},
        {"empty", REG_SZ, Text0(""), current},
        {"a number", REG_DWORD, std::string("\x43\x3a\x5c\x00", 4), current},
        {"bytes", REG_BINARY, Text0("C:\\Tess"), current},
        {"no value", REG_NONE, "", current},
        {"no key", kNoKey, "", current},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::optional<GameKey> key;
        if (c.type == REG_NONE) key.emplace();
        if (c.type != REG_NONE && c.type != kNoKey) {
            ASSERT_TRUE(key.emplace(c.type, c.bytes).stored);
        }
        ToolState state;
        state.setPath = "C:\\old\\set.DAT";
        state.setName = "set.DAT";
        ui::SetStartFolders(state);
        EXPECT_EQ(state.defaultFolder, c.folder);
        EXPECT_EQ(state.lastFolder, c.folder);
        EXPECT_EQ(state.setPath, "");
        EXPECT_EQ(state.setName, "");
    }
}

}  // namespace
}  // namespace sorrelwick::test
