#include <csignal>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "ui/app/ambrel_application.h"
#include "ui/app/start_options.h"
#include "ui/app/window_set.h"

int main(int argc, char* argv[]) {
#ifdef SIGXFSZ
    // A write past the file size limit must fail like any other write, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    // --help and --version answer before Qt starts, so they work without a display.
    const ambrel::ui::StartOptions early =
        ambrel::ui::ReadStartOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (early.answer) {
        std::fputs(early.answer->c_str(), stdout);
        return early.status;
    }
    ambrel::ui::AmbrelApplication app(argc, argv);
    // Qt has taken its own options out of argv; the rest are files and folders to load, as
    // the system gives their bytes (a QString would lose a name that is not UTF-8).
    const ambrel::ui::StartOptions options =
        ambrel::ui::ReadStartOptions(std::vector<std::string>(argv + 1, argv + argc));
    try {
        ambrel::ui::WindowSet windows(nullptr, options.paths);
        windows.Show();
        return app.exec();
    } catch (...) {
        // Something escaped the start-up or the event loop: show it, then end.
        app.ShowException(std::current_exception());
        return 1;
    }
}
