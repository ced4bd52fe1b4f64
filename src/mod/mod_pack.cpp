#include "mod/mod_pack.h"

#include <bit>
#include <new>
#include <optional>

#include "backup/set_location.h"
#include "comparison/set_comparison.h"
#include "format/background_sha256.h"
#include "format/sha256.h"
#include "format/tga_fields.h"
#include "format/tga_image.h"
#include "mod/mod_file.h"
#include "mod/mod_messages.h"
#include "mod/mod_state.h"
#include "mod/mod_writer.h"
#include "mod/mods_messages.h"
#include "operations/changes_page.h"
#include "platform/file_system.h"
#include "report/comparison_messages.h"
#include "report/lines.h"
#include "report/messages.h"
#include "sorrelwick_version.h"

namespace sorrelwick::mod {
namespace {

using comparison::ComparedSet;
using comparison::SetComparison;
using comparison::TextureDifference;
using Kind = TextureDifference::Kind;

// What the pack takes from a comparison: the changed textures (their
// places in the comparison) and the changed materials on both sides.
struct PackedPieces {
    std::vector<std::size_t> textures;
    std::vector<ModMaterial> materials;
    bool refused = false;  // a changed image no apply would take
};

// The texture each changed material of the set carries, for its line: one
// more walk, which reads only the chunks that name textures. Empty when the
// set can't be read again; the lines then name the materials by key.
SetPieces MaterialsOfSet(const SetComparison& comparison, const ComparedSet& set) {
    ModManifest probe;
    for (const comparison::MaterialDifference& material : comparison.materialDifferences) {
        if (!material.inSet) continue;
        probe.materials.push_back({.key = material.key,
                                   .occurrence = material.occurrence,
                                   .cls = material.cls,
                                   .base = {},
                                   .now = {}});
    }
    if (probe.materials.empty()) return {};
    report::MemoryReportLog ignored;
    return ReadSetPieces(set.path, set.name, {&probe}, ignored).value_or(SetPieces{});
}

std::string MaterialLine(const comparison::MaterialDifference& material, const SetPieces& held) {
    const auto found = held.materials.find(
        {{material.key.first, material.key.second}, material.occurrence});
    return msg::MaterialPieceLabel(
        material.cls, material.key, material.occurrence,
        found == held.materials.end() ? std::string()
                                      : platform::NameForReport(found->second.textureName));
}

// Why a changed texture's image could not replace the base's in a set, as
// apply and replace check it; empty when it could. Completeness is checked
// once the images are read.
std::string RefusedChange(const TextureDifference& texture) {
    const comparison::TextureShape& image = texture.inSet;
    if (image.depth != texture.inOther.depth) return report::msg::WrongDepthText(image.depth);
    if (!std::has_single_bit(image.width) || !std::has_single_bit(image.height)) {
        return report::msg::WrongSizeText(image.width, image.height);
    }
    return {};
}

// The report line of each difference, and the pieces a mod can carry.
PackedPieces ReportPieces(const SetComparison& comparison, const ComparedSet& set,
                          const ComparedSet& base, report::ReportLog& log) {
    PackedPieces pieces;
    for (std::size_t i = 0; i < comparison.textures.size(); ++i) {
        const TextureDifference& texture = comparison.textures[i];
        const std::string label =
            report::msg::TextureLabel(platform::NameForReport(texture.name), texture.occurrence);
        const bool inSet = texture.kind != Kind::OnlyInOther;
        const comparison::TextureShape& shape = inSet ? texture.inSet : texture.inOther;
        std::string outcome;
        const std::string refusal = texture.kind == Kind::Changed ? RefusedChange(texture) : "";
        if (!refusal.empty()) {
            pieces.refused = true;
            outcome = std::string(msg::kNotPacked) + refusal;
        } else if (texture.kind == Kind::Changed) {
            pieces.textures.push_back(i);
            outcome = texture.inSet == texture.inOther
                          ? std::string(msg::kPacked)
                          : msg::PackedChangedFrom(texture.inOther.width, texture.inOther.height,
                                                   texture.inOther.depth);
        } else {
            outcome = msg::NotPackedOnlyIn(inSet ? set.name : base.name);
        }
        log.AppendLine(
            report::TextureInfoLine(label, shape.width, shape.height, shape.depth, outcome));
    }
    const SetPieces held = MaterialsOfSet(comparison, set);
    for (const comparison::MaterialDifference& material : comparison.materialDifferences) {
        const std::string label = MaterialLine(material, held);
        if (!material.inSet || !material.inOther) {
            log.AppendLine(report::NameMessageLine(
                label, msg::NotPackedOnlyIn(material.inSet ? set.name : base.name)));
            continue;
        }
        ModMaterial& packed = pieces.materials.emplace_back();
        packed.key = material.key;
        packed.occurrence = material.occurrence;
        packed.cls = material.cls;
        packed.base = {material.inOther->shininess, material.inOther->amplitude};
        packed.now = {material.inSet->shininess, material.inSet->amplitude};
        log.AppendLine(
            report::NameMessageLine(label, msg::MaterialPacked(packed.base, packed.now)));
    }
    if (comparison.otherDataDiffers) log.AppendLine(msg::kOtherDataNotPacked);
    return pieces;
}

// Makes the page of the changes in memory; each changed texture's payload
// (the set's) and its base's digest are taken from the page's walks on the
// way.
std::optional<std::string> PageAndPayloads(const ComparedSet& set, const ComparedSet& base,
                                           const SetComparison& comparison,
                                           const PackRequest& request, ModManifest& manifest,
                                           std::vector<ByteVector>& payloads,
                                           const PackedPieces& pieces, report::ReportLog& log) {
    std::vector<std::optional<std::size_t>> slotOf(comparison.textures.size());
    for (std::size_t slot = 0; slot < pieces.textures.size(); ++slot) {
        slotOf[pieces.textures[slot]] = slot;
    }
    payloads.assign(pieces.textures.size(), {});
    const auto visit = [&](std::size_t difference, bool inSet, format::Bytes tga) {
        const std::optional<std::size_t> slot = slotOf[difference];
        if (!slot) return;
        ModTexture& texture = manifest.textures[*slot];
        if (inSet) {
            payloads[*slot].assign(tga.begin(), tga.end());
            texture.newSha256 = format::HexOf(format::Sha256Of(tga));
            texture.size = static_cast<std::uint32_t>(tga.size());
        } else {
            texture.baseSha256 = format::HexOf(format::Sha256Of(tga));
        }
    };
    // The page speaks of the mod, not of the packer's own files.
    const operations::ChangesPageWords words{
        .title = manifest.title.empty() ? set.name : manifest.title,
        .notes = msg::MaterialChangesInWords(manifest.materials)};
    std::optional<operations::PageText> page = operations::ChangesPageText(
        set, base, comparison, kMaxModBytes, log, visit, words, request.jobs);
    if (!page) return std::nullopt;
    // No reader takes a mod that large; its page alone would make it so.
    if (page->tooLarge) {
        log.AppendLine(msg::ModTooLarge(request.modPath, kMaxModBytes));
        return std::nullopt;
    }
    return std::move(page->text);
}

// The archive entry of the n-th packed texture: its number, then its name
// with anything but letters, digits, '.', '-' and '_' as '_'.
std::string EntryName(std::size_t number, std::string_view name) {
    std::string entry = std::to_string(number + 1);
    entry.insert(0, 3 - std::min<std::size_t>(3, entry.size()), '0');
    entry = "textures/" + entry + "-";
    for (char c : name) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '_';
        entry.push_back(plain ? c : '_');
    }
    return entry;
}

bool WritePack(const ComparedSet& set, const ComparedSet& base, const PackRequest& request,
               report::ReportLog& log) {
    // The base's size and SHA-256 are taken from the comparison's own reads:
    // the digest is worked out beside the walk instead of in another one.
    format::BackgroundSha256 baseDigest;
    std::uint64_t baseSize = 0;
    const auto baseBytes = [&](format::Bytes bytes) {
        baseDigest.Update(bytes);
        baseSize += bytes.size();
    };
    const std::optional<SetComparison> comparison = CompareSets(set, base, log, baseBytes);
    if (!comparison) return false;
    PackedPieces pieces = ReportPieces(*comparison, set, base, log);
    if (pieces.refused) return false;
    if (pieces.textures.empty() && pieces.materials.empty()) {
        log.AppendLine(msg::NothingToPack(set.name, base.name));
        return true;
    }
    ModManifest manifest{.title = request.title,
                         .author = request.author,
                         .description = request.description,
                         .tool = "Sorrelwick " SORRELWICK_VERSION,
                         .base = {},
                         .textures = {},
                         .materials = std::move(pieces.materials)};
    for (std::size_t slot = 0; slot < pieces.textures.size(); ++slot) {
        const TextureDifference& texture = comparison->textures[pieces.textures[slot]];
        manifest.textures.push_back({.name = texture.name,
                                     .occurrence = texture.occurrence,
                                     .baseSha256 = {},
                                     .newSha256 = {},
                                     .size = 0,
                                     .entry = EntryName(slot, texture.name)});
    }
    std::vector<ByteVector> payloads;
    const std::optional<std::string> page =
        PageAndPayloads(set, base, *comparison, request, manifest, payloads, pieces, log);
    // The page is made only when each changed texture was met on both walks,
    // so every texture has both digests and its payload.
    if (!page) return false;
    // A mod is read only when each of its images is whole: one cut short is
    // refused here, not packed into a mod that nobody could apply.
    bool whole = true;
    for (std::size_t slot = 0; slot < payloads.size(); ++slot) {
        if (format::CheckImageCompleteness(payloads[slot]) != format::ImageCompleteness::CutShort)
            continue;
        const ModTexture& texture = manifest.textures[slot];
        log.AppendLine(msg::CutShortNotPacked(
            report::msg::TextureLabel(platform::NameForReport(texture.name), texture.occurrence),
            set.name));
        whole = false;
    }
    if (!whole) return false;
    manifest.base = {.fileName = base.name,
                     .size = baseSize,
                     .sha256 = format::HexOf(baseDigest.Finish())};
    const format::Bytes pageBytes{reinterpret_cast<const std::uint8_t*>(page->data()),
                                  page->size()};
    if (!WriteModFile(request.modPath, manifest, pageBytes, payloads, request.replaceExisting, log,
                      request.jobs)) {
        return false;
    }
    log.AppendLine("");
    log.AppendLine(
        msg::PackedCount(manifest.textures.size(), manifest.materials.size(), request.modPath));
    return true;
}

}  // namespace

bool PackMod(const ToolState& state, const PackRequest& request, report::ReportLog* log) {
    if (!log) return false;
    if (state.setPath.empty()) {
        log->AppendLine(report::msg::kInvalidLoadPath);
        return false;
    }
    const std::string& modPath = request.modPath;
    if (modPath.empty() || platform::IsPathSeparator(modPath.back())) {
        log->AppendLine(msg::kInvalidModPath);
        return false;
    }
    // A linked set's backups lie beside the file the link names.
    const std::optional<std::string> basePath =
        comparison::OtherSetPath(backup::ResolveSetPath(state.setPath), request.base);
    if (!basePath) {
        log->AppendLine(report::msg::kInvalidLoadSavePath);
        return false;
    }
    const ComparedSet set{state.setPath, state.setName};
    const ComparedSet base{*basePath, std::string(platform::FileNamePart(*basePath))};
    report::AddHeading(*log, msg::Packing(set.name, base.name, modPath));
    bool packed = false;
    try {
        packed = WritePack(set, base, request, *log);
    } catch (const std::bad_alloc&) {
        log->AppendLine(report::msg::kNotEnoughMemory);
    }
    if (!packed) log->AppendLine(msg::kNoModWritten);
    report::AddClosing(*log);
    return packed;
}

}  // namespace sorrelwick::mod
