#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "actions/templates.h"

namespace ambrel::test {
namespace {

TEST(ActionTemplatesTest, SeparatorItemsMapToTheirCharacters) {
    const std::pair<int, char> cases[] = {{0, ' '}, {1, '-'}, {2, '_'},
                                          {3, '.'}, {4, ' '}, {-1, ' '}};
    for (const auto& [item, c] : cases) EXPECT_EQ(SeparatorChar(item), c) << item;
}

TEST(ActionTemplatesTest, WordSeparatorGoesWithSpacesOnlyWhenAsked) {
    EXPECT_EQ(SeparatorChoice{}.WordSeparator(), " - ");
    EXPECT_EQ(WordSeparatorText('-', false, ' '), "-");
    EXPECT_EQ(WordSeparatorText('_', true, '.'), "._.");
}

TEST(ActionTemplatesTest, TemplateItemsBuildTheirMasks) {
    const struct {
        int item;
        std::optional<std::string> mask;
    } cases[] = {
        {0, ":a - :s"},    {1, ":t - :a - :s"}, {2, ":b - :a - :s"},
        {3, ":b - :s"},    {4, ":t - :s"},      {5, ":x by :a"},
        {6, std::nullopt}, {-1, std::nullopt},  {7, std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(BuildMask(c.item, " - ", ":x by :a"), c.mask) << c.item;
    EXPECT_EQ(BuildMask(1, "_", ""), ":t_:a_:s");
    EXPECT_EQ(BuildMask(5, " - ", ""), "");  // an empty user mask is the letter-case variant
}

TEST(ActionTemplatesTest, FileTemplateListShowsTheExampleSongWithThePageOptions) {
    EXPECT_EQ(FileTemplatePreviews(SeparatorChoice{}, 0, 2),
              (std::vector<std::string>{
                  "Queen - Show must go on.mp3", "12 - Queen - Show must go on.mp3",
                  "Innuendo - Queen - Show must go on.mp3", "Innuendo - Show must go on.mp3",
                  "12 - Show must go on.mp3", "User defined mask", "Change only letter case"}));

    // The in-word character stands for the spaces of the example values; the letter case
    // acts on the values only, and the track follows the digit count.
    const auto shown = FileTemplatePreviews(SeparatorChoice{2, 3, false, 0}, 3, 4);
    EXPECT_EQ(shown[0], "Queen.Show_Must_Go_On.mp3");
    EXPECT_EQ(shown[1], "0012.Queen.Show_Must_Go_On.mp3");
    EXPECT_EQ(FileTemplatePreviews(SeparatorChoice{}, 1, 0)[4], "12 - SHOW MUST GO ON.mp3");
}

TEST(ActionTemplatesTest, TagTemplateListTakesNoLetterCaseAndKeepsTrackTwelve) {
    const auto shown = TagTemplatePreviews(SeparatorChoice{});
    EXPECT_EQ(shown[1], "12 - Queen - Show must go on.mp3");
    EXPECT_EQ(shown[5], "User defined mask");
    EXPECT_EQ(shown[6], "Don't read tag data, apply only changes");
    EXPECT_EQ(TagTemplatePreviews(SeparatorChoice{2, 1, false, 0})[0], "Queen-Show_must_go_on.mp3");
}

TEST(ActionTemplatesTest, TrackPreviewPadsOneToTheDigitCount) {
    EXPECT_EQ(TrackPreviewText(2), "Track preview: 01");
    EXPECT_EQ(TrackPreviewText(0), "Track preview: 1");
    EXPECT_EQ(TrackPreviewText(3), "Track preview: 001");
}

}  // namespace
}  // namespace ambrel::test
