#include "ui/common/command_guard.h"

#include <QtDebug>
#include <utility>

namespace ambrel::ui {

namespace {
ExceptionBox& Box() {
    static ExceptionBox box;
    return box;
}
}  // namespace

void SetExceptionBox(ExceptionBox box) { Box() = std::move(box); }

void Guard(const std::function<void()>& command) {
    try {
        command();
    } catch (...) {
        if (Box()) {
            Box()(std::current_exception());
        } else {
            qWarning("A command raised an exception outside AmbrelApplication");
        }
    }
}

}  // namespace ambrel::ui
