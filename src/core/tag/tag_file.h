#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "tag/id3v2_header.h"
#include "tag/tag_base.h"

namespace ambrel {

// Byte layout of the ID3v1 block: the last 128 bytes of the file.
namespace id3v1 {
inline constexpr std::size_t kBlockSize = 128;
inline constexpr std::size_t kTitleOffset = 3, kTitleWidth = 30;
inline constexpr std::size_t kArtistOffset = 33, kArtistWidth = 30;
inline constexpr std::size_t kAlbumOffset = 63, kAlbumWidth = 30;
inline constexpr std::size_t kYearOffset = 93, kYearWidth = 4;
// The comment is 29 bytes: byte 125 is not a separator.
inline constexpr std::size_t kCommentOffset = 97, kCommentWidth = 29;
inline constexpr std::size_t kTrackOffset = 126;
inline constexpr std::size_t kGenreOffset = 127;
inline constexpr int kNoGenre = 254;
}  // namespace id3v1

using TagBlock = std::array<uint8_t, id3v1::kBlockSize>;

// Whether a file's last 128 bytes are an ID3v1 tag: they begin with "TAG", byte for byte.
constexpr bool BeginsWithTag(const TagBlock& block) {
    return block[0] == 'T' && block[1] == 'A' && block[2] == 'G';
}

// What an entry holds of its tag in memory: the block, the state, the modified mark, and
// the block it last read from or wrote to its file.
struct TagSnapshot {
    TagBlock block{};
    TagBlock on_disk{};
    TagState state = tsNone;
    bool modified = false;

    // Equal in what the user sees and saves (the block, state and mark).
    bool SameEdits(const TagSnapshot& other) const {
        return block == other.block && state == other.state && modified == other.modified;
    }
};

// One audio file and its ID3v1 tag. The block's text fields hold bytes of the program's code
// page (CodePageConverter::Current, Latin-1 by default); the getters give UTF-8 and the
// setters take UTF-8, cut to the field's width in bytes, so every byte read survives an edit
// unchanged.
class TTagFile : public TTagBase {
public:
    explicit TTagFile(std::optional<std::string_view> path);

    // Kind 0, tsNone, not modified, a fresh empty block ("TAG", zeros, track 0, genre 254).
    void Clear();

    void ChangeCase(int mode) override;
    int SetArtist(std::optional<std::string_view> text) override;
    int SetTitle(std::optional<std::string_view> text) override;
    int SetAlbum(std::optional<std::string_view> text) override;
    int SetYear(std::optional<std::string_view> text) override;
    int SetComment(std::optional<std::string_view> text) override;
    int SetTrack(int value) override;
    int SetGenre(int value) override;
    int SetPicture() override { return 1; }
    std::string GetArtist() const override;
    std::string GetTitle() const override;
    std::string GetAlbum() const override;
    std::string GetYear() const override;
    std::string GetComment() const override;
    int GetTrack() const override;
    int GetGenre() const override;
    int HasPicture() const override { return 0; }
    // Reads the tag again; the ID3v2 header too when the last load read it.
    int Load() override;
    // Reads the tag, and with read_head the file's ID3v2 header in the same open; without
    // it the header is not looked at. 1 and tsPresent when the file ends with a tag, else 0.
    int Load(bool read_head);
    int Save() override;

    // What the last load found of the file's ID3v2 header; a save, which writes only the
    // file's end, leaves it as it is.
    Id3v2Head GetId3v2Head() const { return head_; }
    // The header read elsewhere, in the same read as the block given to LoadFromBlock.
    void SetId3v2Head(Id3v2Head head) { head_ = head; }
    // "2.2", "2.3" or "2.4"; empty when the file has no ID3v2 header or it was not looked at.
    std::string_view Id3v2Version() const { return head_.VersionText(); }

    const TagBlock& Block() const { return block_; }
    TagSnapshot Snapshot() const { return {block_, on_disk_, state_, modified_}; }
    // Puts back the block, state and modified mark of a snapshot; what is known of the file
    // stays, since the file itself was not touched.
    void RestoreEdits(const TagSnapshot& snapshot);
    // Puts back the whole snapshot, the block known to be on disk included: for a file
    // whose end was put back as it was when the snapshot was taken.
    void RestoreSaved(const TagSnapshot& snapshot);
    // Whether Save may write to the file: a removal, an append, or a present tag holding a
    // change of ours. Every other save leaves the file as it is.
    bool SaveMayWrite() const;
    // Whether the entry holds work that only a save puts on disk: a change of the tag, or a
    // tag to add or to remove. A tag that was only loaded holds none.
    bool HoldsUnsavedWork() const { return modified_ && SaveMayWrite(); }
    // The bytes of a text field as the block holds them, up to its first zero byte (the
    // whole field when it holds none): the text a getter turns into UTF-8.
    std::string_view StoredText(std::size_t offset, std::size_t width) const;
    // Loads from a block read elsewhere (the bytes of a file's end), exactly as Load
    // would after its read: 1 and tsPresent when it begins with "TAG", else 0. What is known
    // of the ID3v2 header stays (SetId3v2Head).
    int LoadFromBlock(const TagBlock& block);

private:
    int SetText(std::size_t offset, std::size_t width, std::optional<std::string_view> text);
    std::string GetText(std::size_t offset, std::size_t width) const;
    int SetByte(std::size_t offset, int value);
    int SavePresent();
    int SaveRemove();
    int SaveAppend();
    // What WriteBlock does with a file whose end is not a tag: refuse, or append the block.
    enum IfUntagged { kRefuse, kAppend };
    bool WriteBlock(IfUntagged if_untagged);

    TagBlock block_{};
    // The block as last read from or written to the file. A present tag whose block still
    // equals it holds no change of ours, so saving it writes nothing: a second, unedited
    // entry for the same file must not put back the tag an edited entry has just saved.
    TagBlock on_disk_{};
    Id3v2Head head_;
};

// Shortens the file at path by n bytes at its end, in place. 1 on success, -1 when
// the file does not exist, is not longer than n bytes, or cannot be shortened.
int CutFileEnd(const std::string& path, long long n);

}  // namespace ambrel
