#pragma once
// Where a set stands with a mod, told from the set and the mod's manifest
// alone: each piece the mod names is already as the mod made it, still the
// mod's base (the mod would change it), something else, or not in the set.
// No record of what was applied is kept anywhere: the digests say it.

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "mod/mod_manifest.h"
#include "report/report_log.h"

namespace sorrelwick::mod {

// A texture piece: its name as the set holds it and its occurrence, from 1.
using TexturePlace = std::pair<std::string, std::size_t>;
// A material piece: its key's two words and its occurrence, from 1.
using MaterialPlace = std::pair<std::pair<std::uint32_t, std::uint32_t>, std::size_t>;

struct HeldMaterial {
    SpecularBytes bytes;
    std::string textureName;  // the texture the material carries; empty for none
};

// What a set holds of the pieces some mods name, from one walk over it:
// the SHA-256 of each such texture and the specular bytes of each such
// material. Pieces no mod names are moved past unread.
struct SetPieces {
    std::map<TexturePlace, std::string> textureDigests;
    std::map<MaterialPlace, HeldMaterial> materials;
};

// Walks the set at `path` once for the pieces `manifests` name; nullopt
// when the set can't be read whole (its failure line then in `log`).
std::optional<SetPieces> ReadSetPieces(const std::string& path, std::string_view setName,
                                       const std::vector<const ModManifest*>& manifests,
                                       report::ReportLog& log);

enum class PieceState {
    Applied,          // as the mod made it
    WillChange,       // the mod's base: applying the mod changes it
    DiffersFromBase,  // neither: changed by something else
    NotInSet,
};

// The state of each piece, in the manifest's order.
struct ModAssessment {
    std::vector<PieceState> textures;
    std::vector<PieceState> materials;
};

ModAssessment AssessMod(const ModManifest& manifest, const SetPieces& set);

// How many pieces are in each state, textures and materials together or
// apart.
struct StateCounts {
    std::size_t applied = 0, willChange = 0, differs = 0, notInSet = 0;
    std::size_t Total() const { return applied + willChange + differs + notInSet; }
};
StateCounts CountStates(const std::vector<PieceState>& pieces);
StateCounts CountStates(const ModAssessment& assessment);

// The mod's state in words: "Applied", "Not applied", "Partly applied (2 of
// 5 pieces)", "Can't apply: 1 piece differs from the mod's base". A mod
// with some of its pieces applied is partly applied whatever became of the
// others; one with none applied can't be applied when a piece differs from
// its base or is missing.
std::string ModStateText(const ModAssessment& assessment, std::string_view setName);

}  // namespace sorrelwick::mod
