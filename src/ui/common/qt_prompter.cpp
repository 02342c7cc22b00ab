#include "ui/common/qt_prompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

#include "ui/common/qt_text.h"

namespace ambrel::ui {

namespace {

// A warning of more lines or characters than these shows its text in the box's details.
constexpr int kLongWarningLines = 25;
constexpr int kLongWarningChars = 2000;

// A window manager draws the caption in the title bar, in a bold font and beside its own
// buttons; a box only as wide as its prompt has the caption cut there ("Create new
// directory"). The room allowed for the buttons and the bar's margins:
constexpr int kTitleBarButtons = 3 * 24 + 40;
// What an input box adds left and right of its text field.
constexpr int kBoxMargins = 2 * 11;

int WidthForCaption(const QString& caption) {
    QFont bold = QApplication::font();
    bold.setBold(true);
    return QFontMetrics(bold).horizontalAdvance(caption) + kTitleBarButtons;
}

}  // namespace

QWidget* QtPrompter::Parent() const {
    if (parent_) return parent_.data();
    // The running dialog is known at once; which window is active is the window manager's
    // word, which may come late.
    if (QWidget* dialog = QApplication::activeModalWidget()) return dialog;
    return QApplication::activeWindow();
}

void QtPrompter::Message(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, kApplicationTitle, ToQ(text), QMessageBox::Ok, Parent());
    box.exec();
}

bool QtPrompter::MessageWithCheckBox(const std::string& text, const std::string& check_box) {
    QMessageBox box(QMessageBox::NoIcon, kApplicationTitle, ToQ(text), QMessageBox::Ok, Parent());
    // The box owns the check box.
    auto* tick = new QCheckBox(ToQ(check_box), &box);
    tick->setObjectName(QStringLiteral("CheckBoxStopMessages"));
    box.setCheckBox(tick);
    box.exec();
    return tick->isChecked();
}

void QtPrompter::Error(const std::string& text) {
    QMessageBox box(QMessageBox::Critical, kApplicationTitle, ToQ(text), QMessageBox::Ok, Parent());
    box.exec();
}

void QtPrompter::Warning(const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::Warning, ToQ(caption), QString(), QMessageBox::Ok, Parent());
    const QString all = ToQ(text);
    // A long list (a rename run may skip thousands of files) would make a box taller than
    // the screen: the box then shows the first line, and the whole text scrolls in its
    // details.
    if (all.count(QLatin1Char('\n')) >= kLongWarningLines || all.size() > kLongWarningChars) {
        box.setText(all.section(QLatin1Char('\n'), 0, 0).left(kLongWarningChars));
        box.setDetailedText(all);
    } else {
        box.setText(all);
    }
    box.exec();
}

bool QtPrompter::Question(const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::Question, ToQ(caption), ToQ(text),
                    QMessageBox::Yes | QMessageBox::No, Parent());
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

ambrel::SaveChoice QtPrompter::AskToSave(const std::string& caption, const std::string& text) {
    QMessageBox box(QMessageBox::Warning, ToQ(caption), ToQ(text),
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, Parent());
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
        case QMessageBox::Save:
            return ambrel::SaveChoice::kSave;
        case QMessageBox::Discard:
            return ambrel::SaveChoice::kDiscard;
        default:
            return ambrel::SaveChoice::kCancel;
    }
}

std::optional<std::string> QtPrompter::Query(const std::string& caption, const std::string& prompt,
                                             const std::string& initial) {
    QInputDialog box(Parent());
    box.setWindowTitle(ToQ(caption));
    box.setLabelText(ToQ(prompt));
    box.setTextValue(ToQ(initial));
    // The box's layout sets its least size from its controls, so the width goes to the
    // text field (made by setTextValue), less the box's margins.
    for (QLineEdit* field : box.findChildren<QLineEdit*>())
        field->setMinimumWidth(WidthForCaption(box.windowTitle()) - kBoxMargins);
    if (box.exec() != QDialog::Accepted) return std::nullopt;
    return FromQ(box.textValue());
}

std::optional<std::string> QtPrompter::AskSaveFileName(const std::string& caption,
                                                       const std::string& filter,
                                                       const std::string& extension) {
    QFileDialog dialog(Parent(), ToQ(caption), QString(), ToQ(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(ToQ(extension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return FromQ(dialog.selectedFiles().front());
}

}  // namespace ambrel::ui
