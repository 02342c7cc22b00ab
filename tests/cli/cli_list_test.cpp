// ambrel-cli list against the window's own load of the same tree.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "cli_runner.h"
#include "errors/error_log.h"
#include "files/file_loader.h"
#include "library/library.h"
#include "platform/paths.h"
#include "platform/selectors.h"
#include "support/id3v2_fixture.h"
#include "support/memory_report_view.h"
#include "support/python_reader.h"
#include "tag/tag_list.h"
#include "viewer/tag_viewer.h"

namespace ambrel::test {
namespace {

namespace fs = std::filesystem;

// The genre file the program reads: the one its build tree holds.
std::string GenreFile() {
    return paths::Join(Library::DataDirectory(paths::DirectoryOf(AMBREL_CLI)), "tagviewer.cfg");
}

std::string UnTsv(const std::string& field) {
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            text += field[i];
            continue;
        }
        const char c = field[++i];
        text += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
    }
    return text;
}

// A record as the program prints it: the nine table cells, the path, the tag state.
using Record = std::vector<std::string>;

class ListTest : public ::testing::Test {
protected:
    ListTest() {
        TagFields odd;
        odd.title = "Say \"Hi\", now\n\xC9";  // a quote, a comma, a line feed, Latin-1 É
        odd.artist = "Bj\xF6rk";
        odd.comment = "tab\there \\ back";
        odd.year = "1995";
        odd.track = 3;
        odd.genre = 17;
        WriteMp3(dir / "m/b.mp3", 500, MakeBlock(odd));
        WriteMp3(dir / "m/A.mp3", 500, std::nullopt);
        WriteMp3(dir / "m/upper.MP3", 500, MakeBlock({}));
        WriteMp3(dir / "m/.hidden.mp3", 500, MakeBlock(Titled("Hidden")));
        WriteText(dir / "m/notes.txt", "not audio");
        TagFields queen = Titled("X");
        queen.artist = "Queen";
        queen.genre = 200;  // beyond the named genres
        WriteMp3(dir / "m/sub/x.mp3", 500, MakeBlock(queen));
        WriteMp3(dir / "m/sub/deeper/y.mp3", 120, std::nullopt);  // too short for a tag
        WriteMp3(dir / "m/caf\xE9.mp3", 500, MakeBlock(Titled("Caf\xE9")));
    }

    // The records the window's "Load supported files in current directory" gives: the load
    // of the file viewer with its filter as it starts, then the rows of the tag viewer.
    std::vector<Record> WindowLoad(const std::string& folder, LoadMode mode, bool recurse) {
        TTagList list;
        MemoryReportView table;
        TTagViewer viewer(&table, &list, GenreFile());
        viewer.LayoutColumns();
        TErrorLog log(std::nullopt);
        TFileViewer files(folder);
        files.SetLoadMode(mode);
        const std::string mask = FilterEntries(kFileViewerFilterText).front().second;
        LoadDirectory(files, list, viewer, log, mask, true, recurse);
        std::vector<Record> records;
        for (int row = 0; row < table.RowCount(); ++row) {
            const std::vector<std::string> cells = table.RowCells(row);
            Record record(cells.begin() + 1, cells.end() - 1);  // no Index, no Picture
            record.push_back(viewer.EntryAt(row)->GetPath());
            record.push_back(viewer.EntryAt(row)->GetState() == tsPresent ? "present" : "none");
            records.push_back(record);
        }
        return records;
    }

    static std::vector<Record> TsvRecords(const CliResult& result) {
        std::vector<Record> records;
        for (const std::string& line : Lines(result.out)) {
            Record record;
            for (const std::string& field : TabFields(line)) record.push_back(UnTsv(field));
            records.push_back(record);
        }
        return records;
    }

    TempDir dir;
};

const Record kHeader = {"Directory", "Filename", "Track", "Artist", "Song title", "Album",
                        "Comment",   "Genre",    "Year",  "Path",   "Tag"};

TEST_F(ListTest, ListsWhatTheWindowLoadsInEachMode) {
    struct Case {
        const char* mode;
        LoadMode load_mode;
        bool recurse;
        std::size_t files;
    } cases[] = {
        {"all", LoadMode::kAll, false, 5},          {"all", LoadMode::kAll, true, 7},
        {"tagged", LoadMode::kTagged, true, 5},     {"untagged", LoadMode::kUntagged, false, 1},
        {"untagged", LoadMode::kUntagged, true, 2},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"list", "--mode", c.mode, dir / "m"};
        if (c.recurse) args.insert(args.begin() + 1, "-r");
        const CliResult result = RunCli(args);
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err, "");
        std::vector<Record> records = TsvRecords(result);
        ASSERT_FALSE(records.empty());
        EXPECT_EQ(records.front(), kHeader);
        records.erase(records.begin());
        const std::vector<Record> expected = WindowLoad(dir / "m", c.load_mode, c.recurse);
        EXPECT_EQ(records, expected) << c.mode << (c.recurse ? " -r" : "");
        EXPECT_EQ(records.size(), c.files) << c.mode << (c.recurse ? " -r" : "");
    }
}

TEST_F(ListTest, NamesTheGenresAndKeepsTheBytesOfFileNames) {
    const CliResult result = RunCli({"list", dir / "m/b.mp3", dir / "m/caf\xE9.mp3"});
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<Record> records = TsvRecords(result);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[1],
              (Record{"m", "b", "3", "Bj\xC3\xB6rk", "Say \"Hi\", now\n\xC3\x89", "",
                      "tab\there \\ back", "Rock", "1995", dir / "m/b.mp3", "present"}));
    EXPECT_EQ(records[2][1], "caf\xE9");
    EXPECT_EQ(records[2][4], "Caf\xC3\xA9");  // the tag's Latin-1 text comes out as UTF-8
    EXPECT_EQ(records[2][9], dir / "m/caf\xE9.mp3");
}

TEST_F(ListTest, CsvAndJsonReadBackWithPythonsParsers) {
    // The file whose title holds a quote, a comma, a line feed and a Latin-1 letter.
    fs::create_directories(dir / "csv");
    fs::copy_file(dir / "m/b.mp3", dir / "csv/b.mp3");
    const std::vector<Record> expected = WindowLoad(dir / "csv", LoadMode::kAll, false);
    ASSERT_EQ(expected.size(), 1u);

    const CliResult csv = RunCli({"list", "--format", "csv", dir / "csv"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    EXPECT_NE(csv.out.find("\r\n"), std::string::npos) << "records end in CR LF";
    const std::string csv_file = WriteText(dir / "out.csv", csv.out);
    Record header = kHeader, record = expected[0];
    header.push_back("ID3v2");
    record.push_back("");  // the file carries no ID3v2 tag
    EXPECT_EQ(ReadCsvWithPython(csv_file), (Rows{header, record}));

    const CliResult json = RunCli({"list", "--format=json", dir / "csv", dir / "m/caf\xE9.mp3"});
    ASSERT_EQ(json.status, 0) << json.err;
    const Rows objects = ReadJsonWithPython(WriteText(dir / "out.json", json.out),
                                            {"directory", "filename", "track", "artist", "title",
                                             "album", "comment", "genre", "year", "path", "tag"});
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(objects[0], expected[0]);
    // json must be UTF-8: a name's byte that is not is read as Latin-1.
    EXPECT_EQ(objects[1][1], "caf\xC3\xA9");

    const CliResult none = RunCli({"list", "--format", "json", dir / "m/notes.txt"});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(ReadJsonWithPython(WriteText(dir / "none.json", none.out), {"path"}), Rows{});
}

// An ID3v2 tag of the version (3 or 4) titled "v2 title", as mutagen writes it.
std::vector<uint8_t> V2Tag(int version) {
    return MakeId3v2Tag(Id3v2Spec{version, 3, {{"TIT2", {"v2 title"}, ""}}, Id3v2Form::kPlain});
}

TEST_F(ListTest, CsvAndJsonGiveTheId3v2VersionAndTsvStaysAsItWas) {
    WriteMp3WithId3v2(dir / "v2/a.mp3", V2Tag(3), MakeBlock(Titled("A")));
    WriteMp3WithId3v2(dir / "v2/b.mp3", V2Tag(4));
    std::vector<uint8_t> v22 = {'I', 'D', '3', 2, 0, 0, 0, 0, 0, 20};
    v22.resize(30, 0);  // a 2.2 header with 20 bytes of padding: mutagen writes 2.3 and 2.4 only
    const std::vector<uint8_t> rest = MakeMp3Bytes(500, MakeBlock(Titled("C")));
    v22.insert(v22.end(), rest.begin(), rest.end());
    WriteBytes(dir / "v2/c.mp3", v22);
    WriteMp3(dir / "v2/d.mp3", 500, MakeBlock(Titled("D")));
    const Rows expected = {{"A", "present", "2.3"},
                           {"", "none", "2.4"},
                           {"C", "present", "2.2"},
                           {"D", "present", ""}};

    const CliResult json = RunCli({"list", "--format", "json", dir / "v2"});
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(ReadJsonWithPython(WriteText(dir / "v2.json", json.out), {"title", "tag", "id3v2"}),
              expected);

    const CliResult csv = RunCli({"list", "--format", "csv", dir / "v2"});
    ASSERT_EQ(csv.status, 0) << csv.err;
    const Rows rows = ReadCsvWithPython(WriteText(dir / "v2.csv", csv.out));
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].back(), "ID3v2");
    for (std::size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(rows[i + 1].size(), kHeader.size() + 1);
        EXPECT_EQ((std::vector<std::string>{rows[i + 1][4], rows[i + 1][10], rows[i + 1][11]}),
                  expected[i]);
    }

    const CliResult tsv = RunCli({"list", dir / "v2"});
    ASSERT_EQ(tsv.status, 0) << tsv.err;
    const std::vector<Record> records = TsvRecords(tsv);
    ASSERT_EQ(records.size(), 5u);
    EXPECT_EQ(records[0], kHeader);
    for (const Record& record : records) EXPECT_EQ(record.size(), kHeader.size());
}

TEST_F(ListTest, FilesStandInTheOrderGivenAndRelativePathsFromTheWorkingDirectory) {
    const CliResult result = RunCli({"list", "sub/x.mp3", "./b.mp3", "../m/A.mp3"}, dir / "m");
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<Record> records = TsvRecords(result);
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[1][9], dir / "m/sub/x.mp3");
    EXPECT_EQ(records[1][0], "sub");
    EXPECT_EQ(records[2][9], dir / "m/b.mp3");
    EXPECT_EQ(records[3][9], dir / "m/A.mp3");
    EXPECT_EQ(records[3][10], "none");
}

TEST_F(ListTest, AMissingPathOrAnotherFileIsNamedAndTheRestListed) {
    const std::string missing = dir / "m/gone.mp3";
    const CliResult result =
        RunCli({"list", missing, dir / "m/b.mp3", dir / "m/notes.txt", dir / "nowhere"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(
        Lines(result.err),
        (std::vector<std::string>{
            "ambrel-cli: " + missing + ": The source file does not exist any more.",
            "ambrel-cli: " + dir / "m/notes.txt" +
                ": The path is not an MP3 file (a file whose extension begins with "
                "\".mp3\").",
            "ambrel-cli: " + dir / "nowhere" + ": The source file does not exist any more."}));
    const std::vector<Record> records = TsvRecords(result);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1][9], dir / "m/b.mp3");
}

TEST_F(ListTest, AFullOutputIsAFailure) {
    // /dev/full takes no byte: what was printed did not arrive, and the status says so.
    const std::string command = std::string(AMBREL_CLI) + " list " + (dir / "m") + " > /dev/full";
    EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), 1);
}

}  // namespace
}  // namespace ambrel::test
