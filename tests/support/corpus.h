#pragma once

#include <string>
#include <vector>

namespace ambrel::test {

// A generated tree of `count` small MP3-like files for benchmarks: subdirectories of
// 1000 files each, about 80% with a varied ID3v1 tag and 20% without, plus a few files
// that are not ".mp3". Created once under the system's temporary directory
// (ambrel-bench-corpus-<count>) and reused by later runs; returns its root.
const std::string& BenchCorpus(int count);

// The ".mp3" files under root, sorted by path so every run sees the same order.
std::vector<std::string> CorpusPaths(const std::string& root);

// CorpusPaths of BenchCorpus(count), listed once per count. The first call also reads every
// file once, so that whichever benchmark runs first does not pay alone for a cold cache.
const std::vector<std::string>& WarmCorpusPaths(int count);

// The raw reader the loaders are measured against: per file one open, one fstat, one
// positioned read of the last 128 bytes and one close, and nothing more. Returns how many
// of the files end with a block that begins with "TAG".
int RawTagCount(const std::vector<std::string>& paths);

}  // namespace ambrel::test
