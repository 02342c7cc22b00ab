#include "files/directory_walk.h"

#include <algorithm>
#include <climits>
#include <utility>
#include <vector>

#include "files/directory_reader.h"
#include "files/result_codes.h"
#include "platform/paths.h"
#include "tag/text_helpers.h"

namespace ambrel {

namespace {

// Whether the name's extension (from its last dot, dot included; empty without a dot)
// occurs in the mask. Read in place: every entry of a search is tested.
bool MaskHoldsExtension(std::string_view mask, std::string_view name) {
    // Letter case is ignored on both sides: a filter "*.MP3" takes song.mp3 and SONG.MP3.
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) return true;  // an empty extension occurs in every mask
    const std::string_view extension = name.substr(dot);
    return std::search(mask.begin(), mask.end(), extension.begin(), extension.end(),
                       [](char m, char e) { return AsciiToLower(m) == AsciiToLower(e); }) !=
           mask.end();
}

class Walk {
public:
    Walk(const WalkRules& rules, WalkVisitor& visitor)
        : rules_(rules), filter_(rules), visitor_(visitor) {}

    WalkResult Run(const std::string& directory) {
        WalkResult result;
        result.finished = Descend(paths::WithoutTrailingSeparator(directory), true);
        result.paths_too_long = too_long_;
        if (top_unreadable_) {
            result.code = kCannotEnumerate;
        } else if (too_long_ > 0) {
            result.code = kPathsTooLong;
        }
        return result;
    }

private:
    // One directory. Only the top directory's listing failure reaches the result. False
    // when the visitor stopped the walk.
    bool Descend(const std::string& directory, bool top) {
        if (visitor_.Stopped()) return false;
        if (rules_.add_directories) visitor_.Directory(directory);
        visitor_.BeforeListing(directory);
        std::vector<DirectoryEntry> entries;
        if (!ReadDirectory(directory, &entries)) {
            if (top) top_unreadable_ = true;
            return true;
        }
        SortByName(&entries);
        for (const DirectoryEntry& entry : entries) {
            if (visitor_.Stopped()) return false;
            if (!TakeEntry(directory, entry)) return false;
        }
        return true;
    }

    bool TakeEntry(const std::string& directory, const DirectoryEntry& entry) {
        const WalkFilter::Choice choice = filter_.Choose(entry);
        if (choice == WalkFilter::kSkip) return true;
        std::string full = paths::Join(directory, entry.name);
        // With its terminating zero the path exceeds what a call may name: it is counted for
        // the one report after the search rather than lost without a word.
        if (full.size() >= PATH_MAX) {
            ++too_long_;
            visitor_.TooLong();
            return true;
        }
        if (choice == WalkFilter::kDescend) return Descend(full, false);
        visitor_.Entry(std::move(full));
        return true;
    }

    const WalkRules& rules_;
    const WalkFilter filter_;
    WalkVisitor& visitor_;
    bool top_unreadable_ = false;
    int too_long_ = 0;
};

}  // namespace

WalkFilter::WalkFilter(const WalkRules& rules) : rules_(rules) {
    const std::string_view mask = rules.mask.value_or(std::string_view());
    mask_test_ = !mask.empty() && mask.find("*.*") == std::string_view::npos;
}

WalkFilter::Choice WalkFilter::Choose(const DirectoryEntry& entry) const {
    const bool is_dir = entry.kind == DirectoryEntry::kDirectory;
    if (!is_dir && !rules_.include_hidden && entry.name[0] == '.') return kSkip;
    if (is_dir && rules_.recurse) return kDescend;
    // The mask test comes before the caller's tag test: it is free, and the order changes no
    // result.
    return !mask_test_ || MaskHoldsExtension(*rules_.mask, entry.name) ? kTake : kSkip;
}

WalkResult WalkDirectory(const std::string& directory, const WalkRules& rules,
                         WalkVisitor& visitor) {
    if (directory.empty()) return {kInvalidArgument, 0, true};
    return Walk(rules, visitor).Run(directory);
}

}  // namespace ambrel
