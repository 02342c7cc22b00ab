// The double-byte code pages, checked against iconv's own converters: what a page holds
// reads and writes as iconv does, other bytes survive as their Latin-1 characters, and no
// cut ends inside a character.
#include <gtest/gtest.h>
#include <iconv.h>
#include <locale.h>

#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tag/code_page.h"
#include "tag/tag_file.h"

namespace ambrel::test {
namespace {

const CodePage kDoubleBytePages[] = {CodePage::kShiftJis, CodePage::kGbk, CodePage::kBig5,
                                     CodePage::kEucKr};

// iconv's conversion of the whole text, or none when it fails anywhere.
std::optional<std::string> Iconv(std::string_view text, const char* to, const char* from) {
    const iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    std::string in(text);
    std::string out(text.size() * 4 + 8, '\0');
    char* in_at = in.data();
    char* out_at = out.data();
    std::size_t in_left = in.size(), out_left = out.size();
    const std::size_t result = iconv(cd, &in_at, &in_left, &out_at, &out_left);
    iconv_close(cd);
    if (result == static_cast<std::size_t>(-1)) return std::nullopt;
    out.resize(out.size() - out_left);
    return out;
}

// Every one- and two-byte sequence that iconv reads as one character and writes back as
// itself: the characters a field of the page holds.
std::vector<std::string> CharactersOf(const std::string& codeset) {
    std::vector<std::string> characters;
    auto add = [&](const std::string& bytes) {
        const auto utf8 = Iconv(bytes, "UTF-8", codeset.c_str());
        if (!utf8 || utf8->empty()) return false;
        if (Iconv(*utf8, codeset.c_str(), "UTF-8") == bytes) characters.push_back(bytes);
        return true;
    };
    for (int lead = 1; lead < 256; ++lead) {
        const std::string single(1, static_cast<char>(lead));
        if (add(single)) continue;
        for (int trail = 1; trail < 256; ++trail) add(single + static_cast<char>(trail));
    }
    return characters;
}

// Random text of the page's characters, at least length bytes long.
std::string RandomText(const std::vector<std::string>& characters, std::size_t length,
                       std::mt19937& random) {
    std::uniform_int_distribution<std::size_t> pick(0, characters.size() - 1);
    std::string text;
    while (text.size() < length) text += characters[pick(random)];
    return text;
}

// Texts of each page as iconv writes them, with the page's one-byte characters among them
// (CP932's half-width katakana).
TEST(DoubleBytePageTest, TextsReadAndWriteAsIconvDoes) {
    const std::pair<CodePage, std::string> cases[] = {
        {CodePage::kShiftJis,
         "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE6\xAD\x8C "
         "\xEF\xBD\xB6\xEF\xBE\x80\xEF\xBD\xB6\xEF\xBE\x85 No.1"},
        {CodePage::kGbk, "\xE4\xB8\xAD\xE6\x96\x87\xE6\xAD\x8C\xE6\x9B\xB2 (Live)"},
        {CodePage::kBig5, "\xE8\x8F\xAF\xE8\xAA\x9E\xE6\xB5\x81\xE8\xA1\x8C 2004"},
        {CodePage::kEucKr, "\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4 \xEB\x85\xB8\xEB\x9E\x98"},
    };
    for (const auto& [page, utf8] : cases) {
        const CodePageConverter converter(page);
        SCOPED_TRACE(std::string(converter.Codeset()));
        EXPECT_TRUE(converter.IsDoubleByte());
        const auto bytes = Iconv(utf8, std::string(converter.Codeset()).c_str(), "UTF-8");
        ASSERT_TRUE(bytes);
        EXPECT_EQ(converter.Encode(utf8), *bytes);
        EXPECT_EQ(converter.Decode(*bytes), utf8);
    }
    EXPECT_EQ(CodePageConverter(CodePage::kShiftJis).Encode("\xC5\x81 \xE0\xB8\x81"), "? ?");
}

// The bytes that iconv reads as no character, alone or as the start of one, and whose
// Latin-1 character the page has no form for: what a field may hold besides characters.
std::vector<char> StraysOf(const std::string& codeset, bool leads) {
    std::vector<char> strays;
    for (int byte = 0x80; byte < 256; ++byte) {
        const std::string single(1, static_cast<char>(byte));
        const bool is_character = Iconv(single, "UTF-8", codeset.c_str()).has_value();
        bool is_lead = false;
        for (int trail = 0x40; trail < 256 && !is_character && !is_lead; ++trail) {
            is_lead =
                Iconv(single + static_cast<char>(trail), "UTF-8", codeset.c_str()).has_value();
        }
        const std::string latin1 = {static_cast<char>(0xC0 | byte >> 6),
                                    static_cast<char>(0x80 | (byte & 0x3F))};
        if (is_character || is_lead != leads) continue;
        if (!Iconv(latin1, codeset.c_str(), "UTF-8")) strays.push_back(static_cast<char>(byte));
    }
    return strays;
}

// Fields of random characters read as iconv reads them and survive a read and a write, also
// with bytes among them that are no character, and a first byte of a pair at the end (a
// field cut by another program), which read as their Latin-1 characters.
TEST(DoubleBytePageTest, RandomFieldsSurviveAReadAndAWrite) {
    std::mt19937 random(1234);
    for (CodePage page : kDoubleBytePages) {
        const CodePageConverter converter(page);
        const std::string codeset(converter.Codeset());
        SCOPED_TRACE(codeset);
        const std::vector<std::string> characters = CharactersOf(codeset);
        ASSERT_GT(characters.size(), 5000u);
        const std::vector<char> strays = StraysOf(codeset, false);
        const std::vector<char> leads = StraysOf(codeset, true);
        ASSERT_FALSE(leads.empty());
        std::uniform_int_distribution<std::size_t> stray(0, strays.size() - 1);
        std::uniform_int_distribution<std::size_t> lead(0, leads.size() - 1);
        for (int round = 0; round < 300; ++round) {
            std::string field = RandomText(characters, 30, random);
            field.resize(converter.FitBytes(field, 30));
            const std::string text = converter.Decode(field);
            EXPECT_EQ(text, Iconv(field, "UTF-8", codeset.c_str()));
            EXPECT_EQ(converter.Encode(text), field);

            std::string mixed = RandomText(characters, 20, random);
            for (int i = 0; i < 4 && !strays.empty(); ++i) {
                mixed.insert(converter.FitBytes(mixed, random() % mixed.size()), 1,
                             strays[stray(random)]);
            }
            mixed += leads[lead(random)];
            EXPECT_EQ(converter.Encode(converter.Decode(mixed)), mixed);
        }
    }
}

TEST(DoubleBytePageTest, ABytePartOfNoCharacterReadsAsItsLatin1Character) {
    const CodePageConverter sjis(CodePage::kShiftJis);
    // 0x80 and 0xA0 are no character; 0x81 leads a pair, but not with a space or at the end.
    const std::string bytes = "\x80 \xA0 \x81 x\x81";
    const std::string text = sjis.Decode(bytes);
    EXPECT_EQ(text, "\xC2\x80 \xC2\xA0 \xC2\x81 x\xC2\x81");
    EXPECT_EQ(sjis.Encode(text), bytes);
    // U+00A7 has a form of its own in the page, which the byte 0xA7 (a katakana) is not.
    EXPECT_EQ(sjis.Encode("\xC2\xA7"), "\x81\x98");
}

// FitBytes gives the longest start of at most the width that ends between two characters,
// so a field cut anywhere reads as a start of the whole text.
TEST(DoubleBytePageTest, NoCutEndsInsideACharacter) {
    std::mt19937 random(99);
    for (CodePage page : kDoubleBytePages) {
        const CodePageConverter converter(page);
        SCOPED_TRACE(std::string(converter.Codeset()));
        const std::vector<std::string> characters = CharactersOf(std::string(converter.Codeset()));
        for (int round = 0; round < 50; ++round) {
            const std::string text = RandomText(characters, 40, random);
            const std::string whole = converter.Decode(text);
            for (std::size_t width = 0; width <= text.size(); ++width) {
                const std::size_t fit = converter.FitBytes(text, width);
                ASSERT_LE(fit, width);
                ASSERT_GE(fit + 1, width) << "a cut never loses more than one byte";
                ASSERT_EQ(
                    converter.Decode(text.substr(0, fit)) + converter.Decode(text.substr(fit)),
                    whole)
                    << "the cut at " << fit << " splits a character";
            }
        }
    }
    EXPECT_EQ(CodePageConverter(CodePage::kLatin1).FitBytes("abcdef", 4), 4u);
}

// The setters cut at a character boundary: a two-byte character that would end past the
// field's last byte is left out whole, so the field never ends in half a character.
TEST(DoubleBytePageTest, TheSettersCutBetweenTwoCharacters) {
    CodePageConverter::SetCurrent(CodePage::kShiftJis);
    TTagFile file(std::nullopt);
    file.SetState(tsAppend);
    const std::string title = std::string(29, 'a') + "\xE6\x97\xA5\xE6\x9C\xAC";  // 29 + 日本
    file.SetTitle(title);
    EXPECT_EQ(file.StoredText(id3v1::kTitleOffset, id3v1::kTitleWidth), std::string(29, 'a'));
    file.SetComment(std::string(27, 'c') + "\xE6\x97\xA5");
    EXPECT_EQ(file.StoredText(id3v1::kCommentOffset, id3v1::kCommentWidth),
              std::string(27, 'c') + "\x93\xFA");
    file.SetArtist(std::string(28, 'b') + "\xE6\x97\xA5\xE6\x9C\xAC");
    EXPECT_EQ(file.GetArtist(), std::string(28, 'b') + "\xE6\x97\xA5");
    CodePageConverter::SetCurrent(CodePage::kLatin1);
}

// Changing case acts on characters, not bytes: the second byte of a Shift_JIS character
// can be an ASCII letter (ア is 0x83 0x41), which a change of case must leave alone.
TEST(DoubleBytePageTest, ChangeCaseLeavesTheBytesOfTwoByteCharacters) {
    CodePageConverter::SetCurrent(CodePage::kShiftJis);
    const std::string a_i = "\xE3\x82\xA2\xE3\x82\xA4";  // アイ, 0x83 0x41 0x83 0x43
    for (int mode : {1, 2, 3}) {
        TTagFile file(std::nullopt);
        file.SetState(tsAppend);
        file.SetTitle(a_i + " rock");
        file.SetArtist("ab" + a_i + "cd");
        file.ChangeCase(mode);
        const std::string rock = mode == 1 ? " ROCK" : mode == 2 ? " rock" : " Rock";
        EXPECT_EQ(file.GetTitle(), a_i + rock) << "mode " << mode;
        const std::string artist = mode == 1   ? "AB" + a_i + "CD"
                                   : mode == 2 ? "ab" + a_i + "cd"
                                               : "Ab" + a_i + "Cd";
        EXPECT_EQ(file.GetArtist(), artist) << "mode " << mode;
    }
    CodePageConverter::SetCurrent(CodePage::kLatin1);
}

// What an editor of a field may hold: the start of the text whose bytes fit.
TEST(DoubleBytePageTest, FitTextCountsThePagesBytes) {
    const CodePageConverter sjis(CodePage::kShiftJis);
    const std::string nihon = "\xE6\x97\xA5\xE6\x9C\xAC";  // two characters, two bytes each
    EXPECT_EQ(sjis.FitText("ab" + nihon, 5), 5u) << "a, b and the first";
    EXPECT_EQ(sjis.FitText("ab" + nihon, 6), 8u);
    EXPECT_EQ(sjis.FitText("\xEF\xBD\xB6\xEF\xBD\xB6", 2), 6u) << "half-width: one byte each";
    EXPECT_EQ(CodePageConverter(CodePage::kLatin1).FitText("\xC3\xA9t\xC3\xA9", 2), 3u);
}

// EncodeForField transliterates what the page lacks, the same in every locale, and cuts
// at a character boundary.
TEST(DoubleBytePageTest, EncodeForFieldTransliteratesAndCuts) {
    struct Case {
        CodePage page;
        std::string utf8;
        std::size_t width;
        std::string bytes;
        bool cut, lossy;
    };
    const std::string lodz =
        "\xC5\x81\xC3\xB3"
        "d\xC5\xBA";  // Łódź
    const Case cases[] = {
        {CodePage::kLatin1, lodz, 30,
         "L\xF3"
         "dz",
         false, true},
        {CodePage::kIso8859_2, lodz, 30,
         "\xA3\xF3"
         "d\xBC",
         false, false},
        {CodePage::kShiftJis, lodz, 30, "Lodz", false, true},
        {CodePage::kKoi8R,
         "\xE2\x82\xAC"
         "5",
         30, "EUR5", false, true},
        {CodePage::kShiftJis, "\xE0\xB8\x81!", 30, "?!", false, true},  // Thai: no form at all
        {CodePage::kShiftJis, "ab\xE6\x97\xA5", 3, "ab", true, false},
        {CodePage::kLatin1, "abcdef", 4, "abcd", true, false},
        {CodePage::kGbk, "\xE4\xB8\xAD", 30, "\xD6\xD0", false, false},
    };
    // The C locale has next to no transliterations; the result must not depend on it.
    const std::string old_locale = setlocale(LC_ALL, nullptr);
    setlocale(LC_ALL, "C");
    for (const Case& c : cases) {
        const EncodedField field = CodePageConverter(c.page).EncodeForField(c.utf8, c.width);
        EXPECT_EQ(field.bytes, c.bytes) << c.utf8;
        EXPECT_EQ(field.cut, c.cut) << c.utf8;
        EXPECT_EQ(field.lossy, c.lossy) << c.utf8;
    }
    setlocale(LC_ALL, old_locale.c_str());
}

// The tables are made once, on first use, whichever thread comes first.
TEST(DoubleBytePageTest, ThreadsShareTheTables) {
    const std::string text = "\xE4\xB8\xAD\xE6\x96\x87 abc";
    std::vector<std::string> results(8);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < results.size(); ++t) {
        threads.emplace_back([&, t] {
            const CodePageConverter converter(kDoubleBytePages[t % 4]);
            results[t] = converter.Decode(converter.Encode(text));
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (std::size_t t = 0; t < results.size(); ++t) EXPECT_EQ(results[t], results[t % 4]);
    EXPECT_EQ(results[1], text) << "GBK holds both characters";
}

}  // namespace
}  // namespace ambrel::test
