#include "mod/mod_unapply.h"

#include <map>
#include <new>
#include <optional>
#include <set>

#include "backup/backup_listing.h"
#include "backup/guarded_rewrite.h"
#include "format/sha256.h"
#include "format/tga_fields.h"
#include "mod/mod_file.h"
#include "mod/mod_guard.h"
#include "mod/mod_messages.h"
#include "mod/mod_state.h"
#include "mod/mods_messages.h"
#include "mod/mods_report.h"
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

using KeyWords = std::pair<std::uint32_t, std::uint32_t>;
// Base images by their SHA-256 in hexadecimal.
using BaseImages = std::map<std::string, ByteVector, std::less<>>;

// Looks for the images of `digests` among the textures named `names` in
// the set's backups, newest first, until all are found. A backup that can't
// be read whole still gives what was read of it; when an image is then not
// found, the lines that say why each such backup could not be read go to
// `log`.
BaseImages FindBaseImages(const std::string& setPath, const std::set<std::string>& names,
                          std::set<std::string> digests, report::ReportLog& log) {
    BaseImages found;
    report::MemoryReportLog unread;
    for (const backup::BackupInfo& backup : backup::BackupsNewestFirst(setPath)) {
        if (digests.empty()) break;
        set_file::SetFileReader reader{.setName = backup.fileName};
        if (set_file::StartSetFile(backup.path, reader, unread)) {
            const auto read = [&names](const format::ChunkWalk& walk,
                                       const format::ChunkHeader& header) {
                return format::NamesNextTexture(header.kind) ||
                       (format::IsNamedTexture(walk, header) &&
                        names.contains(std::string(walk.currentTextureName)));
            };
            format::Chunk chunk;
            while (!digests.empty() && set_file::NextSetChunk(reader, chunk, read)) {
                format::TrackTextureName(reader.walk, chunk);
                if (!format::IsNamedTexture(reader.walk, chunk) || chunk.payload.empty()) continue;
                const std::string digest = format::HexOf(format::Sha256Of(chunk.payload));
                if (digests.erase(digest) != 0) {
                    found[digest].assign(chunk.payload.begin(), chunk.payload.end());
                }
            }
        }
        set_file::FinishSetFile(reader, unread);
    }
    if (!digests.empty()) {
        for (const std::string& line : unread.Lines()) log.AppendLine(line);
    }
    return found;
}

enum class Outcome { Missing, TakenOut, Already, ChangedSince, NoBase };

// The mod's pieces as the walk over the set meets them, and what became of
// each.
class TakeOutPieces {
public:
    TakeOutPieces(const ModManifest& manifest, const BaseImages& bases, std::string_view setName,
                  bool checkOnly)
        : manifest_(manifest), bases_(bases), setName_(setName), checkOnly_(checkOnly) {
        for (std::size_t i = 0; i < manifest.textures.size(); ++i) {
            const ModTexture& texture = manifest.textures[i];
            textures_[{texture.name, texture.occurrence}] = i;
            textureNames_[texture.name] = 0;
        }
        for (std::size_t i = 0; i < manifest.materials.size(); ++i) {
            const ModMaterial& material = manifest.materials[i];
            const KeyWords words{material.key.first, material.key.second};
            materials_[{words, material.occurrence}] = i;
            materialCounts_[words] = 0;
        }
        textureOutcomes_.assign(manifest.textures.size(), Outcome::Missing);
        materialOutcomes_.assign(manifest.materials.size(), Outcome::Missing);
    }

    // The payload the texture chunk is to take, or none; its line goes to `log`.
    std::optional<format::Bytes> Texture(const std::string& name, format::Bytes payload,
                                         report::ReportLog& log) {
        const auto named = textureNames_.find(name);
        if (named == textureNames_.end()) return std::nullopt;
        const auto found = textures_.find({name, ++named->second});
        if (found == textures_.end()) return std::nullopt;
        const ModTexture& texture = manifest_.textures[found->second];
        const std::string digest = format::HexOf(format::Sha256Of(payload));
        const auto base = bases_.find(texture.baseSha256);
        Outcome outcome = Outcome::ChangedSince;
        if (digest == texture.baseSha256) {
            outcome = Outcome::Already;
        } else if (digest == texture.newSha256) {
            outcome = base == bases_.end() ? Outcome::NoBase : Outcome::TakenOut;
        }
        textureOutcomes_[found->second] = outcome;
        const format::Bytes shown =
            outcome == Outcome::TakenOut ? format::Bytes(base->second) : payload;
        const format::TgaFields fields = *format::ReadTgaFields(shown);
        log.AppendLine(report::TextureInfoLine(
            report::msg::TextureLabel(platform::NameForReport(name), texture.occurrence),
            fields.width, fields.height, fields.depth, OutcomeText(outcome)));
        if (outcome != Outcome::TakenOut) return std::nullopt;
        return shown;
    }

    // Gives the material its base bytes back in `payload` when it is to
    // take them; its line goes to `log`.
    bool Material(std::span<std::uint8_t> payload, std::string_view textureName,
                  report::ReportLog& log) {
        if (payload.size() <= kShininessOffset) return false;
        const format::ChunkKey key = *specular::KeyAt(payload, 0);
        const auto counted = materialCounts_.find({key.first, key.second});
        if (counted == materialCounts_.end()) return false;
        const auto found = materials_.find({counted->first, ++counted->second});
        if (found == materials_.end()) return false;
        const ModMaterial& material = manifest_.materials[found->second];
        const SpecularBytes held{payload[kShininessOffset], payload[kAmplitudeOffset]};
        Outcome outcome = Outcome::ChangedSince;
        if (held == material.base) {
            outcome = Outcome::Already;
        } else if (held == material.now) {
            outcome = Outcome::TakenOut;
        }
        materialOutcomes_[found->second] = outcome;
        log.AppendLine(report::NameMessageLine(
            msg::MaterialPieceLabel(material.cls, material.key, material.occurrence,
                                    platform::NameForReport(textureName)),
            OutcomeText(outcome)));
        if (outcome != Outcome::TakenOut) return false;
        payload[kShininessOffset] = material.base.shininess;
        payload[kAmplitudeOffset] = material.base.amplitude;
        return true;
    }

    // The line of each piece the set lacks, then the count. True when
    // every piece is out of the set.
    bool Finish(report::ReportLog& log) const {
        for (std::size_t i = 0; i < textureOutcomes_.size(); ++i) {
            if (textureOutcomes_[i] != Outcome::Missing) continue;
            const ModTexture& texture = manifest_.textures[i];
            log.AppendLine(report::NameMessageLine(
                report::msg::TextureLabel(platform::NameForReport(texture.name),
                                          texture.occurrence),
                msg::PieceNotInSet(setName_)));
        }
        for (std::size_t i = 0; i < materialOutcomes_.size(); ++i) {
            if (materialOutcomes_[i] != Outcome::Missing) continue;
            const ModMaterial& material = manifest_.materials[i];
            log.AppendLine(report::NameMessageLine(
                msg::MaterialLabel(material.cls, material.key, material.occurrence),
                msg::PieceNotInSet(setName_)));
        }
        std::size_t takenOut = 0, already = 0, left = 0;
        for (const auto* outcomes : {&textureOutcomes_, &materialOutcomes_}) {
            for (Outcome outcome : *outcomes) {
                if (outcome == Outcome::TakenOut)
                    ++takenOut;
                else if (outcome == Outcome::Already)
                    ++already;
                else
                    ++left;
            }
        }
        log.AppendLine("");
        log.AppendLine(msg::TakenOutCount(takenOut, already, left, checkOnly_));
        return left == 0;
    }

private:
    std::string OutcomeText(Outcome outcome) const {
        switch (outcome) {
            case Outcome::TakenOut:
                return std::string(checkOnly_ ? msg::kWouldBeTakenOut : msg::kTakenOut);
            case Outcome::Already:
                return std::string(msg::kAlreadyAsBefore);
            case Outcome::NoBase:
                return msg::BaseInNoBackup(setName_);
            default:
                return std::string(msg::kChangedSince);
        }
    }

    const ModManifest& manifest_;
    const BaseImages& bases_;
    std::string_view setName_;
    bool checkOnly_;
    // Names and keys come from untrusted files: ordered maps can't be flooded.
    std::map<std::pair<std::string, std::size_t>, std::size_t> textures_;
    std::map<std::string, std::size_t, std::less<>> textureNames_;  // occurrences so far
    std::map<std::pair<KeyWords, std::size_t>, std::size_t> materials_;
    std::map<KeyWords, std::size_t> materialCounts_;  // occurrences so far
    std::vector<Outcome> textureOutcomes_, materialOutcomes_;
};

// One chunk of the set, in file order: the mod's piece decided and the
// chunk handed to `write`, changed or not.
template <typename Write>
void VisitChunk(TakeOutPieces& pieces, format::ChunkWalk& walk, const format::Chunk& chunk,
                std::vector<std::uint8_t>& scratch, report::ReportLog& log, Write&& write) {
    format::TrackTextureName(walk, chunk);
    if (format::IsNamedTexture(walk, chunk)) {
        if (const std::optional<format::Bytes> payload =
                pieces.Texture(walk.currentTextureName, chunk.payload, log)) {
            format::ChunkHeader header = chunk.header;
            header.length = static_cast<std::uint32_t>(payload->size());
            write(header, *payload);
            return;
        }
    } else if (chunk.header.kind == format::kMaterialChunk) {
        scratch.assign(chunk.payload.begin(), chunk.payload.end());
        if (pieces.Material(scratch, walk.currentTextureName, log)) {
            write(chunk.header, format::Bytes(scratch));
            return;
        }
    }
    write(chunk.header, chunk.payload);
}

// Whether anything would be taken out: a piece at the mod's new value, with
// its base at hand for a texture.
bool AnythingToTakeOut(const ModManifest& manifest, const ModAssessment& assessment,
                       const BaseImages& bases) {
    for (std::size_t i = 0; i < manifest.textures.size(); ++i) {
        if (assessment.textures[i] == PieceState::Applied &&
            bases.contains(manifest.textures[i].baseSha256)) {
            return true;
        }
    }
    for (const PieceState piece : assessment.materials) {
        if (piece == PieceState::Applied) return true;
    }
    return false;
}

bool CheckOnly(const ToolState& state, TakeOutPieces& pieces, report::ReportLog& log) {
    std::vector<std::uint8_t> scratch;
    const bool read =
        set_file::WalkSetFile(state.setPath, state.setName, log,
                              [&](format::ChunkWalk& walk, const format::Chunk& chunk) {
                                  VisitChunk(pieces, walk, chunk, scratch, log,
                                             [](const format::ChunkHeader&, format::Bytes) {});
                              });
    return read && pieces.Finish(log);
}

bool Rewrite(const ToolState& state, TakeOutPieces& pieces, report::ReportLog& log) {
    bool whole = false;
    backup::RewriteJob job;
    job.cleanUp = [&](report::ReportLog& cleanUpLog) { whole = pieces.Finish(cleanUpLog); };
    std::vector<std::uint8_t> scratch;
    const bool rewritten = backup::RunGuardedRewrite(
        state, job, log, [&](backup::GuardedRewrite& rewrite, const format::Chunk& chunk) {
            VisitChunk(pieces, rewrite.walk, chunk, scratch, rewrite.log,
                       [&rewrite](const format::ChunkHeader& header, format::Bytes payload) {
                           backup::WriteChunk(rewrite, header, payload);
                       });
        });
    return rewritten && whole;
}

// `rewritten` tells whether the guarded rewrite ran, which ends the report
// itself.
bool TakeOut(const ToolState& state, const UnapplyRequest& request, const ModManifest& manifest,
             report::ReportLog& log, bool& rewritten) {
    const std::optional<SetPieces> set =
        ReadSetPieces(state.setPath, state.setName, {&manifest}, log);
    if (!set) return false;
    const ModAssessment assessment = AssessMod(manifest, *set);
    std::set<std::string> names, digests;
    for (std::size_t i = 0; i < manifest.textures.size(); ++i) {
        if (assessment.textures[i] != PieceState::Applied) continue;
        names.insert(manifest.textures[i].name);
        digests.insert(manifest.textures[i].baseSha256);
    }
    const BaseImages bases =
        digests.empty() ? BaseImages{}
                        : FindBaseImages(state.setPath, names, std::move(digests), log);
    const bool rewrite = !request.checkOnly && AnythingToTakeOut(manifest, assessment, bases);
    TakeOutPieces pieces(manifest, bases, state.setName, request.checkOnly);
    rewritten = rewrite;
    if (rewrite) return Rewrite(state, pieces, log);
    const bool whole = CheckOnly(state, pieces, log);
    log.AppendLine(request.checkOnly ? std::string(msg::kCheckedOnly)
                                     : msg::NothingToTakeOut(state.setName));
    return whole;
}

}  // namespace

bool UnapplyMod(const ToolState& state, const UnapplyRequest& request, report::ReportLog* log) {
    if (!log || !SetAndModGiven(state, request.modPath, *log)) return false;
    report::AddHeading(*log, request.checkOnly
                                 ? msg::CheckingTakeOut(request.modPath, state.setName)
                                 : msg::TakingOut(request.modPath, state.setName));
    platform::SystemError cause;
    const std::optional<ModManifest> manifest = ReadModManifest(request.modPath, &cause);
    if (!manifest) {
        report::AppendFailure(*log, UnreadableModLine(request.modPath), cause);
        report::AddClosing(*log);
        return false;
    }
    bool whole = false, rewritten = false;
    try {
        whole = TakeOut(state, request, *manifest, *log, rewritten);
    } catch (const std::bad_alloc&) {
        log->AppendLine(report::msg::kNotEnoughMemory);
    }
    if (!rewritten) report::AddClosing(*log);
    return whole;
}

}  // namespace sorrelwick::mod
