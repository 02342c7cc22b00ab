#include "actions/id3v2_copy.h"

#include <cstring>
#include <string_view>

#include "tag/genres.h"
#include "tag/tag_file.h"
#include "tag/text_helpers.h"

namespace ambrel {

namespace {

struct FieldPlace {
    Id3v1Field field;
    std::size_t offset;
    std::size_t width;
};

constexpr FieldPlace kTitle{Id3v1Field::kTitle, id3v1::kTitleOffset, id3v1::kTitleWidth};
constexpr FieldPlace kArtist{Id3v1Field::kArtist, id3v1::kArtistOffset, id3v1::kArtistWidth};
constexpr FieldPlace kAlbum{Id3v1Field::kAlbum, id3v1::kAlbumOffset, id3v1::kAlbumWidth};
constexpr FieldPlace kYear{Id3v1Field::kYear, id3v1::kYearOffset, id3v1::kYearWidth};
constexpr FieldPlace kComment{Id3v1Field::kComment, id3v1::kCommentOffset, id3v1::kCommentWidth};
// An ID3v1.1 tag holds its track in byte 126 behind a zero in byte 125, so a comment
// beside a track ends one byte early.
constexpr std::size_t kCommentWidthBesideTrack = id3v1::kCommentWidth - 1;
constexpr int kHighestTrack = 254;

// A field's bytes up to its first zero byte.
std::string_view FieldText(const TagBlock& block, std::size_t offset, std::size_t width) {
    const char* field = reinterpret_cast<const char*>(block.data() + offset);
    const auto* zero = static_cast<const char*>(std::memchr(field, 0, width));
    return std::string_view(field, zero ? static_cast<std::size_t>(zero - field) : width);
}

// The first four digits in a row: "2004" of "2004-05-01"; none without them.
std::optional<std::string> FirstYear(std::string_view text) {
    for (std::size_t i = 0; i + 4 <= text.size(); ++i) {
        std::size_t digits = 0;
        while (digits < 4 && IsAsciiDigit(static_cast<unsigned char>(text[i + digits]))) ++digits;
        if (digits == 4) return std::string(text.substr(i, 4));
        i += digits;
    }
    return std::nullopt;
}

// The track number before a '/' ("3" of "3/12"), when it is 1..254.
std::optional<int> TrackNumber(std::string_view text) {
    const std::size_t slash = text.find('/');
    std::string_view number = text.substr(0, slash);
    while (!number.empty() && number.front() == ' ') number.remove_prefix(1);
    while (!number.empty() && number.back() == ' ') number.remove_suffix(1);
    if (number.empty()) return std::nullopt;
    int value = 0;
    for (char c : number) {
        if (!IsAsciiDigit(static_cast<unsigned char>(c))) return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > kHighestTrack) return std::nullopt;
    }
    if (value < 1) return std::nullopt;
    return value;
}

std::string GenreText(int genre, const std::vector<std::string>& names) {
    if (genre >= 0 && static_cast<std::size_t>(genre) < names.size()) return names[genre];
    return std::to_string(genre);
}

// Plans one field from its encoded bytes, listed only when they differ from the field's.
class Planner {
public:
    Planner(const TagBlock& block, const CodePageConverter& converter, Id3v2CopyPlan* plan)
        : block_(block), converter_(converter), plan_(plan) {}

    void Text(const FieldPlace& place, const std::optional<std::string>& value, std::size_t width) {
        if (!value) return;
        EncodedField encoded = converter_.EncodeForField(*value, width);
        // A zero byte ends the field's text.
        encoded.bytes.resize(std::strlen(encoded.bytes.c_str()));
        const std::string_view old_bytes = FieldText(block_, place.offset, place.width);
        if (encoded.bytes == old_bytes) return;
        FieldChange change;
        change.field = place.field;
        change.old_text = converter_.Decode(old_bytes);
        change.new_text = converter_.Decode(encoded.bytes);
        change.cut = encoded.cut;
        change.lossy = encoded.lossy;
        plan_->changes.push_back(std::move(change));
    }

    void Number(Id3v1Field field, std::size_t offset, std::optional<int> value,
                const std::vector<std::string>* names) {
        if (!value || *value == block_[offset]) return;
        FieldChange change;
        change.field = field;
        change.old_text =
            names ? GenreText(block_[offset], *names) : std::to_string(block_[offset]);
        change.new_text = names ? GenreText(*value, *names) : std::to_string(*value);
        change.new_number = *value;
        plan_->changes.push_back(std::move(change));
    }

private:
    const TagBlock& block_;
    const CodePageConverter& converter_;
    Id3v2CopyPlan* plan_;
};

}  // namespace

Id3v2CopyPlan PlanId3v2Copy(const TTagFile& entry, const Id3v2Values& values,
                            const CodePageConverter& converter,
                            const std::vector<std::string>& genre_names) {
    Id3v2CopyPlan plan;
    const bool has_tag = entry.GetState() == tsPresent || entry.GetState() == tsAppend;
    // A file without a tag gets the fields of a new one, then the copied values.
    const TagBlock block =
        entry.GetState() == tsNone ? TTagFile(std::nullopt).Block() : entry.Block();
    Planner planner(block, converter, &plan);
    planner.Text(kTitle, values.title, kTitle.width);
    planner.Text(kArtist, values.artist, kArtist.width);
    planner.Text(kAlbum, values.album, kAlbum.width);
    planner.Text(kYear, values.year ? FirstYear(*values.year) : std::nullopt, kYear.width);

    std::optional<int> track = values.track ? TrackNumber(*values.track) : std::nullopt;
    planner.Number(Id3v1Field::kTrack, id3v1::kTrackOffset, track, nullptr);
    std::optional<int> genre;
    if (values.genre) {
        genre = genres::NumberOf(genre_names, *values.genre);
        if (!genre) plan.unknown_genre = *values.genre;
    }
    planner.Number(Id3v1Field::kGenre, id3v1::kGenreOffset, genre, &genre_names);

    const bool holds_track = track.value_or(block[id3v1::kTrackOffset]) != 0;
    planner.Text(kComment, values.comment,
                 holds_track ? kCommentWidthBesideTrack : id3v1::kCommentWidth);
    plan.makes_tag = !has_tag && plan.Changes();
    return plan;
}

bool ApplyId3v2Copy(TTagFile& entry, const Id3v2CopyPlan& plan) {
    if (!plan.Changes()) return false;
    if (entry.GetState() == tsNone) {
        // The fields of a new tag, each through its setter.
        entry.SetState(tsAppend);
        for (auto set : {&TTagFile::SetTitle, &TTagFile::SetArtist, &TTagFile::SetAlbum,
                         &TTagFile::SetYear, &TTagFile::SetComment}) {
            (entry.*set)(std::string_view());
        }
        entry.SetTrack(0);
        entry.SetGenre(id3v1::kNoGenre);
    } else if (entry.GetState() == tsRemove) {
        entry.SetState(tsPresent);
    }
    for (const FieldChange& change : plan.changes) {
        switch (change.field) {
            case Id3v1Field::kTitle:
                entry.SetTitle(change.new_text);
                break;
            case Id3v1Field::kArtist:
                entry.SetArtist(change.new_text);
                break;
            case Id3v1Field::kAlbum:
                entry.SetAlbum(change.new_text);
                break;
            case Id3v1Field::kYear:
                entry.SetYear(change.new_text);
                break;
            case Id3v1Field::kComment:
                entry.SetComment(change.new_text);
                break;
            case Id3v1Field::kTrack:
                entry.SetTrack(change.new_number);
                break;
            case Id3v1Field::kGenre:
                entry.SetGenre(change.new_number);
                break;
        }
    }
    entry.SetModified(true);
    return true;
}

std::string_view Id3v1FieldName(Id3v1Field field) {
    switch (field) {
        case Id3v1Field::kTitle: return "Title";
        case Id3v1Field::kArtist: return "Artist";
        case Id3v1Field::kAlbum: return "Album";
        case Id3v1Field::kYear: return "Year";
        case Id3v1Field::kComment: return "Comment";
        case Id3v1Field::kTrack: return "Track";
        case Id3v1Field::kGenre: return "Genre";
    }
    return "";
}

std::vector<Id3v2CopyRow> PlanId3v2Copies(const std::vector<TTagFile*>& entries,
                                          const CodePageConverter& converter,
                                          const std::vector<std::string>& genre_names) {
    std::vector<Id3v2CopyRow> rows;
    rows.reserve(entries.size());
    for (TTagFile* entry : entries) {
        Id3v2CopyRow row;
        row.entry = entry;
        const Id3v2Reading reading = ReadId3v2(entry->GetPath());
        if (reading.values) {
            row.plan = PlanId3v2Copy(*entry, *reading.values, converter, genre_names);
        } else {
            row.problem = reading.problem;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<std::string> Id3v2CopyWarnings(const Id3v2CopyPlan& plan) {
    std::vector<std::string> warnings;
    for (const FieldChange& change : plan.changes) {
        const std::string name(Id3v1FieldName(change.field));
        if (change.lossy) warnings.push_back(name + ": characters the code page lacks were replaced");
        if (change.cut) warnings.push_back(name + ": cut to the field's width");
    }
    if (plan.unknown_genre) {
        warnings.push_back("Genre: '" + *plan.unknown_genre + "' names no genre; the genre stays");
    }
    return warnings;
}

}  // namespace ambrel
