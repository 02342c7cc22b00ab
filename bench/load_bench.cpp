// Loading the generated corpora into a tag list, next to the least a loader can do over the
// same files (open, fstat, one positioned read of the last 128 bytes, close), so the cost
// the tag list adds on top of the file system can be read off as a ratio; and the same load
// with each file's ID3v2 header read too, whose cost reads off against the plain one.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "support/corpus.h"
#include "tag/tag_list.h"

namespace ambrel::test {
namespace {

void SetCounters(benchmark::State& state, std::size_t files, int tagged) {
    state.counters["files"] = static_cast<double>(files);
    state.counters["tagged"] = tagged;
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(files));
}

void BM_LoadRaw(benchmark::State& state) {
    const auto& paths = WarmCorpusPaths(static_cast<int>(state.range(0)));
    int tagged = 0;
    for (auto _ : state) benchmark::DoNotOptimize(tagged = RawTagCount(paths));
    SetCounters(state, paths.size(), tagged);
}

void LoadTagList(benchmark::State& state, bool read_head) {
    const auto& paths = WarmCorpusPaths(static_cast<int>(state.range(0)));
    int tagged = 0;
    for (auto _ : state) {
        TTagList list;
        benchmark::DoNotOptimize(tagged = list.AddList(paths, read_head));
        state.PauseTiming();  // destroying the entries is no part of loading
        list.Clear();
        state.ResumeTiming();
    }
    SetCounters(state, paths.size(), tagged);
}

void BM_LoadTagList(benchmark::State& state) { LoadTagList(state, false); }
// The same load reading each file's ID3v2 header too, in the same open as its tag.
void BM_LoadTagListWithHeads(benchmark::State& state) { LoadTagList(state, true); }

BENCHMARK(BM_LoadRaw)->Arg(10000)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadTagList)->Arg(10000)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadTagListWithHeads)->Arg(10000)->Iterations(20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadRaw)->Arg(100000)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadTagList)->Arg(100000)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadTagListWithHeads)->Arg(100000)->Iterations(5)->Unit(benchmark::kMillisecond);

// Removing every other entry of a 100,000-entry list in one pass (the table's "remove
// selected lines"). The entries are made from a block in memory, so no file is read.
void BM_TagListDeleteHalf(benchmark::State& state) {
    constexpr int kEntries = 100000;
    TagBlock block{};
    std::memcpy(block.data(), "TAG", 3);
    std::vector<int> positions;
    for (int i = 0; i < kEntries; i += 2) positions.push_back(i);
    for (auto _ : state) {
        state.PauseTiming();
        TTagList list;
        for (int i = 0; i < kEntries; ++i)
            list.AddRead("/corpus/" + std::to_string(i) + ".mp3", block);
        state.ResumeTiming();
        benchmark::DoNotOptimize(list.DeletePositions(positions));
        state.PauseTiming();
        list.Clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_TagListDeleteHalf)->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ambrel::test
