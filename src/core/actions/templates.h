#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The mask language's fixed templates, the separator choices of the two rename pages and
// the preview lines their template lists show. A mask is a text in which a colon and the
// character after it form a field code (":a" artist, ":s" song title, ":b" album,
// ":t" track, ":y" year) and every other character stands for itself.
namespace ambrel {

// Masks hold at most this many characters; a longer user mask is refused.
inline constexpr std::size_t kMaxMaskLength = 255;

// The items of a template list: 0..4 the fixed templates, then these two.
inline constexpr int kTemplateUserMask = 5;
inline constexpr int kTemplateCaseOnly = 6;
inline constexpr int kTemplateCount = 7;

// The character a separator box's item stands for: 0 a space, 1 "-", 2 "_", 3 ".";
// any other item a space.
char SeparatorChar(int item_index);

// The text between two fields of a template: space, word, space when the word separator
// goes with spaces, else the word separator alone.
std::string WordSeparatorText(char word, bool with_spaces, char space);

// The item indexes of one page's separator boxes and its check box, as the page starts.
struct SeparatorChoice {
    int in_word = 0;
    int word = 1;
    bool word_with_spaces = true;
    int space = 0;

    char InWordChar() const { return SeparatorChar(in_word); }
    std::string WordSeparator() const;
};

// The mask of a template item: items 0..4 built with the word separator text, item 5 the
// user's mask as typed; none for item 6 (letter case only), no selection (-1) and any other
// index.
std::optional<std::string> BuildMask(int item_index, std::string_view word_separator,
                                     std::string_view user_mask);

// The seven lines of the "File rename" template list: the example song named by each
// template with the page's separators, letter case and track digit count.
std::vector<std::string> FileTemplatePreviews(const SeparatorChoice& choice, int case_mode,
                                              int track_digits);
// The seven lines of the "Tag rename" template list: as above, without letter case and
// with the track as "12".
std::vector<std::string> TagTemplatePreviews(const SeparatorChoice& choice);
// "Track preview: " and the number 1 padded with zeros to the digit count.
std::string TrackPreviewText(int track_digits);

}  // namespace ambrel
