#include <exception>

#include "ui/app/ambrel_application.h"
#include "ui/app/window_set.h"

int main(int argc, char* argv[]) {
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
