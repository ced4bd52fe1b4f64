#include "platform/system_error.h"

#include <string>

namespace sorrelwick::platform {
namespace {

SystemError& LatestSlot() {
    static SystemError latest;
    return latest;
}

}  // namespace

std::string SystemErrorText(SystemError error) {
    std::string text = detail::RawSystemText(error);
    while (!text.empty() && (text.back() == '.' || text.back() == ' ' || text.back() == '\r' ||
                             text.back() == '\n')) {
        text.pop_back();
    }
    return text;
}

SystemError LatestFailure() {
    return LatestSlot();
}

void detail::SetLatestFailure(SystemError error) {
    LatestSlot() = error;
}

}  // namespace sorrelwick::platform
