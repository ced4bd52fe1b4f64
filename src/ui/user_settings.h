#pragma once
// What the window remembers for the user from one run to the next: text
// values under HKEY_CURRENT_USER\Software\Sorrelwick.

#include <optional>
#include <string>
#include <string_view>

namespace sorrelwick::ui {

// The folder the Mods dialog lists, once the user picked one.
inline constexpr wchar_t kModsFolderSetting[] = L"ModsFolder";
// The folder of the last mod applied, where the Mods dialog starts before
// a folder was picked.
inline constexpr wchar_t kLastModFolderSetting[] = L"LastModFolder";

// The value `name` holds as UTF-8; nullopt when it was never written or
// can't be read.
std::optional<std::string> ReadUserSetting(const wchar_t* name);

// Writes `value` (UTF-8) under `name`; false when it could not be written.
bool WriteUserSetting(const wchar_t* name, std::string_view value);

// For tests: the settings are kept under `key` of HKEY_CURRENT_USER in
// place of Software\Sorrelwick; null restores it.
void UseSettingsKeyForTests(const wchar_t* key);

}  // namespace sorrelwick::ui
