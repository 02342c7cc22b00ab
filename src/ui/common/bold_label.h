#pragma once

#include <QString>

class QLabel;
class QWidget;

namespace ambrel::ui {

// A label in the bold of the window's font, named for tests and accessibility tools.
QLabel* BoldLabel(const char* name, const QString& text, QWidget* parent);

}  // namespace ambrel::ui
