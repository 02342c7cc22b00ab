#pragma once

#include <QWidget>

class QTabWidget;

namespace ambrel {
class Library;
}  // namespace ambrel

namespace ambrel::ui {

class CopyOptionsPage;
class FileRenamePage;
class TagRenamePage;

// The action panel: the right one of the three side-by-side windows. Its pages work on the
// main window's selected rows through the library: "File rename" renames their files from
// their tags, "Tag rename" fills their tags from their file names, "Copy options" writes
// one set of fields, or each file's ID3v2 values, into their tags.
class TForm3 : public QWidget {
    Q_OBJECT

public:
    // The library is not owned and must outlive the window.
    explicit TForm3(ambrel::Library& library, QWidget* parent = nullptr);

    // Fills both template lists from their pages' boxes.
    void FillTemplateLists();

    QTabWidget* PageControl1() const { return page_control_1_; }

public slots:
    // The "Copy options" page's "Copy ID3v2 to ID3v1", which the main menu runs too.
    void CopyId3v2ToId3v1();

signals:
    // The user closed the window; the main window clears its flag and places the windows.
    void closed();
    // A command changed tags: the main window's tag detail panel is to show this row.
    void tagDetailRequested(int row);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QTabWidget* page_control_1_ = nullptr;
    FileRenamePage* file_rename_ = nullptr;
    TagRenamePage* tag_rename_ = nullptr;
    CopyOptionsPage* copy_options_ = nullptr;
};

}  // namespace ambrel::ui
