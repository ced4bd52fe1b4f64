#pragma once
// Work on every core between two ends that stay in order on one thread: the
// caller pushes inputs in order (reading them from a file), a pool of
// threads turns each into an output, and the caller's thread gets the
// outputs back in the order of their inputs (writing them to a file). Only
// the caller's thread ever touches a file, so the fault seam sees the same
// single thread of file calls as before. With one job there is no pool:
// each input is worked and delivered at once, as a plain loop would.
//
// Memory stays bounded: at most `kInFlightPerJob` inputs per job are
// pushed and not yet delivered; a push beyond that first delivers the
// oldest, waiting for it. Delivery happens only then and in Finish, never
// when an output merely happens to be ready, so the order of the caller's
// file calls depends on the job count alone, never on timing.

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace sorrelwick::operations {

// Inputs pushed and not yet delivered, per job.
inline constexpr std::size_t kInFlightPerJob = 2;

// The job count `asked` stands for: itself, or for 0 one per core.
inline unsigned JobCount(unsigned asked) {
    if (asked != 0) return asked;
    return std::max(1u, std::thread::hardware_concurrency());
}

template <typename Input, typename Output>
class OrderedPipeline {
public:
    // `work` runs on the pool (or, with one job, on the caller's thread) and
    // must touch no file and no shared state; `deliver` runs on the
    // caller's thread, in the inputs' order.
    using Work = std::function<Output(Input&)>;
    using Deliver = std::function<void(Output&)>;

    OrderedPipeline(unsigned jobs, Work work, Deliver deliver)
        : work_(std::move(work)), deliver_(std::move(deliver)), jobs_(JobCount(jobs)) {
        if (jobs_ == 1) return;
        pool_.reserve(jobs_);
        for (unsigned i = 0; i < jobs_; ++i) pool_.emplace_back([this] { RunWorker(); });
    }
    // Undelivered outputs are dropped; the pool stops after its current work.
    ~OrderedPipeline() {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
            waiting_.clear();
        }
        workReady_.notify_all();
        for (std::thread& thread : pool_) thread.join();
    }
    OrderedPipeline(const OrderedPipeline&) = delete;
    OrderedPipeline& operator=(const OrderedPipeline&) = delete;

    // Hands `input` to the pool. An exception thrown by the work of an input
    // (or by `deliver`) comes out of the Push or Finish that delivers it;
    // after that the pipeline delivers nothing more and drops what it is
    // given.
    void Push(Input input) {
        if (failed_) return;
        if (pool_.empty()) {
            Guarded([&] {
                Output output = work_(input);
                deliver_(output);
            });
            return;
        }
        auto slot = std::make_shared<Slot>();
        slot->input = std::move(input);
        {
            const std::lock_guard lock(mutex_);
            waiting_.push_back(slot);
        }
        inFlight_.push_back(std::move(slot));
        workReady_.notify_one();
        if (inFlight_.size() > kInFlightPerJob * jobs_) DeliverOldest();
    }

    // Delivers every output still to come, in order.
    void Finish() {
        while (!failed_ && !inFlight_.empty()) DeliverOldest();
    }

    unsigned Jobs() const { return jobs_; }

private:
    struct Slot {
        Input input;
        std::optional<Output> output;
        std::exception_ptr error;
        bool done = false;
    };

    template <typename Step>
    void Guarded(Step&& step) {
        try {
            step();
        } catch (...) {
            failed_ = true;
            throw;
        }
    }

    void DeliverOldest() {
        const std::shared_ptr<Slot> slot = std::move(inFlight_.front());
        inFlight_.pop_front();
        {
            std::unique_lock lock(mutex_);
            outputReady_.wait(lock, [&] { return slot->done; });
        }
        Guarded([&] {
            if (slot->error) std::rethrow_exception(slot->error);
            deliver_(*slot->output);
        });
    }

    void RunWorker() {
        for (;;) {
            std::shared_ptr<Slot> slot;
            {
                std::unique_lock lock(mutex_);
                workReady_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
                if (stopping_) return;
                slot = std::move(waiting_.front());
                waiting_.pop_front();
            }
            std::optional<Output> output;
            std::exception_ptr error;
            try {
                output.emplace(work_(slot->input));
            } catch (...) {
                error = std::current_exception();
            }
            {
                const std::lock_guard lock(mutex_);
                slot->output = std::move(output);
                slot->error = error;
                slot->done = true;
                // The input is no longer needed: its memory goes now.
                slot->input = Input{};
            }
            outputReady_.notify_all();
        }
    }

    const Work work_;
    const Deliver deliver_;
    const unsigned jobs_;
    bool failed_ = false;                         // the caller's thread only
    std::deque<std::shared_ptr<Slot>> inFlight_;  // the caller's thread only
    std::mutex mutex_;
    std::condition_variable workReady_, outputReady_;
    std::deque<std::shared_ptr<Slot>> waiting_;  // not yet taken by the pool
    bool stopping_ = false;
    std::vector<std::thread> pool_;  // last: started after the rest exists
};

}  // namespace sorrelwick::operations
