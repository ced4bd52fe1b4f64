#pragma once
// What every fuzz target shares: a folder of its own for each run, a way to
// split the input, a chunk layout read straight from memory to judge the
// operations by, a report log that renders lines as the command line does,
// and Require, which aborts so that the fuzzer keeps the input.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "cli/stream_report_log.h"
#include "format/chunk.h"
#include "set_file/tool_state.h"
#include "report/report_log.h"

namespace sorrelwick::fuzz {

using Bytes = std::vector<std::uint8_t>;
using ByteView = std::span<const std::uint8_t>;

// Prints `broken` and aborts unless `holds`.
void Require(bool holds, const char* broken);

// The 4-byte little-endian number at `at`.
std::uint32_t Word(ByteView bytes, std::size_t at);

// The input split in two at a 4-byte little-endian length prefix: `first`
// holds up to that many bytes after the prefix, `second` the rest.
struct InputParts {
    ByteView first, second;
};
InputParts SplitInput(ByteView input);

// A chess set as held in memory, split into chunks without the tool's code.
struct ChunkView {
    format::ChunkHeader header;
    ByteView payload;
};
struct SetLayout {
    bool whole = false;  // a signature of length 0, then chunks up to a fragment of under 12 bytes
    std::vector<ChunkView> chunks;  // complete chunks after the signature
};
SetLayout ReadLayout(ByteView bytes);

// Every file (with its bytes) and folder ("name/") below a folder, by path
// relative to it.
using Tree = std::map<std::string, Bytes>;
// Whether `tree` has the file `path` with exactly `bytes`.
bool Holds(const Tree& tree, const std::string& path, ByteView bytes);

// Checks a rewrite that succeeded: the backup holds the original, and the
// new set at `set` has the original's signature and, one for one, chunks of
// the same kinds and variants, each of which `checkChunk` then judges. Puts
// the original back at `set` and drops the backup, so that `after` can be
// compared with the folder as it was.
using ChunkCheck = std::function<void(const ChunkView& was, const ChunkView& now)>;
void TakeBackRewrite(Tree& after, const std::string& set, const std::string& backup,
                     ByteView original, const ChunkCheck& checkChunk);

// The run's folder "work", made to hold exactly `files` for each run (by
// name inside "work", with the folders they name), inside a folder of this
// process's own that nothing else touches, so that a file written beside
// "work" shows as well. That folder is on a memory file system where there
// is one.
class RunFolder {
public:
    explicit RunFolder(const std::map<std::string, ByteView>& files);
    // `name` inside "work", with the platform's separator.
    std::string Path(const std::string& name) const;
    // "work" and everything beside it; paths start with "work/".
    Tree Snapshot() const;
    // The snapshot of the folder once the files were written.
    const Tree& Before() const { return before_; }
    // The loaded chess set "work/<name>".
    ToolState LoadSet(const std::string& name) const;

private:
    Tree before_;
};

// Keeps the lines, and renders them as the command line prints them.
class CheckedLog final : public report::ReportLog {
public:
    void AppendLine(std::string_view line) override;
    const std::vector<std::string>& Lines() const { return lines_; }
    // The lines that end with `outcome`.
    std::size_t CountEndingWith(std::string_view outcome) const;
    // Each line printed as one output line without control bytes.
    void RequireOneLinePerLine() const;

private:
    std::vector<std::string> lines_;
    std::ostringstream rendered_;
    cli::StreamReportLog printed_{rendered_, false};
};

}  // namespace sorrelwick::fuzz
