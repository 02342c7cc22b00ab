#include "actions/field_fill.h"

#include <unordered_map>

#include "platform/conversion.h"
#include "platform/paths.h"
#include "tag/tag_base.h"

namespace ambrel {

void WriteFieldsToTag(TTagBase& entry, const FieldFill& fill, std::optional<int> track_number) {
    if (fill.artist) entry.SetArtist(*fill.artist);
    if (fill.title) entry.SetTitle(*fill.title);
    if (fill.album) entry.SetAlbum(*fill.album);
    if (track_number) {
        entry.SetTrack(*track_number);
    } else if (fill.track) {
        entry.SetTrack(StrToInt(*fill.track));
    }
    if (fill.comment) entry.SetComment(*fill.comment);
    if (fill.genre) entry.SetGenre(*fill.genre);
    if (fill.year) entry.SetYear(*fill.year);
}

std::vector<std::optional<int>> TrackNumbersByDirectory(
    const std::vector<const TTagBase*>& entries) {
    std::vector<std::optional<int>> numbers;
    numbers.reserve(entries.size());
    std::unordered_map<std::string, int> counts;
    for (const TTagBase* entry : entries) {
        if (!entry || entry->GetState() == tsNone) {
            numbers.emplace_back();
            continue;
        }
        numbers.emplace_back(++counts[paths::DirectoryOf(entry->GetPath())]);
    }
    return numbers;
}

}  // namespace ambrel
