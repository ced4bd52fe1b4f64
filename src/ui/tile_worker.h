#pragma once
// Work done on a thread of its own, for a window whose thread must never
// wait on it: the window asks, goes on, and hears of the result when the
// work delivers it (the work's own affair). The newest request is worked
// first, since the tiles that came into view last are the ones a user looks
// at; at most `bound` requests wait, and the oldest beyond that are dropped
// and named back to the asker, who asks again if it still wants them. So a
// fast scroll through thousands of tiles makes the pictures of the last few
// pages, not of every tile passed.

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace sorrelwick::ui {

template <typename Request>
class TileWorker {
public:
    // Runs on the worker's thread, one request at a time; must not throw.
    using Work = std::function<void(Request&)>;

    // Throws std::system_error when no thread can be started.
    TileWorker(std::size_t bound, Work work)
        : bound_(std::max<std::size_t>(bound, 1)),
          work_(std::move(work)),
          thread_([this] { Run(); }) {}
    // The requests still waiting are dropped, the one being worked on is
    // finished first.
    ~TileWorker() {
        Stop();
        thread_.join();
    }
    TileWorker(const TileWorker&) = delete;
    TileWorker& operator=(const TileWorker&) = delete;

    // Asks for `request`, known by `key`, as the newest; a request already
    // waiting under `key` gives way to it. Returns the keys of the requests
    // dropped to stay within the bound, oldest first.
    std::vector<std::size_t> Ask(std::size_t key, Request request) {
        std::vector<std::size_t> dropped;
        {
            const std::lock_guard lock(mutex_);
            if (stopping_) return dropped;
            std::erase_if(waiting_, [key](const Waiting& w) { return w.key == key; });
            waiting_.push_back({key, std::move(request)});
            while (waiting_.size() > bound_) {
                dropped.push_back(waiting_.front().key);
                waiting_.pop_front();
            }
        }
        wake_.notify_one();
        return dropped;
    }

    // Makes the request waiting under `key` the newest; false when none
    // waits (it is being worked on, was done or was dropped).
    bool Raise(std::size_t key) {
        const std::lock_guard lock(mutex_);
        const auto found = std::find_if(waiting_.begin(), waiting_.end(),
                                        [key](const Waiting& w) { return w.key == key; });
        if (found == waiting_.end()) return false;
        std::rotate(found, found + 1, waiting_.end());
        return true;
    }

    // Drops every waiting request; the one being worked on is finished.
    void Forget() {
        const std::lock_guard lock(mutex_);
        waiting_.clear();
    }

    // Drops every waiting request and takes no more; the thread ends once
    // the one being worked on is finished.
    void Stop() {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
            waiting_.clear();
        }
        wake_.notify_one();
    }

private:
    struct Waiting {
        std::size_t key;
        Request request;
    };

    void Run() {
        for (;;) {
            std::optional<Request> request;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
                if (stopping_) return;
                request.emplace(std::move(waiting_.back().request));
                waiting_.pop_back();
            }
            work_(*request);
        }
    }

    const std::size_t bound_;
    const Work work_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Waiting> waiting_;  // oldest first
    bool stopping_ = false;
    std::thread thread_;  // last: started once everything it uses is made
};

}  // namespace sorrelwick::ui
