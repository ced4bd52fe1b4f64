#include "generators/demo_set.h"

#include <array>
#include <stdexcept>

#include "generators/chess_set_builder.h"
#include "generators/demo_textures.h"

namespace sorrelwick::gen {
namespace {

using Names = std::array<const char*, kDemoStyleCount>;

struct TextureSpec {
    const char* name;
    std::uint16_t width, height;
    std::uint8_t depth;
    std::vector<std::uint8_t> (*draw)(std::uint16_t, std::uint16_t, std::uint8_t);
};

enum TextureId : std::size_t {
    kWhiteMarble,
    kBlackMarble,
    kEmblem,
    kSquares,
    kFrame,
    kLetters,
    kNumbers,
    kNoTexture
};

const std::array<TextureSpec, kNoTexture> kTextures = {{
    {"marble_white.tga", 64, 64, 24,
     [](std::uint16_t w, std::uint16_t h, std::uint8_t d) {
         return DrawMarble(w, h, d, {245, 242, 232, 255}, {150, 145, 140, 255});
     }},
    {"marble_black.tga", 64, 64, 24,
     [](std::uint16_t w, std::uint16_t h, std::uint8_t d) {
         return DrawMarble(w, h, d, {60, 55, 55, 255}, {10, 10, 12, 255});
     }},
    {"pawn_emblem.tga", 32, 64, 32,
     [](std::uint16_t w, std::uint16_t h, std::uint8_t d) {
         return DrawPawnSilhouette(w, h, d, {210, 170, 60, 255});
     }},
    {"board_squares.tga", 128, 128, 32,
     [](std::uint16_t w, std::uint16_t, std::uint8_t d) { return DrawCheckeredSquares(w, d, 8); }},
    {"board_frame.tga", 128, 32, 24, DrawWoodFrame},
    {"letters.tga", 256, 32, 32,
     [](std::uint16_t w, std::uint16_t h, std::uint8_t d) {
         return DrawCharacterStrip(w, h, d, "ABCDEFGH");
     }},
    {"numbers.tga", 256, 32, 32,
     [](std::uint16_t w, std::uint16_t h, std::uint8_t d) {
         return DrawCharacterStrip(w, h, d, "12345678");
     }},
}};

struct MaterialSpec {
    TextureId texture;
    std::uint8_t amplitude, shininess;
    std::uint32_t specularClass;
};

enum MaterialId : std::size_t {
    kWhitePiece,
    kBlackPiece,
    kEmblemPaint,
    kBoardSquares,
    kBoardFrame,
    kWhiteGloss,
    kBlackGloss,
    kLetterInk,
    kLightSquare,
    kDarkSquare,
    kShadow,
    kSpare,
    kMaterialCount
};

// In file order: the textured materials first, each followed by its image.
const std::array<MaterialSpec, kMaterialCount> kMaterials = {{
    {kWhiteMarble, 180, 60, kClassWhite},
    {kBlackMarble, 90, 120, kClassBlack},
    {kEmblem, 255, 255, kClassNone},  // only an unrecognised object uses it
    {kSquares, 64, 32, kClassBoard},
    {kFrame, 40, 200, kClassBoard},
    {kNoTexture, 255, 10, kClassWhite},
    {kNoTexture, 0, 255, kClassBlack},
    {kNoTexture, 16, 16, kClassBoard},
    {kNoTexture, 120, 80, kClassBoard},
    {kNoTexture, 100, 90, kClassBoard},
    {kNoTexture, 30, 30, kClassNone},  // only an object of another variant lists it
    {kNoTexture, 77, 33, kClassNone},  // no object uses it
}};

// Textures that follow a texture reference chunk instead of a material.
constexpr std::array<TextureId, 2> kReferencedTextures = {kLetters, kNumbers};

struct ObjectSpec {
    Names names;  // by naming style
    std::vector<MaterialId> materials;
    std::uint32_t nameClass;
    std::uint32_t variant = format::kMaterialListVariant;
};

// Objects whose chunks stand together, followed by their name chunks in the
// same order; most groups hold a single object.
using ObjectGroup = std::vector<ObjectSpec>;

const std::vector<ObjectGroup>& ObjectGroups() {
    static const std::vector<ObjectGroup> groups = {
        {{{"PawnW", "PawnW", "<Pawn>W", "<PawnW>"}, {kWhitePiece, kWhiteGloss}, kClassWhite}},
        {{{"PawnB", "B_PawnB", "<bxPawn>B", "<bxPawnB>"}, {kBlackPiece, kBlackGloss}, kClassBlack}},
        {{{"R_RookW", "RookW", "<Rook>W", "<RookW>"}, {kWhitePiece, kWhiteGloss}, kClassWhite}},
        {{{"RookB", "R_RookB", "<bxRook>B", "<cxRookB>"}, {kBlackPiece, kBlackGloss}, kClassBlack}},
        {{{"R_KnightB", "R_KnightB", "<hxKnight>B", "<exKnightB>"},
          {kBlackPiece, kBlackGloss},
          kClassBlack}},
        {{{"B_BishopW", "BishopW", "<cxBishop>W", "<fxBishopW>"},
          {kWhitePiece, kWhiteGloss},
          kClassWhite}},
        {{{"B_QueenW", "QueenW", "<Queen>W", "<QueenW>"}, {kWhitePiece, kWhiteGloss}, kClassWhite}},
        {{{"KingB", "B_KingB", "<dxKing>B", "<hxKingB>"}, {kBlackPiece, kBlackGloss}, kClassBlack}},
        {{{"Field", "Field", "Field", "Field"}, {kBoardSquares}, kClassBoard}},
        {{{"Frame", "Frame", "Frame", "Frame"}, {kBoardFrame}, kClassBoard}},
        {{{"LettersW", "LettersW", "LettersW", "LettersW"}, {kLetterInk}, kClassBoard}},
        {{{"LettersB", "LettersB", "LettersB", "LettersB"}, {kLetterInk}, kClassBoard}},
        {{{"SField01", "SField01", "SField01", "SField01"}, {kLightSquare}, kClassBoard},
         {{"SField08", "SField08", "SField08", "SField08"}, {kDarkSquare}, kClassBoard}},
        {{{"SField57", "SField57", "SField57", "SField57"}, {kDarkSquare}, kClassBoard},
         {{"SField64", "SField64", "SField64", "SField64"}, {kLightSquare}, kClassBoard}},
        // A piece name in another style's shape, or none at all: not recognised.
        {{{"KingX", "X_PawnW", "<PawnW>", "<Pawn>W"}, {kEmblemPaint}, kClassNone}},
        // A recognised name, but the object chunk's variant lists no materials.
        {{{"KingW", "KingW", "<King>W", "<KingW>"}, {kShadow}, kClassWhite, 101}},
    };
    return groups;
}

constexpr std::uint32_t kSignatureVariant = 0x00010002;  // never looked at
constexpr std::uint32_t kSceneInfoKind = 0x21;           // a kind the tool does not interpret

ChunkKey MaterialKey(std::size_t index, unsigned style) {
    return {0x2001u + static_cast<std::uint32_t>(index), 0xA000u + style};
}

// Writes the chunks and records each in the manifest as it goes.
class DemoAssembler {
  public:
    explicit DemoAssembler(unsigned style) { set_.style = style; }

    void Signature() { builder_.Signature(kSignatureVariant); }

    void SceneInfo() {
        const std::string text = "demo scene";
        std::vector<std::uint8_t> payload(32, 0xC5);
        std::copy(text.begin(), text.end(), payload.begin());
        builder_.Chunk(kSceneInfoKind, 0, payload);
    }

    void Material(MaterialId which) {
        const MaterialSpec& spec = kMaterials[which];
        DemoMaterial material{MaterialKey(which, set_.style), spec.amplitude, spec.shininess,
                              spec.specularClass,
                              spec.texture == kNoTexture ? "" : kTextures[spec.texture].name};
        builder_.Material(material.key, material.textureName, material.amplitude,
                          material.shininess);
        set_.materials.push_back(std::move(material));
    }

    void TextureReference(TextureId which) { builder_.TextureReference(kTextures[which].name); }

    void TextureImage(TextureId which) {
        const TextureSpec& spec = kTextures[which];
        DemoTexture texture{spec.name, spec.width, spec.height, spec.depth,
                            spec.draw(spec.width, spec.height, spec.depth)};
        builder_.TextureImage(texture.tga);
        set_.textures.push_back(std::move(texture));
    }

    void Objects(const ObjectGroup& group) {
        const std::size_t first = set_.objects.size();
        for (const ObjectSpec& spec : group) {
            DemoObject object{
                ObjectKey(), spec.variant, spec.names[set_.style], {}, spec.nameClass};
            for (MaterialId m : spec.materials)
                object.materials.push_back(MaterialKey(m, set_.style));
            builder_.Object(object.key, object.materials, object.variant);
            set_.objects.push_back(std::move(object));
        }
        for (std::size_t i = first; i < set_.objects.size(); ++i) {
            builder_.ObjectName(set_.objects[i].key, set_.objects[i].name);
        }
    }

    DemoSet Finish() {
        set_.fileName = std::string(1, static_cast<char>('A' + set_.style)) + "1_demo.DAT";
        set_.bytes = builder_.Bytes();
        return std::move(set_);
    }

  private:
    ChunkKey ObjectKey() const {
        return {0x3001u + static_cast<std::uint32_t>(set_.objects.size()), 0xB000u + set_.style};
    }

    ChessSetBuilder builder_;
    DemoSet set_;
};

}  // namespace

DemoSet BuildDemoSet(unsigned style) {
    if (style >= kDemoStyleCount) throw std::out_of_range("no demo set for this naming style");
    DemoAssembler set(style);
    set.Signature();
    set.SceneInfo();
    for (std::size_t m = 0; m < kMaterialCount; ++m) {
        set.Material(static_cast<MaterialId>(m));
        if (kMaterials[m].texture != kNoTexture) set.TextureImage(kMaterials[m].texture);
    }
    for (TextureId texture : kReferencedTextures) {
        set.TextureReference(texture);
        set.TextureImage(texture);
    }
    for (const ObjectGroup& group : ObjectGroups()) set.Objects(group);
    return set.Finish();
}

}  // namespace sorrelwick::gen
