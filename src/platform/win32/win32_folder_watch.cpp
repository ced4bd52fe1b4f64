// ReadDirectoryChangesW on the folder, overlapped, so that the wait also
// wakes for a stop request. Windows tells each write (there is no "closed
// after writing"), so a file still being written is named again and again;
// the caller waits until the names stop coming and the file can be opened.

#include <windows.h>

#include <atomic>

#include "platform/folder_watch.h"
#include "platform/win32/wide_text.h"

namespace sorrelwick::platform {
namespace {

std::atomic<bool> stopRequested{false};
HANDLE stopEvent = nullptr;
// Set once the program has no import under way any more (the watch ended),
// so that a console closing waits for that, within the time Windows gives.
HANDLE idleEvent = nullptr;

BOOL WINAPI OnConsoleControl(DWORD event) {
    stopRequested = true;
    if (stopEvent) SetEvent(stopEvent);
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
        // The process ends when this returns: let the import finish first.
        constexpr DWORD kGrace = 4000;
        if (idleEvent) WaitForSingleObject(idleEvent, kGrace);
    }
    return TRUE;
}

}  // namespace

StopRequests::StopRequests() {
    stopRequested = false;
    stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    idleEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

StopRequests::~StopRequests() {
    if (idleEvent) SetEvent(idleEvent);
    SetConsoleCtrlHandler(OnConsoleControl, FALSE);
}

bool StopRequested() {
    return stopRequested;
}

struct FolderWatch::Impl {
    HANDLE folder = INVALID_HANDLE_VALUE;
    OVERLAPPED overlapped{};
    bool pending = false;  // a read of changes is under way
    SystemError error{};
    // The changes, as the system writes them: DWORD-aligned records.
    alignas(DWORD) unsigned char buffer[64 * 1024];

    bool StartReading() {
        constexpr DWORD kChanges = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE |
                                   FILE_NOTIFY_CHANGE_SIZE;
        ResetEvent(overlapped.hEvent);
        pending = ReadDirectoryChangesW(folder, buffer, sizeof buffer, FALSE, kChanges, nullptr,
                                        &overlapped, nullptr) != 0;
        if (!pending) error = CaptureSystemError();
        return pending;
    }
};

FolderWatch::FolderWatch(const std::string& folder) : impl_(new Impl) {
    const std::optional<std::wstring> wide = WidePath(folder);
    if (!wide) return;
    impl_->folder = CreateFileW(wide->c_str(), FILE_LIST_DIRECTORY,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED,
                                nullptr);
    if (impl_->folder == INVALID_HANDLE_VALUE) {
        impl_->error = CaptureSystemError();
        return;
    }
    impl_->overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!impl_->overlapped.hEvent || !impl_->StartReading()) {
        CloseHandle(impl_->folder);
        impl_->folder = INVALID_HANDLE_VALUE;
    }
}

FolderWatch::~FolderWatch() {
    if (impl_->folder != INVALID_HANDLE_VALUE) {
        if (impl_->pending) {
            CancelIoEx(impl_->folder, &impl_->overlapped);
            DWORD ignored = 0;
            GetOverlappedResult(impl_->folder, &impl_->overlapped, &ignored, TRUE);
        }
        CloseHandle(impl_->folder);
    }
    if (impl_->overlapped.hEvent) CloseHandle(impl_->overlapped.hEvent);
    delete impl_;
}

bool FolderWatch::IsWatching() const {
    return impl_->folder != INVALID_HANDLE_VALUE;
}

SystemError FolderWatch::Error() const {
    return impl_->error;
}

WatchWait FolderWatch::WaitForChanges(std::chrono::milliseconds timeout,
                                      std::vector<std::string>& names) {
    if (!IsWatching() || !impl_->pending) return WatchWait::Failed;
    if (StopRequested()) return WatchWait::Stopped;
    HANDLE waits[2] = {impl_->overlapped.hEvent, stopEvent};
    const DWORD woken = WaitForMultipleObjects(stopEvent ? 2 : 1, waits, FALSE,
                                               static_cast<DWORD>(timeout.count()));
    if (StopRequested()) return WatchWait::Stopped;
    if (woken == WAIT_TIMEOUT) return WatchWait::TimedOut;
    if (woken != WAIT_OBJECT_0) return WatchWait::Failed;
    DWORD got = 0;
    impl_->pending = false;
    if (!GetOverlappedResult(impl_->folder, &impl_->overlapped, &got, FALSE)) {
        impl_->error = CaptureSystemError();
        return WatchWait::Failed;
    }
    // No bytes: more changes than the buffer held; those names are lost.
    for (DWORD at = 0; got > 0 && at + sizeof(FILE_NOTIFY_INFORMATION) <= got;) {
        const auto* record = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(impl_->buffer + at);
        const bool saved = record->Action == FILE_ACTION_ADDED ||
                           record->Action == FILE_ACTION_MODIFIED ||
                           record->Action == FILE_ACTION_RENAMED_NEW_NAME;
        if (saved) {
            const std::optional<std::string> name = Utf8FromWide(
                std::wstring_view(record->FileName, record->FileNameLength / sizeof(wchar_t)));
            if (name) names.push_back(*name);
        }
        if (record->NextEntryOffset == 0) break;
        at += record->NextEntryOffset;
    }
    return impl_->StartReading() ? WatchWait::Changed : WatchWait::Failed;
}

}  // namespace sorrelwick::platform
