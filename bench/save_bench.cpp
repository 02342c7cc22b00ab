// Writing the tags of 10,000 files (each tag changed, so every file is written), next to the
// least a tag writer can do per file (open, fstat, a positioned read of the last 128 bytes,
// a positioned write of 128 bytes, close): the cost a save adds on top of the file system
// reads off as a ratio. Once as the command line saves (no history), once as "Save all"
// saves, with the undo history reading each file's end before and after.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "history/batch_history.h"
#include "history/save_batch.h"
#include "support/mp3_fixture.h"
#include "tag/tag_list.h"

namespace ambrel::test {
namespace {

constexpr int kFiles = 10000;

// The tagged files the benchmarks write, made once per run in a folder of their own (the
// shared corpus is read by the load benchmarks and must not change under them).
const std::vector<std::string>& SaveFiles() {
    static TempDir dir;
    static const std::vector<std::string> paths = [] {
        std::vector<std::string> made;
        TagFields fields;
        fields.artist = "Artist";
        fields.title = "Title";
        for (int i = 0; i < kFiles; ++i)
            made.push_back(
                WriteMp3(dir / ("song" + std::to_string(i) + ".mp3"), 3000, MakeBlock(fields)));
        return made;
    }();
    return paths;
}

void BM_SaveRaw10k(benchmark::State& state) {
    const std::vector<std::string>& paths = SaveFiles();
    uint8_t block[128];
    for (auto _ : state) {
        for (const std::string& path : paths) {
            const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
            struct stat st;
            if (fd < 0 || ::fstat(fd, &st) != 0 || ::pread(fd, block, 128, st.st_size - 128) != 128)
                std::abort();
            block[40] ^= 1;  // a byte of the artist
            if (::pwrite(fd, block, 128, st.st_size - 128) != 128) std::abort();
            ::close(fd);
        }
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}

// Every entry gets another artist, then the list is saved.
void SaveAllOnce(TTagList& list, int round, SaveWatcher* watcher) {
    const std::string artist = round % 2 == 0 ? "Other" : "Artist";
    for (int i = 0; i < list.Count(); ++i) list.Get(i)->SetArtist(artist);
    if (list.SaveModified(watcher).failed.size() != 0) std::abort();
}

void BM_SaveTagList10k(benchmark::State& state) {
    TTagList list;
    list.AddList(SaveFiles());
    int round = 0;
    for (auto _ : state) SaveAllOnce(list, round++, nullptr);
    state.SetItemsProcessed(state.iterations() * kFiles);
}

void BM_SaveTagListWithHistory10k(benchmark::State& state) {
    TTagList list;
    list.AddList(SaveFiles());
    TBatchHistory history;
    int round = 0;
    for (auto _ : state) {
        SaveRecorder record(&history);
        SaveAllOnce(list, round++, &record);
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}

BENCHMARK(BM_SaveRaw10k)->Iterations(6)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveTagList10k)->Iterations(6)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveTagListWithHistory10k)->Iterations(6)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ambrel::test
