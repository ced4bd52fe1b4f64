// POSIX implementation of the platform's file services.

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdio_ext.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <vector>

#include "platform/fault_seam.h"
#include "platform/file_system.h"
#include "platform/system_error.h"

namespace sorrelwick::platform {

const char kPathSeparator = '/';

bool IsPathSeparator(char c) {
    return c == '/';
}

bool IsAbsolutePath(std::string_view path) {
    return !path.empty() && path[0] == '/';
}

// Paths and names are bytes here, as the system takes them.
bool FitsPathLimit(std::string_view) {
    return true;
}

std::optional<std::string> NameAsText(std::string_view bytes) {
    return std::string(bytes);
}

std::string NameForReport(std::string_view bytes) {
    return std::string(bytes);
}

std::size_t LastCharactersSize(std::string_view text, std::size_t count) {
    return std::min(text.size(), count);
}

namespace detail {

std::FILE* OpenStreamForReading(const std::string& path) {
    // Without O_NONBLOCK the open of a pipe waits for a writer, for ever. So
    // the file is opened without waiting, refused unless it is a regular
    // file (a folder, a pipe and a device are not), and only then read with
    // waiting as usual.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info {};
    const int flags = ::fcntl(fd, F_GETFL);
    std::FILE* stream = nullptr;
    int cause = 0;  // a pipe or a device is refused, with no failure of the system's
    if (flags == -1 || ::fstat(fd, &info) != 0) {
        cause = errno;
    } else if (S_ISDIR(info.st_mode)) {
        cause = EISDIR;
    } else if (S_ISREG(info.st_mode)) {
        if (::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0) stream = fdopen(fd, "rb");
        if (!stream) cause = errno;
    }
    if (!stream) {
        ::close(fd);
        errno = cause;
    }
    return stream;
}

std::FILE* OpenStreamForWriting(const std::string& path) {
    return std::fopen(path.c_str(), "wb");
}

std::FILE* OpenStreamExclusive(const std::string& path, bool ownerOnly, bool& existed) {
    existed = false;
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, ownerOnly ? 0600 : 0666);
    if (fd < 0) {
        existed = errno == EEXIST;
        return nullptr;
    }
    std::FILE* stream = fdopen(fd, "wb");
    if (!stream) {
        ::close(fd);
        ::unlink(path.c_str());
    }
    return stream;
}

bool ApplyAttributesToStream(std::FILE* stream, const KeptAttributes& kept) {
    const int fd = fileno(stream);
    // Only a privileged process may give a file away; a member of the set's
    // group may still give it that group. What is refused leaves the file
    // the process's own, silently. The owner first: a change of owner clears
    // the set-user and set-group bits.
    if (::fchown(fd, kept.owner, kept.group) != 0 &&
        ::fchown(fd, static_cast<uid_t>(-1), kept.group) != 0) {
        // Neither allowed: the file keeps the process's group too.
    }
    return ::fchmod(fd, static_cast<mode_t>(kept.bits)) == 0;
}

std::optional<std::uint64_t> StreamSize(std::FILE* stream) {
    struct stat info {};
    if (fstat(fileno(stream), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return static_cast<std::uint64_t>(info.st_size);
}

void UseFromOneThread(std::FILE* stream) {
    __fsetlocking(stream, FSETLOCKING_BYCALLER);
}

bool SyncToStorage(std::FILE* stream) {
    return ::fsync(fileno(stream)) == 0;
}

void StartWritingToStorage(std::FILE* stream) {
#if defined(__linux__)
    // Asynchronous: the device works while the tool goes on writing. A
    // failure here changes nothing; the sync at the end is what is checked.
    (void)::sync_file_range(fileno(stream), 0, 0, SYNC_FILE_RANGE_WRITE);
#else
    (void)stream;
#endif
}

}  // namespace detail

MoveOutcome MoveWithoutReplacing(const std::string& from, const std::string& to) {
    detail::SetLatestFailure({});
    if (ShouldFail(Operation::Move)) return InjectedFailure(MoveOutcome::Failed);
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return MoveOutcome::Moved;
    }
    if (errno == EEXIST) return MoveOutcome::TargetExists;
    if (errno != EINVAL && errno != ENOSYS) return detail::NoteFailure(MoveOutcome::Failed);
    // File systems without the no-replace flag: a hard link fails on an
    // existing target, then the old name goes.
    if (::link(from.c_str(), to.c_str()) != 0) {
        return errno == EEXIST ? MoveOutcome::TargetExists
                               : detail::NoteFailure(MoveOutcome::Failed);
    }
    if (::unlink(from.c_str()) != 0) {
        detail::NoteFailure(0);
        ::unlink(to.c_str());
        return MoveOutcome::Failed;
    }
    return MoveOutcome::Moved;
}

namespace {

// Flushes the folder's entries, so that a name just given there survives a
// power cut.
bool SyncFolderOf(const std::string& path) {
    if (ShouldFail(Operation::Flush)) return InjectedFailure(false);
    const std::string_view folder = FolderPart(path);
    const std::string name = folder.empty() ? "." : std::string(folder);
    const int fd = ::open(name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return detail::NoteFailure(false);
    const bool synced = ::fsync(fd) == 0 || detail::NoteFailure(false);
    return (::close(fd) == 0 || detail::NoteFailure(false)) && synced;
}

}  // namespace

MoveOutcome MoveIntoPlace(const std::string& from, const std::string& to, bool& synced) {
    synced = false;
    const MoveOutcome outcome = MoveWithoutReplacing(from, to);
    if (outcome == MoveOutcome::Moved) synced = SyncFolderOf(to);
    return outcome;
}

MoveOutcome ReplaceInPlace(const std::string& from, const std::string& to, bool& synced) {
    synced = false;
    detail::SetLatestFailure({});
    if (ShouldFail(Operation::Move)) return InjectedFailure(MoveOutcome::Failed);
    if (::rename(from.c_str(), to.c_str()) != 0) return detail::NoteFailure(MoveOutcome::Failed);
    synced = SyncFolderOf(to);
    return MoveOutcome::Moved;
}

LinkOutcome LinkWithoutReplacing(const std::string& existing, const std::string& to) {
    detail::SetLatestFailure({});
    if (ShouldFail(Operation::Link)) return InjectedFailure(LinkOutcome::Failed);
    if (LinksUnsupported()) return LinkOutcome::Unsupported;
    if (::link(existing.c_str(), to.c_str()) == 0) return LinkOutcome::Linked;
    switch (errno) {
        case EEXIST:
            return LinkOutcome::TargetExists;
        // No hard links on this file system, or none for this file (a
        // protected system refuses to link another user's file).
        case EPERM:
        case EXDEV:
        case ENOTSUP:
#if EOPNOTSUPP != ENOTSUP
        case EOPNOTSUPP:
#endif
            return LinkOutcome::Unsupported;
        default:
            return detail::NoteFailure(LinkOutcome::Failed);
    }
}

std::optional<std::string> ReadLinkText(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return std::nullopt;
    // The size lstat gives may be 0 (some file systems) or change meanwhile.
    std::vector<char> text(static_cast<std::size_t>(info.st_size) + 1 > PATH_MAX
                               ? static_cast<std::size_t>(info.st_size) + 1
                               : PATH_MAX);
    const ssize_t length = ::readlink(path.c_str(), text.data(), text.size());
    if (length < 0 || static_cast<std::size_t>(length) >= text.size()) return std::nullopt;
    return std::string(text.data(), static_cast<std::size_t>(length));
}

std::optional<KeptAttributes> ReadKeptAttributes(const std::string& path) {
    detail::SetLatestFailure({});
    if (ShouldFail(Operation::Attributes)) return InjectedFailure(std::nullopt);
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return detail::NoteFailure(std::nullopt);
    return KeptAttributes{static_cast<std::uint32_t>(info.st_mode & 07777), info.st_uid,
                          info.st_gid};
}

bool ApplyAttributesAfterMove(const std::string&, const KeptAttributes&) {
    return true;
}

FactsOutcome ReadFileFacts(const std::string& path, FileFacts& facts) {
    detail::SetLatestFailure({});
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        detail::NoteFailure(0);
        return errno == ENOENT || errno == ENOTDIR ? FactsOutcome::Missing : FactsOutcome::Failed;
    }
    facts.isFolder = S_ISDIR(info.st_mode);
    facts.isFile = S_ISREG(info.st_mode);
    facts.size = static_cast<std::uint64_t>(info.st_size);
    facts.modifiedUtc = static_cast<std::int64_t>(info.st_mtim.tv_sec);
    return FactsOutcome::Found;
}

std::optional<FileIdentity> ReadFileIdentity(const std::string& path) {
    detail::SetLatestFailure({});
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return detail::NoteFailure(std::nullopt);
    constexpr std::int64_t kNanosecondsPerSecond = 1000000000;
    return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                        static_cast<std::uint64_t>(info.st_ino),
                        static_cast<std::uint64_t>(info.st_size),
                        static_cast<std::int64_t>(info.st_mtim.tv_sec) * kNanosecondsPerSecond +
                            info.st_mtim.tv_nsec};
}

bool MayRenameOrDelete(const std::string& path) {
    detail::SetLatestFailure({});
    const std::string_view folder = FolderPart(path);
    struct stat folderInfo {}, fileInfo {};
    if (::stat(folder.empty() ? "." : std::string(folder).c_str(), &folderInfo) != 0 ||
        ::lstat(path.c_str(), &fileInfo) != 0) {
        return true;  // what can't be looked at is left to the rename to say
    }
    const uid_t user = ::geteuid();
    if ((folderInfo.st_mode & S_ISVTX) == 0 || user == 0 || fileInfo.st_uid == user ||
        folderInfo.st_uid == user) {
        return true;
    }
    errno = EPERM;
    return detail::NoteFailure(false);
}

bool CanSearchFolder(const std::string& folder) {
    detail::SetLatestFailure({});
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return detail::NoteFailure(false);
    ::closedir(dir);
    return true;
}

bool RemoveFile(const std::string& path) {
    detail::SetLatestFailure({});
    if (ShouldFail(Operation::Remove)) return InjectedFailure(false);
    return ::unlink(path.c_str()) == 0 || detail::NoteFailure(false);
}

struct ExtensionSearch::Impl {
    DIR* dir = nullptr;
    std::string extension;
};

ExtensionSearch::ExtensionSearch(const std::string& folder, const std::string& extension)
    : impl_(new Impl) {
    impl_->dir = ::opendir(folder.c_str());
    impl_->extension = extension;
}

ExtensionSearch::~ExtensionSearch() {
    if (impl_->dir) ::closedir(impl_->dir);
    delete impl_;
}

namespace {
// Windows matches "*.tga" without regard to letter case.
bool EndsIn(const char* name, const std::string& extension) {
    const std::size_t length = std::strlen(name);
    return length >= extension.size() &&
           ::strcasecmp(name + length - extension.size(), extension.c_str()) == 0;
}
}  // namespace

bool ExtensionSearch::Next(std::string& name) {
    if (!impl_->dir) return false;
    while (const dirent* entry = ::readdir(impl_->dir)) {
        if (EndsIn(entry->d_name, impl_->extension)) {
            name = entry->d_name;
            return true;
        }
    }
    return false;
}

}  // namespace sorrelwick::platform
