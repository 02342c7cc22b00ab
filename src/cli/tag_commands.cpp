// ambrel-cli set and remove: tag fields written, tags cut off.
#include "actions/field_fill.h"
#include "cli/commands.h"
#include "cli/session.h"
#include "files/result_codes.h"
#include "tag/genres.h"
#include "tag/tag_file.h"
#include "viewer/tag_viewer.h"

namespace ambrel::cli {

namespace {

// The text options of set and the field each fills.
struct TextOption {
    std::string_view name;
    std::string_view help;
    std::optional<std::string> ambrel::FieldFill::*field;
};
const TextOption kTextOptions[] = {
    {"--artist", "the artist", &ambrel::FieldFill::artist},
    {"--title", "the song title", &ambrel::FieldFill::title},
    {"--album", "the album", &ambrel::FieldFill::album},
    {"--year", "the year", &ambrel::FieldFill::year},
    {"--comment", "the comment", &ambrel::FieldFill::comment},
};

std::vector<OptionSpec> SetOptions() {
    std::vector<OptionSpec> options;
    for (const TextOption& option : kTextOptions)
        options.push_back({option.name, "", "T", option.help});
    options.push_back({"--track", "", "N", "the track number, 0 to 254"});
    options.push_back({"--genre", "", "NAME|N",
                       "the genre by its name in the genre list (letter case aside) or its "
                       "number 0 to 254; an empty NAME clears it"});
    options.push_back({"--create", "", "", "give a file without a tag a new one"});
    return WithCommonOptions(options);
}

std::optional<int> GenreOption(const Arguments& args, Session& session) {
    const std::optional<std::string> genre = args.Value("--genre");
    if (!genre) return std::nullopt;
    const std::optional<int> number =
        ambrel::genres::NumberOf(session.GetLibrary().TagViewer()->Genres(), *genre);
    if (!number) throw UsageError("unknown genre '" + *genre + "'");
    return number;
}

// Saves an entry; a failed write is reported.
void Save(ambrel::TTagFile& entry, Session& session) {
    if (entry.Save() != 1) session.Fail(entry.GetPath(), ambrel::kTagNotWritten);
}

int RunSet(const Arguments& args, Session& session) {
    ambrel::FieldFill fill;
    for (const TextOption& option : kTextOptions) fill.*option.field = args.Value(option.name);
    const std::optional<int> track = NumberOption(args, "--track", 0, 254);
    fill.genre = GenreOption(args, session);
    const bool create = args.Has("--create");
    const bool any_field =
        fill.artist || fill.title || fill.album || fill.year || fill.comment || track || fill.genre;
    if (!any_field && !create) throw UsageError("nothing to set: name a field to change");
    const std::vector<std::string> paths = Session::Paths(args.Operands(), "file");

    for (const std::string& path : paths) {
        ambrel::TTagFile* entry = session.AddFile(path);
        if (!entry) continue;
        if (entry->GetState() == ambrel::tsNone) {
            if (!create) {
                session.Fail(path, session.MessageText(ambrel::kNoTag) + " --create adds one.");
                continue;
            }
            entry->SetState(ambrel::tsAppend);
        }
        // The setters cut each text to its field; a tag left as it was is not written.
        ambrel::WriteFieldsToTag(*entry, fill, track);
        Save(*entry, session);
    }
    return session.ExitStatus();
}

int RunRemove(const Arguments& args, Session& session) {
    for (const std::string& path : Session::Paths(args.Operands(), "file")) {
        ambrel::TTagFile* entry = session.AddFile(path);
        // A file without a tag is as remove leaves it.
        if (!entry || entry->GetState() != ambrel::tsPresent) continue;
        entry->SetState(ambrel::tsRemove);
        Save(*entry, session);
    }
    return session.ExitStatus();
}

}  // namespace

Command SetCommand() {
    return {"set",
            "change tag fields",
            "FILE...",
            "Changes the named fields of each file's tag and writes it back in place. Texts are\n"
            "stored as Latin-1 (a character without a Latin-1 form becomes '?') and cut to their\n"
            "fields: 30 characters for the artist, title and album, 4 for the year, 29 for\n"
            "the comment. A file without a tag gets one only with --create. A file whose tag\n"
            "would not change is not written at all.\n",
            SetOptions(),
            RunSet};
}

Command RemoveCommand() {
    return {"remove",
            "cut the tags off",
            "FILE...",
            "Cuts the ID3v1 tag off the end of each file, in place; the audio before it is kept\n"
            "byte for byte. A file without a tag is left as it is.\n",
            WithCommonOptions({}),
            RunRemove};
}

}  // namespace ambrel::cli
