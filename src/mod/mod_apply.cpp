#include "mod/mod_apply.h"

#include <map>
#include <optional>
#include <utility>

#include "backup/guarded_rewrite.h"
#include "format/sha256.h"
#include "format/tga_fields.h"
#include "mod/mod_file.h"
#include "mod/mod_guard.h"
#include "mod/mod_messages.h"
#include "mod/mods_messages.h"
#include "operations/image_fit.h"
#include "platform/file_system.h"
#include "report/comparison_messages.h"
#include "report/lines.h"
#include "report/messages.h"
#include "report/reason_line.h"
#include "set_file/set_file_walk.h"
#include "specular/chunk_keys.h"

namespace sorrelwick::mod {
namespace {

constexpr std::size_t kShininessOffset = 17;
constexpr std::size_t kAmplitudeOffset = 16;

enum class Outcome { Missing, Applied, Already, Differs, Forced, Refused };

// The mod's pieces as the walk over the set meets them, and what became of
// each.
class ModPieces {
public:
    ModPieces(const ModFile& mod, const ApplyRequest& request) : mod_(mod), request_(request) {
        for (std::size_t i = 0; i < mod.manifest.textures.size(); ++i) {
            const ModTexture& texture = mod.manifest.textures[i];
            textures_[{texture.name, texture.occurrence}] = i;
            textureNames_[texture.name] = 0;
        }
        for (std::size_t i = 0; i < mod.manifest.materials.size(); ++i) {
            const ModMaterial& material = mod.manifest.materials[i];
            materials_[{{material.key.first, material.key.second}, material.occurrence}] = i;
        }
        textureOutcomes_.assign(textures_.size(), Outcome::Missing);
        materialOutcomes_.assign(materials_.size(), Outcome::Missing);
    }

    // The payload the texture chunk is to take, or none; its line goes to `log`.
    std::optional<format::Bytes> Texture(const std::string& name, format::Bytes payload,
                                         report::ReportLog& log) {
        const auto named = textureNames_.find(name);
        if (named == textureNames_.end()) return std::nullopt;
        const auto found = textures_.find({name, ++named->second});
        if (found == textures_.end()) return std::nullopt;
        const ModTexture& texture = mod_.manifest.textures[found->second];
        const std::string digest = format::HexOf(format::Sha256Of(payload));
        Outcome outcome = Decide(digest == texture.baseSha256, digest == texture.newSha256);
        const format::Bytes modPayload(mod_.payloads[found->second]);
        // The line shows the image that stands in the set once the mod is
        // applied, and the one before when its header differs, as pack does.
        const format::TgaFields held = *format::ReadTgaFields(payload);
        const std::optional<format::TgaFields> taken = format::ReadTgaFields(modPayload);
        std::string text(OutcomeText(outcome));
        // The mod's image passes what any image replacing this texture
        // passes, force or not.
        const operations::ImageVerdict verdict = operations::CheckImageFit(modPayload, held.depth);
        if (Changes(outcome) && verdict.fit != operations::ImageFit::Fits) {
            outcome = Outcome::Refused;
            text = std::string(msg::kNotApplied) + operations::ImageFitText(verdict);
        }
        textureOutcomes_[found->second] = outcome;
        format::TgaFields shown = held;
        if (Changes(outcome) && taken) {
            shown = *taken;
            if (*taken != held) text = msg::WasShape(text, held.width, held.height, held.depth);
        }
        log.AppendLine(report::TextureInfoLine(
            report::msg::TextureLabel(platform::NameForReport(name), texture.occurrence),
            shown.width, shown.height, shown.depth, text));
        if (!Changes(outcome)) return std::nullopt;
        return modPayload;
    }

    // Changes the material's specular bytes in `payload` when the mod's
    // value is to be taken; its line, naming the texture the material
    // carries, goes to `log`.
    bool Material(std::span<std::uint8_t> payload, std::string_view textureName,
                  report::ReportLog& log) {
        const format::ChunkKey key = *specular::KeyAt(payload, 0);
        const std::pair<std::uint32_t, std::uint32_t> words{key.first, key.second};
        if (!HasKey(words)) return false;
        const auto found = materials_.find({words, ++materialCounts_[words]});
        if (found == materials_.end()) return false;
        const ModMaterial& material = mod_.manifest.materials[found->second];
        const SpecularBytes held{payload[kShininessOffset], payload[kAmplitudeOffset]};
        const Outcome outcome = Decide(held == material.base, held == material.now);
        materialOutcomes_[found->second] = outcome;
        log.AppendLine(report::NameMessageLine(
            msg::MaterialPieceLabel(material.cls, material.key, material.occurrence,
                                    platform::NameForReport(textureName)),
            OutcomeText(outcome)));
        if (!Changes(outcome)) return false;
        payload[kShininessOffset] = material.now.shininess;
        payload[kAmplitudeOffset] = material.now.amplitude;
        return true;
    }

    // Whether any piece would change the set.
    bool ChangesAny() const {
        for (const auto* outcomes : {&textureOutcomes_, &materialOutcomes_}) {
            for (Outcome outcome : *outcomes) {
                if (Changes(outcome)) return true;
            }
        }
        return false;
    }

    // The line of each piece the set lacks, then the count. True when
    // every piece was applied or already there.
    bool Finish(std::string_view setName, report::ReportLog& log) const {
        for (std::size_t i = 0; i < textureOutcomes_.size(); ++i) {
            if (textureOutcomes_[i] != Outcome::Missing) continue;
            const ModTexture& texture = mod_.manifest.textures[i];
            log.AppendLine(report::NameMessageLine(
                report::msg::TextureLabel(platform::NameForReport(texture.name),
                                          texture.occurrence),
                msg::NotInSet(setName)));
        }
        for (std::size_t i = 0; i < materialOutcomes_.size(); ++i) {
            if (materialOutcomes_[i] != Outcome::Missing) continue;
            const ModMaterial& material = mod_.manifest.materials[i];
            log.AppendLine(report::NameMessageLine(
                msg::MaterialLabel(material.cls, material.key, material.occurrence),
                msg::NotInSet(setName)));
        }
        std::size_t applied = 0, already = 0, notApplied = 0;
        for (const auto* outcomes : {&textureOutcomes_, &materialOutcomes_}) {
            for (Outcome outcome : *outcomes) {
                if (Changes(outcome))
                    ++applied;
                else if (outcome == Outcome::Already)
                    ++already;
                else
                    ++notApplied;
            }
        }
        log.AppendLine("");
        log.AppendLine(msg::AppliedCount(applied, already, notApplied, request_.checkOnly));
        return notApplied == 0;
    }

private:
    using MaterialKey = std::pair<std::pair<std::uint32_t, std::uint32_t>, std::size_t>;

    bool HasKey(const std::pair<std::uint32_t, std::uint32_t>& words) const {
        const auto after = materials_.lower_bound({words, 0});
        return after != materials_.end() && after->first.first == words;
    }

    Outcome Decide(bool isBase, bool isNew) const {
        if (isNew) return Outcome::Already;
        if (isBase) return Outcome::Applied;
        return request_.force ? Outcome::Forced : Outcome::Differs;
    }

    static bool Changes(Outcome outcome) {
        return outcome == Outcome::Applied || outcome == Outcome::Forced;
    }

    std::string_view OutcomeText(Outcome outcome) const {
        switch (outcome) {
            case Outcome::Applied:
                return request_.checkOnly ? msg::kWouldApply : msg::kModApplied;
            case Outcome::Forced:
                return request_.checkOnly ? msg::kWouldApply : msg::kAppliedOverDifferent;
            case Outcome::Already:
                return msg::kAlreadyAsInMod;
            default:
                return msg::kDiffersFromBase;
        }
    }

    const ModFile& mod_;
    const ApplyRequest& request_;
    // Names and keys come from untrusted files: ordered maps can't be flooded.
    std::map<std::pair<std::string, std::size_t>, std::size_t> textures_;
    std::map<std::string, std::size_t, std::less<>> textureNames_;  // occurrences so far
    std::map<MaterialKey, std::size_t> materials_;
    // Occurrences so far of the keys the mod names.
    std::map<std::pair<std::uint32_t, std::uint32_t>, std::size_t> materialCounts_;
    std::vector<Outcome> textureOutcomes_, materialOutcomes_;
};

bool IsSpecularMaterial(const format::Chunk& chunk) {
    return chunk.header.kind == format::kMaterialChunk &&
           chunk.payload.size() >= kShininessOffset + 1;
}

// One chunk of the set, in file order: the mod's piece decided and, when
// `write` is given, the chunk written changed or not.
template <typename Write>
void VisitChunk(ModPieces& pieces, format::ChunkWalk& walk, const format::Chunk& chunk,
                std::vector<std::uint8_t>& scratch, report::ReportLog& log, Write&& write) {
    format::TrackTextureName(walk, chunk);
    if (format::IsNamedTexture(walk, chunk)) {
        const std::optional<format::Bytes> payload =
            pieces.Texture(walk.currentTextureName, chunk.payload, log);
        if (payload) {
            format::ChunkHeader header = chunk.header;
            header.length = static_cast<std::uint32_t>(payload->size());
            write(header, *payload);
            return;
        }
    } else if (IsSpecularMaterial(chunk)) {
        scratch.assign(chunk.payload.begin(), chunk.payload.end());
        if (pieces.Material(scratch, walk.currentTextureName, log)) {
            write(chunk.header, format::Bytes(scratch));
            return;
        }
    }
    write(chunk.header, chunk.payload);
}

// Decides every piece against the set as it stands, writing nothing: the
// pieces' lines go to `lines`, a set that can't be read is said in `log`.
bool DecidePieces(const ToolState& state, ModPieces& pieces, report::ReportLog& lines,
                  report::ReportLog& log) {
    std::vector<std::uint8_t> scratch;
    return set_file::WalkSetFile(state.setPath, state.setName, log,
                                 [&](format::ChunkWalk& walk, const format::Chunk& chunk) {
                                     VisitChunk(pieces, walk, chunk, scratch, lines,
                                                [](const format::ChunkHeader&, format::Bytes) {});
                                 });
}

void CopyLines(const report::MemoryReportLog& from, report::ReportLog& to) {
    for (const std::string& line : from.Lines()) to.AppendLine(line);
}

// The pieces' lines and the count are told only once the new set is in
// place: a rewrite that fails or never starts has applied nothing, and its
// report says so by its failure line alone.
bool RewriteWithMod(const ToolState& state, ModPieces& pieces, report::ReportLog& log) {
    bool whole = false;
    report::MemoryReportLog pieceLines;
    backup::RewriteJob job;
    job.placedReport = [&](report::ReportLog& placedLog) {
        CopyLines(pieceLines, placedLog);
        whole = pieces.Finish(state.setName, placedLog);
    };
    std::vector<std::uint8_t> scratch;
    const bool rewritten = backup::RunGuardedRewrite(
        state, job, log, [&](backup::GuardedRewrite& rewrite, const format::Chunk& chunk) {
            VisitChunk(pieces, rewrite.walk, chunk, scratch, pieceLines,
                       [&rewrite](const format::ChunkHeader& header, format::Bytes payload) {
                           backup::WriteChunk(rewrite, header, payload);
                       });
        });
    return rewritten && whole;
}

}  // namespace

bool ApplyMod(const ToolState& state, const ApplyRequest& request, report::ReportLog* log) {
    if (!log || !SetAndModGiven(state, request.modPath, *log)) return false;
    report::AddHeading(*log, request.checkOnly ? msg::CheckingMod(request.modPath, state.setName)
                                               : msg::Applying(request.modPath, state.setName));
    // The whole mod is read and checked before the set is touched.
    platform::SystemError cause;
    const std::optional<ModFile> mod = ReadModFile(request.modPath, &cause);
    if (!mod) {
        // With the system's reason when it could not even be opened or read.
        report::AppendFailure(*log, msg::NotAModFile(request.modPath), cause);
        report::AddClosing(*log);
        return false;
    }
    // Each piece is decided first; a set that would not change is not
    // rewritten (a backup of an unchanged set helps no one).
    ModPieces decided(*mod, request);
    report::MemoryReportLog lines;
    if (!DecidePieces(state, decided, lines, *log)) {
        report::AddClosing(*log);
        return false;
    }
    if (request.checkOnly || !decided.ChangesAny()) {
        CopyLines(lines, *log);
        const bool whole = decided.Finish(state.setName, *log);
        if (request.checkOnly) log->AppendLine(msg::kCheckedOnly);
        report::AddClosing(*log);
        return whole;
    }
    ModPieces pieces(*mod, request);
    return RewriteWithMod(state, pieces, *log);
}

}  // namespace sorrelwick::mod
