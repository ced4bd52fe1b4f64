#include "operations/editing_session.h"

#include "operations/texture_file_name.h"

namespace sorrelwick::operations {
EditingSession::EditingSession(ReplaceOptions options) : options_(options) {
    options_.session = &backup_;
}

bool EditingSession::Import(const ToolState& state, std::string_view texture,
                            const std::string& path, report::ReportLog& log,
                            std::size_t* filesRefused) {
    return ReplaceNamedTextures(state, {{std::string(texture), path}}, &log, options_,
                                filesRefused);
}

bool EditingSession::ImportAt(const ToolState& state, const std::vector<std::size_t>& textures,
                              const std::string& path, report::ReportLog& log,
                              std::size_t* filesRefused) {
    return ReplaceTexturesAt(state, textures, path, &log, options_, filesRefused);
}

std::vector<std::size_t> TexturesForFile(const std::vector<IndexedTexture>& textures,
                                         std::string_view fileName, bool pictures) {
    std::vector<std::size_t> found;
    const bool picture = pictures && IsPictureName(fileName);
    for (std::size_t i = 0; i < textures.size(); ++i) {
        const std::string& name = textures[i].name;
        if (SameNameIgnoringCase(name, fileName) || (picture && SameStem(name, fileName))) {
            found.push_back(i);
        }
    }
    return found;
}

}  // namespace sorrelwick::operations
