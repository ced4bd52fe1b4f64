#include "mod/mod_file.h"

#include <algorithm>
#include <map>
#include <new>
#include <set>
#include <tuple>
#include <utility>

#include "format/sha256.h"
#include "format/tga_fields.h"
#include "format/tga_image.h"
#include "platform/file.h"

namespace sorrelwick::mod {
namespace {

// The archive's entries by name: a manifest may name thousands of pieces in
// an archive of as many entries.
using EntriesByName = std::map<std::string_view, const ZipEntry*>;

EntriesByName ByName(const std::vector<ZipEntry>& entries) {
    EntriesByName byName;
    for (const ZipEntry& entry : entries) byName.emplace(entry.name, &entry);
    return byName;
}

const ZipEntry* FindEntry(const EntriesByName& entries, std::string_view name) {
    const auto found = entries.find(name);
    return found == entries.end() ? nullptr : found->second;
}

// Whether `entry` may be inflated into `expected` bytes, with `budget` left
// of the mod's total.
bool SizeAllowed(const ZipEntry& entry, std::uint64_t expected, std::uint64_t& budget) {
    if (entry.size != expected || expected > budget) return false;
    if (expected > std::max<std::uint64_t>(entry.compressedSize, 1) * kMaxInflateRatio) {
        return false;
    }
    budget -= expected;
    return true;
}

bool PayloadFits(const ModTexture& texture, const ByteVector& payload) {
    return payload.size() >= format::kMinTextureImageSize &&
           format::HexOf(format::Sha256Of(payload)) == texture.newSha256 &&
           format::CheckImageCompleteness(payload) != format::ImageCompleteness::CutShort;
}

// No piece named twice, no entry used twice, and no entry the mod's own.
bool PiecesDistinct(const ModManifest& manifest) {
    std::set<std::pair<std::string, std::size_t>> textures;
    std::set<std::string> entries{std::string(kManifestEntry), std::string(kPreviewEntry)};
    for (const ModTexture& texture : manifest.textures) {
        if (!textures.insert({texture.name, texture.occurrence}).second ||
            !entries.insert(texture.entry).second) {
            return false;
        }
    }
    std::set<std::tuple<std::uint32_t, std::uint32_t, std::size_t>> materials;
    for (const ModMaterial& material : manifest.materials) {
        if (!materials.insert({material.key.first, material.key.second, material.occurrence})
                 .second) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<ByteVector> ReadWholeFile(const std::string& path, std::uint64_t limit,
                                        platform::SystemError* cause) {
    platform::File file = platform::File::OpenForReading(path);
    const auto failed = [&] {
        if (cause) *cause = file.LastError();
        return std::nullopt;
    };
    if (!file.IsOpen()) return failed();
    const std::optional<std::uint64_t> size = file.Remaining();
    if (!size || *size > limit) return std::nullopt;
    ByteVector bytes(static_cast<std::size_t>(*size));
    if (file.Read(bytes.data(), bytes.size()) != bytes.size()) return failed();
    // One byte more means the file grew since its size was measured.
    std::uint8_t extra = 0;
    if (file.Read(&extra, 1) != 0) return std::nullopt;
    if (file.ReadFailed() || !file.Close()) return failed();
    return bytes;
}

namespace {

// The manifest with the entry of each texture it names, every check made
// that needs no payload inflated: the manifest itself, its pieces named
// once, and each payload's entry present with the size the manifest gives
// it, all within the bounds.
struct CheckedManifest {
    ModManifest manifest;
    std::vector<const ZipEntry*> payloadEntries;
};

std::optional<CheckedManifest> CheckManifest(format::Bytes archive,
                                             const std::vector<ZipEntry>& entries) {
    const EntriesByName byName = ByName(entries);
    const ZipEntry* manifestEntry = FindEntry(byName, kManifestEntry);
    if (!manifestEntry || manifestEntry->size > kMaxManifestBytes) return std::nullopt;
    std::uint64_t budget = kMaxModBytes;
    if (!SizeAllowed(*manifestEntry, manifestEntry->size, budget)) return std::nullopt;
    const std::optional<ByteVector> json = ExtractEntry(archive, *manifestEntry);
    if (!json) return std::nullopt;
    std::optional<ModManifest> manifest =
        ParseManifest({reinterpret_cast<const char*>(json->data()), json->size()});
    if (!manifest || !PiecesDistinct(*manifest)) return std::nullopt;
    CheckedManifest checked{.manifest = std::move(*manifest), .payloadEntries = {}};
    for (const ModTexture& texture : checked.manifest.textures) {
        const ZipEntry* entry = FindEntry(byName, texture.entry);
        if (!entry || !SizeAllowed(*entry, texture.size, budget)) return std::nullopt;
        checked.payloadEntries.push_back(entry);
    }
    return checked;
}

}  // namespace

std::optional<ModFile> ParseModFile(format::Bytes archive) {
    const std::optional<std::vector<ZipEntry>> entries = ReadZipDirectory(archive);
    if (!entries) return std::nullopt;
    // Every size is checked before the first payload is inflated.
    std::optional<CheckedManifest> checked = CheckManifest(archive, *entries);
    if (!checked) return std::nullopt;
    ModFile mod{.manifest = std::move(checked->manifest), .payloads = {}};
    for (std::size_t i = 0; i < checked->payloadEntries.size(); ++i) {
        std::optional<ByteVector> payload = ExtractEntry(archive, *checked->payloadEntries[i]);
        if (!payload || !PayloadFits(mod.manifest.textures[i], *payload)) return std::nullopt;
        mod.payloads.push_back(std::move(*payload));
    }
    return mod;
}

std::optional<ModManifest> ParseModManifest(format::Bytes archive) {
    const std::optional<std::vector<ZipEntry>> entries = ReadZipDirectory(archive);
    if (!entries) return std::nullopt;
    std::optional<CheckedManifest> checked = CheckManifest(archive, *entries);
    if (!checked) return std::nullopt;
    return std::move(checked->manifest);
}

std::optional<ModFile> ReadModFile(const std::string& path, platform::SystemError* cause) {
    try {
        const std::optional<ByteVector> archive = ReadWholeFile(path, kMaxModBytes, cause);
        if (!archive) return std::nullopt;
        return ParseModFile(*archive);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

std::optional<ModManifest> ReadModManifest(const std::string& path, platform::SystemError* cause) {
    try {
        const std::optional<ByteVector> archive = ReadWholeFile(path, kMaxModBytes, cause);
        if (!archive) return std::nullopt;
        return ParseModManifest(*archive);
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

}  // namespace sorrelwick::mod
