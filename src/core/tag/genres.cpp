#include "tag/genres.h"

#include <algorithm>

#include "platform/file_io.h"
#include "tag/tag_file.h"
#include "tag/text_helpers.h"

namespace ambrel::genres {

namespace {

constexpr int kNumberedGenres = 149;
// Every row's Genre cell holds its own copy of the name: a longer line is cut, so a huge
// line in the file cannot multiply into every row.
constexpr std::size_t kMaxGenreBytes = 255;

// A genre number written out: up to three decimal digits, 0..254 (the genre setter takes
// 0..254: 255 is never written). None for a text that is not all digits or out of range.
std::optional<int> GenreNumber(std::string_view text) {
    if (text.empty() || text.size() > 3) return std::nullopt;
    if (!std::all_of(text.begin(), text.end(),
                     [](char c) { return IsAsciiDigit(static_cast<unsigned char>(c)); }))
        return std::nullopt;
    const int number = std::stoi(std::string(text));
    if (number <= id3v1::kNoGenre) return number;
    return std::nullopt;
}

// "(N)" at the start of the text, as ID3v2.3 genre frames refer to a numbered genre; the
// refinement that may follow ("(17)Rock") does not change the number.
std::optional<int> Reference(std::string_view text) {
    if (text.size() < 3 || text.front() != '(') return std::nullopt;
    const std::size_t close = text.find(')');
    if (close == std::string_view::npos) return std::nullopt;
    return GenreNumber(text.substr(1, close - 1));
}

// Names in the list carry a comma ("Grunge,", "R&B,") that a user or another tagger leaves
// out, and the other way round: one trailing mark is not part of the name.
std::string_view WithoutTrailingPunctuation(std::string_view text) {
    if (!text.empty() && IsAsciiPunctuation(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

}  // namespace

const std::array<const char*, kNamedCount>& BuiltInNames() {
    // clang-format off
    static constexpr std::array<const char*, kNamedCount> kNames = {
        "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge,", "Hip-Hop", "Jazz",
        "Metal", "New Age", "Oldies", "Other", "Pop", "R&B,", "Rap", "Reggae", "Rock", "Techno",
        "Industrial", "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack", "Euro-Techno",
        "Ambient", "Trip-Hop", "Vocal", "Jazz+Funk", "Fusion", "Trance", "Classical",
        "Instrumental", "Acid", "House", "Game", "Sound Clip", "Gospel", "Noise", "AlternRock",
        "Bass", "Soul", "Punk", "Space", "Meditative", "Instrumental Pop", "Instrumental Rock",
        "Ethnic", "Gothic", "Darkwave", "Techno-Industrial", "Electronic", "Pop-Folk", "Eurodance",
        "Dream", "Southern Rock", "Comedy", "Cult", "Gangsta", "Top 40", "Christian Rap",
        "Pop/Funk", "Jungle", "Native American", "Cabaret", "New Wave", "Psychadelic", "Rave",
        "Showtunes", "Trailer", "Lo-Fi", "Tribal", "Acid Punk", "Acid Jazz", "Polka", "Retro",
        "Musical", "Rock & Roll", "Hard Rock", "Folk", "Folk-Rock", "National Folk", "Swing",
        "Fast Fusion", "Bebob", "Latin", "Revival", "Celtic", "Bluegrass", "Avantgarde",
        "Gothic Rock", "Progressive Rock", "Psychedelic Rock", "Symphonic Rock", "Slow Rock",
        "Big Band", "Chorus", "Easy Listening", "Acoustic", "Humour", "Speech", "Chanson", "Opera",
        "Chamber Music", "Sonata", "Symphony", "Booty Bass", "Primus", "Porn Groove", "Satire",
        "Slow Jam", "Club", "Tango", "Samba", "Folklore", "Ballad", "Power Ballad",
        "Rhythmic Soul", "Freestyle", "Duet", "Punk Rock", "Drum Solo", "Acapella", "Euro-House",
        "Dance Hall", "Goa", "Drum & Bass", "Club-House", "Hardcore", "Terror", "Indie",
        "BritPop", "Negerpunk", "Polsk Punk", "Beat", "Christian Gangsta Rap", "Heavy Metal",
        "Black Metal", "Crossover", "Contemporary Christian", "Christian Rock", "Merengue",
        "Salsa", "Trash Metal", "Anime", "Jpop", "Synthpop",
    };
    // clang-format on
    return kNames;
}

std::optional<std::vector<std::string>> ReadGenreFile(const std::string& path) {
    std::string content;
    if (!file_io::ReadWholeFile(path, &content)) return std::nullopt;
    std::vector<std::string> names;
    for (std::string_view line : file_io::SplitLines(content)) {
        // Cut before converting, which bounds the work, and again after: a Latin-1 byte
        // grows to two in UTF-8, and the limit counts the name's UTF-8 bytes.
        std::string name = EightBitToUtf8(CutAtCharBoundary(line, kMaxGenreBytes));
        name.resize(CutAtCharBoundary(name, kMaxGenreBytes).size());
        names.push_back(std::move(name));
    }
    return names;
}

std::optional<int> NumberOf(const std::vector<std::string>& names, std::string_view text) {
    if (text.empty()) return id3v1::kNoGenre;
    if (const std::optional<int> number = GenreNumber(text)) return number;
    if (const std::optional<int> number = Reference(text)) return number;
    const std::string_view name = WithoutTrailingPunctuation(text);
    if (name.empty()) return std::nullopt;
    const std::size_t named = std::min<std::size_t>(names.size(), kNamedCount);
    for (std::size_t i = 0; i < named; ++i)
        if (EqualsIgnoringCase(WithoutTrailingPunctuation(names[i]), name))
            return static_cast<int>(i);
    return std::nullopt;
}

std::vector<std::string> NumberedGenres() {
    std::vector<std::string> names;
    names.reserve(kNumberedGenres);
    for (int i = 0; i < kNumberedGenres; ++i) names.push_back(std::to_string(i));
    return names;
}

}  // namespace ambrel::genres
