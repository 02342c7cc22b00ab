#include "ui/update/about_box.h"

#include <QDesktopServices>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "ui/common/icons.h"
#include "ui/update/version_dialog.h"

namespace ambrel::ui {

const char TAboutBox::kWebPage[] = "https://www.pendrake.com/";

namespace {

QLabel* Named(QLabel* label, const char* name) {
    label->setObjectName(QLatin1String(name));
    return label;
}

}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(435, 279);

    // An etched frame: a lowered outer and a raised inner bevel.
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameStyle(QFrame::Box | QFrame::Sunken);

    auto* image = Named(new QLabel(panel), "Image1");
    image->setFixedSize(kProductPictureSize, kProductPictureSize);
    image->setAlignment(Qt::AlignCenter);
    image->setPixmap(PaintedPicture(Picture::kProduct, kProductPictureSize)
                         .pixmap(kProductPictureSize, kProductPictureSize));

    auto* product = Named(new QLabel(QStringLiteral("Ambrel Free"), panel), "ProductName");
    QFont big = product->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    product->setFont(big);
    version_ = Named(new QLabel(QStringLiteral("2.00"), panel), "Version");
    auto* notice = Named(new QLabel(QStringLiteral("A tag manager for the ID3v1 tags of MP3 "
                                                   "files.\n\nFreeware of the Pendrake project: "
                                                   "use it and pass it on at no cost, "
                                                   "without warranty."),
                                    panel),
                         "LabelNotice");
    notice->setWordWrap(true);
    notice->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    label1_ = Named(new QLabel(panel), "Label1");
    label1_->setTextFormat(Qt::RichText);
    label1_->setText(QStringLiteral("<a href=\"%1\" style=\"color:#800080; "
                                    "text-decoration:underline\">www.pendrake.com</a>")
                         .arg(QLatin1String(kWebPage)));
    // Keyboard focus stays on OK, so that Enter closes the box.
    label1_->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    label1_->setCursor(Qt::PointingHandCursor);
    connect(label1_, &QLabel::linkActivated, this, [this] { Label1Click(); });

    auto* words = new QVBoxLayout;
    words->addWidget(product);
    words->addWidget(version_);
    words->addSpacing(6);
    words->addWidget(notice, 1);
    words->addWidget(label1_, 0, Qt::AlignLeft);
    auto* inside = new QHBoxLayout(panel);
    inside->setContentsMargins(6, 6, 6, 6);
    inside->addWidget(image, 0, Qt::AlignVCenter);
    inside->addLayout(words, 1);

    ok_button_ = new QPushButton(QStringLiteral("OK"), this);
    ok_button_->setObjectName(QStringLiteral("OKButton"));
    ok_button_->setDefault(true);
    connect(ok_button_, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(panel, 1);
    layout->addWidget(ok_button_, 0, Qt::AlignHCenter);
}

void TAboutBox::SetVersionDialog(TForm5* version_dialog) { version_dialog_ = version_dialog; }

void TAboutBox::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TAboutBox::FormShow() {
    if (version_dialog_) version_->setText(version_dialog_->CurrentVersion());
    ok_button_->setFocus();
}

void TAboutBox::Label1Click() { QDesktopServices::openUrl(QUrl(QLatin1String(kWebPage))); }

}  // namespace ambrel::ui
