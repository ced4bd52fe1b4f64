#include "operations/listing.h"

#include "backup/backup_listing.h"
#include "format/tga_fields.h"
#include "set_file/set_file_walk.h"
#include "platform/file_system.h"
#include "report/lines.h"
#include "report/messages.h"

namespace sorrelwick::operations {

bool ListTextures(const ToolState& state, report::ReportLog* log) {
    if (!log) return false;
    if (state.setPath.empty()) {
        log->AppendLine(report::msg::kInvalidLoadPath);
        return false;
    }
    report::AddHeading(*log, report::msg::Loading(state.setName));
    const bool result = set_file::WalkSetFile(state.setPath, state.setName, *log,
                                    [log](format::ChunkWalk& walk, const format::Chunk& chunk) {
                                        format::TrackTextureName(walk, chunk);
                                        if (!format::IsNamedTexture(walk, chunk)) return;
                                        const format::TgaFields tga =
                                            *format::ReadTgaFields(chunk.payload);
                                        log->AppendLine(report::TextureInfoLine(
                                            platform::NameForReport(walk.currentTextureName),
                                            tga.width, tga.height, tga.depth));
                                    });
    if (!result) backup::AddLatestBackupHint(state, *log);
    report::AddClosing(*log);
    return result;
}

}  // namespace sorrelwick::operations
