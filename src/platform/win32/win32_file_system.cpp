// Win32 implementation of the platform's file services ("A" API).

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>

#include "platform/fault_seam.h"
#include "platform/file_system.h"

namespace sorrelwick::platform {

const char kPathSeparator = '\\';

bool IsPathSeparator(char c) {
    return c == '\\' || c == '/';
}

namespace detail {

std::FILE* OpenStreamForReading(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return nullptr;
    }
    return std::fopen(path.c_str(), "rb");
}

std::FILE* OpenStreamExclusive(const std::string& path, bool& existed) {
    existed = false;
    const int fd =
        _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) {
        existed = errno == EEXIST;
        return nullptr;
    }
    std::FILE* stream = _fdopen(fd, "wb");
    if (!stream) {
        _close(fd);
        DeleteFileA(path.c_str());
    }
    return stream;
}

std::optional<std::uint64_t> StreamSize(std::FILE* stream) {
    const long long size = _filelengthi64(_fileno(stream));
    if (size < 0) return std::nullopt;
    return static_cast<std::uint64_t>(size);
}

// The C runtime here has no switch for its stream locking: it stays.
void UseFromOneThread(std::FILE*) {}

bool SyncToStorage(std::FILE* stream) {
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    return handle != INVALID_HANDLE_VALUE && FlushFileBuffers(handle) != 0;
}

// Windows has no request to start writing without waiting for it.
void StartWritingToStorage(std::FILE*) {}

}  // namespace detail

MoveOutcome MoveWithoutReplacing(const std::string& from, const std::string& to) {
    if (ShouldFail(Operation::Move)) return MoveOutcome::Failed;
    if (MoveFileA(from.c_str(), to.c_str())) return MoveOutcome::Moved;
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
        return MoveOutcome::TargetExists;
    }
    return MoveOutcome::Failed;
}

FactsOutcome ReadFileFacts(const std::string& path, FileFacts& facts) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                   ? FactsOutcome::Missing
                   : FactsOutcome::Failed;
    }
    // FILETIME counts 100-nanosecond steps since 1601-01-01 UTC.
    constexpr std::int64_t kStepsPerSecond = 10000000;
    constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;
    const std::uint64_t steps = (std::uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) |
                                data.ftLastWriteTime.dwLowDateTime;
    facts.isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    facts.size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    facts.modifiedUtc = static_cast<std::int64_t>(steps / kStepsPerSecond) - kSecondsFrom1601To1970;
    return FactsOutcome::Found;
}

bool RemoveFile(const std::string& path) {
    if (ShouldFail(Operation::Remove)) return false;
    return DeleteFileA(path.c_str()) != 0;
}

struct ExtensionSearch::Impl {
    HANDLE handle = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA data{};
    bool pending = false;  // `data` holds an entry not yet handed out
};

ExtensionSearch::ExtensionSearch(const std::string& folder, const std::string& extension)
    : impl_(new Impl) {
    const std::string pattern = folder + "\\*" + extension;
    impl_->handle = FindFirstFileA(pattern.c_str(), &impl_->data);
    impl_->pending = impl_->handle != INVALID_HANDLE_VALUE;
}

ExtensionSearch::~ExtensionSearch() {
    if (impl_->handle != INVALID_HANDLE_VALUE) FindClose(impl_->handle);
    delete impl_;
}

bool ExtensionSearch::Next(std::string& name) {
    if (impl_->handle == INVALID_HANDLE_VALUE) return false;
    if (!impl_->pending && !FindNextFileA(impl_->handle, &impl_->data)) return false;
    impl_->pending = false;
    name = impl_->data.cFileName;
    return true;
}

}  // namespace sorrelwick::platform
