#pragma once
// The few file-system services beyond stdio, each with a Win32 and a POSIX
// implementation.

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace sorrelwick::platform {

// The separator between a folder and a name in paths this tool builds.
extern const char kPathSeparator;

// True for a character that separates path components on this platform
// ('\' and '/' on Windows, '/' on POSIX).
bool IsPathSeparator(char c);

// Whether `path` starts from a root (POSIX "/"; Windows a separator or a
// drive's "X:\") rather than from the folder it is read in.
bool IsAbsolutePath(std::string_view path);

// The text after the last separator, or the whole path when it holds none
// or nothing follows the last one.
std::string_view FileNamePart(std::string_view path);

// The text before the last separator: "/" itself for a path in the root,
// empty when the path holds no separator.
std::string_view FolderPart(std::string_view path);

// `folder`, the separator, `name`.
std::string JoinPath(std::string_view folder, std::string_view name);

// Whether the system takes `path` as it is: on Windows a path of at most 259
// UTF-16 code units in valid UTF-8 (never cut to fit); elsewhere any path.
bool FitsPathLimit(std::string_view path);

// A name read from a chess set is bytes. As part of a file name it is read
// as the game reads it: on Windows in the system's code page, turned into
// UTF-8, and nullopt when a byte doesn't read as a character there (such a
// name is never used); elsewhere the bytes as they are.
std::optional<std::string> NameAsText(std::string_view bytes);
// The same name for a report line, which is always made: a byte that doesn't
// read as a character shows as '?'.
std::string NameForReport(std::string_view bytes);

// How many bytes at the end of `text` hold its last `count` characters (or
// all of it): on Windows the characters of UTF-8, elsewhere bytes.
std::size_t LastCharactersSize(std::string_view text, std::size_t count);

enum class MoveOutcome { Moved, TargetExists, Failed };
// Moves a file to a new name; never replaces an existing target.
MoveOutcome MoveWithoutReplacing(const std::string& from, const std::string& to);

// As MoveWithoutReplacing, for a finished file taking its final name: the
// move itself reaches stable storage before this returns (Windows moves
// with write-through; POSIX flushes the folder afterwards), so that a power
// cut never leaves the name empty. `synced` is false when the file was
// moved but that last flush failed.
MoveOutcome MoveIntoPlace(const std::string& from, const std::string& to, bool& synced);

// Moves a finished file over the file at `to` in one step: `to` names the
// old file or the new one at every moment, never nothing. Made durable as
// MoveIntoPlace.
MoveOutcome ReplaceInPlace(const std::string& from, const std::string& to, bool& synced);

enum class LinkOutcome { Linked, TargetExists, Unsupported, Failed };
// Gives the file at `existing` the second name `to` (a hard link) without
// moving it; never replaces an existing `to`. Unsupported where the file
// system has no such links (FAT, exFAT, some network shares) or refuses
// them for this file, and always on Windows.
LinkOutcome LinkWithoutReplacing(const std::string& existing, const std::string& to);

// The text of the symbolic link at `path`, exactly as it was made; nullopt
// when `path` is not a symbolic link (or can't be read as one).
std::optional<std::string> ReadLinkText(const std::string& path);

// The bits of a file that a rewrite carries over to the new file: POSIX
// permissions, owner and group; Windows' read-only and hidden attributes.
struct KeptAttributes {
    std::uint32_t bits = 0;
    std::uint32_t owner = 0, group = 0;
};
std::optional<KeptAttributes> ReadKeptAttributes(const std::string& path);
// An open file takes them with File::TakeAttributes, before it is closed.
// Windows' attributes, set once the file is in place: a read-only file left
// behind by a failed move could not be deleted. Nothing to do on POSIX.
bool ApplyAttributesAfterMove(const std::string& path, const KeptAttributes& kept);

// What the system knows of one directory entry without opening it.
struct FileFacts {
    bool isFolder = false;
    bool isFile = false;  // a regular file: not a folder, device, socket or pipe
    std::uint64_t size = 0;
    std::int64_t modifiedUtc = 0;  // seconds since 1970-01-01 00:00 UTC
};
enum class FactsOutcome { Found, Missing, Failed };
// Size and last modification of `path`. Missing when nothing stands there
// (or its folder does not exist); Failed when the system would not say.
FactsOutcome ReadFileFacts(const std::string& path, FileFacts& facts);

// What tells one file from another at a path: the file system's number for
// it on its device, its size and its last write (POSIX to the nanosecond,
// Windows to 100 ns). A file replaced by another under the same name, or
// written since, has another identity.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t index = 0;
    std::uint64_t size = 0;
    std::int64_t modified = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};
// nullopt when nothing stands at `path` or the system would not say.
std::optional<FileIdentity> ReadFileIdentity(const std::string& path);

// Whether `folder` is a folder whose entries can be listed.
bool CanSearchFolder(const std::string& folder);

// False (with the cause, "not permitted") when the file at `path` lies in a
// folder that only lets each file's owner rename or delete it (POSIX's
// sticky bit) and neither the file nor the folder is this user's: a second
// name given to it there could not be taken back. True otherwise, and
// always on Windows.
bool MayRenameOrDelete(const std::string& path);

// Deletes a file; false when it could not be deleted (or did not exist).
bool RemoveFile(const std::string& path);

// The directory search for "*<extension>" in one folder (an extension such
// as ".tga"): every entry whose name ends in it in any letter case, folders
// included, in the platform's order.
class ExtensionSearch {
public:
    ExtensionSearch(const std::string& folder, const std::string& extension);
    ~ExtensionSearch();
    ExtensionSearch(const ExtensionSearch&) = delete;
    ExtensionSearch& operator=(const ExtensionSearch&) = delete;

    // The next name (without the folder); false when there are no more or
    // the search failed.
    bool Next(std::string& name);

private:
    struct Impl;
    Impl* impl_;
};

namespace detail {
// Per-platform pieces of File.
std::FILE* OpenStreamForReading(const std::string& path);
std::FILE* OpenStreamForWriting(const std::string& path);
std::FILE* OpenStreamExclusive(const std::string& path, bool ownerOnly, bool& existed);
// POSIX: the owner and group where the process may set them (the group
// alone when the owner is refused), then the permissions. Windows: nothing.
bool ApplyAttributesToStream(std::FILE* stream, const KeptAttributes& kept);
std::optional<std::uint64_t> StreamSize(std::FILE* stream);
// The tool has one thread: where the C library locks a stream for every
// call, that locking is turned off.
void UseFromOneThread(std::FILE* stream);
// Writes the system's cached data of the stream's file to the device.
bool SyncToStorage(std::FILE* stream);
// Asks the system to start writing the stream's cached data to the device
// now, without waiting for it. Only a hint: where there is no such request,
// nothing happens.
void StartWritingToStorage(std::FILE* stream);
}  // namespace detail

}  // namespace sorrelwick::platform
