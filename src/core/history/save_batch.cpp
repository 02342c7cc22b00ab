#include "history/save_batch.h"

#include <algorithm>
#include <memory>

#include "history/batch_history.h"
#include "platform/file_io.h"

namespace ambrel {

namespace {

constexpr long long kBlockLength = static_cast<long long>(id3v1::kBlockSize);

std::optional<FileEnd> ReadEnd(const file_io::File& file) {
    if (!file.IsOpen()) return std::nullopt;
    FileEnd end;
    end.size = file.Size();
    end.tail.resize(static_cast<std::size_t>(std::min(end.size, kBlockLength)));
    if (!file.ReadAt(end.size - static_cast<long long>(end.tail.size()), end.tail.data(),
                     end.tail.size())) {
        return std::nullopt;
    }
    return end;
}

// Turns the file's end from `now` into `wanted`, the two ends of one save, but only while
// the file still ends as `now` says: checked under the same open that writes. The old
// block goes back over the tag, a cut tag is appended again, an appended one cut again.
bool TurnFileEnd(const std::string& path, const FileEnd& now, const FileEnd& wanted) {
    file_io::File file(path, file_io::File::kReadWrite);
    const std::optional<FileEnd> actual = ReadEnd(file);
    if (!actual || *actual != now) return false;
    const std::size_t block = id3v1::kBlockSize;
    if (wanted.size == now.size && now.tail.size() == block && wanted.tail.size() == block)
        return file.Overwrite(now.size - kBlockLength, wanted.tail.data(), now.tail.data(), block);
    if (wanted.size == now.size + kBlockLength && wanted.tail.size() == block)
        return file.Append(wanted.tail.data(), block);
    if (wanted.size + kBlockLength == now.size) return file.Truncate(wanted.size);
    return false;
}

}  // namespace

std::optional<FileEnd> ReadFileEnd(const std::string& path) {
    return ReadEnd(file_io::File(path, file_io::File::kRead));
}

std::string SaveBatch::Describe() const {
    return "save of " + CountOf(items_.size(), "tag", "tags");
}

void SaveBatch::Undo(TTagList& list, BatchOutcome& outcome) { TurnAll(true, list, outcome); }

void SaveBatch::Redo(TTagList& list, BatchOutcome& outcome) { TurnAll(false, list, outcome); }

// The file is found through its entry, which follows it through renames and moves: an entry
// that left the list (its file deleted) leaves its file alone.
void SaveBatch::TurnAll(bool back, TTagList& list, BatchOutcome& outcome) {
    const EntryIndex index(list);
    std::vector<std::string> left;
    for (Item& item : items_) {
        if (item.done != back) continue;
        TTagFile* entry = index.Find(item.serial);
        if (item.end_before) {
            const FileEnd& now = back ? *item.end_after : *item.end_before;
            const FileEnd& wanted = back ? *item.end_before : *item.end_after;
            if (entry == nullptr || !TurnFileEnd(entry->GetPath(), now, wanted)) {
                left.push_back(entry ? entry->GetPath() : item.path);
                continue;
            }
            outcome.written.push_back(entry->GetPath());
        }
        item.done = !back;
        if (entry) {
            entry->RestoreSaved(back ? item.before : item.after);
            outcome.touched.insert(entry);
        }
    }
    if (left.empty()) return;
    outcome.warning_caption = back ? "Tags not put back" : "Tags not saved again";
    outcome.warning_text = CountOf(left.size(), "file has", "files have") +
                           " changed or gone since the save and " +
                           (left.size() == 1 ? "was" : "were") + " left as " +
                           (left.size() == 1 ? "it is:" : "they are:");
    for (const std::string& path : left) outcome.warning_text += "\n" + path;
}

void SaveRecorder::BeforeSave(const TTagFile& entry, const TagSnapshot& before) {
    if (!history_) return;
    pending_ = SaveBatch::Item{entry.Serial(), entry.GetPath(), before, {}, {}, {}};
    if (entry.SaveMayWrite()) pending_->end_before = ReadFileEnd(entry.GetPath());
}

void SaveRecorder::AfterSave(const TTagFile& entry) {
    if (!pending_ || pending_->serial != entry.Serial()) return;
    SaveBatch::Item item = std::move(*pending_);
    pending_.reset();
    item.after = entry.Snapshot();
    if (item.end_before) item.end_after = ReadFileEnd(item.path);
    // Only a change of the file's end is put back on disk.
    if (!item.end_after || *item.end_after == *item.end_before) {
        item.end_before.reset();
        item.end_after.reset();
    }
    const bool tag_changed =
        !item.after.SameEdits(item.before) || item.after.on_disk != item.before.on_disk;
    if (tag_changed || item.end_before) items_.push_back(std::move(item));
}

void SaveRecorder::Commit() {
    if (history_ && !items_.empty())
        history_->Record(std::make_unique<SaveBatch>(std::move(items_)));
    items_.clear();
    history_ = nullptr;
}

}  // namespace ambrel
