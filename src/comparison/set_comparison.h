#pragma once
// What differs between two chess sets: the comparison behind `diff`, the
// restore dialog's summary and the page of changed textures.
//
// Textures are matched by name in file order: the n-th texture of a name in
// one file with the n-th of that name in the other. Materials are matched
// by key the same way; those whose shininess or amplitude differ are
// counted in their class. Everything else (objects, names, other chunks,
// bytes after the last chunk) is one yes or no. The two files are walked
// chunk by chunk, each holding one payload at a time; what is kept is a
// digest per texture and two bytes per material, never a set's payloads.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "format/byte_fields.h"
#include "format/chunk.h"
#include "report/report_log.h"
#include "specular/specular_class.h"

namespace sorrelwick::comparison {

// A chess set as a comparison names it: where it lies, and the name that
// fills the messages (its file-name part).
struct ComparedSet {
    std::string path;
    std::string name;
};

// The TGA header fields a texture's line shows.
struct TextureShape {
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::uint8_t depth = 0;
    friend bool operator==(const TextureShape&, const TextureShape&) = default;
};

struct TextureDifference {
    enum class Kind { Changed, OnlyInSet, OnlyInOther };
    Kind kind = Kind::Changed;
    std::string name;
    std::size_t occurrence = 1;  // the n-th texture of this name in its file, from 1
    // Valid where the texture is: both for Changed, one side otherwise.
    TextureShape inSet;
    TextureShape inOther;
    // Its place among the textures of each file, from 0, where it is: what
    // a second walk finds the payload by.
    std::size_t setIndex = 0;
    std::size_t otherIndex = 0;
};

// The least and the greatest of some byte values; empty before the first.
struct ByteRange {
    std::uint8_t low = 0;
    std::uint8_t high = 0;
    bool empty = true;
    void Add(std::uint8_t value);
};

// The materials of one class whose specular bytes differ, with the values
// each file gives them (a material only in one file counts too, with
// values on its side only).
struct MaterialChange {
    std::size_t count = 0;
    ByteRange setShininess, otherShininess;
    ByteRange setAmplitude, otherAmplitude;
};

// One material whose specular bytes differ: the n-th material of its key
// in each file where it is, with the class its line counts it in.
struct MaterialDifference {
    format::ChunkKey key;
    std::size_t occurrence = 1;
    specular::SpecularClass cls = specular::SpecularClass::None;
    struct Values {
        std::uint8_t shininess = 0;
        std::uint8_t amplitude = 0;
    };
    std::optional<Values> inSet, inOther;
};

struct SetComparison {
    // Textures only in OTHER come last, in its file order; the others in SET's.
    std::vector<TextureDifference> textures;
    std::size_t unchangedTextures = 0;
    // Indexed by SpecularClass: None (other materials), Board, BlackPieces,
    // WhitePieces.
    std::array<MaterialChange, 4> materials{};
    // The same materials one by one, in key order.
    std::vector<MaterialDifference> materialDifferences;
    // Something neither the texture nor the material changes tell differs.
    bool otherDataDiffers = false;
    // The two files hold the same bytes; then nothing above differs.
    bool identical = false;

    std::size_t ChangedMaterials() const;
    const MaterialChange& ChangeOf(specular::SpecularClass cls) const {
        return materials[static_cast<std::size_t>(cls)];
    }
};

// Gets every byte of a file in order, piece by piece, as a walk reads it:
// what a digest of the whole file needs without reading it again.
using FileBytesVisit = std::function<void(format::Bytes bytes)>;

// Compares `set` with `other`. Both must read as whole chess sets; when one
// doesn't, the walk's failure lines (the standard messages, with the set's
// name) go to `log` and the result is empty. Nothing else goes to `log`.
// `otherBytes`, when given, gets OTHER's file as it is read.
std::optional<SetComparison> CompareSets(const ComparedSet& set, const ComparedSet& other,
                                         report::ReportLog& log,
                                         const FileBytesVisit& otherBytes = {});

// The file a comparison's OTHER argument names: a number from 0 to 999 is
// always that backup of the set (its path with the text after the last "."
// replaced by the three digits), anything else a path as given. Empty when
// the set's name takes no backup number.
std::optional<std::string> OtherSetPath(std::string_view setPath, std::string_view other);

}  // namespace sorrelwick::comparison
