#include "ui/common/qt_prompter.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include "ui/common/qt_text.h"

namespace ambrel::ui {

namespace {

// A warning of more lines or characters than these shows its text in the box's details.
constexpr int kLongWarningLines = 25;
constexpr int kLongWarningChars = 2000;

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
    bool ok = false;
    const QString answer = QInputDialog::getText(Parent(), ToQ(caption), ToQ(prompt),
                                                 QLineEdit::Normal, ToQ(initial), &ok);
    if (!ok) return std::nullopt;
    return FromQ(answer);
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
