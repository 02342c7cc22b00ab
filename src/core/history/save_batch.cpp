#include "history/save_batch.h"

#include <algorithm>
#include <memory>

#include "history/batch_history.h"
#include "platform/file_io.h"

namespace ambrel {

namespace {

constexpr long long kBlockLength = static_cast<long long>(id3v1::kBlockSize);

std::optional<FileState> ReadState(const file_io::File& file) {
    if (!file.IsOpen()) return std::nullopt;
    const std::optional<paths::FileIdentity> identity = file.Identity();
    if (!identity) return std::nullopt;
    FileState state{{file.Size(), {}}, *identity};
    std::vector<uint8_t>& tail = state.end.tail;
    tail.resize(static_cast<std::size_t>(std::min(state.end.size, kBlockLength)));
    if (!file.ReadAt(state.end.size - static_cast<long long>(tail.size()), tail.data(),
                     tail.size())) {
        return std::nullopt;
    }
    return state;
}

std::optional<FileState> ReadFileState(const std::string& path) {
    return ReadState(file_io::File(path, file_io::File::kRead));
}

// The old block goes back over the tag, a cut tag is appended again, an appended one cut
// again.
bool WriteEnd(file_io::File& file, const FileEnd& now, const FileEnd& wanted) {
    const std::size_t block = id3v1::kBlockSize;
    if (wanted.size == now.size && now.tail.size() == block && wanted.tail.size() == block)
        return file.Overwrite(now.size - kBlockLength, wanted.tail.data(), now.tail.data(), block);
    if (wanted.size == now.size + kBlockLength && wanted.tail.size() == block)
        return file.Append(wanted.tail.data(), block);
    if (wanted.size + kBlockLength == now.size) return file.Truncate(wanted.size);
    return false;
}

// Turns the file's end from `now` into `wanted`, the two ends of one save, but only while
// the file is the one `identity` names and still ends as `now` says: checked under the same
// open that writes. A write, even one that failed and was taken back, goes into rewritten.
bool TurnFileEnd(const std::string& path, const paths::FileIdentity& identity, const FileEnd& now,
                 const FileEnd& wanted, std::vector<FileRewrite>* rewritten) {
    file_io::File file(path, file_io::File::kReadWrite);
    const std::optional<FileState> actual = ReadState(file);
    if (!actual || actual->identity != identity || actual->end != now) return false;
    const bool turned = WriteEnd(file, now, wanted);
    const std::optional<paths::FileIdentity> written = file.Identity();
    if (written && *written != identity) rewritten->push_back({identity, *written});
    return turned;
}

}  // namespace

std::string SaveBatch::Describe() const {
    return "save of " + CountOf(items_.size(), "tag", "tags");
}

void SaveBatch::Undo(TTagList& list, BatchOutcome& outcome) { TurnAll(true, list, outcome); }

void SaveBatch::Redo(TTagList& list, BatchOutcome& outcome) { TurnAll(false, list, outcome); }

// Its own writes come back here too, through the history, like every other batch's.
void SaveBatch::Follow(const RewriteMap& rewrites) {
    for (Item& item : items_)
        if (item.turn) item.turn->identity = rewrites.Now(item.turn->identity);
}

// The file is found through its entry, which follows it through renames and moves: an entry
// that left the list (its file deleted) leaves its file alone.
void SaveBatch::TurnAll(bool back, TTagList& list, BatchOutcome& outcome) {
    const EntryIndex index(list);
    std::vector<std::string> left;
    for (Item& item : items_) {
        if (item.done != back) continue;
        TTagFile* entry = index.Find(item.serial);
        if (item.turn) {
            const FileEnd& now = back ? item.turn->after : item.turn->before;
            const FileEnd& wanted = back ? item.turn->before : item.turn->after;
            if (entry == nullptr || !TurnFileEnd(entry->GetPath(), item.turn->identity, now, wanted,
                                                 &outcome.rewritten)) {
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
    pending_ = SaveBatch::Item{entry.Serial(), entry.GetPath(), before, {}, {}};
    pending_file_.reset();
    if (entry.SaveMayWrite()) pending_file_ = ReadFileState(entry.GetPath());
}

void SaveRecorder::AfterSave(const TTagFile& entry) {
    if (!pending_ || pending_->serial != entry.Serial()) return;
    SaveBatch::Item item = std::move(*pending_);
    pending_.reset();
    item.after = entry.Snapshot();
    if (pending_file_) {
        const std::optional<FileState> saved = ReadFileState(item.path);
        // The other batches follow any write, a failed one taken back included.
        if (saved && saved->identity != pending_file_->identity)
            rewrites_.push_back({pending_file_->identity, saved->identity});
        // Only a change of the file's end is put back on disk.
        if (saved && saved->end != pending_file_->end)
            item.turn = SaveBatch::Turn{pending_file_->end, saved->end, saved->identity};
        pending_file_.reset();
    }
    // The modified mark alone is no change: every entry just loaded carries it, and a save
    // that wrote nothing for it only clears it. So the batch holds, and its menu text counts,
    // the entries the save wrote or changed.
    const bool tag_changed = item.after.block != item.before.block ||
                             item.after.state != item.before.state ||
                             item.after.on_disk != item.before.on_disk;
    if (tag_changed || item.turn) items_.push_back(std::move(item));
}

void SaveRecorder::Commit() {
    if (history_ && !items_.empty())
        history_->Record(std::make_unique<SaveBatch>(std::move(items_)));
    if (history_) history_->Follow(rewrites_);
    items_.clear();
    rewrites_.clear();
    history_ = nullptr;
}

}  // namespace ambrel
