#include "support/recording_job.h"

#include "generators/chess_set_builder.h"
#include "generators/tga_builder.h"
#include "report/lines.h"

namespace sorrelwick::test {
namespace {

const std::vector<std::uint8_t> kGrowth = {0xEE, 0xEE, 0xEE, 0xEE};

std::vector<std::uint8_t> Grown(std::vector<std::uint8_t> payload) {
    payload.insert(payload.end(), kGrowth.begin(), kGrowth.end());
    return payload;
}

}  // namespace

std::string ChunkLine(int number) {
    return "  chunk " + std::to_string(number);
}

operations::RewriteJob RecordingJob::Job() {
    operations::RewriteJob job;
    job.prepare = [this](operations::GuardedRewrite&) { return prepareFailure; };
    job.chunkStep = [this](operations::GuardedRewrite& rewrite, const format::Chunk& chunk) {
        ++chunksSeen;
        rewrite.log.AppendLine(ChunkLine(chunksSeen));
        if (chunksSeen == failAtChunk) operations::FailRewrite(rewrite, failMessage);
        if (!growTextures || chunk.header.kind != format::kTextureImageChunk) {
            operations::WriteChunk(rewrite, chunk.header, chunk.payload);
            return;
        }
        const std::vector<std::uint8_t> payload =
            Grown({chunk.payload.begin(), chunk.payload.end()});
        format::ChunkHeader header = chunk.header;
        header.length = static_cast<std::uint32_t>(payload.size());
        operations::WriteChunk(rewrite, header, payload);
    };
    job.cleanUp = [this](report::ReportLog& log) {
        ++cleanUps;
        log.AppendLine(kCleanUpLine);
    };
    job.successLine = successLine;
    return job;
}

std::vector<std::uint8_t> MultiChunkSet(bool grown) {
    const auto wood = gen::MakeTga(4, 4, 24);
    const auto marble = gen::MakeTga(2, 2, 32, {10, 20, 30, 40});
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

RewriteRun RunRewrite(const std::string& setPath, RecordingJob& job) {
    ToolState state;
    SetLoadedSet(state, setPath);
    report::MemoryReportLog log;
    report::AddHeading(log, RewriteTitle(state.setName));
    RewriteRun run;
    run.result = operations::RunGuardedRewrite(state, job.Job(), log);
    run.lines = log.Lines();
    return run;
}

std::string RewriteTitle(const std::string& setName) {
    return "Rewriting " + setName;
}

}  // namespace sorrelwick::test
