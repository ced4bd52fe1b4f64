#pragma once
// The fixed texts of a comparison's report. Names are copied as plain text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace sorrelwick::report::msg {

std::string Comparing(std::string_view setName, std::string_view otherName);

// A texture's outcome: its size and depth in the other file when they differ.
std::string ChangedFrom(unsigned width, unsigned height, unsigned depth);
inline constexpr std::string_view kChangedPixels = "changed: pixels";
std::string OnlyIn(std::string_view fileName);
// The name column of the n-th texture of a name: "wood.tga", "wood.tga (2)".
std::string TextureLabel(std::string_view name, std::size_t occurrence);

// The name column of a class of materials.
inline constexpr std::string_view kWhitePiecesLabel = "white pieces";
inline constexpr std::string_view kBlackPiecesLabel = "black pieces";
inline constexpr std::string_view kBoardLabel = "board";
inline constexpr std::string_view kOtherMaterialsLabel = "other materials";
// "12 materials changed: shininess was 40, now 60; amplitude was 10-20, now
// 15-30". A value range is the text "low" or "low-high", empty when no
// material of the class is in that file; its "was" or "now" is then left out.
std::string MaterialsChanged(std::size_t count, std::string_view shininessWas,
                             std::string_view shininessNow, std::string_view amplitudeWas,
                             std::string_view amplitudeNow);
std::string ValueRange(std::uint8_t low, std::uint8_t high);

inline constexpr std::string_view kOtherDataDiffers =
    "  Other data differs: objects, names, other chunks or bytes after the last chunk";
inline constexpr std::string_view kNoDifferences = "No differences";
// "3 textures, 12 materials and other data differ", "Other data differs":
// the parts that are not
// zero (no "other data" unless `otherData`); at least one part is given.
std::string DifferenceCount(std::size_t textures, std::size_t materials, bool otherData);

// The restore dialog's summary of a backup against the set.
std::string DifferFromCurrentSet(std::string_view differenceCount);
inline constexpr std::string_view kSameAsCurrentSet = "Same as the current set";

}  // namespace sorrelwick::report::msg
