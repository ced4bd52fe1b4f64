#pragma once
// The report texts of telling a set's mods and of taking a mod out. Names
// are copied as plain text.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "format/chunk.h"
#include "mod/mod_manifest.h"
#include "specular/specular_class.h"

namespace sorrelwick::mod::msg {

inline constexpr std::string_view kStateApplied = "Applied";
inline constexpr std::string_view kStateNotApplied = "Not applied";

std::string ModsOf(std::string_view setName);
// ""Red board" by Ann: Applied", the title and author when the mod has them.
std::string ModStateLine(std::string_view state, std::string_view title, std::string_view author);
// "a.zip, b.zip and c.zip"
std::string NamesJoined(const std::vector<std::string>& names);
// "board_squares.tga: changed by red-board.zip and marble.zip; the set holds
// marble.zip's". `holders` empty: the set holds none of theirs.
std::string ConflictLine(std::string_view piece, const std::vector<std::string>& changers,
                         const std::vector<std::string>& holders);
inline constexpr std::string_view kNoModsGiven = "Error - No mod given";
inline constexpr std::string_view kNoConflicts = "No texture or material is changed by two of them";
std::string NoModsIn(std::string_view folder);

std::string TakingOut(std::string_view modPath, std::string_view setName);
std::string CheckingTakeOut(std::string_view modPath, std::string_view setName);
inline constexpr std::string_view kTakenOut = "Taken out";
inline constexpr std::string_view kWouldBeTakenOut = "Would be taken out";
inline constexpr std::string_view kAlreadyAsBefore = "Already as before the mod";
inline constexpr std::string_view kChangedSince =
    "changed since the mod was applied: left as it is";
std::string BaseInNoBackup(std::string_view setName);
std::string PieceNotInSet(std::string_view setName);
// "2 taken out, 1 already as before the mod, 1 left"
std::string TakenOutCount(std::size_t takenOut, std::size_t already, std::size_t left,
                          bool checkOnly);
std::string NothingToTakeOut(std::string_view setName);
// A material as a person knows it: "board material of marble.tga" when it
// carries a texture, else by its key as "board material 20.2"; "(2)" after
// a later one of the same key.
std::string MaterialPieceLabel(specular::SpecularClass cls, format::ChunkKey key,
                               std::size_t occurrence, std::string_view textureName);
// The material changes in words, by class, a line for each change that
// differs: "Board: shininess 90 to 180, amplitude 100 to 50".
std::vector<std::string> MaterialChangesInWords(const std::vector<ModMaterial>& materials);

// A mod whose every piece is applied already or not in the set.
std::string NothingToDo(std::string_view setName);

// On the page of mods.
std::string BaseNotInSet(std::string_view setName);
// "also changed by marble.zip": the names but `self`.
std::string AlsoChangedBy(const std::vector<std::string>& names, std::string_view self);
std::string ModCount(std::size_t count);

}  // namespace sorrelwick::mod::msg
