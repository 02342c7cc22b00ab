#pragma once

#include <QDialog>
#include <QPointer>

class QLabel;
class QPushButton;

namespace ambrel::ui {

class TForm5;

// The About box: the product, its version (the version dialog's, so that both always name
// the same), a notice, the product's picture and a link to the project's web page.
class TAboutBox : public QDialog {
    Q_OBJECT

public:
    // The project's web page, opened by the link.
    static const char kWebPage[];

    explicit TAboutBox(QWidget* parent = nullptr);

    void SetVersionDialog(TForm5* version_dialog);

    QLabel* Version() const { return version_; }
    QLabel* Label1() const { return label1_; }
    QPushButton* OKButton() const { return ok_button_; }

    // Opens the web page in the desktop's browser; a failure is not reported.
    void Label1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();

    QPointer<TForm5> version_dialog_;
    QLabel* version_ = nullptr;
    QLabel* label1_ = nullptr;
    QPushButton* ok_button_ = nullptr;
};

}  // namespace ambrel::ui
