#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

namespace ambrel {
class Prompter;
}  // namespace ambrel

namespace ambrel::ui {

class FileViewerPages;
class TForm1;

// The file viewer: the left one of the three side-by-side windows. Its pages own the
// model (TFileViewer and its browser) for the window's whole life, so closing the window
// only hides it and showing it again goes on where it was.
class TForm2 : public QWidget {
    Q_OBJECT

public:
    explicit TForm2(QWidget* parent = nullptr);
    ~TForm2() override;

    // The main window: the load commands fill its tag list and table, failures go to its
    // error log, and the browser's messages to its prompter.
    void SetMainWindow(TForm1* main_window);
    FileViewerPages* Pages() const { return pages_; }

public slots:
    // The main window saved tags to these files: a file list that shows tag status
    // follows (FileViewerPages::AfterTagsSaved).
    void AfterTagsSaved(const std::vector<std::string>& paths);

signals:
    // The user closed the window; the main window clears its flag and places the windows.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QPointer<TForm1> main_window_;
    // Speaks through whatever prompter the main window has at the time.
    std::unique_ptr<ambrel::Prompter> prompter_;
    FileViewerPages* pages_ = nullptr;
};

}  // namespace ambrel::ui
