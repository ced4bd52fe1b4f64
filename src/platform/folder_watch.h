#pragma once
// Which files of one folder were saved: written and closed, or moved into
// the folder under their name (an editor that writes to another name and
// renames it over the file). Linux: inotify on the folder; Windows:
// ReadDirectoryChangesW. And Ctrl+C or a request to terminate, taken as a
// request to stop at the next moment the program chooses, so that what it is
// doing (an import) finishes first.

#include <chrono>
#include <string>
#include <vector>

#include "platform/system_error.h"

namespace sorrelwick::platform {

enum class WatchWait { Changed, TimedOut, Stopped, Failed };

// What a watch of a folder tells; the tests put a scripted folder of their
// own in its place.
class FolderChanges {
public:
    virtual ~FolderChanges() = default;
    // Waits at most `timeout` for files of the folder being saved, and adds
    // their names (without the folder) to `names`, a name as often as it was
    // saved. Stopped as soon as a stop is requested (StopRequested); Failed
    // when the folder can no longer be watched (it was removed or moved).
    virtual WatchWait WaitForChanges(std::chrono::milliseconds timeout,
                                     std::vector<std::string>& names) = 0;
};

// The system's watch of one folder.
class FolderWatch final : public FolderChanges {
public:
    explicit FolderWatch(const std::string& folder);
    ~FolderWatch() override;
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // False when the folder could not be watched; Error() says why.
    bool IsWatching() const;
    SystemError Error() const;

    WatchWait WaitForChanges(std::chrono::milliseconds timeout,
                             std::vector<std::string>& names) override;

private:
    struct Impl;
    Impl* impl_;
};

// While it lives, Ctrl+C and a request to terminate (POSIX SIGINT and
// SIGTERM; Windows Ctrl+C, Ctrl+Break and the console closing) no longer
// end the process: they make StopRequested() true and wake a waiting
// FolderWatch. A second signal ends the process as usual. One at a time.
class StopRequests {
public:
    StopRequests();
    ~StopRequests();
    StopRequests(const StopRequests&) = delete;
    StopRequests& operator=(const StopRequests&) = delete;
};

bool StopRequested();

}  // namespace sorrelwick::platform
