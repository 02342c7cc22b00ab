#include <csignal>
#include <exception>

#include "ui/app/ambrel_application.h"
#include "ui/app/window_set.h"

int main(int argc, char* argv[]) {
#ifdef SIGXFSZ
    // A write past the file size limit must fail like any other write, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    ambrel::ui::AmbrelApplication app(argc, argv);
    try {
        ambrel::ui::WindowSet windows;
        windows.Show();
        return app.exec();
    } catch (...) {
        // Something escaped the start-up or the event loop: show it, then end.
        app.ShowException(std::current_exception());
        return 1;
    }
}
