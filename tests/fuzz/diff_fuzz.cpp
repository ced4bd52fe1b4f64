// Compares two chess sets made from one input, split at a length prefix:
// the set and its backup 000. When both are whole sets the comparison says
// "the same" exactly when their bytes are equal, otherwise it is trouble;
// each texture that differs has one line, led by its name; nothing on disk
// changes.

#include <algorithm>
#include <filesystem>
#include <set>
#include <utility>

#include "fuzz/harness.h"
#include "comparison/comparison_report.h"
#include "format/sha256.h"
#include "mod/mod_file.h"
#include "mod/mod_pack.h"
#include "platform/file_system.h"
#include "report/comparison_messages.h"

using namespace sorrelwick;
using comparison::ComparisonOutcome;

namespace {

// The texture lines follow the heading's three lines, one per texture that
// differs, in the comparison's order, each led by the texture's name (and
// its number, for a later texture of a name).
void RequireOneLinePerTexture(const comparison::SetComparison& comparison,
                              const std::vector<std::string>& lines) {
    std::set<std::pair<std::string, std::size_t>> named;
    const auto& textures = comparison.textures;
    fuzz::Require(lines.size() >= 3 + textures.size(), "fewer lines than differing textures");
    for (std::size_t n = 0; n < textures.size(); ++n) {
        const auto& texture = textures[n];
        fuzz::Require(named.emplace(texture.name, texture.occurrence).second,
                      "a texture is named twice");
        const std::string label =
            report::msg::TextureLabel(platform::NameForReport(texture.name), texture.occurrence);
        fuzz::Require(lines[3 + n].starts_with("  " + label + " "),
                      "a texture line names another texture");
    }
}

// The page a mod holds pictures each image that differs, in time that grows
// with the sides it declares: only sets whose images declare at most 64K
// pixels are packed, as the decoder targets cap theirs.
bool ImagesSmall(fuzz::ByteView set) {
    for (const fuzz::ChunkView& chunk : fuzz::ReadLayout(set).chunks) {
        const fuzz::ByteView image = chunk.payload;
        if (chunk.header.kind != format::kTextureImageChunk || image.size() < 16) continue;
        const std::uint32_t width = image[12] | std::uint32_t{image[13]} << 8;
        const std::uint32_t height = image[14] | std::uint32_t{image[15]} << 8;
        if (width * height > 65536) return false;
    }
    return true;
}

// What differs packs into a mod that reads back whole and names its base
// by the base's own size and digest; the mod is then removed again.
void RequireAReadableMod(const ToolState& state, const fuzz::RunFolder& folder,
                         fuzz::ByteView base) {
    const std::string path = folder.Path("my.zip");
    report::MemoryReportLog packLog;
    mod::PackMod(state, {"0", path, {}, {}, {}, false}, &packLog);
    if (!std::filesystem::exists(path)) return;
    const std::optional<mod::ModFile> packed = mod::ReadModFile(path);
    fuzz::Require(packed.has_value(), "a packed mod can't be read");
    fuzz::Require(packed->manifest.base.size == base.size() &&
                      packed->manifest.base.sha256 == format::HexOf(format::Sha256Of(base)),
                  "a mod names its base by other bytes");
    fuzz::Require(platform::RemoveFile(path), "the mod could not be removed");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::InputParts parts = fuzz::SplitInput({data, size});
    const fuzz::RunFolder folder({{"set.DAT", parts.first}, {"set.000", parts.second}});

    const ToolState state = folder.LoadSet("set.DAT");
    fuzz::CheckedLog log;
    const ComparisonOutcome outcome = comparison::CompareWithOther(state, "0", &log);

    const bool whole = fuzz::ReadLayout(parts.first).whole && fuzz::ReadLayout(parts.second).whole;
    const bool equal = std::equal(parts.first.begin(), parts.first.end(), parts.second.begin(),
                                  parts.second.end());
    if (!whole) {
        fuzz::Require(outcome == ComparisonOutcome::Trouble, "a broken set was compared");
    } else {
        fuzz::Require(outcome != ComparisonOutcome::Trouble, "whole sets could not be compared");
        fuzz::Require((outcome == ComparisonOutcome::Same) == equal,
                      "\"the same\" disagrees with the bytes");
        report::MemoryReportLog quiet;
        const auto comparison = comparison::CompareSets({state.setPath, state.setName},
                                                        {folder.Path("set.000"), "set.000"}, quiet);
        fuzz::Require(comparison.has_value(), "a second comparison failed");
        RequireOneLinePerTexture(*comparison, log.Lines());
        if (ImagesSmall(parts.first) && ImagesSmall(parts.second))
            RequireAReadableMod(state, folder, parts.second);
    }
    fuzz::Require(folder.Snapshot() == folder.Before(), "the comparison changed the folder");
    log.RequireOneLinePerLine();
    return 0;
}
