#include "tag/genres.h"

#include <gtest/gtest.h>

#include <string>

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

}  // namespace
}  // namespace ambrel::test
