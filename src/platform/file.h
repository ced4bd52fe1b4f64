#pragma once
// Buffered binary file streams with checked reads, writes and closes.
// Every open, read, write and close asks the fault seam first.
//
// A chess set can hold millions of chunks of a few dozen bytes, each read
// and written as a header and a payload. So the file keeps its own buffer
// and serves such small requests inline, with one copy; only a request that
// the buffer can't serve, and every request while a fault plan is armed,
// takes the checked path through the C library.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include "platform/fault_seam.h"
#include "platform/system_error.h"

namespace sorrelwick::platform {

struct KeptAttributes;

class File {
public:
    File() = default;
    // A stream still open here is closed without a check: only early exits
    // that have already failed rely on this.
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // Mode "rb". Only a regular file is opened: a folder, a pipe or a device
    // is refused at once, so that nothing can keep the open waiting.
    static File OpenForReading(const std::string& path);
    // Mode "wb": creates the file or empties an existing one.
    static File CreateForWriting(const std::string& path);

    enum class CreateOutcome { Created, AlreadyExists, Failed };
    // Creates a file that must not exist yet; never touches an existing one.
    // With `ownerOnly` no one else may read it (POSIX 0600) until it is given
    // other attributes.
    static File CreateNew(const std::string& path, CreateOutcome& outcome, bool ownerOnly = false);

    bool IsOpen() const { return stream_ != nullptr; }

    // The system's cause of this file's latest failed open, read, write,
    // flush or close; none while nothing failed, or when the failure had no
    // system cause (a read that met the end of the file).
    SystemError LastError() const { return lastError_; }

    // Reads up to `size` bytes and returns how many were read. Fewer than
    // asked means the end of the file or an error; ReadFailed() tells which.
    std::size_t Read(void* into, std::size_t size) {
        if (size != 0 && size <= static_cast<std::size_t>(readEnd_ - readNext_) &&
            !detail::faultArmed) {
            std::memcpy(into, readNext_, size);
            readNext_ += size;
            position_ += size;
            return size;
        }
        return ReadThroughStream(into, size);
    }
    bool ReadFailed() const { return readFailed_; }
    // The next `size` bytes where the buffer holds them, for a reader that
    // takes them in place and then calls Consume; null when the buffer
    // holds fewer, or a fault plan is armed (every read must then ask the
    // seam): Read them instead.
    const std::uint8_t* Buffered(std::size_t size) const {
        if (size > static_cast<std::size_t>(readEnd_ - readNext_) || detail::faultArmed)
            return nullptr;
        return readNext_;
    }
    // Counts `size` bytes that Buffered gave as read.
    void Consume(std::size_t size) {
        readNext_ += size;
        position_ += size;
    }

    // Moves the read position to `offset` bytes from the start, so that a
    // walk can pass over payloads it does not need; false when the system
    // refused (the position is then unknown and reads should stop).
    bool SeekTo(std::uint64_t offset);
    // Bytes read (or passed over) since the start of the file.
    std::uint64_t Position() const { return position_; }

    // Writes all `size` bytes with one request; false when any is not written.
    // Bytes kept in the buffer reach the system by the next request that
    // doesn't fit, a Flush or the Close, whose results include them.
    bool Write(const void* from, std::size_t size) {
        if (size != 0 && size <= writeRoom_ && !detail::faultArmed) {
            std::memcpy(buffer_.get() + writeUsed_, from, size);
            writeUsed_ += size;
            writeRoom_ -= size;
            return true;
        }
        return WriteThroughStream(from, size);
    }

    // Pushes everything written so far to stable storage: the stream's buffer
    // to the system, then the system's cache to the device, so that a file
    // renamed afterwards is never found empty or cut short after a crash.
    // False when either step failed.
    bool Flush();

    // A hint that the data written so far will be flushed: the system may
    // start writing what it already holds to the device, so that the work
    // overlaps the writing and the final Flush has less to wait for. It
    // can't fail; Flush reports any error.
    void StartFlushing();

    // Gives the open file the attributes kept from another (POSIX: owner,
    // group and permissions; nothing on Windows, where they are set once the
    // file has its name). False when the permissions could not be set.
    bool TakeAttributes(const KeptAttributes& kept);

    // Closes the stream; false when the close (or the final flush) failed.
    // The stream is closed in either case.
    bool Close();

    // Bytes left between the read position and the end of the file, when
    // the file's size could be measured when it was opened for reading.
    std::optional<std::uint64_t> Remaining() const {
        if (!size_) return std::nullopt;
        return *size_ >= position_ ? *size_ - position_ : 0;
    }

private:
    enum class Use { Reading, Writing };
    File(std::FILE* stream, Use use);
    // A file whose open failed for `error`.
    static File Unopened(SystemError error);
    // Notes the cause of the call that has just failed; returns false.
    bool Failed(SystemError error) {
        lastError_ = error;
        return false;
    }
    void Release() noexcept;
    std::size_t ReadThroughStream(void* into, std::size_t size);
    bool WriteThroughStream(const void* from, std::size_t size);
    // Hands the buffered bytes to the system; false when any is not taken.
    bool WriteOutBuffer();
    // Once the stream is closed: the buffer and its positions go.
    void DropBuffer() noexcept;

    std::FILE* stream_ = nullptr;  // unbuffered: the buffer below is the only one
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t capacity_ = 0;                // of buffer_; 0 when it couldn't be had
    const std::uint8_t* readNext_ = nullptr;  // reading: the unread bytes
    const std::uint8_t* readEnd_ = nullptr;
    std::size_t writeUsed_ = 0;  // writing: bytes waiting in the buffer
    std::size_t writeRoom_ = 0;  // and the room after them
    bool readFailed_ = false;
    SystemError lastError_{};
    bool justSeeked_ = false;  // the next fill of the buffer follows a seek
    std::optional<std::uint64_t> size_;
    std::uint64_t position_ = 0;
};

}  // namespace sorrelwick::platform
