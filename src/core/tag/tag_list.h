#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tag/tag_file.h"

namespace ambrel {

// What a save of every modified entry did.
struct SaveReport {
    // The sum of the Save results (1 per file saved, 0 or -1 per failure).
    int sum = 0;
    // The files of the entries saved, in list order, whether or not their write succeeded:
    // a file list that shows tag status reads these again.
    std::vector<std::string> saved;
    // The files whose write failed: their changes are still only in memory.
    std::vector<std::string> failed;
};

// An entry taken out of the list with the position it had.
struct TakenEntry {
    int position;
    std::unique_ptr<TTagFile> entry;
};

// Told about each entry SaveModified saves, just before and just after its Save.
class SaveWatcher {
public:
    virtual ~SaveWatcher() = default;
    virtual void BeforeSave(const TTagFile& entry) = 0;
    virtual void AfterSave(const TTagFile& entry) = 0;
};

// The ordered list of files loaded into the tag viewer. Owns its entries.
class TTagList {
public:
    int Count() const { return static_cast<int>(entries_.size()); }
    // Adds a path whose extension begins with ".mp3" (IsMp3Path) and loads it, with
    // read_head its ID3v2 header too (TTagFile::Load).
    // 1 when added and tagged; 0 when absent, not ".mp3", or added without a tag.
    int Add(std::optional<std::string_view> path, bool read_head = false);
    // As Add, but with the file's last 128 bytes already read by the caller (absent when the
    // file could not be read or is shorter than 128 bytes), and what that read found of its
    // ID3v2 header, so the file is not opened again.
    int AddRead(std::string_view path, const std::optional<TagBlock>& tail,
                Id3v2Head head = Id3v2Head());
    // Add for each path in order; the number of added files that have a tag.
    int AddList(const std::vector<std::string>& paths, bool read_head = false);
    TTagFile* Get(int position) const;
    // Removes and destroys one entry; Index fields are not renumbered. 1, or 0 when out of range.
    int Delete(int position);
    // Removes each distinct valid position once, in one pass; returns how many went.
    // Index fields are not renumbered.
    int DeletePositions(std::vector<int> positions);
    // Takes each distinct valid position's entry out, in one pass, and hands them over in
    // ascending order of the positions they had. Index fields are not renumbered.
    std::vector<TakenEntry> TakePositions(std::vector<int> positions);
    // Puts taken entries back (ascending positions) so that each stands at its position
    // again, or at the end when the list has become shorter. Renumbers the list.
    void PutBack(std::vector<TakenEntry> taken);
    // A folder was renamed from one path to another: every entry of a file under it takes
    // the new path. The entries that changed.
    std::vector<TTagFile*> FollowFolder(const std::string& from, const std::string& to);
    // Removes every entry the predicate holds for, in one pass; returns how many went.
    int RemoveIf(const std::function<bool(const TTagFile&)>& predicate);
    void Clear();
    int Renumber();
    // Saves every entry whose Modified flag is set, in list order, telling the watcher (when
    // given) about each.
    SaveReport SaveModified(SaveWatcher* watcher = nullptr);
    // How many entries hold work that only a save puts on disk (TTagFile::HoldsUnsavedWork).
    int UnsavedCount() const;

    // True when the path's extension (from its last dot) begins with ".mp3", letter case
    // ignored: "song.mp3", "SONG.MP3" and "a.mp3x" are taken, "a.mp" and "mp3" are not.
    static bool IsMp3Path(std::string_view path);
    // True when the extension is ".mp3" itself, letter case ignored: what a drop keeps.
    static bool HasMp3Extension(std::string_view path);

private:
    std::vector<std::unique_ptr<TTagFile>> entries_;
};

}  // namespace ambrel
