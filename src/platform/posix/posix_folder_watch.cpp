// inotify on the folder: IN_CLOSE_WRITE for a file written in place, once
// for each time it is closed after writing; IN_MOVED_TO for a file renamed
// into the folder or over a file of it. A signal writes one byte to a pipe,
// which wakes the wait at once, whenever it arrives.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "platform/folder_watch.h"

namespace sorrelwick::platform {
namespace {

volatile std::sig_atomic_t stopRequested = 0;
int stopPipe[2] = {-1, -1};

extern "C" void OnStopSignal(int) {
    const int saved = errno;
    stopRequested = 1;
    if (stopPipe[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t written = ::write(stopPipe[1], &byte, 1);
    }
    errno = saved;
}

struct sigaction previousInterrupt {}, previousTerminate {};

}  // namespace

StopRequests::StopRequests() {
    stopRequested = 0;
    if (::pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) stopPipe[0] = stopPipe[1] = -1;
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // The second signal finds the default again, and ends the process.
    action.sa_flags = static_cast<int>(SA_RESETHAND);
    ::sigaction(SIGINT, &action, &previousInterrupt);
    ::sigaction(SIGTERM, &action, &previousTerminate);
}

StopRequests::~StopRequests() {
    ::sigaction(SIGINT, &previousInterrupt, nullptr);
    ::sigaction(SIGTERM, &previousTerminate, nullptr);
    for (int& end : stopPipe) {
        if (end >= 0) ::close(end);
        end = -1;
    }
}

bool StopRequested() {
    return stopRequested != 0;
}

struct FolderWatch::Impl {
    int inotify = -1;
    SystemError error{};
};

FolderWatch::FolderWatch(const std::string& folder) : impl_(new Impl) {
    impl_->inotify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (impl_->inotify < 0) {
        impl_->error = CaptureSystemError();
        return;
    }
    if (::inotify_add_watch(impl_->inotify, folder.c_str(),
                            IN_CLOSE_WRITE | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF |
                                IN_ONLYDIR) < 0) {
        impl_->error = CaptureSystemError();
        ::close(impl_->inotify);
        impl_->inotify = -1;
    }
}

FolderWatch::~FolderWatch() {
    if (impl_->inotify >= 0) ::close(impl_->inotify);
    delete impl_;
}

bool FolderWatch::IsWatching() const {
    return impl_->inotify >= 0;
}

SystemError FolderWatch::Error() const {
    return impl_->error;
}

WatchWait FolderWatch::WaitForChanges(std::chrono::milliseconds timeout,
                                      std::vector<std::string>& names) {
    if (impl_->inotify < 0) return WatchWait::Failed;
    if (StopRequested()) return WatchWait::Stopped;
    pollfd waits[2] = {{impl_->inotify, POLLIN, 0}, {stopPipe[0], POLLIN, 0}};
    const int ready = ::poll(waits, stopPipe[0] >= 0 ? 2 : 1, static_cast<int>(timeout.count()));
    if (StopRequested()) return WatchWait::Stopped;
    if (ready < 0) return errno == EINTR ? WatchWait::TimedOut : WatchWait::Failed;
    if (ready == 0) return WatchWait::TimedOut;
    // Events are whole in every read; a buffer aligned for them.
    alignas(inotify_event) char buffer[64 * 1024];
    bool folderGone = false;
    for (;;) {
        const ssize_t got = ::read(impl_->inotify, buffer, sizeof buffer);
        if (got <= 0) break;
        for (ssize_t at = 0; at < got;) {
            inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            const char* name = buffer + at + sizeof event;
            at += static_cast<ssize_t>(sizeof event + event.len);
            if (event.mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) folderGone = true;
            if ((event.mask & (IN_CLOSE_WRITE | IN_MOVED_TO)) && !(event.mask & IN_ISDIR) &&
                event.len > 0) {
                names.emplace_back(name, ::strnlen(name, event.len));
            }
        }
    }
    return folderGone ? WatchWait::Failed : WatchWait::Changed;
}

}  // namespace sorrelwick::platform
