#pragma once
// Watching a folder of edited textures: each texture file saved into it
// from now on (named as `replace FOLDER` takes it) is imported into the set
// as one rewrite, with the report of `replace --texture`, all of them in
// one editing session (one backup). Runs until a stop is requested.

#include <chrono>
#include <functional>
#include <string_view>

#include "operations/replacement.h"
#include "operations/save_detector.h"
#include "platform/folder_watch.h"
#include "report/report_log.h"
#include "set_file/tool_state.h"

namespace sorrelwick::operations {

// How long a file must go without a change before it is taken: longer than
// the pauses of an editor writing one file, short enough that the set
// follows a save at once.
inline constexpr std::chrono::milliseconds kSaveQuietPeriod{200};

struct WatchSettings {
    ReplaceOptions options;  // convert, fit; the session is the watch's own
    std::chrono::milliseconds quiet = kSaveQuietPeriod;
    // The time now: the steady clock unless a test gives its own.
    std::function<SaveDetector::Clock::time_point()> now = SaveDetector::Clock::now;
};

// Watches `folder` through `changes` until it says Stopped. A folder that
// is not one, or a set that can't be read, gets one line and nothing is
// watched. A saved file is imported once it stopped changing and can be
// opened; one deleted before that, or saved again unchanged, is passed
// over; one that is refused gives its lines and the watch goes on. True
// when the watch ended on a stop and every import succeeded.
bool WatchFolder(const ToolState& state, std::string_view folder,
                 platform::FolderChanges& changes, const WatchSettings& settings,
                 report::ReportLog& log);

// The same through the system's watch of the folder, until Ctrl+C or a
// request to terminate (platform::StopRequests, which the caller holds).
bool WatchFolder(const ToolState& state, std::string_view folder, const WatchSettings& settings,
                 report::ReportLog& log);

}  // namespace sorrelwick::operations
