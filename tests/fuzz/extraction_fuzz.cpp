// Extracts any bytes as a chess set into a folder that already holds a file.
// Only new files may appear, only in that folder, each holding one whole
// texture image of the set, one for each "Export successful".

#include <algorithm>

#include "fuzz/harness.h"
#include "operations/extraction.h"
#include "report/messages.h"

using namespace sorrelwick;

namespace {

bool IsImageOf(const fuzz::SetLayout& layout, const fuzz::Bytes& file) {
    return std::any_of(layout.chunks.begin(), layout.chunks.end(), [&](auto& chunk) {
        return chunk.header.kind == format::kTextureImageChunk &&
               std::equal(file.begin(), file.end(), chunk.payload.begin(), chunk.payload.end());
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::ByteView set(data, size);
    const fuzz::Bytes kept = {'k', 'e', 'p', 't'};
    const fuzz::RunFolder folder({{"set.DAT", set}, {"out/Wood.tga", kept}});

    fuzz::CheckedLog log;
    const bool extracted =
        operations::ExtractTextures(folder.LoadSet("set.DAT"), folder.Path("out"), &log);

    const fuzz::SetLayout layout = fuzz::ReadLayout(set);
    fuzz::Require(extracted == layout.whole, "extraction result disagrees with the chunk layout");
    fuzz::Tree after = folder.Snapshot();
    const std::size_t written = std::erase_if(after, [&](const auto& file) {
        const auto& [path, bytes] = file;
        if (folder.Before().contains(path)) return false;
        fuzz::Require(path.starts_with("work/out/") && path.find('/', 9) == std::string::npos,
                      "extraction wrote outside the chosen folder");
        fuzz::Require(IsImageOf(layout, bytes), "an extracted file is not a whole image");
        return true;
    });
    fuzz::Require(after == folder.Before(), "extraction changed or removed a file");
    fuzz::Require(written == log.CountEndingWith(report::msg::kExportSuccessful),
                  "export successes and written files differ");
    log.RequireOneLinePerLine();
    return 0;
}
