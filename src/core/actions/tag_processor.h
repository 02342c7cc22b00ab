#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "actions/rename_skips.h"
#include "tag/tag_file.h"

namespace ambrel {

class Prompter;
class TBatchHistory;
class TTagList;

// A value the mask takes from a file name, with the code of its field token.
struct NameValue {
    char code;  // the byte after the colon, '\0' for a lone colon
    std::string value;
};

// The batch engine of the action panel's two rename pages: the options of the current run,
// shared by both pages, and the per-file steps that rename a file from its tag or fill its
// tag from its name. Works on the entries of one TTagList by list index.
//
// A window runs a batch as: the Set... options, BeginRun (stop when it reports 0), one
// per-file step per selected row, EndRun. Renames happen on disk at once; tag changes stay
// in memory until the tags are saved.
class TTagProcessor {
public:
    // The caption of the check box under each per-file message box.
    static constexpr const char* kStopMessagesText = "Don't show this again for this run";

    explicit TTagProcessor(TTagList* list, Prompter* prompter = nullptr);
    ~TTagProcessor();
    TTagProcessor(const TTagProcessor&) = delete;
    TTagProcessor& operator=(const TTagProcessor&) = delete;

    // Each run (BeginRun to EndRun) then records what it changed into the history as one
    // batch: the files it renamed, or the tags it changed.
    void SetHistory(TBatchHistory* history) { history_ = history; }

    void SetInWordSeparator(char c) { in_word_separator_ = c; }
    // 1 and stored for a mode in 0..3; 0 and the old mode kept otherwise.
    int SetCaseMode(int mode);
    // 1 and stored for n > 0; 0 and the old count kept otherwise.
    int SetTrackDigits(int n);
    // Stores a copy of the mask and reports 1; none stores none and reports 0. A mask of
    // more than 255 characters is refused: none is stored, 10 is reported, and the per-file
    // steps do nothing until another mask is set (they never fall back to the letter-case
    // variant for it).
    int SetMask(std::optional<std::string_view> mask);
    // Cuts Mask into MaskTokens: field tokens (a colon and the character after it, or a lone
    // colon at the end) and the non-empty literal runs between them. 0 with no mask, else 1.
    int TokenizeMask();

    // Renames the entry's file from its tag by Mask (the letter-case variant when Mask is
    // none or empty). 0 when there is no list, no such entry, no tag or a refused mask;
    // 1 otherwise, whether or not the file could be renamed (a skip is noted for the run).
    int RenameFromTag(int list_index);
    // Changes only the letter case of the entry's file name, keeping its own extension, and
    // shows the new name in a message box. 0 when there is no such entry or it has no tag.
    int RenameCaseOnly(int list_index);
    // Fills the entry's tag fields from its file name by Mask (the letter-case variant when
    // Mask is none or empty), showing each value taken in a message box. An untagged entry
    // becomes tsAppend. 0 when there is no list, no such entry or a refused mask; else 1.
    int TagFromName(int list_index);
    // Changes only the letter case of the entry's title, artist and album. 0 when there is
    // no such entry or it has no tag.
    int TagCaseOnly(int list_index);

    // The file name (with extension) that Mask builds from the entry's tag; none when there
    // is no such entry, it has no tag, or there is no mask.
    std::optional<std::string> NameFromTag(int list_index) const;
    // A copy of the entry's tag as TagFromName would leave it (the setters' cuts, the text
    // conversion and the letter case included), worked out without a message or a change.
    // None when the step would change nothing: no list, no such entry, a refused mask, or
    // an untagged entry for the letter-case variant.
    std::optional<TTagFile> TagAfterFill(int list_index) const;

    // What RenameFromTag would do with an entry, told without doing it.
    struct RenamePlan {
        std::string new_name;               // the file name it would give the file
        std::optional<SkipReason> refused;  // why that name would be refused before trying it
    };
    // The plan of RenameFromTag for the entry, the letter-case variant included; none when
    // RenameFromTag would do nothing (no list, no such entry, no tag, a refused mask).
    // Whether a file of the new name is there is left to the caller: a run changes that.
    std::optional<RenamePlan> PlanRename(int list_index) const;

    // Starts a run: forgets the last run's skipped files and shows the per-file message
    // boxes again. With a refused mask it warns the user and reports 0: the run must not
    // go on. Otherwise 1.
    int BeginRun();
    // Ends a run: when files kept their names, one warning lists them with the reasons.
    // Returns the number of files skipped.
    int EndRun();
    // The files of the current (or last) run that kept their names. A file whose new name is
    // the one it has needs no rename and is not listed.
    const std::vector<RenameSkip>& Skips() const { return skips_; }

    TTagList* TagList() const { return tag_list_; }
    char InWordSeparator() const { return in_word_separator_; }
    int CaseMode() const { return case_mode_; }
    int TrackDigits() const { return track_digits_; }
    const std::optional<std::string>& Mask() const { return mask_; }
    bool MaskRefused() const { return mask_refused_; }
    const std::vector<std::string>& MaskTokens() const { return mask_tokens_; }
    const std::string& SeparatorChars() const { return separator_chars_; }

private:
    struct RunRecord;

    TTagFile* TaggedEntry(int list_index) const;
    std::string BuildName(const TTagFile& entry) const;
    // The stem and extension of the letter-case variant: the name with its case changed and
    // the file's own extension.
    std::pair<std::string, std::string> CaseOnlyName(const TTagFile& entry) const;
    // The new name's stem and extension, by Mask or by the letter-case variant.
    std::pair<std::string, std::string> NewName(const TTagFile& entry) const;
    // Why a new name is refused before any rename is tried; none when it may be tried.
    static std::optional<SkipReason> RefusedName(const std::string& stem,
                                                 const std::string& new_name);
    void RenameEntry(TTagFile& entry, const std::string& stem, const std::string& extension);
    // The values TagFromName takes from a name (without extension) by Mask, in the order of
    // the field tokens, separator characters already replaced.
    std::vector<NameValue> ValuesFromName(std::string_view name) const;
    // Fills the tag from the entry's name by Mask and changes its letter case; on_value sees
    // each value just before it is stored.
    void FillTag(TTagFile& entry, const std::function<void(const std::string&)>& on_value) const;
    void ShowMessage(const std::string& text);
    // Records what the open run changed and closes its record.
    void CommitRun();

    TTagList* tag_list_;
    Prompter* prompter_;
    std::vector<std::string> mask_tokens_;
    char in_word_separator_ = '\0';
    int case_mode_ = 0;
    int track_digits_ = 0;
    std::optional<std::string> mask_;
    bool mask_refused_ = false;
    std::string separator_chars_ = ".-_";
    std::vector<RenameSkip> skips_;
    bool messages_stopped_ = false;
    TBatchHistory* history_ = nullptr;
    // What the open run changed, while a run with a history is open.
    std::unique_ptr<RunRecord> run_record_;
};

}  // namespace ambrel
