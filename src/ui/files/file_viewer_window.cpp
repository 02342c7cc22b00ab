#include "ui/files/file_viewer_window.h"

#include <QCloseEvent>
#include <QVBoxLayout>

#include "ui/files/file_viewer_pages.h"

namespace ambrel::ui {

TForm2::TForm2(ambrel::Library& library, ambrel::Prompter& prompter, QWidget* parent)
    : TForm2(library, prompter, FileViewerPages::StartPath(), parent) {}

TForm2::TForm2(ambrel::Library& library, ambrel::Prompter& prompter, const std::string& start_path,
               QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("File viewer"));
    // Closing a side window never ends the program; only the main window does.
    setAttribute(Qt::WA_QuitOnClose, false);

    pages_ = new FileViewerPages(start_path, library, prompter, this);
    connect(pages_, &FileViewerPages::codePageChanged, this, &TForm2::codePageChanged);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(pages_);
    resize(257, 623);
}

void TForm2::SetProcessDialog(ambrel::ProcessView* dialog) { pages_->SetProcessView(dialog); }

void TForm2::AfterTagsSaved(const std::vector<std::string>& paths) {
    pages_->AfterTagsSaved(paths);
}

void TForm2::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (event->isAccepted()) emit closed();
}

}  // namespace ambrel::ui
