#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "support/id3v2_fixture.h"
#include "support/mp3_fixture.h"
#include "tag/id3v2_reader.h"

namespace ambrel::test {
namespace {

using Bytes = std::vector<uint8_t>;

std::vector<Id3v2Frame> Frames(int version) {
    return {{"TIT2", {"A title"}, ""},
            {"TPE1", {"One", "Two"}, ""},
            {version == 3 ? "TYER" : "TDRC", {"1994"}, ""},
            {"TRCK", {"3/12"}, ""},
            {"TCON", {"(17)Rock"}, ""},
            {"COMM", {"A comment"}, "desc"},
            {"COMM", {"Another"}, ""}};
}

// Real tags of every form the reader meets, to be damaged below.
std::vector<Bytes> Seeds() {
    return {MakeId3v2Tag({3, 1, Frames(3), Id3v2Form::kPlain}),
            MakeId3v2Tag({3, 1, Frames(3), Id3v2Form::kUnsynchronised}),
            MakeId3v2Tag({4, 3, Frames(4), Id3v2Form::kPlain}),
            MakeId3v2Tag({4, 1, Frames(4), Id3v2Form::kCompressed})};
}

void PutSyncsafe(Bytes& bytes, std::size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.at(at + i) = (value >> (7 * (3 - i))) & 0x7F;
}

void PutBigEndian(Bytes& bytes, std::size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.at(at + i) = static_cast<uint8_t>(value >> (8 * (3 - i)));
}

// The offsets of the frame headers of an undamaged tag (size fields as its version has them).
std::vector<std::size_t> FrameOffsets(const Bytes& tag) {
    std::vector<std::size_t> offsets;
    for (std::size_t at = 10; at + 10 <= tag.size() && tag[at] != 0;) {
        offsets.push_back(at);
        uint32_t size = 0;
        for (int i = 0; i < 4; ++i)
            size = tag[3] == 4 ? (size << 7) | tag[at + 4 + i] : (size << 8) | tag[at + 4 + i];
        at += 10 + size;
    }
    return offsets;
}

// One damaged variant of a tag; some keep their audio after them, so that a size reaching past
// the tag's end still lies within the file.
Bytes Damaged(const Bytes& seed, std::mt19937& random, bool& with_audio) {
    Bytes tag = seed;
    const std::vector<std::size_t> frames = FrameOffsets(seed);
    const auto pick = [&](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    };
    with_audio = pick(2) == 0;
    switch (pick(7)) {
        case 0:  // cut anywhere
            tag.resize(pick(tag.size()));
            break;
        case 1:  // a few bytes changed anywhere, the header included
            for (std::size_t n = 1 + pick(8); n > 0; --n) tag[pick(tag.size())] = pick(256);
            break;
        case 2:  // the largest size the header can declare
            PutSyncsafe(tag, 6, 0x0FFFFFFF);
            with_audio = true;
            break;
        case 3:  // a frame of 2 GB, or of the largest syncsafe size
            if (!frames.empty())
                PutBigEndian(tag, frames[pick(frames.size())] + 4,
                             pick(2) == 0 ? 0x80000000u : 0x7F7F7F7Fu);
            break;
        case 4:  // a frame's flags: compressed, encrypted, grouped, a data length
            if (!frames.empty()) tag[frames[pick(frames.size())] + 9] = pick(256);
            break;
        case 5:  // the tag's flags: unsynchronised, an extended header, a footer
            tag[5] = pick(256);
            break;
        default:  // a tag smaller than its frames, or of no frames at all
            PutSyncsafe(tag, 6, static_cast<uint32_t>(pick(tag.size())));
            break;
    }
    return tag;
}

TEST(Id3v2ReaderFuzzTest, DamagedTagsAlwaysGiveAnAnswer) {
    TempDir dir;
    const std::vector<Bytes> seeds = Seeds();
    const Bytes audio = MakeMp3Bytes(4096, std::nullopt);
    std::mt19937 random(20240611);
    int usable = 0, refused = 0;
    for (int variant = 0; variant < 400; ++variant) {
        bool with_audio = false;
        Bytes bytes = Damaged(seeds[variant % seeds.size()], random, with_audio);
        if (with_audio) bytes.insert(bytes.end(), audio.begin(), audio.end());
        const std::string path = dir / "fuzz.mp3";
        WriteBytes(path, bytes);
        const Id3v2Reading reading = ReadId3v2(path);
        // Either values or the reason there are none, never both and never neither.
        EXPECT_NE(reading.values.has_value(), !reading.problem.empty()) << "variant " << variant;
        (reading.values ? usable : refused)++;
        EXPECT_EQ(ReadBytes(path), bytes) << "variant " << variant;
    }
    // Both kinds of answer occur, so the variants reach TagLib and the checks before it.
    EXPECT_GT(usable, 0);
    EXPECT_GT(refused, 0);
}

}  // namespace
}  // namespace ambrel::test
