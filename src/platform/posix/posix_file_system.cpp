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
#include <cstring>

#include "platform/fault_seam.h"
#include "platform/file_system.h"

namespace sorrelwick::platform {

const char kPathSeparator = '/';

bool IsPathSeparator(char c) {
    return c == '/';
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
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    if (!stream) return nullptr;
    // fopen opens a folder here; on Windows it fails, and so must we.
    struct stat info {};
    if (fstat(fileno(stream), &info) != 0 || S_ISDIR(info.st_mode)) {
        std::fclose(stream);
        return nullptr;
    }
    return stream;
}

std::FILE* OpenStreamForWriting(const std::string& path) {
    return std::fopen(path.c_str(), "wb");
}

std::FILE* OpenStreamExclusive(const std::string& path, bool& existed) {
    existed = false;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
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
    if (ShouldFail(Operation::Move)) return MoveOutcome::Failed;
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return MoveOutcome::Moved;
    }
    if (errno == EEXIST) return MoveOutcome::TargetExists;
    if (errno != EINVAL && errno != ENOSYS) return MoveOutcome::Failed;
    // File systems without the no-replace flag: a hard link fails on an
    // existing target, then the old name goes.
    if (::link(from.c_str(), to.c_str()) != 0) {
        return errno == EEXIST ? MoveOutcome::TargetExists : MoveOutcome::Failed;
    }
    if (::unlink(from.c_str()) != 0) {
        ::unlink(to.c_str());
        return MoveOutcome::Failed;
    }
    return MoveOutcome::Moved;
}

FactsOutcome ReadFileFacts(const std::string& path, FileFacts& facts) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return errno == ENOENT || errno == ENOTDIR ? FactsOutcome::Missing : FactsOutcome::Failed;
    }
    facts.isFolder = S_ISDIR(info.st_mode);
    facts.size = static_cast<std::uint64_t>(info.st_size);
    facts.modifiedUtc = static_cast<std::int64_t>(info.st_mtim.tv_sec);
    return FactsOutcome::Found;
}

bool RemoveFile(const std::string& path) {
    if (ShouldFail(Operation::Remove)) return false;
    return ::unlink(path.c_str()) == 0;
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
