// ambrel-cli from-v2: ID3v1 fields filled from the files' ID3v2 tags, which are only read.
#include "actions/id3v2_copy.h"
#include "cli/commands.h"
#include "cli/session.h"
#include "files/file_loader.h"
#include "files/result_codes.h"
#include "tag/tag_file.h"
#include "tag/tag_list.h"
#include "tag/text_helpers.h"
#include "viewer/tag_viewer.h"

namespace ambrel::cli {

namespace {

// "new tag; title, artist, year": what a plan changes, as the line of its file says it.
std::string ChangedFields(const ambrel::Id3v2CopyPlan& plan) {
    std::string text = plan.makes_tag ? "new tag; " : "";
    for (std::size_t i = 0; i < plan.changes.size(); ++i) {
        if (i > 0) text += ", ";
        text += ambrel::AsciiLowerCase(ambrel::Id3v1FieldName(plan.changes[i].field));
    }
    return text;
}

// Reports a row, applies its plan to its entry and writes it, unless dry_run; a file is
// listed as changed only once its tag is written.
class Copier {
public:
    Copier(Session& session, bool dry_run) : session_(session), dry_run_(dry_run) {}

    void Run(const ambrel::Id3v2CopyRow& row) {
        const std::string& path = row.entry->GetPath();
        if (!row.problem.empty()) {
            // A file that holds no usable ID3v2 tag is left as it is; one that cannot be read
            // at all did not go through.
            if (row.problem == ambrel::kId3v2Unreadable)
                session_.Fail(path, row.problem);
            else
                session_.Warn(path, "skipped (" + row.problem + ")");
            return;
        }
        for (const std::string& warning : ambrel::Id3v2CopyWarnings(row.plan))
            session_.Warn(path, warning);
        if (!row.plan.Changes()) return;
        if (!dry_run_) {
            ambrel::ApplyId3v2Copy(*row.entry, row.plan);
            if (row.entry->Save() != 1) {
                session_.Fail(path, ambrel::kTagNotWritten);
                return;
            }
        }
        std::fprintf(session_.Out(), "%s: %s\n", path.c_str(), ChangedFields(row.plan).c_str());
    }

private:
    Session& session_;
    const bool dry_run_;
};

int RunFromV2(const Arguments& args, Session& session) {
    ambrel::PathLoadOptions options;
    options.recurse = args.Has("--recurse");
    const bool dry_run = args.Has("--dry-run");
    const std::vector<std::string> paths = Session::Paths(args.Operands(), "path");

    const std::vector<std::string>& genres = session.GetLibrary().TagViewer()->Genres();
    const ambrel::CodePageConverter converter = ambrel::CodePageConverter::Current();
    Copier copier(session, dry_run);
    // The files are planned and written a chunk at a time as they load, so a tree of any size
    // is held a chunk at a time.
    const std::vector<ambrel::PathFailure> failures =
        ambrel::LoadPaths(session.List(), paths, options, [&](const ambrel::TTagList& loaded) {
            std::vector<ambrel::TTagFile*> entries;
            entries.reserve(static_cast<std::size_t>(loaded.Count()));
            for (int i = 0; i < loaded.Count(); ++i) entries.push_back(loaded.Get(i));
            for (const ambrel::Id3v2CopyRow& row :
                 ambrel::PlanId3v2Copies(entries, converter, genres))
                copier.Run(row);
        });
    for (const ambrel::PathFailure& failure : failures) session.Fail(failure.path, failure.code);
    return session.ExitStatus();
}

}  // namespace

Command FromV2Command() {
    return {
        "from-v2",
        "fill the ID3v1 tags from the files' ID3v2 tags",
        "PATH...",
        "Copies the values of each file's ID3v2 tag (2.2, 2.3 or 2.4) into its ID3v1 tag and\n"
        "writes that back in place; a file without an ID3v1 tag gets one appended. The ID3v2\n"
        "tag itself is only read, and every byte before the ID3v1 block stays as it was. A\n"
        "folder is searched for its MP3 files (\".mp3\" in any letter case) as list searches\n"
        "it; with -r its subfolders too.\n"
        "\n"
        "TIT2 gives the title, TPE1 the artist, TALB the album, COMM the comment (the first\n"
        "without a description, else the first), TDRC or TYER the year (its first four\n"
        "digits), TRCK the track (the number before a '/', 1 to 254) and TCON the genre (a\n"
        "name in the genre list, letter case aside, or a \"(N)\" reference). A field whose\n"
        "frame is missing or holds nothing it can take keeps its value; so does the genre when\n"
        "the text names no genre.\n"
        "\n"
        "Texts are written in the code page --encoding names, Latin-1 by default: a character\n"
        "the page lacks is transliterated where it can be, else written as '?', and a text is\n"
        "cut to its field (30 bytes for the title, artist and album, 28 for a comment beside a\n"
        "track) between two characters.\n"
        "\n"
        "Prints \"PATH: FIELD, ...\" for every file whose tag changes, and on standard error a\n"
        "warning for every value that was cut, lost characters or named no genre, and\n"
        "\"skipped\" with the reason for a file without a usable ID3v2 tag, which is no\n"
        "failure. A file whose tag would not change is not written.\n",
        WithCommonOptions({
            {"--recurse", "-r", "", "search the folders' subfolders too"},
            {"--dry-run", "", "", "print what would change and write nothing"},
        }),
        RunFromV2};
}

}  // namespace ambrel::cli
