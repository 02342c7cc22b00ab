// The tag table over 100,000 loaded files: rebuilding and rewriting the rows, selecting
// by tag content, applying a two-condition filter, the look-for history, and sorting.
#include <benchmark/benchmark.h>

#include <optional>

#include "support/corpus.h"
#include "support/memory_report_view.h"
#include "tag/tag_list.h"
#include "viewer/tag_viewer.h"

namespace ambrel::test {
namespace {

constexpr int kFiles = 100000;

// Loaded once for every benchmark of this file: the corpus in a tag list, shown in an
// in-memory table with all eleven columns.
struct LoadedTable {
    TTagList list;
    MemoryReportView table;
    TTagViewer viewer{&table, &list, std::nullopt};

    LoadedTable() {
        list.AddList(CorpusPaths(BenchCorpus(kFiles)));
        viewer.LayoutColumns();
        viewer.RebuildRows();
    }
};

LoadedTable& Loaded() {
    static LoadedTable loaded;
    return loaded;
}

void SetRowCounter(benchmark::State& state, int rows) {
    state.counters["rows"] = rows;
    state.SetItemsProcessed(state.iterations() * rows);
}

void BM_ViewerRebuildRows(benchmark::State& state) {
    auto& t = Loaded();
    for (auto _ : state) benchmark::DoNotOptimize(t.viewer.RebuildRows());
    SetRowCounter(state, t.table.RowCount());
}
BENCHMARK(BM_ViewerRebuildRows)->Unit(benchmark::kMillisecond);

void BM_ViewerUpdateAllRows(benchmark::State& state) {
    auto& t = Loaded();
    t.viewer.RebuildRows();
    for (auto _ : state) benchmark::DoNotOptimize(t.viewer.UpdateAllRows());
    SetRowCounter(state, t.table.RowCount());
}
BENCHMARK(BM_ViewerUpdateAllRows)->Unit(benchmark::kMillisecond);

void BM_ViewerSelectRowsByFilledArtist(benchmark::State& state) {
    auto& t = Loaded();
    t.viewer.RebuildRows();
    const SelectionCriterion filled_artist{SelectTest::kFilled, SelectField::kArtist};
    int selected = 0;
    for (auto _ : state) benchmark::DoNotOptimize(selected = t.viewer.SelectRowsBy(filled_artist));
    state.counters["selected"] = selected;
    SetRowCounter(state, t.table.RowCount());
}
BENCHMARK(BM_ViewerSelectRowsByFilledArtist)->Unit(benchmark::kMillisecond);

// Artist contains "e" and some cell equals "ripped" (any case): both conditions are
// tested on every file.
void BM_ViewerApplyTwoConditionFilter(benchmark::State& state) {
    auto& t = Loaded();
    for (auto _ : state) {
        t.viewer.SetFilterCondition(FilterCondition::kFirst, "e", TTagViewer::kArtist);
        t.viewer.SetFilterCondition(FilterCondition::kSecond, "RIPPED", -1);
        benchmark::DoNotOptimize(t.viewer.RebuildRows());
    }
    state.counters["shown"] = t.table.RowCount();
    SetRowCounter(state, t.list.Count());
    t.viewer.ClearFilterCondition(FilterCondition::kFirst);
    t.viewer.ClearFilterCondition(FilterCondition::kSecond);
    t.viewer.RebuildRows();
}
BENCHMARK(BM_ViewerApplyTwoConditionFilter)->Unit(benchmark::kMillisecond);

void BM_ViewerFilterHistoryArtist(benchmark::State& state) {
    auto& t = Loaded();
    t.viewer.RebuildRows();
    std::size_t distinct = 0;
    for (auto _ : state) distinct = t.viewer.FilterHistory(TTagViewer::kArtist).size();
    state.counters["distinct"] = static_cast<double>(distinct);
    SetRowCounter(state, t.table.RowCount());
}
BENCHMARK(BM_ViewerFilterHistoryArtist)->Unit(benchmark::kMillisecond);

// A header click on rows in list order: the sort by one column, ascending.
void SortByColumn(benchmark::State& state, int column) {
    auto& t = Loaded();
    for (auto _ : state) {
        state.PauseTiming();
        t.viewer.RebuildRows();
        t.viewer.SetSortColumn(TTagViewer::kIndex);
        state.ResumeTiming();
        t.viewer.ColumnClick(column);
    }
    SetRowCounter(state, t.table.RowCount());
    t.viewer.RebuildRows();
}

void BM_ViewerSortByArtist(benchmark::State& state) { SortByColumn(state, TTagViewer::kArtist); }
BENCHMARK(BM_ViewerSortByArtist)->Unit(benchmark::kMillisecond);

void BM_ViewerSortByTrack(benchmark::State& state) { SortByColumn(state, TTagViewer::kTrack); }
BENCHMARK(BM_ViewerSortByTrack)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ambrel::test
