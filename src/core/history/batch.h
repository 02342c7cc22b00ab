#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace ambrel {

class TTagFile;
class TTagList;

// What an undo or a redo did, for the table and the user.
struct BatchOutcome {
    // Entries whose tag, state or path changed: their rows are drawn again.
    std::unordered_set<const TTagFile*> touched;
    // Entries came back into the list or left it: the rows are built again.
    bool list_changed = false;
    // Files whose end was written: a file list that shows tag status reads them again.
    std::vector<std::string> written;
    // One warning about the files left as they were, when there are any.
    std::string warning_caption;
    std::string warning_text;
};

// One undoable batch of the history: what a command changed, with enough of the before and
// after to go either way. A batch names entries by serial only, never by pointer or list
// position, so entries that leave the list meanwhile are simply not found.
class Batch {
public:
    virtual ~Batch() = default;
    // What the batch did, as the menu shows it after "Undo " and "Redo ".
    virtual std::string Describe() const = 0;
    virtual void Undo(TTagList& list, BatchOutcome& outcome) = 0;
    virtual void Redo(TTagList& list, BatchOutcome& outcome) = 0;
};

// The list's entries by serial, built once per undo or redo.
class EntryIndex {
public:
    explicit EntryIndex(const TTagList& list);
    // The entry of that serial, none when it is no longer in the list.
    TTagFile* Find(uint64_t serial) const;

private:
    std::unordered_map<uint64_t, TTagFile*> by_serial_;
};

// "1 file", "120 files".
std::string CountOf(std::size_t n, const char* one, const char* many);

}  // namespace ambrel
