#pragma once
// Text for a console window. Windows shows UTF-8 bytes written to a console
// in its own code page, so a name in another language would show as '?';
// the console's wide output shows every character as itself. Files and
// pipes take the UTF-8 bytes as they are, on every system.

#include <cstdio>
#include <string_view>

namespace sorrelwick::platform {

// True when `stream` is a Windows console, which is written with
// WriteToConsole; false elsewhere, for files and pipes.
bool IsWideConsole(std::FILE* stream);

// Writes UTF-8 `text` to the console behind `stream`; false when the write
// failed or `text` is not UTF-8.
bool WriteToConsole(std::FILE* stream, std::string_view text);

}  // namespace sorrelwick::platform
