// The action panel's batch steps over 10,000 files. Renaming files from their tags is set
// next to a plain rename() loop over the same files and names, so the cost the processor
// adds on top of the file system (building the name, the checks, the no-replace rename)
// reads off as a ratio. Filling tags from names touches no file at all.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "actions/tag_processor.h"
#include "actions/templates.h"
#include "platform/prompter.h"
#include "support/mp3_fixture.h"
#include "tag/tag_list.h"

namespace ambrel::test {
namespace {

constexpr int kFiles = 10000;
constexpr int kFilesPerDirectory = 1000;

const char* const kArtists[] = {"Aurora Lane", "Bj\xF6rk Tribute Band", "AC/DC", "Sal & Pepper"};

// 10,000 tagged files named "file NNNNN.mp3" in ten directories, loaded into a tag list,
// with the template-1 name each one is to get. Built once per run, removed at its end.
struct RenameCorpus {
    TempDir dir;
    TTagList list;
    std::vector<std::string> old_paths, new_paths;

    RenameCorpus() {
        char name[64];
        for (int i = 0; i < kFiles; ++i) {
            TagFields f;
            f.artist = kArtists[i % std::size(kArtists)];
            f.title = "Song " + std::to_string(i);
            f.track = i % kFilesPerDirectory % 200 + 1;
            std::snprintf(name, sizeof name, "d%02d/file %05d.mp3", i / kFilesPerDirectory, i);
            old_paths.push_back(WriteMp3(dir / name, 256, MakeBlock(f)));
            list.Add(old_paths.back());
        }
        TTagProcessor processor(&list);
        UseTemplateOne(processor);
        for (int i = 0; i < kFiles; ++i) {
            const std::string folder = std::filesystem::path(old_paths[i]).parent_path().string();
            new_paths.push_back(folder + "/" + *processor.NameFromTag(i));
        }
    }

    // Template 1 with the page's defaults: " - " between track, artist and title.
    static void UseTemplateOne(TTagProcessor& processor) {
        const SeparatorChoice choice;
        processor.SetInWordSeparator(choice.InWordChar());
        processor.SetCaseMode(0);
        processor.SetTrackDigits(2);
        processor.SetMask(BuildMask(1, choice.WordSeparator(), ""));
    }

    // Puts every file and entry back under its old name.
    void RenameBack() {
        for (int i = 0; i < kFiles; ++i) {
            std::rename(new_paths[i].c_str(), old_paths[i].c_str());
            list.Get(i)->SetPath(old_paths[i]);
        }
    }
};

RenameCorpus& Corpus() {
    static RenameCorpus corpus;
    return corpus;
}

void BM_RenamePlainLoop(benchmark::State& state) {
    RenameCorpus& corpus = Corpus();
    int failed = 0;
    for (auto _ : state) {
        failed = 0;
        for (int i = 0; i < kFiles; ++i) {
            failed += std::rename(corpus.old_paths[i].c_str(), corpus.new_paths[i].c_str()) != 0;
        }
        state.PauseTiming();
        corpus.RenameBack();
        state.ResumeTiming();
    }
    state.counters["failed"] = failed;
    state.SetItemsProcessed(state.iterations() * kFiles);
}

void BM_RenameFromTag(benchmark::State& state) {
    RenameCorpus& corpus = Corpus();
    TTagProcessor processor(&corpus.list);
    RenameCorpus::UseTemplateOne(processor);
    int skipped = 0;
    for (auto _ : state) {
        processor.BeginRun();
        for (int i = 0; i < kFiles; ++i) processor.RenameFromTag(i);
        skipped = processor.EndRun();
        state.PauseTiming();
        corpus.RenameBack();
        state.ResumeTiming();
    }
    state.counters["failed"] = skipped;
    state.SetItemsProcessed(state.iterations() * kFiles);
}

// Alternated, so neither side always runs on a file system the other has just warmed.
BENCHMARK(BM_RenamePlainLoop)->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenameFromTag)->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenamePlainLoop)->Iterations(10)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RenameFromTag)->Iterations(10)->Unit(benchmark::kMillisecond);

// A user who ticks "Don't show this again for this run" in the first box.
class TickingPrompter : public Prompter {
public:
    void Message(const std::string&) override {}
    bool MessageWithCheckBox(const std::string&, const std::string&) override { return true; }
    void Error(const std::string&) override {}
    void Warning(const std::string&, const std::string&) override {}
    bool Question(const std::string&, const std::string&) override { return false; }
    std::optional<std::string> Query(const std::string&, const std::string&,
                                     const std::string&) override {
        return std::nullopt;
    }
};

// Filling 10,000 tags from names such as "07 - Aurora Lane - Song 7" by template 1; the
// entries are made from blocks in memory, one in five without a tag.
void BM_TagFromName(benchmark::State& state) {
    TTagList list;
    TagBlock block{};
    block[0] = 'T', block[1] = 'A', block[2] = 'G';
    for (int i = 0; i < kFiles; ++i) {
        const std::string name = std::to_string(i % 99 + 1) + " - " +
                                 kArtists[i % std::size(kArtists)] + " - Song " + std::to_string(i);
        list.AddRead("/music/d" + std::to_string(i / kFilesPerDirectory) + "/" + name + ".mp3",
                     i % 5 == 0 ? std::nullopt : std::optional<TagBlock>(block));
    }
    TickingPrompter prompter;
    TTagProcessor processor(&list, &prompter);
    RenameCorpus::UseTemplateOne(processor);
    for (auto _ : state) {
        processor.BeginRun();
        for (int i = 0; i < kFiles; ++i) benchmark::DoNotOptimize(processor.TagFromName(i));
        processor.EndRun();
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_TagFromName)->Iterations(20)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ambrel::test
