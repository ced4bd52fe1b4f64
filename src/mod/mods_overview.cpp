#include "mod/mods_overview.h"

#include <map>
#include <new>
#include <set>

#include "mod/mod_file.h"
#include "mod/mod_state.h"
#include "mod/mods_report.h"
#include "platform/file_system.h"
#include "report/messages.h"

namespace sorrelwick::mod {
namespace {

// A piece as two mods both name it: a texture's place, or a material's
// key and occurrence.
using PieceKey = std::pair<int, std::pair<std::string, std::size_t>>;

std::vector<PieceKey> PiecesOf(const ModManifest& manifest) {
    std::vector<PieceKey> pieces;
    for (const ModTexture& texture : manifest.textures) {
        pieces.push_back({0, {texture.name, texture.occurrence}});
    }
    for (const ModMaterial& material : manifest.materials) {
        const std::string key =
            std::to_string(material.key.first) + "." + std::to_string(material.key.second);
        pieces.push_back({1, {key, material.occurrence}});
    }
    return pieces;
}

// Each readable mod's neighbours: the others naming one of its pieces.
void FindSharedPieces(std::vector<ModOverview>& mods,
                      const std::vector<std::optional<ModManifest>>& manifests) {
    std::map<PieceKey, std::set<std::size_t>> changers;
    for (std::size_t i = 0; i < mods.size(); ++i) {
        if (!manifests[i]) continue;
        for (const PieceKey& piece : PiecesOf(*manifests[i])) changers[piece].insert(i);
    }
    std::vector<std::set<std::size_t>> shared(mods.size());
    for (const auto& entry : changers) {
        for (const std::size_t i : entry.second) {
            for (const std::size_t k : entry.second) {
                if (k != i) shared[i].insert(k);
            }
        }
    }
    for (std::size_t i = 0; i < mods.size(); ++i) {
        for (const std::size_t k : shared[i]) mods[i].sharesPiecesWith.push_back(mods[k].name);
    }
}

std::optional<std::vector<ModOverview>> Overview(const ToolState& state, const std::string& folder,
                                                 report::ReportLog& log) {
    const std::optional<std::vector<std::string>> paths = ModFilesIn(folder, log);
    if (!paths) return std::nullopt;
    std::vector<ModOverview> mods;
    std::vector<std::optional<ModManifest>> manifests;
    for (const std::string& path : *paths) {
        ModOverview& mod = mods.emplace_back();
        mod.path = path;
        mod.name = std::string(platform::FileNamePart(path));
        manifests.push_back(ReadModManifest(path));
        if (!manifests.back()) mod.state = UnreadableModLine(path);
    }
    std::vector<const ModManifest*> read;
    for (const std::optional<ModManifest>& manifest : manifests) {
        if (manifest) read.push_back(&*manifest);
    }
    const std::optional<SetPieces> set = ReadSetPieces(state.setPath, state.setName, read, log);
    if (!set) return std::nullopt;
    for (std::size_t i = 0; i < mods.size(); ++i) {
        if (!manifests[i]) continue;
        mods[i].readable = true;
        mods[i].title = manifests[i]->title;
        mods[i].author = manifests[i]->author;
        mods[i].state = ModStateText(AssessMod(*manifests[i], *set), state.setName);
    }
    FindSharedPieces(mods, manifests);
    return mods;
}

}  // namespace

std::optional<std::vector<ModOverview>> OverviewOfMods(const ToolState& state,
                                                       const std::string& folder,
                                                       report::ReportLog& log) {
    if (state.setPath.empty()) {
        log.AppendLine(report::msg::kInvalidLoadPath);
        return std::nullopt;
    }
    try {
        return Overview(state, folder, log);
    } catch (const std::bad_alloc&) {
        log.AppendLine(report::msg::kNotEnoughMemory);
        return std::nullopt;
    }
}

std::optional<ByteVector> FirstChangedImage(const std::string& modPath) {
    try {
        std::optional<ModFile> mod = ReadModFile(modPath);
        if (!mod || mod->payloads.empty()) return std::nullopt;
        return std::move(mod->payloads.front());
    } catch (const std::bad_alloc&) {
        return std::nullopt;
    }
}

}  // namespace sorrelwick::mod
