// The raw reader as a program of its own, so a script can time it next to ambrel-cli:
//   raw_tag_reader --corpus N     builds (once) the generated corpus of N files, prints its root
//   raw_tag_reader --list ROOT    prints the ".mp3" paths under ROOT, sorted, one a line
//   raw_tag_reader --read FILE    reads the tag block of every path listed in FILE (open, fstat,
//                                 one positioned read, close) and prints how many are tagged
//   raw_tag_reader --walk ROOT    the same over the paths found under ROOT (walk included)
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "support/corpus.h"

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr,
                     "usage: raw_tag_reader --corpus N | --list ROOT | --read FILE | "
                     "--walk ROOT\n");
        return 2;
    }
    const std::string mode = argv[1], arg = argv[2];
    if (mode == "--corpus") {
        std::printf("%s\n", ambrel::test::BenchCorpus(std::stoi(arg)).c_str());
        return 0;
    }
    std::vector<std::string> paths;
    if (mode == "--read") {
        std::ifstream in(arg);
        for (std::string line; std::getline(in, line);) paths.push_back(line);
    } else {
        paths = ambrel::test::CorpusPaths(arg);
    }
    if (mode == "--list") {
        for (const std::string& path : paths) std::printf("%s\n", path.c_str());
        return 0;
    }
    std::printf("%zu files, %d tagged\n", paths.size(), ambrel::test::RawTagCount(paths));
    return 0;
}
