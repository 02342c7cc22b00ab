#include "ui/common/genre_entries.h"

#include "tag/genres.h"

namespace ambrel::ui {

const QStringList& GenreEntries() {
    static const QStringList entries = [] {
        QStringList list{QString()};
        for (const char* name : genres::BuiltInNames()) list.append(QString::fromLatin1(name));
        return list;
    }();
    return entries;
}

int GenreEntryOf(int genre) { return genre >= 0 && genre < genres::kNamedCount ? genre + 1 : -1; }

}  // namespace ambrel::ui
