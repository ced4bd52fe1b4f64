#include "mod/mod_manifest.h"

#include <algorithm>
#include <limits>
#include <nlohmann/json.hpp>
#include <type_traits>

#include "report/utf8_text.h"

namespace sorrelwick::mod {
namespace {

using Json = nlohmann::ordered_json;
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

Json BytesJson(const SpecularBytes& bytes) {
    return Json{{"shininess", bytes.shininess}, {"amplitude", bytes.amplitude}};
}

Json TextureJson(const ModTexture& texture) {
    Json json;
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

Json MaterialJson(const ModMaterial& material) {
    return Json{{"key", {material.key.first, material.key.second}},
                {"occurrence", material.occurrence},
                {"class", kClassNames[static_cast<std::size_t>(material.cls)]},
                {"base", BytesJson(material.base)},
                {"new", BytesJson(material.now)}};
}

// The reading side throws nlohmann's exceptions for a missing field or
// one of the wrong type; ParseManifest turns them into nullopt.
template <typename T>
T Field(const Json& json, const char* key) {
    const Json& value = json.at(key);
    if constexpr (std::is_integral_v<T>) {
        // nlohmann would cast a negative or too large number silently.
        if (!value.is_number_unsigned() ||
            value.get<std::uint64_t>() > std::numeric_limits<T>::max()) {
            throw Json::type_error::create(302, "number out of range", &value);
        }
    }
    return value.get<T>();
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
    const Json words{{"first", key[0]}, {"second", key[1]}};
    material.key = {Field<std::uint32_t>(words, "first"), Field<std::uint32_t>(words, "second")};
    material.occurrence = Field<std::size_t>(json, "occurrence");
    const std::string cls = Field<std::string>(json, "class");
    const auto* found = std::find(std::begin(kClassNames), std::end(kClassNames), cls);
    if (found == std::end(kClassNames) || material.occurrence == 0) return std::nullopt;
    material.cls = static_cast<SpecularClass>(found - std::begin(kClassNames));
    material.base = ReadBytes(json.at("base"));
    material.now = ReadBytes(json.at("new"));
    return material;
}

}  // namespace

std::string ManifestJson(const ModManifest& manifest) {
    Json json;
    json["format"] = kModFormat;
    if (!manifest.title.empty()) json["title"] = manifest.title;
    if (!manifest.author.empty()) json["author"] = manifest.author;
    if (!manifest.description.empty()) json["description"] = manifest.description;
    json["tool"] = manifest.tool;
    json["base"] = Json{{"file", manifest.base.fileName},
                        {"size", manifest.base.size},
                        {"sha256", manifest.base.sha256}};
    json["textures"] = Json::array();
    for (const ModTexture& texture : manifest.textures)
        json["textures"].push_back(TextureJson(texture));
    json["materials"] = Json::array();
    for (const ModMaterial& material : manifest.materials) {
        json["materials"].push_back(MaterialJson(material));
    }
    // Text the user typed that is not UTF-8 is shown with replacement
    // characters rather than refused.
    return json.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

std::optional<ModManifest> ParseManifest(std::string_view text) {
    try {
        const Json json = Json::parse(text);
        if (!json.is_object() || Field<int>(json, "format") != kModFormat) return std::nullopt;
        ModManifest manifest;
        manifest.title = OptionalText(json, "title");
        manifest.author = OptionalText(json, "author");
        manifest.description = OptionalText(json, "description");
        manifest.tool = OptionalText(json, "tool");
        const Json& base = json.at("base");
        manifest.base = {Field<std::string>(base, "file"), Field<std::uint64_t>(base, "size"),
                         Field<std::string>(base, "sha256")};
        if (!IsSha256Text(manifest.base.sha256)) return std::nullopt;
        for (const Json& texture : json.at("textures")) {
            std::optional<ModTexture> read = ReadTexture(texture);
            if (!read) return std::nullopt;
            manifest.textures.push_back(std::move(*read));
        }
        for (const Json& material : json.at("materials")) {
            std::optional<ModMaterial> read = ReadMaterial(material);
            if (!read) return std::nullopt;
            manifest.materials.push_back(*read);
        }
        return manifest;
    } catch (const nlohmann::json::exception&) {
        return std::nullopt;
    }
}

}  // namespace sorrelwick::mod
