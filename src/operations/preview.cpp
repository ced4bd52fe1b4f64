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

// Every texture of the set, a card and a report line each; the cards are
// made on `jobs` threads and written in file order.
PageOutcome WriteSetPage(const ToolState& state, const PreviewRequest& request, PageOutput& page,
                         report::ReportLog& log) {
    WritePageOpening(state.setName, page.Sink());
    PreviewSummary summary;
    // A card after a failed write would not be in the page: no line for it.
    CardPipeline cards(request.jobs, MakeCardText, [&](CardText& made) {
        if (page.writeFailed) return;
        page.Sink()(made.html);
        ++summary.textureCount;
        const PreviewCard& card = made.facts;
        log.AppendLine(report::TextureInfoLine(
            platform::NameForReport(card.name), card.width, card.height, card.depth,
            report::msg::PreviewOutcome(made.pictured, card.flags)));
    });
    const auto addCard = [&](std::size_t, const std::string& name, format::Bytes tga) {
        cards.Push(CardJob{name, {tga.begin(), tga.end()}, {}, std::nullopt});
    };
    const bool whole = VisitTextures(state.setPath, state.setName, page, addCard,
                                     summary.fileSize, log, {}, [&cards] { cards.Finish(); });
    if (whole) WritePageClosing(summary, page.Sink());
    return FinishPage(page, whole, request.replaceExisting, log);
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
    PageOutcome outcome = PageOutcome::NotWritten;
    if (request.other.empty()) {
        report::AddHeading(*log, report::msg::Previewing(state.setName, pagePath));
        PageOutput page;
        if (StartPageFile(pagePath, page.draft, *log)) {
            outcome = WriteSetPage(state, request, page, *log);
        }
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
        outcome = WriteChangesPage(state, other, pagePath, request.replaceExisting, *log,
                                   request.jobs);
    }
    if (outcome == PageOutcome::NotWritten) {
        backup::AddLatestBackupHint(state, *log);
        log->AppendLine(report::msg::kNoPreviewWritten);
    } else {
        // The page is there (an old one it replaced is gone): it was
        // written, even when its move may not yet be safe from a power cut.
        log->AppendLine(report::msg::PreviewWritten(pagePath));
        if (outcome == PageOutcome::Unsettled)
            log->AppendLine(report::msg::CouldNotWrite(pagePath));
        if (request.show && !request.show(pagePath))
            log->AppendLine(report::msg::CouldNotShowPage(pagePath));
    }
    report::AddClosing(*log);
    return outcome == PageOutcome::Written;
}

}  // namespace sorrelwick::operations
