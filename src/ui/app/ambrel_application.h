#pragma once

#include <QApplication>
#include <exception>
#include <functional>
#include <memory>

namespace ambrel {
class Prompter;
}

namespace ambrel::ui {

// The application object. An exception that escapes an event handler is shown in
// the application's exception box (the prompter's Error), and the program goes on.
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
    // Runs a command, showing an exception that escapes it in the application's
    // exception box. Commands run this way never unwind through Qt's own frames.
    static void Guard(const std::function<void()>& command);

private:
    std::unique_ptr<ambrel::Prompter> own_prompter_;
    ambrel::Prompter* prompter_;
};

}  // namespace ambrel::ui
