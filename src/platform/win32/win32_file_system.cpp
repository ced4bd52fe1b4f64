// Win32 implementation of the platform's file services ("A" API).

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <cstddef>
#include <vector>

#include "platform/fault_seam.h"
#include "platform/file_system.h"

namespace sorrelwick::platform {

const char kPathSeparator = '\\';
const std::size_t kMaxPathLength = MAX_PATH - 1;

bool IsPathSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsAbsolutePath(std::string_view path) {
    const bool drive = path.size() >= 3 && path[1] == ':' && IsPathSeparator(path[2]);
    return drive || (!path.empty() && IsPathSeparator(path[0]));
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

MoveOutcome MoveIntoPlace(const std::string& from, const std::string& to, bool& synced) {
    synced = false;
    if (ShouldFail(Operation::Move)) return MoveOutcome::Failed;
    // Without MOVEFILE_REPLACE_EXISTING it never replaces; with write-through
    // it returns only once the move is on the device.
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH)) {
        synced = true;
        return MoveOutcome::Moved;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
        return MoveOutcome::TargetExists;
    }
    return MoveOutcome::Failed;
}

namespace {

// The layout of a symbolic link's reparse data (the driver kit's
// REPARSE_DATA_BUFFER, symbolic-link case).
struct SymbolicLinkReparse {
    DWORD tag;
    WORD dataLength;
    WORD reserved;
    WORD substituteOffset, substituteLength, printOffset, printLength;
    ULONG flags;
    WCHAR names[1];
};
constexpr DWORD kSymbolicLinkTag = 0xA000000C;  // IO_REPARSE_TAG_SYMLINK

std::optional<std::string> Narrow(const WCHAR* text, int length) {
    if (length == 0) return std::nullopt;
    const int size = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::nullopt;
    std::string narrow(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, narrow.data(), size, nullptr, nullptr);
    return narrow;
}

}  // namespace

std::optional<std::string> ReadLinkText(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        return std::nullopt;
    }
    const HANDLE handle =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING,
                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    std::vector<std::uint8_t> data(16 * 1024);  // MAXIMUM_REPARSE_DATA_BUFFER_SIZE
    DWORD got = 0;
    const BOOL read = DeviceIoControl(handle, FSCTL_GET_REPARSE_POINT, nullptr, 0, data.data(),
                                      static_cast<DWORD>(data.size()), &got, nullptr);
    CloseHandle(handle);
    const auto* reparse = reinterpret_cast<const SymbolicLinkReparse*>(data.data());
    const std::size_t namesStart = offsetof(SymbolicLinkReparse, names);
    if (!read || got < namesStart || reparse->tag != kSymbolicLinkTag) return std::nullopt;
    // The name as it was given when the link was made, checked to lie
    // within what the system returned.
    const std::size_t end = namesStart + reparse->printOffset + reparse->printLength;
    if (end > got || reparse->printOffset % 2 != 0 || reparse->printLength % 2 != 0) {
        return std::nullopt;
    }
    return Narrow(reparse->names + reparse->printOffset / 2, reparse->printLength / 2);
}

std::optional<KeptAttributes> ReadKeptAttributes(const std::string& path) {
    if (ShouldFail(Operation::Attributes)) return std::nullopt;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return KeptAttributes{attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN)};
}

bool ApplyAttributesBeforeMove(const std::string&, const KeptAttributes&) {
    return !ShouldFail(Operation::Attributes);
}

bool ApplyAttributesAfterMove(const std::string& path, const KeptAttributes& kept) {
    if (kept.bits == 0) return true;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    return SetFileAttributesA(path.c_str(), (attributes & ~FILE_ATTRIBUTE_NORMAL) | kept.bits) != 0;
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
    facts.isFile = !facts.isFolder && !(data.dwFileAttributes & FILE_ATTRIBUTE_DEVICE);
    facts.size = (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
    facts.modifiedUtc = static_cast<std::int64_t>(steps / kStepsPerSecond) - kSecondsFrom1601To1970;
    return FactsOutcome::Found;
}

bool CanSearchFolder(const std::string& folder) {
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return false;
    }
    WIN32_FIND_DATAA data{};
    const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return true;
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
