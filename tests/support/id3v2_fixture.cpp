#include "support/id3v2_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "support/python_reader.h"

namespace ambrel::test {

namespace {

// Builds the tag with mutagen and prints it as hex. Arguments: version, encoding, form, then
// per frame its ID, its description, its number of values and the values, texts as UTF-8 hex.
// mutagen writes neither unsynchronised tags nor compressed frames, so its plain tag is
// turned into them here. No single quote in it: it is handed to the shell in them.
constexpr const char* kScript = R"PY(
import os, sys, tempfile, zlib
from mutagen import id3
a = sys.argv[1:]
version, encoding, form = int(a[0]), int(a[1]), a[2]
text = lambda s: bytes.fromhex(s).decode("utf-8")
tag, i = id3.ID3(), 3
while i < len(a):
    fid, desc, n = a[i], text(a[i + 1]), int(a[i + 2])
    values = [text(v) for v in a[i + 3:i + 3 + n]]
    i += 3 + n
    if fid == "COMM":
        tag.add(id3.COMM(encoding=encoding, lang="eng", desc=desc, text=values))
    else:
        tag.add(getattr(id3, fid)(encoding=encoding, text=values))
fd, path = tempfile.mkstemp()
os.close(fd)
try:
    tag.save(path, v2_version=version, padding=lambda info: 32)
    data = open(path, "rb").read()
finally:
    os.remove(path)
def syncsafe(n):
    return bytes([(n >> 21) & 127, (n >> 14) & 127, (n >> 7) & 127, n & 127])
body = data[10:]
if form == "unsync":
    out = bytearray()
    for k, b in enumerate(body):
        out.append(b)
        if b == 0xFF and (k + 1 == len(body) or body[k + 1] >= 0xE0 or body[k + 1] == 0):
            out.append(0)
    data = data[:5] + bytes([data[5] | 0x80]) + syncsafe(len(out)) + bytes(out)
elif form == "compressed":
    frames, k = b"", 0
    while k + 10 <= len(body) and body[k] != 0:
        size = (body[k + 4] << 21) | (body[k + 5] << 14) | (body[k + 6] << 7) | body[k + 7]
        raw = body[k + 10:k + 10 + size]
        packed = syncsafe(len(raw)) + zlib.compress(raw)
        flags = bytes([body[k + 8], body[k + 9] | 0x09])
        frames += body[k:k + 4] + syncsafe(len(packed)) + flags + packed
        k += 10 + size
    data = data[:6] + syncsafe(len(frames)) + frames
print(data.hex())
)PY";

constexpr const char* kInflatingScript = R"PY(
import sys, zlib
def syncsafe(n):
    return bytes([(n >> 21) & 127, (n >> 14) & 127, (n >> 7) & 127, n & 127])
raw = b"\x03" + b"A" * int(sys.argv[1])
packed = syncsafe(len(raw)) + zlib.compress(raw, 9)
frame = b"TIT2" + syncsafe(len(packed)) + b"\x00\x09" + packed
print((b"ID3\x04\x00\x00" + syncsafe(len(frame)) + frame).hex())
)PY";

std::vector<uint8_t> FromHex(const std::string& hex) {
    std::vector<uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size() && hex[i] != '\n'; i += 2)
        bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::string Hex(const std::string& bytes) {
    static const char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += kDigits[c >> 4];
        hex += kDigits[c & 15];
    }
    return hex;
}

std::string TextArgument(const std::string& text) { return text.empty() ? "\"\"" : Hex(text); }

// The first python3 that has mutagen: the one on PATH may be another installation.
const std::string& Python() {
    static const std::string python = [] {
        for (const char* candidate : {"python3", "/usr/bin/python3"}) {
            const std::string probe =
                std::string(candidate) + " -c 'import mutagen' >/dev/null 2>&1";
            if (std::system(probe.c_str()) == 0) return std::string(candidate);
        }
        throw std::runtime_error("no python3 with mutagen");
    }();
    return python;
}

const char* FormName(Id3v2Form form) {
    switch (form) {
        case Id3v2Form::kUnsynchronised:
            return "unsync";
        case Id3v2Form::kCompressed:
            return "compressed";
        default:
            return "plain";
    }
}

void PutLittleEndian(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

std::vector<uint8_t> MakeId3v2Tag(const Id3v2Spec& spec) {
    std::string command = Python() + " -c '" + kScript + "' " + std::to_string(spec.version) + " " +
                          std::to_string(spec.encoding) + " " + FormName(spec.form);
    for (const Id3v2Frame& frame : spec.frames) {
        command += " " + frame.id + " " + TextArgument(frame.description) + " " +
                   std::to_string(frame.values.size());
        for (const std::string& value : frame.values) command += " " + TextArgument(value);
    }
    return FromHex(CommandOutput(command));
}

std::vector<uint8_t> MakeInflatingTag(std::size_t inflated_size) {
    return FromHex(CommandOutput(Python() + " -c '" + kInflatingScript + "' " +
                                 std::to_string(inflated_size)));
}

std::vector<uint8_t> MakeApeTag() {
    const std::string key = "Title", value = "APE title";
    std::vector<uint8_t> item;
    PutLittleEndian(item, static_cast<uint32_t>(value.size()));
    PutLittleEndian(item, 0);
    item.insert(item.end(), key.begin(), key.end());
    item.push_back(0);
    item.insert(item.end(), value.begin(), value.end());
    const auto frame = [&](uint32_t flags) {
        static const std::string kPreamble = "APETAGEX";
        std::vector<uint8_t> out(kPreamble.begin(), kPreamble.end());
        PutLittleEndian(out, 2000);
        PutLittleEndian(out, static_cast<uint32_t>(item.size() + 32));  // items and footer
        PutLittleEndian(out, 1);
        PutLittleEndian(out, flags);
        out.resize(out.size() + 8, 0);
        return out;
    };
    constexpr uint32_t kHasHeader = 1u << 31, kIsHeader = 1u << 29;
    std::vector<uint8_t> tag = frame(kHasHeader | kIsHeader);
    tag.insert(tag.end(), item.begin(), item.end());
    const std::vector<uint8_t> footer = frame(kHasHeader);
    tag.insert(tag.end(), footer.begin(), footer.end());
    return tag;
}

std::string WriteMp3WithId3v2(const std::string& path, const std::vector<uint8_t>& tag,
                              const std::optional<Block>& id3v1, bool ape, std::size_t audio_size) {
    std::vector<uint8_t> bytes = tag;
    const std::vector<uint8_t> audio = MakeMp3Bytes(audio_size, std::nullopt);
    bytes.insert(bytes.end(), audio.begin(), audio.end());
    if (ape) {
        const std::vector<uint8_t> ape_tag = MakeApeTag();
        bytes.insert(bytes.end(), ape_tag.begin(), ape_tag.end());
    }
    if (id3v1) bytes.insert(bytes.end(), id3v1->begin(), id3v1->end());
    WriteBytes(path, bytes);
    return path;
}

}  // namespace ambrel::test
