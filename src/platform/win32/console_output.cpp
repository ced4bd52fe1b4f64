#include <io.h>

#include <algorithm>

#include "platform/console.h"
#include "platform/win32/wide_text.h"

namespace sorrelwick::platform {
namespace {

HANDLE ConsoleOf(std::FILE* stream) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) ? handle : nullptr;
}

}  // namespace

bool IsWideConsole(std::FILE* stream) {
    return ConsoleOf(stream) != nullptr;
}

bool WriteToConsole(std::FILE* stream, std::string_view text) {
    const HANDLE console = ConsoleOf(stream);
    const std::optional<std::wstring> wide = WideFromUtf8(text);
    if (!console || !wide) return false;
    for (std::wstring_view rest = *wide; !rest.empty();) {
        DWORD written = 0;
        const DWORD size = static_cast<DWORD>(std::min<std::size_t>(rest.size(), 16384));
        if (!WriteConsoleW(console, rest.data(), size, &written, nullptr) || written == 0) {
            return false;
        }
        rest.remove_prefix(written);
    }
    return true;
}

}  // namespace sorrelwick::platform
