#pragma once
// What the window asks before it applies a mod: what the mod would do to
// this set, counted piece by piece, and the pieces it would refuse.

#include <string>
#include <string_view>
#include <vector>

#include "mod/mod_manifest.h"
#include "mod/mod_state.h"

namespace sorrelwick::mod {

struct ModQuestion {
    // "Apply the mod "Red board" to set1.DAT?", who made it, then the
    // sentences and the pieces refused.
    std::string text;
    // One for the textures and one for the materials, each when the mod has
    // any: "Of its 2 textures, 1 is already applied and 1 will change".
    std::vector<std::string> sentences;
    // The pieces that differ from the mod's base, as the report names them:
    // left unless the user applies those too.
    std::vector<std::string> refused;
    bool willChange = false;  // some piece still holds the mod's base
};

ModQuestion AskAboutMod(const ModManifest& manifest, const SetPieces& set, std::string_view modName,
                        std::string_view setName);

// "Of its 2 textures, 1 is already applied and 1 will change"; empty for
// none of them.
std::string PiecesSentence(std::string_view singular, std::string_view plural,
                           const StateCounts& counts, std::string_view setName);

// Nothing to do: every piece is applied or missing from the set.
inline bool NothingToDo(const ModQuestion& question) {
    return !question.willChange && question.refused.empty();
}

}  // namespace sorrelwick::mod
