#pragma once
// A RewriteJob and chunk step of the tests' own. Its chunk step reports every chunk it is
// handed and its clean-up step reports itself, so a report shows where the
// frame ran them; it copies chunks unchanged or gives every texture image a
// longer payload.

#include <functional>
#include <optional>
#include <string>

#include "backup/guarded_rewrite.h"
#include "support/set_fixture.h"

namespace sorrelwick::test {

inline constexpr char kCleanUpLine[] = "  clean-up";

struct RecordingJob {
    bool growTextures = false;
    std::optional<std::string> prepareFailure{};
    int failAtChunk = 0;  // FailRewrite with failMessage on this chunk; 0: never
    std::string failMessage{};
    int wrongLengthAtChunk = 0;  // writes this chunk's header one byte too long
    int throwAtChunk = 0;        // throws std::bad_alloc on this chunk
    std::string sourcePath{};    // empty: the rotated backup

    int chunksSeen = 0;
    int cleanUps = 0;

    // The job and the step refer to this object, which must outlive the
    // rewrite.
    backup::RewriteJob Job();
    std::function<void(backup::GuardedRewrite&, const format::Chunk&)> Step();
};

// "  chunk 1" to "  chunk count" as the job reports them, then `rest`.
Lines Chunks(int count, const Lines& rest = {});

// A chess set of six chunks after the signature header: two textures, a
// chunk without payload, and a few chunks the rewrite passes over. With
// `grown`, as RecordingJob with growTextures writes it.
Bytes MultiChunkSet(bool grown = false);
inline constexpr int kMultiChunkSetChunks = 6;

// Adds the heading "Rewriting <set name>" as the operations do, then runs the
// guarded rewrite of the folder's set with `job`.
bool RunRewrite(SetFolder& folder, RecordingJob& job);

}  // namespace sorrelwick::test
