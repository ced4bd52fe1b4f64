#include "cli/texture_names.h"

#include <map>
#include <optional>

#include "operations/texture_index.h"

namespace sorrelwick::cli {
namespace {

using operations::IndexedTexture;

// Splits "NAME=FILE" where the set holds NAME; `error` is set when more
// than one place would do.
NamedTexture SplitNameAndFile(const std::vector<IndexedTexture>* index, const std::string& text,
                              std::string& error) {
    std::optional<std::size_t> chosen;
    for (std::size_t equals = text.find('='); equals != std::string::npos && index;
         equals = text.find('=', equals + 1)) {
        if (equals == 0 || equals + 1 == text.size()) continue;
        if (!operations::FindTexture(*index, std::string_view(text).substr(0, equals))) continue;
        if (chosen) {
            error = "--texture " + text + " is ambiguous: the set holds both " +
                    text.substr(0, *chosen) + " and " + text.substr(0, equals);
            return {};
        }
        chosen = equals;
    }
    const std::size_t at = chosen.value_or(text.find('='));
    return {text.substr(0, at), text.substr(at + 1)};
}

}  // namespace

TextureNaming NameTextures(const std::string& setPath, const std::vector<std::string>& texts,
                           bool withFile) {
    const std::optional<std::vector<IndexedTexture>> index = operations::IndexTextures(setPath);
    TextureNaming naming;
    std::map<std::size_t, std::string> namedBy;  // the text that named each texture
    for (const std::string& text : texts) {
        NamedTexture named = withFile ? SplitNameAndFile(index ? &*index : nullptr, text,
                                                         naming.usageError)
                                      : NamedTexture{text, {}};
        if (!naming.usageError.empty()) return naming;
        const std::optional<std::size_t> found =
            index ? operations::FindTexture(*index, named.name) : std::nullopt;
        if (found) {
            const auto [earlier, first] = namedBy.emplace(*found, named.name);
            if (!first) {
                naming.usageError = "--texture " + earlier->second + " and --texture " +
                                    named.name + " name the same texture";
                return naming;
            }
        }
        naming.textures.push_back(std::move(named));
    }
    return naming;
}

}  // namespace sorrelwick::cli
