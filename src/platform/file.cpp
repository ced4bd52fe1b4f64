#include "platform/file.h"

#include <algorithm>
#include <new>
#include <utility>

#include "platform/fault_seam.h"
#include "platform/file_system.h"

namespace sorrelwick::platform {

namespace {

// Small chunks come and go in their thousands: a buffer this size turns them
// into few, large requests to the system. A request at least this long goes
// to the system directly.
constexpr std::size_t kBufferSize = 64 * 1024;
// What is read into the buffer right after a seek.
constexpr std::size_t kFillAfterSeek = 4 * 1024;

}  // namespace

File::File(std::FILE* stream, Use use) : stream_(stream) {
    if (!stream_) {
        lastError_ = CaptureSystemError();
        return;
    }
    detail::UseFromOneThread(stream_);
    // Without a buffer of its own the file leaves the C library's in place.
    buffer_.reset(new (std::nothrow) std::uint8_t[kBufferSize]);
    if (!buffer_ || std::setvbuf(stream_, nullptr, _IONBF, 0) != 0) {
        buffer_.reset();
        return;
    }
    capacity_ = kBufferSize;
    if (use == Use::Writing) writeRoom_ = capacity_;
}

File::~File() {
    Release();
}

File::File(File&& other) noexcept {
    *this = std::move(other);
}

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Release();
        stream_ = std::exchange(other.stream_, nullptr);
        buffer_ = std::move(other.buffer_);
        capacity_ = std::exchange(other.capacity_, 0);
        readNext_ = std::exchange(other.readNext_, nullptr);
        readEnd_ = std::exchange(other.readEnd_, nullptr);
        writeUsed_ = std::exchange(other.writeUsed_, 0);
        writeRoom_ = std::exchange(other.writeRoom_, 0);
        readFailed_ = other.readFailed_;
        lastError_ = other.lastError_;
        justSeeked_ = other.justSeeked_;
        size_ = other.size_;
        position_ = other.position_;
    }
    return *this;
}

void File::Release() noexcept {
    if (!stream_) return;
    // Closed without a check, as a stream would be: the buffered bytes
    // still go out first.
    WriteOutBuffer();
    std::fclose(std::exchange(stream_, nullptr));
    DropBuffer();
}

void File::DropBuffer() noexcept {
    buffer_.reset();
    capacity_ = writeUsed_ = writeRoom_ = 0;
    readNext_ = readEnd_ = nullptr;
}

File File::Unopened(SystemError error) {
    File file;
    file.lastError_ = error;
    return file;
}

File File::OpenForReading(const std::string& path) {
    if (ShouldFail(Operation::Open)) return Unopened(InjectedError());
    detail::ForgetSystemError();
    File file(detail::OpenStreamForReading(path), Use::Reading);
    if (file.stream_) file.size_ = detail::StreamSize(file.stream_);
    return file;
}

File File::CreateForWriting(const std::string& path) {
    if (ShouldFail(Operation::Open)) return Unopened(InjectedError());
    detail::ForgetSystemError();
    return File(detail::OpenStreamForWriting(path), Use::Writing);
}

File File::CreateNew(const std::string& path, CreateOutcome& outcome, bool ownerOnly) {
    outcome = CreateOutcome::Failed;
    if (ShouldFail(Operation::Open)) return Unopened(InjectedError());
    detail::ForgetSystemError();
    bool existed = false;
    File file(detail::OpenStreamExclusive(path, ownerOnly, existed), Use::Writing);
    if (file.stream_) {
        outcome = CreateOutcome::Created;
    } else if (existed) {
        outcome = CreateOutcome::AlreadyExists;
    }
    return file;
}

bool File::SeekTo(std::uint64_t offset) {
    if (!stream_) return false;
    if (ShouldFail(Operation::Read)) return Failed(InjectedError());
    // A position within the buffered bytes needs no call to the system.
    if (offset >= position_ &&
        offset - position_ <= static_cast<std::uint64_t>(readEnd_ - readNext_)) {
        readNext_ += offset - position_;
        position_ = offset;
        return true;
    }
    readNext_ = readEnd_ = nullptr;  // the buffered bytes were from elsewhere
    justSeeked_ = true;
#ifdef _WIN32
    const bool moved = _fseeki64(stream_, static_cast<long long>(offset), SEEK_SET) == 0;
#else
    const bool moved = fseeko(stream_, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
    if (!moved) return Failed(CaptureSystemError());
    position_ = offset;
    return true;
}

std::size_t File::ReadThroughStream(void* into, std::size_t size) {
    if (!stream_ || size == 0) return 0;
    if (ShouldFail(Operation::Read)) {
        readFailed_ = true;
        Failed(InjectedError());
        return 0;
    }
    detail::ForgetSystemError();
    auto* out = static_cast<std::uint8_t*>(into);
    std::size_t got = std::min(size, static_cast<std::size_t>(readEnd_ - readNext_));
    if (got != 0) {
        std::memcpy(out, readNext_, got);
        readNext_ += got;
    }
    if (got < size && size - got >= capacity_) {
        // A long request skips the buffer: one copy, straight from the system.
        got += std::fread(out + got, 1, size - got, stream_);
    } else if (got < size) {
        // Right after a seek the walk reads a few headers and moves on again:
        // a small fill serves it without reading what it passes over.
        const std::size_t fill = std::exchange(justSeeked_, false)
                                     ? std::min(capacity_, std::max(size - got, kFillAfterSeek))
                                     : capacity_;
        const std::size_t filled = std::fread(buffer_.get(), 1, fill, stream_);
        const std::size_t taken = std::min(size - got, filled);
        std::memcpy(out + got, buffer_.get(), taken);
        readNext_ = buffer_.get() + taken;
        readEnd_ = buffer_.get() + filled;
        got += taken;
    }
    position_ += got;
    if (got < size && std::ferror(stream_)) {
        readFailed_ = true;
        Failed(CaptureSystemError());
    }
    return got;
}

bool File::WriteThroughStream(const void* from, std::size_t size) {
    if (!stream_) return false;
    if (size == 0) return true;
    if (ShouldFail(Operation::Write)) return Failed(InjectedError());
    if (size <= writeRoom_) {
        std::memcpy(buffer_.get() + writeUsed_, from, size);
        writeUsed_ += size;
        writeRoom_ -= size;
        return true;
    }
    if (!WriteOutBuffer()) return false;
    if (size < capacity_) {
        std::memcpy(buffer_.get(), from, size);
        writeUsed_ = size;
        writeRoom_ = capacity_ - size;
        return true;
    }
    detail::ForgetSystemError();
    return std::fwrite(from, 1, size, stream_) == size || Failed(CaptureSystemError());
}

bool File::WriteOutBuffer() {
    if (writeUsed_ == 0) return true;
    const std::size_t used = std::exchange(writeUsed_, 0);
    writeRoom_ = capacity_;
    detail::ForgetSystemError();
    return std::fwrite(buffer_.get(), 1, used, stream_) == used || Failed(CaptureSystemError());
}

bool File::Flush() {
    if (!stream_) return false;
    if (ShouldFail(Operation::Flush)) return Failed(InjectedError());
    if (!WriteOutBuffer()) return false;
    detail::ForgetSystemError();
    return (std::fflush(stream_) == 0 && detail::SyncToStorage(stream_)) ||
           Failed(CaptureSystemError());
}

void File::StartFlushing() {
    if (stream_) detail::StartWritingToStorage(stream_);
}

bool File::TakeAttributes(const KeptAttributes& kept) {
    if (!stream_) return false;
    if (ShouldFail(Operation::Attributes)) return Failed(InjectedError());
    detail::ForgetSystemError();
    return detail::ApplyAttributesToStream(stream_, kept) || Failed(CaptureSystemError());
}

bool File::Close() {
    if (!stream_) return false;
    const bool injected = ShouldFail(Operation::Close);
    const bool written = WriteOutBuffer();
    std::FILE* stream = std::exchange(stream_, nullptr);
    detail::ForgetSystemError();
    const bool closed = std::fclose(stream) == 0;
    // The first failure is the one the close reports.
    if (written && !closed) Failed(CaptureSystemError());
    if (written && closed && injected) Failed(InjectedError());
    DropBuffer();
    return written && closed && !injected;
}

}  // namespace sorrelwick::platform
