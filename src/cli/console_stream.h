#pragma once
// A stream buffer for standard output or error when it is a console that
// takes wide text (Windows): what is written is kept until the stream is
// flushed, and then shown through the console's wide output whole, so that
// no character is split between two writes.

#include <cstdio>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>

#include "platform/console.h"

namespace sorrelwick::cli {

class ConsoleStreamBuffer final : public std::streambuf {
public:
    explicit ConsoleStreamBuffer(std::FILE* console) : console_(console) {}
    ~ConsoleStreamBuffer() override { sync(); }
    ConsoleStreamBuffer(const ConsoleStreamBuffer&) = delete;
    ConsoleStreamBuffer& operator=(const ConsoleStreamBuffer&) = delete;

protected:
    int_type overflow(int_type c) override {
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            pending_.push_back(traits_type::to_char_type(c));
        }
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* text, std::streamsize size) override {
        pending_.append(text, static_cast<std::size_t>(size));
        return size;
    }
    int sync() override {
        if (pending_.empty()) return 0;
        const bool written = platform::WriteToConsole(console_, pending_);
        pending_.clear();
        return written ? 0 : -1;
    }

private:
    std::FILE* console_;
    std::string pending_;
};

// While it lives, `stream` (standard output or error, behind `file`) shows
// its text through the console's wide output when `file` is such a console.
class ConsoleRedirect {
public:
    ConsoleRedirect(std::ostream& stream, std::FILE* file) : stream_(stream) {
        if (!platform::IsWideConsole(file)) return;
        buffer_.emplace(file);
        previous_ = stream_.rdbuf(&*buffer_);
    }
    ~ConsoleRedirect() {
        if (!previous_) return;
        stream_.flush();
        stream_.rdbuf(previous_);
    }
    ConsoleRedirect(const ConsoleRedirect&) = delete;
    ConsoleRedirect& operator=(const ConsoleRedirect&) = delete;

private:
    std::ostream& stream_;
    std::optional<ConsoleStreamBuffer> buffer_;
    std::streambuf* previous_ = nullptr;
};

}  // namespace sorrelwick::cli
