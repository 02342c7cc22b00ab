#include "ui/actions/rename_pages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QToolButton>
#include <memory>

#include "actions/tag_processor.h"
#include "actions/templates.h"
#include "library/library.h"
#include "ui/actions/panel_controls.h"
#include "ui/actions/preview_dialog.h"
#include "ui/actions/up_down.h"
#include "ui/common/command_guard.h"
#include "ui/common/icons.h"
#include "ui/common/qt_text.h"

namespace ambrel::ui {

namespace {

const QStringList kInWordItems = {"Show must go on", "Show-must-go-on", "Show_must_go_on",
                                  "Show.must.go.on"};
const QStringList kWordItems = {"Queen Show Must go on", "Queen-Show Must go on",
                                "Queen_Show Must go on", "Queen.Show Must go on"};
const QStringList kSpaceItems = {" (empty space)", "-", "_", "."};
const QStringList kCaseItems = {"No change in letters", "GABRIELLE - OUT OF REACH",
                                "gabrielle - out of reach", "Gabrielle - Out Of Reach"};
const QStringList kExampleSong = {"Track: 12", "Artist: Queen", "Song title: Show must go on",
                                  "Album: Innuendo"};

// The digit count box's range.
constexpr int kMaxTrackDigits = 100;
constexpr int kDefaultTrackDigits = 2;

const RenamePageNames kFileRenameNames = {"TabSheet1",
                                          "Label21",
                                          "Memo2",
                                          "Label4",
                                          "File name will looks like (choose template)",
                                          "ListBoxFR",
                                          "Label1",
                                          "ComboBoxFRInWord",
                                          "Label2",
                                          "ComboBoxFRWord",
                                          "CheckBoxFRSpace",
                                          "Label15",
                                          "ComboBoxFRSpaceSeparator",
                                          "Label3",
                                          "ComboBoxFRCase",
                                          "Label20",
                                          "ComboBoxFRMask",
                                          "SpeedButtonFR",
                                          "Rename selected files",
                                          "SpeedButtonFRPreview"};

const RenamePageNames kTagRenameNames = {"TabSheet2",
                                         "Label5",
                                         "Memo1",
                                         "Label19",
                                         "Your mp3's looks like (choose template)",
                                         "ListBoxTR",
                                         "Label6",
                                         "ComboBoxTRInWord",
                                         "Label7",
                                         "ComboBoxTRWord",
                                         "CheckBoxTRSpace",
                                         "Label17",
                                         "ComboBoxTRSpaceSeparator",
                                         "Label8",
                                         "ComboBoxTRCase",
                                         "Label18",
                                         "ComboBoxTRMask",
                                         "SpeedButtonTR",
                                         "Rename selected tags",
                                         "SpeedButtonTRPreview"};

// The fixed description of the example song: a memo without a frame or a background of its
// own, just tall enough for its four lines.
QPlainTextEdit* MakeExampleMemo(const char* name, QWidget* parent) {
    auto* memo = new QPlainTextEdit(kExampleSong.join(QLatin1Char('\n')), parent);
    memo->setObjectName(QLatin1String(name));
    memo->setReadOnly(true);
    memo->setFrameShape(QFrame::NoFrame);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setFocusPolicy(Qt::NoFocus);
    // The page's own background shows through.
    memo->viewport()->setAutoFillBackground(false);
    QPalette palette = memo->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    memo->setPalette(palette);
    memo->document()->setDocumentMargin(0);
    const int lines = static_cast<int>(kExampleSong.size());
    memo->setFixedHeight(memo->fontMetrics().lineSpacing() * lines + 4);
    return memo;
}

}  // namespace

// --- What both pages share -----------------------------------------------------------

RenamePage::RenamePage(const RenamePageNames& names, ambrel::Library& library, QWidget* parent)
    : QWidget(parent), library_(library) {
    setObjectName(QLatin1String(names.page));
    example_memo_ = MakeExampleMemo(names.example_memo, this);
    example_label_ = MakeLabel(names.example_label, QStringLiteral("Example song"), this);
    list_ = new QListWidget(this);
    list_->setObjectName(QLatin1String(names.list));
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setTextElideMode(Qt::ElideRight);
    list_label_ = MakeLabel(names.list_label, QLatin1String(names.list_caption), this, list_);
    list_label_->setWordWrap(true);

    in_word_ = MakeListBox(names.in_word, kInWordItems, 0, this);
    in_word_label_ =
        MakeLabel(names.in_word_label, QStringLiteral("In word separator"), this, in_word_);
    word_ = MakeListBox(names.word, kWordItems, 1, this);
    word_label_ = MakeLabel(names.word_label, QStringLiteral("Word separator"), this, word_);
    with_spaces_ = new QCheckBox(QStringLiteral("Word separator with spaces"), this);
    with_spaces_->setObjectName(QLatin1String(names.with_spaces));
    with_spaces_->setChecked(true);
    space_ = MakeListBox(names.space, kSpaceItems, 0, this);
    space_label_ = MakeLabel(names.space_label, QStringLiteral("Space separator"), this, space_);
    case_ = MakeListBox(names.case_box, kCaseItems, 0, this);
    case_label_ = MakeLabel(names.case_label, QStringLiteral("Letter case"), this, case_);

    mask_ = new QComboBox(this);
    mask_->setObjectName(QLatin1String(names.mask));
    mask_->setEditable(true);
    // The run remembers a mask; Enter alone adds none.
    mask_->setInsertPolicy(QComboBox::NoInsert);
    mask_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    mask_->setMinimumContentsLength(4);
    mask_label_ = MakeLabel(names.mask_label, QStringLiteral("User mask"), this, mask_);

    button_ = MakeButton(names.button, QLatin1String(names.button_caption), Picture::kRename, this);
    preview_button_ = new QToolButton(this);
    preview_button_->setObjectName(QLatin1String(names.preview_button));
    preview_button_->setText(QStringLiteral("Preview"));
    preview_button_->setToolTip(QStringLiteral("Show what the run would do, without doing it"));

    for (QComboBox* box : {in_word_, word_, space_, case_}) {
        connect(box, &QComboBox::currentIndexChanged, this, [this] { FillTemplates(); });
    }
    connect(with_spaces_, &QCheckBox::toggled, this, [this] { FillTemplates(); });
}

void RenamePage::LayOut(QGridLayout* extra) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(kPageMargin, kPageMargin, kPageMargin, kPageMargin);
    grid->setHorizontalSpacing(kPageSpacing);
    grid->setVerticalSpacing(kPageSpacing);
    grid->setColumnStretch(1, 1);
    int row = 0;
    grid->addWidget(example_label_, row++, 0, 1, 2);
    grid->addWidget(example_memo_, row++, 0, 1, 2);
    grid->addWidget(list_label_, row++, 0, 1, 2);
    grid->addWidget(list_, row++, 0, 1, 2);
    // Each list box under its label, across the page: beside it, the box would be too narrow
    // for its longest item ("GABRIELLE - OUT OF REACH").
    const auto stack = [&](QLabel* label, QWidget* box) {
        grid->addWidget(label, row++, 0, 1, 2);
        grid->addWidget(box, row++, 0, 1, 2);
    };
    stack(in_word_label_, in_word_);
    stack(word_label_, word_);
    grid->addWidget(with_spaces_, row++, 0, 1, 2);
    stack(space_label_, space_);
    stack(case_label_, case_);
    if (extra != nullptr) grid->addLayout(extra, row++, 0, 1, 2);
    grid->addWidget(mask_label_, row, 0);
    grid->addWidget(mask_, row++, 1);
    // Room the window has beyond its designed height goes above the button.
    grid->setRowStretch(row++, 1);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(kPageSpacing);
    buttons->addWidget(preview_button_);
    buttons->addWidget(button_, 1);
    grid->addLayout(buttons, row, 0, 1, 2);
    // The preview button stands as tall as the run button beside it.
    preview_button_->setFixedHeight(button_->sizeHint().height());
}

void RenamePage::ShowTemplates(const std::vector<std::string>& lines) {
    list_->clear();
    for (const std::string& line : lines) list_->addItem(ToQ(line));
    // The template lines show whole, without a scroll bar.
    list_->setFixedHeight(list_->sizeHintForRow(0) * list_->count() + 2 * list_->frameWidth());
}

void RenamePage::RememberMask() {
    const QString text = mask_->currentText();
    if (text.isEmpty() || mask_->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0)
        return;
    mask_->addItem(text);
    mask_->setCurrentIndex(mask_->count() - 1);
}

ambrel::SeparatorChoice RenamePage::Separators() const {
    ambrel::SeparatorChoice separators;
    separators.in_word = in_word_->currentIndex();
    separators.word = word_->currentIndex();
    separators.word_with_spaces = with_spaces_->isChecked();
    separators.space = space_->currentIndex();
    return separators;
}

int RenamePage::CaseMode() const { return case_->currentIndex(); }

int RenamePage::SelectedTemplate() const {
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    return selected.isEmpty() ? -1 : list_->row(selected.front());
}

ambrel::RenamePageState RenamePage::PageState() const {
    return {Separators(), CaseMode(), BuildMask(SelectedTemplate())};
}

void RenamePage::ShowPreview(PreviewDialog* dialog) {
    const std::unique_ptr<PreviewDialog> owned(dialog);
    if (dialog->exec() == QDialog::Accepted) button_->click();
}

std::optional<std::string> RenamePage::BuildMask(int item_index) const {
    return ambrel::BuildMask(item_index, Separators().WordSeparator(), FromQ(mask_->currentText()));
}

// --- File rename ---------------------------------------------------------------------

FileRenamePage::FileRenamePage(ambrel::Library& library, QWidget* parent)
    : RenamePage(kFileRenameNames, library, parent) {
    edit_track_numbers_ = new QLineEdit(QString::number(kDefaultTrackDigits), this);
    edit_track_numbers_->setObjectName(QStringLiteral("EditTrackNumbers"));
    edit_track_numbers_->setReadOnly(true);
    edit_track_numbers_->setAlignment(Qt::AlignRight);
    edit_track_numbers_->setFixedWidth(
        edit_track_numbers_->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 12);
    up_down_2_ = new UpDown(edit_track_numbers_, 0, kMaxTrackDigits, this);
    up_down_2_->setObjectName(QStringLiteral("UpDown2"));
    label_digits_ = MakeLabel("Label16", QStringLiteral("Number of track characters"), this,
                              edit_track_numbers_);
    label_track_preview_ =
        MakeLabel("LabelTrackPreview", ToQ(ambrel::TrackPreviewText(kDefaultTrackDigits)), this);
    connect(up_down_2_, &UpDown::clicked, this, &FileRenamePage::UpDown2Click);
    connect(button_, &QToolButton::clicked, this, [this] { Guard([this] { RunFileRename(); }); });
    connect(preview_button_, &QToolButton::clicked, this,
            [this] { Guard([this] { PreviewFileRename(); }); });

    // The digit count on a line of its own, with the box and the preview below it.
    auto* digits = new QGridLayout;
    digits->setContentsMargins(0, 0, 0, 0);
    digits->setHorizontalSpacing(0);
    digits->setVerticalSpacing(kPageSpacing);
    digits->addWidget(label_digits_, 0, 0, 1, 4);
    digits->addWidget(edit_track_numbers_, 1, 0);
    digits->addWidget(up_down_2_, 1, 1);
    digits->addItem(new QSpacerItem(kPageSpacing * 2, 0), 1, 2);
    digits->addWidget(label_track_preview_, 1, 3);
    digits->setColumnStretch(3, 1);
    LayOut(digits);
}

int FileRenamePage::TrackDigits() const {
    bool number = false;
    const int digits = edit_track_numbers_->text().toInt(&number);
    return number ? digits : kDefaultTrackDigits;
}

void FileRenamePage::FillFileTemplates() {
    ShowTemplates(ambrel::FileTemplatePreviews(Separators(), CaseMode(), TrackDigits()));
}

void FileRenamePage::UpDown2Click() {
    label_track_preview_->setText(ToQ(ambrel::TrackPreviewText(TrackDigits())));
    FillFileTemplates();
}

void FileRenamePage::RunFileRename() {
    if (library_.IsBusy()) return;
    RememberMask();
    ambrel::TTagViewer* tags = library_.TagViewer();
    ambrel::TTagProcessor* processor = library_.TagProcessor();
    if (tags == nullptr || processor == nullptr) return;
    ambrel::RunFileRename(*tags, *processor, PageState(), TrackDigits());
}

void FileRenamePage::PreviewFileRename() {
    if (library_.IsBusy()) return;
    const ambrel::TTagViewer* tags = library_.TagViewer();
    const ambrel::TTagProcessor* processor = library_.TagProcessor();
    if (tags == nullptr || processor == nullptr) return;
    ShowPreview(MakeFileRenamePreview(
        ambrel::PreviewFileRename(*tags, *processor, PageState(), TrackDigits()), this));
}

// --- Tag rename ----------------------------------------------------------------------

TagRenamePage::TagRenamePage(ambrel::Library& library, QWidget* parent)
    : RenamePage(kTagRenameNames, library, parent) {
    connect(button_, &QToolButton::clicked, this, [this] { Guard([this] { RunTagRename(); }); });
    connect(preview_button_, &QToolButton::clicked, this,
            [this] { Guard([this] { PreviewTagRename(); }); });
    LayOut(nullptr);
}

void TagRenamePage::FillTagTemplates() { ShowTemplates(ambrel::TagTemplatePreviews(Separators())); }

void TagRenamePage::RunTagRename() {
    if (library_.IsBusy()) return;
    RememberMask();
    ambrel::TTagViewer* tags = library_.TagViewer();
    ambrel::TTagProcessor* processor = library_.TagProcessor();
    if (tags == nullptr || processor == nullptr) return;
    const int row = ambrel::RunTagRename(*tags, *processor, PageState());
    if (row >= 0) emit tagDetailRequested(row);
}

void TagRenamePage::PreviewTagRename() {
    if (library_.IsBusy()) return;
    const ambrel::TTagViewer* tags = library_.TagViewer();
    const ambrel::TTagProcessor* processor = library_.TagProcessor();
    if (tags == nullptr || processor == nullptr) return;
    ShowPreview(
        MakeTagRenamePreview(ambrel::PreviewTagRename(*tags, *processor, PageState()), this));
}

}  // namespace ambrel::ui
