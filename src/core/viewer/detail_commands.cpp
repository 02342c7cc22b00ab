#include "viewer/detail_commands.h"

#include "history/save_batch.h"
#include "history/tag_change_batch.h"
#include "platform/conversion.h"
#include "tag/tag_file.h"

namespace ambrel {

void SetTagPresent(TTagFile& entry, bool present, TBatchHistory* history) {
    TagChangeRecorder record(history, "tag state change");
    record.Note(entry);
    const TagState state = NextTagState(entry.GetState(), present);
    if (state != entry.GetState()) entry.SetModified(true);
    entry.SetState(state);
}

namespace {

void StoreFields(TTagFile& entry, const TagDetailFields& fields) {
    entry.SetArtist(fields.artist);
    entry.SetTitle(fields.title);
    entry.SetAlbum(fields.album);
    entry.SetComment(fields.comment);
    entry.SetYear(fields.year);
    // Throws for a text that is not a whole number: track, genre and the write are skipped.
    entry.SetTrack(StrToInt(fields.track));
    // The empty entry (-1) and no selection (-2) are refused, so the genre stays.
    entry.SetGenre(fields.genre);
}

}  // namespace

void StoreTagDetail(TTagFile& entry, const TagDetailFields& fields, TBatchHistory* history) {
    const TagSnapshot before = entry.Snapshot();
    const TagState state = entry.GetState();
    if (state == tsPresent || state == tsAppend) {
        TagChangeRecorder edit(history, "tag edit");
        edit.Note(entry);
        StoreFields(entry, fields);
        // Stored whole: the save below takes the edit along.
        edit.Cancel();
    }
    SaveRecorder save(history);
    save.BeforeSave(entry, before);
    entry.Save();
    save.AfterSave(entry);
}

}  // namespace ambrel
