#include "files/parallel_load.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <filesystem>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "files/file_viewer.h"
#include "files/result_codes.h"
#include "platform/paths.h"
#include "support/deep_tree.h"
#include "support/gate.h"
#include "support/mp3_fixture.h"
#include "tag/tag_list.h"

namespace ambrel::test {
namespace {

namespace fs = std::filesystem;
constexpr LoadMode kModes[] = {LoadMode::kAll, LoadMode::kTagged, LoadMode::kUntagged};
using Texts = std::vector<std::string>;
// What the tag list holds for one entry.
using Entry = std::tuple<std::string, TagBlock, TagState, bool, int32_t>;

std::vector<Entry> EntriesOf(const TTagList& list) {
    std::vector<Entry> entries;
    for (int i = 0; i < list.Count(); ++i) {
        const TTagFile& file = *list.Get(i);
        entries.emplace_back(file.GetPath(), file.Block(), file.GetState(), file.IsModified(),
                             file.GetIndex());
    }
    return entries;
}

Texts PathsOf(const std::vector<FoundFile>& files) {
    Texts paths;
    for (const FoundFile& file : files) paths.push_back(file.path);
    return paths;
}

// What a load leaves behind: the paths handed to the tag list, the search's code and skip
// count, and the tag list's entries.
struct Outcome {
    Texts paths;
    int code = 0;
    int too_long = 0;
    std::vector<Entry> entries;
};

// The sequential rules: what the search or the filter kept goes to the tag list in order,
// each file read again by the tag list.
std::vector<Entry> SequentialEntries(const Texts& found) {
    TTagList list;
    list.AddList(found);
    return EntriesOf(list);
}

Outcome Of(const LoadResult& result) {
    TTagList list;
    AddFoundFiles(list, result.files);
    return {PathsOf(result.files), result.code, result.paths_too_long, EntriesOf(list)};
}

void ExpectSame(const Outcome& parallel, const Outcome& sequential, const std::string& what) {
    EXPECT_EQ(parallel.paths, sequential.paths) << what;
    EXPECT_EQ(parallel.code, sequential.code) << what;
    EXPECT_EQ(parallel.too_long, sequential.too_long) << what;
    EXPECT_TRUE(parallel.entries == sequential.entries) << what;
}

// True when the first list is the start of the second.
bool IsPrefix(const Texts& start, const Texts& whole) {
    return start.size() <= whole.size() && std::equal(start.begin(), start.end(), whole.begin());
}

class ParallelLoadTest : public ::testing::Test {
protected:
    void Tagged(const std::string& relative, const std::string& artist = "Artist") {
        TagFields fields;
        fields.artist = artist;
        fields.title = relative.substr(0, 30);
        WriteMp3(dir_ / relative, 200, MakeBlock(fields));
    }
    void Untagged(const std::string& relative) { WriteMp3(dir_ / relative, 200, std::nullopt); }

    // A flat directory of `count` files, every third one without a tag.
    std::string Flat(const std::string& name, int count) {
        for (int i = 0; i < count; ++i) {
            const std::string file = name + "/f" + std::to_string(1000 + i) + ".mp3";
            i % 3 == 2 ? Untagged(file) : Tagged(file);
        }
        return dir_ / name;
    }

    // Makes the directory (for members built before the fixture's body) and gives its path.
    std::string Directory(const std::string& relative) const {
        fs::create_directories(dir_ / relative);
        return dir_ / relative;
    }

    TempDir dir_;
};

// Every kind of entry a search meets, for the comparison with today's search.
class EquivalenceTest : public ParallelLoadTest {
protected:
    EquivalenceTest() {
        Tagged("tree/t1.mp3", "One");
        Untagged("tree/u1.mp3");
        WriteText(dir_ / "tree/short.mp3", "TAG short");
        WriteText(dir_ / "tree/empty.mp3", "");
        WriteText(dir_ / "tree/notes.txt", "notes");
        Tagged("tree/UPPER.MP3");
        Tagged("tree/.hidden.mp3");
        Tagged("tree/A.mp3");
        Tagged("tree/a.mp3");
        Untagged("tree/_b.mp3");
        Tagged("tree/caf\xE9.mp3", "Caf\xE9 \xDF");
        Tagged("tree/M\xFCsik/lied.mp3");
        WriteText(dir_ / "tree/M\xFCsik/cover.jpg", "jpg");
        // A directory named like an audio file: descended, or taken as an unreadable file.
        Tagged("tree/x.mp3/inner.mp3");
        // A FIFO named like one: the read must be refused, never wait for a writer.
        ::mkfifo((dir_ / "tree/y.mp3").c_str(), 0644);
        Tagged("tree/sub/t2.mp3", "Two");
        Untagged("tree/sub/u2.mp3");
        Tagged("tree/sub/deeper/t3.mp3");
        Tagged("tree/sub/.hid/h.mp3");
        // Links: to a file, to a directory (never descended), and to nothing (a file gone
        // between the walk and its read).
        fs::create_symlink(dir_ / "tree/t1.mp3", dir_ / "tree/link.mp3");
        fs::create_symlink(dir_ / "tree/sub", dir_ / "tree/dirlink");
        fs::create_symlink(dir_ / "tree/sub", dir_ / "tree/dirlink.mp3");
        fs::create_symlink(dir_ / "tree/gone.mp3", dir_ / "tree/vanished.mp3");
        // Enough files to spread over several readers and hand-overs.
        Flat("tree/bulk", 300);
        deep_.AddFile("reachable.mp3");
        deep_.AddFile(std::string(150, 'f') + ".mp3");
        deep_.AddDirectory(std::string(150, 'g'));
    }

    const DeepTree deep_{Directory("tree"), "deep", PATH_MAX - 100};
};

TEST_F(EquivalenceTest, ADirectoryLoadGivesTodaysSearchAndReadsForEverySetting) {
    const std::optional<std::string> masks[] = {std::nullopt, "*.mp3", "*.txt;*.jpg", "*.*"};
    const std::string roots[] = {dir_ / "tree", dir_ / "tree/sub/", dir_ / "missing", ""};
    for (const std::string& root : roots) {
        for (const LoadMode mode : kModes) {
            for (const auto& mask : masks) {
                for (int flags = 0; flags < 4; ++flags) {
                    const bool hidden = flags & 1, recurse = flags & 2;
                    TFileViewer viewer(root);
                    viewer.SetLoadMode(mode);
                    viewer.SetIncludeHidden(hidden);
                    viewer.SetRecurse(recurse);
                    Texts found;
                    const int code = viewer.SearchFiles(&found, root, mask, false);
                    const Outcome sequential{found, code, viewer.PathsTooLong(),
                                             SequentialEntries(found)};
                    for (int readers : {1, 2, 3, 8}) {
                        const LoadResult result =
                            RunLoad(LoadRequest::Directory(root, mask, hidden, recurse, mode),
                                    LoadOptions{readers, {}, {}, {}});
                        const std::string what =
                            "root " + root + " mode " + std::to_string(static_cast<int>(mode)) +
                            " mask " + mask.value_or("(none)") + " flags " + std::to_string(flags) +
                            " readers " + std::to_string(readers);
                        EXPECT_TRUE(result.complete) << what;
                        ExpectSame(Of(result), sequential, what);
                    }
                }
            }
        }
    }
}

// The whole tree's outcome is the same run after run, whatever the threads' timing.
TEST_F(EquivalenceTest, RepeatedLoadsGiveOneResult) {
    TFileViewer viewer(dir_ / "tree");
    viewer.SetLoadMode(LoadMode::kTagged);
    Texts found;
    const int code = viewer.SearchFiles(&found, dir_ / "tree", std::nullopt, false);
    ASSERT_EQ(code, kPathsTooLong);
    const Outcome sequential{found, code, viewer.PathsTooLong(), SequentialEntries(found)};
    for (int run = 0; run < 40; ++run) {
        const int readers = 1 + run % 5;
        const LoadResult result = RunLoad(
            LoadRequest::Directory(dir_ / "tree", std::nullopt, true, true, LoadMode::kTagged),
            LoadOptions{readers, {}, {}, {}});
        ExpectSame(Of(result), sequential, "run " + std::to_string(run));
    }
}

TEST_F(EquivalenceTest, AListOfPathsGivesTodaysFilterAndReads) {
    TFileViewer all(dir_ / "tree");
    std::vector<std::string> paths;
    all.SearchFiles(&paths, dir_ / "tree", std::nullopt, true);
    // A selection can hold paths gone since the listing, and the same path twice.
    paths.push_back(dir_ / "tree/missing.mp3");
    paths.push_back(dir_ / "tree/t1.mp3");
    for (const LoadMode mode : kModes) {
        TFileViewer viewer(dir_ / "tree");
        viewer.SetLoadMode(mode);
        Texts found = paths;
        viewer.FilterFileList(&found);
        const Outcome sequential{found, kDone, 0, SequentialEntries(found)};
        for (int readers : {1, 2, 8}) {
            const LoadResult result = RunLoad(LoadRequest::Paths(paths, mode, paths::FileExists),
                                              LoadOptions{readers, {}, {}, {}});
            EXPECT_TRUE(result.complete);
            ExpectSame(Of(result), sequential, "mode " + std::to_string(static_cast<int>(mode)));
        }
    }
    // A drop keeps whatever is not a directory, missing files included, in load mode 0.
    std::vector<std::string> dropped;
    for (const std::string& path : paths)
        if (!paths::DirectoryExists(path)) dropped.push_back(path);
    TTagList dropped_list;
    dropped_list.AddList(dropped);
    const LoadResult result =
        RunLoad(LoadRequest::Paths(paths, LoadMode::kAll, [](const std::string& path) {
            return !paths::DirectoryExists(path);
        }));
    EXPECT_EQ(PathsOf(result.files), dropped);
    EXPECT_TRUE(Of(result).entries == EntriesOf(dropped_list));
}

// Named paths give what the command line's sequential load gave: each folder searched where
// it stands, each file filtered, and a failure for each path that cannot be taken.
TEST_F(EquivalenceTest, NamedPathsGiveTheSequentialSearchesFiltersAndFailures) {
    const Texts named = {
        dir_ / "tree/sub",          dir_ / "tree/t1.mp3",    dir_ / "tree/missing.mp3",
        dir_ / "tree/notes.txt",    dir_ / "tree/x.mp3",     dir_ / "tree/y.mp3",
        dir_ / "tree/link.mp3",     dir_ / "tree/UPPER.MP3", dir_ / "tree/deep",
        dir_ / "tree/vanished.mp3", dir_ / "tree/sub/"};
    for (const LoadMode mode : kModes) {
        for (const bool recurse : {false, true}) {
            TFileViewer viewer(dir_ / "tree");
            viewer.SetLoadMode(mode);
            viewer.SetIncludeHidden(true);
            viewer.SetRecurse(recurse);
            Texts found;
            std::vector<std::pair<std::string, int>> failures;
            for (const std::string& path : named) {
                Texts part;
                int code = kDone;
                if (paths::DirectoryExists(path)) {
                    code = viewer.SearchFiles(&part, path, "*.mp3", false);
                } else if (!paths::PathExists(path)) {
                    code = kSourceMissing;
                } else if (!TTagList::IsMp3Path(path)) {
                    code = kNotMp3File;
                } else if (struct stat st; ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
                    code = kNotRegularFile;  // the FIFO y.mp3 is never opened
                } else {
                    part = {path};
                    viewer.FilterFileList(&part);
                }
                found.insert(found.end(), part.begin(), part.end());
                if (code != kDone) failures.emplace_back(path, code);
            }
            const Outcome sequential{found, kDone, 0, SequentialEntries(found)};
            // missing, notes.txt, y.mp3 and vanished, and deep once its depths are searched.
            ASSERT_EQ(failures.size(), recurse ? 5u : 4u);
            for (int readers : {1, 2, 8}) {
                const LoadResult result =
                    RunLoad(LoadRequest::Named(named, "*.mp3", true, recurse, mode),
                            LoadOptions{readers, {}, {}, {}});
                const std::string what = "mode " + std::to_string(static_cast<int>(mode)) +
                                         " recurse " + std::to_string(recurse) + " readers " +
                                         std::to_string(readers);
                EXPECT_TRUE(result.complete) << what;
                const Outcome parallel = Of(result);
                EXPECT_EQ(parallel.paths, sequential.paths) << what;
                EXPECT_EQ(parallel.code, kDone) << what;
                EXPECT_TRUE(parallel.entries == sequential.entries) << what;
                std::vector<std::pair<std::string, int>> told;
                for (const PathFailure& failure : result.failures)
                    told.emplace_back(failure.path, failure.code);
                EXPECT_EQ(told, failures) << what;
            }
        }
    }
}

// Files removed after the walk listed them and before their read are loaded as today's
// loader loads them: listed, without a tag.
TEST_F(ParallelLoadTest, FilesThatVanishBeforeTheirReadAreLoadedUntagged) {
    const std::string flat = Flat("flat", 90);
    auto doomed = [](const std::string& path) { return path.find("5.mp3") != std::string::npos; };

    TFileViewer viewer(flat);
    Texts walked;
    ASSERT_EQ(viewer.SearchFiles(&walked, flat, std::nullopt, false), kDone);

    LoadOptions options;
    options.readers = 3;
    options.before_read = [&](const std::string& path) {
        if (doomed(path)) ::unlink(path.c_str());
    };
    const LoadResult result =
        RunLoad(LoadRequest::Directory(flat, std::nullopt, true, true, LoadMode::kAll), options);
    // The sequential load reads after its search, so it meets the same missing files.
    const Outcome sequential{walked, kDone, 0, SequentialEntries(walked)};
    ExpectSame(Of(result), sequential, "vanished");
    int untagged = 0;
    for (const Entry& entry : sequential.entries) untagged += std::get<2>(entry) == tsNone;
    // Every third file, and the six tagged ones among the nine removed.
    EXPECT_EQ(untagged, 30 + 6);
}

// Loads of the same tree, cancelled while the read of one chosen file is held: what they
// keep is the start of the whole load, and the code speaks of that start only.
class CancelTest : public ParallelLoadTest {
protected:
    CancelTest() {
        Flat("tree/a", 60);
        Flat("tree/z", 60);
    }

    LoadRequest Request() const {
        return LoadRequest::Directory(dir_ / "tree", std::nullopt, true, true, LoadMode::kTagged);
    }
    LoadResult CancelledAt(const std::string& held, int readers) {
        Gate gate(dir_ / held);
        LoadOptions options;
        options.readers = readers;
        options.before_read = [&](const std::string& path) { gate.At(path); };
        LoadJob job(Request(), options);
        job.Start();
        gate.AwaitReached();
        job.Cancel();
        gate.Release();
        return job.TakeResult();
    }

    const DeepTree deep_{Directory("tree"), "deep", PATH_MAX - 100};
};

TEST_F(CancelTest, ACancelledLoadKeepsAPrefixOfTheWholeLoad) {
    deep_.AddFile(std::string(150, 'f') + ".mp3");
    const LoadResult whole = RunLoad(Request());
    ASSERT_TRUE(whole.complete);
    ASSERT_EQ(whole.code, kPathsTooLong);
    ASSERT_EQ(whole.files.size(), 80u);  // two thirds of 120 are tagged
    const Texts all = PathsOf(whole.files);

    struct Case {
        std::string held;
        std::size_t kept;  // files of the result with one reader
        int code;
    };
    // The walk runs ahead of the readers, so it has met the long path in "deep" before a
    // cancel at the start of "a"; the result still counts only what lies before its cut.
    for (const Case& c : {Case{"tree/a/f1000.mp3", 1, kDone}, Case{"tree/a/f1011.mp3", 8, kDone},
                          Case{"tree/z/f1004.mp3", 40 + 4, kPathsTooLong}}) {
        const LoadResult one = CancelledAt(c.held, 1);
        EXPECT_FALSE(one.complete) << c.held;
        // The held file is read to its end: a single reader stops right after it.
        EXPECT_EQ(one.files.size(), c.kept) << c.held;
        EXPECT_TRUE(IsPrefix(PathsOf(one.files), all)) << c.held;
        EXPECT_EQ(one.code, c.code) << c.held;
        EXPECT_EQ(one.paths_too_long, c.code == kDone ? 0 : 1) << c.held;
        for (int readers : {2, 3, 8}) {
            const LoadResult many = CancelledAt(c.held, readers);
            EXPECT_TRUE(IsPrefix(PathsOf(many.files), all)) << c.held << " " << readers;
            EXPECT_EQ(many.code, many.paths_too_long > 0 ? kPathsTooLong : kDone);
        }
    }
}

// A caller that takes the files as they are read (the command line's list) gets the whole
// load in order, and the result holds only what it did not take.
TEST_F(CancelTest, FilesTakenAsTheyAreReadMakeTheWholeLoadInOrder) {
    const Texts all = PathsOf(RunLoad(Request()).files);
    for (int readers : {1, 3}) {
        Gate gate(dir_ / "tree/a/f1030.mp3");
        LoadOptions options;
        options.readers = readers;
        options.before_read = [&](const std::string& path) { gate.At(path); };
        LoadJob job(Request(), options);
        job.Start();
        gate.AwaitReached();
        std::vector<FoundFile> taken;
        ASSERT_TRUE(job.WaitForReady(std::chrono::seconds(30)));
        job.TakeReady(&taken);
        EXPECT_FALSE(taken.empty());
        // Nothing past the held read: the files before f1030, two thirds of them tagged.
        EXPECT_LE(taken.size(), 20u) << readers;
        EXPECT_TRUE(IsPrefix(PathsOf(taken), all)) << readers;
        gate.Release();
        while (!job.IsDone()) {
            job.WaitForReady(std::chrono::milliseconds(100));
            job.TakeReady(&taken);
        }
        const LoadResult rest = job.TakeResult();
        EXPECT_TRUE(rest.complete);
        taken.insert(taken.end(), rest.files.begin(), rest.files.end());
        EXPECT_EQ(PathsOf(taken), all) << readers;
    }
}

// A cancelled load of named paths tells only the failures that stand before its cut.
TEST_F(CancelTest, ACancelledNamedLoadTellsTheFailuresBeforeItsCut) {
    const Texts named = {dir_ / "gone1.mp3", dir_ / "tree/a", dir_ / "gone2.mp3", dir_ / "tree/z"};
    auto cancelled_at = [&](const std::string& held) {
        Gate gate(dir_ / held);
        LoadOptions options;
        options.readers = 1;
        options.before_read = [&](const std::string& path) { gate.At(path); };
        LoadJob job(LoadRequest::Named(named, std::nullopt, true, true, LoadMode::kAll), options);
        job.Start();
        gate.AwaitReached();
        job.Cancel();
        gate.Release();
        return job.TakeResult();
    };
    const LoadResult in_a = cancelled_at("tree/a/f1010.mp3");
    EXPECT_FALSE(in_a.complete);
    EXPECT_EQ(in_a.files.size(), 11u);
    ASSERT_EQ(in_a.failures.size(), 1u);
    EXPECT_EQ(in_a.failures[0].path, dir_ / "gone1.mp3");
    const LoadResult in_z = cancelled_at("tree/z/f1000.mp3");
    EXPECT_EQ(in_z.files.size(), 61u);
    ASSERT_EQ(in_z.failures.size(), 2u);
    EXPECT_EQ(in_z.failures[1].path, dir_ / "gone2.mp3");
    EXPECT_EQ(in_z.failures[1].code, kSourceMissing);
}

TEST_F(CancelTest, ProgressCountsTheFilesReadWhileAReadIsHeld) {
    Gate gate(dir_ / "tree/a/f1010.mp3");
    LoadOptions options;
    options.readers = 1;
    options.before_read = [&](const std::string& path) { gate.At(path); };
    LoadJob job(Request(), options);
    job.Start();
    gate.AwaitReached();
    EXPECT_EQ(job.Progress().files_read, 10u);
    EXPECT_FALSE(job.IsDone());
    EXPECT_FALSE(job.Progress().done);
    gate.Release();
    const LoadResult result = job.TakeResult();
    EXPECT_TRUE(result.complete);
    EXPECT_TRUE(job.IsDone());
    const LoadProgress end = job.Progress();
    EXPECT_EQ(end.files_read, 120u);
    EXPECT_EQ(end.files_found, 120u);
}

// A listing that hangs (a dead network mount) holds the walk only: the caller goes on, sees
// what was found so far, and can cancel.
TEST_F(CancelTest, AHungListingNeitherBlocksTheCallerNorItsCancel) {
    Gate gate(dir_ / "tree/z");
    LoadOptions options;
    options.before_listing = [&](const std::string& path) { gate.At(path); };
    LoadJob job(Request(), options);
    job.Start();
    gate.AwaitReached();
    EXPECT_FALSE(job.IsDone());
    // Everything found before the listing was handed to the readers first.
    EXPECT_EQ(job.Progress().files_found, 60u);
    job.Cancel();
    EXPECT_FALSE(job.IsDone());
    gate.Release();
    const LoadResult result = job.TakeResult();
    EXPECT_FALSE(result.complete);
    EXPECT_LE(result.files.size(), 40u);
    for (const FoundFile& file : result.files)
        EXPECT_NE(file.path.find("/tree/a/"), std::string::npos);
}

TEST_F(CancelTest, ACancelBeforeTheStartLoadsNothingAndOneAfterTheEndChangesNothing) {
    LoadJob early(Request());
    early.Cancel();
    early.Start();
    const LoadResult none = early.TakeResult();
    EXPECT_TRUE(none.files.empty());
    EXPECT_FALSE(none.complete);
    EXPECT_EQ(none.code, kDone);

    LoadJob late(Request());
    late.Start();
    late.Wait();
    late.Cancel();
    const LoadResult all = late.TakeResult();
    EXPECT_TRUE(all.complete);
    EXPECT_EQ(all.files.size(), 80u);
    EXPECT_TRUE(late.TakeResult().files.empty()) << "the result is handed over once";
}

TEST_F(CancelTest, TheEndIsSignalledOnceWithTheResultReady) {
    std::atomic<int> calls{0};
    LoadJob* seen = nullptr;
    bool done_when_called = false;
    LoadOptions options;
    options.on_finished = [&] {
        done_when_called = seen->IsDone();
        ++calls;
    };
    LoadJob job(Request(), options);
    seen = &job;
    job.Start();
    EXPECT_EQ(job.TakeResult().files.size(), 80u);
    EXPECT_EQ(calls.load(), 1);
    EXPECT_TRUE(done_when_called);
}

// A job destroyed mid-load (its window closed) stops and joins its threads before it goes.
TEST_F(CancelTest, DestroyingARunningJobCancelsAndWaitsForIt) {
    for (int readers : {1, 3}) {
        Gate gate(dir_ / "tree/a/f1005.mp3");
        std::atomic<int> finished{0};
        LoadOptions options;
        options.readers = readers;
        options.before_read = [&](const std::string& path) { gate.At(path); };
        options.on_finished = [&] { ++finished; };
        std::thread releaser;
        {
            LoadJob job(Request(), options);
            job.Start();
            gate.AwaitReached();
            releaser = std::thread([&] { gate.Release(); });
        }
        EXPECT_EQ(finished.load(), 1) << "the load ended before its job went";
        releaser.join();
    }
}

// A load held by a read that does not return (a dead network mount): waiting for it gives
// up at its time, and an abandoned job goes at once while its threads end by themselves.
TEST_F(CancelTest, AHeldLoadCanBeWaitedForBrieflyOrAbandoned) {
    auto gate = std::make_shared<Gate>(dir_ / "tree/a/f1005.mp3");
    auto ended = std::make_shared<std::promise<void>>();
    LoadOptions options;
    options.before_read = [gate](const std::string& path) { gate->At(path); };
    options.on_finished = [ended] { ended->set_value(); };
    {
        LoadJob job(Request(), options);
        job.Start();
        gate->AwaitReached();
        job.Cancel();
        EXPECT_FALSE(job.WaitFor(std::chrono::milliseconds(50)));
        job.Abandon();
        EXPECT_TRUE(job.WaitFor(std::chrono::milliseconds(0)));
        EXPECT_TRUE(job.TakeResult().files.empty());
    }
    gate->Release();
    EXPECT_EQ(ended->get_future().wait_for(std::chrono::seconds(30)), std::future_status::ready);

    LoadJob whole(Request());
    whole.Start();
    EXPECT_TRUE(whole.WaitFor(std::chrono::seconds(30)));
    EXPECT_EQ(whole.TakeResult().files.size(), 80u);
}

}  // namespace
}  // namespace ambrel::test
