#include "set_file/set_file_walk.h"

#include "report/messages.h"
#include "report/reason_line.h"

namespace sorrelwick::set_file {

bool StartSetFile(const std::string& path, SetFileReader& reader, report::ReportLog& log) {
    reader.file = platform::File::OpenForReading(path);
    if (!reader.file.IsOpen()) {
        report::AppendFailure(log, report::msg::CouldNotOpen(reader.setName),
                              reader.file.LastError());
        return false;
    }
    const std::optional<format::ChunkHeader> signature = format::ReadSetSignature(reader.file);
    if (!signature) {
        log.AppendLine(report::msg::BadFormat(reader.setName));
        return false;
    }
    reader.signature = *signature;
    reader.accepted = true;
    reader.walk.result = true;
    return true;
}

bool NextSetChunkFromFile(SetFileReader& reader, format::Chunk& chunk) {
    return TakeChunk(format::ReadNextChunk(reader.file, reader.walk), reader.walk, reader.setName,
                     chunk);
}

bool NextSetChunk(SetFileReader& reader, format::Chunk& chunk, const PayloadWanted& wanted) {
    format::ChunkRead read = format::ReadNextHeader(reader.file, reader.walk);
    if (read.status == format::ChunkStatus::Chunk) {
        const format::ChunkHeader header = read.chunk.header;
        read = wanted(reader.walk, header) ? format::ReadPayload(reader.file, reader.walk, header)
                                           : format::SkipPayload(reader.file, header);
    }
    return TakeChunk(read, reader.walk, reader.setName, chunk);
}

bool TakeChunk(const format::ChunkRead& read, format::ChunkWalk& walk, std::string_view setName,
               format::Chunk& chunk) {
    switch (read.status) {
        case format::ChunkStatus::Chunk:
            chunk = read.chunk;
            return true;
        case format::ChunkStatus::End:
            return false;
        case format::ChunkStatus::OutOfMemory:
            walk.Fail(std::string(report::msg::kNotEnoughMemory));
            return false;
        case format::ChunkStatus::ReadFailure:
            walk.Fail(report::msg::CouldNotRead(setName), read.cause);
            return false;
    }
    return false;
}

bool FinishSetFile(SetFileReader& reader, report::ReportLog& log) {
    // A file that could not be opened has nothing to close.
    if (!reader.file.IsOpen()) return false;
    format::ChunkWalk& walk = reader.walk;
    if (reader.accepted) {
        walk.ReleasePayload();
        if (!walk.result) report::AppendFailure(log, walk.heldFailure, walk.heldCause);
    }
    if (!reader.file.Close()) {
        report::AppendFailure(log, report::msg::CouldNotClose(reader.setName),
                              reader.file.LastError());
        walk.result = false;
    }
    return walk.result;
}

}  // namespace sorrelwick::set_file
