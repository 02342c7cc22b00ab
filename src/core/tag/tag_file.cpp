#include "tag/tag_file.h"

#include <algorithm>
#include <cstring>

#include "platform/file_io.h"
#include "platform/paths.h"
#include "tag/code_page.h"
#include "tag/text_helpers.h"

namespace ambrel {

namespace {

constexpr long long kBlockLength = static_cast<long long>(id3v1::kBlockSize);

// Reads the last 128 bytes of an open file; false when it is shorter.
bool ReadTail(const file_io::File& file, TagBlock* tail) {
    return file.Size() >= kBlockLength &&
           file.ReadAt(file.Size() - kBlockLength, tail->data(), tail->size());
}

}  // namespace

TTagFile::TTagFile(std::optional<std::string_view> path) {
    SetPath(path);
    Clear();
}

void TTagFile::Clear() {
    kind_ = TagKind::kId3v1;
    state_ = tsNone;
    modified_ = false;
    block_.fill(0);
    on_disk_.fill(0);  // no block begins with zeros: nothing is known to be on disk
    std::memcpy(block_.data(), "TAG", 3);
    block_[id3v1::kTrackOffset] = 0;
    block_[id3v1::kGenreOffset] = id3v1::kNoGenre;
}

namespace {

// A field's case changed character by character. In a double-byte page the second byte of
// a character may be an ASCII letter, so the text is changed as decoded and encoded again;
// a change of ASCII case keeps every character's length, so the field's bytes stay in place.
void ChangeFieldCase(char* field, std::size_t width, int mode, const CodePageConverter& page) {
    if (!page.IsDoubleByte()) {
        ambrel::ChangeCase(field, width, mode);
        return;
    }
    const std::size_t length = ::strnlen(field, width);
    std::string text = page.Decode(std::string_view(field, length));
    ambrel::ChangeCase(text, mode);
    const std::string bytes = page.Encode(text);
    if (bytes.size() == length) std::memcpy(field, bytes.data(), length);
}

}  // namespace

void TTagFile::ChangeCase(int mode) {
    char* bytes = reinterpret_cast<char*>(block_.data());
    const CodePageConverter page = CodePageConverter::Current();
    ChangeFieldCase(bytes + id3v1::kTitleOffset, id3v1::kTitleWidth, mode, page);
    ChangeFieldCase(bytes + id3v1::kArtistOffset, id3v1::kArtistWidth, mode, page);
    ChangeFieldCase(bytes + id3v1::kAlbumOffset, id3v1::kAlbumWidth, mode, page);
}

int TTagFile::SetArtist(std::optional<std::string_view> text) {
    return SetText(id3v1::kArtistOffset, id3v1::kArtistWidth, text);
}
int TTagFile::SetTitle(std::optional<std::string_view> text) {
    return SetText(id3v1::kTitleOffset, id3v1::kTitleWidth, text);
}
int TTagFile::SetAlbum(std::optional<std::string_view> text) {
    return SetText(id3v1::kAlbumOffset, id3v1::kAlbumWidth, text);
}
int TTagFile::SetYear(std::optional<std::string_view> text) {
    return SetText(id3v1::kYearOffset, id3v1::kYearWidth, text);
}
int TTagFile::SetComment(std::optional<std::string_view> text) {
    return SetText(id3v1::kCommentOffset, id3v1::kCommentWidth, text);
}
int TTagFile::SetTrack(int value) { return SetByte(id3v1::kTrackOffset, value); }
int TTagFile::SetGenre(int value) { return SetByte(id3v1::kGenreOffset, value); }

std::string TTagFile::GetArtist() const {
    return GetText(id3v1::kArtistOffset, id3v1::kArtistWidth);
}
std::string TTagFile::GetTitle() const { return GetText(id3v1::kTitleOffset, id3v1::kTitleWidth); }
std::string TTagFile::GetAlbum() const { return GetText(id3v1::kAlbumOffset, id3v1::kAlbumWidth); }
std::string TTagFile::GetYear() const { return GetText(id3v1::kYearOffset, id3v1::kYearWidth); }
std::string TTagFile::GetComment() const {
    return GetText(id3v1::kCommentOffset, id3v1::kCommentWidth);
}
int TTagFile::GetTrack() const { return block_[id3v1::kTrackOffset]; }
int TTagFile::GetGenre() const { return block_[id3v1::kGenreOffset]; }

int TTagFile::SetText(std::size_t offset, std::size_t width, std::optional<std::string_view> text) {
    if (!text || state_ == tsNone) return 0;
    // The width counts the field's bytes, so the text is converted before it is cut, and
    // cut between two characters of a double-byte page.
    const CodePageConverter converter = CodePageConverter::Current();
    const std::string bytes = converter.Encode(*text);
    std::fill_n(block_.begin() + offset, width, 0);
    std::memcpy(block_.data() + offset, bytes.data(), converter.FitBytes(bytes, width));
    modified_ = true;
    return 1;
}

std::string_view TTagFile::StoredText(std::size_t offset, std::size_t width) const {
    const char* field = reinterpret_cast<const char*>(block_.data() + offset);
    const auto* zero = static_cast<const char*>(std::memchr(field, 0, width));
    return std::string_view(field, zero ? zero - field : width);
}

std::string TTagFile::GetText(std::size_t offset, std::size_t width) const {
    return CodePageConverter::Current().Decode(StoredText(offset, width));
}

int TTagFile::SetByte(std::size_t offset, int value) {
    if (value < 0 || value > 254 || state_ == tsNone) return 0;
    block_[offset] = static_cast<uint8_t>(value);
    modified_ = true;
    return 1;
}

int TTagFile::Load() { return Load(head_.Read()); }

int TTagFile::Load(bool read_head) {
    TagBlock tail;
    file_io::FileHead head;
    const bool read = file_io::ReadLastBlock(GetPath(), &tail, read_head ? &head : nullptr);
    head_ = read_head ? Id3v2Head::Of(head.bytes, head.file_size) : Id3v2Head();
    if (!read) {
        Clear();
        return 0;
    }
    return LoadFromBlock(tail);
}

int TTagFile::LoadFromBlock(const TagBlock& block) {
    Clear();
    if (!BeginsWithTag(block)) return 0;
    block_ = block;
    on_disk_ = block;
    state_ = tsPresent;
    modified_ = true;
    return 1;
}

void TTagFile::RestoreEdits(const TagSnapshot& snapshot) {
    block_ = snapshot.block;
    state_ = snapshot.state;
    modified_ = snapshot.modified;
}

void TTagFile::RestoreSaved(const TagSnapshot& snapshot) {
    RestoreEdits(snapshot);
    on_disk_ = snapshot.on_disk;
}

bool TTagFile::SaveMayWrite() const {
    if (kind_ != TagKind::kId3v1) return false;
    return state_ == tsRemove || state_ == tsAppend || (state_ == tsPresent && block_ != on_disk_);
}

int TTagFile::Save() {
    if (kind_ != TagKind::kId3v1) return 1;
    int result = 0;  // an unknown state saves nothing
    if (state_ == tsNone) {
        result = 1;
    } else if (state_ == tsPresent) {
        result = SavePresent();
    } else if (state_ == tsRemove) {
        result = SaveRemove();
    } else if (state_ == tsAppend) {
        result = SaveAppend();
    }
    // Only a save that reached its goal clears the flag: a failed one (0, or -1 from a
    // removal) leaves the change pending so that a later save tries again.
    if (result == 1) modified_ = false;
    return result;
}

// Overwrites the file's tag with the block, but only a block that is still a tag: if the
// file's end no longer begins with "TAG" those bytes are audio and stay untouched. A
// block equal to the one on disk, or unchanged since it was read, is not written; that is
// decided from a read-only open, so such a save succeeds on read-only media too.
int TTagFile::SavePresent() {
    TagBlock tail;
    if (!file_io::ReadLastBlock(GetPath(), &tail) || !BeginsWithTag(tail)) return 0;
    if (block_ == on_disk_) return 1;
    if (tail != block_ && !WriteBlock(kRefuse)) return 0;
    on_disk_ = block_;
    return 1;
}

// Cuts the tag off in place. Every failure keeps tsRemove and the block, so the entry
// still shows the tag that is still in the file and a later save tries again.
int TTagFile::SaveRemove() {
    file_io::File file(GetPath(), file_io::File::kReadWrite);
    TagBlock tail;
    if (!file.IsOpen() || file.Size() <= kBlockLength || !ReadTail(file, &tail) ||
        !BeginsWithTag(tail)) {
        return -1;
    }
    if (!file.Truncate(file.Size() - kBlockLength)) return -1;
    Clear();
    return 1;
}

// Appends the block. A file that meanwhile got a tag of its own (another entry for the
// same path saved first) has that tag overwritten instead: a second block appended after
// it would leave a stale tag inside the audio data. A tag already equal to the block needs
// no write, and so no open for writing.
int TTagFile::SaveAppend() {
    TagBlock tail;
    const bool in_file = file_io::ReadLastBlock(GetPath(), &tail) && tail == block_;
    if (!in_file && !WriteBlock(kAppend)) return 0;
    on_disk_ = block_;
    state_ = tsPresent;
    return 1;
}

// Writes the block over the tag at the file's end, read again under the open for writing.
// A write that stops part-way puts the old tag back, so the file never keeps a mix of the
// two; a failed append is taken back likewise.
bool TTagFile::WriteBlock(IfUntagged if_untagged) {
    file_io::File file(GetPath(), file_io::File::kReadWrite);
    if (!file.IsOpen()) return false;
    TagBlock tail;
    if (ReadTail(file, &tail) && BeginsWithTag(tail)) {
        return file.Overwrite(file.Size() - kBlockLength, block_.data(), tail.data(),
                              block_.size());
    }
    return if_untagged == kAppend && file.Append(block_.data(), block_.size());
}

int CutFileEnd(const std::string& path, long long n) {
    if (n < 0 || !paths::FileExists(path)) return -1;
    file_io::File file(path, file_io::File::kReadWrite);
    if (!file.IsOpen() || file.Size() - n <= 0) return -1;
    return file.Truncate(file.Size() - n) ? 1 : -1;
}

}  // namespace ambrel
