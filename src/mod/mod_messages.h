#pragma once
// The report texts of packing and applying mods. Names are copied as plain
// text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "format/chunk.h"
#include "mod/mod_manifest.h"
#include "specular/specular_class.h"

namespace sorrelwick::mod::msg {

std::string Packing(std::string_view setName, std::string_view baseName, std::string_view modPath);
inline constexpr std::string_view kPacked = "packed";
std::string PackedChangedFrom(unsigned width, unsigned height, unsigned depth);
std::string NotPackedOnlyIn(std::string_view fileName);
// Before why a changed image can't be carried: "not packed: wrong size (3x5)".
inline constexpr std::string_view kNotPacked = "not packed: ";
inline constexpr std::string_view kOtherDataNotPacked =
    "  Other data differs: objects, names or other chunks; not packed";
// "3 textures and 1 material packed into my-mod.zip"
std::string PackedCount(std::size_t textures, std::size_t materials, std::string_view modPath);
std::string NothingToPack(std::string_view setName, std::string_view baseName);
// "Error - wood.tga of set1.DAT is cut short: no mod can carry it"
std::string CutShortNotPacked(std::string_view textureLabel, std::string_view setName);
inline constexpr std::string_view kNoModWritten = "No mod written";
// "Error - my.zip would hold more than 256 MiB: no reader takes a mod that large"
std::string ModTooLarge(std::string_view modPath, std::uint64_t limit);
inline constexpr std::string_view kInvalidModPath = "Error - Invalid mod file path";
std::string ModIsAChessSet(std::string_view modPath);

// The name column of a material: "board material 10.3", "... (2)".
std::string MaterialLabel(specular::SpecularClass cls, format::ChunkKey key,
                          std::size_t occurrence);
// "packed: shininess 10 to 20, amplitude 200 to 255"
std::string MaterialPacked(const SpecularBytes& base, const SpecularBytes& now);

std::string Applying(std::string_view modPath, std::string_view setName);
std::string CheckingMod(std::string_view modPath, std::string_view setName);
std::string NotAModFile(std::string_view modPath);
inline constexpr std::string_view kModApplied = "Mod applied";
inline constexpr std::string_view kAlreadyAsInMod = "Already as in the mod";
inline constexpr std::string_view kDiffersFromBase = "Not applied: differs from the mod's base";
inline constexpr std::string_view kAppliedOverDifferent =
    "Mod applied over a piece that differed from its base";
inline constexpr std::string_view kWouldApply = "Would be applied";
// Before why an image of the mod can't take the texture's place:
// "Not applied: wrong size (3x5)".
inline constexpr std::string_view kNotApplied = "Not applied: ";
// "Mod applied: was 32x32 24 bits", for an image whose header the mod changes.
std::string WasShape(std::string_view outcome, unsigned width, unsigned height, unsigned depth);
std::string NotInSet(std::string_view setName);
// "3 applied, 1 already as in the mod, 1 not applied"
std::string AppliedCount(std::size_t applied, std::size_t already, std::size_t notApplied,
                         bool checkOnly);
inline constexpr std::string_view kCheckedOnly = "Checked only: nothing was written";

}  // namespace sorrelwick::mod::msg
