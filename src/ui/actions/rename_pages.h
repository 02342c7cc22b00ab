#pragma once

#include <QWidget>
#include <optional>
#include <string>
#include <vector>

#include "actions/panel_commands.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QToolButton;

namespace ambrel {
class Library;
}  // namespace ambrel

namespace ambrel::ui {

class PreviewDialog;
class UpDown;

// The object names of one rename page's controls, in the order the page shows them.
struct RenamePageNames {
    const char* page;
    const char* example_label;
    const char* example_memo;
    const char* list_label;
    const char* list_caption;
    const char* list;
    const char* in_word_label;
    const char* in_word;
    const char* word_label;
    const char* word;
    const char* with_spaces;
    const char* space_label;
    const char* space;
    const char* case_label;
    const char* case_box;
    const char* mask_label;
    const char* mask;
    const char* button;
    const char* button_caption;
    const char* preview_button;
};

// What the two rename pages share: the example song, the template list, the three
// separator boxes with "Word separator with spaces", the letter case box, the user mask box
// with the masks used before, and the run button across the bottom with "Preview" beside it.
// Each separator and case control fills the template list again (which loses its selection).
class RenamePage : public QWidget {
    Q_OBJECT

public:
    // The run button across the bottom and "Preview" beside it, which the panel greys
    // during a load.
    QToolButton* RunButton() const { return button_; }
    QToolButton* PreviewButton() const { return preview_button_; }

protected:
    RenamePage(const RenamePageNames& names, ambrel::Library& library, QWidget* parent);

    // Lays the controls out top to bottom; the rows of extra (none for no rows) stand
    // between the letter case and the user mask.
    void LayOut(QGridLayout* extra);
    // Fills the template list again from the page's boxes.
    virtual void FillTemplates() = 0;
    // Replaces the template list's lines; its selection is lost.
    void ShowTemplates(const std::vector<std::string>& lines);
    // Adds the user mask to its box's items unless it is empty or there already.
    void RememberMask();
    // The item indexes of the separator boxes and the check box, and the letter case mode.
    ambrel::SeparatorChoice Separators() const;
    int CaseMode() const;
    // The mask of a template item as this page's boxes build it: items 0..4 with the word
    // separator text, 5 the user mask; none for item 6, no selection and any other index.
    std::optional<std::string> BuildMask(int item_index) const;
    // The template list's selected item, -1 for none.
    int SelectedTemplate() const;
    // The separators, the letter case and the mask of the selected template: what the run
    // button hands to the core.
    ambrel::RenamePageState PageState() const;
    // Shows the preview dialog (made by the page, owned here) and runs the page's button
    // when the user chooses "Apply".
    void ShowPreview(PreviewDialog* dialog);

    ambrel::Library& library_;
    QToolButton* button_ = nullptr;
    QToolButton* preview_button_ = nullptr;

private:
    QLabel* example_label_ = nullptr;
    QPlainTextEdit* example_memo_ = nullptr;
    QLabel* list_label_ = nullptr;
    QListWidget* list_ = nullptr;
    QLabel* in_word_label_ = nullptr;
    QComboBox* in_word_ = nullptr;
    QLabel* word_label_ = nullptr;
    QComboBox* word_ = nullptr;
    QCheckBox* with_spaces_ = nullptr;
    QLabel* space_label_ = nullptr;
    QComboBox* space_ = nullptr;
    QLabel* case_label_ = nullptr;
    QComboBox* case_ = nullptr;
    QLabel* mask_label_ = nullptr;
    QComboBox* mask_ = nullptr;
};

// The "File rename" page: renames the selected rows' files from their tags.
class FileRenamePage : public RenamePage {
    Q_OBJECT

public:
    FileRenamePage(ambrel::Library& library, QWidget* parent = nullptr);

    void FillFileTemplates();
    std::optional<std::string> BuildFileMask(int item_index) const { return BuildMask(item_index); }
    // Nothing while the library is busy with a load.
    void RunFileRename();
    // "Preview": what RunFileRename would do now, with "Apply" to run it; nothing while busy.
    void PreviewFileRename();
    // The digit count changed: the track preview follows and the list is filled again.
    void UpDown2Click();

protected:
    void FillTemplates() override { FillFileTemplates(); }

private:
    // The number in the digit count box; 2 when its text is none.
    int TrackDigits() const;

    QLabel* label_digits_ = nullptr;
    QLineEdit* edit_track_numbers_ = nullptr;
    UpDown* up_down_2_ = nullptr;
    QLabel* label_track_preview_ = nullptr;
};

// The "Tag rename" page: fills the selected rows' tags from their file names.
class TagRenamePage : public RenamePage {
    Q_OBJECT

public:
    TagRenamePage(ambrel::Library& library, QWidget* parent = nullptr);

    void FillTagTemplates();
    std::optional<std::string> BuildTagMask(int item_index) const { return BuildMask(item_index); }
    // Nothing while the library is busy with a load.
    void RunTagRename();
    // "Preview": what RunTagRename would do now, with "Apply" to run it; nothing while busy.
    void PreviewTagRename();

signals:
    // A run ended: the tag detail panel is to show this row.
    void tagDetailRequested(int row);

protected:
    void FillTemplates() override { FillTagTemplates(); }
};

}  // namespace ambrel::ui
