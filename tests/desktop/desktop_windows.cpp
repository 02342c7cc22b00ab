// The program's windows as on a desktop, for a test that reads them through a window
// manager: the main window with its two side windows placed beside it, the three
// dialogs, a plain message box and, over it, a warning box with a caption of its own.
// It runs until it is ended.
#include <QTimer>

#include "ui/app/ambrel_application.h"
#include "ui/app/window_set.h"
#include "ui/common/qt_prompter.h"
#include "ui/files/process_dialog.h"
#include "ui/update/about_box.h"
#include "ui/update/version_dialog.h"
#include "ui/viewer/main_window.h"

int main(int argc, char* argv[]) {
    ambrel::ui::AmbrelApplication app(argc, argv);
    ambrel::ui::WindowSet windows;
    windows.Show();
    ambrel::ui::QtPrompter prompter(windows.Form1());
    // The dialogs open once the placement has settled, so they do not hide its result
    // from the window manager's first look.
    QTimer::singleShot(1000, [&] {
        windows.Form4()->show();
        windows.Form5()->show();
        windows.AboutBox()->show();
        prompter.Message("A plain message");
    });
    // Fires inside the message box's own event loop.
    QTimer::singleShot(1500, [&] { prompter.Warning("Error occuried", "A warning"); });
    return app.exec();
}
