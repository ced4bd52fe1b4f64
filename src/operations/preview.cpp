#include "operations/preview.h"

#include "backup/backup_listing.h"
#include "backup/set_location.h"
#include "operations/changes_page.h"
#include "operations/preview_card.h"
#include "operations/preview_walk.h"
#include "platform/file_system.h"
#include "report/lines.h"
#include "report/messages.h"

namespace sorrelwick::operations {
namespace {

// Every texture of the set, a card and a report line each.
bool WriteSetPage(const ToolState& state, bool replaceExisting, PageOutput& page,
                  report::ReportLog& log) {
    WritePageOpening(state.setName, page.Sink());
    PreviewSummary summary;
    const auto addCard = [&](std::size_t, const std::string& name, format::Bytes tga) {
        const PreviewCard card = MakePreviewCard(name, tga);
        WriteCard(card, page.Sink());
        ++summary.textureCount;
        log.AppendLine(report::TextureInfoLine(
            platform::NameForReport(card.name), card.width, card.height, card.depth,
            report::msg::PreviewOutcome(!card.png.empty(), card.flags)));
    };
    const bool whole =
        VisitTextures(state.setPath, state.setName, page, addCard, summary.fileSize, log);
    if (whole) WritePageClosing(summary, page.Sink());
    return FinishPage(page, whole, replaceExisting, log);
}

}  // namespace

bool WritePreviewPage(const ToolState& state, const PreviewRequest& request,
                      report::ReportLog* log) {
    if (!log) return false;
    if (state.setPath.empty()) {
        log->AppendLine(report::msg::kInvalidLoadPath);
        return false;
    }
    const std::string& pagePath = request.pagePath;
    // A path that ends in a separator names a folder, not a page: its
    // temporary file would land in the parent folder.
    if (pagePath.empty() || platform::IsPathSeparator(pagePath.back())) {
        log->AppendLine(report::msg::kInvalidPreviewPath);
        return false;
    }
    bool written = false;
    if (request.other.empty()) {
        report::AddHeading(*log, report::msg::Previewing(state.setName, pagePath));
        PageOutput page;
        written = StartPageFile(pagePath, page.draft, *log) &&
                  WriteSetPage(state, request.replaceExisting, page, *log);
    } else {
        // A linked set's backups lie beside the file the link names.
        const std::optional<std::string> otherPath =
            comparison::OtherSetPath(backup::ResolveSetPath(state.setPath), request.other);
        if (!otherPath) {
            // A set whose name takes no backup number has no backups to compare with.
            log->AppendLine(report::msg::kInvalidLoadSavePath);
            return false;
        }
        const comparison::ComparedSet other{*otherPath, std::string(platform::FileNamePart(*otherPath))};
        report::AddHeading(*log,
                           report::msg::PreviewingChanges(state.setName, other.name, pagePath));
        written = WriteChangesPage(state, other, pagePath, request.replaceExisting, *log);
    }
    if (!written) {
        backup::AddLatestBackupHint(state, *log);
        log->AppendLine(report::msg::kNoPreviewWritten);
    } else {
        log->AppendLine(report::msg::PreviewWritten(pagePath));
        if (request.show && !request.show(pagePath))
            log->AppendLine(report::msg::CouldNotShowPage(pagePath));
    }
    report::AddClosing(*log);
    return written;
}

}  // namespace sorrelwick::operations
