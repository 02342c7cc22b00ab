#pragma once

#include <QWidget>
#include <string>
#include <vector>

namespace ambrel {
class Library;
class ProcessView;
class Prompter;
}  // namespace ambrel

namespace ambrel::ui {

class FileViewerPages;

// The file viewer: the left one of the three side-by-side windows. Its pages own the
// model (TFileViewer and its browser) for the window's whole life, so closing the window
// only hides it and showing it again goes on where it was.
class TForm2 : public QWidget {
    Q_OBJECT

public:
    // The load commands fill the library's tag list and table and report through its error
    // log; the browser speaks through the prompter. Neither is owned.
    TForm2(ambrel::Library& library, ambrel::Prompter& prompter, QWidget* parent = nullptr);
    // The same, opening on the folder start_path rather than on the root of the volume that
    // holds the working directory.
    TForm2(ambrel::Library& library, ambrel::Prompter& prompter, const std::string& start_path,
           QWidget* parent = nullptr);

    FileViewerPages* Pages() const { return pages_; }
    // The process dialog the copy, move and delete commands run in (not owned).
    void SetProcessDialog(ambrel::ProcessView* dialog);

public slots:
    // The main window saved tags to these files: a file list that shows tag status
    // follows (FileViewerPages::AfterTagsSaved).
    void AfterTagsSaved(const std::vector<std::string>& paths);

signals:
    // The user closed the window; the main window clears its flag and places the windows.
    void closed();
    // The ID3v1 text encoding changed on the Settings page.
    void codePageChanged();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    FileViewerPages* pages_ = nullptr;
};

}  // namespace ambrel::ui
