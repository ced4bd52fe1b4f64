#pragma once
// Where the program's UTF-8 text meets the system's UTF-16. Every conversion
// is strict: text that doesn't convert exactly fails, and is never replaced
// by '?' or by a look-alike character ("best fit"), which could turn one
// file's name into another's.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace sorrelwick::platform {

// The longest path the system takes without the long-path prefix, in UTF-16
// code units, the terminator not counted.
constexpr std::size_t kMaxWidePathLength = MAX_PATH - 1;

std::optional<std::wstring> WideFromUtf8(std::string_view text);
std::optional<std::string> Utf8FromWide(std::wstring_view text);
// A NUL-terminated wide text, as the system fills a buffer.
std::optional<std::string> Utf8FromWide(const wchar_t* text);

// A path for the system's wide file calls; nullopt when it is not UTF-8 or
// is longer than the system takes.
std::optional<std::wstring> WidePath(std::string_view path);

// Text the program shows (a caption, a report line, a title), which is
// UTF-8 by construction. Only for showing: a byte that is not UTF-8 would
// show as U+FFFD. Never for a path.
std::wstring WideForDisplay(std::string_view text);

// Bytes in the system's code page (as the game reads the names in a set),
// as UTF-8; nullopt when a byte doesn't read as a character there, or reads
// as a C1 control character.
std::optional<std::string> Utf8FromCodePage(std::string_view bytes);

}  // namespace sorrelwick::platform
