#include "actions/id3v2_copy_command.h"

#include <unordered_set>

#include "history/tag_change_batch.h"
#include "library/library.h"
#include "tag/code_page.h"
#include "tag/tag_list.h"
#include "viewer/tag_viewer.h"

namespace ambrel {

std::optional<std::vector<Id3v2CopyRow>> PlanSelectedId3v2Copies(const Library& library) {
    const TTagViewer* tags = library.TagViewer();
    if (tags == nullptr || library.IsBusy()) return std::nullopt;
    std::vector<TTagFile*> entries;
    for (const int row : tags->SelectedRows()) {
        if (TTagFile* entry = tags->EntryAt(row)) entries.push_back(entry);
    }
    if (entries.empty()) return std::nullopt;
    return PlanId3v2Copies(entries, CodePageConverter::Current(), tags->Genres());
}

Id3v2CopyCount CountId3v2Copies(const std::vector<Id3v2CopyRow>& rows) {
    Id3v2CopyCount count;
    for (const Id3v2CopyRow& row : rows) {
        if (!row.plan.Changes()) continue;
        count.fields += row.plan.changes.size();
        ++count.files;
    }
    return count;
}

int ApplyId3v2Copies(Library& library, const std::vector<Id3v2CopyRow>& rows) {
    TTagViewer* tags = library.TagViewer();
    if (tags == nullptr || library.IsBusy()) return -1;
    // The plans were made before the preview was shown: an entry is changed only while it
    // is still the list's.
    std::unordered_set<const TTagFile*> listed;
    const TTagList& list = *library.TagList();
    for (int position = 0; position < list.Count(); ++position) listed.insert(list.Get(position));
    std::unordered_set<const TTagFile*> changed;
    {
        TagChangeRecorder record(&library.History(), "ID3v2 copy");
        for (const Id3v2CopyRow& row : rows) {
            if (row.entry == nullptr || !row.plan.Changes()) continue;
            if (listed.count(row.entry) == 0) continue;
            record.Note(*row.entry);
            if (ApplyId3v2Copy(*row.entry, row.plan)) changed.insert(row.entry);
        }
    }
    // A copied value may take a row into the filter or out of it.
    if (!changed.empty()) tags->FollowEntries(changed);
    return static_cast<int>(changed.size());
}

}  // namespace ambrel
