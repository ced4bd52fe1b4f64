#include "ui/gallery_texts.h"

#include <algorithm>
#include <cctype>

namespace sorrelwick::ui {
namespace {

std::string_view WithoutExtension(std::string_view name) {
    const std::size_t dot = name.find_last_of('.');
    return dot == std::string_view::npos || dot == 0 ? name : name.substr(0, dot);
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

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

std::string StatusText(std::string_view line) {
    std::string text;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != ' ') {
            text += line[i];
            continue;
        }
        std::size_t end = i;
        while (end < line.size() && line[end] == ' ') ++end;
        if (!text.empty() && end < line.size()) text.append(end - i > 1 ? "  " : " ");
        i = end - 1;
    }
    return text;
}

std::string SetChangedLine(std::string_view setName) {
    std::string line = "Not imported: ";
    return line.append(setName).append(
        " changed since the gallery showed it; it is shown again as it is now");
}

std::size_t TextureNamedAs(const std::vector<operations::IndexedTexture>& textures,
                           std::size_t target, std::string_view fileName) {
    const std::string_view stem = WithoutExtension(fileName);
    for (std::size_t i = 0; i < textures.size(); ++i) {
        if (i != target && SameIgnoringCase(WithoutExtension(textures[i].name), stem)) return i;
    }
    return std::string::npos;
}

std::string ReplaceWithQuestion(std::string_view texture, std::string_view fileName) {
    std::string question = "Replace ";
    return question.append(texture).append(" with ").append(fileName).append("?");
}

std::string EditingFileName(std::string_view texture) {
    std::string name(WithoutExtension(texture));
    for (char& c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos) {
            c = '_';
        }
    }
    // Windows drops trailing dots and spaces, and "." or ".." are no names.
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
    if (name.empty()) name = "texture";
    // "con.png" or "com1.png" name a device, not a file, on older Windows.
    const std::string_view device = std::string_view(name).substr(0, name.find('.'));
    for (const std::string_view reserved : {"con", "prn", "aux", "nul"}) {
        if (SameIgnoringCase(device, reserved)) return "_" + name + ".png";
    }
    const bool numbered = device.size() == 4 && device[3] >= '1' && device[3] <= '9';
    if (numbered && (SameIgnoringCase(device.substr(0, 3), "com") ||
                     SameIgnoringCase(device.substr(0, 3), "lpt"))) {
        return "_" + name + ".png";
    }
    return name + ".png";
}

std::string EditorOpenedLine(std::string_view texture, std::string_view path) {
    std::string line(texture);
    return line.append(" opened in your image editor as ")
        .append(path)
        .append("; each save goes into the set");
}

std::string EditorNotStartedLine(std::string_view path) {
    std::string line = "Could not start an image editor for ";
    return line.append(path);
}

std::string EditingFileNotWrittenLine(std::string_view texture, std::string_view path) {
    std::string line = "Not opened: ";
    return line.append(texture).append(" could not be written as ").append(path);
}

}  // namespace sorrelwick::ui
