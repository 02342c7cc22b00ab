#include "tag/genres.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace ambrel::test {
namespace {

TEST(GenresTest, TheBuiltInListNamesGenresZeroTo147) {
    const auto& names = genres::BuiltInNames();
    EXPECT_EQ(std::string(names[0]), "Blues");
    EXPECT_EQ(std::string(names[6]), "Grunge,");  // the two commas are part of the list
    EXPECT_EQ(std::string(names[14]), "R&B,");
    EXPECT_EQ(std::string(names[17]), "Rock");
    EXPECT_EQ(std::string(names[147]), "Synthpop");
}

TEST(GenresTest, AGenreIsNamedByItsNumberOrItsNameInAnyLetterCase) {
    std::vector<std::string> names = {"Blues", "Rock", "Hard Rock"};
    names.resize(genres::kNamedCount + 1, "Filler");
    names.back() = "Beyond";  // line 148 names no genre
    struct Case {
        const char* text;
        std::optional<int> number;
    } cases[] = {
        {"1", 1},
        {"017", 17},
        {"254", 254},
        {"255", std::nullopt},
        {"hard ROCK", 2},
        {"rock", 1},
        {"", 254},
        {"Hard", std::nullopt},
        {"Beyond", std::nullopt},
        {"-1", std::nullopt},
        {"1000", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(genres::NumberOf(names, c.text), c.number) << c.text;
}

TEST(GenresTest, NamesMatchWithoutATrailingMarkAndReferencesGiveTheirNumber) {
    std::vector<std::string> names(genres::BuiltInNames().begin(), genres::BuiltInNames().end());
    names[20] = "";  // an empty line names genre 20, yet no text of marks alone names it
    struct Case {
        const char* text;
        std::optional<int> number;
    } cases[] = {
        {"Grunge", 6},
        {"grunge", 6},
        {"GRUNGE,", 6},
        {"Grunge.", 6},
        {"R&B", 14},
        {"r&b,", 14},
        {"Rock,", 17},
        {"rock!", 17},
        {"Pop/Funk", 62},
        {"Rock & Roll", 78},
        {"Rock,,", std::nullopt},
        {"(17)", 17},
        {"(17)Rock", 17},
        {"(6)Grunge", 6},
        {"(0)", 0},
        {"(254)", 254},
        {"(255)", std::nullopt},
        {"(RX)", std::nullopt},
        {"(17", std::nullopt},
        {"()", std::nullopt},
        {"(-1)", std::nullopt},
        {",", std::nullopt},
        {"Grunge ", std::nullopt},
        {" Rock", std::nullopt},
        {"Synthpop", 147},
    };
    for (const Case& c : cases) EXPECT_EQ(genres::NumberOf(names, c.text), c.number) << c.text;
}

}  // namespace
}  // namespace ambrel::test
