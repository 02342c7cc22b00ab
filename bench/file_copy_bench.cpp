// Copying 1,000 files of 4 MB each into another folder of the same file system with the file
// viewer's copy, next to cp and to a plain read/write loop over the same files in the same
// run, so the cost of the copy's safety (a temporary name, a rename, the progress) reads off
// as a ratio. The 4 GB tree is made once per run, and removed when the run ends (and at the
// start of the next one, should a run have been killed).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "files/file_viewer.h"
#include "files/result_codes.h"
#include "support/memory_process_view.h"

namespace ambrel::test {
namespace {

namespace fs = std::filesystem;

constexpr int kFiles = 1000;
constexpr std::size_t kFileSize = 4 * 1024 * 1024;

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
            const int fd = ::open(sources_.back().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd < 0 ||
                ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
                std::abort();
            ::close(fd);
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

}  // namespace
}  // namespace ambrel::test
