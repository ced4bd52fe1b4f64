#pragma once
// A mod file read whole and checked before anything is done with it: the
// archive, its manifest and every payload the manifest names. A mod comes
// from anywhere, so nothing in it is trusted: entry names are only looked
// up, never used as paths; sizes are checked against the manifest and
// bounded before anything is inflated; each payload must have its digest
// and hold every pixel its header declares.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "mod/mod_manifest.h"
#include "mod/zip_archive.h"
#include "platform/system_error.h"

namespace sorrelwick::mod {

// Bounds on what a mod may make us hold: the archive itself and all its
// payloads together, and how far one entry may inflate (deflate's own
// limit is about 1032 to 1).
inline constexpr std::uint64_t kMaxModBytes = 256u << 20;
inline constexpr std::uint64_t kMaxInflateRatio = 1032;
inline constexpr std::uint32_t kMaxManifestBytes = 1u << 20;

struct ModFile {
    ModManifest manifest;
    // The payload of each of manifest.textures, in the same order.
    std::vector<ByteVector> payloads;
};

// The whole file at `path` when it is at most `limit` bytes. When it can't
// be opened or read, `cause` (when given) gets the system's reason.
std::optional<ByteVector> ReadWholeFile(const std::string& path, std::uint64_t limit,
                                        platform::SystemError* cause = nullptr);

// The mod in `archive`, or nullopt when any check fails.
std::optional<ModFile> ParseModFile(format::Bytes archive);

// The mod at `path`; nullopt when it can't be read or is not a mod. When it
// can't be opened or read, `cause` (when given) gets the system's reason.
std::optional<ModFile> ReadModFile(const std::string& path,
                                   platform::SystemError* cause = nullptr);

// The manifest of the mod in `archive`, checked as ParseModFile checks it
// short of the payloads themselves: each texture it names must have its
// entry, of the size it claims, within the bounds, but no payload is
// inflated. Nullopt for anything ParseModFile would refuse before that.
std::optional<ModManifest> ParseModManifest(format::Bytes archive);

// The same for the mod at `path`.
std::optional<ModManifest> ReadModManifest(const std::string& path,
                                           platform::SystemError* cause = nullptr);

}  // namespace sorrelwick::mod
