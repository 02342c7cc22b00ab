#pragma once

#include <QWidget>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace ambrel {
class TBatchHistory;
struct TagDetailFields;
class TTagViewer;
}  // namespace ambrel

namespace ambrel::ui {

class Id3v2ValuesView;

// The "Tag detail" page of the main window: the ID3v1 fields of the current row's file
// in edit boxes, the "Tag present" box that adds or removes the tag, "Save tag", and below
// them, read-only, the file's ID3v2 values. The panel holds no data of its own: it is
// filled from the file each time, and what the user types reaches the file only in
// StoreTagDetail.
class TagDetailPanel : public QWidget {
    Q_OBJECT

public:
    explicit TagDetailPanel(QWidget* parent = nullptr);
    ~TagDetailPanel() override;

    // The table binding the panel reads rows through (nullptr once the model is gone), and
    // the history its two commands record into (none records nothing).
    void Bind(ambrel::TTagViewer* viewer, ambrel::TBatchHistory* history = nullptr);
    ambrel::TTagViewer* Viewer() const { return viewer_; }

    // Fills the panel from the file of the table row. False when there is no viewer, or
    // no file for the row (then the panel is emptied). The ID3v2 values are read from the
    // file only when the row shows another entry than before.
    bool ShowTagDetail(int row);
    // Empties the six boxes, selects the empty genre entry, unticks "Tag present".
    // Leaves the fields' visibility as it is.
    void ClearTagDetail();
    // Shows or hides every control except "Tag present".
    void ShowTagFields(bool visible);
    // Moves the row's file to the tag state that the box's new state asks for. Only the
    // state changes; the file is written at the next save. False without a viewer or file.
    bool SetTagPresent(bool present, int row);
    // Copies the fields into the row's tag and saves the file. A file without a tag, or
    // whose tag is to be removed, takes nothing from the (hidden) fields. False when the
    // row has no file. Throws ambrel::ConversionError when the Track text of a kept tag is
    // not a whole number; the text fields are then already in the tag in memory, track and
    // genre are not, and the file is not written.
    bool StoreTagDetail(int row);

signals:
    // "Save tag" was clicked; the main window saves the current row.
    void saveClicked();

private:
    void CheckBoxTagPresentClick(bool checked);
    void SetTextLimits(bool id3v1);
    // What the boxes hold, for the core's StoreTagDetail.
    ambrel::TagDetailFields Fields() const;
    int CurrentRow() const;
    // Every control of the page except "Tag present".
    QList<QWidget*> TagFields() const;
    void BuildControls();
    void LayOutControls();

    ambrel::TTagViewer* viewer_ = nullptr;
    ambrel::TBatchHistory* history_ = nullptr;

    QCheckBox* check_box_tag_present_ = nullptr;
    QLabel* label_tag_artist_ = nullptr;
    QLineEdit* edit_tag_artist_ = nullptr;
    QLabel* label_tag_title_ = nullptr;
    QLineEdit* edit_tag_title_ = nullptr;
    QLabel* label_tag_album_ = nullptr;
    QLineEdit* edit_tag_album_ = nullptr;
    QLabel* label_tag_comment_ = nullptr;
    QLineEdit* edit_tag_comment_ = nullptr;
    QLabel* label_tag_year_ = nullptr;
    QLineEdit* edit_tag_year_ = nullptr;
    QLabel* label_tag_track_ = nullptr;
    QLineEdit* edit_tag_track_ = nullptr;
    QLabel* label_tag_genre_ = nullptr;
    QComboBox* combo_box_tag_genre_ = nullptr;
    QToolButton* speed_button_tag_save_ = nullptr;
    std::unique_ptr<Id3v2ValuesView> id3v2_;
};

}  // namespace ambrel::ui
