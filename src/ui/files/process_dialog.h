#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <functional>
#include <string>

#include "platform/process_view.h"

class QProgressBar;
class QPushButton;
class QTextEdit;

namespace ambrel::ui {

// A label for a path: a text wider than the label is cut in the middle, so a long path
// never widens the fixed dialog; the whole text stays in the tool tip.
class ElidedLabel : public QLabel {
public:
    explicit ElidedLabel(QWidget* parent = nullptr);
    void SetFullText(const QString& text);
    const QString& FullText() const { return full_text_; }
    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Elide();

    QString full_text_;
};

// A progress bar of the dialog as the core drives it. The core counts in whole KiB; the
// values are clamped to what a QProgressBar holds.
class ProcessBar : public ambrel::ProgressBar {
public:
    // after_change runs after every change, so the dialog can paint now and then.
    ProcessBar(QProgressBar* bar, std::function<void()> after_change);
    void SetMaximum(long long maximum) override;
    void SetPosition(long long position) override;
    // The values as the core gave them, clamped.
    int Maximum() const { return maximum_; }
    int Position() const { return position_; }

private:
    QProgressBar* bar_;
    int maximum_ = 0;
    int position_ = 0;
    std::function<void()> after_change_;
};

// The process dialog: the file viewer's copy, move and delete commands run over their list
// of files inside it. Made once and shown modally by each command. The run starts when the
// dialog has been shown and ends before its modal loop begins; the first paint after a run
// without failures closes the dialog, while after a failure it stays open with the error
// list until "Close window" or the window's own close.
class TForm4 : public QDialog, public ambrel::ProcessView {
    Q_OBJECT

public:
    explicit TForm4(QWidget* parent = nullptr);
    ~TForm4() override;

    // ambrel::ProcessView
    void ShowModal(const std::function<int()>& run) override;
    void SetCaption(const std::string& caption) override;
    void SetFromLabel(const std::string& text) override;
    void SetSource(const std::string& path) override;
    void SetDestination(const std::string& path) override;
    ProcessBar& CurrentFileBar() override { return current_file_bar_; }
    ProcessBar& AllFilesBar() override { return all_files_bar_; }
    void ClearErrors() override;
    void AppendError(const std::string& path, const std::string& message) override;
    void SetCloseEnabled(bool enabled) override;
    void ProcessEventsOnce() override;

    // Whether the next paint closes the dialog: the last run ended without a failure.
    bool CloseWhenDone() const { return close_when_done_; }
    bool Running() const { return running_; }

    void setVisible(bool visible) override;
    // Closing is refused while a run is in hand.
    void reject() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void BuildControls();
    // Runs the pending run, once the dialog is up and before its modal loop.
    void FormActivate();
    void Button1Click();
    // The run does not return to the event loop; painting the dialog now and then keeps
    // the bars and the path in hand moving without handling any input.
    void PaintNowAndThen();
    void Centre();

    QLabel* label_from_ = nullptr;
    ElidedLabel* label_source_ = nullptr;
    ElidedLabel* label_destination_ = nullptr;
    QProgressBar* progress_bar_current_file_ = nullptr;
    QProgressBar* progress_bar_all_files_ = nullptr;
    QTextEdit* rich_edit_errors_ = nullptr;
    QPushButton* button1_ = nullptr;
    ProcessBar current_file_bar_;
    ProcessBar all_files_bar_;

    std::function<int()> pending_run_;
    bool activation_pending_ = false;
    bool running_ = false;
    bool close_when_done_ = false;
    // Between the end of an activation and the dialog's hiding: only then does a paint
    // close the dialog, so a paint during a run never closes it.
    bool may_close_ = false;
    QElapsedTimer since_paint_;
};

}  // namespace ambrel::ui
