#include "ui/app/ambrel_application.h"

#include "ui/common/command_guard.h"
#include "ui/common/icons.h"
#include "ui/common/qt_prompter.h"

namespace ambrel::ui {

AmbrelApplication::AmbrelApplication(int& argc, char** argv)
    : QApplication(argc, argv),
      own_prompter_(std::make_unique<QtPrompter>()),
      prompter_(own_prompter_.get()) {
    // The title is the application's name only: Qt appends a display name to every
    // window's title, and each window's title must be exactly its caption. Boxes
    // without a caption of their own are given the title by the prompter.
    setApplicationName(kApplicationTitle);
    UseIconTheme();
    SetExceptionBox([this](std::exception_ptr exception) { ShowException(exception); });
}

AmbrelApplication::~AmbrelApplication() { SetExceptionBox({}); }

bool AmbrelApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowException(std::current_exception());
    }
    return false;
}

void AmbrelApplication::SetPrompter(ambrel::Prompter* prompter) {
    prompter_ = prompter ? prompter : own_prompter_.get();
}

ambrel::Prompter* AmbrelApplication::prompter() const { return prompter_; }

void AmbrelApplication::ShowException(std::exception_ptr exception) {
    std::string message;
    try {
        std::rethrow_exception(exception);
    } catch (const std::exception& e) {
        message = e.what();
    } catch (...) {
        // An exception of a kind the program does not know shows an empty message.
    }
    prompter_->Error(message);
}

AmbrelApplication* AmbrelApplication::Instance() {
    return qobject_cast<AmbrelApplication*>(QCoreApplication::instance());
}

}  // namespace ambrel::ui
