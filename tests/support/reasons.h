#pragma once
// The reasons a report gives for a failed system call, as the tests expect
// them. On POSIX the C library's own texts; on Windows the system's texts
// depend on its language, so only the in-use advice is literal and the rest
// come from the system for the code each case stands for.

#include <string>

#include "platform/fault_seam.h"
#include "platform/system_error.h"
#include "report/messages.h"

namespace sorrelwick::test {

// Causes a test meets: the seam's, in its order, then those real files give.
enum class Why {
    AccessDenied,
    DiskFull,
    NameTooLong,
    ReadOnly,
    InUse,
    NotFound,
    IsFolder,
    NotAFolder
};

inline platform::FaultCause AsFault(Why why) {
    return static_cast<platform::FaultCause>(why);
}

inline std::string ReasonText(Why why) {
#ifdef _WIN32
    using Source = platform::SystemError::Source;
    switch (why) {
        case Why::InUse:
            return std::string(report::msg::kFileInUse);
        case Why::NotFound:
            return platform::SystemErrorText({Source::System, 2});  // ERROR_FILE_NOT_FOUND
        case Why::IsFolder:
            return platform::SystemErrorText({Source::System, 5});  // ERROR_ACCESS_DENIED
        case Why::NotAFolder:
            return platform::SystemErrorText({Source::System, 267});  // ERROR_DIRECTORY
        default:
            return platform::SystemErrorText(platform::SystemErrorFor(AsFault(why)));
    }
#else
    switch (why) {
        case Why::AccessDenied:
            return "Permission denied";
        case Why::DiskFull:
            return "No space left on device";
        case Why::NameTooLong:
            return "File name too long";
        case Why::ReadOnly:
            return "Read-only file system";
        case Why::InUse:
            return "Device or resource busy";
        case Why::NotFound:
            return "No such file or directory";
        case Why::IsFolder:
            return "Is a directory";
        case Why::NotAFolder:
            return "Not a directory";
    }
    return {};
#endif
}

// The line after an "Error - " line.
inline std::string ReasonLine(Why why) {
    return "  Reason: " + ReasonText(why);
}

// A texture's outcome with its reason.
inline std::string Because(const std::string& outcome, Why why) {
    return outcome + " (" + ReasonText(why) + ")";
}

// A fault plan whose failure carries `why`.
inline platform::FaultPlan Armed(platform::Operation kind, std::uint64_t nth, Why why,
                                 bool persistent = false) {
    return {.kind = kind, .nth = nth, .persistent = persistent, .cause = AsFault(why)};
}

}  // namespace sorrelwick::test
