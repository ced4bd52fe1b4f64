#include "platform/console.h"

namespace sorrelwick::platform {

// A terminal here takes the UTF-8 bytes themselves.
bool IsWideConsole(std::FILE*) {
    return false;
}

bool WriteToConsole(std::FILE*, std::string_view) {
    return false;
}

}  // namespace sorrelwick::platform
