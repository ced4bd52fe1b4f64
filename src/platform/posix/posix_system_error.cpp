// errno and its text, the one kind of system error on POSIX.

#include <cerrno>
#include <cstring>

#include "platform/fault_seam.h"
#include "platform/system_error.h"

namespace sorrelwick::platform {
namespace {

SystemError FromErrno(int code) {
    if (code <= 0) return {};
    return {SystemError::Source::CLibrary, static_cast<std::uint32_t>(code)};
}

}  // namespace

SystemError CaptureSystemError() {
    return FromErrno(errno);
}

std::string detail::RawSystemText(SystemError error) {
    if (!error) return {};
    // strerror_r of GNU: the text may be a constant rather than the buffer.
    char buffer[256] = {};
    const char* text = ::strerror_r(static_cast<int>(error.code), buffer, sizeof buffer);
    return text ? std::string(text) : std::string();
}

bool MeansNotFound(SystemError error) {
    return error && (error.code == ENOENT || error.code == ENOTDIR);
}

// Nothing here keeps another program from opening a file.
bool MeansInUse(SystemError) {
    return false;
}

SystemError SystemErrorFor(FaultCause cause) {
    switch (cause) {
        case FaultCause::AccessDenied:
            return FromErrno(EACCES);
        case FaultCause::DiskFull:
            return FromErrno(ENOSPC);
        case FaultCause::NameTooLong:
            return FromErrno(ENAMETOOLONG);
        case FaultCause::ReadOnly:
            return FromErrno(EROFS);
        case FaultCause::InUse:
            return FromErrno(EBUSY);
    }
    return {};
}

void detail::ForgetSystemError() {
    errno = 0;
}

}  // namespace sorrelwick::platform
