// The tile worker: requests worked newest first on a thread of its own, a
// raised one next, one per key, at most its bound waiting (the oldest
// dropped and named back), none after being forgotten or stopped.

#include "ui/tile_worker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace sorrelwick::test {
namespace {

using ui::TileWorker;

struct Job {
    int payload = 0;
    bool holds = false;  // keeps the worker until let go
};
using Worked = std::vector<std::pair<std::size_t, int>>;  // key, payload

constexpr std::size_t kHoldKey = 1000;

// A worker whose work notes what it worked, and which a test can hold on a
// request while it asks for others, so that their order is its choice
// alone.
class HeldWorker {
public:
    explicit HeldWorker(std::size_t bound) : asker_(std::this_thread::get_id()) {
        worker_.emplace(bound, [this](Job& job) { Work(job); });
    }
    ~HeldWorker() { End(); }

    TileWorker<Job>& Worker() { return *worker_; }
    // Lets the worker go and waits for its thread to end.
    void End() {
        LetGo();
        worker_.reset();
    }
    // Asks for a holding request and returns once the worker holds on it.
    void Hold() {
        std::unique_lock lock(mutex_);
        const int before = holdsEntered_;
        lock.unlock();
        worker_->Ask(kHoldKey, {0, true});
        lock.lock();
        changed_.wait(lock, [&] { return holdsEntered_ > before; });
    }
    // Lets go every hold entered until now.
    void LetGo() {
        const std::lock_guard lock(mutex_);
        letGo_ = holdsEntered_;
        changed_.notify_all();
    }
    // Waits until `count` requests besides the holds were worked; false
    // after a minute without, so that a lost request fails rather than hangs.
    bool WaitForWorked(std::size_t count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::minutes(1),
                                 [&] { return worked_.size() >= count; });
    }
    Worked Done() {
        const std::lock_guard lock(mutex_);
        return worked_;
    }
    bool WorkedOnTheAskersThread() {
        const std::lock_guard lock(mutex_);
        return onAsker_;
    }

private:
    void Work(Job& job) {
        std::unique_lock lock(mutex_);
        if (std::this_thread::get_id() == asker_) onAsker_ = true;
        if (job.holds) {
            const int hold = holdsEntered_++;
            changed_.notify_all();
            changed_.wait(lock, [&] { return letGo_ > hold; });
            return;
        }
        worked_.push_back({job.payload / 10, job.payload});
        changed_.notify_all();
    }

    const std::thread::id asker_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int holdsEntered_ = 0, letGo_ = 0;  // holds let go: those numbered below letGo_
    bool onAsker_ = false;
    Worked worked_;
    std::optional<TileWorker<Job>> worker_;  // last: gone before what its work uses
};

enum class Op { Ask, Raise, Forget };
struct Step {
    Op op;
    std::size_t key = 0;
    int payload = 0;     // of an Ask; its key times 10 plus a digit
    bool raised = true;  // what a Raise answers
};
Step Ask(std::size_t key, int digit = 0) {
    return {Op::Ask, key, static_cast<int>(key) * 10 + digit};
}
Step Raise(std::size_t key, bool raised = true) {
    return {Op::Raise, key, 0, raised};
}
const Step kForget{Op::Forget};

TEST(TileWorker, WorksTheNewestFirstWithinItsBound) {
    const struct {
        const char* what;
        std::size_t bound;
        std::vector<Step> steps;  // while the worker is held
        Worked worked;            // once let go, in order
        std::vector<std::size_t> dropped = {};
    } cases[] = {
        {"newest first", 8, {Ask(1), Ask(2), Ask(3), Ask(4)}, {{4, 40}, {3, 30}, {2, 20}, {1, 10}}},
        {"a raised request comes next; one not waiting is not raised",
         8,
         {Ask(1), Ask(2), Ask(3), Raise(1), Raise(7, false)},
         {{1, 10}, {3, 30}, {2, 20}}},
        {"asked again: the newer request, once, as the newest",
         8,
         {Ask(1, 0), Ask(2, 0), Ask(1, 1)},
         {{1, 11}, {2, 20}}},
        {"beyond the bound the oldest are dropped and named",
         3,
         {Ask(1), Ask(2), Ask(3), Ask(4), Ask(5)},
         {{5, 50}, {4, 40}, {3, 30}},
         {1, 2}},
        {"a key asked again counts once against the bound",
         2,
         {Ask(1, 0), Ask(2, 0), Ask(1, 1), Ask(2, 1)},
         {{2, 21}, {1, 11}}},
        {"a raised request is the last dropped",
         2,
         {Ask(1), Ask(2), Raise(1), Ask(3)},
         {{3, 30}, {1, 10}},
         {2}},
        {"forgotten requests are never worked", 8, {Ask(1), Ask(2), kForget, Ask(3)}, {{3, 30}}},
        {"nothing asked", 4, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        HeldWorker held(c.bound);
        TileWorker<Job>& worker = held.Worker();
        held.Hold();
        std::vector<std::size_t> dropped, asked;
        for (const Step& step : c.steps) {
            if (step.op == Op::Ask) {
                asked.push_back(step.key);
                for (const std::size_t key : worker.Ask(step.key, {step.payload})) {
                    dropped.push_back(key);
                }
            } else if (step.op == Op::Raise) {
                EXPECT_EQ(worker.Raise(step.key), step.raised) << step.key;
            } else {
                worker.Forget();
            }
        }
        EXPECT_EQ(dropped, c.dropped);
        held.LetGo();
        ASSERT_TRUE(held.WaitForWorked(c.worked.size()));
        // Held again: nothing asked may still be waiting, nor have been
        // worked besides what was expected.
        held.Hold();
        for (const std::size_t key : asked) EXPECT_FALSE(worker.Raise(key)) << key;
        EXPECT_EQ(held.Done(), c.worked);
        EXPECT_FALSE(held.WorkedOnTheAskersThread());
    }
}

TEST(TileWorker, StoppedItFinishesTheRequestInHandAndWorksNoOther) {
    HeldWorker held(4);
    held.Hold();
    held.Worker().Ask(1, {10});
    held.Worker().Ask(2, {20});
    held.Worker().Stop();
    EXPECT_TRUE(held.Worker().Ask(3, {30}).empty());
    EXPECT_FALSE(held.Worker().Raise(1));
    held.End();  // the thread ends once the held request is let go
    EXPECT_EQ(held.Done(), Worked{});
}

}  // namespace
}  // namespace sorrelwick::test
