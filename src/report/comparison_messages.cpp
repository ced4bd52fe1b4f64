#include "report/comparison_messages.h"

#include <vector>

namespace sorrelwick::report::msg {
namespace {

std::string Counted(std::size_t count, std::string_view singular, std::string_view plural) {
    return std::to_string(count) + " " + std::string(count == 1 ? singular : plural);
}

// "was 40, now 60", or the one side that has values.
std::string WasNow(std::string_view what, std::string_view was, std::string_view now) {
    std::string text(what);
    if (!was.empty()) text += " was " + std::string(was);
    if (!was.empty() && !now.empty()) text += ",";
    if (!now.empty()) text += " now " + std::string(now);
    return text;
}

}  // namespace

std::string Comparing(std::string_view setName, std::string_view otherName) {
    return "Comparing " + std::string(setName) + " with " + std::string(otherName);
}

std::string ChangedFrom(unsigned width, unsigned height, unsigned depth) {
    return "changed: was " + std::to_string(width) + "x" + std::to_string(height) + " " +
           std::to_string(depth) + " bits";
}

std::string OnlyIn(std::string_view fileName) {
    return "only in " + std::string(fileName);
}

std::string TextureLabel(std::string_view name, std::size_t occurrence) {
    if (occurrence <= 1) return std::string(name);
    return std::string(name) + " (" + std::to_string(occurrence) + ")";
}

std::string MaterialsChanged(std::size_t count, std::string_view shininessWas,
                             std::string_view shininessNow, std::string_view amplitudeWas,
                             std::string_view amplitudeNow) {
    return Counted(count, "material", "materials") + " changed: " +
           WasNow("shininess", shininessWas, shininessNow) + "; " +
           WasNow("amplitude", amplitudeWas, amplitudeNow);
}

std::string ValueRange(std::uint8_t low, std::uint8_t high) {
    if (low == high) return std::to_string(low);
    return std::to_string(low) + "-" + std::to_string(high);
}

std::string DifferenceCount(std::size_t textures, std::size_t materials, bool otherData) {
    std::vector<std::string> parts;
    if (textures != 0) parts.push_back(Counted(textures, "texture", "textures"));
    if (materials != 0) parts.push_back(Counted(materials, "material", "materials"));
    if (otherData) parts.push_back("other data");
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i != 0) text += i + 1 == parts.size() ? " and " : ", ";
        text += parts[i];
    }
    if (otherData && parts.size() == 1) text[0] = 'O';  // it starts the line
    const bool one = parts.size() == 1 && (textures + materials == 1 || otherData);
    return text + (one ? " differs" : " differ");
}

std::string DifferFromCurrentSet(std::string_view differenceCount) {
    return std::string(differenceCount) + " from the current set";
}

}  // namespace sorrelwick::report::msg
