#pragma once

#include <QString>
#include <QStringList>

class QComboBox;
class QLabel;
class QToolButton;
class QWidget;

namespace ambrel::ui {

enum class Picture;

// The margins and gaps of the action panel's pages: narrow, so that every caption fits the
// 289-pixel window.
inline constexpr int kPageMargin = 6;
inline constexpr int kPageSpacing = 4;

// A label named and captioned, for the control it names (none for a heading).
QLabel* MakeLabel(const char* name, const QString& caption, QWidget* parent,
                  QWidget* buddy = nullptr);
// A drop-down list (no typing) with its items and the item selected at start. The box may
// be narrower than its longest item, which it then shows cut.
QComboBox* MakeListBox(const char* name, const QStringList& items, int selected, QWidget* parent);
// A page's command button: its picture beside the caption, as wide as the page allows.
QToolButton* MakeButton(const char* name, const QString& caption, Picture picture, QWidget* parent);

}  // namespace ambrel::ui
