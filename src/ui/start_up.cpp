#include "ui/start_up.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/file_system.h"
#include "platform/win32/wide_text.h"
#include "ui/resource_ids.h"

namespace sorrelwick::ui {
namespace {

constexpr int kTitleCapacity = 100;
constexpr DWORD kPathCapacity = MAX_PATH;
constexpr const wchar_t* kGameKey = L"SOFTWARE\\Brallion\\Tessaravine";
constexpr const wchar_t* kInstallFolderValue = L"path";
constexpr std::string_view kDataSuffix = "\\DATA\\DAT";

bool IsText(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

// The value's text as it lies in the buffer: up to its first NUL, or all of
// it when it was stored without one.
std::optional<std::string> ReadInstallFolder() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kGameKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    wchar_t buffer[kPathCapacity] = {};
    DWORD type = REG_NONE;
    DWORD size = sizeof buffer;
    // A value longer than the buffer fails with ERROR_MORE_DATA and counts as absent.
    const LONG read = RegQueryValueExW(key, kInstallFolderValue, nullptr, &type,
                                       reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || !IsText(type)) return std::nullopt;
    // A value that is not UTF-16 text names no folder.
    return platform::Utf8FromWide(
        std::wstring_view(buffer, wcsnlen(buffer, size / sizeof *buffer)));
}

}  // namespace

std::string LoadTitle(HINSTANCE instance) {
    wchar_t buffer[kTitleCapacity] = {};
    const int length = LoadStringW(instance, SORRELWICK_TITLE_STRING, buffer, kTitleCapacity);
    return platform::Utf8FromWide(
               std::wstring_view(buffer, static_cast<std::size_t>(std::max(length, 0))))
        .value_or(std::string());
}

std::optional<std::string> GameDataFolder() {
    const std::optional<std::string> install = ReadInstallFolder();
    if (!install || install->empty()) return std::nullopt;
    // A folder cut short would point somewhere else; better the current
    // directory. The limit counts the system's UTF-16 units.
    std::string folder = *install + std::string(kDataSuffix);
    if (!platform::FitsPathLimit(folder)) return std::nullopt;
    return folder;
}

std::string CurrentFolder() {
    wchar_t buffer[kPathCapacity] = {};
    const DWORD length = GetCurrentDirectoryW(kPathCapacity, buffer);
    if (length == 0 || length >= kPathCapacity) return {};
    return platform::Utf8FromWide(std::wstring_view(buffer, length)).value_or(std::string());
}

void SetStartFolders(ToolState& state) {
    ClearLoadedSet(state);
    const std::optional<std::string> gameData = GameDataFolder();
    state.defaultFolder = gameData ? *gameData : CurrentFolder();
    state.lastFolder = state.defaultFolder;
}

}  // namespace sorrelwick::ui
