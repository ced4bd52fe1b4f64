// Classification of a set with a million objects and materials, next to a
// plain walk of the same file: the pass should cost about what reading does.

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "generators/chess_set_builder.h"
#include "set_file/set_file_walk.h"
#include "specular/classification.h"

namespace sorrelwick {
namespace {

constexpr std::uint32_t kObjects = 1'000'000;
const char* const kNames[] = {"PawnW", "R_KingB", "SField12", "Lamp"};

enum Layout : int {
    kInterleaved = 0,   // each object chunk directly followed by its name chunk
    kObjectsFirst = 1,  // every object chunk, then every name chunk, newest last
};

// The set as a file, written once per layout and removed at exit.
class GeneratedSet {
  public:
    explicit GeneratedSet(Layout layout) {
        path_ = (std::filesystem::temp_directory_path() /
                 ("sorrelwick-bench-" +
                  std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) +
                  "-" + std::to_string(static_cast<int>(layout)) + "_set.DAT"))
                    .string();
        gen::ChessSetBuilder set;
        set.Signature();
        for (std::uint32_t i = 0; i < kObjects; ++i) {
            set.Material({i, 0x4D}, "", 100, 100);
        }
        for (std::uint32_t i = 0; i < kObjects; ++i) {
            set.Object({i, 1}, {{i, 0x4D}});
            if (layout == kInterleaved) set.ObjectName({i, 1}, kNames[i % 4]);
        }
        for (std::uint32_t i = kObjects; layout == kObjectsFirst && i-- > 0;) {
            set.ObjectName({i, 1}, kNames[i % 4]);
        }
        set.WriteTo(path_);
        bytes_ = set.Bytes().size();
        SetLoadedSet(state_, path_);
    }
    ~GeneratedSet() { std::filesystem::remove(path_); }

    const ToolState& State() const { return state_; }
    std::size_t Bytes() const { return bytes_; }

  private:
    std::string path_;
    std::size_t bytes_ = 0;
    ToolState state_;
};

const GeneratedSet& SetOf(Layout layout) {
    static const GeneratedSet interleaved(kInterleaved);
    static const GeneratedSet objectsFirst(kObjectsFirst);
    return layout == kInterleaved ? interleaved : objectsFirst;
}

class NoReport final : public report::ReportLog {
  public:
    void AppendLine(std::string_view) override {}
};

void Count(benchmark::State& run, const GeneratedSet& set) {
    run.SetBytesProcessed(static_cast<std::int64_t>(run.iterations()) *
                          static_cast<std::int64_t>(set.Bytes()));
    run.counters["chunks"] = 3.0 * kObjects;
}

void PlainWalk(benchmark::State& run) {
    const GeneratedSet& set = SetOf(static_cast<Layout>(run.range(0)));
    NoReport log;
    for (auto _ : run) {
        std::size_t chunks = 0;
        const bool ok = set_file::WalkSetFile(
            set.State().setPath, set.State().setName, log,
            [&chunks](format::ChunkWalk&, const format::Chunk&) { ++chunks; });
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(chunks);
    }
    Count(run, set);
}

void Classify(benchmark::State& run) {
    const GeneratedSet& set = SetOf(static_cast<Layout>(run.range(0)));
    NoReport log;
    for (auto _ : run) {
        specular::MaterialClassTable classes;
        if (!specular::ClassifyMaterials(set.State(), log, classes)) {
            run.SkipWithError("classification failed");
        }
        // Three of the four names are recognised.
        if (classes.Size() != kObjects / 4 * 3) run.SkipWithError("wrong classes");
        benchmark::DoNotOptimize(classes);
    }
    Count(run, set);
}

BENCHMARK(PlainWalk)->Arg(kInterleaved)->Arg(kObjectsFirst)->Unit(benchmark::kMillisecond);
BENCHMARK(Classify)->Arg(kInterleaved)->Arg(kObjectsFirst)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace sorrelwick

BENCHMARK_MAIN();
