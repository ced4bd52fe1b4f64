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
    const fuzz::RunFolder folder({{"set.DAT", set}, {"tga/Wood.tga", image}});

    fuzz::CheckedLog log;
    const bool replaced =
        operations::ReplaceTextures(folder.LoadSet("set.DAT"), folder.Path("tga"), &log);

    fuzz::Tree after = folder.Snapshot();
    fuzz::Require(replaced == fuzz::ReadLayout(set).whole,
                  "replacement result disagrees with the chunk layout");
    const std::size_t reported = ReportedImports(log, image);
    fuzz::Require(reported == 0 ||
                      format::CheckImageCompleteness(image) != format::ImageCompleteness::CutShort,
                  "an image cut short was reported as imported");
    if (replaced) {
        std::size_t imported = 0;
        // A structured binding is captured through an initialiser: clang 14 takes no other way.
        const auto keptOrImported = [&imported, image = image](const fuzz::ChunkView& was,
                                                               const fuzz::ChunkView& now) {
            if (Same(now.payload, was.payload)) return;
            fuzz::Require(was.header.kind == format::kTextureImageChunk && Same(now.payload, image),
                          "a chunk changed into something other than the imported image");
            ++imported;
        };
        fuzz::TakeBackRewrite(after, "work/set.DAT", "work/set.000", set, keptOrImported);
        fuzz::Require(imported <= reported, "a texture was replaced without a success line");
    } else {
        fuzz::Require(fuzz::Holds(after, "work/set.DAT", set),
                      "a failed rewrite lost the original set");
    }
    fuzz::Require(after == folder.Before(), "replacement changed another file");
    log.RequireOneLinePerLine();
    return 0;
}
