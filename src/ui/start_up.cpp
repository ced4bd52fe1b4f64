#include "ui/start_up.h"

#include <cstring>
#include <string_view>

#include "ui/resource_ids.h"

namespace sorrelwick::ui {
namespace {

constexpr int kTitleCapacity = 100;
constexpr DWORD kPathCapacity = MAX_PATH;
constexpr const char* kGameKey = "SOFTWARE\\Brallion\\Tessaravine";
constexpr const char* kInstallFolderValue = "path";
constexpr std::string_view kDataSuffix = "\\DATA\\DAT";

bool IsText(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

// The value's text as it lies in the buffer: up to its first NUL, or all of
// it when it was stored without one.
std::optional<std::string> ReadInstallFolder() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kGameKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    char buffer[kPathCapacity] = {};
    DWORD type = REG_NONE;
    DWORD size = sizeof buffer;
    // A value longer than the buffer fails with ERROR_MORE_DATA and counts as absent.
    const LONG read = RegQueryValueExA(key, kInstallFolderValue, nullptr, &type,
                                       reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || !IsText(type)) return std::nullopt;
    return std::string(buffer, strnlen(buffer, size));
}

}  // namespace

std::string LoadTitle(HINSTANCE instance) {
    char buffer[kTitleCapacity] = {};
    const int length = LoadStringA(instance, SORRELWICK_TITLE_STRING, buffer, kTitleCapacity);
    return std::string(buffer, static_cast<std::size_t>(length > 0 ? length : 0));
}

std::optional<std::string> GameDataFolder() {
    const std::optional<std::string> install = ReadInstallFolder();
    if (!install || install->empty()) return std::nullopt;
    // A folder cut short would point somewhere else; better the current directory.
    if (install->size() + kDataSuffix.size() >= kPathCapacity) return std::nullopt;
    return *install + std::string(kDataSuffix);
}

std::string CurrentFolder() {
    char buffer[kPathCapacity] = {};
    const DWORD length = GetCurrentDirectoryA(kPathCapacity, buffer);
    if (length == 0 || length >= kPathCapacity) return {};
    return std::string(buffer, length);
}

void SetStartFolders(ToolState& state) {
    ClearLoadedSet(state);
    const std::optional<std::string> gameData = GameDataFolder();
    state.defaultFolder = gameData ? *gameData : CurrentFolder();
    state.lastFolder = state.defaultFolder;
}

}  // namespace sorrelwick::ui
