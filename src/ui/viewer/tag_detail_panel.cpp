#include "ui/viewer/tag_detail_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <algorithm>
#include <utility>

#include "platform/report_view.h"
#include "tag/tag_file.h"
#include "ui/common/combo_width.h"
#include "ui/common/genre_entries.h"
#include "ui/common/icons.h"
#include "ui/common/qt_text.h"
#include "ui/viewer/field_width_validator.h"
#include "ui/viewer/id3v2_values_view.h"
#include "viewer/detail_commands.h"
#include "viewer/tag_viewer.h"

namespace ambrel::ui {
namespace {

// QLineEdit's own default: in effect no limit.
constexpr int kNoLimit = 32767;
// Widths of the text fields of an ID3v1 block, in bytes of its code page: a character takes
// one or, in a double-byte page, two, which the boxes' validators count.
constexpr int kTextLimit = static_cast<int>(id3v1::kArtistWidth);
constexpr int kCommentLimit = static_cast<int>(id3v1::kCommentWidth);
constexpr int kYearLimit = 4;
constexpr int kTrackLimit = 2;
// The panel's margins and the gaps between the groups of its last line, in pixels.
constexpr int kMargin = 6;
constexpr int kGap = 4;

QLineEdit* MakeEdit(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption, QWidget* buddy) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->setBuddy(buddy);
    return label;
}

// Hidden fields keep their room, so the panel does not jump when "Tag present" changes.
void KeepRoomWhenHidden(QWidget* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

}  // namespace

TagDetailPanel::TagDetailPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TagDetailPanel"));
    BuildControls();
    LayOutControls();
}

TagDetailPanel::~TagDetailPanel() = default;

void TagDetailPanel::BuildControls() {
    check_box_tag_present_ = new QCheckBox(tr("Tag present"), this);
    check_box_tag_present_->setObjectName(QStringLiteral("CheckBoxTagPresent"));
    // clicked() comes from the user only; ShowTagDetail's setChecked must not re-enter.
    connect(check_box_tag_present_, &QCheckBox::clicked, this,
            &TagDetailPanel::CheckBoxTagPresentClick);

    edit_tag_artist_ = MakeEdit(this, "EditTagArtist");
    label_tag_artist_ = MakeLabel(this, "LabelTagArtist", tr("Artist"), edit_tag_artist_);
    edit_tag_title_ = MakeEdit(this, "EditTagTitle");
    label_tag_title_ = MakeLabel(this, "LabelTagTitle", tr("Song title"), edit_tag_title_);
    edit_tag_album_ = MakeEdit(this, "EditTagAlbum");
    label_tag_album_ = MakeLabel(this, "LabelTagAlbum", tr("Album"), edit_tag_album_);
    edit_tag_comment_ = MakeEdit(this, "EditTagComment");
    label_tag_comment_ = MakeLabel(this, "LabelTagComment", tr("Comment"), edit_tag_comment_);
    edit_tag_year_ = MakeEdit(this, "EditTagYear");
    edit_tag_year_->setMaxLength(kYearLimit);
    label_tag_year_ = MakeLabel(this, "LabelTagYear", tr("Year"), edit_tag_year_);
    edit_tag_track_ = MakeEdit(this, "EditTagTrack");
    edit_tag_track_->setMaxLength(kTrackLimit);
    label_tag_track_ = MakeLabel(this, "LabelTagTrack", tr("Track"), edit_tag_track_);

    combo_box_tag_genre_ = new QComboBox(this);
    combo_box_tag_genre_->setObjectName(QStringLiteral("ComboBoxTagGenre"));
    combo_box_tag_genre_->setEditable(false);
    combo_box_tag_genre_->addItems(GenreEntries());
    combo_box_tag_genre_->setMaxVisibleItems(20);
    // As wide as the longest name, so that the genre chosen shows whole.
    combo_box_tag_genre_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    combo_box_tag_genre_->setMinimumWidth(WidthShowingEveryItem(*combo_box_tag_genre_));
    label_tag_genre_ = MakeLabel(this, "LabelTagGenre", tr("Genre"), combo_box_tag_genre_);

    speed_button_tag_save_ = new QToolButton(this);
    speed_button_tag_save_->setObjectName(QStringLiteral("SpeedButtonTagSave"));
    speed_button_tag_save_->setText(tr("Save tag"));
    speed_button_tag_save_->setIcon(MenuPicture(Picture::kSave));
    speed_button_tag_save_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(speed_button_tag_save_, &QToolButton::clicked, this, &TagDetailPanel::saveClicked);
    id3v2_ = std::make_unique<Id3v2ValuesView>(this);
}

void TagDetailPanel::LayOutControls() {
    // Year and Track hold 4 and 2 digits: boxes just wide enough for those.
    const int digit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
    edit_tag_year_->setFixedWidth(digit * 4 + 16);
    edit_tag_track_->setFixedWidth(digit * 3 + 16);  // room for a stored three-digit track
    edit_tag_year_->setAlignment(Qt::AlignRight);
    edit_tag_track_->setAlignment(Qt::AlignRight);

    auto* grid = new QGridLayout(this);
    // Narrow margins and gaps: the panel must fit the main window between the two side
    // windows on a 1024-pixel screen, window frames included.
    grid->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setColumnMinimumWidth(2, 0);
    // "Save tag" stands at the right of the first line, so that the last line leaves the
    // genre box the width of its longest name on a 1024-pixel screen.
    grid->addWidget(check_box_tag_present_, 0, 0, 1, 3, Qt::AlignLeft);
    grid->addWidget(speed_button_tag_save_, 0, 3, Qt::AlignRight);
    grid->addWidget(label_tag_artist_, 1, 0);
    grid->addWidget(edit_tag_artist_, 1, 1);
    grid->addWidget(label_tag_title_, 1, 2);
    grid->addWidget(edit_tag_title_, 1, 3);
    grid->addWidget(label_tag_album_, 2, 0);
    grid->addWidget(edit_tag_album_, 2, 1);
    grid->addWidget(label_tag_comment_, 2, 2);
    grid->addWidget(edit_tag_comment_, 2, 3);

    // Last line: Year, Track and Genre side by side.
    auto* line = new QHBoxLayout;
    line->addWidget(edit_tag_year_);
    line->addSpacing(kGap);
    line->addWidget(label_tag_track_);
    line->addWidget(edit_tag_track_);
    line->addSpacing(kGap);
    line->addWidget(label_tag_genre_);
    line->addWidget(combo_box_tag_genre_);
    line->addStretch(1);
    grid->addWidget(label_tag_year_, 3, 0);
    grid->addLayout(line, 3, 1, 1, 3);
    // The ID3v2 values stay in sight when the ID3v1 fields are hidden: they are what a
    // file without an ID3v1 tag may get one from.
    grid->addWidget(id3v2_->Label(), 4, 0);
    grid->addWidget(id3v2_->Box(), 4, 1, 1, 3);
    grid->setRowStretch(5, 1);

    for (QWidget* widget : TagFields()) KeepRoomWhenHidden(widget);
}

QList<QWidget*> TagDetailPanel::TagFields() const {
    return {label_tag_artist_, edit_tag_artist_,     label_tag_title_,      edit_tag_title_,
            label_tag_album_,  edit_tag_album_,      label_tag_comment_,    edit_tag_comment_,
            label_tag_year_,   edit_tag_year_,       label_tag_track_,      edit_tag_track_,
            label_tag_genre_,  combo_box_tag_genre_, speed_button_tag_save_};
}

void TagDetailPanel::Bind(ambrel::TTagViewer* viewer, ambrel::TBatchHistory* history) {
    viewer_ = viewer;
    history_ = history;
}

int TagDetailPanel::CurrentRow() const {
    if (viewer_ == nullptr || viewer_->Table() == nullptr) return -1;
    return viewer_->Table()->FirstSelected();
}

bool TagDetailPanel::ShowTagDetail(int row) {
    if (viewer_ == nullptr) return false;
    const TTagFile* file = viewer_->EntryAt(row);
    id3v2_->Show(file);
    if (file == nullptr) {
        ClearTagDetail();
        return false;
    }
    const TagState state = file->GetState();
    const bool present = state == tsPresent || state == tsAppend;
    check_box_tag_present_->setChecked(present);
    ShowTagFields(present);
    // Hidden fields keep whatever they held.
    if (!present) return true;

    SetTextLimits(file->GetKind() == TagKind::kId3v1);
    edit_tag_artist_->setText(ToQ(file->GetArtist()));
    edit_tag_title_->setText(ToQ(file->GetTitle()));
    edit_tag_album_->setText(ToQ(file->GetAlbum()));
    edit_tag_comment_->setText(ToQ(file->GetComment()));
    edit_tag_year_->setText(ToQ(file->GetYear()));
    // The box holds two characters, but a stored track of 100..255 is shown whole: cut
    // to two digits it would be written back as another number at the next save.
    const QString track = QString::number(file->GetTrack());
    edit_tag_track_->setMaxLength(std::max(kTrackLimit, static_cast<int>(track.size())));
    edit_tag_track_->setText(track);
    // Genre numbers without a name (148..255, 254 and 255 included) select no entry.
    combo_box_tag_genre_->setCurrentIndex(GenreEntryOf(file->GetGenre()));
    return true;
}

void TagDetailPanel::SetTextLimits(bool id3v1) {
    const std::pair<QLineEdit*, int> limits[] = {{edit_tag_artist_, kTextLimit},
                                                 {edit_tag_title_, kTextLimit},
                                                 {edit_tag_album_, kTextLimit},
                                                 {edit_tag_comment_, kCommentLimit}};
    for (const auto& [edit, limit] : limits) {
        edit->setMaxLength(id3v1 ? limit : kNoLimit);
        auto* validator = edit->findChild<FieldWidthValidator*>();
        if (validator == nullptr) {
            validator = new FieldWidthValidator(static_cast<std::size_t>(limit), edit);
        }
        edit->setValidator(id3v1 ? validator : nullptr);
    }
}

void TagDetailPanel::ClearTagDetail() {
    for (QLineEdit* edit : {edit_tag_artist_, edit_tag_title_, edit_tag_album_, edit_tag_comment_,
                            edit_tag_year_, edit_tag_track_}) {
        edit->clear();
    }
    combo_box_tag_genre_->setCurrentIndex(0);
    check_box_tag_present_->setChecked(false);
}

void TagDetailPanel::ShowTagFields(bool visible) {
    for (QWidget* widget : TagFields()) widget->setVisible(visible);
}

bool TagDetailPanel::SetTagPresent(bool present, int row) {
    if (viewer_ == nullptr) return false;
    TTagFile* file = viewer_->EntryAt(row);
    if (file == nullptr) return false;
    ambrel::SetTagPresent(*file, present, history_);
    return true;
}

bool TagDetailPanel::StoreTagDetail(int row) {
    if (viewer_ == nullptr) return false;
    TTagFile* file = viewer_->EntryAt(row);
    if (file == nullptr) return false;
    ambrel::StoreTagDetail(*file, Fields(), history_);
    return true;
}

ambrel::TagDetailFields TagDetailPanel::Fields() const {
    ambrel::TagDetailFields fields;
    fields.artist = FromQ(edit_tag_artist_->text());
    fields.title = FromQ(edit_tag_title_->text());
    fields.album = FromQ(edit_tag_album_->text());
    fields.comment = FromQ(edit_tag_comment_->text());
    fields.year = FromQ(edit_tag_year_->text());
    fields.track = FromQ(edit_tag_track_->text());
    fields.genre = combo_box_tag_genre_->currentIndex() - 1;
    return fields;
}

void TagDetailPanel::CheckBoxTagPresentClick(bool checked) {
    const int row = CurrentRow();
    SetTagPresent(checked, row);
    if (viewer_ == nullptr) {
        // Nothing to change: the box must not claim a tag it cannot add.
        ClearTagDetail();
        return;
    }
    ShowTagDetail(row);
    viewer_->UpdateRow(row);
}

}  // namespace ambrel::ui
