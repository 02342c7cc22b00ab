// The file viewer's directory load over the 100,000-file corpus, through the search and the
// tag list to the rebuilt table, next to the least any loader must do over the same .mp3
// files (open, fstat, one positioned read of the last 128 bytes, close); the listing of
// one directory of 10,000 files with their tag status; and a save of one tag with that
// directory shown.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "errors/error_log.h"
#include "files/directory_browser.h"
#include "files/file_loader.h"
#include "files/file_viewer.h"
#include "platform/selectors.h"
#include "support/corpus.h"
#include "support/memory_report_view.h"
#include "support/memory_selectors.h"
#include "support/mp3_fixture.h"
#include "tag/tag_file.h"
#include "tag/tag_list.h"
#include "viewer/tag_viewer.h"

namespace ambrel::test {
namespace {

constexpr int kCorpusFiles = 100000;
constexpr int kFlatFiles = 10000;

void BM_FileViewerRawReader(benchmark::State& state) {
    const auto& paths = WarmCorpusPaths(kCorpusFiles);
    int tagged = 0;
    for (auto _ : state) benchmark::DoNotOptimize(tagged = RawTagCount(paths));
    state.counters["files"] = static_cast<double>(paths.size());
    state.counters["tagged"] = tagged;
}
BENCHMARK(BM_FileViewerRawReader)->Iterations(5)->Unit(benchmark::kMillisecond);

// "Load supported files in current directory" (LoadMode 0) and "Only files in directory
// where tag present" (LoadMode 1) over the corpus, with subdirectories, into a fresh tag
// list and table each time.
void BM_FileViewerLoadDirectory(benchmark::State& state) {
    WarmCorpusPaths(kCorpusFiles);
    TFileViewer viewer(BenchCorpus(kCorpusFiles));
    viewer.SetLoadMode(*LoadModeFromInt(static_cast<int>(state.range(0))));
    TErrorLog log(std::nullopt);
    int rows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto list = std::make_unique<TTagList>();
        auto table = std::make_unique<MemoryReportView>();
        TTagViewer tag_viewer(table.get(), list.get(), std::nullopt);
        tag_viewer.LayoutColumns();
        state.ResumeTiming();
        const int result = LoadDirectory(viewer, *list, tag_viewer, log, "*.*", true, true);
        if (result != 1) state.SkipWithError("the corpus could not be searched");
        rows = table->RowCount();
        state.PauseTiming();  // releasing the list and the rows is no part of the load
        table.reset();
        list.reset();
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
}
BENCHMARK(BM_FileViewerLoadDirectory)
    ->ArgName("mode")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

// One directory holding 10,000 MP3-like files (80% tagged), made once and reused.
const std::string& FlatDirectory() {
    static const std::string dir = [] {
        const std::string path = "/tmp/ambrel-bench-flat-" + std::to_string(kFlatFiles);
        const std::string marker = path + "/.complete";
        if (!std::filesystem::exists(marker)) {
            std::filesystem::create_directories(path);
            TagFields fields;
            fields.artist = "Artist";
            const auto tagged = MakeMp3Bytes(300, MakeBlock(fields));
            const auto plain = MakeMp3Bytes(300, std::nullopt);
            char name[64];
            for (int i = 0; i < kFlatFiles; ++i) {
                std::snprintf(name, sizeof name, "/track %05d.mp3", i);
                WriteBytes(path + name, i % 5 == 0 ? plain : tagged);
            }
            WriteBytes(marker, {});
        }
        return path;
    }();
    return dir;
}

// The file viewer's browser showing one directory, with the tag status and icons on.
struct ShownFolder {
    MemoryReportView directories, files;
    MemoryFilterSelector filter;
    MemoryDriveSelector drives;
    MemoryIconSource icons;
    TDirectoryBrowser browser;

    explicit ShownFolder(const std::string& dir) : browser(dir) {
        directories.AddColumn("Directories", 200);
        files.AddColumn("Files", 200);
        files.AddColumn("Tag", 60);
        AddFilterEntries(filter, kFileViewerFilterText);
        filter.SelectEntry(0);
        browser.AttachDriveSelector(&drives);
        browser.AttachFilterSelector(&filter);
        browser.AttachDirectoryList(&directories);
        browser.AttachFileList(&files);
        browser.AttachIconList(&icons);
    }
};

// Refresh (both lists, tag status shown, icons on) of the 10,000-file directory.
void BM_ListDirectory10k(benchmark::State& state) {
    ShownFolder shown(FlatDirectory());
    for (auto _ : state) {
        if (shown.browser.Refresh() != 1) state.SkipWithError("the directory could not be listed");
    }
    state.counters["rows"] = shown.files.RowCount();
}
BENCHMARK(BM_ListDirectory10k)->Iterations(10)->Unit(benchmark::kMillisecond);

// "Save tag" of one file while the 10,000-file directory is shown: the tag's write, then the
// file list following it, by listing the whole folder again (update 0, as it was done
// before) or by reading the saved file's row alone (update 1).
void BM_SaveOneTagWithFolderShown10k(benchmark::State& state) {
    const std::string& dir = FlatDirectory();
    const std::string path = dir + "/track 00001.mp3";
    const std::vector<uint8_t> original = ReadBytes(path);
    ShownFolder shown(dir);
    if (shown.browser.Refresh() != 1) state.SkipWithError("the directory could not be listed");
    TTagFile file(path);
    file.Load();
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        file.SetArtist(flip ? "Artist 2" : "Artist");
        if (file.Save() != 1) state.SkipWithError("the tag could not be written");
        if (state.range(0) == 0) {
            shown.browser.RefreshFiles();
        } else {
            shown.browser.UpdateFileRows({path});
        }
    }
    state.counters["rows"] = shown.files.RowCount();
    WriteBytes(path, original);  // the shared folder stays as it was made
}
BENCHMARK(BM_SaveOneTagWithFolderShown10k)
    ->ArgName("update")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(20)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ambrel::test
