#include "operations/set_file_walk.h"

#include "report/messages.h"

namespace sorrelwick::operations {
namespace {

void WalkChunks(platform::File& file, std::string_view setName, format::ChunkWalk& walk,
                const ChunkHandler& handle) {
    for (;;) {
        const format::ChunkRead read = format::ReadNextChunk(file, walk);
        switch (read.status) {
            case format::ChunkStatus::Chunk:
                handle(walk, read.chunk);
                continue;
            case format::ChunkStatus::End:
                return;
            case format::ChunkStatus::OutOfMemory:
                walk.Fail(std::string(report::msg::kNotEnoughMemory));
                return;
            case format::ChunkStatus::ReadFailure:
                walk.Fail(report::msg::CouldNotRead(setName));
                return;
        }
    }
}

}  // namespace

bool WalkSetFile(const std::string& path, std::string_view setName, report::ReportLog& log,
                 const ChunkHandler& handle) {
    platform::File file = platform::File::OpenForReading(path);
    if (!file.IsOpen()) {
        log.AppendLine(report::msg::CouldNotOpen(setName));
        return false;
    }
    format::ChunkWalk walk;
    if (!format::ReadSetSignature(file)) {
        log.AppendLine(report::msg::BadFormat(setName));
    } else {
        walk.result = true;
        WalkChunks(file, setName, walk, handle);
        walk.ReleasePayload();
        if (!walk.result) log.AppendLine(walk.heldFailure);
    }
    if (!file.Close()) {
        log.AppendLine(report::msg::CouldNotClose(setName));
        walk.result = false;
    }
    return walk.result;
}

}  // namespace sorrelwick::operations
