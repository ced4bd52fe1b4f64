#pragma once
// SHA-256 of bytes that come piece by piece, worked out on a second thread
// while the caller goes on reading: the digest of a whole set then costs
// little more time than reading it does. The bytes are copied into blocks,
// a few of which wait at most; where no thread can be started, the bytes
// are digested as they come.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

#include "format/byte_fields.h"
#include "format/sha256.h"

namespace sorrelwick::format {

class BackgroundSha256 {
public:
    BackgroundSha256();
    // Stops the thread once the blocks waiting are digested; a digest not
    // finished is dropped.
    ~BackgroundSha256();
    BackgroundSha256(const BackgroundSha256&) = delete;
    BackgroundSha256& operator=(const BackgroundSha256&) = delete;

    // May throw std::bad_alloc.
    void Update(Bytes bytes);
    // The digest of every byte given; call once.
    Sha256Digest Finish();

private:
    using Block = std::vector<std::uint8_t>;
    // Hands the filled block to the thread, waiting while too many wait.
    void HandOver();
    void Work();
    void Stop();

    Sha256 sha_;  // the thread's while it runs
    Block filling_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Block> waiting_;
    std::vector<Block> spare_;
    bool ending_ = false;
    std::thread worker_;
};

}  // namespace sorrelwick::format
