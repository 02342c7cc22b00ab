#include "ui/update/about_box.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ambrel::ui {

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(435, 279);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* product = new QLabel(QStringLiteral("Ambrel Free"), panel);
    product->setObjectName(QStringLiteral("ProductName"));
    QFont big = product->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    product->setFont(big);
    version_ = new QLabel(QStringLiteral("2.00"), panel);
    version_->setObjectName(QStringLiteral("Version"));

    auto* inner = new QVBoxLayout(panel);
    inner->addWidget(product, 0, Qt::AlignHCenter);
    inner->addWidget(version_, 0, Qt::AlignHCenter);
    inner->addStretch(1);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel, 1);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
}

}  // namespace ambrel::ui
