#include "mod/mod_messages.h"

#include <vector>

namespace sorrelwick::mod::msg {
namespace {

std::string Counted(std::size_t count, std::string_view singular, std::string_view plural) {
    return std::to_string(count) + " " + std::string(count == 1 ? singular : plural);
}

constexpr std::string_view kClassLabels[] = {"other", "board", "black pieces", "white pieces"};

}  // namespace

std::string Packing(std::string_view setName, std::string_view baseName, std::string_view modPath) {
    return "Packing the changes of " + std::string(setName) + " since " + std::string(baseName) +
           " into " + std::string(modPath);
}

std::string WasShape(std::string_view outcome, unsigned width, unsigned height, unsigned depth) {
    return std::string(outcome) + ": was " + std::to_string(width) + "x" +
           std::to_string(height) + " " + std::to_string(depth) + " bits";
}

std::string CutShortNotPacked(std::string_view textureLabel, std::string_view setName) {
    return "Error - " + std::string(textureLabel) + " of " + std::string(setName) +
           " is cut short: no mod can carry it";
}

std::string PackedChangedFrom(unsigned width, unsigned height, unsigned depth) {
    return WasShape("packed", width, height, depth);
}

std::string NotPackedOnlyIn(std::string_view fileName) {
    return "not packed: only in " + std::string(fileName);
}

std::string PackedCount(std::size_t textures, std::size_t materials, std::string_view modPath) {
    std::string text;
    if (textures != 0) text = Counted(textures, "texture", "textures");
    if (textures != 0 && materials != 0) text += " and ";
    if (materials != 0) text += Counted(materials, "material", "materials");
    return text + " packed into " + std::string(modPath);
}

std::string NothingToPack(std::string_view setName, std::string_view baseName) {
    return "No texture or material of " + std::string(setName) + " differs from " +
           std::string(baseName) + ": nothing to pack";
}

std::string ModTooLarge(std::string_view modPath, std::uint64_t limit) {
    return "Error - " + std::string(modPath) + " would hold more than " +
           std::to_string(limit >> 20) + " MiB: no reader takes a mod that large";
}

std::string ModIsAChessSet(std::string_view modPath) {
    return "Error - " + std::string(modPath) + " is a chess set; a mod never replaces one";
}

std::string MaterialLabel(specular::SpecularClass cls, format::ChunkKey key,
                          std::size_t occurrence) {
    std::string label = std::string(kClassLabels[static_cast<std::size_t>(cls)]) + " material " +
                        std::to_string(key.first) + "." + std::to_string(key.second);
    if (occurrence > 1) label += " (" + std::to_string(occurrence) + ")";
    return label;
}

std::string MaterialPacked(const SpecularBytes& base, const SpecularBytes& now) {
    return "packed: shininess " + std::to_string(base.shininess) + " to " +
           std::to_string(now.shininess) + ", amplitude " + std::to_string(base.amplitude) +
           " to " + std::to_string(now.amplitude);
}

std::string Applying(std::string_view modPath, std::string_view setName) {
    return "Applying the mod " + std::string(modPath) + " to " + std::string(setName);
}

std::string CheckingMod(std::string_view modPath, std::string_view setName) {
    return "Checking the mod " + std::string(modPath) + " against " + std::string(setName);
}

std::string NotAModFile(std::string_view modPath) {
    return "Error - " + std::string(modPath) + " is not a mod file that can be read";
}

std::string NotInSet(std::string_view setName) {
    return "Not applied: not in " + std::string(setName);
}

std::string AppliedCount(std::size_t applied, std::size_t already, std::size_t notApplied,
                         bool checkOnly) {
    std::vector<std::string> parts;
    parts.push_back(std::to_string(applied) + (checkOnly ? " to apply" : " applied"));
    if (already != 0) parts.push_back(std::to_string(already) + " already as in the mod");
    if (notApplied != 0) parts.push_back(std::to_string(notApplied) + " not applied");
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) text += (i == 0 ? "" : ", ") + parts[i];
    return text;
}

}  // namespace sorrelwick::mod::msg
