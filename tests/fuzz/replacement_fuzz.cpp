// Replaces the textures of a chess set from a folder holding one .tga file;
// the input is the set and the image, split at a length prefix. Whatever the
// bytes, the original set stays whole at its path or under its backup name,
// nothing else in any folder changes, and on success the set's path holds a
// readable set whose chunks are the original ones, each texture image either
// as it was or the imported image, which is reported only when it is whole.

#include <algorithm>

#include "format/tga_fields.h"
#include "format/tga_image.h"
#include "fuzz/harness.h"
#include "operations/replacement.h"
#include "report/messages.h"

using namespace sorrelwick;

namespace {

bool Same(fuzz::ByteView a, fuzz::ByteView b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

// How many texture images the new set took from the file: each chunk must
// be the original one or the image with the same kind and variant.
std::size_t ImportedChunks(const fuzz::SetLayout& original, const fuzz::SetLayout& written,
                           fuzz::ByteView image) {
    fuzz::Require(written.whole && written.chunks.size() == original.chunks.size(),
                  "the new set's chunks are not the original ones");
    std::size_t imported = 0;
    for (std::size_t n = 0; n < written.chunks.size(); ++n) {
        const fuzz::ChunkView& was = original.chunks[n];
        const fuzz::ChunkView& now = written.chunks[n];
        fuzz::Require(
            now.header.kind == was.header.kind && now.header.variant == was.header.variant,
            "a chunk header changed");
        if (Same(now.payload, was.payload) && now.header.length == was.header.length) continue;
        fuzz::Require(was.header.kind == format::kTextureImageChunk && Same(now.payload, image),
                      "a chunk changed into something other than the imported image");
        ++imported;
    }
    return imported;
}

std::size_t ReportedImports(const fuzz::CheckedLog& log, fuzz::ByteView image) {
    std::size_t reported = log.CountEndingWith(report::msg::kImportSuccessful);
    if (const auto fields = format::ReadTgaFields(image)) {
        reported +=
            log.CountEndingWith(report::msg::ImportSizeModified(fields->width, fields->height));
    }
    return reported;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto [set, image] = fuzz::SplitInput({data, size});
    const fuzz::RunFolder folder;
    folder.Write("set.DAT", set);
    folder.Write("tga/Wood.tga", image);
    const fuzz::Tree before = folder.Snapshot();

    fuzz::CheckedLog log;
    const bool replaced =
        operations::ReplaceTextures(folder.LoadSet("set.DAT"), folder.Path("tga"), &log);

    fuzz::Tree after = folder.Snapshot();
    const fuzz::Bytes original(set.begin(), set.end());
    const fuzz::SetLayout layout = fuzz::ReadLayout(set);
    fuzz::Require(replaced == layout.whole, "replacement result disagrees with the chunk layout");
    const std::size_t reported = ReportedImports(log, image);
    fuzz::Require(reported == 0 ||
                      format::CheckImageCompleteness(image) != format::ImageCompleteness::CutShort,
                  "an image cut short was reported as imported");
    if (replaced) {
        fuzz::Require(fuzz::Holds(after, "work/set.000", original),
                      "the backup is not the original set");
        const fuzz::Bytes written = after.at("work/set.DAT");
        fuzz::Require(std::equal(set.begin(), set.begin() + 12, written.begin()),
                      "the signature header changed");
        const std::size_t imported = ImportedChunks(layout, fuzz::ReadLayout(written), image);
        fuzz::Require(imported <= reported, "a texture was replaced without a success line");
        after.erase("work/set.000");
        after["work/set.DAT"] = original;
    } else {
        fuzz::Require(fuzz::Holds(after, "work/set.DAT", original),
                      "a failed rewrite lost the original set");
    }
    fuzz::Require(after == before, "replacement changed another file");
    log.RequireOneLinePerLine();
    return 0;
}
