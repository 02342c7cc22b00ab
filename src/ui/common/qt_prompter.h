#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

#include "platform/prompter.h"

namespace ambrel::ui {

// The program's title: the caption of every box that has none of its own.
inline const QString kApplicationTitle = QStringLiteral("Ambrel 2.0 Free alpha (Pendrake)");

// Shows the program's messages and questions as modal Qt boxes over the parent window.
// Without a parent a box goes over the modal dialog that is running, else over the active
// window: a dialog's message then stays above the dialog rather than falling under it.
class QtPrompter : public ambrel::Prompter {
public:
    explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}

    void Message(const std::string& text) override;
    bool MessageWithCheckBox(const std::string& text, const std::string& check_box) override;
    void Error(const std::string& text) override;
    void Warning(const std::string& caption, const std::string& text) override;
    bool Question(const std::string& caption, const std::string& text) override;
    ambrel::SaveChoice AskToSave(const std::string& caption, const std::string& text) override;
    std::optional<std::string> Query(const std::string& caption, const std::string& prompt,
                                     const std::string& initial) override;
    std::optional<std::string> AskSaveFileName(const std::string& caption,
                                               const std::string& filter,
                                               const std::string& extension) override;

private:
    QWidget* Parent() const;

    QPointer<QWidget> parent_;
};

}  // namespace ambrel::ui
