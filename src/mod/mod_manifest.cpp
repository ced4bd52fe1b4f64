#include "mod/mod_manifest.h"

#include <algorithm>
#include <array>
#include <limits>
#include <nlohmann/json.hpp>
#include <type_traits>

#include "report/utf8_text.h"

namespace sorrelwick::mod {
namespace {

// Written with its keys in a fixed order; read into plain objects, whose
// keys are found by a search tree: an ordered object inserts each key in
// time linear in its size, and a manifest may hold a great many.
using OrderedJson = nlohmann::ordered_json;
using Json = nlohmann::json;
using specular::SpecularClass;

constexpr std::string_view kClassNames[] = {"other", "board", "black pieces", "white pieces"};

bool IsUtf8(std::string_view text) {
    while (!text.empty()) {
        const std::size_t length = report::Utf8SequenceLength(text);
        if (length == 0) return false;
        text.remove_prefix(length);
    }
    return true;
}

std::string Hex(std::string_view bytes) {
    constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text.push_back(kDigits[byte >> 4]);
        text.push_back(kDigits[byte & 15]);
    }
    return text;
}

std::optional<std::string> FromHex(std::string_view text) {
    const auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        return -1;
    };
    if (text.size() % 2 != 0) return std::nullopt;
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int high = digit(text[i]), low = digit(text[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        bytes.push_back(static_cast<char>(high << 4 | low));
    }
    return bytes;
}

bool IsSha256Text(const std::string& text) {
    return text.size() == 64 && FromHex(text).has_value();
}

OrderedJson BytesJson(const SpecularBytes& bytes) {
    return OrderedJson{{"shininess", bytes.shininess}, {"amplitude", bytes.amplitude}};
}

OrderedJson TextureJson(const ModTexture& texture) {
    OrderedJson json;
    if (IsUtf8(texture.name)) {
        json["name"] = texture.name;
    } else {
        json["name_hex"] = Hex(texture.name);
    }
    json["occurrence"] = texture.occurrence;
    json["base_sha256"] = texture.baseSha256;
    json["sha256"] = texture.newSha256;
    json["size"] = texture.size;
    json["entry"] = texture.entry;
    return json;
}

OrderedJson MaterialJson(const ModMaterial& material) {
    return OrderedJson{{"key", {material.key.first, material.key.second}},
                {"occurrence", material.occurrence},
                {"class", kClassNames[static_cast<std::size_t>(material.cls)]},
                {"base", BytesJson(material.base)},
                {"new", BytesJson(material.now)}};
}

// The reading side throws nlohmann's exceptions for a missing field or
// one of the wrong type; ParseManifest turns them into nullopt.
template <typename T>
T Value(const Json& value) {
    if constexpr (std::is_integral_v<T>) {
        // nlohmann would cast a negative or too large number silently.
        if (!value.is_number_unsigned() ||
            value.get<std::uint64_t>() > std::numeric_limits<T>::max()) {
            throw Json::type_error::create(302, "number out of range", &value);
        }
    }
    return value.get<T>();
}

template <typename T>
T Field(const Json& json, const char* key) {
    return Value<T>(json.at(key));
}

std::string OptionalText(const Json& json, const char* key) {
    return json.contains(key) ? Field<std::string>(json, key) : std::string();
}

SpecularBytes ReadBytes(const Json& json) {
    return {Field<std::uint8_t>(json, "shininess"), Field<std::uint8_t>(json, "amplitude")};
}

std::optional<ModTexture> ReadTexture(const Json& json) {
    ModTexture texture;
    if (json.contains("name")) {
        texture.name = Field<std::string>(json, "name");
    } else {
        const std::optional<std::string> name = FromHex(Field<std::string>(json, "name_hex"));
        if (!name) return std::nullopt;
        texture.name = *name;
    }
    texture.occurrence = Field<std::size_t>(json, "occurrence");
    texture.baseSha256 = Field<std::string>(json, "base_sha256");
    texture.newSha256 = Field<std::string>(json, "sha256");
    texture.size = Field<std::uint32_t>(json, "size");
    texture.entry = Field<std::string>(json, "entry");
    if (texture.name.empty() || texture.occurrence == 0 || !IsSha256Text(texture.baseSha256) ||
        !IsSha256Text(texture.newSha256)) {
        return std::nullopt;
    }
    return texture;
}

std::optional<ModMaterial> ReadMaterial(const Json& json) {
    ModMaterial material;
    const Json& key = json.at("key");
    if (!key.is_array() || key.size() != 2) return std::nullopt;
    material.key = {Value<std::uint32_t>(key[0]), Value<std::uint32_t>(key[1])};
    material.occurrence = Field<std::size_t>(json, "occurrence");
    const std::string cls = Field<std::string>(json, "class");
    const auto* found = std::find(std::begin(kClassNames), std::end(kClassNames), cls);
    if (found == std::end(kClassNames) || material.occurrence == 0) return std::nullopt;
    material.cls = static_cast<SpecularClass>(found - std::begin(kClassNames));
    material.base = ReadBytes(json.at("base"));
    material.now = ReadBytes(json.at("new"));
    return material;
}

// Thrown from the parser's callback: the text can't be a manifest, so it is
// read no further.
struct NotThisFormat {};

// What a place in the manifest holds.
enum class Kind {
    Ignored,  // a key this format does not know: skipped, never built
    Scalar,
    Root,
    Base,
    Textures,
    Texture,
    Materials,
    Material,
    Key,
    Bytes,
};

// Containers nest at most this deep below the top object: materials, a
// material, its key.
constexpr std::size_t kDeepestContainer = 3;

struct KnownKey {
    Kind parent;
    std::string_view key;
    Kind kind;
};

constexpr KnownKey kKnownKeys[] = {
    {Kind::Root, "format", Kind::Scalar},       {Kind::Root, "title", Kind::Scalar},
    {Kind::Root, "author", Kind::Scalar},       {Kind::Root, "description", Kind::Scalar},
    {Kind::Root, "tool", Kind::Scalar},         {Kind::Root, "base", Kind::Base},
    {Kind::Root, "textures", Kind::Textures},   {Kind::Root, "materials", Kind::Materials},
    {Kind::Base, "file", Kind::Scalar},         {Kind::Base, "size", Kind::Scalar},
    {Kind::Base, "sha256", Kind::Scalar},       {Kind::Texture, "name", Kind::Scalar},
    {Kind::Texture, "name_hex", Kind::Scalar},  {Kind::Texture, "occurrence", Kind::Scalar},
    {Kind::Texture, "base_sha256", Kind::Scalar}, {Kind::Texture, "sha256", Kind::Scalar},
    {Kind::Texture, "size", Kind::Scalar},      {Kind::Texture, "entry", Kind::Scalar},
    {Kind::Material, "key", Kind::Key},         {Kind::Material, "occurrence", Kind::Scalar},
    {Kind::Material, "class", Kind::Scalar},    {Kind::Material, "base", Kind::Bytes},
    {Kind::Material, "new", Kind::Bytes},       {Kind::Bytes, "shininess", Kind::Scalar},
    {Kind::Bytes, "amplitude", Kind::Scalar},
};

Kind KindOfKey(Kind parent, std::string_view key) {
    for (const KnownKey& known : kKnownKeys) {
        if (known.parent == parent && known.key == key) return known.kind;
    }
    return Kind::Ignored;
}

bool IsArrayKind(Kind kind) {
    return kind == Kind::Textures || kind == Kind::Materials || kind == Kind::Key;
}

// Watches the parser build the manifest, event by event, so that no text
// makes it build much more than the manifest itself: containers deeper than
// the format's, or of the wrong kind where the format has one, end the
// parse; keys the format does not know are skipped; each texture and
// material is read as soon as its object ends and its object dropped.
// Nothing here recurses, and the parser itself keeps its own stack.
class ManifestShape {
public:
    explicit ManifestShape(ModManifest& manifest) : manifest_(manifest) {}

    bool Take(int signedDepth, Json::parse_event_t event, Json& parsed) {
        using Event = Json::parse_event_t;
        // Nothing the format allows lies deeper than a value in a key.
        if (signedDepth < 0 || signedDepth > static_cast<int>(kDeepestContainer) + 1) {
            throw NotThisFormat{};
        }
        const auto depth = static_cast<std::size_t>(signedDepth);
        switch (event) {
            case Event::object_start:
            case Event::array_start:
                return Open(depth, event == Event::array_start);
            case Event::key:
                if (depth < 1) throw NotThisFormat{};
                keyed_[depth] = KindOfKey(open_[depth - 1], parsed.get_ref<const std::string&>());
                return keyed_[depth] != Kind::Ignored;
            case Event::value:
                return Scalar(depth);
            case Event::object_end:
                return Close(depth, parsed);
            case Event::array_end:
                return true;
        }
        return true;
    }

private:
    // The kind a value at `depth` takes: from its key, or from its array.
    Kind Placed(std::size_t depth) const {
        if (depth == 0) return Kind::Root;
        switch (open_[depth - 1]) {
            case Kind::Textures:
                return Kind::Texture;
            case Kind::Materials:
                return Kind::Material;
            case Kind::Key:
                return Kind::Scalar;
            case Kind::Ignored:
                return Kind::Ignored;
            default:
                return keyed_[depth];
        }
    }

    bool Open(std::size_t depth, bool array) {
        if (depth > kDeepestContainer) throw NotThisFormat{};
        const Kind kind = Placed(depth);
        open_[depth] = kind;
        count_[depth] = 0;
        if (kind == Kind::Ignored) return false;
        if (kind == Kind::Scalar || IsArrayKind(kind) != array) throw NotThisFormat{};
        // A second list of pieces would add to the first, not replace it.
        if (kind == Kind::Textures || kind == Kind::Materials) {
            bool& seen = kind == Kind::Textures ? texturesSeen_ : materialsSeen_;
            if (seen) throw NotThisFormat{};
            seen = true;
        }
        return true;
    }

    bool Scalar(std::size_t depth) {
        const Kind kind = Placed(depth);
        if (kind == Kind::Ignored) return false;
        if (kind != Kind::Scalar) throw NotThisFormat{};
        if (open_[depth - 1] == Kind::Key && ++count_[depth - 1] > 2) throw NotThisFormat{};
        return true;
    }

    bool Close(std::size_t depth, const Json& object) {
        if (open_[depth] == Kind::Texture) {
            std::optional<ModTexture> texture = ReadTexture(object);
            if (!texture) throw NotThisFormat{};
            manifest_.textures.push_back(std::move(*texture));
            return false;
        }
        if (open_[depth] == Kind::Material) {
            const std::optional<ModMaterial> material = ReadMaterial(object);
            if (!material) throw NotThisFormat{};
            manifest_.materials.push_back(*material);
            return false;
        }
        return true;
    }

    ModManifest& manifest_;
    std::array<Kind, kDeepestContainer + 2> open_{};   // the container that starts at each depth
    std::array<Kind, kDeepestContainer + 2> keyed_{};  // the kind the last key at each depth names
    std::array<std::size_t, kDeepestContainer + 2> count_{};  // values in a key so far
    bool texturesSeen_ = false, materialsSeen_ = false;
};

}  // namespace

std::string ManifestJson(const ModManifest& manifest) {
    OrderedJson json;
    json["format"] = kModFormat;
    if (!manifest.title.empty()) json["title"] = manifest.title;
    if (!manifest.author.empty()) json["author"] = manifest.author;
    if (!manifest.description.empty()) json["description"] = manifest.description;
    json["tool"] = manifest.tool;
    json["base"] = OrderedJson{{"file", manifest.base.fileName},
                        {"size", manifest.base.size},
                        {"sha256", manifest.base.sha256}};
    json["textures"] = OrderedJson::array();
    for (const ModTexture& texture : manifest.textures)
        json["textures"].push_back(TextureJson(texture));
    json["materials"] = OrderedJson::array();
    for (const ModMaterial& material : manifest.materials) {
        json["materials"].push_back(MaterialJson(material));
    }
    // Text the user typed that is not UTF-8 is shown with replacement
    // characters rather than refused.
    return json.dump(2, ' ', false, OrderedJson::error_handler_t::replace) + "\n";
}

std::optional<ModManifest> ParseManifest(std::string_view text) {
    try {
        ModManifest manifest;
        ManifestShape shape(manifest);
        const Json json = Json::parse(
            text, [&shape](int depth, Json::parse_event_t event, Json& parsed) {
                return shape.Take(depth, event, parsed);
            });
        if (!json.is_object() || Field<int>(json, "format") != kModFormat) return std::nullopt;
        manifest.title = OptionalText(json, "title");
        manifest.author = OptionalText(json, "author");
        manifest.description = OptionalText(json, "description");
        manifest.tool = OptionalText(json, "tool");
        const Json& base = json.at("base");
        manifest.base = {Field<std::string>(base, "file"), Field<std::uint64_t>(base, "size"),
                         Field<std::string>(base, "sha256")};
        // Each piece was taken as its object ended; the arrays must be there.
        if (!IsSha256Text(manifest.base.sha256) || !json.at("textures").is_array() ||
            !json.at("materials").is_array()) {
            return std::nullopt;
        }
        return manifest;
    } catch (const nlohmann::json::exception&) {
        return std::nullopt;
    } catch (const NotThisFormat&) {
        return std::nullopt;
    }
}

}  // namespace sorrelwick::mod
