// Start-up's values: the title, and the default and last folders from the
// game's registry value, set in this machine's registry by each test.

#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <string>

#include "window_test_support.h"

namespace sorrelwick::test {
namespace {

std::string Text(const std::string& text) {
    return text + '\0';
}

struct RegistryCase {
    const char* what;
    DWORD type;
    std::string bytes;
    std::optional<std::string> folder;  // nothing: the current directory
};

class StartUpFolders : public ::testing::TestWithParam<RegistryCase> {};

TEST_P(StartUpFolders, DefaultFolderAndLastFolder) {
    const RegistryCase& c = GetParam();
    GameKey key;
    ASSERT_TRUE(key.SetPath(c.type, c.bytes));

    ToolState state;
    state.setPath = "C:\\old\\set.DAT";
    state.setName = "set.DAT";
    ui::SetStartFolders(state);
    const std::string expected = c.folder ? *c.folder : ui::CurrentFolder();
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(state.defaultFolder, expected);
    EXPECT_EQ(state.lastFolder, expected);
    EXPECT_EQ(state.setPath, "");
    EXPECT_EQ(state.setName, "");
}

const std::string k250(250, 'a');
const std::string k251(251, 'a');

INSTANTIATE_TEST_SUITE_P(
    Registry, StartUpFolders,
    ::testing::Values(
        RegistryCase{"folder", REG_SZ, Text("C:\\Games\\Tess"), "C:\\Games\\Tess\\DATA\\DAT"},
        RegistryCase{"trailing backslash kept", REG_SZ, Text("C:\\Games\\Tess\\"),
                     "C:\\Games\\Tess\\\\DATA\\DAT"},
        RegistryCase{"folder that does not exist", REG_SZ, Text("Q:\\nowhere"),
                     "Q:\\nowhere\\DATA\\DAT"},
        RegistryCase{"expandable string taken as it is", REG_EXPAND_SZ, Text("C:\\Tess"),
                     "C:\\Tess\\DATA\\DAT"},
        RegistryCase{"stored without terminator", REG_SZ, "C:\\NoEnd", "C:\\NoEnd\\DATA\\DAT"},
        RegistryCase{"just fits in 259 characters", REG_SZ, Text(k250), k250 + "\\DATA\\DAT"},
        RegistryCase{"one character too long", REG_SZ, Text(k251), std::nullopt},
        RegistryCase{"longer than the buffer", REG_SZ, Text(std::string(400, 'b')), std::nullopt},
        RegistryCase{"empty", REG_SZ, Text(""), std::nullopt},
        RegistryCase{"a number", REG_DWORD, std::string("\x43\x3a\x5c\x00", 4), std::nullopt},
        RegistryCase{"bytes", REG_BINARY, Text("C:\\Tess"), std::nullopt},
        RegistryCase{"string list", REG_MULTI_SZ, Text(Text("C:\\Tess")), std::nullopt}),
    [](const ::testing::TestParamInfo<RegistryCase>& param) {
        std::string name;
        for (const char c : std::string(param.param.what)) {
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        }
        return name;
    });

TEST(StartUp, WithoutKeyOrValueTheCurrentDirectory) {
    GameKey::RemoveAll();
    EXPECT_EQ(ui::GameDataFolder(), std::nullopt);
    {
        GameKey keyWithoutValue;
        EXPECT_EQ(ui::GameDataFolder(), std::nullopt);
    }
    char current[MAX_PATH] = {};
    ASSERT_GT(GetCurrentDirectoryA(MAX_PATH, current), 0u);
    ToolState state;
    ui::SetStartFolders(state);
    EXPECT_EQ(state.defaultFolder, current);
    EXPECT_EQ(state.lastFolder, current);
}

TEST(StartUp, TitleComesFromTheStringTable) {
    EXPECT_EQ(ui::LoadTitle(GetModuleHandleA(nullptr)), "Sorrelwick");
}

}  // namespace
}  // namespace sorrelwick::test
