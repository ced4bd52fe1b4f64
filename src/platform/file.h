#pragma once
// Buffered binary file streams with checked reads, writes and closes.
// Every open, read, write and close asks the fault seam first.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace sorrelwick::platform {

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

    // Mode "rb". Fails for a folder, as on Windows.
    static File OpenForReading(const std::string& path);
    // Mode "wb": creates the file or empties an existing one.
    static File CreateForWriting(const std::string& path);

    enum class CreateOutcome { Created, AlreadyExists, Failed };
    // Creates a file that must not exist yet; never touches an existing one.
    static File CreateNew(const std::string& path, CreateOutcome& outcome);

    bool IsOpen() const { return stream_ != nullptr; }

    // Reads up to `size` bytes and returns how many were read. Fewer than
    // asked means the end of the file or an error; ReadFailed() tells which.
    std::size_t Read(void* into, std::size_t size);
    bool ReadFailed() const { return readFailed_; }

    // Writes all `size` bytes with one request; false when any is not written.
    bool Write(const void* from, std::size_t size);

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
    explicit File(std::FILE* stream);
    void Release() noexcept;

    std::FILE* stream_ = nullptr;
    std::unique_ptr<char[]> buffer_;  // the stream's buffer; outlives the stream
    bool readFailed_ = false;
    std::optional<std::uint64_t> size_;
    std::uint64_t position_ = 0;
};

}  // namespace sorrelwick::platform
