// Applies a mod file to a chess set, both from one input split at a length
// prefix, after telling its state (`mods`) and checking what taking it out
// would do (`unapply --check`), neither of which writes anything; a mod
// whose manifest can't be read is refused by both, and every mod apply
// reads has a manifest they read. A mod that is not one changes nothing;
// --check changes nothing;
// an applied mod leaves the original as the backup and a new set of the
// same chunks, each unchanged, given one of the mod's payloads that replace
// would take too, or a material with only its two specular bytes changed;
// nothing else is written anywhere.

#include <algorithm>
#include <optional>

#include "fuzz/harness.h"
#include "mod/mod_apply.h"
#include "mod/mod_file.h"
#include "mod/mod_unapply.h"
#include "mod/mods_report.h"
#include "operations/image_fit.h"

using namespace sorrelwick;

namespace {

bool SameBytes(fuzz::ByteView a, fuzz::ByteView b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

void CheckChunk(const mod::ModFile& mod, const fuzz::ChunkView& was, const fuzz::ChunkView& now) {
    if (SameBytes(was.payload, now.payload)) return;
    if (was.header.kind == format::kMaterialChunk) {
        fuzz::Require(was.payload.size() == now.payload.size() && was.payload.size() >= 18 &&
                          SameBytes(was.payload.first(16), now.payload.first(16)) &&
                          SameBytes(was.payload.subspan(18), now.payload.subspan(18)),
                      "a material changed beyond its specular bytes");
        return;
    }
    fuzz::Require(was.header.kind == format::kTextureImageChunk, "a chunk of another kind changed");
    // What replace would refuse, a mod never brings in, force or not.
    const std::optional<format::TgaFields> stored = format::ReadTgaFields(was.payload);
    fuzz::Require(stored && operations::CheckImageFit(now.payload, stored->depth).fit ==
                                operations::ImageFit::Fits,
                  "a texture took an image replace would refuse");
    fuzz::Require(std::any_of(mod.payloads.begin(), mod.payloads.end(),
                              [&](const auto& payload) { return SameBytes(payload, now.payload); }),
                  "a texture took a payload the mod does not hold");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::InputParts parts = fuzz::SplitInput({data, size});
    const fuzz::RunFolder folder({{"set.DAT", parts.first}, {"my.zip", parts.second}});
    const ToolState state = folder.LoadSet("set.DAT");
    const std::optional<mod::ModFile> mod = mod::ParseModFile(parts.second);

    fuzz::CheckedLog log;
    const bool manifest = mod::ParseModManifest(parts.second).has_value();
    fuzz::Require(manifest || !mod, "a mod whose manifest can't be read was read");
    const bool told = mod::ReportMods(state, {{folder.Path("my.zip")}, {}, false}, &log);
    fuzz::Require(manifest || !told, "mods told a mod whose manifest can't be read");
    const bool unapplied = mod::UnapplyMod(state, {folder.Path("my.zip"), true}, &log);
    fuzz::Require(manifest || !unapplied, "a mod whose manifest can't be read was taken out");
    fuzz::Require(folder.Snapshot() == folder.Before(),
                  "mods or unapply --check changed the folder");

    const bool checked = mod::ApplyMod(state, {folder.Path("my.zip"), true, false}, &log);
    fuzz::Require(folder.Snapshot() == folder.Before(), "a check changed the folder");
    fuzz::Require(mod || !checked, "a mod that is not one was checked");

    const bool applied = mod::ApplyMod(state, {folder.Path("my.zip"), false, true}, &log);
    fuzz::Tree after = folder.Snapshot();
    if (!mod) {
        fuzz::Require(!applied, "a mod that is not one was applied");
    } else if (after.contains("work/set.000")) {
        fuzz::TakeBackRewrite(after, "work/set.DAT", "work/set.000", parts.first,
                              [&](const fuzz::ChunkView& was, const fuzz::ChunkView& now) {
                                  CheckChunk(*mod, was, now);
                              });
    }
    fuzz::Require(after == folder.Before(), "the mod changed more than the set");
    log.RequireOneLinePerLine();
    return 0;
}
