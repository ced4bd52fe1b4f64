#include "operations/page_file.h"

#include <optional>

#include "format/chunk_walk.h"
#include "platform/file.h"
#include "platform/file_system.h"
#include "report/messages.h"
#include "report/reason_line.h"

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

// Whether the file at `path` starts as a chess set does; nullopt, with the
// system's `cause`, when that can't be told.
std::optional<bool> IsChessSet(const std::string& path, platform::SystemError& cause) {
    File file = File::OpenForReading(path);
    cause = file.LastError();
    if (!file.IsOpen()) return std::nullopt;
    const bool isSet = format::ReadSetSignature(file).has_value();
    cause = file.LastError();
    if (file.ReadFailed()) return std::nullopt;
    return isSet;
}

// Ends a failed write: the temporary file goes, `line` (and the system's
// `cause`) tells why.
PageOutcome Fail(const std::string& temporary, std::string_view line, report::ReportLog& log,
                 platform::SystemError cause = {}) {
    report::AppendFailure(log, line, cause);
    if (!platform::RemoveFile(temporary)) {
        report::AppendFailure(log, report::msg::CouldNotDelete(temporary),
                              platform::LatestFailure());
    }
    return PageOutcome::NotWritten;
}

PageOutcome Placed(bool synced) {
    return synced ? PageOutcome::Written : PageOutcome::Unsettled;
}

PageOutcome ReplacePage(const std::string& temporary, const std::string& path,
                        report::ReportLog& log) {
    platform::SystemError cause{};
    const std::optional<bool> isSet = IsChessSet(path, cause);
    if (!isSet) return Fail(temporary, report::msg::CouldNotOpen(path), log, cause);
    if (*isSet) return Fail(temporary, report::msg::PageIsAChessSet(path), log);
    std::string aside = path;
    if (!SetAside(path, aside))
        return Fail(temporary, report::msg::CouldNotRename(path, aside), log,
                    platform::LatestFailure());
    bool synced = false;
    const MoveOutcome moved = platform::MoveIntoPlace(temporary, path, synced);
    cause = platform::LatestFailure();
    if (moved != MoveOutcome::Moved) {
        if (platform::MoveWithoutReplacing(aside, path) != MoveOutcome::Moved) {
            report::AppendFailure(log, report::msg::CouldNotRename(aside, path),
                                  platform::LatestFailure());
        }
        return Fail(temporary, report::msg::CouldNotRename(temporary, path), log, cause);
    }
    // The new page is in place: an old copy left behind is only untidy.
    if (!platform::RemoveFile(aside)) {
        report::AppendFailure(log, report::msg::CouldNotDelete(aside), platform::LatestFailure());
    }
    return Placed(synced);
}

}  // namespace

bool StartPageFile(const std::string& path, PageDraft& draft, report::ReportLog& log) {
    draft.path = path;
    // A page or a mod is a new file like any other: the umask says who may
    // read it.
    draft.temporary = backup::CreateTemporaryFile(path, false);
    if (!draft.temporary.file.IsOpen()) {
        report::AppendFailure(log, report::msg::CouldNotCreate(path),
                              draft.temporary.file.LastError());
        return false;
    }
    return true;
}

void AbandonPageFile(PageDraft& draft, report::ReportLog& log) {
    draft.temporary.file.Close();  // what went wrong has been said
    if (!platform::RemoveFile(draft.temporary.path)) {
        report::AppendFailure(log, report::msg::CouldNotDelete(draft.temporary.path),
                              platform::LatestFailure());
    }
}

PageOutcome FinishPageFile(PageDraft& draft, bool replaceExisting, report::ReportLog& log) {
    const std::string& path = draft.path;
    File& file = draft.temporary.file;
    if (!file.Flush()) {
        const platform::SystemError cause = file.LastError();
        file.Close();  // the write failure is what the user needs to know
        return Fail(draft.temporary.path, report::msg::CouldNotWrite(path), log, cause);
    }
    if (!file.Close()) {
        return Fail(draft.temporary.path, report::msg::CouldNotClose(path), log, file.LastError());
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
    return Fail(draft.temporary.path, report::msg::CouldNotRename(draft.temporary.path, path), log,
                platform::LatestFailure());
}

}  // namespace sorrelwick::operations
