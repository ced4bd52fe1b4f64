#include "mod/mod_state.h"

#include <new>
#include <set>

#include "format/sha256.h"
#include "mod/mods_messages.h"
#include "report/messages.h"
#include "set_file/set_file_walk.h"
#include "specular/chunk_keys.h"

namespace sorrelwick::mod {
namespace {

constexpr std::size_t kShininessOffset = 17;
constexpr std::size_t kAmplitudeOffset = 16;

using KeyWords = std::pair<std::uint32_t, std::uint32_t>;

// The names and keys the mods name, and how often each has been met so far
// in the walk. Names and keys come from untrusted files: ordered maps can't
// be flooded.
struct WantedPieces {
    std::map<std::string, std::size_t, std::less<>> textureNames;
    std::map<KeyWords, std::size_t> materialKeys;
    std::set<TexturePlace> textures;
    std::set<MaterialPlace> materials;

    explicit WantedPieces(const std::vector<const ModManifest*>& manifests) {
        for (const ModManifest* manifest : manifests) {
            for (const ModTexture& texture : manifest->textures) {
                textureNames[texture.name] = 0;
                textures.insert({texture.name, texture.occurrence});
            }
            for (const ModMaterial& material : manifest->materials) {
                const KeyWords words{material.key.first, material.key.second};
                materialKeys[words] = 0;
                materials.insert({words, material.occurrence});
            }
        }
    }

    // Whether the payload of a chunk with `header` must be read: every
    // chunk that may name a texture or be a material, and the images of the
    // textures some mod names.
    bool Wanted(const format::ChunkWalk& walk, const format::ChunkHeader& header) const {
        if (format::NamesNextTexture(header.kind)) return true;
        return format::IsNamedTexture(walk, header) &&
               textureNames.contains(walk.currentTextureName);
    }

    void Texture(const std::string& name, format::Bytes payload, SetPieces& pieces) {
        const auto named = textureNames.find(name);
        if (named == textureNames.end()) return;
        TexturePlace place{name, ++named->second};
        if (!textures.contains(place)) return;
        pieces.textureDigests[std::move(place)] = format::HexOf(format::Sha256Of(payload));
    }

    void Material(const format::ChunkWalk& walk, format::Bytes payload, SetPieces& pieces) {
        if (payload.size() <= kShininessOffset) return;
        const format::ChunkKey key = *specular::KeyAt(payload, 0);
        const auto known = materialKeys.find({key.first, key.second});
        if (known == materialKeys.end()) return;
        MaterialPlace place{known->first, ++known->second};
        if (!materials.contains(place)) return;
        pieces.materials[std::move(place)] = {
            {payload[kShininessOffset], payload[kAmplitudeOffset]}, walk.currentTextureName};
    }
};

PieceState Decide(bool isBase, bool isNew) {
    if (isNew) return PieceState::Applied;
    if (isBase) return PieceState::WillChange;
    return PieceState::DiffersFromBase;
}

std::string Pieces(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " piece" : " pieces");
}

}  // namespace

std::optional<SetPieces> ReadSetPieces(const std::string& path, std::string_view setName,
                                       const std::vector<const ModManifest*>& manifests,
                                       report::ReportLog& log) {
    SetPieces pieces;
    try {
        WantedPieces wanted(manifests);
        set_file::SetFileReader reader{.setName = setName};
        if (set_file::StartSetFile(path, reader, log)) {
            const auto read = [&wanted](const format::ChunkWalk& walk,
                                        const format::ChunkHeader& header) {
                return wanted.Wanted(walk, header);
            };
            format::Chunk chunk;
            while (set_file::NextSetChunk(reader, chunk, read)) {
                format::TrackTextureName(reader.walk, chunk);
                if (format::IsNamedTexture(reader.walk, chunk)) {
                    wanted.Texture(reader.walk.currentTextureName, chunk.payload, pieces);
                } else if (chunk.header.kind == format::kMaterialChunk) {
                    wanted.Material(reader.walk, chunk.payload, pieces);
                }
            }
        }
        if (!set_file::FinishSetFile(reader, log)) return std::nullopt;
    } catch (const std::bad_alloc&) {
        log.AppendLine(report::msg::kNotEnoughMemory);
        return std::nullopt;
    }
    return pieces;
}

ModAssessment AssessMod(const ModManifest& manifest, const SetPieces& set) {
    ModAssessment assessment;
    for (const ModTexture& texture : manifest.textures) {
        const auto held = set.textureDigests.find({texture.name, texture.occurrence});
        assessment.textures.push_back(
            held == set.textureDigests.end()
                ? PieceState::NotInSet
                : Decide(held->second == texture.baseSha256, held->second == texture.newSha256));
    }
    for (const ModMaterial& material : manifest.materials) {
        const auto held =
            set.materials.find({{material.key.first, material.key.second}, material.occurrence});
        assessment.materials.push_back(
            held == set.materials.end()
                ? PieceState::NotInSet
                : Decide(held->second.bytes == material.base, held->second.bytes == material.now));
    }
    return assessment;
}

StateCounts CountStates(const std::vector<PieceState>& pieces) {
    StateCounts counts;
    for (const PieceState piece : pieces) {
        switch (piece) {
            case PieceState::Applied:
                ++counts.applied;
                break;
            case PieceState::WillChange:
                ++counts.willChange;
                break;
            case PieceState::DiffersFromBase:
                ++counts.differs;
                break;
            case PieceState::NotInSet:
                ++counts.notInSet;
                break;
        }
    }
    return counts;
}

StateCounts CountStates(const ModAssessment& assessment) {
    const StateCounts textures = CountStates(assessment.textures);
    const StateCounts materials = CountStates(assessment.materials);
    return {textures.applied + materials.applied, textures.willChange + materials.willChange,
            textures.differs + materials.differs, textures.notInSet + materials.notInSet};
}

std::string ModStateText(const ModAssessment& assessment, std::string_view setName) {
    const StateCounts counts = CountStates(assessment);
    if (counts.applied == counts.Total()) return std::string(msg::kStateApplied);
    if (counts.applied != 0) {
        return "Partly applied (" + std::to_string(counts.applied) + " of " +
               Pieces(counts.Total()) + ")";
    }
    if (counts.differs == 0 && counts.notInSet == 0) return std::string(msg::kStateNotApplied);
    std::string text = "Can't apply: ";
    if (counts.differs != 0) {
        text += Pieces(counts.differs) + (counts.differs == 1 ? " differs" : " differ") +
                " from the mod's base";
    }
    if (counts.differs != 0 && counts.notInSet != 0) text += ", ";
    if (counts.notInSet != 0) {
        text += Pieces(counts.notInSet) + (counts.notInSet == 1 ? " is" : " are") + " not in " +
                std::string(setName);
    }
    return text;
}

}  // namespace sorrelwick::mod
