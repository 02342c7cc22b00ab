#pragma once

#include <exception>
#include <functional>

namespace ambrel::ui {

// Where an exception that escapes a command goes: the application's exception box. The
// application object sets it for its lifetime; none restores the default (a warning on the
// console, for a bare QApplication such as a benchmark's).
using ExceptionBox = std::function<void(std::exception_ptr)>;
void SetExceptionBox(ExceptionBox box);

// Runs a command, showing an exception that escapes it in the exception box. Commands run
// this way never unwind through Qt's own frames.
void Guard(const std::function<void()>& command);

}  // namespace ambrel::ui
