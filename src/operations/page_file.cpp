#include "operations/page_file.h"

#include <optional>

#include "backup/temporary_file.h"
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
bool Fail(const std::string& temporary, std::string_view line, report::ReportLog& log) {
    log.AppendLine(line);
    if (!platform::RemoveFile(temporary)) log.AppendLine(report::msg::CouldNotDelete(temporary));
    return false;
}

// A page moved into place whose folder could not be flushed may be lost to
// a power cut: that is reported, and the write counts as failed.
bool Settled(bool synced, const std::string& path, report::ReportLog& log) {
    if (!synced) log.AppendLine(report::msg::CouldNotWrite(path));
    return synced;
}

bool ReplacePage(const std::string& temporary, const std::string& path, report::ReportLog& log) {
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
    return Settled(synced, path, log);
}

}  // namespace

bool WritePageFile(const std::string& path, std::string_view contents, bool replaceExisting,
                   report::ReportLog& log) {
    backup::TemporaryFile temporary = backup::CreateTemporaryFile(path);
    if (!temporary.file.IsOpen()) {
        log.AppendLine(report::msg::CouldNotCreate(path));
        return false;
    }
    if (!temporary.file.Write(contents.data(), contents.size()) || !temporary.file.Flush()) {
        temporary.file.Close();  // the write failure is what the user needs to know
        return Fail(temporary.path, report::msg::CouldNotWrite(path), log);
    }
    if (!temporary.file.Close()) {
        return Fail(temporary.path, report::msg::CouldNotClose(path), log);
    }
    bool synced = false;
    switch (platform::MoveIntoPlace(temporary.path, path, synced)) {
        case MoveOutcome::Moved:
            return Settled(synced, path, log);
        case MoveOutcome::TargetExists:
            if (replaceExisting) return ReplacePage(temporary.path, path, log);
            return Fail(temporary.path, report::msg::PageAlreadyExists(path), log);
        case MoveOutcome::Failed:
            break;
    }
    return Fail(temporary.path, report::msg::CouldNotRename(temporary.path, path), log);
}

}  // namespace sorrelwick::operations
