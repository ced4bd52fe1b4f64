#include "format/background_sha256.h"

#include <system_error>

namespace sorrelwick::format {
namespace {

constexpr std::size_t kBlockSize = std::size_t{1} << 20;
constexpr std::size_t kMostWaiting = 4;

}  // namespace

BackgroundSha256::BackgroundSha256() {
    // The thread keeps emptied blocks here without taking memory.
    spare_.reserve(kMostWaiting);
    try {
        worker_ = std::thread([this] { Work(); });
    } catch (const std::system_error&) {
        // No thread: Update digests the bytes itself.
    }
}

BackgroundSha256::~BackgroundSha256() { Stop(); }

void BackgroundSha256::Update(Bytes bytes) {
    if (!worker_.joinable()) {
        sha_.Update(bytes);
        return;
    }
    while (!bytes.empty()) {
        if (filling_.capacity() < kBlockSize) filling_.reserve(kBlockSize);
        const std::size_t taken = std::min(bytes.size(), kBlockSize - filling_.size());
        const Bytes piece = bytes.first(taken);
        filling_.insert(filling_.end(), piece.begin(), piece.end());
        bytes = bytes.subspan(taken);
        if (filling_.size() == kBlockSize) HandOver();
    }
}

void BackgroundSha256::HandOver() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return waiting_.size() < kMostWaiting; });
    waiting_.push_back(std::move(filling_));
    filling_.clear();
    if (!spare_.empty()) {
        filling_ = std::move(spare_.back());
        spare_.pop_back();
    }
    changed_.notify_all();
}

void BackgroundSha256::Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return ending_ || !waiting_.empty(); });
        if (waiting_.empty()) return;
        Block block = std::move(waiting_.front());
        waiting_.pop_front();
        lock.unlock();
        sha_.Update(block);
        block.clear();
        lock.lock();
        // Kept for the next block, unless the caller holds enough already.
        if (spare_.size() < kMostWaiting) spare_.push_back(std::move(block));
        changed_.notify_all();
    }
}

void BackgroundSha256::Stop() {
    if (!worker_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        ending_ = true;
    }
    changed_.notify_all();
    worker_.join();
}

Sha256Digest BackgroundSha256::Finish() {
    if (worker_.joinable()) {
        if (!filling_.empty()) HandOver();
        Stop();  // the thread digests every waiting block before it ends
    }
    return sha_.Finish();
}

}  // namespace sorrelwick::format
