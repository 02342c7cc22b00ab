#include "ui/actions/copy_options_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "actions/field_fill.h"
#include "actions/panel_commands.h"
#include "library/library.h"
#include "platform/conversion.h"
#include "platform/report_view.h"
#include "tag/tag_file.h"
#include "ui/actions/id3v2_copy_preview.h"
#include "ui/actions/panel_controls.h"
#include "ui/actions/up_down.h"
#include "ui/common/combo_width.h"
#include "ui/common/command_guard.h"
#include "ui/common/genre_entries.h"
#include "ui/common/icons.h"
#include "ui/common/qt_text.h"
#include "ui/common/wrapping_check_box.h"
#include "viewer/tag_viewer.h"

namespace ambrel::ui {

namespace {

// The Fill boxes, numbered as the fields are written.
enum Fill { kArtist, kTitle, kAlbum, kTrack, kComment, kGenre, kYear };
constexpr int kMaxTrack = 255;
constexpr int kYearLength = 4;

// A text that is present only when its box is checked.
std::optional<std::string> IfChecked(const QCheckBox* fill, const QLineEdit* edit) {
    if (!fill->isChecked()) return std::nullopt;
    return FromQ(edit->text());
}

}  // namespace

CopyOptionsPage::CopyOptionsPage(ambrel::Library& library, QWidget* parent)
    : QWidget(parent), library_(library) {
    setObjectName(QStringLiteral("TabSheet3"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(kPageMargin, kPageMargin, kPageMargin, kPageMargin);
    // Narrower gaps between the columns than elsewhere: the genre box needs the width of its
    // longest name between the labels and the Fill boxes in the 289-pixel window.
    grid->setHorizontalSpacing(kPageSpacing - 2);
    grid->setVerticalSpacing(kPageSpacing);
    grid->setColumnStretch(1, 1);

    edit_tag_artist_ = AddTextRow(0, "Label9", "Artist", "EditTagArtist", "CheckBoxFill1");
    edit_tag_title_ = AddTextRow(1, "Label10", "Title", "EditTagTitle", "CheckBoxFill2");
    edit_tag_album_ = AddTextRow(2, "Label11", "Album", "EditTagAlbum", "CheckBoxFill3");

    edit_tag_track_ = new QLineEdit(QStringLiteral("0"), this);
    edit_tag_track_->setObjectName(QStringLiteral("EditTagTrack"));
    up_down_1_ = new UpDown(edit_tag_track_, 0, kMaxTrack, this);
    up_down_1_->setObjectName(QStringLiteral("UpDown1"));
    auto* track = new QHBoxLayout;
    track->setSpacing(0);
    track->addWidget(edit_tag_track_);
    track->addWidget(up_down_1_);
    track->addStretch(1);
    grid->addWidget(MakeLabel("Label14", QStringLiteral("Track"), this, edit_tag_track_), 3, 0);
    grid->addLayout(track, 3, 1);
    grid->addWidget(fill_[kTrack] = MakeFill("CheckBoxFill4"), 3, 2);

    edit_tag_comment_ = AddTextRow(4, "Label12", "Comment", "EditTagComment", "CheckBoxFill5");

    combo_box_tag_genre_ = MakeListBox("ComboBoxTagGenre", GenreEntries(), -1, this);
    combo_box_tag_genre_->setMaxVisibleItems(20);
    // The genre chosen shows whole.
    combo_box_tag_genre_->setMinimumWidth(WidthShowingEveryItem(*combo_box_tag_genre_));
    grid->addWidget(MakeLabel("LabelTagGenre", QStringLiteral("Genre"), this, combo_box_tag_genre_),
                    5, 0);
    grid->addWidget(combo_box_tag_genre_, 5, 1);
    grid->addWidget(fill_[kGenre] = MakeFill("CheckBoxFill6"), 5, 2);

    edit_tag_year_ = AddTextRow(6, "Label13", "Year", "EditTagYear", "CheckBoxFill7");
    edit_tag_year_->setMaxLength(kYearLength);
    // Track and Year hold a few digits: boxes just wide enough for them.
    const int digit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    edit_tag_track_->setFixedWidth(digit * 3 + 16);
    edit_tag_year_->setFixedWidth(digit * 4 + 16);
    grid->setAlignment(edit_tag_year_, Qt::AlignLeft);

    check_box_track1_ =
        new WrappingCheckBox(QStringLiteral("Begin track number in each directory from 1"), this);
    check_box_track1_->setObjectName(QStringLiteral("CheckBoxTrack1"));
    grid->addWidget(check_box_track1_, 7, 0, 1, 3);
    grid->setRowStretch(8, 1);
    LayOutButtons(9);

    connect(edit_tag_track_, &QLineEdit::textChanged, this,
            [this] { Guard([this] { EditTagTrackChange(); }); });
    connect(up_down_1_, &UpDown::clicked, this,
            [this] { Guard([this] { EditTagTrackChange(); }); });
    // activated comes from the user's choice only, never from the program's.
    connect(combo_box_tag_genre_, &QComboBox::activated, this,
            &CopyOptionsPage::ComboBoxTagGenreChange);
}

QCheckBox* CopyOptionsPage::MakeFill(const char* name) {
    auto* box = new QCheckBox(QStringLiteral("Fill"), this);
    box->setObjectName(QLatin1String(name));
    return box;
}

QLineEdit* CopyOptionsPage::AddTextRow(int row, const char* label, const QString& caption,
                                       const char* edit, const char* fill) {
    auto* grid = static_cast<QGridLayout*>(layout());
    auto* box = new QLineEdit(this);
    box->setObjectName(QLatin1String(edit));
    QCheckBox* check = MakeFill(fill);
    fill_[row] = check;  // the text rows stand where their fields are numbered
    grid->addWidget(MakeLabel(label, caption, this, box), row, 0);
    grid->addWidget(box, row, 1);
    grid->addWidget(check, row, 2);
    // The program's own changes (Read, Clear) move the box as typing does.
    connect(box, &QLineEdit::textChanged, check,
            [check](const QString& text) { check->setChecked(!text.isEmpty()); });
    return box;
}

void CopyOptionsPage::LayOutButtons(int row) {
    speed_button_clear_ = MakeButton("SpeedButtonClear", QStringLiteral("Clear input fields"),
                                     Picture::kRemoveAll, this);
    speed_button_read_ = MakeButton(
        "SpeedButtonRead", QStringLiteral("Read data from selected tag"), Picture::kLoad, this);
    speed_button_write_ = MakeButton("SpeedButtonWrite", QStringLiteral("Write data to mp3 tag(s)"),
                                     Picture::kSave, this);
    speed_button_copy_id3v2_ = MakeButton(
        "SpeedButtonCopyId3v2", QStringLiteral("Copy ID3v2 to ID3v1"), Picture::kCopy, this);
    auto* grid = static_cast<QGridLayout*>(layout());
    for (QToolButton* button :
         {speed_button_clear_, speed_button_read_, speed_button_write_, speed_button_copy_id3v2_})
        grid->addWidget(button, row++, 0, 1, 3);
    connect(speed_button_clear_, &QToolButton::clicked, this, [this] { ClearFields(); });
    connect(speed_button_read_, &QToolButton::clicked, this, [this] {
        ambrel::TTagViewer* tags = library_.TagViewer();
        if (tags != nullptr) ReadSelectedTag(tags->Table()->FirstSelected());
    });
    connect(speed_button_write_, &QToolButton::clicked, this,
            [this] { Guard([this] { WriteSelectedTags(); }); });
    connect(speed_button_copy_id3v2_, &QToolButton::clicked, this,
            [this] { Guard([this] { CopyId3v2ToId3v1(); }); });
}

void CopyOptionsPage::ClearFields() {
    for (QLineEdit* edit :
         {edit_tag_artist_, edit_tag_title_, edit_tag_album_, edit_tag_year_, edit_tag_comment_})
        edit->setText(QString());
    edit_tag_track_->setText(QStringLiteral("0"));
    combo_box_tag_genre_->setCurrentIndex(0);
}

void CopyOptionsPage::ReadSelectedTag(int row) {
    ambrel::TTagViewer* tags = library_.TagViewer();
    const ambrel::TTagFile* entry = tags != nullptr ? tags->EntryAt(row) : nullptr;
    if (entry == nullptr) return;
    edit_tag_artist_->setText(ToQ(entry->GetArtist()));
    edit_tag_title_->setText(ToQ(entry->GetTitle()));
    edit_tag_album_->setText(ToQ(entry->GetAlbum()));
    edit_tag_track_->setText(QString::number(entry->GetTrack()));
    edit_tag_comment_->setText(ToQ(entry->GetComment()));
    combo_box_tag_genre_->setCurrentIndex(GenreEntryOf(entry->GetGenre()));
    edit_tag_year_->setText(ToQ(entry->GetYear()));
}

ambrel::FieldFill CopyOptionsPage::CheckedFields() const {
    ambrel::FieldFill fill;
    fill.artist = IfChecked(fill_[kArtist], edit_tag_artist_);
    fill.title = IfChecked(fill_[kTitle], edit_tag_title_);
    fill.album = IfChecked(fill_[kAlbum], edit_tag_album_);
    fill.track = IfChecked(fill_[kTrack], edit_tag_track_);
    fill.comment = IfChecked(fill_[kComment], edit_tag_comment_);
    // The empty entry (-1) and no entry (-2) are refused by the setter.
    if (fill_[kGenre]->isChecked()) fill.genre = combo_box_tag_genre_->currentIndex() - 1;
    fill.year = IfChecked(fill_[kYear], edit_tag_year_);
    return fill;
}

void CopyOptionsPage::WriteSelectedTags() {
    ambrel::TTagViewer* tags = library_.TagViewer();
    if (tags == nullptr || library_.IsBusy()) return;
    const int row = ambrel::WriteFieldsToRows(*tags, CheckedFields(),
                                              check_box_track1_->isChecked(), &library_.History());
    if (row >= 0) emit tagDetailRequested(row);
}

void CopyOptionsPage::CopyId3v2ToId3v1() {
    if (!RunId3v2Copy(library_, this)) return;
    const ambrel::TTagViewer* tags = library_.TagViewer();
    if (tags != nullptr) emit tagDetailRequested(tags->Table()->FirstSelected());
}

void CopyOptionsPage::EditTagTrackChange() {
    fill_[kTrack]->setChecked(ambrel::StrToInt(FromQ(edit_tag_track_->text())) != 0);
}

void CopyOptionsPage::ComboBoxTagGenreChange(int index) { fill_[kGenre]->setChecked(index != 0); }

}  // namespace ambrel::ui
