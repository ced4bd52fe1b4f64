#pragma once
// Why a call to the system failed, as the system said it: kept by the call
// that failed and handed up with its failure, so that a report can tell a
// typo from a lock from a missing permission.

#include <cstdint>
#include <string>

namespace sorrelwick::platform {

struct SystemError {
    // Where the code comes from: the C library's errno (every call on POSIX,
    // and a C runtime call on Windows that left no system code), or the
    // Windows system's own error code.
    enum class Source : std::uint8_t { None, CLibrary, System };
    Source source = Source::None;
    std::uint32_t code = 0;

    // False when the failure had no system cause (a file cut short, a name
    // that can't be a path).
    explicit operator bool() const { return source != Source::None; }
};

// The cause of the call that has just failed: errno on POSIX; on Windows
// the system's last error, or errno when the system's is none. Read right
// after the failing call, before any other.
SystemError CaptureSystemError();

// The system's text for `error`, in the user's language, on one line and
// without a trailing period or line break. Empty for no error.
std::string SystemErrorText(SystemError error);

// Whether another program holds the file open (Windows' sharing and lock
// violations): the system's words for it don't say what to do.
bool MeansInUse(SystemError error);

// Whether `error` says that nothing stands at the path (or its folder is
// missing): what a report calls "not found" needs no further reason.
bool MeansNotFound(SystemError error);

// The cause of the latest failed call of the free functions in
// file_system.h (moves, deletes, the folder check...); none after one that
// succeeded. Each of them sets it, so it must be read at once.
SystemError LatestFailure();

namespace detail {
void SetLatestFailure(SystemError error);
// Records the cause of the call that has just failed, and returns `result`.
template <typename Result>
Result NoteFailure(Result result) {
    SetLatestFailure(CaptureSystemError());
    return result;
}
// Clears what CaptureSystemError would read, before a call whose failure
// may set no code of its own.
void ForgetSystemError();
// The system's text, as it gives it.
std::string RawSystemText(SystemError error);
}  // namespace detail

}  // namespace sorrelwick::platform
