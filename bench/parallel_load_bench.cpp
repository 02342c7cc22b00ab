// The threaded load of the generated 100,000-file tree, next to the least a reader can do
// over the same files (open, fstat, one positioned read of the last 128 bytes, close) in
// one process and in two processes that each take half of the files. Today's sequential
// search and load stands beside them.
//
// Run them together, interleaved, on a quiet machine:
//   build/release/bench/bench '--benchmark_filter=Raw100k|Load100k' --benchmark_repetitions=7
//       --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "files/file_viewer.h"
#include "files/parallel_load.h"
#include "support/corpus.h"
#include "tag/tag_list.h"

namespace ambrel::test {
namespace {

constexpr int kFiles = 100000;

void Report(benchmark::State& state, std::size_t files, int tagged) {
    state.counters["files"] = static_cast<double>(files);
    state.counters["tagged"] = tagged;
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(files));
}

// The raw reader over the files in a child process, whose count comes back through a pipe.
pid_t RawCountInChild(const std::vector<std::string>& files, int* pipe_out) {
    int ends[2];
    if (::pipe(ends) != 0) return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ends[0]);
        const int tagged = RawTagCount(files);
        const ssize_t put = ::write(ends[1], &tagged, sizeof tagged);
        ::_exit(put == sizeof tagged ? 0 : 1);
    }
    ::close(ends[1]);
    *pipe_out = ends[0];
    return child;
}

void BM_Raw100kOneProcess(benchmark::State& state) {
    const auto& files = WarmCorpusPaths(kFiles);
    int tagged = 0;
    for (auto _ : state) benchmark::DoNotOptimize(tagged = RawTagCount(files));
    Report(state, files.size(), tagged);
}

void BM_Raw100kTwoProcesses(benchmark::State& state) {
    const auto& files = WarmCorpusPaths(kFiles);
    const std::size_t half = files.size() / 2;
    const std::vector<std::string> first(files.begin(), files.begin() + half);
    const std::vector<std::string> second(files.begin() + half, files.end());
    int tagged = 0;
    for (auto _ : state) {
        int pipe_in = -1;
        const pid_t child = RawCountInChild(second, &pipe_in);
        if (child < 0) {
            state.SkipWithError("cannot start the second process");
            break;
        }
        tagged = RawTagCount(first);
        int theirs = 0;
        if (::read(pipe_in, &theirs, sizeof theirs) != sizeof theirs) theirs = -1;
        ::close(pipe_in);
        ::waitpid(child, nullptr, 0);
        tagged += theirs;
    }
    Report(state, files.size(), tagged);
}

// Today's "Load directory": the search, then the tag list reads each file.
void BM_Load100kSequential(benchmark::State& state) {
    const auto& files = WarmCorpusPaths(kFiles);
    const std::string& root = BenchCorpus(kFiles);
    int tagged = 0;
    for (auto _ : state) {
        TFileViewer viewer(root);
        std::vector<std::string> found;
        viewer.SearchFiles(&found, root, std::nullopt, false);
        TTagList list;
        tagged = list.AddList(found);
        state.PauseTiming();  // destroying the entries is no part of loading
        list.Clear();
        state.ResumeTiming();
    }
    Report(state, files.size(), tagged);
}

// The threaded load: the walk and the reads on their threads (range(0) readers, 0 for one
// per core), then, with range(1), the entries made on the calling thread as a window would;
// with range(2), each file's ID3v2 header read too.
void BM_Load100kThreaded(benchmark::State& state) {
    const auto& files = WarmCorpusPaths(kFiles);
    const std::string& root = BenchCorpus(kFiles);
    LoadOptions options;
    options.readers = static_cast<int>(state.range(0));
    options.read_head = state.range(2) != 0;
    const bool make_entries = state.range(1) != 0;
    int tagged = 0;
    for (auto _ : state) {
        LoadResult result = RunLoad(
            LoadRequest::Directory(root, std::nullopt, true, true, LoadMode::kAll), options);
        TTagList list;
        if (make_entries) tagged = AddFoundFiles(list, result.files);
        state.PauseTiming();
        if (!make_entries) tagged = AddFoundFiles(list, result.files);
        list.Clear();
        result = LoadResult{};
        state.ResumeTiming();
    }
    Report(state, files.size(), tagged);
}

BENCHMARK(BM_Raw100kOneProcess)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Raw100kTwoProcesses)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load100kSequential)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Load100kThreaded)
    ->ArgNames({"readers", "entries", "heads"})
    ->Args({0, 0, 0})
    ->Args({0, 1, 0})
    ->Args({1, 0, 0})
    ->Args({0, 1, 1})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ambrel::test
