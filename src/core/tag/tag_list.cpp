#include "tag/tag_list.h"

#include "platform/compact.h"
#include "platform/paths.h"
#include "tag/text_helpers.h"

namespace ambrel {

namespace {

// The extension of the file name only, from its last dot, dot included: a dot in a directory
// name makes no extension. Empty without a dot. Read in place: every file of a load passes
// through here.
std::string_view ExtensionOf(std::string_view path) {
    const std::size_t separator = path.rfind(paths::kSeparator);
    const std::string_view name =
        separator == std::string_view::npos ? path : path.substr(separator + 1);
    const std::size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

constexpr std::string_view kMp3 = ".mp3";

}  // namespace

bool TTagList::IsMp3Path(std::string_view path) {
    // The extension holds one dot, its first character, so holding ".mp3" is beginning with it.
    const std::string_view extension = ExtensionOf(path);
    return extension.size() >= kMp3.size() &&
           EqualsIgnoringCase(extension.substr(0, kMp3.size()), kMp3);
}

bool TTagList::HasMp3Extension(std::string_view path) {
    return EqualsIgnoringCase(ExtensionOf(path), kMp3);
}

int TTagList::Add(std::optional<std::string_view> path, bool read_head) {
    if (!path || !IsMp3Path(*path)) return 0;
    auto entry = std::make_unique<TTagFile>(*path);
    entry->SetIndex(Count());
    const int result = entry->Load(read_head);
    entries_.push_back(std::move(entry));
    return result;
}

int TTagList::AddRead(std::string_view path, const std::optional<TagBlock>& tail, Id3v2Head head) {
    if (!IsMp3Path(path)) return 0;
    auto entry = std::make_unique<TTagFile>(path);
    entry->SetIndex(Count());
    entry->SetId3v2Head(head);
    const int result = tail ? entry->LoadFromBlock(*tail) : 0;
    entries_.push_back(std::move(entry));
    return result;
}

int TTagList::AddList(const std::vector<std::string>& paths, bool read_head) {
    entries_.reserve(entries_.size() + paths.size());
    int tagged = 0;
    for (const std::string& path : paths) tagged += Add(path, read_head);
    return tagged;
}

TTagFile* TTagList::Get(int position) const {
    if (position < 0 || position >= Count()) return nullptr;
    return entries_[static_cast<std::size_t>(position)].get();
}

int TTagList::Delete(int position) {
    if (position < 0 || position >= Count()) return 0;
    entries_.erase(entries_.begin() + position);
    return 1;
}

int TTagList::DeletePositions(std::vector<int> positions) {
    return static_cast<int>(TakePositions(std::move(positions)).size());
}

std::vector<TakenEntry> TTagList::TakePositions(std::vector<int> positions) {
    std::vector<char> doomed(entries_.size(), 0);
    for (int position : positions) {
        if (position >= 0 && position < Count()) doomed[static_cast<std::size_t>(position)] = 1;
    }
    std::vector<TakenEntry> taken;
    int position = 0;
    CompactIf(&entries_, [&](std::unique_ptr<TTagFile>& entry) {
        const bool take = doomed[static_cast<std::size_t>(position)] != 0;
        if (take) taken.push_back({position, std::move(entry)});
        ++position;
        return take;
    });
    return taken;
}

void TTagList::PutBack(std::vector<TakenEntry> taken) {
    std::vector<std::unique_ptr<TTagFile>> merged;
    merged.reserve(entries_.size() + taken.size());
    std::size_t kept = 0;
    for (TakenEntry& item : taken) {
        while (kept < entries_.size() && static_cast<int>(merged.size()) < item.position)
            merged.push_back(std::move(entries_[kept++]));
        merged.push_back(std::move(item.entry));
    }
    while (kept < entries_.size()) merged.push_back(std::move(entries_[kept++]));
    entries_ = std::move(merged);
    Renumber();
}

std::vector<TTagFile*> TTagList::FollowFolder(const std::string& from, const std::string& to) {
    const std::string prefix = paths::Join(from, "");
    std::vector<TTagFile*> moved;
    for (const auto& entry : entries_) {
        const std::string& path = entry->GetPath();
        if (path.compare(0, prefix.size(), prefix) != 0) continue;
        entry->SetPath(paths::Join(to, std::string_view(path).substr(prefix.size())));
        moved.push_back(entry.get());
    }
    return moved;
}

int TTagList::RemoveIf(const std::function<bool(const TTagFile&)>& predicate) {
    return static_cast<int>(
        CompactIf(&entries_, [&](const std::unique_ptr<TTagFile>& e) { return predicate(*e); }));
}

void TTagList::Clear() { entries_.clear(); }

int TTagList::Renumber() {
    for (std::size_t i = 0; i < entries_.size(); ++i)
        entries_[i]->SetIndex(static_cast<int32_t>(i));
    return 1;
}

SaveReport TTagList::SaveModified(SaveWatcher* watcher) {
    SaveReport report;
    for (const auto& entry : entries_) {
        if (!entry->IsModified()) continue;
        if (watcher) watcher->BeforeSave(*entry);
        const int result = entry->Save();
        if (watcher) watcher->AfterSave(*entry);
        report.sum += result;
        report.saved.push_back(entry->GetPath());
        if (result != 1) report.failed.push_back(entry->GetPath());
    }
    return report;
}

int TTagList::UnsavedCount() const {
    int count = 0;
    for (const auto& entry : entries_) count += entry->HoldsUnsavedWork() ? 1 : 0;
    return count;
}

}  // namespace ambrel
