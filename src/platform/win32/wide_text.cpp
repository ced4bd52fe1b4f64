#include "platform/win32/wide_text.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace sorrelwick::platform {
namespace {

std::optional<std::wstring> WideFrom(UINT codePage, std::string_view text) {
    if (text.empty()) return std::wstring();
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return std::nullopt;
    const int size = static_cast<int>(text.size());
    const int length =
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), size, nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    if (MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(), size, wide.data(),
                            length) != length) {
        return std::nullopt;
    }
    return wide;
}

}  // namespace

std::optional<std::wstring> WideFromUtf8(std::string_view text) {
    return WideFrom(CP_UTF8, text);
}

std::optional<std::string> Utf8FromWide(std::wstring_view text) {
    if (text.empty()) return std::string();
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return std::nullopt;
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), size,
                                           nullptr, 0, nullptr, nullptr);
    if (length <= 0) return std::nullopt;
    std::string utf8(static_cast<std::size_t>(length), '\0');
    if (WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text.data(), size, utf8.data(), length,
                            nullptr, nullptr) != length) {
        return std::nullopt;
    }
    return utf8;
}

std::optional<std::string> Utf8FromWide(const wchar_t* text) {
    return Utf8FromWide(std::wstring_view(text ? text : L""));
}

std::optional<std::wstring> WidePath(std::string_view path) {
    std::optional<std::wstring> wide = WideFromUtf8(path);
    // A NUL inside would end the path early, at another file's name.
    if (!wide || wide->size() > kMaxWidePathLength || wide->find(L'\0') != std::wstring::npos) {
        // The cause a file call refused for this path reports.
        SetLastError(wide && wide->size() > kMaxWidePathLength ? ERROR_FILENAME_EXCED_RANGE
                                                               : ERROR_INVALID_NAME);
        return std::nullopt;
    }
    return wide;
}

std::wstring WideForDisplay(std::string_view text) {
    if (std::optional<std::wstring> wide = WideFromUtf8(text)) return std::move(*wide);
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) return {};
    const int size = static_cast<int>(text.size());
    std::wstring wide(text.size(), L'\0');
    wide.resize(static_cast<std::size_t>(
        std::max(0, MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), size))));
    return wide;
}

std::optional<std::string> Utf8FromCodePage(std::string_view bytes) {
    const std::optional<std::wstring> wide = WideFrom(CP_ACP, bytes);
    if (!wide) return std::nullopt;
    // Code page 1252 reads its five unassigned bytes as the C1 control
    // characters, which a terminal may act on (U+009D begins a command).
    for (const wchar_t c : *wide) {
        if (c >= 0x80 && c <= 0x9F) return std::nullopt;
    }
    return Utf8FromWide(*wide);
}

}  // namespace sorrelwick::platform
