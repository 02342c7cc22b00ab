#include "ui/actions/preview_dialog.h"

#include <QAbstractTableModel>
#include <QBrush>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>

#include "ui/common/qt_text.h"

namespace ambrel::ui {

namespace {

// The preview's rows as plain data; a kept row is drawn in the greyed text colour.
class PreviewModel : public QAbstractTableModel {
public:
    PreviewModel(const std::vector<PreviewDialog::Column>& columns,
                 std::vector<PreviewDialog::Line> lines, const QString& reason_caption,
                 QObject* parent)
        : QAbstractTableModel(parent), lines_(std::move(lines)) {
        for (const PreviewDialog::Column& column : columns) columns_.append(column.caption);
        columns_.append(reason_caption);
    }

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(lines_.size());
    }
    int columnCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(columns_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid()) return {};
        const PreviewDialog::Line& line = lines_[static_cast<std::size_t>(index.row())];
        const bool reason_column = index.column() == columns_.size() - 1;
        if (role == Qt::DisplayRole || role == Qt::ToolTipRole)
            return reason_column ? line.reason : line.cells.value(index.column());
        if (role == Qt::ForegroundRole && !line.reason.isEmpty() && !line.done_with_note &&
            !reason_column)
            return QBrush(QPalette().color(QPalette::Disabled, QPalette::Text));
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (role != Qt::DisplayRole) return {};
        if (orientation == Qt::Vertical) return section + 1;
        return columns_.value(section);
    }

private:
    QStringList columns_;
    std::vector<PreviewDialog::Line> lines_;
};

QString Summary(std::size_t total, std::size_t kept, const char* changed_text) {
    if (total == 0) return QStringLiteral("No row is selected: the run would change nothing.");
    return QStringLiteral("%1 of %2 %3; %4 kept as %5.")
        .arg(total - kept)
        .arg(total)
        .arg(QLatin1String(changed_text))
        .arg(kept)
        .arg(kept == 1 ? QStringLiteral("it is") : QStringLiteral("they are"));
}

template <typename Row>
std::size_t KeptCount(const std::vector<Row>& plan) {
    std::size_t kept = 0;
    for (const Row& row : plan) kept += row.verdict != ambrel::PreviewVerdict::kApplies;
    return kept;
}

}  // namespace

PreviewDialog::PreviewDialog(const QString& title, const std::vector<Column>& columns,
                             std::vector<Line> lines, const QString& summary, QWidget* parent,
                             const QString& reason_caption)
    : QDialog(parent) {
    setObjectName(QStringLiteral("PreviewDialog"));
    setWindowTitle(title);
    setModal(true);

    summary_ = new QLabel(summary, this);
    summary_->setObjectName(QStringLiteral("LabelPreviewSummary"));
    summary_->setWordWrap(true);

    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("TablePreview"));
    table_->setModel(new PreviewModel(columns, std::move(lines), reason_caption, table_));
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(false);
    table_->setTextElideMode(Qt::ElideMiddle);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    LayOutColumns(columns);

    auto* buttons = new QDialogButtonBox(this);
    apply_ = buttons->addButton(QStringLiteral("Apply"), QDialogButtonBox::AcceptRole);
    apply_->setObjectName(QStringLiteral("ButtonPreviewApply"));
    close_ = buttons->addButton(QStringLiteral("Close"), QDialogButtonBox::RejectRole);
    close_->setObjectName(QStringLiteral("ButtonPreviewClose"));
    close_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(summary_);
    layout->addWidget(table_, 1);
    layout->addWidget(buttons);

    // Wide enough for the names, but never wider or taller than the screen leaves.
    QSize size(820, 480);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    resize(size);
    Centre(parent);
}

// A long name is cut in the middle (its whole text is in the tool tip) rather than pushing
// the reason out of the dialog.
void PreviewDialog::LayOutColumns(const std::vector<Column>& columns) {
    QHeaderView* header = table_->horizontalHeader();
    header->setStretchLastSection(false);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        header->setSectionResizeMode(static_cast<int>(i), columns[i].wide
                                                              ? QHeaderView::Stretch
                                                              : QHeaderView::ResizeToContents);
    }
    header->setSectionResizeMode(static_cast<int>(columns.size()), QHeaderView::ResizeToContents);
}

// A dialog is placed over its parent by default, and the parent here is the action panel at
// the screen's edge: half the dialog would stand beyond it.
void PreviewDialog::Centre(const QWidget* parent) {
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

QAbstractItemModel* PreviewDialog::Model() const { return table_->model(); }

PreviewDialog* MakeFileRenamePreview(const std::vector<ambrel::FileRenamePreviewRow>& plan,
                                     QWidget* parent) {
    std::vector<PreviewDialog::Line> lines;
    lines.reserve(plan.size());
    for (const ambrel::FileRenamePreviewRow& row : plan)
        lines.push_back({{ToQ(row.old_name), ToQ(row.new_name)}, ToQ(row.reason)});
    return new PreviewDialog(
        QStringLiteral("Preview: Rename selected files"),
        {{QStringLiteral("Old name"), true}, {QStringLiteral("New name"), true}}, std::move(lines),
        Summary(plan.size(), KeptCount(plan), "files would be renamed"), parent);
}

PreviewDialog* MakeTagRenamePreview(const std::vector<ambrel::TagRenamePreviewRow>& plan,
                                    QWidget* parent) {
    std::vector<PreviewDialog::Line> lines;
    lines.reserve(plan.size());
    for (const ambrel::TagRenamePreviewRow& row : plan) {
        lines.push_back(
            {{ToQ(row.file_name), ToQ(row.artist), ToQ(row.title), ToQ(row.album), ToQ(row.year),
              // The table shows no track for a file without a tag either.
              row.verdict == ambrel::PreviewVerdict::kNoTag ? QString()
                                                            : QString::number(row.track)},
             ToQ(row.reason)});
    }
    return new PreviewDialog(QStringLiteral("Preview: Rename selected tags"),
                             {{QStringLiteral("File name"), true},
                              {QStringLiteral("Artist"), true},
                              {QStringLiteral("Song title"), true},
                              {QStringLiteral("Album"), true},
                              {QStringLiteral("Year"), false},
                              {QStringLiteral("Track"), false}},
                             std::move(lines),
                             Summary(plan.size(), KeptCount(plan), "tags would change"), parent);
}

}  // namespace ambrel::ui
