// Classifies and rescales any bytes as a chess set. The input is the naming
// style (one byte, which picks the set's file name), the six percents (four
// bytes each, little-endian) and the set. A set that can't be read is left
// untouched without a backup; otherwise the backup holds the original and
// the new set differs from it only in the two specular bytes of materials.

#include <algorithm>

#include "fuzz/harness.h"
#include "report/messages.h"
#include "specular/change_specularity.h"

using namespace sorrelwick;

namespace {

constexpr std::size_t kPrefix = 1 + 6 * 4;

// Only the amplitude and shininess bytes of a material may change.
void RequireOnlySpecularBytesChanged(const fuzz::SetLayout& was, const fuzz::SetLayout& now) {
    fuzz::Require(now.whole && now.chunks.size() == was.chunks.size(),
                  "the new set's chunks are not the original ones");
    for (std::size_t n = 0; n < now.chunks.size(); ++n) {
        const fuzz::ChunkView& a = was.chunks[n];
        const fuzz::ChunkView& b = now.chunks[n];
        fuzz::Require(a.header.kind == b.header.kind && a.header.variant == b.header.variant &&
                          a.header.length == b.header.length,
                      "a chunk header changed");
        for (std::size_t at = 0; at < a.payload.size(); ++at) {
            const bool specular = a.header.kind == format::kMaterialChunk && (at == 16 || at == 17);
            fuzz::Require(specular || a.payload[at] == b.payload[at],
                          "a byte outside the specular bytes changed");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kPrefix) return 0;
    const std::string stem = std::string(1, static_cast<char>('A' + data[0] % 4)) + "1_set.";
    const std::string name = stem + "DAT", backup = "work/" + stem + "000";
    const fuzz::ByteView set(data + kPrefix, size - kPrefix);
    const fuzz::RunFolder folder;
    folder.Write(name, set);
    const fuzz::Tree before = folder.Snapshot();

    ToolState state = folder.LoadSet(name);
    const fuzz::ByteView prefix(data, kPrefix);
    state.percents = {fuzz::Word(prefix, 1),  fuzz::Word(prefix, 5),  fuzz::Word(prefix, 9),
                      fuzz::Word(prefix, 13), fuzz::Word(prefix, 17), fuzz::Word(prefix, 21)};
    fuzz::CheckedLog log;
    const bool changed = specular::ChangeSpecularity(state, &log);

    const fuzz::SetLayout layout = fuzz::ReadLayout(set);
    fuzz::Require(changed == layout.whole, "specularity result disagrees with the chunk layout");
    fuzz::Require(changed == (log.CountEndingWith(report::msg::kSpecularityChanged) == 1),
                  "success reported for a failed run or not for a successful one");
    fuzz::Tree after = folder.Snapshot();
    if (changed) {
        fuzz::Require(fuzz::Holds(after, backup, set), "the backup is not the original set");
        const fuzz::Bytes written = after.at("work/" + name);
        fuzz::Require(std::equal(set.begin(), set.begin() + 12, written.begin()),
                      "the signature header changed");
        RequireOnlySpecularBytesChanged(layout, fuzz::ReadLayout(written));
        after.erase(backup);
        after["work/" + name].assign(set.begin(), set.end());
    }
    fuzz::Require(after == before, "specularity changed another file or lost the original");
    log.RequireOneLinePerLine();
    return 0;
}
