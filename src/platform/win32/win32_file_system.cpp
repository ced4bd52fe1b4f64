// Win32 implementation of the platform's file services. Paths are UTF-8
// inside the program; every call here takes them through the wide ("W")
// functions, so that a name in any language reaches the file it names.

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <cstddef>
#include <utility>
#include <vector>

#include "platform/fault_seam.h"
#include "platform/file_system.h"
#include "platform/system_error.h"
#include "platform/win32/wide_text.h"

namespace sorrelwick::platform {

const char kPathSeparator = '\\';

bool IsPathSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsAbsolutePath(std::string_view path) {
    const bool drive = path.size() >= 3 && path[1] == ':' && IsPathSeparator(path[2]);
    return drive || (!path.empty() && IsPathSeparator(path[0]));
}

bool FitsPathLimit(std::string_view path) {
    return WidePath(path).has_value();
}

std::optional<std::string> NameAsText(std::string_view bytes) {
    return Utf8FromCodePage(bytes);
}

// Byte by byte where the whole name doesn't read: a lone lead byte of a
// double-byte code page, or a byte the code page leaves undefined.
std::string NameForReport(std::string_view bytes) {
    if (std::optional<std::string> text = Utf8FromCodePage(bytes)) return std::move(*text);
    std::string shown;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::optional<std::string> one = Utf8FromCodePage(bytes.substr(i, 1));
        shown += one && !one->empty() ? *one : "?";
    }
    return shown;
}

// UTF-8 continuation bytes (10xxxxxx) belong to the character before them.
std::size_t LastCharactersSize(std::string_view text, std::size_t count) {
    std::size_t start = text.size();
    for (std::size_t taken = 0; taken < count && start > 0; ++taken) {
        do {
            --start;
        } while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80);
    }
    return text.size() - start;
}

namespace detail {

std::FILE* OpenStreamForReading(const std::string& path) {
    const std::optional<std::wstring> wide = WidePath(path);
    if (!wide) return nullptr;
    const DWORD attributes = GetFileAttributesW(wide->c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetLastError(ERROR_ACCESS_DENIED);  // as the system answers an open of a folder
        return nullptr;
    }
    SetLastError(ERROR_SUCCESS);  // the attribute query may have left a code
    std::FILE* stream = _wfopen(wide->c_str(), L"rb");
    if (!stream) return nullptr;
    // Only a file on a disk: a pipe or a device (CON, a serial port) could
    // keep a read waiting for ever. Refused as such, with no system failure.
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    if (handle == INVALID_HANDLE_VALUE || GetFileType(handle) != FILE_TYPE_DISK) {
        std::fclose(stream);
        SetLastError(ERROR_SUCCESS);
        errno = 0;
        return nullptr;
    }
    return stream;
}

std::FILE* OpenStreamForWriting(const std::string& path) {
    const std::optional<std::wstring> wide = WidePath(path);
    return wide ? _wfopen(wide->c_str(), L"wb") : nullptr;
}

// A new file takes the folder's permissions on Windows, owner-only or not.
std::FILE* OpenStreamExclusive(const std::string& path, bool, bool& existed) {
    existed = false;
    const std::optional<std::wstring> wide = WidePath(path);
    if (!wide) return nullptr;
    const int fd =
        _wopen(wide->c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (fd < 0) {
        existed = errno == EEXIST;
        return nullptr;
    }
    std::FILE* stream = _fdopen(fd, "wb");
    if (!stream) {
        _close(fd);
        DeleteFileW(wide->c_str());
    }
    return stream;
}

// Windows' attributes are set once the file has its name (see
// ApplyAttributesAfterMove).
bool ApplyAttributesToStream(std::FILE*, const KeptAttributes&) {
    return true;
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
    detail::SetLatestFailure({});
    if (ShouldFail(Operation::Move)) return InjectedFailure(MoveOutcome::Failed);
    const std::optional<std::wstring> wideFrom = WidePath(from);
    const std::optional<std::wstring> wideTo = WidePath(to);
    if (!wideFrom || !wideTo) return detail::NoteFailure(MoveOutcome::Failed);
    if (MoveFileW(wideFrom->c_str(), wideTo->c_str())) return MoveOutcome::Moved;
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
        return MoveOutcome::TargetExists;
    }
    return detail::NoteFailure(MoveOutcome::Failed);
}

MoveOutcome MoveIntoPlace(const std::string& from, const std::string& to, bool& synced) {
    synced = false;
    detail::SetLatestFailure({});
    if (ShouldFail(Operation::Move)) return InjectedFailure(MoveOutcome::Failed);
    // Without MOVEFILE_REPLACE_EXISTING it never replaces; with write-through
    // it returns only once the move is on the device.
    const std::optional<std::wstring> wideFrom = WidePath(from);
    const std::optional<std::wstring> wideTo = WidePath(to);
    if (!wideFrom || !wideTo) return detail::NoteFailure(MoveOutcome::Failed);
    if (MoveFileExW(wideFrom->c_str(), wideTo->c_str(), MOVEFILE_WRITE_THROUGH)) {
        synced = true;
        return MoveOutcome::Moved;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
        return MoveOutcome::TargetExists;
    }
    return detail::NoteFailure(MoveOutcome::Failed);
}

MoveOutcome ReplaceInPlace(const std::string& from, const std::string& to, bool& synced) {
    synced = false;
    detail::SetLatestFailure({});
    if (ShouldFail(Operation::Move)) return InjectedFailure(MoveOutcome::Failed);
    const std::optional<std::wstring> wideFrom = WidePath(from);
    const std::optional<std::wstring> wideTo = WidePath(to);
    if (!wideFrom || !wideTo) return detail::NoteFailure(MoveOutcome::Failed);
    if (!MoveFileExW(wideFrom->c_str(), wideTo->c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return detail::NoteFailure(MoveOutcome::Failed);
    }
    synced = true;
    return MoveOutcome::Moved;
}

// A rewrite on Windows keeps the old set by moving it to its backup name and
// then moving the new file to the set's name, each move written through and
// never replacing a file. So the set's path is empty only between those two
// moves, never while the new set is written. ReplaceFileW would do both in
// one call, but it may replace a file already under the backup name, and a
// failure can leave the names half swapped in states of its own; two moves
// each fail in one known way, which the rewrite undoes. Hence no hard link
// here.
LinkOutcome LinkWithoutReplacing(const std::string&, const std::string&) {
    detail::SetLatestFailure({});
    if (ShouldFail(Operation::Link)) return InjectedFailure(LinkOutcome::Failed);
    return LinkOutcome::Unsupported;
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

}  // namespace

std::optional<std::string> ReadLinkText(const std::string& path) {
    const std::optional<std::wstring> wide = WidePath(path);
    if (!wide) return std::nullopt;
    const DWORD attributes = GetFileAttributesW(wide->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        return std::nullopt;
    }
    const HANDLE handle = CreateFileW(
        wide->c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
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
    if (reparse->printLength == 0) return std::nullopt;
    return Utf8FromWide(
        std::wstring_view(reparse->names + reparse->printOffset / 2, reparse->printLength / 2));
}

std::optional<KeptAttributes> ReadKeptAttributes(const std::string& path) {
    detail::SetLatestFailure({});
    if (ShouldFail(Operation::Attributes)) return InjectedFailure(std::nullopt);
    const std::optional<std::wstring> wide = WidePath(path);
    if (!wide) return detail::NoteFailure(std::nullopt);
    const DWORD attributes = GetFileAttributesW(wide->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return detail::NoteFailure(std::nullopt);
    return KeptAttributes{attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN)};
}

bool ApplyAttributesAfterMove(const std::string& path, const KeptAttributes& kept) {
    detail::SetLatestFailure({});
    if (kept.bits == 0) return true;
    const std::optional<std::wstring> wide = WidePath(path);
    if (!wide) return detail::NoteFailure(false);
    const DWORD attributes = GetFileAttributesW(wide->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return detail::NoteFailure(false);
    return SetFileAttributesW(wide->c_str(),
                              (attributes & ~DWORD{FILE_ATTRIBUTE_NORMAL}) | kept.bits) != 0 ||
           detail::NoteFailure(false);
}

FactsOutcome ReadFileFacts(const std::string& path, FileFacts& facts) {
    detail::SetLatestFailure({});
    const std::optional<std::wstring> wide = WidePath(path);
    if (!wide) return detail::NoteFailure(FactsOutcome::Failed);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(wide->c_str(), GetFileExInfoStandard, &data)) {
        const DWORD error = GetLastError();
        detail::NoteFailure(0);
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

std::optional<FileIdentity> ReadFileIdentity(const std::string& path) {
    detail::SetLatestFailure({});
    const std::optional<std::wstring> wide = WidePath(path);
    if (!wide) return detail::NoteFailure(std::nullopt);
    // No access asked for: the attributes can be read while another program
    // holds the file open, whatever it shares.
    const HANDLE file = CreateFileW(wide->c_str(), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) return detail::NoteFailure(std::nullopt);
    BY_HANDLE_FILE_INFORMATION info{};
    const BOOL read = GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    if (!read) return detail::NoteFailure(std::nullopt);
    return FileIdentity{
        info.dwVolumeSerialNumber,
        (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow,
        (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow,
        static_cast<std::int64_t>((std::uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) |
                                  info.ftLastWriteTime.dwLowDateTime)};
}

bool MayRenameOrDelete(const std::string&) {
    detail::SetLatestFailure({});
    return true;
}

bool CanSearchFolder(const std::string& folder) {
    detail::SetLatestFailure({});
    const std::optional<std::wstring> wide = WidePath(folder);
    const std::optional<std::wstring> pattern = WidePath(JoinPath(folder, "*"));
    if (!wide || !pattern) return detail::NoteFailure(false);
    const DWORD attributes = GetFileAttributesW(wide->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return detail::NoteFailure(false);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetLastError(ERROR_DIRECTORY);
        return detail::NoteFailure(false);
    }
    WIN32_FIND_DATAW data{};
    const HANDLE search = FindFirstFileExW(pattern->c_str(), FindExInfoBasic, &data,
                                           FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return detail::NoteFailure(false);
    FindClose(search);
    return true;
}

bool RemoveFile(const std::string& path) {
    detail::SetLatestFailure({});
    if (ShouldFail(Operation::Remove)) return InjectedFailure(false);
    const std::optional<std::wstring> wide = WidePath(path);
    return (wide && DeleteFileW(wide->c_str()) != 0) || detail::NoteFailure(false);
}

struct ExtensionSearch::Impl {
    HANDLE handle = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW data{};
    bool pending = false;  // `data` holds an entry not yet handed out
    std::wstring extension;
};

namespace {

bool EndsWithIgnoringCase(std::wstring_view name, std::wstring_view ending) {
    if (name.size() < ending.size()) return false;
    const std::wstring_view tail = name.substr(name.size() - ending.size());
    return CompareStringOrdinal(tail.data(), static_cast<int>(tail.size()), ending.data(),
                                static_cast<int>(ending.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

ExtensionSearch::ExtensionSearch(const std::string& folder, const std::string& extension)
    : impl_(new Impl) {
    const std::optional<std::wstring> pattern = WidePath(folder + "\\*" + extension);
    const std::optional<std::wstring> wideExtension = WideFromUtf8(extension);
    if (!pattern || !wideExtension) return;
    impl_->extension = *wideExtension;
    // The short names are neither asked for nor wanted.
    impl_->handle = FindFirstFileExW(pattern->c_str(), FindExInfoBasic, &impl_->data,
                                     FindExSearchNameMatch, nullptr, 0);
    impl_->pending = impl_->handle != INVALID_HANDLE_VALUE;
}

ExtensionSearch::~ExtensionSearch() {
    if (impl_->handle != INVALID_HANDLE_VALUE) FindClose(impl_->handle);
    delete impl_;
}

// The pattern also matches a name through its short 8.3 alias ("wood.tga~"
// is WOOD~1.TGA, "x.tgax" is X~1.TGA): only names that themselves end in the
// extension are taken, and only names that convert to UTF-8 exactly.
bool ExtensionSearch::Next(std::string& name) {
    if (impl_->handle == INVALID_HANDLE_VALUE) return false;
    for (;;) {
        if (!impl_->pending && !FindNextFileW(impl_->handle, &impl_->data)) return false;
        impl_->pending = false;
        const std::wstring_view found = impl_->data.cFileName;
        if (!EndsWithIgnoringCase(found, impl_->extension)) continue;
        if (std::optional<std::string> text = Utf8FromWide(found)) {
            name = std::move(*text);
            return true;
        }
    }
}

}  // namespace sorrelwick::platform
