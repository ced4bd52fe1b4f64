#include "operations/page_file.h"

#include <optional>

#include "format/chunk_walk.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "report/messages.h"

namespace sorrelwick::operations {
namespace {

using platform::File;
using platform::MoveOutcome;

// Moves the old page to the first free temporary name beside it. `aside` is
// that name, or the one that could not be taken.
bool SetAside(const std::string& path, std::string& aside) {
    for (int number = 0;; ++number) {
        const std::optional<std::string> name = backup::TemporaryPath(path, number);
        if (!name) return false;
        if (*name == path) continue;
        aside = *name;
        const MoveOutcome moved = platform::MoveWithoutReplacing(path, aside);
        if (moved != MoveOutcome::TargetExists) return moved == MoveOutcome::Moved;
    }
}

// Whether the file at `path` starts as a chess set does; nullopt when that
// can't be told.
std::optional<bool> IsChessSet(const std::string& path) {
    File file = File::OpenForReading(path);
    if (!file.IsOpen()) return std::nullopt;
    const bool isSet = format::ReadSetSignature(file).has_value();
    if (file.ReadFailed()) return std::nullopt;
    return isSet;
}

// Ends a failed write: the temporary file goes, `line` tells why.
PageOutcome Fail(const std::string& temporary, std::string_view line, report::ReportLog& log) {
    log.AppendLine(line);
    if (!platform::RemoveFile(temporary)) log.AppendLine(report::msg::CouldNotDelete(temporary));
    return PageOutcome::NotWritten;
}

PageOutcome Placed(bool synced) {
    return synced ? PageOutcome::Written : PageOutcome::Unsettled;
}

PageOutcome ReplacePage(const std::string& temporary, const std::string& path,
                        report::ReportLog& log) {
    const std::optional<bool> isSet = IsChessSet(path);
    if (!isSet) return Fail(temporary, report::msg::CouldNotOpen(path), log);
    if (*isSet) return Fail(temporary, report::msg::PageIsAChessSet(path), log);
    std::string aside = path;
    if (!SetAside(path, aside))
        return Fail(temporary, report::msg::CouldNotRename(path, aside), log);
    bool synced = false;
    if (platform::MoveIntoPlace(temporary, path, synced) != MoveOutcome::Moved) {
        if (platform::MoveWithoutReplacing(aside, path) != MoveOutcome::Moved) {
            log.AppendLine(report::msg::CouldNotRename(aside, path));
        }
        return Fail(temporary, report::msg::CouldNotRename(temporary, path), log);
    }
    // The new page is in place: an old copy left behind is only untidy.
    if (!platform::RemoveFile(aside)) log.AppendLine(report::msg::CouldNotDelete(aside));
    return Placed(synced);
}

}  // namespace

bool StartPageFile(const std::string& path, PageDraft& draft, report::ReportLog& log) {
    draft.path = path;
    draft.temporary = backup::CreateTemporaryFile(path);
    if (!draft.temporary.file.IsOpen()) {
        log.AppendLine(report::msg::CouldNotCreate(path));
        return false;
    }
    return true;
}

void AbandonPageFile(PageDraft& draft, report::ReportLog& log) {
    draft.temporary.file.Close();  // what went wrong has been said
    if (!platform::RemoveFile(draft.temporary.path))
        log.AppendLine(report::msg::CouldNotDelete(draft.temporary.path));
}

PageOutcome FinishPageFile(PageDraft& draft, bool replaceExisting, report::ReportLog& log) {
    const std::string& path = draft.path;
    File& file = draft.temporary.file;
    if (!file.Flush()) {
        file.Close();  // the write failure is what the user needs to know
        return Fail(draft.temporary.path, report::msg::CouldNotWrite(path), log);
    }
    if (!file.Close()) {
        return Fail(draft.temporary.path, report::msg::CouldNotClose(path), log);
    }
    bool synced = false;
    switch (platform::MoveIntoPlace(draft.temporary.path, path, synced)) {
        case MoveOutcome::Moved:
            return Placed(synced);
        case MoveOutcome::TargetExists:
            if (replaceExisting) return ReplacePage(draft.temporary.path, path, log);
            return Fail(draft.temporary.path, report::msg::PageAlreadyExists(path), log);
        case MoveOutcome::Failed:
            break;
    }
    return Fail(draft.temporary.path, report::msg::CouldNotRename(draft.temporary.path, path), log);
}

}  // namespace sorrelwick::operations
