#pragma once
// A RewriteJob of the tests' own. Its chunk step reports every chunk it is
// handed and its clean-up step reports itself, so a report shows where the
// frame ran them; it copies chunks unchanged or gives every texture image a
// longer payload.

#include <optional>
#include <string>
#include <vector>

#include "operations/guarded_rewrite.h"

namespace sorrelwick::test {

inline constexpr char kCleanUpLine[] = "  clean-up";
// "  chunk N", N counted from 1 in file order.
std::string ChunkLine(int number);

struct RecordingJob {
    bool growTextures = false;
    std::optional<std::string> prepareFailure{};
    int failAtChunk = 0;  // FailRewrite with failMessage on this chunk; 0: never
    std::string failMessage{};
    std::string successLine{};

    int chunksSeen = 0;
    int cleanUps = 0;

    // The job refers to this object, which must outlive the rewrite.
    operations::RewriteJob Job();
};

// A chess set of six chunks after the signature header: two textures, a
// chunk without payload, and a few chunks the rewrite passes over. With
// `grown`, as RecordingJob with growTextures writes it.
std::vector<std::uint8_t> MultiChunkSet(bool grown = false);
inline constexpr int kMultiChunkSetChunks = 6;

struct RewriteRun {
    bool result = false;
    std::vector<std::string> lines;
};

// Loads the set at `setPath`, adds a heading as the operations do, and runs
// the guarded rewrite with `job`.
RewriteRun RunRewrite(const std::string& setPath, RecordingJob& job);
// The heading's title for a set name.
std::string RewriteTitle(const std::string& setName);

}  // namespace sorrelwick::test
