#include "ui/user_settings.h"

#include <windows.h>

#include <vector>

#include "platform/win32/wide_text.h"

namespace sorrelwick::ui {
namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\Sorrelwick";
const wchar_t* settingsKey = kSettingsKey;

// Values longer than this are not ours: a path is far shorter.
constexpr DWORD kMaxValueBytes = 64 * 1024;

class OpenKey {
public:
    explicit OpenKey(bool create) {
        const LSTATUS status =
            create ? RegCreateKeyExW(HKEY_CURRENT_USER, settingsKey, 0, nullptr, 0, KEY_SET_VALUE,
                                     nullptr, &key_, nullptr)
                   : RegOpenKeyExW(HKEY_CURRENT_USER, settingsKey, 0, KEY_QUERY_VALUE, &key_);
        if (status != ERROR_SUCCESS) key_ = nullptr;
    }
    ~OpenKey() {
        if (key_) RegCloseKey(key_);
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

}  // namespace

std::optional<std::string> ReadUserSetting(const wchar_t* name) {
    const OpenKey key(false);
    if (!key.Get()) return std::nullopt;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key.Get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ || size > kMaxValueBytes) {
        return std::nullopt;
    }
    // One more character than stored: the value need not end in a NUL.
    std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, L'\0');
    DWORD got = size;
    if (RegQueryValueExW(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                         &got) != ERROR_SUCCESS ||
        type != REG_SZ || got > size) {
        return std::nullopt;
    }
    text[got / sizeof(wchar_t)] = L'\0';
    return platform::Utf8FromWide(text.data());
}

bool WriteUserSetting(const wchar_t* name, std::string_view value) {
    const std::optional<std::wstring> wide = platform::WideFromUtf8(value);
    if (!wide) return false;
    const OpenKey key(true);
    if (!key.Get()) return false;
    const auto bytes = static_cast<DWORD>((wide->size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(wide->c_str()),
                          bytes) == ERROR_SUCCESS;
}

void UseSettingsKeyForTests(const wchar_t* key) {
    settingsKey = key ? key : kSettingsKey;
}

}  // namespace sorrelwick::ui
