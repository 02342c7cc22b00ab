// Whether a loaded file carries an ID3v2 tag, read from its first bytes in the same open as
// its ID3v1 block, and only when a load asks for it.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "files/file_loader.h"
#include "files/parallel_load.h"
#include "library/library.h"
#include "platform/file_io.h"
#include "support/fake_prompter.h"
#include "support/memory_report_view.h"
#include "support/mp3_fixture.h"
#include "tag/tag_list.h"
#include "viewer/tag_viewer.h"

namespace ambrel::test {
namespace {

namespace fs = std::filesystem;

Block TitledV1() {
    TagFields fields;
    fields.title = "v1";
    return MakeBlock(fields);
}

// An ID3v2 header of the major version declaring `size` bytes after it, `padding` zero bytes
// (as many as declared unless given), audio, and an ID3v1 tag titled "v1".
std::vector<uint8_t> WithId3v2(uint8_t major, uint32_t size = 64, long padding = -1) {
    std::vector<uint8_t> bytes = {'I', 'D', '3', major, 0, 0};
    for (int shift = 21; shift >= 0; shift -= 7) bytes.push_back((size >> shift) & 0x7F);
    bytes.resize(bytes.size() + (padding < 0 ? size : padding), 0);
    const std::vector<uint8_t> rest = MakeMp3Bytes(300, TitledV1());
    bytes.insert(bytes.end(), rest.begin(), rest.end());
    return bytes;
}

std::string Write(const std::string& path, const std::vector<uint8_t>& bytes) {
    WriteBytes(path, bytes);
    return path;
}

// Bytes that differ from one offset to the next, so a read from the wrong place shows.
std::vector<uint8_t> Pattern(std::size_t size) {
    std::vector<uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 7 + i / 256 + 3);
    return bytes;
}

TEST(FileHeadTest, TheHeadAndTheTailComeFromTheirPlacesWhateverTheFileSize) {
    TempDir dir;
    const std::size_t limit = file_io::kWholeReadLimit;
    for (std::size_t size :
         {std::size_t{0}, std::size_t{9}, std::size_t{10}, std::size_t{60}, std::size_t{127},
          std::size_t{128}, std::size_t{137}, limit - 1, limit, limit + 1, std::size_t{100000}}) {
        const std::vector<uint8_t> bytes = Pattern(size);
        const std::string path = Write(dir / (std::to_string(size) + ".mp3"), bytes);
        std::array<uint8_t, 128> tail{};
        file_io::FileHead head;
        const bool tail_read = file_io::ReadLastBlock(path, &tail, &head);
        EXPECT_EQ(tail_read, size >= 128) << size;
        if (tail_read) EXPECT_TRUE(std::equal(tail.begin(), tail.end(), bytes.end() - 128)) << size;
        EXPECT_EQ(head.read, size >= 10) << size;
        if (head.read)
            EXPECT_TRUE(std::equal(head.bytes.begin(), head.bytes.end(), bytes.begin())) << size;
        EXPECT_EQ(head.file_size, static_cast<long long>(size));

        std::array<uint8_t, 128> alone{};
        EXPECT_EQ(file_io::ReadLastBlock(path, &alone), tail_read) << "without the head";
        EXPECT_EQ(alone, tail) << size;
    }
    file_io::FileHead head;
    head.read = true;
    std::array<uint8_t, 128> tail{};
    fs::create_directories(dir / "folder.mp3");
    EXPECT_FALSE(file_io::ReadLastBlock(dir / "folder.mp3", &tail, &head));
    EXPECT_FALSE(head.read) << "a directory is not read";
    EXPECT_EQ(head.file_size, -1);
    EXPECT_FALSE(file_io::ReadLastBlock(dir / "gone.mp3", &tail, &head));
    EXPECT_FALSE(head.read);
}

TEST(TagFileHeadTest, ALoadAskedForTheHeadGivesTheVersionAndNoneOtherwise) {
    TempDir dir;
    std::vector<uint8_t> broken = WithId3v2(3);
    broken[9] = 0x80;  // a size byte with its high bit set
    std::vector<uint8_t> short_with_header = WithId3v2(4, 20);
    short_with_header.resize(60);  // no room for an ID3v1 tag, but the header fits
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        std::string_view version;
        int tagged;
    } cases[] = {
        {"v22", WithId3v2(2), "2.2", 1},
        {"v23", WithId3v2(3), "2.3", 1},
        {"v24", WithId3v2(4), "2.4", 1},
        {"plain", MakeMp3Bytes(300, TitledV1()), "", 1},
        {"broken", broken, "", 1},
        {"past_end", WithId3v2(3, 100000, 2000), "", 1},  // shorter than it declares
        {"short", short_with_header, "2.4", 0},
        {"tiny", {'I', 'D', '3', 3, 0}, "", 0},
    };
    for (const Case& c : cases) {
        const std::string path = Write(dir / (std::string(c.name) + ".mp3"), c.bytes);
        TTagFile entry(path);
        EXPECT_EQ(entry.Load(true), c.tagged) << c.name;
        EXPECT_TRUE(entry.GetId3v2Head().Read()) << c.name;
        EXPECT_EQ(entry.Id3v2Version(), c.version) << c.name;
        if (c.tagged) EXPECT_EQ(entry.GetTitle(), "v1") << c.name;

        TTagFile unasked(path);
        EXPECT_EQ(unasked.Load(), c.tagged) << c.name;
        EXPECT_FALSE(unasked.GetId3v2Head().Read()) << c.name;
        EXPECT_EQ(unasked.Id3v2Version(), "") << c.name;
    }
}

TEST(TagFileHeadTest, AReloadReadsTheHeadAgainOnlyWhereTheLoadHadAskedForIt) {
    TempDir dir;
    const std::string path = WriteMp3(dir / "song.mp3", 300, MakeBlock({}));
    TTagFile asked(path), unasked(path);
    asked.Load(true);
    unasked.Load(false);
    EXPECT_EQ(asked.Id3v2Version(), "");

    Write(path, WithId3v2(3));  // another program adds an ID3v2 tag
    EXPECT_EQ(asked.Load(), 1);
    EXPECT_EQ(asked.Id3v2Version(), "2.3");
    EXPECT_EQ(unasked.Load(), 1);
    EXPECT_FALSE(unasked.GetId3v2Head().Read());

    // A save writes only the end: what is known of the start stays.
    asked.SetTitle("saved");
    ASSERT_EQ(asked.Save(), 1);
    EXPECT_EQ(asked.Id3v2Version(), "2.3");

    // A file gone for a while is looked at again once it is back.
    fs::remove(path);
    EXPECT_EQ(asked.Load(), 0);
    EXPECT_EQ(asked.Id3v2Version(), "");
    Write(path, WithId3v2(4));
    EXPECT_EQ(asked.Load(), 1);
    EXPECT_EQ(asked.Id3v2Version(), "2.4");

    // A load that does not ask forgets what an earlier one found.
    asked.Load(false);
    EXPECT_FALSE(asked.GetId3v2Head().Read());
}

class LoadHeadTest : public ::testing::Test {
protected:
    LoadHeadTest() {
        Write(dir / "f/a.mp3", WithId3v2(3));
        WriteMp3(dir / "f/b.mp3", 300, MakeBlock({}));
        Write(dir / "f/c.mp3", WithId3v2(4));
        WriteMp3(dir / "f/d.mp3", 300, std::nullopt);
    }

    static std::vector<std::string> Versions(const TTagList& list) {
        std::vector<std::string> versions;
        for (int i = 0; i < list.Count(); ++i)
            versions.emplace_back(list.Get(i)->GetId3v2Head().Read()
                                      ? list.Get(i)->Id3v2Version()
                                      : std::string_view("not read"));
        return versions;
    }

    TempDir dir;
    const std::vector<std::string> found = {"2.3", "", "2.4", ""};
    const std::vector<std::string> not_read = {"not read", "not read", "not read", "not read"};
};

TEST_F(LoadHeadTest, EveryLoadPathCarriesTheHeadsWhenAskedAndOnlyThen) {
    for (bool read_head : {false, true}) {
        const std::vector<std::string>& expected = read_head ? found : not_read;
        LoadOptions options;
        options.read_head = read_head;
        const LoadResult result = RunLoad(
            LoadRequest::Directory(dir / "f", std::nullopt, true, true, LoadMode::kAll), options);
        TTagList threaded;
        EXPECT_EQ(AddFoundFiles(threaded, result.files), 3);
        EXPECT_EQ(Versions(threaded), expected) << "threaded load, read_head " << read_head;

        PathLoadOptions named;
        named.read_head = read_head;
        TTagList drained;
        std::vector<std::string> versions;
        LoadPaths(drained, {dir / "f"}, named, [&](const TTagList& chunk) {
            for (const std::string& version : Versions(chunk)) versions.push_back(version);
        });
        EXPECT_EQ(versions, expected) << "named paths, read_head " << read_head;

        TTagList added;
        added.AddList({dir / "f/a.mp3", dir / "f/b.mp3", dir / "f/c.mp3", dir / "f/d.mp3"},
                      read_head);
        EXPECT_EQ(Versions(added), expected) << "tag list, read_head " << read_head;
    }
}

TEST_F(LoadHeadTest, TheLibrarysLoadsReloadsAndUndoKeepTheHeadsRight) {
    FakePrompter prompter;
    MemoryReportView table;
    Library library(&prompter);
    library.CreateModel(dir / "bin", &table);
    library.TagViewer()->LayoutColumns();
    ASSERT_FALSE(library.ReadsHeads());
    ASSERT_EQ(library.AddFiles({dir / "f/a.mp3"}), 1);
    EXPECT_EQ(Versions(*library.TagList()), std::vector<std::string>{"not read"});
    library.RemoveAllLines();

    library.SetReadHeads(true);
    ASSERT_TRUE(library.StartLoad(
        LoadKind::kDirectory,
        LoadRequest::Directory(dir / "f", std::nullopt, true, true, LoadMode::kAll)));
    ASSERT_TRUE(library.WaitForLoad(std::chrono::seconds(20)));
    ASSERT_EQ(library.FinishLoad(), Library::LoadStage::kIdle);
    EXPECT_EQ(Versions(*library.TagList()), found);

    // b gains an ID3v2 tag and a loses its own; the reload of both sees it.
    Write(dir / "f/b.mp3", WithId3v2(2));
    WriteMp3(dir / "f/a.mp3", 300, MakeBlock({}));
    table.ReplaceSelection({0, 1});
    ASSERT_EQ(library.ReloadSelectedTags(), 2);
    const std::vector<std::string> reloaded = {"", "2.2", "2.4", ""};
    EXPECT_EQ(Versions(*library.TagList()), reloaded);
    // Undo takes back the reload's tag changes, not the files' starts, which it never wrote.
    library.Undo();
    EXPECT_EQ(Versions(*library.TagList()), reloaded);

    ASSERT_EQ(library.AddFiles({dir / "f/c.mp3"}), 1);
    EXPECT_EQ(Versions(*library.TagList()).back(), "2.4") << "a drop reads heads too";
}

// Showing the table's ID3v2 column on a library loaded without heads reads them: the
// version lands in the column's cells, and the tags edited in memory stay as they are.
TEST_F(LoadHeadTest, ShowingTheId3v2ColumnReadsTheHeadsTheLoadLeftOut) {
    FakePrompter prompter;
    MemoryReportView table;
    Library library(&prompter);
    library.CreateModel(dir / "bin", &table);
    library.TagViewer()->LayoutColumns();
    EXPECT_EQ(table.ColumnCount(), TTagViewer::kColumnCount - 1) << "the column starts hidden";
    ASSERT_EQ(library.AddFiles({dir / "f/a.mp3", dir / "f/b.mp3", dir / "f/c.mp3"}), 3);
    library.TagList()->Get(1)->SetArtist("edited");

    EXPECT_EQ(library.ShowId3v2Versions(true), 3);
    ASSERT_EQ(library.TagViewer()->ShowColumn(TTagViewer::kId3v2, true), 1);
    const int pos = library.TagViewer()->ColumnPos(TTagViewer::kId3v2) - 1;
    ASSERT_EQ(pos, TTagViewer::kColumnCount - 1);
    EXPECT_EQ(table.ColumnCaption(pos), "ID3v2");
    const std::vector<std::string> cells = {std::string(table.Cell(0, pos)),
                                            std::string(table.Cell(1, pos)),
                                            std::string(table.Cell(2, pos))};
    EXPECT_EQ(cells, (std::vector<std::string>{"2.3", "", "2.4"}));
    EXPECT_EQ(library.TagList()->Get(1)->GetArtist(), "edited");
    EXPECT_TRUE(library.ReadsHeads());
    EXPECT_EQ(library.ShowId3v2Versions(true), 0) << "heads read once are not read again";
}

}  // namespace
}  // namespace ambrel::test
