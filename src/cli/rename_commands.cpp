// ambrel-cli rename and fromname: the action panel's two rename engines.
#include "actions/rename_preview.h"
#include "actions/rename_skips.h"
#include "actions/tag_processor.h"
#include "actions/templates.h"
#include "cli/commands.h"
#include "cli/session.h"
#include "files/result_codes.h"
#include "platform/paths.h"
#include "tag/tag_file.h"
#include "tag/tag_list.h"

namespace ambrel::cli {

namespace {

constexpr std::string_view kArrow = " \xE2\x86\x92 ";  // " → "

// The action panel's defaults: the first item of each separator box, no letter case change,
// two track digits.
constexpr int kDefaultTrackDigits = 2;

void SetMask(ambrel::TTagProcessor& processor, const Arguments& args) {
    if (processor.SetMask(*args.Value("--mask")) == 10) {
        throw UsageError("the mask is longer than " + std::to_string(ambrel::kMaxMaskLength) +
                         " characters");
    }
}

char InWordOption(const Arguments& args) {
    const std::optional<std::string> value = args.Value("--in-word");
    if (!value) return ambrel::SeparatorChar(0);
    const auto c = static_cast<unsigned char>(value->empty() ? 0 : (*value)[0]);
    if (value->size() != 1 || c == 0 || c > 127) {
        throw UsageError("invalid value '" + *value + "' for --in-word: one ASCII character");
    }
    return static_cast<char>(c);
}

// The text a skipped rename is reported with: the error table's, where a code says it.
std::string SkipText(const ambrel::RenameSkip& skip, Session& session) {
    std::string text = "not renamed to \"" + skip.new_name + "\": ";
    switch (skip.reason) {
        case ambrel::SkipReason::kNameExists:
            return text + session.MessageText(ambrel::kDestinationExists);
        case ambrel::SkipReason::kFileGone:
            return text + session.MessageText(ambrel::kSourceMissing);
        default:
            return text + ambrel::SkipReasonText(skip);
    }
}

void PrintMove(Session& session, const std::string& from, const std::string& to) {
    std::fprintf(session.Out(), "%s%s%s\n", from.c_str(), kArrow.data(), to.c_str());
}

// The dry run: what a run would do, told file by file as it would go, with the names the
// files before took or gave up.
class RenamePreview {
public:
    explicit RenamePreview(Session& session) : session_(session) {}

    void Show(const ambrel::TTagProcessor& processor, int index, const std::string& path) {
        const std::optional<ambrel::TTagProcessor::RenamePlan> plan = processor.PlanRename(index);
        if (!plan) return;
        const std::string target =
            ambrel::paths::Join(ambrel::paths::DirectoryOf(path), plan->new_name);
        if (target == path) return;
        ambrel::RenameSkip skip{path, plan->new_name, ambrel::SkipReason::kNameExists};
        if (plan->refused) {
            skip.reason = *plan->refused;
        } else if (const ambrel::PreviewVerdict verdict = rehearsal_.Rename(path, target);
                   verdict == ambrel::PreviewVerdict::kApplies) {
            PrintMove(session_, path, target);
            return;
        } else if (verdict == ambrel::PreviewVerdict::kFileGone) {
            skip.reason = ambrel::SkipReason::kFileGone;
        }
        session_.Fail(path, SkipText(skip, session_));
    }

private:
    Session& session_;
    ambrel::RenameRehearsal rehearsal_;
};

int RunRename(const Arguments& args, Session& session) {
    ambrel::TTagProcessor& processor = *session.GetLibrary().TagProcessor();
    processor.SetInWordSeparator(InWordOption(args));
    processor.SetCaseMode(
        Choice<int>(args, "--case", {{"none", 0}, {"upper", 1}, {"lower", 2}, {"words", 3}}, 0));
    // A count of 0 is the processor's own start: no padding.
    const int digits = NumberOption(args, "--track-digits", 0, 100).value_or(kDefaultTrackDigits);
    if (digits > 0) processor.SetTrackDigits(digits);
    SetMask(processor, args);
    const bool dry_run = args.Has("--dry-run");
    const std::vector<std::string> paths = Session::Paths(args.Operands(), "file");

    processor.BeginRun();
    RenamePreview preview(session);
    for (const std::string& path : paths) {
        ambrel::TTagFile* entry = session.AddFile(path);
        if (!entry) continue;
        if (entry->GetState() == ambrel::tsNone) {
            session.Fail(path, ambrel::kNoTag);
            continue;
        }
        const int index = session.List().Count() - 1;
        if (dry_run) {
            preview.Show(processor, index, path);
            continue;
        }
        const std::size_t skipped = processor.Skips().size();
        processor.RenameFromTag(index);
        if (processor.Skips().size() > skipped) {
            session.Fail(path, SkipText(processor.Skips().back(), session));
        } else if (entry->GetPath() != path) {
            PrintMove(session, path, entry->GetPath());
        }
    }
    return session.ExitStatus();
}

// The fields the tag fill writes, as a change is printed.
struct FilledFields {
    ambrel::TagState state;
    std::string artist, title, album, year, track;

    static FilledFields Of(const ambrel::TTagFile& entry) {
        return {entry.GetState(), entry.GetArtist(), entry.GetTitle(),
                entry.GetAlbum(), entry.GetYear(),   std::to_string(entry.GetTrack())};
    }
};

// "new tag; artist "" → "Queen", title "A" → "B"": what changed; empty when nothing did.
std::string Changes(const FilledFields& before, const FilledFields& after) {
    std::string text = before.state == ambrel::tsNone ? "new tag" : "";
    const std::pair<const char*, std::string FilledFields::*> fields[] = {
        {"artist", &FilledFields::artist},
        {"title", &FilledFields::title},
        {"album", &FilledFields::album},
        {"year", &FilledFields::year},
        {"track", &FilledFields::track}};
    for (const auto& [name, field] : fields) {
        if (before.*field == after.*field) continue;
        text += text.empty() ? "" : "; ";
        text += std::string(name) + " \"" + before.*field + "\"" + std::string(kArrow) + "\"" +
                after.*field + "\"";
    }
    return text;
}

int RunFromName(const Arguments& args, Session& session) {
    ambrel::TTagProcessor& processor = *session.GetLibrary().TagProcessor();
    processor.SetInWordSeparator(ambrel::SeparatorChar(0));
    processor.SetCaseMode(0);
    SetMask(processor, args);
    const bool dry_run = args.Has("--dry-run");
    const std::vector<std::string> paths = Session::Paths(args.Operands(), "file");

    processor.BeginRun();
    for (const std::string& path : paths) {
        ambrel::TTagFile* entry = session.AddFile(path);
        if (!entry) continue;
        const FilledFields before = FilledFields::Of(*entry);
        processor.TagFromName(session.List().Count() - 1);
        const std::string changes = Changes(before, FilledFields::Of(*entry));
        if (!changes.empty())
            std::fprintf(session.Out(), "%s: %s\n", path.c_str(), changes.c_str());
        if (!dry_run && entry->Save() != 1) session.Fail(path, ambrel::kTagNotWritten);
    }
    return session.ExitStatus();
}

}  // namespace

Command RenameCommand() {
    return {
        "rename",
        "rename files from their tags",
        "FILE...",
        "Renames each file within its folder to the name the mask builds from its tag, as\n"
        "the action panel's \"Rename selected files\" does, and prints OLD \xE2\x86\x92 NEW. In "
        "the\n"
        "mask \":a\" stands for the artist, \":s\" the song title, \":b\" the album, \":t\" the\n"
        "track and \":y\" the year; every other character stands for itself. Punctuation in a\n"
        "tag's text becomes the in-word character, a field with nothing visible adds nothing,\n"
        "and \".mp3\" is appended. An empty mask changes only the letter case of the names.\n"
        "An existing file is never replaced: such a file keeps its name and is reported.\n",
        WithCommonOptions({
            {"--mask", "", "MASK", "the mask of the new names, e.g. ':t - :a - :s'", true},
            {"--track-digits", "", "N",
             "the least number of digits of a track number (default 2; 0: no padding)"},
            {"--case", "", "none|upper|lower|words",
             "the letter case of the new names (default none)"},
            {"--in-word", "", "CHAR",
             "the character that stands for punctuation in a tag's text (default a space)"},
            {"--dry-run", "", "", "print OLD \xE2\x86\x92 NEW and change nothing"},
        }),
        RunRename};
}

Command FromNameCommand() {
    return {"fromname",
            "fill tag fields from file names",
            "FILE...",
            "Cuts each file's name (without its extension) along the literal text of the mask and\n"
            "stores each piece in the field the mask names there, as the action panel's \"Rename\n"
            "selected tags\" does, then writes the tag; a file without a tag gets one. The mask\n"
            "language is rename's; the characters \".\", \"-\" and \"_\" inside a piece become\n"
            "spaces, and texts are cut to their fields. Prints each file's changed fields; a file\n"
            "whose tag would not change is not written.\n",
            WithCommonOptions({
                {"--mask", "", "MASK", "how the names are made, e.g. ':t - :a - :s'", true},
                {"--dry-run", "", "", "print the changes and write nothing"},
            }),
            RunFromName};
}

}  // namespace ambrel::cli
