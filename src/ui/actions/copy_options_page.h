#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace ambrel {
class Library;
struct FieldFill;
}  // namespace ambrel

namespace ambrel::ui {

class UpDown;

// The "Copy options" page: one set of tag fields, each with a "Fill" box that says whether
// "Write data to mp3 tag(s)" writes it into the selected rows' tags. Typing in a field
// checks its box and emptying it unchecks it; the values can also be read from the current
// row's tag or cleared, or the selected rows' ID3v2 values copied into their tags. Tags
// change in memory only; the main window saves them.
class CopyOptionsPage : public QWidget {
    Q_OBJECT

public:
    explicit CopyOptionsPage(ambrel::Library& library, QWidget* parent = nullptr);

    // Empties the text fields, sets Track to "0" and selects the empty genre entry; the
    // Fill boxes follow their fields, Fill 6 keeps its state.
    void ClearFields();
    // Takes the fields of the row's tag into the boxes; nothing for a row without a file.
    void ReadSelectedTag(int row);
    // Writes the checked fields into every selected row's tag (numbered tracks with
    // "Begin track number in each directory from 1") and asks for the first selected row
    // in the tag detail panel; nothing while the library is busy with a load. Throws
    // ConversionError for a Track text that is no number.
    void WriteSelectedTags();
    // "Copy ID3v2 to ID3v1": previews what copying the selected rows' ID3v2 values into
    // their ID3v1 tags changes and, on Apply, changes it (one batch of the history) and asks
    // for the first selected row in the tag detail panel; nothing while the library is busy
    // or without a selected row.
    void CopyId3v2ToId3v1();
    // "Write data to mp3 tag(s)" and "Copy ID3v2 to ID3v1", which the panel greys during a
    // load.
    QToolButton* WriteButton() const { return speed_button_write_; }
    QToolButton* CopyId3v2Button() const { return speed_button_copy_id3v2_; }
    // The checked fields with their values, as the write takes them.
    ambrel::FieldFill CheckedFields() const;

signals:
    // The tag detail panel is to show this row.
    void tagDetailRequested(int row);

private:
    // Typing in the Track box or its arrows: a number other than 0 checks Fill 4, 0
    // unchecks it; a text that is no number throws and leaves the box alone.
    void EditTagTrackChange();
    // Only the user's own choice of a genre runs this: the empty entry unchecks Fill 6.
    void ComboBoxTagGenreChange(int index);
    QLineEdit* AddTextRow(int row, const char* label, const QString& caption, const char* edit,
                          const char* fill);
    QCheckBox* MakeFill(const char* name);
    void LayOutButtons(int row);

    ambrel::Library& library_;
    QLineEdit* edit_tag_artist_ = nullptr;
    QLineEdit* edit_tag_title_ = nullptr;
    QLineEdit* edit_tag_album_ = nullptr;
    QLineEdit* edit_tag_track_ = nullptr;
    UpDown* up_down_1_ = nullptr;
    QLineEdit* edit_tag_comment_ = nullptr;
    QComboBox* combo_box_tag_genre_ = nullptr;
    QLineEdit* edit_tag_year_ = nullptr;
    QCheckBox* fill_[7] = {};
    QCheckBox* check_box_track1_ = nullptr;
    QToolButton* speed_button_clear_ = nullptr;
    QToolButton* speed_button_read_ = nullptr;
    QToolButton* speed_button_write_ = nullptr;
    QToolButton* speed_button_copy_id3v2_ = nullptr;
};

}  // namespace ambrel::ui
