#include "files/file_copy.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "files/file_viewer.h"
#include "files/result_codes.h"
#include "support/fake_prompter.h"
#include "support/faults.h"
#include "support/memory_process_view.h"
#include "support/mp3_fixture.h"

namespace ambrel::test {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// Bytes that differ from block to block, so a block written twice or out of place shows.
Bytes Pattern(std::size_t size, uint8_t seed = 0) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>(i * 7 + i / 65535 + seed);
    return bytes;
}

std::vector<std::string> Names(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

struct stat StatOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st;
}

// A source folder and a destination folder; the viewer's current path is the destination.
class FileCopyTest : public ::testing::Test {
protected:
    FileCopyTest() {
        fs::create_directories(from_);
        fs::create_directories(to_);
        viewer_.SetPrompter(&prompter_);
        viewer_.SetProgressBar(&bar_);
    }
    std::string Source(const std::string& name, const Bytes& bytes) {
        WriteBytes(from_ + "/" + name, bytes);
        return from_ + "/" + name;
    }
    std::string Target(const std::string& name) const { return to_ + "/" + name; }

    TempDir dir_;
    const std::string from_ = dir_ / "from";
    const std::string to_ = dir_ / "to";
    FakePrompter prompter_;
    MemoryProgressBar bar_;
    TFileViewer viewer_{to_};
};

TEST_F(FileCopyTest, CopyAndMoveCarryEveryByteAroundTheBlockSize) {
    for (const std::size_t size : {0u, 1u, 65534u, 65535u, 65536u, 200000u}) {
        for (const bool keep_source : {true, false}) {
            SCOPED_TRACE(std::to_string(size) + (keep_source ? " copied" : " moved"));
            const Bytes bytes = Pattern(size);
            const std::string source = Source("song.mp3", bytes);
            bar_.positions.clear();

            EXPECT_EQ(viewer_.CopyOrMoveFile(source, keep_source), kDone);
            EXPECT_EQ(ReadBytes(Target("song.mp3")), bytes);
            EXPECT_EQ(fs::exists(source), keep_source);
            EXPECT_EQ(Names(to_), std::vector<std::string>{"song.mp3"}) << "no temporary left";
            ASSERT_FALSE(bar_.positions.empty());
            EXPECT_EQ(bar_.positions.front(), 0);
            EXPECT_EQ(bar_.positions.back(), static_cast<long long>(size / 1024));
            EXPECT_TRUE(std::is_sorted(bar_.positions.begin(), bar_.positions.end()));
            fs::remove(Target("song.mp3"));
        }
    }
}

TEST_F(FileCopyTest, AMoveKeepsTimesAndPermissionsACopyIsANewFile) {
    const struct timespec old_times[2] = {{1000000000, 0}, {1000000000, 500}};
    for (const bool keep_source : {true, false}) {
        const std::string source = Source("song.mp3", Pattern(3000));
        ::chmod(source.c_str(), 0640);
        ::utimensat(AT_FDCWD, source.c_str(), old_times, 0);

        ASSERT_EQ(viewer_.CopyOrMoveFile(source, keep_source), kDone);
        const struct stat st = StatOf(Target("song.mp3"));
        const mode_t new_file_mode = 0666 & ~[] {
            const mode_t mask = ::umask(0);
            ::umask(mask);
            return mask;
        }();
        if (keep_source) {
            EXPECT_EQ(st.st_mode & 07777, new_file_mode);
            EXPECT_NE(st.st_mtim.tv_sec, old_times[1].tv_sec);
        } else {
            EXPECT_EQ(st.st_mode & 07777, 0640u);
            EXPECT_EQ(st.st_mtim.tv_sec, old_times[1].tv_sec);
            EXPECT_EQ(st.st_mtim.tv_nsec, old_times[1].tv_nsec);
        }
        fs::remove(Target("song.mp3"));
    }
}

TEST_F(FileCopyTest, SourcesThatCannotBeCopiedLeaveNothingBehind) {
    const std::string fifo = from_ + "/pipe.mp3";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    struct Case {
        std::string source;
        int expected;
    };
    // Reading this process's memory from address 0 fails with EIO after a good open: a read
    // error in the middle of a copy.
    for (const Case& c :
         {Case{from_ + "/missing.mp3", kSourceMissing}, Case{fifo, kSourceUnreadable},
          Case{"/proc/self/mem", kSourceUnreadable}}) {
        for (const bool keep_source : {true, false}) {
            EXPECT_EQ(viewer_.CopyOrMoveFile(c.source, keep_source), c.expected) << c.source;
            EXPECT_TRUE(Names(to_).empty()) << c.source;
        }
    }
    EXPECT_TRUE(fs::exists(fifo));
}

TEST_F(FileCopyTest, AShortReadLongBeforeTheEndDoesNotEndTheCopy) {
    // procfs hands out a few KiB a read, far less than a block, long before the file's end.
    // Its files give their size as 0, so the stream is copied as it is, without the check
    // that a copied file is whole.
    const Bytes expected = ReadBytes("/proc/kallsyms");
    if (expected.size() <= 2 * kCopyBlockSize) GTEST_SKIP() << "no long procfs file here";
    const int in = ::open("/proc/kallsyms", O_RDONLY | O_CLOEXEC);
    const int out = ::open(Target("kallsyms").c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    long long copied = 0;
    EXPECT_EQ(CopyStream(in, out, nullptr, &copied), kDone);
    ::close(in);
    ::close(out);
    EXPECT_EQ(ReadBytes(Target("kallsyms")), expected);
    EXPECT_EQ(copied, static_cast<long long>(expected.size()));
}

TEST_F(FileCopyTest, AnySpellingOfTheSourceAsTargetGives55AndKeepsTheFile) {
    const Bytes bytes = Pattern(500);
    const std::string file = Source("song.mp3", bytes);
    fs::create_directory_symlink(from_, dir_ / "link");
    for (const std::string& current : {from_, dir_ / "link", to_ + "/../from", from_ + "/"}) {
        TFileViewer viewer(current);
        viewer.SetOverwriteWithoutAsking(true);
        for (const bool keep_source : {true, false}) {
            EXPECT_EQ(viewer.CopyOrMoveFile(file, keep_source), kSamePath) << current;
        }
        EXPECT_EQ(ReadBytes(file), bytes) << current;
    }
    // A link in the destination to the source is the source too.
    fs::create_symlink(file, Target("song.mp3"));
    viewer_.SetOverwriteWithoutAsking(true);
    EXPECT_EQ(viewer_.CopyOrMoveFile(file, false), kSamePath);
    EXPECT_EQ(ReadBytes(file), bytes);
}

TEST_F(FileCopyTest, AnExistingTargetIsReplacedOnlyAsTheSettingsAndTheAnswerSay) {
    const Bytes old_bytes = Pattern(700, 1), new_bytes = Pattern(900, 2);
    const std::string source = Source("song.mp3", new_bytes);
    WriteBytes(Target("song.mp3"), old_bytes);

    viewer_.SetAskBeforeOverwriting(false);
    EXPECT_EQ(viewer_.CopyOrMoveFile(source, true), kDestinationExists);
    EXPECT_TRUE(prompter_.shown.empty()) << "both settings off: refused without a question";

    viewer_.SetAskBeforeOverwriting(true);
    prompter_.answers = {false, true};
    EXPECT_EQ(viewer_.CopyOrMoveFile(source, true), kDestinationExists);
    EXPECT_EQ(ReadBytes(Target("song.mp3")), old_bytes);
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0].kind, FakePrompter::Shown::kQuestion);
    EXPECT_EQ(prompter_.shown[0].caption, "Do you want to overwrite existing file ?");
    EXPECT_EQ(prompter_.shown[0].text,
              "Click YES if you want to overwrite existing file:" + Target("song.mp3"));
    EXPECT_EQ(viewer_.CopyOrMoveFile(source, false), kDone) << "asked again, and Yes";
    EXPECT_EQ(ReadBytes(Target("song.mp3")), new_bytes);
    EXPECT_FALSE(fs::exists(source));

    // Without asking: replaced at once, also a dangling link, which is replaced as a link.
    prompter_.shown.clear();
    viewer_.SetOverwriteWithoutAsking(true);
    const std::string other = Source("other.mp3", old_bytes);
    EXPECT_EQ(viewer_.CopyOrMoveFile(other, true), kDone);
    fs::create_symlink(dir_ / "nowhere", Target("third.mp3"));
    EXPECT_EQ(viewer_.CopyOrMoveFile(Source("third.mp3", new_bytes), true), kDone);
    EXPECT_TRUE(prompter_.shown.empty());
    EXPECT_FALSE(fs::is_symlink(Target("third.mp3")));
    EXPECT_FALSE(fs::exists(dir_ / "nowhere"));
    EXPECT_EQ(ReadBytes(Target("other.mp3")), old_bytes);
    EXPECT_EQ(ReadBytes(Target("third.mp3")), new_bytes);
}

TEST_F(FileCopyTest, ADirectoryOfTheTargetNameIsNeverWrittenInto) {
    const std::string source = Source("album.mp3", Pattern(10));
    fs::create_directories(Target("album.mp3"));
    viewer_.SetOverwriteWithoutAsking(true);
    EXPECT_EQ(viewer_.CopyOrMoveFile(source, false), kDestinationUnwritable);
    EXPECT_TRUE(fs::is_directory(Target("album.mp3")));
    EXPECT_TRUE(fs::exists(source));
}

TEST_F(FileCopyTest, AMoveOutOfAFolderThatMayNotChangeGives0WithTheCopyInPlace) {
    const Bytes bytes = Pattern(70000);
    const std::string source = Source("song.mp3", bytes);
    ScopedImmutable locked(from_);
    if (!locked.active()) GTEST_SKIP() << "the immutable attribute cannot be set here";
    EXPECT_EQ(viewer_.CopyOrMoveFile(source, false), kMoveSourceNotDeleted);
    EXPECT_EQ(ReadBytes(source), bytes);
    EXPECT_EQ(ReadBytes(Target("song.mp3")), bytes);
}

TEST_F(FileCopyTest, AWriteThatFailsHalfwayLeavesNoPartialFileAndKeepsTheSource) {
    const Bytes bytes = Pattern(200000);
    const std::string source = Source("song.mp3", bytes);
    const Bytes old_bytes = Pattern(300, 9);
    const std::string old_target = Target("old.mp3");
    WriteBytes(old_target, old_bytes);
    const std::string replacing = Source("old.mp3", bytes);
    viewer_.SetOverwriteWithoutAsking(true);
    {
        FileSizeLimit limit(100000);
        for (const bool keep_source : {true, false}) {
            EXPECT_EQ(viewer_.CopyOrMoveFile(source, keep_source), kDestinationUnwritable);
            EXPECT_EQ(viewer_.CopyOrMoveFile(replacing, keep_source), kDestinationUnwritable);
        }
    }
    EXPECT_EQ(Names(to_), std::vector<std::string>{"old.mp3"});
    EXPECT_EQ(ReadBytes(old_target), old_bytes) << "the old target is still whole";
    EXPECT_EQ(ReadBytes(source), bytes);
    EXPECT_EQ(ReadBytes(replacing), bytes);
}

TEST_F(FileCopyTest, AFullDiskGives53AndKeepsTheSource) {
    ScopedTmpfs small(to_, 64 * 1024);
    if (!small.active()) GTEST_SKIP() << "no tmpfs can be mounted here";
    const Bytes bytes = Pattern(200000);
    const std::string source = Source("song.mp3", bytes);
    EXPECT_EQ(viewer_.CopyOrMoveFile(source, false), kDestinationUnwritable);
    EXPECT_TRUE(Names(to_).empty());
    EXPECT_EQ(ReadBytes(source), bytes);
}

TEST_F(FileCopyTest, AFolderThatMayNotChangeGives53AndKeepsTheSource) {
    const std::string source = Source("song.mp3", Pattern(1000));
    ScopedImmutable locked(to_);
    if (!locked.active()) GTEST_SKIP() << "the immutable attribute cannot be set here";
    EXPECT_EQ(viewer_.CopyOrMoveFile(source, false), kDestinationUnwritable);
    EXPECT_TRUE(Names(to_).empty());
    EXPECT_TRUE(fs::exists(source));
}

TEST_F(FileCopyTest, AnOldTargetThatCannotBeReplacedGives54AndStaysWhole) {
    const Bytes old_bytes = Pattern(300, 3);
    WriteBytes(Target("song.mp3"), old_bytes);
    const std::string source = Source("song.mp3", Pattern(5000));
    ScopedImmutable locked(Target("song.mp3"));
    if (!locked.active()) GTEST_SKIP() << "the immutable attribute cannot be set here";
    viewer_.SetOverwriteWithoutAsking(true);
    EXPECT_EQ(viewer_.CopyOrMoveFile(source, false), kDeleteFailed);
    EXPECT_EQ(ReadBytes(Target("song.mp3")), old_bytes);
    EXPECT_EQ(Names(to_), std::vector<std::string>{"song.mp3"});
    EXPECT_TRUE(fs::exists(source));
}

// What other programs do to a file while it is copied, and what a copy and a move must then
// give: a copy complete as the file was opened goes in place, a torn one never does, and a
// move deletes its source only while the path still names the file it copied, unchanged.
TEST_F(FileCopyTest, ASourceChangedWhileItIsCopiedIsNeitherLostNorCopiedTorn) {
    const Bytes bytes = Pattern(200000), fresh = Pattern(153728, 5), old_target = Pattern(300, 9);
    struct Case {
        const char* what;
        std::function<void(const std::string&)> act;
        int moved, copied;
        bool placed;  // the complete copy is at the destination
    };
    const Case cases[] = {
        {"saved anew under a temporary name",
         [&](const std::string& path) {
             WriteBytes(path + ".new", fresh);
             fs::rename(path + ".new", path);
         },
         kSourceChanged, kDone, true},
        {"cut short", [](const std::string& path) { fs::resize_file(path, 1000); }, kSourceChanged,
         kSourceChanged, false},
        {"written in place",
         [](const std::string& path) {
             const int fd = ::open(path.c_str(), O_WRONLY);
             ASSERT_EQ(::pwrite(fd, "changed", 7, 0), 7);
             ::close(fd);
         },
         kSourceChanged, kSourceChanged, false},
        {"grown", [](const std::string& path) { fs::resize_file(path, 300000); }, kSourceChanged,
         kSourceChanged, false},
        {"deleted", [](const std::string& path) { fs::remove(path); }, kSourceMissing, kDone, true},
    };
    viewer_.SetOverwriteWithoutAsking(true);
    // Old times, so that any write in the copy's time shows in the modification time.
    const struct timespec old_times[2] = {{1000000000, 0}, {1000000000, 0}};
    for (const Case& c : cases) {
        for (const bool keep_source : {true, false}) {
            for (const bool old_target_there : {false, true}) {
                SCOPED_TRACE(std::string(c.what) + (keep_source ? ", copied" : ", moved") +
                             (old_target_there ? ", over an old target" : ""));
                fs::remove_all(to_);
                fs::create_directories(to_);
                if (old_target_there) WriteBytes(Target("song.mp3"), old_target);
                const std::string source = Source("song.mp3", bytes);
                ::utimensat(AT_FDCWD, source.c_str(), old_times, 0);
                Bytes left;  // the source as the other program left it
                ActingProgressBar bar([&] {
                    c.act(source);
                    if (fs::exists(source)) left = ReadBytes(source);
                });
                viewer_.SetProgressBar(&bar);

                EXPECT_EQ(viewer_.CopyOrMoveFile(source, keep_source),
                          keep_source ? c.copied : c.moved);
                EXPECT_TRUE(bar.acted());
                if (c.placed || old_target_there) {
                    EXPECT_EQ(ReadBytes(Target("song.mp3")), c.placed ? bytes : old_target);
                    EXPECT_EQ(Names(to_), std::vector<std::string>{"song.mp3"});
                } else {
                    EXPECT_TRUE(Names(to_).empty()) << "no torn copy, no temporary";
                }
                EXPECT_EQ(fs::exists(source), !left.empty()) << "kept unless another deleted it";
                if (!left.empty()) {
                    EXPECT_EQ(ReadBytes(source), left);
                }
                fs::remove(source);
            }
        }
    }
}

TEST_F(FileCopyTest, AMovedLinkTakesTheFileItLedToAndLeavesThatFile) {
    const Bytes bytes = Pattern(70000);
    const std::string file = Source("real.mp3", bytes);
    fs::create_symlink(file, from_ + "/link.mp3");
    EXPECT_EQ(viewer_.CopyOrMoveFile(from_ + "/link.mp3", false), kDone);
    EXPECT_EQ(ReadBytes(Target("link.mp3")), bytes);
    EXPECT_FALSE(fs::is_symlink(from_ + "/link.mp3"));
    EXPECT_EQ(ReadBytes(file), bytes);
}

// The flushes, watched through CopyOptions::flush: the copy's bytes reach the disk before
// its name replaces an old target, and its bytes and its name before a move's source goes.
TEST_F(FileCopyTest, TheCopyIsOnTheDiskBeforeTheSourceOrTheOldTargetGoes) {
    const Bytes bytes = Pattern(100000), old_target = Pattern(300, 9);
    struct Case {
        bool keep_source, replace;
        std::vector<std::string> flushed;
    };
    for (const Case& c :
         {Case{true, false, {}}, Case{true, true, {"file"}},
          Case{false, false, {"file", "directory"}}, Case{false, true, {"file", "directory"}}}) {
        SCOPED_TRACE(std::string(c.keep_source ? "copy" : "move") + (c.replace ? " over" : ""));
        fs::remove_all(to_);
        fs::create_directories(to_);
        if (c.replace) WriteBytes(Target("song.mp3"), old_target);
        const std::string source = Source("song.mp3", bytes);
        std::vector<std::string> flushed;
        CopyOptions options;
        options.overwrite_without_asking = true;
        options.flush = [&](int fd) {
            struct stat st {};
            ::fstat(fd, &st);
            const bool directory = S_ISDIR(st.st_mode);
            flushed.push_back(directory ? "directory" : "file");
            EXPECT_EQ(ReadBytes(source), bytes) << "the source is still there";
            if (directory) {
                EXPECT_EQ(st.st_ino, StatOf(to_).st_ino) << "the destination's folder";
                EXPECT_EQ(ReadBytes(Target("song.mp3")), bytes) << "under its name already";
            } else if (c.replace) {
                EXPECT_EQ(ReadBytes(Target("song.mp3")), old_target) << "not yet replaced";
            }
            return ::fsync(fd);
        };
        EXPECT_EQ(CopyOrMoveInto(source, to_, c.keep_source, options), kDone);
        EXPECT_EQ(flushed, c.flushed);
        EXPECT_EQ(fs::exists(source), c.keep_source);
        EXPECT_EQ(ReadBytes(Target("song.mp3")), bytes);
    }
}

TEST_F(FileCopyTest, AFlushThatFailsKeepsTheSource) {
    const Bytes bytes = Pattern(100000), old_target = Pattern(300, 9);
    struct Case {
        bool fail_directory;  // else the file's flush fails
        bool keep_source, replace;
        int expected;
    };
    for (const Case& c : {Case{false, true, true, kDestinationUnwritable},
                          Case{false, false, false, kDestinationUnwritable},
                          Case{false, false, true, kDestinationUnwritable},
                          Case{true, false, false, kMoveSourceNotDeleted},
                          Case{true, false, true, kMoveSourceNotDeleted}}) {
        SCOPED_TRACE(std::string(c.fail_directory ? "directory" : "file") +
                     (c.keep_source ? ", copy" : ", move") + (c.replace ? " over" : ""));
        fs::remove_all(to_);
        fs::create_directories(to_);
        if (c.replace) WriteBytes(Target("song.mp3"), old_target);
        const std::string source = Source("song.mp3", bytes);
        CopyOptions options;
        options.overwrite_without_asking = true;
        options.flush = [&](int fd) {
            struct stat st {};
            ::fstat(fd, &st);
            if (S_ISDIR(st.st_mode) != c.fail_directory) return ::fsync(fd);
            errno = EIO;
            return -1;
        };
        EXPECT_EQ(CopyOrMoveInto(source, to_, c.keep_source, options), c.expected);
        EXPECT_EQ(ReadBytes(source), bytes);
        if (c.fail_directory) {
            EXPECT_EQ(ReadBytes(Target("song.mp3")), bytes) << "the copy is kept too";
        } else if (c.replace) {
            EXPECT_EQ(ReadBytes(Target("song.mp3")), old_target);
        }
        EXPECT_EQ(Names(to_).size(), c.fail_directory || c.replace ? 1u : 0u);
    }
}

}  // namespace
}  // namespace ambrel::test
