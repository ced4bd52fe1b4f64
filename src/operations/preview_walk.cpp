#include "operations/preview_walk.h"

#include <new>

#include "format/chunk.h"
#include "set_file/set_file_walk.h"
#include "platform/memory.h"
#include "report/messages.h"

namespace sorrelwick::operations {

PageSink PageOutput::Sink() {
    return [this](std::string_view text) {
        if (!writeFailed) writeFailed = !draft.temporary.file.Write(text.data(), text.size());
    };
}

bool VisitTextures(const std::string& path, std::string_view setName, PageOutput& page,
                   const TextureVisit& visit, std::optional<std::uint64_t>& fileSize,
                   report::ReportLog& log) {
    set_file::SetFileReader reader{.setName = setName};
    if (set_file::StartSetFile(path, reader, log)) {
        if (const std::optional<std::uint64_t> rest = reader.file.Remaining())
            fileSize = *rest + format::kChunkHeaderSize;
        format::ChunkWalk& walk = reader.walk;
        format::Chunk chunk;
        std::size_t index = 0;
        while (!page.writeFailed && set_file::NextSetChunk(reader, chunk)) {
            format::TrackTextureName(walk, chunk);
            if (!walk.result || !format::IsNamedTexture(walk, chunk)) continue;
            // A picture takes several times its image's size.
            if (!platform::MayAllocate()) {
                walk.Fail(std::string(report::msg::kNotEnoughMemory));
                continue;
            }
            try {
                visit(index++, walk.currentTextureName, chunk.payload);
            } catch (const std::bad_alloc&) {
                walk.Fail(std::string(report::msg::kNotEnoughMemory));
            }
        }
    }
    return set_file::FinishSetFile(reader, log);
}

bool FinishPage(PageOutput& page, bool whole, bool replaceExisting, report::ReportLog& log) {
    if (page.writeFailed) log.AppendLine(report::msg::CouldNotWrite(page.draft.path));
    if (!whole || page.writeFailed) {
        AbandonPageFile(page.draft, log);
        return false;
    }
    return FinishPageFile(page.draft, replaceExisting, log);
}

}  // namespace sorrelwick::operations
