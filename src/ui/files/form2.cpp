#include "ui/files/form2.h"

#include <QCloseEvent>
#include <QVBoxLayout>

#include "platform/prompter.h"
#include "ui/files/file_viewer_pages.h"
#include "ui/viewer/form1.h"

namespace ambrel::ui {

namespace {

// Forwards to the main window's current prompter (nothing once the main window is gone),
// so a prompter set on the main window later speaks for the file viewer too.
class MainWindowPrompter : public ambrel::Prompter {
public:
    explicit MainWindowPrompter(const QPointer<TForm1>* main_window) : main_window_(main_window) {}

    void Message(const std::string& text) override {
        if (Prompter* p = Target()) p->Message(text);
    }
    void Error(const std::string& text) override {
        if (Prompter* p = Target()) p->Error(text);
    }
    void Warning(const std::string& caption, const std::string& text) override {
        if (Prompter* p = Target()) p->Warning(caption, text);
    }
    bool Question(const std::string& caption, const std::string& text) override {
        Prompter* p = Target();
        return p && p->Question(caption, text);
    }
    std::optional<std::string> Query(const std::string& caption, const std::string& prompt,
                                     const std::string& initial) override {
        Prompter* p = Target();
        return p ? p->Query(caption, prompt, initial) : std::nullopt;
    }

private:
    Prompter* Target() const { return *main_window_ ? (*main_window_)->prompter() : nullptr; }

    const QPointer<TForm1>* main_window_;
};

}  // namespace

TForm2::TForm2(QWidget* parent)
    : QWidget(parent, Qt::Window), prompter_(std::make_unique<MainWindowPrompter>(&main_window_)) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("File viewer"));
    // Closing a side window never ends the program; only the main window does.
    setAttribute(Qt::WA_QuitOnClose, false);

    pages_ = new FileViewerPages(FileViewerPages::StartPath(), this);
    pages_->SetPrompter(prompter_.get());
    pages_->SetLoadTarget([this]() -> LoadTarget {
        if (!main_window_) return {};
        return {main_window_->TagList(), main_window_->TagViewer(), main_window_->ErrorLog()};
    });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pages_);
    resize(257, 623);
}

// The pages go first: their browser must not outlive the prompter it speaks through.
TForm2::~TForm2() {
    delete pages_;
    pages_ = nullptr;
}

void TForm2::SetMainWindow(TForm1* main_window) { main_window_ = main_window; }

void TForm2::AfterTagsSaved(const std::vector<std::string>& paths) {
    pages_->AfterTagsSaved(paths);
}

void TForm2::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (event->isAccepted()) emit closed();
}

}  // namespace ambrel::ui
