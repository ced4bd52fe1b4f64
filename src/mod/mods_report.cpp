#include "mod/mods_report.h"

#include <algorithm>
#include <new>
#include <optional>

#include "mod/mod_file.h"
#include "mod/mod_messages.h"
#include "mod/mod_state.h"
#include "mod/mods_messages.h"
#include "mod/mods_page.h"
#include "platform/file_system.h"
#include "report/comparison_messages.h"
#include "report/lines.h"
#include "report/messages.h"
#include "report/reason_line.h"

namespace sorrelwick::mod {
namespace {

// One mod as given: its manifest once read, else the line that says why not.
struct GivenMod {
    std::string path;
    std::string name;  // its file name, as the lines name it
    std::optional<ModManifest> manifest;
    std::string failure;
    platform::SystemError cause;  // the system's, when it could not be read
};

bool IsFolder(const std::string& path) {
    platform::FileFacts facts;
    return platform::ReadFileFacts(path, facts) == platform::FactsOutcome::Found && facts.isFolder;
}

GivenMod ReadGivenMod(const std::string& path) {
    GivenMod mod{.path = path,
                 .name = std::string(platform::FileNamePart(path)),
                 .manifest = std::nullopt,
                 .failure = {},
                 .cause = {}};
    mod.manifest = ReadModManifest(path, &mod.cause);
    if (!mod.manifest) mod.failure = UnreadableModLine(path);
    return mod;
}

// Which mods change each piece, and the new value of each one's change.
struct PieceChangers {
    std::vector<std::size_t> mods;
    std::vector<std::string> newDigests;  // textures
    std::vector<SpecularBytes> newBytes;  // materials
};

// The line of each piece two or more of the mods change, with whose
// change the set holds.
void ReportConflicts(const std::vector<GivenMod>& mods, const SetPieces& set,
                     report::ReportLog& log) {
    std::map<TexturePlace, PieceChangers> textures;
    std::map<MaterialPlace, PieceChangers> materials;
    std::map<MaterialPlace, const ModMaterial*> materialOf;
    for (std::size_t i = 0; i < mods.size(); ++i) {
        if (!mods[i].manifest) continue;
        for (const ModTexture& texture : mods[i].manifest->textures) {
            PieceChangers& changers = textures[{texture.name, texture.occurrence}];
            changers.mods.push_back(i);
            changers.newDigests.push_back(texture.newSha256);
        }
        for (const ModMaterial& material : mods[i].manifest->materials) {
            const MaterialPlace place{{material.key.first, material.key.second},
                                      material.occurrence};
            PieceChangers& changers = materials[place];
            changers.mods.push_back(i);
            changers.newBytes.push_back(material.now);
            materialOf.emplace(place, &material);
        }
    }
    bool any = false;
    const auto tell = [&](const std::string& label, const PieceChangers& changers,
                          const auto& holds) {
        if (changers.mods.size() < 2) return;
        std::vector<std::string> names, holders;
        for (std::size_t k = 0; k < changers.mods.size(); ++k) {
            names.push_back(mods[changers.mods[k]].name);
            if (holds(k)) holders.push_back(mods[changers.mods[k]].name);
        }
        if (!any) log.AppendLine("");
        any = true;
        log.AppendLine(msg::ConflictLine(label, names, holders));
    };
    // Named, not bound: a lambda may not capture a structured binding in
    // every compiler the project builds with.
    for (const auto& entry : textures) {
        const TexturePlace& place = entry.first;
        const PieceChangers& changers = entry.second;
        const auto held = set.textureDigests.find(place);
        tell(report::msg::TextureLabel(platform::NameForReport(place.first), place.second),
             changers, [&](std::size_t k) {
                 return held != set.textureDigests.end() && held->second == changers.newDigests[k];
             });
    }
    for (const auto& entry : materials) {
        const MaterialPlace& place = entry.first;
        const PieceChangers& changers = entry.second;
        const auto held = set.materials.find(place);
        const ModMaterial& material = *materialOf.at(place);
        const std::string label = msg::MaterialPieceLabel(
            material.cls, material.key, material.occurrence,
            held == set.materials.end() ? std::string()
                                        : platform::NameForReport(held->second.textureName));
        tell(label, changers, [&](std::size_t k) {
            return held != set.materials.end() && held->second.bytes == changers.newBytes[k];
        });
    }
    if (!any) {
        log.AppendLine("");
        log.AppendLine(msg::kNoConflicts);
    }
}

bool TellMods(const ToolState& state, const ModsRequest& request, report::ReportLog& log) {
    bool whole = true;
    std::vector<GivenMod> mods;
    for (const std::string& given : request.mods) {
        if (!IsFolder(given)) {
            mods.push_back(ReadGivenMod(given));
            continue;
        }
        const std::optional<std::vector<std::string>> zips = ModFilesIn(given, log);
        if (!zips) whole = false;
        for (const std::string& path : zips.value_or(std::vector<std::string>{})) {
            mods.push_back(ReadGivenMod(path));
        }
    }
    std::vector<const ModManifest*> manifests;
    for (const GivenMod& mod : mods) {
        if (mod.manifest) manifests.push_back(&*mod.manifest);
    }
    const std::optional<SetPieces> set =
        ReadSetPieces(state.setPath, state.setName, manifests, log);
    if (!set) return false;
    std::vector<std::string> states(mods.size());
    for (std::size_t i = 0; i < mods.size(); ++i) {
        const GivenMod& mod = mods[i];
        if (!mod.manifest) {
            report::AppendFailure(log, mod.failure, mod.cause);
            whole = false;
            continue;
        }
        states[i] = ModStateText(AssessMod(*mod.manifest, *set), state.setName);
        log.AppendLine(report::NameMessageLine(
            mod.name, msg::ModStateLine(states[i], mod.manifest->title, mod.manifest->author)));
    }
    if (mods.size() > 1) ReportConflicts(mods, *set, log);
    if (request.pagePath.empty()) return whole;
    std::vector<PagedMod> paged;
    TextureChangers changers;
    for (std::size_t i = 0; i < mods.size(); ++i) {
        if (!mods[i].manifest) continue;
        paged.push_back({mods[i].path, mods[i].name, states[i]});
        for (const ModTexture& texture : mods[i].manifest->textures) {
            changers[{texture.name, texture.occurrence}].push_back(mods[i].name);
        }
    }
    log.AppendLine("");
    return WriteModsPage(state, paged, *set, changers, request.pagePath, request.replaceExisting,
                         log, request.jobs) &&
           whole;
}

}  // namespace

std::optional<std::vector<std::string>> ModFilesIn(const std::string& folder,
                                                   report::ReportLog& log) {
    if (!platform::CanSearchFolder(folder)) {
        log.AppendLine(report::msg::NotAFolder(folder));
        return std::nullopt;
    }
    std::vector<std::string> names;
    platform::ExtensionSearch search(folder, ".zip");
    for (std::string name; search.Next(name);) {
        if (!IsFolder(platform::JoinPath(folder, name))) names.push_back(std::move(name));
    }
    if (names.empty()) {
        log.AppendLine(msg::NoModsIn(folder));
        return std::nullopt;
    }
    std::sort(names.begin(), names.end());
    for (std::string& name : names) name = platform::JoinPath(folder, name);
    return names;
}

std::string UnreadableModLine(const std::string& modPath) {
    platform::FileFacts facts;
    return platform::ReadFileFacts(modPath, facts) == platform::FactsOutcome::Missing
               ? report::msg::CouldNotOpen(modPath)
               : msg::NotAModFile(modPath);
}

bool ReportMods(const ToolState& state, const ModsRequest& request, report::ReportLog* log) {
    if (!log) return false;
    if (state.setPath.empty()) {
        log->AppendLine(report::msg::kInvalidLoadPath);
        return false;
    }
    if (request.mods.empty()) {
        log->AppendLine(msg::kNoModsGiven);
        return false;
    }
    report::AddHeading(*log, msg::ModsOf(state.setName));
    bool whole = false;
    try {
        whole = TellMods(state, request, *log);
    } catch (const std::bad_alloc&) {
        log->AppendLine(report::msg::kNotEnoughMemory);
    }
    report::AddClosing(*log);
    return whole;
}

}  // namespace sorrelwick::mod
