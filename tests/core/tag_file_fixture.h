#pragma once

// What the tag record's tests share: a sample tag and files with and without it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/mp3_fixture.h"
#include "tag/tag_file.h"

namespace ambrel::test {

inline std::vector<uint8_t> ToBytes(const TagBlock& block) { return {block.begin(), block.end()}; }

inline TagFields SampleFields() {
    TagFields f;
    f.title = "Night Drive";
    f.artist = "Aurora Lane";
    f.album = "First Light";
    f.year = "1999";
    f.comment = "ripped";
    f.track = 7;
    f.genre = 17;
    return f;
}

class TagFileTest : public ::testing::Test {
protected:
    // A file of 1000 audio bytes followed by the sample tag.
    std::string Tagged(const std::string& name = "song.mp3") {
        return WriteMp3(dir / name, 1000, MakeBlock(SampleFields()));
    }
    std::string Untagged(const std::string& name = "bare.mp3") {
        return WriteMp3(dir / name, 1000, std::nullopt);
    }

    TempDir dir;
};

}  // namespace ambrel::test
