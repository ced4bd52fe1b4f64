#pragma once
// The walk over a chess-set file as listing, extraction and classification
// run it: open, signature, every chunk, held failure, close, with the
// standard messages. The caller adds the heading before and the closing
// lines after.

#include <functional>
#include <string>
#include <string_view>

#include "format/chunk_walk.h"
#include "report/report_log.h"

namespace sorrelwick::operations {

using ChunkHandler = std::function<void(format::ChunkWalk&, const format::Chunk&)>;

// Walks the file at `path`; `setName` fills the messages. Each chunk goes to
// `handle`, which may record a failure with walk.Fail() and let the walk go
// on. Returns the walk's result.
bool WalkSetFile(const std::string& path, std::string_view setName, report::ReportLog& log,
                 const ChunkHandler& handle);

}  // namespace sorrelwick::operations
