#pragma once

#include <QDialog>
#include <QStringList>
#include <vector>

#include "actions/rename_preview.h"

class QAbstractItemModel;
class QLabel;
class QPushButton;
class QTableView;

namespace ambrel::ui {

// What a run would do, before it is run: one row per selected file (or per field it
// changes), the rows that would be kept marked with the reason. "Apply" accepts (the page
// then runs), "Close" rejects; the dialog itself changes nothing.
class PreviewDialog : public QDialog {
    Q_OBJECT

public:
    // One line of the table: its cells and, for a row that would be kept, the reason. A
    // line that is done in spite of its reason column (a note on it) is not greyed.
    struct Line {
        QStringList cells;
        QString reason;
        bool done_with_note = false;
    };
    // A column before the reason column: a wide one (a name or a text field) shares the
    // width the short ones and the reason leave, so the reason is always in view.
    struct Column {
        QString caption;
        bool wide;
    };

    // summary heads the table; reason_caption heads its last column.
    PreviewDialog(const QString& title, const std::vector<Column>& columns, std::vector<Line> lines,
                  const QString& summary, QWidget* parent = nullptr,
                  const QString& reason_caption = QStringLiteral("Kept because"));

    QTableView* Table() const { return table_; }
    QAbstractItemModel* Model() const;
    QPushButton* ApplyButton() const { return apply_; }
    QPushButton* CloseButton() const { return close_; }

private:
    void LayOutColumns(const std::vector<Column>& columns);
    // In the middle of the screen the parent stands on.
    void Centre(const QWidget* parent);

    QLabel* summary_ = nullptr;
    QTableView* table_ = nullptr;
    QPushButton* apply_ = nullptr;
    QPushButton* close_ = nullptr;
};

// The dialogs of the two rename pages over their plans.
PreviewDialog* MakeFileRenamePreview(const std::vector<ambrel::FileRenamePreviewRow>& plan,
                                     QWidget* parent);
PreviewDialog* MakeTagRenamePreview(const std::vector<ambrel::TagRenamePreviewRow>& plan,
                                    QWidget* parent);

}  // namespace ambrel::ui
