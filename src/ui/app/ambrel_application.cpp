#include "ui/app/ambrel_application.h"

#include <QtDebug>

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
}

AmbrelApplication::~AmbrelApplication() = default;

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

void AmbrelApplication::Guard(const std::function<void()>& command) {
    try {
        command();
    } catch (...) {
        if (AmbrelApplication* app = Instance()) {
            app->ShowException(std::current_exception());
        } else {
            // Only a bare QApplication (a benchmark) runs commands without the box.
            qWarning("A command raised an exception outside AmbrelApplication");
        }
    }
}

}  // namespace ambrel::ui
