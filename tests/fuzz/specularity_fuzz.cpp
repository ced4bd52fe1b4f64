// Classifies and rescales any bytes as a chess set. The input is the naming
// style (one byte, which picks the set's file name), the six percents (four
// bytes each, little-endian) and the set. A set that can't be read is left
// untouched without a backup; otherwise the backup holds the original and
// the new set differs from it only in the two specular bytes of materials,
// and the run fails only when a group asked for was not found, which a line
// says in place of the success line.

#include <algorithm>

#include "fuzz/harness.h"
#include "report/messages.h"
#include "specular/change_specularity.h"

using namespace sorrelwick;

namespace {

constexpr std::size_t kPrefix = 1 + 6 * 4;

// Only the amplitude and shininess bytes of a material may change.
void RequireOnlySpecularBytesChanged(const fuzz::ChunkView& was, const fuzz::ChunkView& now) {
    fuzz::Require(was.header.length == now.header.length, "a chunk's length changed");
    for (std::size_t at = 0; at < was.payload.size(); ++at) {
        const bool specular = was.header.kind == format::kMaterialChunk && (at == 16 || at == 17);
        fuzz::Require(specular || was.payload[at] == now.payload[at],
                      "a byte outside the specular bytes changed");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kPrefix) return 0;
    const std::string stem = std::string(1, static_cast<char>('A' + data[0] % 4)) + "1_set.";
    const std::string name = stem + "DAT", backup = "work/" + stem + "000";
    const fuzz::ByteView set(data + kPrefix, size - kPrefix);
    const fuzz::RunFolder folder({{name, set}});

    ToolState state = folder.LoadSet(name);
    const fuzz::ByteView prefix(data, kPrefix);
    state.percents = {fuzz::Word(prefix, 1),  fuzz::Word(prefix, 5),  fuzz::Word(prefix, 9),
                      fuzz::Word(prefix, 13), fuzz::Word(prefix, 17), fuzz::Word(prefix, 21)};
    fuzz::CheckedLog log;
    const bool changed = specular::ChangeSpecularity(state, &log);
    const bool rewritten = log.CountEndingWith(report::msg::OriginalRenamed(stem + "000")) == 1;
    const auto notFound = std::count_if(log.Lines().begin(), log.Lines().end(),
                                        [](const std::string& line) {
                                            return line.starts_with("No ") &&
                                                   line.find(" recognised: ") != std::string::npos;
                                        });

    fuzz::Require(rewritten == fuzz::ReadLayout(set).whole,
                  "specularity rewrite disagrees with the chunk layout");
    fuzz::Require(changed == (rewritten && notFound == 0),
                  "specularity result disagrees with the groups found");
    fuzz::Require(changed == (log.CountEndingWith(report::msg::kSpecularityChanged) == 1),
                  "success reported for a failed run or not for a successful one");
    fuzz::Tree after = folder.Snapshot();
    if (rewritten) {
        fuzz::TakeBackRewrite(after, "work/" + name, backup, set, RequireOnlySpecularBytesChanged);
    }
    fuzz::Require(after == folder.Before(),
                  "specularity changed another file or lost the original");
    log.RequireOneLinePerLine();
    return 0;
}
