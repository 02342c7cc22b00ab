#include "history/rename_batch.h"

#include "tag/tag_list.h"

namespace ambrel {

void RenameBatch::Add(uint64_t serial, std::string from, std::string to) {
    std::optional<paths::FileIdentity> identity = paths::IdentityOf(to);
    items_.push_back({serial, std::move(from), std::move(to), identity});
}

std::string RenameBatch::Describe() const {
    if (kind_ == Kind::kFolder && items_.size() == 1) {
        return "rename of folder " + paths::FileNameOf(items_.front().from) + " to " +
               paths::FileNameOf(items_.front().to);
    }
    return "rename of " + CountOf(items_.size(), "file", "files");
}

bool RenameBatch::Move(Item& item, TTagList& list, const EntryIndex& index, BatchOutcome& outcome,
                       RenameSkip* kept) const {
    const std::string& source = item.done ? item.to : item.from;
    const std::string& target = item.done ? item.from : item.to;
    *kept = {source, paths::FileNameOf(target), SkipReason::kFileGone, 0};
    const std::optional<paths::FileIdentity> now = paths::IdentityOf(source);
    if (!now) return false;
    if (!item.identity || *now != *item.identity) {
        kept->reason = item.identity && now->SameInode(*item.identity) ? SkipReason::kFileChanged
                                                                       : SkipReason::kFileReplaced;
        return false;
    }
    kept->error = paths::RenameNoReplace(source, target);
    if (kept->error != 0) {
        kept->reason = SkipReasonForError(kept->error);
        return false;
    }
    item.done = !item.done;
    if (kind_ == Kind::kFolder) {
        for (TTagFile* entry : list.FollowFolder(source, target)) outcome.touched.insert(entry);
    } else if (TTagFile* entry = index.Find(item.serial); entry && entry->GetPath() == source) {
        entry->SetPath(target);
        outcome.touched.insert(entry);
    }
    return true;
}

void RenameBatch::Follow(const RewriteMap& rewrites) {
    for (Item& item : items_)
        if (item.identity) item.identity = rewrites.Now(*item.identity);
}

void RenameBatch::Undo(TTagList& list, BatchOutcome& outcome) { MoveAll(true, list, outcome); }

void RenameBatch::Redo(TTagList& list, BatchOutcome& outcome) { MoveAll(false, list, outcome); }

// Back, the latest rename goes first, so a name one file gave up and another took is free
// again when the first wants it back; forward, the run's own order.
void RenameBatch::MoveAll(bool back, TTagList& list, BatchOutcome& outcome) {
    const EntryIndex index(list);
    std::vector<RenameSkip> skips;
    const std::size_t count = items_.size();
    for (std::size_t k = 0; k < count; ++k) {
        Item& item = items_[back ? count - 1 - k : k];
        if (item.done != back) continue;
        RenameSkip kept{};
        if (!Move(item, list, index, outcome, &kept)) skips.push_back(std::move(kept));
    }
    if (skips.empty()) return;
    outcome.warning_caption = kSkipWarningCaption;
    outcome.warning_text = SkipWarningText(skips);
}

}  // namespace ambrel
