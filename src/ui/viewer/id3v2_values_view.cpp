#include "ui/viewer/id3v2_values_view.h"

#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <optional>
#include <utility>

#include "tag/id3v2_reader.h"
#include "tag/tag_file.h"
#include "ui/common/qt_text.h"

namespace ambrel::ui {

namespace {

const QString kCaption = QStringLiteral("ID3v2");
// The caption with the version the tag gives ("2.4"), as wide as it ever gets.
const QString kWidestCaption = QStringLiteral("ID3v2.4");

// The frames in the order the line shows them; a missing frame is left out.
std::vector<std::pair<QString, const std::optional<std::string>*>> Fields(
    const ambrel::Id3v2Values& values) {
    return {{QStringLiteral("Title"), &values.title},    {QStringLiteral("Artist"), &values.artist},
            {QStringLiteral("Album"), &values.album},    {QStringLiteral("Year"), &values.year},
            {QStringLiteral("Track"), &values.track},    {QStringLiteral("Genre"), &values.genre},
            {QStringLiteral("Comment"), &values.comment}};
}

}  // namespace

Id3v2ValuesView::Id3v2ValuesView(QWidget* parent) {
    box_ = new QLineEdit(parent);
    box_->setObjectName(QStringLiteral("EditId3v2Values"));
    box_->setReadOnly(true);
    // Read-only, it is passed over by Tab between the fields the user types in.
    box_->setFocusPolicy(Qt::ClickFocus);
    label_ = new QLabel(kCaption, parent);
    label_->setObjectName(QStringLiteral("LabelId3v2"));
    label_->setBuddy(box_);
    // As wide as the longest caption it takes, so the fields above do not move with it.
    label_->setMinimumWidth(label_->fontMetrics().horizontalAdvance(kWidestCaption) + 2);
}

void Id3v2ValuesView::Show(const ambrel::TTagFile* entry) {
    if (entry == nullptr) {
        shown_ = false;
        label_->setText(kCaption);
        box_->clear();
        box_->setToolTip(QString());
        return;
    }
    if (shown_ && entry->Serial() == shown_serial_ && entry->GetPath() == shown_path_) return;
    shown_ = true;
    shown_serial_ = entry->Serial();
    shown_path_ = entry->GetPath();
    ShowFile(shown_path_);
}

void Id3v2ValuesView::ShowFile(const std::string& path) {
    const ambrel::Id3v2Reading reading = ambrel::ReadId3v2(path);
    if (!reading.values) {
        label_->setText(kCaption);
        box_->setText(ToQ(reading.problem));
        box_->setToolTip(QString());
        box_->setCursorPosition(0);
        return;
    }
    QStringList parts;
    for (const auto& [name, value] : Fields(*reading.values)) {
        if (*value) parts << name + QStringLiteral(": ") + ToQ(**value);
    }
    label_->setText(QStringLiteral("ID3v") + ToQ(reading.values->version));
    box_->setText(parts.isEmpty() ? QStringLiteral("no fields")
                                  : parts.join(QStringLiteral(" \u00b7 ")));
    box_->setToolTip(parts.join(QLatin1Char('\n')));
    // The line begins with the title, however long it is.
    box_->setCursorPosition(0);
}

}  // namespace ambrel::ui
