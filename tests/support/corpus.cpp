#include "support/corpus.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <stdexcept>

#include "support/mp3_fixture.h"

namespace ambrel::test {

namespace fs = std::filesystem;

namespace {

constexpr int kFilesPerDirectory = 1000;
constexpr const char* kMarker = ".complete";

const char* const kArtists[] = {"Aurora Lane", "The Quiet Hours",  "Bj\xF6rk Tribute Band",
                                "Motorway",    "Ensemble Caf\xE9", "DJ Nine",
                                "Lumen",       "Sal & Pepper"};
const char* const kTitles[] = {"Opening",     "Night Drive", "Rain on Glass", "Second Wind",
                               "Fr\xFChling", "Static",      "Homeward",      "Paper Boats"};
const char* const kAlbums[] = {"First Light",     "Live at the Hall", "",
                               "Collected Works", "Unreleased",       "Salt and Stone"};

// A small deterministic generator, so every machine builds the same corpus.
struct Lcg {
    uint32_t state;
    uint32_t Next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
};

void WriteWhole(const std::string& path, const std::vector<uint8_t>& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw std::runtime_error("cannot create " + path);
    const ssize_t put = ::write(fd, bytes.data(), bytes.size());
    ::close(fd);
    if (put != static_cast<ssize_t>(bytes.size())) throw std::runtime_error("short write " + path);
}

std::vector<uint8_t> CorpusFile(int i, Lcg& rng) {
    const std::size_t audio = 200 + rng.Next() % 401;
    if (rng.Next() % 5 == 0) return MakeMp3Bytes(audio, std::nullopt);
    TagFields f;
    f.artist = kArtists[rng.Next() % std::size(kArtists)];
    f.title = std::string(kTitles[rng.Next() % std::size(kTitles)]) + " " + std::to_string(i);
    f.album = kAlbums[rng.Next() % std::size(kAlbums)];
    f.year = std::to_string(1960 + rng.Next() % 65);
    f.comment = rng.Next() % 3 == 0 ? "ripped" : "";
    f.track = static_cast<int>(rng.Next() % 21);
    f.genre = rng.Next() % 10 == 0 ? 254 : static_cast<int>(rng.Next() % 148);
    return MakeMp3Bytes(audio, MakeBlock(f));
}

void BuildCorpus(const std::string& dir, int count) {
    Lcg rng{static_cast<uint32_t>(count)};
    char name[64];
    for (int i = 0; i < count; ++i) {
        if (i % kFilesPerDirectory == 0) {
            std::snprintf(name, sizeof name, "/d%04d", i / kFilesPerDirectory);
            fs::create_directories(dir + name);
            // A few files of other kinds sit among the audio files.
            WriteWhole(dir + name + "/notes.txt", {'n', 'o', 't', 'e', 's'});
            WriteWhole(dir + name + "/cover.jpg", std::vector<uint8_t>(300, 0xFF));
        }
        std::snprintf(name, sizeof name, "/d%04d/track %06d.mp3", i / kFilesPerDirectory, i);
        WriteWhole(dir + name, CorpusFile(i, rng));
    }
    WriteWhole(dir + "/" + kMarker, {});
}

std::string MakeCorpus(int count) {
    const fs::path root =
        fs::temp_directory_path() / ("ambrel-bench-corpus-" + std::to_string(count));
    if (fs::exists(root / kMarker)) return root.string();
    // Built beside its final place and renamed into it, so a run that is stopped halfway
    // (or another process building the same corpus) never leaves a half corpus behind.
    const fs::path staging = root.string() + ".tmp-" + std::to_string(::getpid());
    fs::remove_all(staging);
    BuildCorpus(staging.string(), count);
    std::error_code ec;
    if (fs::exists(root) && !fs::exists(root / kMarker)) fs::remove_all(root, ec);
    fs::rename(staging, root, ec);
    if (ec) fs::remove_all(staging, ec);  // another process got there first
    if (!fs::exists(root / kMarker)) throw std::runtime_error("cannot build " + root.string());
    return root.string();
}

}  // namespace

const std::string& BenchCorpus(int count) {
    static std::map<int, std::string> roots;
    auto found = roots.find(count);
    if (found == roots.end()) found = roots.emplace(count, MakeCorpus(count)).first;
    return found->second;
}

std::vector<std::string> CorpusPaths(const std::string& root) {
    std::vector<std::string> paths;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file() && entry.path().extension() == ".mp3") {
            paths.push_back(entry.path().string());
        }
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

const std::vector<std::string>& WarmCorpusPaths(int count) {
    static std::map<int, std::vector<std::string>> lists;
    auto found = lists.find(count);
    if (found == lists.end()) {
        found = lists.emplace(count, CorpusPaths(BenchCorpus(count))).first;
        RawTagCount(found->second);
    }
    return found->second;
}

int RawTagCount(const std::vector<std::string>& paths) {
    int tagged = 0;
    uint8_t tail[128];
    for (const std::string& path : paths) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st;
        if (::fstat(fd, &st) == 0 && st.st_size >= 128 &&
            ::pread(fd, tail, sizeof tail, st.st_size - 128) == 128 &&
            std::memcmp(tail, "TAG", 3) == 0) {
            ++tagged;
        }
        ::close(fd);
    }
    return tagged;
}

}  // namespace ambrel::test
