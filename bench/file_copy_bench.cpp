// Copying 1,000 files of 4 MB each into another folder of the same file system with the file
// viewer's copy, next to cp and to a plain read/write loop over the same files in the same
// run, so the cost of the copy's safety (a temporary name, a rename, the progress) reads off
// as a ratio. The 4 GB tree is made once per run, and removed when the run ends (and at the
// start of the next one, should a run have been killed).
//
// Then moves of many files with the flushes that let a move survive a power cut and without
// them (below, BM_Move).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "files/file_copy.h"
#include "files/file_viewer.h"
#include "files/result_codes.h"
#include "support/memory_process_view.h"

namespace ambrel::test {
namespace {

namespace fs = std::filesystem;

constexpr int kFiles = 1000;
constexpr std::size_t kFileSize = 4 * 1024 * 1024;

void WriteSource(const std::string& path, const std::vector<char>& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        std::abort();
    ::close(fd);
}

class CopyTree {
public:
    static CopyTree& Get() {
        static CopyTree tree;
        return tree;
    }
    ~CopyTree() { fs::remove_all(root_); }

    const std::vector<std::string>& Sources() const { return sources_; }
    const std::string& From() const { return from_; }
    const std::string& To() const { return to_; }
    // Removes the copies, so that every pass writes new files.
    void EmptyDestination() const {
        fs::remove_all(to_);
        fs::create_directories(to_);
    }

private:
    CopyTree()
        : root_((fs::temp_directory_path() / "ambrel-bench-copy").string()),
          from_(root_ + "/from"),
          to_(root_ + "/to") {
        fs::remove_all(root_);
        fs::create_directories(from_);
        fs::create_directories(to_);
        std::vector<char> bytes(kFileSize);
        for (int i = 0; i < kFiles; ++i) {
            for (std::size_t b = 0; b < bytes.size(); b += 4096)
                bytes[b] = static_cast<char>(i + b);
            sources_.push_back(from_ + "/song" + std::to_string(i) + ".mp3");
            WriteSource(sources_.back(), bytes);
        }
        // The sources' own write-back must not fall into the first measured pass.
        ::sync();
    }

    std::string root_, from_, to_;
    std::vector<std::string> sources_;
};

void Finish(benchmark::State& state, bool all_copied) {
    CopyTree::Get().EmptyDestination();
    if (!all_copied) state.SkipWithError("a copy failed");
    state.SetBytesProcessed(state.iterations() * kFiles * static_cast<int64_t>(kFileSize));
}

// The least a copy must do: read each file through one buffer and write it under its name.
bool PlainCopy(const std::string& source, const std::string& target) {
    static std::vector<char> buffer(65536);
    const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    bool ok = in >= 0 && out >= 0;
    for (ssize_t got; ok && (got = ::read(in, buffer.data(), buffer.size())) > 0;) {
        ok = ::write(out, buffer.data(), static_cast<std::size_t>(got)) == got;
    }
    if (in >= 0) ::close(in);
    if (out >= 0 && ::close(out) != 0) ok = false;
    return ok;
}

void BM_CopyWithCp(benchmark::State& state) {
    const CopyTree& tree = CopyTree::Get();
    const std::string command = "cp -- " + tree.From() + "/*.mp3 " + tree.To() + "/";
    bool ok = true;
    for (auto _ : state) {
        ok = ok && std::system(command.c_str()) == 0;
        state.PauseTiming();
        tree.EmptyDestination();
        state.ResumeTiming();
    }
    Finish(state, ok);
}

void BM_CopyReadWriteLoop(benchmark::State& state) {
    const CopyTree& tree = CopyTree::Get();
    bool ok = true;
    for (auto _ : state) {
        for (const std::string& source : tree.Sources()) {
            ok = PlainCopy(source, tree.To() + "/" + fs::path(source).filename().string()) && ok;
        }
        state.PauseTiming();
        tree.EmptyDestination();
        state.ResumeTiming();
    }
    Finish(state, ok);
}

void BM_CopyOrMoveFile(benchmark::State& state) {
    const CopyTree& tree = CopyTree::Get();
    TFileViewer viewer(tree.To());
    MemoryProgressBar bar;
    viewer.SetProgressBar(&bar);
    bool ok = true;
    for (auto _ : state) {
        for (const std::string& source : tree.Sources()) {
            bar.positions.clear();
            ok = viewer.CopyOrMoveFile(source, true) == kDone && ok;
        }
        state.PauseTiming();
        tree.EmptyDestination();
        state.ResumeTiming();
    }
    Finish(state, ok);
}

// Each pass writes 4 GB; a few passes are enough, and real time counts the cp child too.
BENCHMARK(BM_CopyWithCp)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyReadWriteLoop)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyOrMoveFile)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);

// The file system that holds path, for the label: on tmpfs a flush costs nothing.
std::string FileSystemOf(const std::string& path) {
    struct statfs st;
    if (::statfs(path.c_str(), &st) != 0) return "unknown file system";
    switch (st.f_type) {
        case 0x01021994:
            return "tmpfs";
        case 0xEF53:
            return "ext4";
        case 0x58465342:
            return "xfs";
        case 0x9123683E:
            return "btrfs";
    }
    char name[32];
    std::snprintf(name, sizeof name, "file system 0x%lx", static_cast<unsigned long>(st.f_type));
    return name;
}

// Two folders of one file system under TMPDIR (else /tmp; point it at a disk-backed folder),
// count files of size bytes in the first; each pass moves them all to the other folder.
class MoveFolders {
public:
    MoveFolders(int count, std::size_t size)
        : root_((fs::temp_directory_path() / "ambrel-bench-move").string()),
          here_(root_ + "/a"),
          there_(root_ + "/b") {
        fs::remove_all(root_);
        fs::create_directories(here_);
        fs::create_directories(there_);
        std::vector<char> bytes(size);
        for (int i = 0; i < count; ++i) {
            for (std::size_t b = 0; b < size; b += 4096) bytes[b] = static_cast<char>(i + b);
            names_.push_back("song" + std::to_string(i) + ".mp3");
            WriteSource(here_ + "/" + names_.back(), bytes);
        }
        ::sync();
    }
    ~MoveFolders() { fs::remove_all(root_); }
    MoveFolders(const MoveFolders&) = delete;
    MoveFolders& operator=(const MoveFolders&) = delete;

    std::string FileSystem() const { return FileSystemOf(root_); }
    bool MoveAll(const CopyOptions& options) {
        bool ok = true;
        for (const std::string& name : names_) {
            ok = CopyOrMoveInto(here_ + "/" + name, there_, false, options) == kDone && ok;
        }
        std::swap(here_, there_);
        return ok;
    }

private:
    std::string root_, here_, there_;
    std::vector<std::string> names_;
};

// A move of range(0) files of range(1) bytes each, exactly as the file viewer makes it, with
// its flushes (the copy, then its folder, before the source is deleted) or with the flush
// made a no-op: the ratio of the two is what surviving a power cut costs. Writes that were
// not flushed are written back by the kernel in its own time, mostly after the measure.
void BM_Move(benchmark::State& state, bool flushed) {
    MoveFolders folders(static_cast<int>(state.range(0)), static_cast<std::size_t>(state.range(1)));
    CopyOptions options;
    if (!flushed) options.flush = [](int) { return 0; };
    bool ok = true;
    for (auto _ : state) ok = folders.MoveAll(options) && ok;
    if (!ok) state.SkipWithError("a move failed");
    state.SetLabel(folders.FileSystem());
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(state.iterations() * state.range(0) * state.range(1));
}

// 100 files of 4 MB (an album) and 1,000 of 100 KB; the items per second are files.
BENCHMARK_CAPTURE(BM_Move, flushed, true)
    ->Args({100, 4 << 20})
    ->Args({1000, 100 << 10})
    ->Iterations(3)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Move, unflushed, false)
    ->Args({100, 4 << 20})
    ->Args({1000, 100 << 10})
    ->Iterations(3)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace ambrel::test
