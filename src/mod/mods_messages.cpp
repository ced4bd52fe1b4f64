#include "mod/mods_messages.h"

#include <algorithm>

#include "mod/mod_messages.h"

namespace sorrelwick::mod::msg {

std::string ModsOf(std::string_view setName) {
    return "Mods against " + std::string(setName);
}

std::string ModStateLine(std::string_view state, std::string_view title, std::string_view author) {
    std::string text;
    if (!title.empty()) text.append("\"").append(title).append("\"");
    if (!author.empty()) text.append(title.empty() ? "by " : " by ").append(author);
    if (!text.empty()) text.append(": ");
    return text.append(state);
}

std::string NamesJoined(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i != 0) text += i + 1 == names.size() ? " and " : ", ";
        text += names[i];
    }
    return text;
}

std::string ConflictLine(std::string_view piece, const std::vector<std::string>& changers,
                         const std::vector<std::string>& holders) {
    std::string text = std::string(piece) + ": changed by " + NamesJoined(changers) + "; ";
    if (holders.empty()) return text + "the set holds none of theirs";
    std::vector<std::string> owned;
    for (const std::string& holder : holders) owned.push_back(holder + "'s");
    return text + "the set holds " + NamesJoined(owned);
}

std::string NoModsIn(std::string_view folder) {
    return "Error - " + std::string(folder) + " holds no .zip file";
}

std::string TakingOut(std::string_view modPath, std::string_view setName) {
    return "Taking the mod " + std::string(modPath) + " out of " + std::string(setName);
}

std::string CheckingTakeOut(std::string_view modPath, std::string_view setName) {
    return "Checking what taking the mod " + std::string(modPath) + " out of " +
           std::string(setName) + " would do";
}

std::string BaseInNoBackup(std::string_view setName) {
    return "the image before the mod is in no backup of " + std::string(setName);
}

std::string PieceNotInSet(std::string_view setName) {
    return "Not in " + std::string(setName);
}

std::string TakenOutCount(std::size_t takenOut, std::size_t already, std::size_t left,
                          bool checkOnly) {
    std::string text = std::to_string(takenOut) + (checkOnly ? " to take out" : " taken out");
    if (already != 0) text += ", " + std::to_string(already) + " already as before the mod";
    if (left != 0) text += ", " + std::to_string(left) + " left";
    return text;
}

std::string NothingToTakeOut(std::string_view setName) {
    return "Nothing of the mod to take out of " + std::string(setName) + ": nothing was written";
}

std::string MaterialPieceLabel(specular::SpecularClass cls, format::ChunkKey key,
                               std::size_t occurrence, std::string_view textureName) {
    if (textureName.empty()) return MaterialLabel(cls, key, occurrence);
    const std::string keyed = MaterialLabel(cls, key, 1);
    // The class's words are the label's up to " material".
    std::string label =
        keyed.substr(0, keyed.find(" material")) + " material of " + std::string(textureName);
    if (occurrence > 1) label += " (" + std::to_string(occurrence) + ")";
    return label;
}

std::vector<std::string> MaterialChangesInWords(const std::vector<ModMaterial>& materials) {
    using specular::SpecularClass;
    static constexpr std::pair<SpecularClass, std::string_view> kClasses[] = {
        {SpecularClass::WhitePieces, "White pieces"},
        {SpecularClass::BlackPieces, "Black pieces"},
        {SpecularClass::Board, "Board"},
        {SpecularClass::None, "Other materials"}};
    std::vector<std::string> lines;
    for (const auto& [cls, name] : kClasses) {
        std::vector<std::string> changes;
        for (const ModMaterial& material : materials) {
            if (material.cls != cls) continue;
            const std::string change = std::string(name) + ": shininess " +
                                       std::to_string(material.base.shininess) + " to " +
                                       std::to_string(material.now.shininess) + ", amplitude " +
                                       std::to_string(material.base.amplitude) + " to " +
                                       std::to_string(material.now.amplitude);
            if (std::find(changes.begin(), changes.end(), change) == changes.end()) {
                changes.push_back(change);
            }
        }
        lines.insert(lines.end(), changes.begin(), changes.end());
    }
    return lines;
}

std::string NothingToDo(std::string_view setName) {
    return "Nothing to do for " + std::string(setName) + ": nothing was written";
}

std::string BaseNotInSet(std::string_view setName) {
    return std::string(setName) + " does not hold the mod's base";
}

std::string AlsoChangedBy(const std::vector<std::string>& names, std::string_view self) {
    std::vector<std::string> others;
    for (const std::string& name : names) {
        if (name != self) others.push_back(name);
    }
    return "also changed by " + NamesJoined(others);
}

std::string ModCount(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " mod" : " mods");
}

}  // namespace sorrelwick::mod::msg
