// ambrel-cli list: the table's rows of the files the tag viewer would load.
#include <array>

#include "cli/commands.h"
#include "cli/session.h"
#include "export/record_writer.h"
#include "files/file_loader.h"
#include "tag/tag_list.h"
#include "viewer/tag_viewer.h"

namespace ambrel::cli {

namespace {

using Column = ambrel::TTagViewer::Column;

// The table's columns a record holds, in the table's order (the Index is the record's place,
// and an ID3v1 tag never has a picture), then the path and the tag state, and in csv and json
// the ID3v2 version.
constexpr std::array<Column, 9> kTableColumns = {
    Column::kDirectory, Column::kFilename, Column::kTrack, Column::kArtist, Column::kSongTitle,
    Column::kAlbum,     Column::kComment,  Column::kGenre, Column::kYear};
constexpr std::array<std::string_view, 9> kKeys = {
    "directory", "filename", "track", "artist", "title", "album", "comment", "genre", "year"};

std::vector<ambrel::RecordField> Fields(bool id3v2) {
    std::vector<ambrel::RecordField> fields;
    for (std::size_t i = 0; i < kTableColumns.size(); ++i)
        fields.push_back({ambrel::TTagViewer::CaptionOf(kTableColumns[i]), std::string(kKeys[i])});
    fields.push_back({"Path", "path"});
    fields.push_back({"Tag", "tag"});
    if (id3v2) fields.push_back({"ID3v2", "id3v2"});
    return fields;
}

std::string_view StateName(ambrel::TagState state) {
    switch (state) {
        case ambrel::tsPresent:
            return "present";
        case ambrel::tsRemove:
            return "remove";
        case ambrel::tsAppend:
            return "append";
        default:
            return "none";
    }
}

// With id3v2, each record ends with the file's ID3v2 version ("" for none).
void WriteRecords(const ambrel::TTagList& list, ambrel::TTagViewer& viewer, bool id3v2,
                  ambrel::RecordWriter& writer) {
    std::vector<std::string_view> values(kTableColumns.size() + (id3v2 ? 3 : 2));
    for (int i = 0; i < list.Count(); ++i) {
        const ambrel::TTagFile* entry = list.Get(i);
        viewer.BuildRow(entry);
        const auto& cells = viewer.RowTexts();
        for (std::size_t c = 0; c < kTableColumns.size(); ++c) values[c] = cells[kTableColumns[c]];
        values[kTableColumns.size()] = entry->GetPath();
        values[kTableColumns.size() + 1] = StateName(entry->GetState());
        if (id3v2) values[kTableColumns.size() + 2] = entry->Id3v2Version();
        writer.Write(values);
    }
}

int RunList(const Arguments& args, Session& session) {
    ambrel::PathLoadOptions options;
    options.recurse = args.Has("--recurse");
    options.mode = Choice<ambrel::LoadMode>(args, "--mode",
                                            {{"all", ambrel::LoadMode::kAll},
                                             {"tagged", ambrel::LoadMode::kTagged},
                                             {"untagged", ambrel::LoadMode::kUntagged}},
                                            ambrel::LoadMode::kAll);
    using ambrel::RecordFormat;
    const RecordFormat format = Choice<RecordFormat>(
        args, "--format",
        {{"tsv", RecordFormat::kTsv}, {"csv", RecordFormat::kCsv}, {"json", RecordFormat::kJson}},
        RecordFormat::kTsv);
    // The tsv records stay as they always were, so that listing reads no more than the tags.
    options.read_head = format != RecordFormat::kTsv;
    const std::vector<std::string> paths = Session::Paths(args.Operands(), "path");

    ambrel::TTagViewer& viewer = *session.GetLibrary().TagViewer();
    std::vector<ambrel::PathFailure> failures;
    {
        std::FILE* out = session.Out();
        ambrel::RecordWriter writer(
            format, Fields(options.read_head),
            [out](std::string_view block) { std::fwrite(block.data(), 1, block.size(), out); });
        // The records go out as the files load, so a tree of any size is held a chunk at
        // a time.
        failures =
            ambrel::LoadPaths(session.List(), paths, options, [&](const ambrel::TTagList& loaded) {
                WriteRecords(loaded, viewer, options.read_head, writer);
            });
    }
    for (const ambrel::PathFailure& failure : failures) session.Fail(failure.path, failure.code);
    return session.ExitStatus();
}

}  // namespace

Command ListCommand() {
    return {
        "list",
        "print the tags of files, and of the MP3 files in folders",
        "PATH...",
        "Prints one record per file, in the order the tag viewer loads them. A folder is\n"
        "searched as the file viewer's \"Load supported files in current directory\" searches\n"
        "it: names sorted, hidden files taken, and only files whose extension begins with\n"
        "\".mp3\" (in any letter case) are listed. A record holds the table's columns Directory,\n"
        "Filename, Track, Artist, Song title, Album, Comment, Genre and Year, then the full\n"
        "path and the tag state (\"present\" or \"none\"); genres are named by the genre list.\n"
        "csv and json add the version of the file's ID3v2 tag (\"2.2\", \"2.3\" or \"2.4\";\n"
        "empty for none), read from its first 10 bytes; tsv does not read them.\n"
        "\n"
        "Tag text, read in the code page --encoding names, is printed as UTF-8 and file names\n"
        "as the bytes they are (json, which must\n"
        "be UTF-8, reads bytes that are not as Latin-1). tsv writes a tab, a line feed, a\n"
        "carriage return and a backslash in a field as \\t, \\n, \\r and \\\\; csv quotes as\n"
        "RFC 4180 says. tsv and csv begin with a line of captions.\n",
        WithCommonOptions({
            {"--recurse", "-r", "", "search the folders' subfolders too"},
            {"--mode", "", "all|tagged|untagged",
             "all files (the default), only those with a tag, or only those without"},
            {"--format", "", "tsv|csv|json", "the output format (default tsv)"},
        }),
        RunList};
}

}  // namespace ambrel::cli
