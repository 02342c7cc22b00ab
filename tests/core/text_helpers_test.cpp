#include "tag/text_helpers.h"

#include <gtest/gtest.h>

#include <string>

namespace ambrel::test {
namespace {

TEST(TextHelpersTest, ChangeCase) {
    struct Case {
        const char* text;
        int mode;
        const char* expected;
    } cases[] = {
        {"hello-world foo_bar", 3, "Hello-World Foo_Bar"},
        {"o'neil", 3, "O'Neil"},
        {"2nd PLACE", 3, "2nd Place"},
        {"x2Y z", 3, "X2y Z"},
        {"abc 12x", 1, "ABC 12X"},
        {"MiXeD 9", 2, "mixed 9"},
        {"\xC3\xA9lan VITAL", 3, "\xC3\xA9Lan Vital"},  // é is no letter: it ends a word
        {"\xC3\xA9\xC3\x89", 1, "\xC3\xA9\xC3\x89"},
        {"", 3, ""},
        {"Keep It", 0, "Keep It"},
        {"Keep It", -1, "Keep It"},
        {"Keep It", 4, "Keep It"},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        EXPECT_EQ(ChangeCase(text, c.mode), c.expected) << c.text << " mode " << c.mode;
    }
}

TEST(TextHelpersTest, ChangeCaseOfAFieldStopsAtItsLengthOrItsZero) {
    char field[] = "abcdef";
    ChangeCase(field, 3, 1);
    EXPECT_STREQ(field, "ABCdef");
    char hidden[] = "ab\0cd";
    ChangeCase(hidden, 5, 1);
    EXPECT_EQ(std::string(hidden, 5), std::string("AB\0cd", 5));
    ChangeCase(nullptr, 3, 1);  // nothing to change, nothing read
}

TEST(TextHelpersTest, CutAtCharBoundaryKeepsUtf8SequencesWhole) {
    struct Case {
        const char* text;
        std::size_t max_bytes;
        const char* expected;
    } cases[] = {
        {"abcdef", 4, "abcd"},
        {"abc", 10, "abc"},
        {"abc", 0, ""},
        {"ab\xC3\xA9x", 3, "ab"},  // é would be split
        {"ab\xC3\xA9x", 4, "ab\xC3\xA9"},
        {"a\xE2\x82\xAC", 3, "a"},        // so would €
        {"ab\xE9\xE9\xE9", 3, "ab\xE9"},  // a Latin-1 byte is a character of its own
        {"a\xC3\xC3\xA9", 2, "a\xC3"},    // a lead byte without its follower, too
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CutAtCharBoundary(c.text, c.max_bytes), c.expected)
            << c.text << " at " << c.max_bytes;
    }
}

TEST(TextHelpersTest, ContinuationByteRulesKeepCharactersWholeAndDifferOnStrayBytes) {
    EXPECT_EQ(Utf8CharLength("a\xC3\xA9", 1), 2u);
    EXPECT_EQ(Utf8CharLength("\xE2\x82\xAC!", 0), 3u);
    EXPECT_EQ(Utf8CharLength("ab", 1), 1u);
    EXPECT_EQ(Utf8CharLength("\xE9\xA9x", 0), 2u);  // a stray lead keeps what continues it
    EXPECT_EQ(CountUtf8Chars("caf\xC3\xA9 \xE2\x82\xAC"), 6u);
    EXPECT_EQ(CountUtf8Chars("\xE9\xA9"), 1u);

    struct Case {
        const char* text;
        std::size_t max_bytes;
        const char* expected;
    } cases[] = {
        {"abcdef", 4, "abcd"},     {"abc", 10, "abc"},
        {"ab\xC3\xA9x", 3, "ab"},  {"ab\xC3\xA9x", 4, "ab\xC3\xA9"},
        {"a\xE2\x82\xAC", 3, "a"}, {"ab\xE9\xE9\xE9", 3, "ab\xE9"},
        {"\xE9\xA9", 1, ""},  // CutAtCharBoundary keeps the Latin-1 byte: see below
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        CutBeforeContinuation(text, c.max_bytes);
        EXPECT_EQ(text, c.expected) << c.text << " at " << c.max_bytes;
    }
    EXPECT_EQ(CutAtCharBoundary("\xE9\xA9", 1), "\xE9");
}

TEST(TextHelpersTest, VisibleUtf8CharsAreAsciiGraphicsAndCharactersFromInvertedExclamation) {
    struct Case {
        const char* text;
        bool visible;
    } cases[] = {
        {"", false},         {"   ", false},         {"\t\x7f", false},
        {" a ", true},       {"\xC2\xA0", false},  // the no-break space
        {"\xC2\x85", false}, {"\xC2\xA1", true},   // a C1 control, then U+00A1
        {"\xC3\xA9", true},  {"\xE2\x82\xAC", true},
    };
    for (const Case& c : cases) EXPECT_EQ(HasVisibleUtf8Char(c.text), c.visible) << c.text;
    EXPECT_EQ(CountVisibleChars("\xC3\xA9"), 0) << "CountVisibleChars counts ASCII only";
}

TEST(TextHelpersTest, Replacements) {
    std::string text = "a.b-c_d";
    EXPECT_EQ(ReplaceAnyOf(text, ".-_", ' '), "a b c d");
    text = "a!b c~d\xE9/";
    EXPECT_EQ(ReplacePunctuation(text, '_'), "a_b c_d\xE9_");
    text = "a b  c";
    EXPECT_EQ(ReplaceChar(text, ' ', '_'), "a_b__c");
    text = "same";
    EXPECT_EQ(ReplaceAnyOf(text, "", '_'), "same");
}

TEST(TextHelpersTest, ZeroPadNumber) {
    struct Case {
        long long number;
        int width;
        const char* expected;
    } cases[] = {{7, 3, "007"}, {1234, 3, "1234"}, {5, 0, "5"},    {-1, 3, "0-1"},
                 {0, 3, "000"}, {54, 3, "054"},    {-5, -2, "-5"}, {-123, 3, "-123"}};
    for (const Case& c : cases) {
        EXPECT_EQ(ZeroPadNumber(c.number, c.width), c.expected) << c.number << "," << c.width;
    }
}

TEST(TextHelpersTest, CharacterClassesAreAsciiOnly) {
    EXPECT_EQ(CountVisibleChars("    "), 0);
    EXPECT_EQ(CountVisibleChars("a b!~"), 4);
    EXPECT_EQ(CountVisibleChars("\t\x7f\xC3\xA9"), 0);
    int punctuation = 0, graphic = 0;
    for (int c = 0; c < 256; ++c) {
        punctuation += IsAsciiPunctuation(static_cast<unsigned char>(c));
        graphic += IsAsciiGraphic(static_cast<unsigned char>(c));
    }
    EXPECT_EQ(punctuation, 32);
    EXPECT_EQ(graphic, 94);
}

TEST(TextHelpersTest, AsciiCaseChangesAndComparesAsciiLettersOnly) {
    EXPECT_EQ(AsciiLowerCase("Mp3 \xC3\x89T\xC9 _Z"), "mp3 \xC3\x89t\xC9 _z");
    EXPECT_TRUE(EqualsIgnoringCase("Hard ROCK", "hard rock"));
    EXPECT_FALSE(EqualsIgnoringCase("\xC3\xA9", "\xC3\x89"));  // é and É are no ASCII letters
    EXPECT_FALSE(EqualsIgnoringCase("rock", "rocks"));

    struct Case {
        const char* a;
        const char* b;
        int to_lower;  // the sign of CompareIgnoringCase with each fold
        int to_upper;
    } cases[] = {
        {"abc", "ABC", 0, 0},
        {"ab", "ABC", -1, -1},   // a prefix first
        {"_x", "Alpha", -1, 1},  // '_' lies between 'Z' and 'a'
        {"Zed", "alpha", 1, 1},
        {"a\xE9", "A\xC9", 1, 1},  // bytes above ASCII unsigned and unfolded
        {"", "", 0, 0},
    };
    const auto sign = [](int x) { return (x > 0) - (x < 0); };
    for (const Case& c : cases) {
        EXPECT_EQ(sign(CompareIgnoringCase(c.a, c.b, CaseFold::kToLower)), c.to_lower) << c.a;
        EXPECT_EQ(sign(CompareIgnoringCase(c.a, c.b, CaseFold::kToUpper)), c.to_upper) << c.a;
        EXPECT_EQ(sign(CompareIgnoringCase(c.b, c.a, CaseFold::kToLower)), -c.to_lower) << c.b;
    }
}

TEST(TextHelpersTest, LastPathComponent) {
    EXPECT_EQ(LastPathComponent("/Music/Band/"), "Band");
    EXPECT_EQ(LastPathComponent("/Music/Band"), "Band");
    EXPECT_EQ(LastPathComponent("/Music"), "Music");
    EXPECT_EQ(LastPathComponent("/"), std::nullopt);
    EXPECT_EQ(LastPathComponent("Band"), std::nullopt);
    EXPECT_EQ(LastPathComponent(std::nullopt), std::nullopt);
}

TEST(TextHelpersTest, Utf8ToLatin1) {
    struct Case {
        const char* what;
        std::string utf8;
        std::string latin1;
    } cases[] = {
        {"ASCII", "plain", "plain"},
        {"two-byte in Latin-1", "caf\xC3\xA9 \xC3\xBF", "caf\xE9 \xFF"},
        {"outside Latin-1", "\xE2\x82\xAC \xF0\x9F\x98\x80 \xC5\x81", "? ? ?"},
        {"lone high byte", "Bj\xF6rk", "Bj\xF6rk"},
        {"overlong form", "\xC0\x80", "\xC0\x80"},
        {"surrogate", "\xED\xA0\x80", "\xED\xA0\x80"},
        {"cut short at the end", "ab\xC3", "ab\xC3"},
        {"lead byte before ASCII", "\xC3x", "\xC3x"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", "\xF4\x90\x80\x80"},
    };
    for (const Case& c : cases) EXPECT_EQ(Utf8ToLatin1(c.utf8), c.latin1) << c.what;
}

TEST(TextHelpersTest, EightBitTextToUtf8KeepsUtf8AndTakesOtherBytesAsLatin1) {
    struct Case {
        const char* what;
        std::string text;
        std::string utf8;
    } cases[] = {
        {"ASCII", "Rock", "Rock"},
        {"UTF-8 already", "M\xC3\xBAsica \xE2\x82\xAC", "M\xC3\xBAsica \xE2\x82\xAC"},
        {"Latin-1", "M\xFAsica", "M\xC3\xBAsica"},
        {"mixed", "\xC3\xA9 \xE9", "\xC3\xA9 \xC3\xA9"},
        {"cut short at the end", "ab\xC3", "ab\xC3\x83"},
    };
    for (const Case& c : cases) EXPECT_EQ(EightBitToUtf8(c.text), c.utf8) << c.what;
}

TEST(TextHelpersTest, EveryLatin1ByteSurvivesARoundTrip) {
    std::string all;
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    const std::string utf8 = Latin1ToUtf8(all);
    EXPECT_EQ(utf8.size(), 127u + 2u * 128u);
    EXPECT_EQ(Latin1ToUtf8("\xE9"), "\xC3\xA9");
    EXPECT_EQ(Utf8ToLatin1(utf8), all);
}

}  // namespace
}  // namespace ambrel::test
