// Lists any bytes as a chess set. The listing must succeed exactly for a file
// whose chunks can all be read, list no more textures than there are image
// chunks, and leave every file as it was.

#include <algorithm>

#include "fuzz/harness.h"
#include "operations/listing.h"

using namespace sorrelwick;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::ByteView set(data, size);
    const fuzz::RunFolder folder({{"set.DAT", set}});

    fuzz::CheckedLog log;
    const bool listed = operations::ListTextures(folder.LoadSet("set.DAT"), &log);

    const fuzz::SetLayout layout = fuzz::ReadLayout(set);
    fuzz::Require(listed == layout.whole, "listing result disagrees with the chunk layout");
    const auto images = std::count_if(layout.chunks.begin(), layout.chunks.end(), [](auto& chunk) {
        return chunk.header.kind == format::kTextureImageChunk && !chunk.payload.empty();
    });
    // Heading and closing take five lines; a held failure and a close failure two more.
    fuzz::Require(log.Lines().size() <= static_cast<std::size_t>(images) + 7,
                  "listing reported more textures than the set holds");
    fuzz::Require(folder.Snapshot() == folder.Before(), "listing changed the folder");
    log.RequireOneLinePerLine();
    return 0;
}
