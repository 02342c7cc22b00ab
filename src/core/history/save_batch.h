#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "history/batch.h"
#include "platform/paths.h"
#include "tag/tag_file.h"
#include "tag/tag_list.h"

namespace ambrel {

class TBatchHistory;

// The end of a file as a save leaves it: its size and its last bytes (128, or all of a
// shorter file).
struct FileEnd {
    long long size = -1;
    std::vector<uint8_t> tail;

    bool operator==(const FileEnd& other) const { return size == other.size && tail == other.tail; }
    bool operator!=(const FileEnd& other) const { return !(*this == other); }
};

// A file's end and which file it is, read under one open.
struct FileState {
    FileEnd end;
    paths::FileIdentity identity;
};

// Tags saved by one command ("Save tag", "Save all"). Undo puts back the end each file had
// before the save (the old 128 bytes written back, the tag cut off again or appended again),
// but only where the file is still the very one the save left, ending exactly as it left
// it; redo does the save's write again on the same condition. The very one: the same
// paths::FileIdentity (device, inode, birth time where there is one, size, modification
// time) as just after the save, or after the program's own later writes and moves of it
// (see Follow), so that a copy of another file moved into its place, ending alike, is not
// taken for it. The file is the one the entry names now (it follows a rename or a move); a
// file whose entry is no longer in the list, or that changed meanwhile, is left alone, and
// all such are named in one warning. An entry whose file was put back (or whose save wrote
// nothing) takes the tag it had on that side of the save.
class SaveBatch : public Batch {
public:
    // What a save did to a file's end, and which file it is as this batch last left it
    // (after the save, its undo or its redo).
    struct Turn {
        FileEnd before, after;
        paths::FileIdentity identity;
    };
    struct Item {
        uint64_t serial;
        std::string path;  // where the file was saved, for the warning once its entry is gone
        TagSnapshot before, after;
        std::optional<Turn> turn;  // present when the save changed the file's end
        bool done = true;          // the file and the entry are as the save left them
    };

    explicit SaveBatch(std::vector<Item> items) : items_(std::move(items)) {}

    std::string Describe() const override;
    void Undo(TTagList& list, BatchOutcome& outcome) override;
    void Redo(TTagList& list, BatchOutcome& outcome) override;
    void Follow(const RewriteMap& rewrites) override;

private:
    void TurnAll(bool back, TTagList& list, BatchOutcome& outcome);

    std::vector<Item> items_;
};

// Watches the saves of one command and records a SaveBatch of the entries whose tag or file
// changed when it goes; the history's other batches follow the files it wrote. The file's
// end and identity are read before and after a save only when the save may write. Does
// nothing without a history.
class SaveRecorder : public SaveWatcher {
public:
    explicit SaveRecorder(TBatchHistory* history) : history_(history) {}
    ~SaveRecorder() override { Commit(); }
    SaveRecorder(const SaveRecorder&) = delete;
    SaveRecorder& operator=(const SaveRecorder&) = delete;

    void BeforeSave(const TTagFile& entry) override { BeforeSave(entry, entry.Snapshot()); }
    // As above, with the tag as it was before the command's own edits of it, which undo
    // takes back together with the save.
    void BeforeSave(const TTagFile& entry, const TagSnapshot& before);
    void AfterSave(const TTagFile& entry) override;
    void Commit();

private:
    TBatchHistory* history_;
    // The entry being saved, between BeforeSave and AfterSave, and its file before the save
    // when the save may write.
    std::optional<SaveBatch::Item> pending_;
    std::optional<FileState> pending_file_;
    std::vector<SaveBatch::Item> items_;
    std::vector<FileRewrite> rewrites_;
};

}  // namespace ambrel
