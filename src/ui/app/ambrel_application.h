#pragma once

#include <QApplication>
#include <exception>
#include <memory>

namespace ambrel {
class Prompter;
}

namespace ambrel::ui {

// The application object. An exception that escapes an event handler, or a command run
// through Guard (ui/common/command_guard.h), is shown in the application's exception box
// (the prompter's Error), and the program goes on.
class AmbrelApplication : public QApplication {
    Q_OBJECT

public:
    AmbrelApplication(int& argc, char** argv);
    ~AmbrelApplication() override;

    bool notify(QObject* receiver, QEvent* event) override;

    // The prompter of the exception box (not owned); nullptr restores the Qt boxes.
    void SetPrompter(ambrel::Prompter* prompter);
    ambrel::Prompter* prompter() const;

    // Shows the exception: its message for a std::exception, an empty one otherwise.
    void ShowException(std::exception_ptr exception);

    static AmbrelApplication* Instance();

private:
    std::unique_ptr<ambrel::Prompter> own_prompter_;
    ambrel::Prompter* prompter_;
};

}  // namespace ambrel::ui
