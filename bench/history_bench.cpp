// Safe batch work over 10,000 files: the preview of a rename run, and the undo of a rename
// run set next to the run itself (both through the library, each row drawn again in an
// in-memory table), so the undo's cost reads off as a ratio of the run's.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "actions/panel_commands.h"
#include "actions/templates.h"
#include "library/library.h"
#include "support/memory_report_view.h"
#include "support/mp3_fixture.h"
#include "viewer/tag_viewer.h"

namespace ambrel::test {
namespace {

constexpr int kFiles = 10000;
constexpr int kFilesPerDirectory = 1000;

// 10,000 tagged files named "file NNNNN.mp3" in ten directories, loaded into a library
// whose table has every row selected. Built once per run, removed at its end.
struct HistoryCorpus {
    TempDir dir;
    MemoryReportView table;
    Library library{nullptr};

    HistoryCorpus() {
        library.CreateModel(dir / "bin", &table);
        library.TagViewer()->LayoutColumns();
        std::vector<std::string> paths;
        char name[64];
        for (int i = 0; i < kFiles; ++i) {
            TagFields f;
            f.artist = "Artist " + std::to_string(i % 37);
            f.title = "Song " + std::to_string(i);
            f.track = i % kFilesPerDirectory % 200 + 1;
            std::snprintf(name, sizeof name, "d%02d/file %05d.mp3", i / kFilesPerDirectory, i);
            paths.push_back(WriteMp3(dir / name, 256, MakeBlock(f)));
        }
        library.AddFiles(paths);
        library.TagViewer()->SelectAll();
    }

    // Template 1 with the page's defaults: " - " between track, artist and title.
    static RenamePageState TemplateOne() {
        RenamePageState page;
        page.mask = BuildMask(1, page.separators.WordSeparator(), "");
        return page;
    }
    void Rename() {
        RunFileRename(*library.TagViewer(), *library.TagProcessor(), TemplateOne(), 2);
    }
};

HistoryCorpus& Corpus() {
    static HistoryCorpus corpus;
    return corpus;
}

void BM_PreviewFileRename(benchmark::State& state) {
    HistoryCorpus& c = Corpus();
    std::size_t rows = 0;
    for (auto _ : state) {
        rows = PreviewFileRename(*c.library.TagViewer(), *c.library.TagProcessor(),
                                 HistoryCorpus::TemplateOne(), 2)
                   .size();
    }
    state.counters["rows"] = static_cast<double>(rows);
}

void BM_RenameRun(benchmark::State& state) {
    HistoryCorpus& c = Corpus();
    for (auto _ : state) {
        c.Rename();
        state.PauseTiming();
        c.library.Undo();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}

void BM_UndoRenameRun(benchmark::State& state) {
    HistoryCorpus& c = Corpus();
    for (auto _ : state) {
        state.PauseTiming();
        c.Rename();
        state.ResumeTiming();
        c.library.Undo();
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}

BENCHMARK(BM_PreviewFileRename)->Iterations(10)->Unit(benchmark::kMillisecond);
// Alternated, so neither side always runs on a file system the other has just warmed.
BENCHMARK(BM_RenameRun)->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoRenameRun)->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenameRun)->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoRenameRun)->Iterations(10)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ambrel::test
