#include "actions/templates.h"

#include <array>

#include "tag/text_helpers.h"

namespace ambrel {

namespace {

// The example song of both pages.
constexpr std::string_view kExampleArtist = "Queen";
constexpr std::string_view kExampleTitle = "Show must go on";
constexpr std::string_view kExampleAlbum = "Innuendo";
constexpr int kExampleTrack = 12;

// The fields of templates 0..4, in order, as mask codes.
constexpr std::array<std::string_view, 5> kTemplateCodes = {"as", "tas", "bas", "bs", "ts"};

struct ExampleSong {
    std::string track, artist, title, album;

    std::string Field(char code) const {
        switch (code) {
            case 't':
                return track;
            case 'a':
                return artist;
            case 'b':
                return album;
            default:
                return title;
        }
    }
};

// The template lines for the example song: the fields of each template joined by the
// separator, with ".mp3" after them, then the two lines of the items without a template.
std::vector<std::string> Previews(const ExampleSong& song, const std::string& separator,
                                  std::string_view case_only_line) {
    std::vector<std::string> lines;
    for (std::string_view codes : kTemplateCodes) {
        std::string line;
        for (std::size_t i = 0; i < codes.size(); ++i) {
            if (i > 0) line += separator;
            line += song.Field(codes[i]);
        }
        lines.push_back(line + ".mp3");
    }
    lines.emplace_back("User defined mask");
    lines.emplace_back(case_only_line);
    return lines;
}

std::string WithInWordChar(std::string_view text, char in_word) {
    std::string result(text);
    return ReplaceChar(result, ' ', in_word);
}

}  // namespace

char SeparatorChar(int item_index) {
    switch (item_index) {
        case 1:
            return '-';
        case 2:
            return '_';
        case 3:
            return '.';
        default:
            return ' ';
    }
}

std::string WordSeparatorText(char word, bool with_spaces, char space) {
    if (!with_spaces) return std::string(1, word);
    return {space, word, space};
}

std::string SeparatorChoice::WordSeparator() const {
    return WordSeparatorText(SeparatorChar(word), word_with_spaces, SeparatorChar(space));
}

std::optional<std::string> BuildMask(int item_index, std::string_view word_separator,
                                     std::string_view user_mask) {
    if (item_index == kTemplateUserMask) return std::string(user_mask);
    if (item_index < 0 || item_index >= static_cast<int>(kTemplateCodes.size())) {
        return std::nullopt;
    }
    std::string mask;
    const std::string_view codes = kTemplateCodes[static_cast<std::size_t>(item_index)];
    for (std::size_t i = 0; i < codes.size(); ++i) {
        if (i > 0) mask += word_separator;
        mask += ':';
        mask += codes[i];
    }
    return mask;
}

std::vector<std::string> FileTemplatePreviews(const SeparatorChoice& choice, int case_mode,
                                              int track_digits) {
    const char in_word = choice.InWordChar();
    ExampleSong song{
        ZeroPadNumber(kExampleTrack, track_digits), WithInWordChar(kExampleArtist, in_word),
        WithInWordChar(kExampleTitle, in_word), WithInWordChar(kExampleAlbum, in_word)};
    // The letter case acts on the field texts only, not on the track or the separator.
    ChangeCase(song.artist, case_mode);
    ChangeCase(song.title, case_mode);
    ChangeCase(song.album, case_mode);
    return Previews(song, choice.WordSeparator(), "Change only letter case");
}

std::vector<std::string> TagTemplatePreviews(const SeparatorChoice& choice) {
    const char in_word = choice.InWordChar();
    const ExampleSong song{std::to_string(kExampleTrack), WithInWordChar(kExampleArtist, in_word),
                           WithInWordChar(kExampleTitle, in_word),
                           WithInWordChar(kExampleAlbum, in_word)};
    return Previews(song, choice.WordSeparator(), "Don't read tag data, apply only changes");
}

std::string TrackPreviewText(int track_digits) {
    return "Track preview: " + ZeroPadNumber(1, track_digits);
}

}  // namespace ambrel
