#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/mp3_fixture.h"

// ID3v2 tags written by mutagen, a tagger that was not written with the reader it checks.
namespace ambrel::test {

// One frame: a text frame (TIT2, TYER, TCON...) holds the values, a COMM frame the first value
// as its text and description as its description. Texts are UTF-8.
struct Id3v2Frame {
    std::string id;
    std::vector<std::string> values;
    std::string description;
};

enum class Id3v2Form {
    kPlain,
    kUnsynchronised,  // 2.3: the whole tag unsynchronised (0xFF gets a zero after it)
    kCompressed,      // 2.4: every frame compressed with zlib, with its data length
};

struct Id3v2Spec {
    int version = 4;   // 3 or 4
    int encoding = 3;  // mutagen's: 0 Latin-1, 1 UTF-16, 3 UTF-8 (2.4 only)
    std::vector<Id3v2Frame> frames;
    Id3v2Form form = Id3v2Form::kPlain;
};

// The bytes of the tag, header and padding included, as python3 with mutagen writes them.
std::vector<uint8_t> MakeId3v2Tag(const Id3v2Spec& spec);

// A 2.4 tag of one compressed title frame of a few kilobytes that inflates to inflated_size
// bytes of text.
std::vector<uint8_t> MakeInflatingTag(std::size_t inflated_size);

// A small APEv2 tag (header, one item, footer), as it sits before an ID3v1 block.
std::vector<uint8_t> MakeApeTag();

// Writes the tag, audio_size bytes of MP3-like audio, an APE tag when asked and the ID3v1
// block when one is given; returns the path.
std::string WriteMp3WithId3v2(const std::string& path, const std::vector<uint8_t>& tag,
                              const std::optional<Block>& id3v1 = std::nullopt, bool ape = false,
                              std::size_t audio_size = 2048);

}  // namespace ambrel::test
