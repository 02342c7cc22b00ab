#include "actions/tag_processor.h"

#include <algorithm>
#include <climits>

#include "actions/templates.h"
#include "history/batch_history.h"
#include "history/rename_batch.h"
#include "history/tag_change_batch.h"
#include "platform/paths.h"
#include "platform/prompter.h"
#include "tag/tag_list.h"
#include "tag/text_helpers.h"

namespace ambrel {

namespace {

// A new name is built in room for 1023 bytes before its extension; a file name itself may
// hold 255 bytes (NAME_MAX), so a longer one is refused rather than cut.
constexpr std::size_t kNameRoom = 1023;
constexpr std::size_t kMaxFileNameBytes = 255;

bool IsFieldToken(const std::string& token) { return !token.empty() && token[0] == ':'; }

// The length of the field code at the colon mask[colon]: the colon and the whole character
// after it (a letter of several bytes stays in one code), or the colon alone at the end.
std::size_t FieldCodeLength(std::string_view mask, std::size_t colon) {
    return colon + 1 < mask.size() ? 1 + Utf8CharLength(mask, colon + 1) : 1;
}

// The code of a field token: the byte after its colon, or none for a lone colon.
char CodeOf(std::string_view field_token) { return field_token.size() > 1 ? field_token[1] : '\0'; }

// The extension a renamed file gets by its tag kind.
std::string ExtensionForKind(TagKind kind) {
    if (kind == TagKind::kId3v1 || kind == TagKind::kOtherMp3) return ".mp3";
    if (kind == TagKind::kOgg) return ".ogg";
    return {};
}

// The text of a tag field for a mask code; nothing for a code that names no field.
std::string FieldText(const TTagFile& entry, char code, int track_digits) {
    switch (code) {
        case 'a':
            return entry.GetArtist();
        case 's':
            return entry.GetTitle();
        case 'b':
            return entry.GetAlbum();
        case 'y':
            return entry.GetYear();
        case 't':
            return ZeroPadNumber(entry.GetTrack(), track_digits);
        default:
            return {};
    }
}

// A number read the way a track is read from a name: leading white space, one sign, then
// digits up to the first other character; no digits give 0. Far too large numbers are
// held at a value the track setter refuses.
int LeadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && IsAsciiDigit(static_cast<unsigned char>(text[i])); ++i) {
        if (value < INT_MAX) value = value * 10 + (text[i] - '0');
    }
    if (value > INT_MAX) value = INT_MAX;
    return static_cast<int>(negative ? -value : value);
}

// How many bytes of the name at pos repeat the literal, counted in whole characters.
std::size_t MatchedLength(std::string_view name, std::size_t pos, std::string_view literal) {
    std::size_t n = 0;
    while (n < literal.size() && pos + n < name.size() && name[pos + n] == literal[n]) ++n;
    // A difference inside a character gives that character back to the name.
    while (n > 0 && pos + n < name.size() && IsUtf8Continuation(name[pos + n])) --n;
    return n;
}

void StoreField(TTagFile& entry, char code, const std::string& value) {
    switch (code) {
        case 'a':
            entry.SetArtist(value);
            break;
        case 's':
            entry.SetTitle(value);
            break;
        case 'b':
            entry.SetAlbum(value);
            break;
        case 'y':
            entry.SetYear(value);
            break;
        case 't':
            entry.SetTrack(LeadingNumber(value));
            break;
        default:
            break;  // a code that names no field consumes its part of the name only
    }
}

// The mask's field tokens (a colon and the character after it, or a lone colon at the end)
// and the non-empty literal runs between them.
std::vector<std::string> Tokenize(const std::string& mask) {
    std::vector<std::string> tokens;
    std::string literal;
    for (std::size_t i = 0; i < mask.size();) {
        if (mask[i] != ':') {
            literal += mask[i++];
            continue;
        }
        if (!literal.empty()) tokens.push_back(std::move(literal));
        literal.clear();
        const std::size_t length = FieldCodeLength(mask, i);
        tokens.push_back(mask.substr(i, length));
        i += length;
    }
    if (!literal.empty()) tokens.push_back(std::move(literal));
    return tokens;
}

}  // namespace

// The open run's changes: the files it renamed and the tags it changed.
struct TTagProcessor::RunRecord {
    RunRecord(TBatchHistory* history)
        : renames(std::make_unique<RenameBatch>(RenameBatch::Kind::kFiles)),
          tags(history, "tag rename") {}
    std::unique_ptr<RenameBatch> renames;
    TagChangeRecorder tags;
};

TTagProcessor::TTagProcessor(TTagList* list, Prompter* prompter)
    : tag_list_(list), prompter_(prompter) {}

TTagProcessor::~TTagProcessor() = default;

int TTagProcessor::SetCaseMode(int mode) {
    if (mode < 0 || mode > 3) return 0;
    case_mode_ = mode;
    return 1;
}

int TTagProcessor::SetTrackDigits(int n) {
    if (n <= 0) return 0;
    track_digits_ = n;
    return 1;
}

int TTagProcessor::SetMask(std::optional<std::string_view> mask) {
    mask_.reset();
    mask_refused_ = false;
    if (!mask) return 0;
    if (CountUtf8Chars(*mask) > kMaxMaskLength) {
        mask_refused_ = true;
        return 10;
    }
    mask_ = std::string(*mask);
    return 1;
}

int TTagProcessor::TokenizeMask() {
    mask_tokens_.clear();
    if (!mask_) return 0;
    mask_tokens_ = Tokenize(*mask_);
    return 1;
}

TTagFile* TTagProcessor::TaggedEntry(int list_index) const {
    if (!tag_list_) return nullptr;
    TTagFile* entry = tag_list_->Get(list_index);
    return entry && entry->GetState() != tsNone ? entry : nullptr;
}

std::string TTagProcessor::BuildName(const TTagFile& entry) const {
    const std::string& mask = *mask_;
    std::string name;
    for (std::size_t i = 0; i < mask.size();) {
        if (mask[i] != ':') {
            const std::size_t next = std::min(mask.find(':', i), mask.size());
            name.append(mask, i, next - i);
            i = next;
            continue;
        }
        const std::size_t length = FieldCodeLength(mask, i);
        std::string value =
            FieldText(entry, CodeOf(std::string_view(mask).substr(i, length)), track_digits_);
        i += length;
        // A blank value adds nothing; in a used one, punctuation (a "/" among it) becomes
        // the in-word character while spaces stay.
        if (!HasVisibleUtf8Char(value)) continue;
        name += ReplacePunctuation(value, in_word_separator_);
        if (name.size() > kNameRoom) break;
    }
    CutBeforeContinuation(name, kNameRoom);
    return ChangeCase(name, case_mode_);
}

std::optional<std::string> TTagProcessor::NameFromTag(int list_index) const {
    const TTagFile* entry = TaggedEntry(list_index);
    if (!entry || !mask_ || mask_->empty()) return std::nullopt;
    return BuildName(*entry) + ExtensionForKind(entry->GetKind());
}

std::optional<SkipReason> TTagProcessor::RefusedName(const std::string& stem,
                                                     const std::string& new_name) {
    if (stem.empty()) return SkipReason::kNameEmpty;
    if (new_name.size() > kMaxFileNameBytes) return SkipReason::kNameTooLong;
    if (!paths::IsPlainFileName(new_name)) return SkipReason::kNameNotAllowed;
    return std::nullopt;
}

void TTagProcessor::RenameEntry(TTagFile& entry, const std::string& stem,
                                const std::string& extension) {
    const std::string new_name = stem + extension;
    if (new_name == entry.GetFileName()) return;  // nothing to do
    RenameSkip skip{entry.GetPath(), new_name, SkipReason::kNameNotAllowed, 0};
    if (const std::optional<SkipReason> refused = RefusedName(stem, new_name)) {
        skip.reason = *refused;
    } else if (entry.Rename(new_name, &skip.error) == 1) {
        if (run_record_) run_record_->renames->Add(entry.Serial(), skip.path, entry.GetPath());
        return;
    } else {
        skip.reason = SkipReasonForError(skip.error);
    }
    skips_.push_back(std::move(skip));
}

std::pair<std::string, std::string> TTagProcessor::CaseOnlyName(const TTagFile& entry) const {
    std::string stem = entry.GetName();
    ChangeCase(stem, case_mode_);
    return {std::move(stem), paths::ExtensionOf(entry.GetPath())};
}

std::pair<std::string, std::string> TTagProcessor::NewName(const TTagFile& entry) const {
    if (!mask_ || mask_->empty()) return CaseOnlyName(entry);
    return {BuildName(entry), ExtensionForKind(entry.GetKind())};
}

std::optional<TTagProcessor::RenamePlan> TTagProcessor::PlanRename(int list_index) const {
    if (!tag_list_ || mask_refused_) return std::nullopt;
    const TTagFile* entry = TaggedEntry(list_index);
    if (!entry) return std::nullopt;
    const auto [stem, extension] = NewName(*entry);
    RenamePlan plan{stem + extension, std::nullopt};
    if (plan.new_name != entry->GetFileName()) plan.refused = RefusedName(stem, plan.new_name);
    return plan;
}

int TTagProcessor::RenameFromTag(int list_index) {
    if (!tag_list_ || mask_refused_) return 0;
    if (!mask_ || mask_->empty()) return RenameCaseOnly(list_index);
    TTagFile* entry = TaggedEntry(list_index);
    if (!entry) return 0;
    const auto [stem, extension] = NewName(*entry);
    RenameEntry(*entry, stem, extension);
    return 1;
}

int TTagProcessor::RenameCaseOnly(int list_index) {
    TTagFile* entry = TaggedEntry(list_index);
    if (!entry) return 0;
    const auto [stem, extension] = CaseOnlyName(*entry);
    RenameEntry(*entry, stem, extension);
    ShowMessage(stem + extension);
    return 1;
}

std::vector<NameValue> TTagProcessor::ValuesFromName(std::string_view name) const {
    std::vector<NameValue> values;
    if (!mask_) return values;
    const std::vector<std::string> tokens = Tokenize(*mask_);
    std::size_t pos = 0;
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        const std::string& token = tokens[k];
        if (!IsFieldToken(token)) {
            pos += MatchedLength(name, pos, token);
            continue;
        }
        // The value runs up to the next token's text, or to the end of the name when this
        // is the last token; a next token that does not occur leaves the value empty.
        std::size_t end = name.size();
        if (k + 1 < tokens.size()) {
            const std::size_t found = name.find(tokens[k + 1], pos);
            end = found == std::string::npos ? pos : found;
        }
        std::string value(name.substr(pos, end - pos));
        pos = end;
        ReplaceAnyOf(value, separator_chars_, in_word_separator_);
        values.push_back({CodeOf(token), std::move(value)});
    }
    return values;
}

void TTagProcessor::FillTag(TTagFile& entry,
                            const std::function<void(const std::string&)>& on_value) const {
    if (entry.GetState() == tsNone) entry.SetState(tsAppend);
    for (const NameValue& value : ValuesFromName(entry.GetName())) {
        if (on_value) on_value(value.value);
        StoreField(entry, value.code, value.value);
    }
    entry.ChangeCase(case_mode_);
}

int TTagProcessor::TagFromName(int list_index) {
    if (!tag_list_ || mask_refused_) return 0;
    if (!mask_ || mask_->empty()) return TagCaseOnly(list_index);
    TTagFile* entry = tag_list_->Get(list_index);
    if (!entry) return 0;
    if (run_record_) run_record_->tags.Note(*entry);
    TokenizeMask();
    FillTag(*entry, [this](const std::string& value) { ShowMessage(value); });
    return 1;
}

int TTagProcessor::TagCaseOnly(int list_index) {
    TTagFile* entry = TaggedEntry(list_index);
    if (!entry) return 0;
    if (run_record_) run_record_->tags.Note(*entry);
    entry->ChangeCase(case_mode_);
    return 1;
}

std::optional<TTagFile> TTagProcessor::TagAfterFill(int list_index) const {
    if (!tag_list_ || mask_refused_) return std::nullopt;
    const bool case_only = !mask_ || mask_->empty();
    const TTagFile* entry = case_only ? TaggedEntry(list_index) : tag_list_->Get(list_index);
    if (!entry) return std::nullopt;
    TTagFile copy = *entry;
    if (case_only) {
        copy.ChangeCase(case_mode_);
    } else {
        FillTag(copy, {});
    }
    return copy;
}

void TTagProcessor::ShowMessage(const std::string& text) {
    if (!prompter_ || messages_stopped_) return;
    messages_stopped_ = prompter_->MessageWithCheckBox(text, kStopMessagesText);
}

int TTagProcessor::BeginRun() {
    CommitRun();
    skips_.clear();
    messages_stopped_ = false;
    if (!mask_refused_) {
        if (history_) run_record_ = std::make_unique<RunRecord>(history_);
        return 1;
    }
    if (prompter_) {
        prompter_->Warning("User mask", "The user mask is longer than " +
                                            std::to_string(kMaxMaskLength) +
                                            " characters. Nothing was changed.");
    }
    return 0;
}

void TTagProcessor::CommitRun() {
    if (!run_record_) return;
    if (!run_record_->renames->Empty()) history_->Record(std::move(run_record_->renames));
    run_record_->tags.Commit();
    run_record_.reset();
}

int TTagProcessor::EndRun() {
    CommitRun();
    if (!skips_.empty() && prompter_) {
        prompter_->Warning(kSkipWarningCaption, SkipWarningText(skips_));
    }
    return static_cast<int>(skips_.size());
}

}  // namespace ambrel
