#include "files/process_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "errors/error_log.h"
#include "files/file_viewer.h"
#include "files/result_codes.h"
#include "support/memory_process_view.h"
#include "support/mp3_fixture.h"

namespace ambrel::test {
namespace {

namespace fs = std::filesystem;
using Line = MemoryProcessView::Line;
using Texts = std::vector<std::string>;

// Runs from a source folder into the viewer's current path, the destination folder.
class ProcessRunTest : public ::testing::Test {
protected:
    ProcessRunTest() { fs::create_directories(to_); }
    std::string Source(const std::string& relative, std::size_t size) {
        WriteBytes(from_ + "/" + relative, std::vector<uint8_t>(size, 'x'));
        return from_ + "/" + relative;
    }

    TempDir dir_;
    const std::string from_ = dir_ / "from";
    const std::string to_ = dir_ / "to";
    TFileViewer viewer_{to_};
    TErrorLog errors_{WriteText(dir_ / "error.cfg", "E050 source missing\nE051 not overwritten\n")};
    MemoryProcessView view_;
    TProcessRun run_{viewer_, errors_, view_};
    std::vector<int> results_;
};

TEST_F(ProcessRunTest, EachFailureListsItsPathThenItsMessageInRed) {
    WriteBytes(to_ + "/taken.mp3", {1});
    viewer_.SetAskBeforeOverwriting(false);
    const Texts paths{Source("a.mp3", 10), from_ + "/missing.mp3", Source("b.mp3", 10),
                      Source("taken.mp3", 10)};

    EXPECT_EQ(run_.RunCopyMove(paths, true, &results_), 0);
    EXPECT_EQ(results_, (std::vector<int>{kDone, kSourceMissing, kDone, kDestinationExists}));
    EXPECT_EQ(view_.errors, (std::vector<Line>{{paths[1], false},
                                               {"E050 source missing", true},
                                               {paths[3], false},
                                               {"E051 not overwritten", true}}));
    EXPECT_EQ(view_.caption, "Copying files process dialog");
    EXPECT_EQ(view_.from_label, "Copying:");
    EXPECT_EQ(view_.destination, to_);
    EXPECT_EQ(view_.sources, paths);
    EXPECT_EQ(view_.events_processed, 1);
    EXPECT_EQ(view_.close_states, (std::vector<bool>{false, true}));

    // The next run starts with an empty error list.
    EXPECT_EQ(run_.RunCopyMove({Source("c.mp3", 10)}, true, &results_), 1);
    EXPECT_TRUE(view_.errors.empty());
}

TEST_F(ProcessRunTest, BarsCountWholeKiBFileByFile) {
    // 500 and 1023 bytes add nothing; 1024 adds 1, 5000 adds 4, 200000 adds 195.
    Texts paths;
    for (const std::size_t size : {500u, 1023u, 1024u, 5000u, 200000u}) {
        paths.push_back(Source("f" + std::to_string(size) + ".mp3", size));
    }
    EXPECT_EQ(run_.RunCopyMove(paths, false, &results_), 1) << "all went: the dialog may close";
    EXPECT_EQ(results_, std::vector<int>(paths.size(), kDone));
    EXPECT_TRUE(view_.errors.empty());
    EXPECT_EQ(view_.caption, "Moving files process dialog");
    EXPECT_EQ(view_.from_label, "Moving:");
    EXPECT_EQ(view_.overall.maximum, 200);
    EXPECT_EQ(view_.overall.positions, (std::vector<long long>{0, 0, 0, 1, 5, 200}));
    EXPECT_EQ(view_.current.maximum, 195);
    EXPECT_EQ(view_.current.position, 195);
    EXPECT_EQ(viewer_.GetProgressBar(), nullptr) << "the viewer lets go of the dialog's bar";

    view_.overall = MemoryProgressBar();
    EXPECT_EQ(
        run_.RunCopyMove({Source("small1.mp3", 1000), Source("small2.mp3", 1)}, true, &results_),
        1);
    EXPECT_EQ(view_.overall.maximum, 0);
}

TEST_F(ProcessRunTest, DeletingThreeFilesWithTheSecondMissingGives1_50_1) {
    const Texts paths{Source("a.mp3", 10), from_ + "/gone.mp3", Source("c.mp3", 10)};
    EXPECT_EQ(run_.RunDelete(paths, &results_), 0);
    EXPECT_EQ(results_, (std::vector<int>{kDone, kSourceMissing, kDone}));
    EXPECT_FALSE(fs::exists(paths[0]));
    EXPECT_FALSE(fs::exists(paths[2]));
    EXPECT_EQ(view_.errors, (std::vector<Line>{{paths[1], false}, {"E050 source missing", true}}));
    EXPECT_EQ(view_.caption, "Deleting files process dialog");
    EXPECT_EQ(view_.from_label, "Deleting:");
    EXPECT_EQ(view_.overall.maximum, 3);
    EXPECT_EQ(view_.overall.positions, (std::vector<long long>{0, 1, 2, 3}));
    EXPECT_EQ(view_.close_states, (std::vector<bool>{false, true}));
}

TEST_F(ProcessRunTest, AMoveNeverReplacesAFileItHasJustPutInPlace) {
    const std::string first = Source("a/song.mp3", 100);
    const std::string second = Source("b/song.mp3", 200);
    viewer_.SetOverwriteWithoutAsking(true);
    EXPECT_EQ(run_.RunCopyMove({first, second}, false, &results_), 0);
    EXPECT_EQ(results_, (std::vector<int>{kDone, kDestinationExists}));
    EXPECT_EQ(FileSize(to_ + "/song.mp3"), 100);
    EXPECT_EQ(FileSize(second), 200) << "its source is kept";
}

// A source that another program deleted or saved anew while it was moved leaves its copy as
// the only one of that data: a later file of the same name must not replace it either.
TEST_F(ProcessRunTest, ACopyWhoseSourceChangedMeanwhileIsNotReplacedByTheRunEither) {
    struct Case {
        const char* what;
        void (*act)(const std::string& path);
        int first;
    };
    const auto save_anew = [](const std::string& path) {
        WriteBytes(path + ".new", {1, 2, 3});
        fs::rename(path + ".new", path);
    };
    for (const Case& c :
         {Case{"deleted", [](const std::string& path) { fs::remove(path); }, kSourceMissing},
          Case{"saved anew", save_anew, kSourceChanged}}) {
        SCOPED_TRACE(c.what);
        fs::remove_all(to_);
        fs::create_directories(to_);
        const std::string first = Source("a/song.mp3", 100000);
        const std::string second = Source("b/song.mp3", 200);
        ActingProcessView view([&] { c.act(first); });
        TProcessRun run(viewer_, errors_, view);
        viewer_.SetOverwriteWithoutAsking(true);

        EXPECT_EQ(run.RunCopyMove({first, second}, false, &results_), 0);
        EXPECT_TRUE(view.bar.acted());
        EXPECT_EQ(results_, (std::vector<int>{c.first, kDestinationExists}));
        EXPECT_EQ(FileSize(to_ + "/song.mp3"), 100000);
        EXPECT_EQ(FileSize(second), 200) << "its source is kept";
    }
}

}  // namespace
}  // namespace ambrel::test
