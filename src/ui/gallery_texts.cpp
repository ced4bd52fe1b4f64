#include "ui/gallery_texts.h"

namespace sorrelwick::ui {

std::string TileLabel(const operations::IndexedTexture& texture) {
    return texture.name + "\n" + std::to_string(texture.width) + "x" +
           std::to_string(texture.height) + ", " + std::to_string(texture.depth) + " bits";
}

std::string DroppedBesideTilesLine(std::string_view name) {
    std::string line = "Not imported: ";
    return line.append(name).append(" was dropped beside the textures; drop it on one");
}

std::string DroppedSeveralLine(const std::vector<std::string>& names) {
    std::string line = "Not imported: a texture takes one file at a time, not";
    for (std::size_t i = 0; i < names.size(); ++i) line.append(i ? ", " : " ").append(names[i]);
    return line;
}

}  // namespace sorrelwick::ui
