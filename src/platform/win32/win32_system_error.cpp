// The system's error codes and their texts, in the user's language.

#include <windows.h>

#include <cerrno>
#include <cwchar>

#include "platform/fault_seam.h"
#include "platform/system_error.h"
#include "platform/win32/wide_text.h"

namespace sorrelwick::platform {
namespace {

std::wstring MessageOfSystem(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length != 0 && text ? std::wstring(text, length) : std::wstring();
    if (text) LocalFree(text);
    return message;
}

// A message may span lines; the report shows one.
std::wstring OnOneLine(std::wstring text) {
    for (wchar_t& c : text) {
        if (c == L'\r' || c == L'\n') c = L' ';
    }
    return text;
}

}  // namespace

SystemError CaptureSystemError() {
    // The C runtime's calls leave the system's code in place; errno only
    // where the runtime failed on its own.
    if (const DWORD code = GetLastError(); code != ERROR_SUCCESS) {
        return {SystemError::Source::System, static_cast<std::uint32_t>(code)};
    }
    if (errno > 0) return {SystemError::Source::CLibrary, static_cast<std::uint32_t>(errno)};
    return {};
}

std::string detail::RawSystemText(SystemError error) {
    if (!error) return {};
    std::wstring text = error.source == SystemError::Source::System
                            ? MessageOfSystem(static_cast<DWORD>(error.code))
                            : std::wstring(_wcserror(static_cast<int>(error.code)));
    if (text.empty()) return "system error " + std::to_string(error.code);
    return Utf8FromWide(OnOneLine(std::move(text)))
        .value_or("system error " + std::to_string(error.code));
}

bool MeansNotFound(SystemError error) {
    if (error.source == SystemError::Source::CLibrary) return error.code == ENOENT;
    return error.source == SystemError::Source::System &&
           (error.code == ERROR_FILE_NOT_FOUND || error.code == ERROR_PATH_NOT_FOUND);
}

bool MeansInUse(SystemError error) {
    return error.source == SystemError::Source::System &&
           (error.code == ERROR_SHARING_VIOLATION || error.code == ERROR_LOCK_VIOLATION);
}

SystemError SystemErrorFor(FaultCause cause) {
    const auto system = [](DWORD code) {
        return SystemError{SystemError::Source::System, static_cast<std::uint32_t>(code)};
    };
    switch (cause) {
        case FaultCause::AccessDenied:
            return system(ERROR_ACCESS_DENIED);
        case FaultCause::DiskFull:
            return system(ERROR_DISK_FULL);
        case FaultCause::NameTooLong:
            return system(ERROR_FILENAME_EXCED_RANGE);
        case FaultCause::ReadOnly:
            return system(ERROR_WRITE_PROTECT);
        case FaultCause::InUse:
            return system(ERROR_SHARING_VIOLATION);
    }
    return {};
}

void detail::ForgetSystemError() {
    SetLastError(ERROR_SUCCESS);
    errno = 0;
}

}  // namespace sorrelwick::platform
