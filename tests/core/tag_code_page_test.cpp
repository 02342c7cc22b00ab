// ID3v1 text in the chosen code page, through the tag list, the table and a save: the bytes of
// each case are made here with iconv's own encoders, not with the program's tables.
#include <gtest/gtest.h>
#include <iconv.h>

#include <string>
#include <vector>

#include "library/library.h"
#include "support/fake_prompter.h"
#include "support/memory_report_view.h"
#include "support/mp3_fixture.h"
#include "tag/code_page.h"
#include "tag/tag_file.h"
#include "tag/tag_list.h"
#include "viewer/tag_viewer.h"

namespace ambrel::test {
namespace {

// The text in the code set, as iconv writes it (every character must be in it).
std::string Iconv(const std::string& utf8, const char* codeset) {
    const iconv_t cd = iconv_open(codeset, "UTF-8");
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << codeset;
    std::string in = utf8;
    std::string out(utf8.size() * 4, '\0');
    char* in_at = in.data();
    char* out_at = out.data();
    std::size_t in_left = in.size(), out_left = out.size();
    EXPECT_NE(iconv(cd, &in_at, &in_left, &out_at, &out_left), static_cast<std::size_t>(-1))
        << codeset;
    iconv_close(cd);
    out.resize(out.size() - out_left);
    return out;
}

// Tests that change the program's code page put Latin-1 back.
class CodePageFieldsTest : public ::testing::Test {
protected:
    ~CodePageFieldsTest() override { CodePageConverter::SetCurrent(CodePage::kLatin1); }

    TempDir dir;
};

struct PageCase {
    CodePage page;
    const char* codeset;
    std::string artist, title;  // read from the file
    std::string album;          // typed
};

const PageCase kPages[] = {
    {CodePage::kLatin1, "ISO-8859-1", "Mot\xC3\xB6rhead", "\xC3\x80 la fa\xC3\xA7on",
     "M\xC3\xB6tley Cr\xC3\xBC"
     "e"},
    {CodePage::kWindows1252, "WINDOWS-1252", "Beyonc\xC3\xA9",
     "\xE2\x80\x9C"
     "D\xC3\xA9j\xC3\xA0 Vu\xE2\x80\x9D",
     "\xE2\x82\xAC"
     "uro \xE2\x80\x93 Caf\xC3\xA9"},
    {CodePage::kWindows1250, "WINDOWS-1250", "Dvo\xC5\x99\xC3\xA1k",
     "\xC5\xBDlu\xC5\xA5ou\xC4\x8Dk\xC3\xBD k\xC5\xAF\xC5\x88",
     "\xC5\x81\xC3\xB3"
     "d\xC5\xBA"},
    {CodePage::kWindows1251, "WINDOWS-1251", "\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE",
     "\xD0\x93\xD1\x80\xD1\x83\xD0\xBF\xD0\xBF\xD0\xB0 \xD0\xBA\xD1\x80\xD0\xBE\xD0\xB2\xD0\xB8",
     "\xD0\x97\xD0\xB2\xD0\xB5\xD0\xB7\xD0\xB4\xD0\xB0 "
     "\xC2\xAB\xD0\xA1\xD0\xBE\xD0\xBB\xD0\xBD\xD1\x86\xD0\xB5\xC2\xBB"},
    {CodePage::kIso8859_2, "ISO-8859-2",
     "\xC5\x81\xC3\xB3"
     "d\xC5\xBA",
     "Za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87 g\xC4\x99\xC5\x9Bl\xC4\x85",
     "\xC5\xA0"
     "koda"},
    {CodePage::kIso8859_5, "ISO-8859-5", "\xD0\x90\xD1\x80\xD0\xB8\xD1\x8F",
     "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, \xD0\xBC\xD0\xB8\xD1\x80",
     "\xD0\x81\xD0\xBB\xD0\xBA\xD0\xB0"},
    {CodePage::kIso8859_7, "ISO-8859-7",
     "\xCE\x98\xCE\xB5\xCE\xBF\xCE\xB4\xCF\x89\xCF\x81\xCE\xAC\xCE\xBA\xCE\xB7\xCF\x82",
     "\xCE\x9A\xCE\xB1\xCE\xBB\xCE\xB7\xCE\xBC\xCE\xAD\xCF\x81\xCE\xB1",
     "\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1"},
    {CodePage::kKoi8R, "KOI8-R", "\xD0\x9C\xD0\xB0\xD1\x88\xD0\xB8\xD0\xBD\xD0\xB0",
     "\xD0\x92\xD1\x80\xD0\xB5\xD0\xBC\xD0\xB5\xD0\xBD\xD0\xB8", "\xD0\x81\xD0\xB6"},
};

// A file tagged in each page shows its text in the table; typing writes the page's bytes,
// a character the page lacks as '?', and what was not typed is saved back byte for byte.
TEST_F(CodePageFieldsTest, EachPageIsShownAndSavedByteForByte) {
    const std::string outside = "\xE4\xB8\xAD";  // a CJK character, in no page of the list
    for (const PageCase& c : kPages) {
        SCOPED_TRACE(CodePageId(c.page));
        TagFields fields;
        fields.artist = Iconv(c.artist, c.codeset);
        fields.title = Iconv(c.title, c.codeset);
        fields.comment = "\xFF\x01";  // bytes that may have no character in the page
        fields.track = 3;
        const std::string path =
            WriteMp3(dir / (std::string(CodePageId(c.page)) + ".mp3"), 500, MakeBlock(fields));

        CodePageConverter::SetCurrent(c.page);
        MemoryReportView table;
        TTagList list;
        TTagViewer viewer(&table, &list, std::nullopt);
        viewer.LayoutColumns();
        list.Add(path);
        viewer.RebuildRows();
        ASSERT_EQ(table.RowCount(), 1);
        EXPECT_EQ(table.Cell(0, TTagViewer::kArtist), c.artist);
        EXPECT_EQ(table.Cell(0, TTagViewer::kSongTitle), c.title);

        TTagFile& file = *list.Get(0);
        ASSERT_EQ(file.SetAlbum(c.album), 1);
        ASSERT_EQ(file.SetYear("19" + outside), 1);
        // The entry's own texts, written back as a window does with every box.
        file.SetArtist(file.GetArtist());
        file.SetTitle(file.GetTitle());
        file.SetComment(file.GetComment());
        ASSERT_EQ(file.Save(), 1);

        fields.album = Iconv(c.album, c.codeset);
        fields.year = "19?";
        const Block expected = MakeBlock(fields);
        EXPECT_EQ(ReadTail(path), std::vector<uint8_t>(expected.begin(), expected.end()));
    }
}

// The field's width counts the page's bytes, not the UTF-8 ones: thirty Cyrillic letters fill
// the title, and the thirty-first is cut.
TEST_F(CodePageFieldsTest, TheWidthCutCountsThePagesBytes) {
    CodePageConverter::SetCurrent(CodePage::kWindows1251);
    std::string letters;
    for (int i = 0; i < 31; ++i) letters += "\xD0\x96";  // U+0416
    TTagFile file(dir / "w.mp3");
    file.SetState(tsAppend);
    file.SetTitle(letters);
    EXPECT_EQ(file.StoredText(id3v1::kTitleOffset, id3v1::kTitleWidth), std::string(30, '\xC6'));
    EXPECT_EQ(file.GetTitle(), letters.substr(0, 60));
}

// Switching the page reads the entries again in the new one, in place: the rows, their order,
// the selection and the bytes stay, nothing is marked modified and a save writes nothing.
TEST_F(CodePageFieldsTest, SwitchingThePageRedrawsTheRowsAndChangesNoEntry) {
    FakePrompter prompter;
    MemoryReportView table;
    Library library(&prompter);
    library.CreateModel(dir / "bin", &table);
    library.TagViewer()->LayoutColumns();
    std::vector<std::string> paths;
    for (const char* name : {"b.mp3", "a.mp3"}) {
        TagFields fields;
        fields.artist = Iconv(kPages[3].artist, "WINDOWS-1251");  // "Кино"
        fields.title = name;
        paths.push_back(WriteMp3(dir / name, 200, MakeBlock(fields)));
    }
    ASSERT_EQ(library.AddFiles(paths), 2);
    ASSERT_EQ(library.SaveAll().failed.size(), 0u);  // loaded entries count as edited once
    TTagList& list = *library.TagList();
    list.Get(1)->SetComment("edited");
    library.TagViewer()->ColumnClick(TTagViewer::kSongTitle);
    table.ReplaceSelection({1});
    const std::vector<std::vector<uint8_t>> files{ReadBytes(paths[0]), ReadBytes(paths[1])};
    const TagBlock blocks[] = {list.Get(0)->Block(), list.Get(1)->Block()};
    EXPECT_EQ(table.Cell(0, TTagViewer::kArtist), "\xC3\x8A\xC3\xA8\xC3\xAD\xC3\xAE");

    library.SetCodePage(CodePage::kWindows1251);
    EXPECT_EQ(CodePageConverter::CurrentPage(), CodePage::kWindows1251);
    ASSERT_EQ(table.RowCount(), 2);
    EXPECT_EQ(table.Cell(0, TTagViewer::kArtist), kPages[3].artist);
    EXPECT_EQ(table.Cell(0, TTagViewer::kSongTitle), "a.mp3") << "the sort order stays";
    EXPECT_EQ(table.SelectedRows(), std::vector<int>{1});
    EXPECT_FALSE(list.Get(0)->IsModified());
    EXPECT_TRUE(list.Get(1)->IsModified());
    for (int i = 0; i < 2; ++i) EXPECT_EQ(list.Get(i)->Block(), blocks[i]);
    const SaveReport saved = library.SaveAll();
    EXPECT_EQ(saved.saved, std::vector<std::string>{paths[1]});
    EXPECT_EQ(ReadBytes(paths[0]), files[0]);
}

}  // namespace
}  // namespace ambrel::test
