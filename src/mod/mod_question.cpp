#include "mod/mod_question.h"

#include "mod/mods_messages.h"
#include "platform/file_system.h"
#include "report/comparison_messages.h"
#include "report/plain_line.h"

namespace sorrelwick::mod {
namespace {

// How much of a mod's title and author the question shows.
constexpr std::size_t kMostTitleCharacters = 80;
constexpr std::size_t kMostAuthorCharacters = 60;

std::string Counted(std::size_t count, std::string_view singular, std::string_view plural) {
    return std::to_string(count) + " " + std::string(count == 1 ? singular : plural);
}

}  // namespace

std::string PiecesSentence(std::string_view singular, std::string_view plural,
                           const StateCounts& counts, std::string_view setName) {
    if (counts.Total() == 0) return {};
    std::vector<std::string> parts;
    const auto is = [](std::size_t count) { return count == 1 ? " is " : " are "; };
    if (counts.applied != 0)
        parts.push_back(std::to_string(counts.applied) + is(counts.applied) + "already applied");
    if (counts.willChange != 0) parts.push_back(std::to_string(counts.willChange) + " will change");
    if (counts.differs != 0) {
        parts.push_back(std::to_string(counts.differs) +
                        (counts.differs == 1 ? " differs" : " differ") + " from the mod's base");
    }
    if (counts.notInSet != 0) {
        parts.push_back(std::to_string(counts.notInSet) + is(counts.notInSet) + "not in " +
                        std::string(setName));
    }
    return "Of its " + Counted(counts.Total(), singular, plural) + ", " + msg::NamesJoined(parts);
}

ModQuestion AskAboutMod(const ModManifest& manifest, const SetPieces& set, std::string_view modName,
                        std::string_view setName) {
    const ModAssessment assessment = AssessMod(manifest, set);
    ModQuestion question;
    // The mod's own texts, one plain line each: they can't pass for the
    // question's own lines.
    const std::string title = report::PlainOneLine(
        manifest.title.empty() ? modName : std::string_view(manifest.title), kMostTitleCharacters);
    question.text = "Apply the mod \"" + title + "\" to " + std::string(setName) + "?";
    if (!manifest.author.empty()) {
        question.text += "\nBy " + report::PlainOneLine(manifest.author, kMostAuthorCharacters) + ".";
    }
    question.text += "\n";
    const StateCounts textures = CountStates(assessment.textures);
    const StateCounts materials = CountStates(assessment.materials);
    for (std::string sentence : {PiecesSentence("texture", "textures", textures, setName),
                                 PiecesSentence("material", "materials", materials, setName)}) {
        if (sentence.empty()) continue;
        question.text += "\n" + sentence + ".";
        question.sentences.push_back(std::move(sentence));
    }
    question.willChange = textures.willChange != 0 || materials.willChange != 0;
    for (std::size_t i = 0; i < manifest.textures.size(); ++i) {
        if (assessment.textures[i] != PieceState::DiffersFromBase) continue;
        const ModTexture& texture = manifest.textures[i];
        question.refused.push_back(
            report::msg::TextureLabel(platform::NameForReport(texture.name), texture.occurrence));
    }
    for (std::size_t i = 0; i < manifest.materials.size(); ++i) {
        if (assessment.materials[i] != PieceState::DiffersFromBase) continue;
        const ModMaterial& material = manifest.materials[i];
        const auto held =
            set.materials.find({{material.key.first, material.key.second}, material.occurrence});
        question.refused.push_back(msg::MaterialPieceLabel(
            material.cls, material.key, material.occurrence,
            held == set.materials.end() ? std::string()
                                        : platform::NameForReport(held->second.textureName)));
    }
    if (!question.refused.empty()) {
        question.text +=
            "\n\nLeft as they are unless you apply those too, as they differ from "
            "the mod's base: " +
            msg::NamesJoined(question.refused) + ".";
    }
    return question;
}

}  // namespace sorrelwick::mod
