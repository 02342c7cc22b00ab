#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ambrel::test {

using Block = std::array<uint8_t, 128>;

// Fields of an ID3v1 block to write; texts are raw (Latin-1) bytes.
struct TagFields {
    std::string title, artist, album, year, comment;
    int track = 0;
    int genre = 254;
};

// A 128-byte block beginning with "TAG" and holding the fields, zero-padded.
Block MakeBlock(const TagFields& fields);
// The bytes of the file: audio_size bytes of a recognisable pattern, then the block
// when one is given.
std::vector<uint8_t> MakeMp3Bytes(std::size_t audio_size, const std::optional<Block>& block);
// Writes such a file (creating its parent directories); returns the path.
std::string WriteMp3(const std::string& path, std::size_t audio_size,
                     const std::optional<Block>& block);
// Writes the bytes as they are.
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
// Writes the text as it is (creating the parent directories); returns the path.
std::string WriteText(const std::string& path, std::string_view text);
std::vector<uint8_t> ReadBytes(const std::string& path);
// The last 128 bytes of a file (fewer when the file is shorter).
std::vector<uint8_t> ReadTail(const std::string& path, std::size_t n = 128);
long long FileSize(const std::string& path);

// A fresh directory under the system's temporary directory, removed with its
// contents when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    // path() + "/" + relative
    std::string operator/(std::string_view relative) const;

private:
    std::string path_;
};

}  // namespace ambrel::test
