#pragma once
// The walk over a chess-set file as listing, extraction and classification
// run it: open, signature, every chunk, held failure, close, with the
// standard messages. The caller adds the heading before and the closing
// lines after.

#include <functional>
#include <string>
#include <string_view>

#include "format/chunk_walk.h"
#include "platform/file.h"
#include "report/report_log.h"

namespace sorrelwick::set_file {

// One walk over a chess-set file, from its open to its close.
struct SetFileReader {
    std::string_view setName;  // fills the messages
    platform::File file{};
    format::ChunkWalk walk{};
    bool accepted = false;  // the signature header was accepted
    format::ChunkHeader signature{};  // as read, once accepted: its key is not checked
};

// Opens the file at `path` and accepts its signature header, adding the
// standard message when either fails. True when chunks can be read.
bool StartSetFile(const std::string& path, SetFileReader& reader, report::ReportLog& log);

// The next chunk into `chunk`; false at the end of the file, or after a
// failure that ends the walk (held in the walk). Its payload is valid until
// the next read, and is read only: it may lie in the file's buffer rather
// than in the walk's.
// Inline: a chunk that the file's buffer holds whole is taken without a call.
bool NextSetChunkFromFile(SetFileReader& reader, format::Chunk& chunk);
inline bool NextSetChunk(SetFileReader& reader, format::Chunk& chunk) {
    return format::ReadBufferedChunk(reader.file, reader.walk, chunk, true) ||
           NextSetChunkFromFile(reader, chunk);
}

// The same, for a walk that needs only some payloads: a chunk whose header
// `wanted` refuses comes with an empty payload, moved past in the file.
using PayloadWanted =
    std::function<bool(const format::ChunkWalk& walk, const format::ChunkHeader& header)>;
bool NextSetChunk(SetFileReader& reader, format::Chunk& chunk, const PayloadWanted& wanted);

// What NextSetChunk makes of one read, for any walk over a set's chunks:
// the chunk, or false after holding in `walk` the failure that ends it,
// with `setName` in its message.
bool TakeChunk(const format::ChunkRead& read, format::ChunkWalk& walk, std::string_view setName,
               format::Chunk& chunk);

// Releases the payload, adds the held failure, closes the file; returns the
// walk's result.
bool FinishSetFile(SetFileReader& reader, report::ReportLog& log);

// Walks the file at `path`; `setName` fills the messages. Each chunk goes to
// `handle(walk, chunk)`, which may record a failure with walk.Fail() and let
// the walk go on. Returns the walk's result.
template <typename Handler>
bool WalkSetFile(const std::string& path, std::string_view setName, report::ReportLog& log,
                 Handler&& handle) {
    SetFileReader reader{.setName = setName};
    if (StartSetFile(path, reader, log)) {
        format::Chunk chunk;
        while (NextSetChunk(reader, chunk)) handle(reader.walk, chunk);
    }
    return FinishSetFile(reader, log);
}

}  // namespace sorrelwick::set_file
