#include "operations/preview_walk.h"

#include <algorithm>
#include <functional>
#include <new>

#include "format/chunk.h"
#include "set_file/set_file_walk.h"
#include "platform/memory.h"
#include "report/messages.h"
#include "report/reason_line.h"

namespace sorrelwick::operations {

PageSink PageOutput::Sink() {
    return [this](std::string_view text) {
        if (memory) {
            if (writeFailed) return;
            writeFailed = text.size() > memoryLimit - std::min(memoryLimit, memory->size());
            if (!writeFailed) memory->append(text);
            return;
        }
        if (!writeFailed) writeFailed = !draft.temporary.file.Write(text.data(), text.size());
    };
}

bool VisitTextures(const std::string& path, std::string_view setName, PageOutput& page,
                   const TextureVisit& visit, std::optional<std::uint64_t>& fileSize,
                   report::ReportLog& log, const std::function<bool(std::size_t index)>& wanted,
                   const std::function<void()>& lastly) {
    set_file::SetFileReader reader{.setName = setName};
    std::size_t index = 0;  // of the next named texture
    const auto needed = [&](const format::ChunkWalk& walk, const format::ChunkHeader& header) {
        if (!wanted || format::NamesNextTexture(header.kind)) return true;
        return format::IsNamedTexture(walk, header) && wanted(index);
    };
    if (set_file::StartSetFile(path, reader, log)) {
        if (const std::optional<std::uint64_t> rest = reader.file.Remaining())
            fileSize = *rest + format::kChunkHeaderSize;
        format::ChunkWalk& walk = reader.walk;
        format::Chunk chunk;
        while (!page.writeFailed && set_file::NextSetChunk(reader, chunk, needed)) {
            format::TrackTextureName(walk, chunk);
            if (!walk.result || !format::IsNamedTexture(walk, chunk)) continue;
            const std::size_t at = index++;
            if (chunk.payload.empty()) continue;  // passed over
            // A picture takes several times its image's size.
            if (!platform::MayAllocate()) {
                walk.Fail(std::string(report::msg::kNotEnoughMemory));
                continue;
            }
            try {
                visit(at, walk.currentTextureName, chunk.payload);
            } catch (const std::bad_alloc&) {
                walk.Fail(std::string(report::msg::kNotEnoughMemory));
            }
        }
        try {
            if (lastly) lastly();
        } catch (const std::bad_alloc&) {
            walk.Fail(std::string(report::msg::kNotEnoughMemory));
        }
    }
    return set_file::FinishSetFile(reader, log);
}

PageOutcome FinishPage(PageOutput& page, bool whole, bool replaceExisting, report::ReportLog& log) {
    if (page.writeFailed) {
        report::AppendFailure(log, report::msg::CouldNotWrite(page.draft.path),
                              page.draft.temporary.file.LastError());
    }
    if (!whole || page.writeFailed) {
        AbandonPageFile(page.draft, log);
        return PageOutcome::NotWritten;
    }
    return FinishPageFile(page.draft, replaceExisting, log);
}

}  // namespace sorrelwick::operations
