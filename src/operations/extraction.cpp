#include "operations/extraction.h"

#include <optional>
#include <string>

#include "backup/backup_listing.h"
#include "format/tga_fields.h"
#include "set_file/set_file_walk.h"
#include "operations/texture_file_name.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "report/lines.h"
#include "report/messages.h"
#include "report/reason_line.h"

namespace sorrelwick::operations {
namespace {

using platform::File;

// Numbers a texture's temporary name can take.
constexpr int kTemporaryNumbers = 1000;

// A texture is written under "<name>.~NNN" and given its name only once it
// is whole. The last extension is "~NNN", so neither a search for "*.tga" or
// "*.png" (not even through Windows' short names) nor an import ever takes
// it. One left by a killed run is passed over, never opened.
File CreateTemporaryTexture(std::string_view folder, const std::string& name, std::string& path) {
    for (int number = 0; number < kTemporaryNumbers; ++number) {
        const std::string digits = std::to_string(1000 + number).substr(1);
        path = platform::JoinPath(folder, name + ".~" + digits);
        File::CreateOutcome created = File::CreateOutcome::Failed;
        File file = File::CreateNew(path, created);
        if (created != File::CreateOutcome::AlreadyExists) return file;
    }
    return {};
}

// Only a file that is there counts: a path the system can't even look at (a
// name too long, say) is no file, and the exclusive create tells why.
bool Exists(const std::string& path) {
    platform::FileFacts facts;
    return platform::ReadFileFacts(path, facts) == platform::FactsOutcome::Found;
}

enum class Export { Successful, CreateFailed, WriteFailed, AlreadyExists, CloseFailed };

// Writes the payload whole under a temporary name, then gives it the
// texture's name without replacing anything. A file of ours that did not
// reach its name is removed again. `cause` is the system's reason for a
// failure.
Export WriteTexture(std::string_view folder, const std::string& name, const format::Chunk& chunk,
                    platform::SystemError& cause) {
    const std::string path = platform::JoinPath(folder, name);
    if (Exists(path)) return Export::AlreadyExists;
    std::string temporary;
    File file = CreateTemporaryTexture(folder, name, temporary);
    cause = file.LastError();
    if (!file.IsOpen()) return Export::CreateFailed;
    if (!file.Write(chunk.payload.data(), chunk.payload.size())) {
        cause = file.LastError();
        file.Close();  // the write failure is the outcome; this close adds nothing
        platform::RemoveFile(temporary);
        return Export::WriteFailed;
    }
    if (!file.Close()) {
        cause = file.LastError();
        platform::RemoveFile(temporary);
        return Export::CloseFailed;
    }
    const platform::MoveOutcome moved = platform::MoveWithoutReplacing(temporary, path);
    cause = platform::LatestFailure();
    if (moved == platform::MoveOutcome::Moved) return Export::Successful;
    platform::RemoveFile(temporary);
    return moved == platform::MoveOutcome::TargetExists ? Export::AlreadyExists
                                                        : Export::CreateFailed;
}

// Writes one texture and reports its outcome. A close failure also becomes
// the walk's held failure, which fails the extraction.
void ExportTexture(std::string_view folder, format::ChunkWalk& walk, const format::Chunk& chunk,
                   report::ReportLog& log, std::size_t& failed) {
    const std::string name = platform::NameForReport(walk.currentTextureName);
    const format::TgaFields tga = *format::ReadTgaFields(chunk.payload);
    const auto infoLine = [&](std::string_view outcome) {
        log.AppendLine(report::TextureInfoLine(name, tga.width, tga.height, tga.depth, outcome));
    };
    // The name comes from the file: as a path it could leave the folder or
    // reach a device, and bytes that don't read as text name no file.
    const std::optional<std::string> fileName = platform::NameAsText(walk.currentTextureName);
    platform::SystemError cause{};
    const Export outcome = fileName && IsPlainFileName(*fileName)
                               ? WriteTexture(folder, *fileName, chunk, cause)
                               : Export::CreateFailed;
    failed += outcome != Export::Successful;
    switch (outcome) {
        case Export::Successful:
            return infoLine(report::msg::kExportSuccessful);
        case Export::CreateFailed:
            return infoLine(report::WithReason(report::msg::kExportCreateFailed, cause));
        case Export::WriteFailed:
            return infoLine(report::WithReason(report::msg::kExportWriteFailed, cause));
        case Export::AlreadyExists:
            return log.AppendLine(report::NameMessageLine(name, report::msg::kExportAlreadyExists));
        case Export::CloseFailed:
            // The data may not have reached the disk: the file was removed.
            walk.Fail(report::msg::CouldNotClose(name), cause);
            return infoLine(report::WithReason(report::msg::kExportWriteFailed, cause));
    }
}

}  // namespace

bool ExtractTextures(const ToolState& state, std::string_view folder, report::ReportLog* log,
                     std::size_t* texturesFailed) {
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
    // Checked first, so that a mistyped folder isn't reported texture by texture.
    if (!platform::CanSearchFolder(std::string(folder))) {
        report::AppendFailure(*log, report::msg::NotAFolder(folder), platform::LatestFailure());
        report::AddClosing(*log);
        return false;
    }
    std::size_t failed = 0;
    const auto exportEach = [&](format::ChunkWalk& walk, const format::Chunk& chunk) {
        format::TrackTextureName(walk, chunk);
        if (format::IsNamedTexture(walk, chunk)) ExportTexture(folder, walk, chunk, *log, failed);
    };
    const bool result = set_file::WalkSetFile(state.setPath, state.setName, *log, exportEach);
    if (!result) backup::AddLatestBackupHint(state, *log);
    report::AddClosing(*log);
    if (texturesFailed) *texturesFailed = failed;
    return result;
}

}  // namespace sorrelwick::operations
