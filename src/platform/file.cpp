#include "platform/file.h"

#include <new>
#include <utility>

#include "platform/fault_seam.h"
#include "platform/file_system.h"

namespace sorrelwick::platform {

namespace {

// Small chunks come and go in their thousands: a larger buffer than stdio's
// default turns them into fewer, larger requests to the system. A buffer
// that can't be had leaves stdio's own.
constexpr std::size_t kStreamBufferSize = 64 * 1024;

}  // namespace

File::File(std::FILE* stream) : stream_(stream) {
    if (!stream_) return;
    detail::UseFromOneThread(stream_);
    buffer_.reset(new (std::nothrow) char[kStreamBufferSize]);
    if (buffer_ && std::setvbuf(stream_, buffer_.get(), _IOFBF, kStreamBufferSize) != 0) {
        buffer_.reset();
    }
}

File::~File() {
    Release();
}

File::File(File&& other) noexcept
    : stream_(std::exchange(other.stream_, nullptr)),
      buffer_(std::move(other.buffer_)),
      readFailed_(other.readFailed_),
      size_(other.size_),
      position_(other.position_) {}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Release();
        stream_ = std::exchange(other.stream_, nullptr);
        buffer_ = std::move(other.buffer_);
        readFailed_ = other.readFailed_;
        size_ = other.size_;
        position_ = other.position_;
    }
    return *this;
}

void File::Release() noexcept {
    if (stream_) std::fclose(std::exchange(stream_, nullptr));
}

File File::OpenForReading(const std::string& path) {
    if (ShouldFail(Operation::Open)) return File();
    File file(detail::OpenStreamForReading(path));
    if (file.stream_) file.size_ = detail::StreamSize(file.stream_);
    return file;
}

File File::CreateForWriting(const std::string& path) {
    if (ShouldFail(Operation::Open)) return File();
    return File(std::fopen(path.c_str(), "wb"));
}

File File::CreateNew(const std::string& path, CreateOutcome& outcome) {
    outcome = CreateOutcome::Failed;
    if (ShouldFail(Operation::Open)) return File();
    bool existed = false;
    File file(detail::OpenStreamExclusive(path, existed));
    if (file.stream_) {
        outcome = CreateOutcome::Created;
    } else if (existed) {
        outcome = CreateOutcome::AlreadyExists;
    }
    return file;
}

std::size_t File::Read(void* into, std::size_t size) {
    if (!stream_ || size == 0) return 0;
    if (ShouldFail(Operation::Read)) {
        readFailed_ = true;
        return 0;
    }
    const std::size_t got = std::fread(into, 1, size, stream_);
    position_ += got;
    if (got < size && std::ferror(stream_)) readFailed_ = true;
    return got;
}

bool File::Write(const void* from, std::size_t size) {
    if (!stream_) return false;
    if (size == 0) return true;
    if (ShouldFail(Operation::Write)) return false;
    return std::fwrite(from, 1, size, stream_) == size;
}

bool File::Flush() {
    if (!stream_) return false;
    if (ShouldFail(Operation::Flush)) return false;
    return std::fflush(stream_) == 0 && detail::SyncToStorage(stream_);
}

void File::StartFlushing() {
    if (stream_) detail::StartWritingToStorage(stream_);
}

bool File::Close() {
    if (!stream_) return false;
    std::FILE* stream = std::exchange(stream_, nullptr);
    const bool injected = ShouldFail(Operation::Close);
    const bool closed = std::fclose(stream) == 0;
    buffer_.reset();
    return closed && !injected;
}

}  // namespace sorrelwick::platform
