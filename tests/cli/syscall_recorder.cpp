// Preloaded into sorrelwick-cli by the durability test: records, in order,
// every flush to storage and every move the program asks of the system, one
// line each, into the file named by SORRELWICK_SYSCALL_LOG, then does the
// call. "fsync PATH" names the flushed file or folder; "rename FROM TO" and
// "link FROM TO" the moves.

#include <dlfcn.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>

namespace {

void Record(const std::string& line) {
    const char* log = getenv("SORRELWICK_SYSCALL_LOG");
    if (!log) return;
    const int fd = open(log, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return;
    const std::string text = line + "\n";
    // A line that could not be written shows as missing.
    [[maybe_unused]] const ssize_t written = write(fd, text.data(), text.size());
    close(fd);
}

std::string PathOf(int fd) {
    char path[4096];
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t length = readlink(link.c_str(), path, sizeof path - 1);
    return length < 0 ? "?" : std::string(path, static_cast<std::size_t>(length));
}

template <typename Function>
Function Next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" {

int fsync(int fd) {
    Record("fsync " + PathOf(fd));
    return Next<int (*)(int)>("fsync")(fd);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
    Record(std::string("rename ") + from + " " + to);
    return Next<int (*)(int, const char*, int, const char*, unsigned)>("renameat2")(
        fromDir, from, toDir, to, flags);
}

int rename(const char* from, const char* to) {
    Record(std::string("rename ") + from + " " + to);
    return Next<int (*)(const char*, const char*)>("rename")(from, to);
}

int link(const char* from, const char* to) {
    Record(std::string("link ") + from + " " + to);
    return Next<int (*)(const char*, const char*)>("link")(from, to);
}

}  // extern "C"
