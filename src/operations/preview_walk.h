#pragma once
// What both preview pages share: the page's draft with its writes, and the
// walk that hands each texture of a set to the page, one payload and one
// card at a time.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "format/byte_fields.h"
#include "operations/page_file.h"
#include "operations/preview_page.h"
#include "report/report_log.h"

namespace sorrelwick::operations {

// The page being written: its draft, and whether a write to it failed,
// after which nothing more is written.
struct PageOutput {
    PageDraft draft;
    bool writeFailed = false;
    // When set, the page goes here instead of to the draft's file: a page
    // that is only taken in by its maker never makes the round trip to disk.
    // A page that would pass `memoryLimit` bytes fails as a write does.
    std::string* memory = nullptr;
    std::size_t memoryLimit = 0;

    PageSink Sink();
};

// Gets each texture of a walk: its place among the set's textures (from
// 0), its name and its image. May throw std::bad_alloc.
using TextureVisit =
    std::function<void(std::size_t index, const std::string& name, format::Bytes tga)>;

// Walks the set at `path` (`setName` fills the messages) as long as the
// page's writes hold, and hands each texture to `visit`; memory running out
// there ends the walk. `fileSize` gets the set's size when it can be
// measured. False, with the walk's failure line, when the set could not be
// read whole. With `wanted`, only the textures whose places it accepts are
// read and visited; the walk moves past the other images in the file.
// `lastly`, when given, runs once after the last texture and before the
// walk's failure is said (a card pipeline finishes there); memory running
// out in it fails the walk as in `visit`.
bool VisitTextures(const std::string& path, std::string_view setName, PageOutput& page,
                   const TextureVisit& visit, std::optional<std::uint64_t>& fileSize,
                   report::ReportLog& log,
                   const std::function<bool(std::size_t index)>& wanted = {},
                   const std::function<void()>& lastly = {});

// Ends the draft after its last write: a failed write is said, and the draft
// goes when it, or what it was made from (`whole` false), failed.
PageOutcome FinishPage(PageOutput& page, bool whole, bool replaceExisting, report::ReportLog& log);

}  // namespace sorrelwick::operations
