#include "operations/extraction.h"

#include "format/tga_fields.h"
#include "operations/set_file_walk.h"
#include "operations/texture_file_name.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "report/lines.h"
#include "report/messages.h"

namespace sorrelwick::operations {
namespace {

using platform::File;

// Writes one texture and reports its outcome. A close failure gives no line:
// it becomes the walk's held failure instead.
void ExportTexture(std::string_view folder, format::ChunkWalk& walk, const format::Chunk& chunk,
                   report::ReportLog& log) {
    const std::string name = platform::NameForReport(walk.currentTextureName);
    const format::TgaFields tga = *format::ReadTgaFields(chunk.payload);
    const auto infoLine = [&](std::string_view outcome) {
        log.AppendLine(report::TextureInfoLine(name, tga.width, tga.height, tga.depth, outcome));
    };

    // The name comes from the file: as a path it could leave the folder or
    // reach a device, and bytes that don't read as text name no file.
    const std::optional<std::string> fileName = platform::NameAsText(walk.currentTextureName);
    if (!fileName || !IsPlainFileName(*fileName)) {
        infoLine(report::msg::kExportCreateFailed);
        return;
    }
    const std::string path = platform::JoinPath(folder, *fileName);
    File::CreateOutcome created = File::CreateOutcome::Failed;
    File file = File::CreateNew(path, created);
    if (created == File::CreateOutcome::AlreadyExists) {
        log.AppendLine(report::NameMessageLine(name, report::msg::kExportAlreadyExists));
        return;
    }
    if (created != File::CreateOutcome::Created) {
        infoLine(report::msg::kExportCreateFailed);
        return;
    }
    // A cut-off file is removed again, so that an import can never take it
    // for the texture.
    if (!file.Write(chunk.payload.data(), chunk.payload.size())) {
        file.Close();  // the write failure is the outcome; this close adds nothing
        platform::RemoveFile(path);
        infoLine(report::msg::kExportWriteFailed);
        return;
    }
    if (!file.Close()) {
        platform::RemoveFile(path);
        walk.Fail(report::msg::CouldNotClose(name));
        return;
    }
    infoLine(report::msg::kExportSuccessful);
}

}  // namespace

bool ExtractTextures(const ToolState& state, std::string_view folder, report::ReportLog* log) {
    if (!log) return false;
    if (state.setPath.empty()) {
        log->AppendLine(report::msg::kInvalidLoadPath);
        return false;
    }
    if (folder.empty()) {
        log->AppendLine(report::msg::kInvalidExtractPath);
        return false;
    }
    report::AddHeading(*log, report::msg::Exporting(state.setName, folder));
    const auto exportEach = [folder, log](format::ChunkWalk& walk, const format::Chunk& chunk) {
        format::TrackTextureName(walk, chunk);
        if (format::IsNamedTexture(walk, chunk)) ExportTexture(folder, walk, chunk, *log);
    };
    const bool result = WalkSetFile(state.setPath, state.setName, *log, exportEach);
    report::AddClosing(*log);
    return result;
}

}  // namespace sorrelwick::operations
