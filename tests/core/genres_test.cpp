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

}  // namespace
}  // namespace ambrel::test
