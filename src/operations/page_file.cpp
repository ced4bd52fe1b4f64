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

constexpr unsigned kSpareNames = 1000;

// `path` + "~NNN" + `suffix`: names beside the page for its temporary file
// and for the old page while it is replaced. Numbered, so that one left by
// a run that was killed never blocks the next.
std::string SpareName(const std::string& path, unsigned number, std::string_view suffix) {
    std::string digits = std::to_string(number);
    digits.insert(0, 3 - digits.size(), '0');
    return path + "~" + digits + std::string(suffix);
}

struct Temporary {
    File file;
    std::string path;
};

std::optional<Temporary> CreateTemporary(const std::string& path) {
    for (unsigned number = 0; number < kSpareNames; ++number) {
        Temporary temporary{File(), SpareName(path, number, ".tmp")};
        File::CreateOutcome outcome = File::CreateOutcome::Failed;
        temporary.file = File::CreateNew(temporary.path, outcome);
        if (outcome == File::CreateOutcome::Created) return temporary;
        if (outcome != File::CreateOutcome::AlreadyExists) return std::nullopt;
    }
    return std::nullopt;
}

// The first free spare name the old page could be moved to, after it was.
std::optional<std::string> SetAside(const std::string& path) {
    for (unsigned number = 0; number < kSpareNames; ++number) {
        std::string aside = SpareName(path, number, ".old");
        const MoveOutcome moved = platform::MoveWithoutReplacing(path, aside);
        if (moved == MoveOutcome::Moved) return aside;
        if (moved != MoveOutcome::TargetExists) return std::nullopt;
    }
    return std::nullopt;
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

bool ReplacePage(const std::string& temporary, const std::string& path, report::ReportLog& log) {
    const std::optional<bool> isSet = IsChessSet(path);
    if (!isSet) return Fail(temporary, report::msg::CouldNotOpen(path), log);
    if (*isSet) return Fail(temporary, report::msg::PageIsAChessSet(path), log);
    const std::optional<std::string> aside = SetAside(path);
    if (!aside)
        return Fail(temporary, report::msg::CouldNotRename(path, SpareName(path, 0, ".old")), log);
    if (platform::MoveWithoutReplacing(temporary, path) != MoveOutcome::Moved) {
        if (platform::MoveWithoutReplacing(*aside, path) != MoveOutcome::Moved) {
            log.AppendLine(report::msg::CouldNotRename(*aside, path));
        }
        return Fail(temporary, report::msg::CouldNotRename(temporary, path), log);
    }
    if (!platform::RemoveFile(*aside)) {
        log.AppendLine(report::msg::CouldNotDelete(*aside));
        return false;
    }
    return true;
}

}  // namespace

bool WritePageFile(const std::string& path, std::string_view contents, bool replaceExisting,
                   report::ReportLog& log) {
    std::optional<Temporary> temporary = CreateTemporary(path);
    if (!temporary) {
        log.AppendLine(report::msg::CouldNotCreate(path));
        return false;
    }
    if (!temporary->file.Write(contents.data(), contents.size())) {
        temporary->file.Close();  // the write failure is what the user needs to know
        return Fail(temporary->path, report::msg::CouldNotWrite(path), log);
    }
    if (!temporary->file.Close()) {
        return Fail(temporary->path, report::msg::CouldNotClose(path), log);
    }
    switch (platform::MoveWithoutReplacing(temporary->path, path)) {
        case MoveOutcome::Moved:
            return true;
        case MoveOutcome::TargetExists:
            if (replaceExisting) return ReplacePage(temporary->path, path, log);
            return Fail(temporary->path, report::msg::PageAlreadyExists(path), log);
        case MoveOutcome::Failed:
            break;
    }
    return Fail(temporary->path, report::msg::CouldNotRename(temporary->path, path), log);
}

}  // namespace sorrelwick::operations
