#include "ui/actions/id3v2_copy_preview.h"

#include <QPushButton>
#include <memory>
#include <optional>

#include "actions/id3v2_copy_command.h"
#include "library/library.h"
#include "tag/tag_file.h"
#include "ui/actions/preview_dialog.h"
#include "ui/common/qt_text.h"

namespace ambrel::ui {

namespace {

QString Counted(std::size_t n, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

// What the copy could not keep of a field's ID3v2 value.
QString NoteOf(const ambrel::FieldChange& change) {
    QStringList notes;
    if (change.cut) notes << QStringLiteral("cut");
    if (change.lossy) notes << QStringLiteral("converted with loss");
    return notes.join(QStringLiteral(", "));
}

void AddLinesOf(const ambrel::Id3v2CopyRow& row, std::vector<PreviewDialog::Line>* lines) {
    const QString file = ToQ(row.entry->GetFileName());
    if (!row.problem.empty()) {
        lines->push_back({{file, QString(), QString(), QString()}, ToQ(row.problem)});
        return;
    }
    for (const ambrel::FieldChange& change : row.plan.changes) {
        const QString note = NoteOf(change);
        lines->push_back({{file, ToQ(std::string(ambrel::Id3v1FieldName(change.field))),
                           ToQ(change.old_text), ToQ(change.new_text)},
                          note,
                          !note.isEmpty()});
    }
    if (row.plan.unknown_genre) {
        // The genre byte stays, so the line is one of a field kept.
        lines->push_back({{file, QStringLiteral("Genre"), QString(), QString()},
                          QStringLiteral("unknown genre '%1'").arg(ToQ(*row.plan.unknown_genre))});
    } else if (!row.plan.Changes()) {
        lines->push_back({{file, QString(), QString(), QString()}, QStringLiteral("no change")});
    }
}

QString Summary(const std::vector<ambrel::Id3v2CopyRow>& rows) {
    const ambrel::Id3v2CopyCount count = ambrel::CountId3v2Copies(rows);
    QString summary = count.fields == 0 ? QStringLiteral("No field will change.")
                                        : QStringLiteral("%1 of %2 will change.")
                                              .arg(Counted(count.fields, "field", "fields"),
                                                   Counted(count.files, "file", "files"));
    std::size_t unreadable = 0;
    for (const ambrel::Id3v2CopyRow& row : rows) unreadable += row.problem.empty() ? 0 : 1;
    if (unreadable > 0) {
        summary += QStringLiteral(" %1 no usable ID3v2 tag.")
                       .arg(unreadable == 1 ? QStringLiteral("1 file has")
                                            : QStringLiteral("%1 files have").arg(unreadable));
    }
    return summary;
}

}  // namespace

PreviewDialog* MakeId3v2CopyPreview(const std::vector<ambrel::Id3v2CopyRow>& rows,
                                    QWidget* parent) {
    std::vector<PreviewDialog::Line> lines;
    for (const ambrel::Id3v2CopyRow& row : rows) AddLinesOf(row, &lines);
    auto* dialog =
        new PreviewDialog(QStringLiteral("Preview: Copy ID3v2 to ID3v1"),
                          {{QStringLiteral("File"), true},
                           {QStringLiteral("Field"), false},
                           {QStringLiteral("Old"), true},
                           {QStringLiteral("New"), true}},
                          std::move(lines), Summary(rows), parent, QStringLiteral("Note"));
    dialog->ApplyButton()->setEnabled(ambrel::CountId3v2Copies(rows).fields > 0);
    return dialog;
}

bool RunId3v2Copy(ambrel::Library& library, QWidget* parent) {
    const std::optional<std::vector<ambrel::Id3v2CopyRow>> rows =
        ambrel::PlanSelectedId3v2Copies(library);
    if (!rows) return false;
    const std::unique_ptr<PreviewDialog> dialog(MakeId3v2CopyPreview(*rows, parent));
    if (dialog->exec() != QDialog::Accepted) return false;
    return ambrel::ApplyId3v2Copies(library, *rows) > 0;
}

}  // namespace ambrel::ui
