#include "tag/code_page.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tag/text_helpers.h"

namespace ambrel::test {
namespace {

std::string AllBytes() {
    std::string bytes;
    for (int byte = 0; byte < 256; ++byte) bytes += static_cast<char>(byte);
    return bytes;
}

// The characters of well-formed UTF-8, or none when it is not.
std::optional<std::u32string> Characters(const std::string& utf8) {
    std::u32string characters;
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        const std::size_t length = DecodeUtf8(utf8, i, &c);
        if (length == 0) return std::nullopt;
        characters += c;
        i += length;
    }
    return characters;
}

std::vector<CodePage> AllPages() {
    std::vector<CodePage> pages;
    for (const CodePageName& name : CodePageNames()) pages.push_back(name.page);
    return pages;
}

// Texts written in each page; the bytes were made with Python's encoders.
TEST(CodePageTest, TextsReadAndWriteInTheirPage) {
    struct Case {
        CodePage page;
        std::string utf8;
        std::string bytes;
    };
    const Case cases[] = {
        {CodePage::kWindows1251,
         "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, \xD0\xBC\xD0\xB8\xD1\x80",
         "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0"},
        {CodePage::kKoi8R,
         "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, \xD0\xBC\xD0\xB8\xD1\x80",
         "\xF0\xD2\xC9\xD7\xC5\xD4, \xCD\xC9\xD2"},
        {CodePage::kIso8859_5,
         "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, \xD0\xBC\xD0\xB8\xD1\x80",
         "\xBF\xE0\xD8\xD2\xD5\xE2, \xDC\xD8\xE0"},
        {CodePage::kWindows1250,
         "Za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87 g\xC4\x99\xC5\x9Bl\xC4\x85 ja\xC5\xBA\xC5\x84",
         "Za\xBF\xF3\xB3\xE6 g\xEA\x9Cl\xB9 ja\x9F\xF1"},
        {CodePage::kIso8859_2,
         "Za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87 g\xC4\x99\xC5\x9Bl\xC4\x85 ja\xC5\xBA\xC5\x84",
         "Za\xBF\xF3\xB3\xE6 g\xEA\xB6l\xB1 ja\xBC\xF1"},
        {CodePage::kIso8859_7,
         "\xCE\x9A\xCE\xB1\xCE\xBB\xCE\xB7\xCE\xBC\xCE\xAD\xCF\x81\xCE\xB1 "
         "\xCE\xBA\xCF\x8C\xCF\x83\xCE\xBC\xCE\xB5",
         "\xCA\xE1\xEB\xE7\xEC\xDD\xF1\xE1 \xEA\xFC\xF3\xEC\xE5"},
        {CodePage::kWindows1252,
         "\xE2\x82\xAC 5 \xE2\x80\x93 \xE2\x80\x9C"
         "Caf\xC3\xA9\xE2\x80\x9D",
         "\x80 5 \x96 \x93"
         "Caf\xE9\x94"},
        {CodePage::kLatin1, "Caf\xC3\xA9 M\xC3\xBCller \xC3\x9F", "Caf\xE9 M\xFCller \xDF"},
    };
    for (const Case& c : cases) {
        const CodePageConverter converter(c.page);
        EXPECT_EQ(converter.Decode(c.bytes), c.utf8) << CodePageId(c.page);
        EXPECT_EQ(converter.Encode(c.utf8), c.bytes) << CodePageId(c.page);
    }
}

TEST(CodePageTest, ACharacterThePageCannotHoldBecomesAQuestionMark) {
    struct Case {
        CodePage page;
        std::string utf8;
        std::string bytes;
    };
    const Case cases[] = {
        {CodePage::kWindows1251, "Za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87", "Za????"},
        {CodePage::kKoi8R, "\xE2\x82\xAC \xCE\xA9", "? ?"},
        {CodePage::kIso8859_7, "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82", "??????"},
        {CodePage::kWindows1252, "\xCE\xA9", "?"},
        {CodePage::kIso8859_2, "\xE2\x82\xAC", "?"},
        {CodePage::kLatin1, "\xE2\x82\xAC", "?"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CodePageConverter(c.page).Encode(c.utf8), c.bytes) << CodePageId(c.page);
    }
}

// A byte that is not part of well-formed UTF-8 (typed in a Latin-1 terminal) is taken as
// its Latin-1 character, then written in the page like any other.
TEST(CodePageTest, BytesThatAreNotUtf8AreTakenAsLatin1) {
    const std::string cafe = "Caf\xE9";
    EXPECT_EQ(CodePageConverter(CodePage::kLatin1).Encode(cafe), cafe);
    EXPECT_EQ(CodePageConverter(CodePage::kWindows1252).Encode(cafe), cafe);
    EXPECT_EQ(CodePageConverter(CodePage::kIso8859_2).Encode(cafe), cafe);
    EXPECT_EQ(CodePageConverter(CodePage::kWindows1251).Encode(cafe), "Caf?");
    EXPECT_EQ(CodePageConverter(CodePage::kKoi8R).Encode("\xC3(\xE9"), "?(?");
}

// Every byte of a single-byte page reads as one character and writes back as itself, also
// the bytes without a character in the page, which read as their Latin-1 character.
TEST(CodePageTest, EveryByteOfEverySingleBytePageSurvivesAReadAndAWrite) {
    const std::string bytes = AllBytes();
    for (CodePage page : AllPages()) {
        const CodePageConverter converter(page);
        if (converter.IsDoubleByte()) continue;
        const std::string text = converter.Decode(bytes);
        const auto characters = Characters(text);
        ASSERT_TRUE(characters) << CodePageId(page);
        EXPECT_EQ(characters->size(), 256u) << CodePageId(page);
        EXPECT_EQ(std::set<char32_t>(characters->begin(), characters->end()).size(), 256u)
            << CodePageId(page) << ": two bytes read as one character";
        EXPECT_EQ(converter.Encode(text), bytes) << CodePageId(page);
    }
    EXPECT_EQ(CodePageConverter(CodePage::kWindows1252).Decode("\x81\x8D"), "\xC2\x81\xC2\x8D");
    EXPECT_EQ(CodePageConverter(CodePage::kWindows1251).Decode("\x98"), "\xC2\x98");
    EXPECT_EQ(CodePageConverter(CodePage::kIso8859_7).Decode("\xAE\xFF"), "\xC2\xAE\xC3\xBF");
}

// The default page is today's conversion, and a table made from iconv's Latin-1 agrees
// with it byte for byte, both ways.
TEST(CodePageTest, Latin1IsTodaysConversionAndIconvsTable) {
    const CodePageConverter latin1(CodePage::kLatin1);
    const CodePageConverter table = CodePageConverter::ForCodeset("LATIN1");
    EXPECT_EQ(latin1.Codeset(), "ISO-8859-1");
    ASSERT_EQ(table.Codeset(), "LATIN1") << "a table of its own";
    const std::string bytes = AllBytes();
    EXPECT_EQ(latin1.Decode(bytes), Latin1ToUtf8(bytes));
    EXPECT_EQ(table.Decode(bytes), Latin1ToUtf8(bytes));
    for (const std::string& text :
         {std::string("Caf\xC3\xA9 \xE2\x82\xAC"), std::string("\xE9\xC3("),
          std::string("\xF0\x9F\x8E\xB5 x"), Latin1ToUtf8(bytes)}) {
        EXPECT_EQ(latin1.Encode(text), Utf8ToLatin1(text));
        EXPECT_EQ(table.Encode(text), Utf8ToLatin1(text));
    }
}

TEST(CodePageTest, EveryPageIsFoundByItsIdAndCommonSpellings) {
    std::set<std::string_view> ids;
    for (const CodePageName& name : CodePageNames()) {
        EXPECT_EQ(ParseCodePage(name.id), name.page) << name.id;
        EXPECT_EQ(CodePageId(name.page), name.id);
        EXPECT_FALSE(name.caption.empty());
        ids.insert(name.id);
    }
    EXPECT_EQ(ids.size(), 13u);
    EXPECT_EQ(CodePageNames().front().page, CodePage::kLatin1) << "the default first";
    EXPECT_EQ(ParseCodePage("windows_1251"), CodePage::kWindows1251);
    EXPECT_EQ(ParseCodePage("KOI8R"), CodePage::kKoi8R);
    EXPECT_EQ(ParseCodePage("iso 8859-7"), CodePage::kIso8859_7);
    EXPECT_EQ(ParseCodePage("Latin1"), CodePage::kLatin1);
    EXPECT_EQ(ParseCodePage("cp1250"), CodePage::kWindows1250);
    EXPECT_EQ(ParseCodePage("System"), CodePage::kSystemLocale);
    EXPECT_EQ(ParseCodePage("cp932"), CodePage::kShiftJis);
    EXPECT_EQ(ParseCodePage("Shift_JIS"), CodePage::kShiftJis);
    EXPECT_EQ(ParseCodePage("SJIS"), CodePage::kShiftJis);
    EXPECT_EQ(ParseCodePage("gbk"), CodePage::kGbk);
    EXPECT_EQ(ParseCodePage("CP936"), CodePage::kGbk);
    EXPECT_EQ(ParseCodePage("Big5"), CodePage::kBig5);
    EXPECT_EQ(ParseCodePage("cp950"), CodePage::kBig5);
    EXPECT_EQ(ParseCodePage("EUC-KR"), CodePage::kEucKr);
    EXPECT_EQ(ParseCodePage("cp949"), CodePage::kEucKr);
    EXPECT_EQ(ParseCodePage("UTF-8"), std::nullopt);
    EXPECT_EQ(ParseCodePage(""), std::nullopt);
}

// Only a single-byte or double-byte code set gets a table: one with longer characters or
// shift states, or one iconv does not know, reads and writes Latin-1.
TEST(CodePageTest, ACodeSetThatIsNeitherSingleNorDoubleByteIsLatin1) {
    const std::string bytes = AllBytes();
    for (const char* codeset : {"UTF-8", "EUC-JP", "GB18030", "ISO-2022-JP", "no such code set", ""}) {
        const CodePageConverter converter = CodePageConverter::ForCodeset(codeset);
        EXPECT_EQ(converter.Codeset(), "ISO-8859-1") << codeset;
        EXPECT_EQ(converter.Decode(bytes), Latin1ToUtf8(bytes)) << codeset;
    }
    // The C locale's ASCII has no character above 127: those bytes read as Latin-1.
    const CodePageConverter ascii = CodePageConverter::ForCodeset("ANSI_X3.4-1968");
    EXPECT_EQ(ascii.Codeset(), "ANSI_X3.4-1968");
    EXPECT_EQ(ascii.Decode(bytes), Latin1ToUtf8(bytes));
    EXPECT_EQ(ascii.Encode(Latin1ToUtf8(bytes)), bytes);
    EXPECT_EQ(ascii.Encode("\xE2\x82\xAC"), "?");
    const CodePageConverter koi8 = CodePageConverter::ForCodeset("KOI8-R");
    EXPECT_EQ(koi8.Decode(bytes), CodePageConverter(CodePage::kKoi8R).Decode(bytes));
}

TEST(CodePageTest, TheSystemPageIsTheEnvironmentsLocale) {
    const char* old = getenv("LC_ALL");
    const std::string saved = old ? old : "";
    setenv("LC_ALL", "C.UTF-8", 1);
    EXPECT_EQ(SystemCodeset(), "UTF-8");
    setenv("LC_ALL", "C", 1);
    EXPECT_EQ(SystemCodeset(), "ANSI_X3.4-1968");
    setenv("LC_ALL", "xx_NOWHERE.KOI8-R", 1);
    EXPECT_EQ(SystemCodeset(), "ANSI_X3.4-1968") << "a locale the system lacks is C";
    old ? setenv("LC_ALL", saved.c_str(), 1) : unsetenv("LC_ALL");
    const std::string codeset = SystemCodeset();
    const CodePageConverter system(CodePage::kSystemLocale);
    EXPECT_EQ(system.Decode(AllBytes()), CodePageConverter::ForCodeset(codeset).Decode(AllBytes()));
}

// Tables are made on first use, whichever thread comes first.
TEST(CodePageTest, ThreadsMakeAndUseTablesTogether) {
    const char* const codesets[] = {"CP1253", "CP1254", "ISO-8859-9", "ISO-8859-15", "KOI8-U"};
    const std::string bytes = AllBytes();
    std::vector<std::string> decoded(8 * std::size(codesets));
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            for (std::size_t i = 0; i < std::size(codesets); ++i) {
                const auto converter = CodePageConverter::ForCodeset(codesets[(i + t) % 5]);
                decoded[t * 5 + (i + t) % 5] = converter.Decode(bytes);
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        EXPECT_EQ(decoded[i], decoded[i % 5]) << codesets[i % 5];
        EXPECT_EQ(CodePageConverter::ForCodeset(codesets[i % 5]).Encode(decoded[i]), bytes);
    }
}

}  // namespace
}  // namespace ambrel::test
