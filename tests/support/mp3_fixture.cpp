#include "support/mp3_fixture.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace ambrel::test {

namespace fs = std::filesystem;

namespace {
void PutText(Block& block, std::size_t offset, std::size_t width, const std::string& text) {
    std::memcpy(block.data() + offset, text.data(), std::min(width, text.size()));
}
}  // namespace

Block MakeBlock(const TagFields& f) {
    Block block{};
    std::memcpy(block.data(), "TAG", 3);
    PutText(block, 3, 30, f.title);
    PutText(block, 33, 30, f.artist);
    PutText(block, 63, 30, f.album);
    PutText(block, 93, 4, f.year);
    PutText(block, 97, 29, f.comment);
    block[126] = static_cast<uint8_t>(f.track);
    block[127] = static_cast<uint8_t>(f.genre);
    return block;
}

std::vector<uint8_t> MakeMp3Bytes(std::size_t audio_size, const std::optional<Block>& block) {
    std::vector<uint8_t> bytes(audio_size);
    for (std::size_t i = 0; i < audio_size; ++i)
        bytes[i] = static_cast<uint8_t>((i * 7 + 1) & 0xff);
    if (block) bytes.insert(bytes.end(), block->begin(), block->end());
    return bytes;
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    const fs::path p(path);
    if (p.has_parent_path()) fs::create_directories(p.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot write " + path);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::string WriteText(const std::string& path, std::string_view text) {
    WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
    return path;
}

std::string WriteMp3(const std::string& path, std::size_t audio_size,
                     const std::optional<Block>& block) {
    WriteBytes(path, MakeMp3Bytes(audio_size, block));
    return path;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in),
                                std::istreambuf_iterator<char>());
}

std::vector<uint8_t> ReadTail(const std::string& path, std::size_t n) {
    const auto bytes = ReadBytes(path);
    const std::size_t start = bytes.size() > n ? bytes.size() - n : 0;
    return std::vector<uint8_t>(bytes.begin() + static_cast<long>(start), bytes.end());
}

long long FileSize(const std::string& path) {
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    return ec ? -1 : static_cast<long long>(size);
}

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "ambrel-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string TempDir::operator/(std::string_view relative) const {
    return path_ + "/" + std::string(relative);
}

}  // namespace ambrel::test
