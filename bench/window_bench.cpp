// The main window with its real Qt table: dropping 10,000 files on it, loading the
// 100,000-file tree in the background with the longest wait of its event loop, rebuilding
// the rows of 100,000 loaded files, and the peak memory with 100,000 files loaded. Each
// rebuild includes the event loop turn that lays out and paints the visible rows.
// peak_MB is the process's peak resident size, so it speaks for the window alone only
// when run alone: bench --benchmark_filter=BM_WindowRebuildRows100k
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <array>
#include <memory>

#include "files/file_loader.h"
#include "library/library.h"
#include "support/corpus.h"
#include "tag/tag_list.h"
#include "ui/common/qt_prompter.h"
#include "ui/common/qt_report_view.h"
#include "ui/viewer/main_window.h"
#include "viewer/tag_viewer.h"

namespace ambrel::test {
namespace {

double PeakRssMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in kilobytes
}

// A shown main window (offscreen unless told otherwise) with the data it fills.
struct Window {
    ui::QtPrompter prompter;
    Library library{&prompter};
    ui::TForm1 form{library, prompter};

    Window() {
        form.resize(760, 900);
        form.show();
        QApplication::processEvents();
    }
};

// Runs the event loop until the library's load has been applied and the window has drawn
// its rows.
void AwaitLoad(Library& library) {
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!library.IsBusy()) loop.quit();
    });
    poll.start(1);
    loop.exec();
    QApplication::processEvents();
}

void BM_WindowDrop10kFiles(benchmark::State& state) {
    const std::vector<std::string> paths = CorpusPaths(BenchCorpus(10000));
    Window window;
    for (auto _ : state) {
        window.form.AddDroppedPaths(paths);
        AwaitLoad(window.library);
        state.PauseTiming();
        window.library.TagViewer()->DeleteAll();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["files"] = static_cast<double>(paths.size());
    state.SetItemsProcessed(state.iterations() * paths.size());
}
BENCHMARK(BM_WindowDrop10kFiles)->Unit(benchmark::kMillisecond);

// The floor for the drop: open, read the last 128 bytes, close, for the same files.
void BM_WindowDrop10kRawTailRead(benchmark::State& state) {
    const std::vector<std::string> paths = CorpusPaths(BenchCorpus(10000));
    for (auto _ : state) benchmark::DoNotOptimize(RawTagCount(paths));
    state.SetItemsProcessed(state.iterations() * paths.size());
}
BENCHMARK(BM_WindowDrop10kRawTailRead)->Unit(benchmark::kMillisecond);

// The file viewer's load of the whole 100,000-file tree, run through the main window as a
// user starts it: the reads in the background, the end applied on the window's thread. A
// timer ticking every 5 ms measures the longest the event loop went without turning
// (longest_wait_ms), from the start of the load to the first turn after its rows are drawn.
void BM_WindowLoad100kLongestWait(benchmark::State& state) {
    const std::string& root = BenchCorpus(100000);
    WarmCorpusPaths(100000);
    Window window;
    qint64 longest = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        qint64 last = 0;
        bool applied = false;
        QEventLoop loop;
        QTimer ticks;
        ticks.setTimerType(Qt::PreciseTimer);
        QObject::connect(&ticks, &QTimer::timeout, &loop, [&] {
            const qint64 now = clock.nsecsElapsed();
            longest = std::max(longest, now - last);
            last = now;
            // The tick after the load's end was applied closes the wait its apply made.
            if (applied) loop.quit();
            applied = !window.library.IsBusy();
        });
        clock.start();
        ticks.start(5);
        window.library.StartLoad(
            LoadKind::kDirectory,
            LoadRequest::Directory(root, std::nullopt, true, true, LoadMode::kAll));
        loop.exec();
        state.PauseTiming();
        window.library.TagViewer()->DeleteAll();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["longest_wait_ms"] = static_cast<double>(longest) / 1e6;
    state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_WindowLoad100kLongestWait)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_WindowRebuildRows100k(benchmark::State& state) {
    const std::vector<std::string> paths = CorpusPaths(BenchCorpus(100000));
    Window window;
    window.library.TagList()->AddList(paths);
    window.library.TagViewer()->RebuildRows();
    QApplication::processEvents();
    for (auto _ : state) {
        benchmark::DoNotOptimize(window.library.TagViewer()->RebuildRows());
        QApplication::processEvents();
    }
    state.counters["rows"] = window.form.ListViewTagViewer()->model()->rowCount();
    state.counters["peak_MB"] = PeakRssMegabytes();
    state.SetItemsProcessed(state.iterations() * paths.size());
}
BENCHMARK(BM_WindowRebuildRows100k)->Unit(benchmark::kMillisecond);

// Selecting every file without a tag and sorting by artist, on the real table.
void BM_WindowSelectAndSort100k(benchmark::State& state) {
    const std::vector<std::string> paths = CorpusPaths(BenchCorpus(100000));
    Window window;
    window.library.TagList()->AddList(paths);
    window.library.TagViewer()->RebuildRows();
    QApplication::processEvents();
    int selected = 0;
    for (auto _ : state) {
        selected = window.form.SelectRowsBy({SelectTest::kNoTag});
        window.library.TagViewer()->ColumnClick(TTagViewer::kArtist);
        QApplication::processEvents();
    }
    state.counters["selected"] = selected;
    state.counters["peak_MB"] = PeakRssMegabytes();
}
BENCHMARK(BM_WindowSelectAndSort100k)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ambrel::test
