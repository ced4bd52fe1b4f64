#include "support/recording_job.h"

#include <new>

#include "generators/tga_builder.h"
#include "report/lines.h"

namespace sorrelwick::test {
namespace {

Bytes Grown(Bytes payload) {
    payload.insert(payload.end(), {0xEE, 0xEE, 0xEE, 0xEE});
    return payload;
}

}  // namespace

backup::RewriteJob RecordingJob::Job() {
    backup::RewriteJob job;
    job.prepare = [this](backup::GuardedRewrite&) { return prepareFailure; };
    job.cleanUp = [this](report::ReportLog& log) {
        ++cleanUps;
        log.AppendLine(kCleanUpLine);
    };
    job.sourcePath = sourcePath;
    return job;
}

std::function<void(backup::GuardedRewrite&, const format::Chunk&)> RecordingJob::Step() {
    return [this](backup::GuardedRewrite& rewrite, const format::Chunk& chunk) {
        rewrite.log.AppendLine("  chunk " + std::to_string(++chunksSeen));
        if (chunksSeen == failAtChunk) backup::FailRewrite(rewrite, failMessage);
        if (chunksSeen == throwAtChunk) throw std::bad_alloc();
        Bytes payload(chunk.payload.begin(), chunk.payload.end());
        if (growTextures && chunk.header.kind == format::kTextureImageChunk)
            payload = Grown(payload);
        format::ChunkHeader header = chunk.header;
        header.length =
            static_cast<std::uint32_t>(payload.size()) + (chunksSeen == wrongLengthAtChunk);
        backup::WriteChunk(rewrite, header, payload);
    };
}

Lines Chunks(int count, const Lines& rest) {
    Lines lines;
    for (int n = 1; n <= count; ++n) lines.push_back("  chunk " + std::to_string(n));
    lines.insert(lines.end(), rest.begin(), rest.end());
    return lines;
}

Bytes MultiChunkSet(bool grown) {
    const Bytes wood = gen::MakeTga(4, 4, 24);
    const Bytes marble = gen::MakeTga(2, 2, 32, {10, 20, 30, 40});
    return gen::ChessSetBuilder()
        .Signature(0x00C0FFEE)
        .Material({1, 2}, "wood.tga", 40, 60)
        .TextureImage(grown ? Grown(wood) : wood)
        .Chunk(77, 5, {})
        .ObjectName({3, 4}, "WhiteKing")
        .TextureReference("marble.tga")
        .TextureImage(grown ? Grown(marble) : marble)
        .Bytes();
}

bool RunRewrite(SetFolder& folder, RecordingJob& job) {
    report::AddHeading(folder.log, "Rewriting " + folder.state.setName);
    return backup::RunGuardedRewrite(folder.state, job.Job(), folder.log, job.Step());
}

}  // namespace sorrelwick::test
