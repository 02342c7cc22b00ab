#include "ui/update/version_dialog.h"

#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QTemporaryFile>
#include <QVBoxLayout>

#include "platform/prompter.h"
#include "tag/text_helpers.h"
#include "ui/common/bold_label.h"
#include "ui/common/command_guard.h"
#include "ui/common/icons.h"
#include "ui/common/qt_text.h"
#include "update/download_list.h"
#include "update/update_server.h"
#include "update/version_file.h"

namespace ambrel::ui {

namespace {

const char kPleaseWait[] = "Please wait, it can take few seconds...";
const char kNoVersionInfo[] = "No connection avaliable or not possible to get version info.";
const char kVersionError[] =
    "Error while checking version info. Please check new version on internet";
const char kNoInstallerName[] =
    "No connection avaliable or not possible to get exe file name. Please download manualy.";
const char kNoInstaller[] =
    "No connection avaliable or not possible to get exe file for Ambrel, please download "
    "manualy.";

constexpr int kButtonHeight = 52;

// A push button whose caption wraps onto further lines beside its picture; text() keeps
// the whole caption.
class WrappingButton : public QPushButton {
public:
    WrappingButton(const QString& caption, const QIcon& picture, QWidget* parent)
        : QPushButton(picture, caption, parent) {
        setIconSize(QSize(kToolPictureSize, kToolPictureSize));
        setMinimumHeight(kButtonHeight);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionButton option;
        initStyleOption(&option);
        option.text.clear();
        option.icon = QIcon();
        painter.drawControl(QStyle::CE_PushButton, option);
        const QRect content = style()
                                  ->subElementRect(QStyle::SE_PushButtonContents, &option, this)
                                  .adjusted(6, 0, -6, 0);
        const QRect picture(content.left(), content.center().y() - iconSize().height() / 2,
                            iconSize().width(), iconSize().height());
        icon().paint(&painter, picture, Qt::AlignCenter,
                     isEnabled() ? QIcon::Normal : QIcon::Disabled);
        const QRect words = content.adjusted(iconSize().width() + 8, 0, 0, 0);
        painter.drawItemText(words, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextWordWrap, palette(),
                             isEnabled(), text(), QPalette::ButtonText);
    }
};

// Restores the enabled state of the buttons when a download ends.
class ButtonsDisabled {
public:
    ButtonsDisabled(QPushButton* a, QPushButton* b)
        : a_(a), b_(b), a_enabled_(a->isEnabled()), b_enabled_(b->isEnabled()) {
        a_->setEnabled(false);
        b_->setEnabled(false);
    }
    ~ButtonsDisabled() {
        a_->setEnabled(a_enabled_);
        b_->setEnabled(b_enabled_);
    }
    ButtonsDisabled(const ButtonsDisabled&) = delete;
    ButtonsDisabled& operator=(const ButtonsDisabled&) = delete;

private:
    QPushButton* a_;
    QPushButton* b_;
    bool a_enabled_;
    bool b_enabled_;
};

}  // namespace

TForm5::TForm5(ambrel::Prompter& prompter, QWidget* parent) : QDialog(parent), prompter_(prompter) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Checking new version"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(547, 331);

    // The program's own folder is read-only once installed: the files go to the cache.
    temp_dir_ =
        QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/Temp");
    version_file_ = temp_dir_ + QStringLiteral("/version.txt");
    const QString server = ToQ(
        update::UpdateServerAddress(FromQ(qEnvironmentVariable(update::kUpdateServerVariable))));
    version_url_ = QUrl(server + ToQ(update::kVersionPath));
    download_base_url_ = server + ToQ(update::kDownloadPath);
    download_list_url_ = QUrl(server + ToQ(update::kDownloadListPath));
    BuildControls();
}

TForm5::~TForm5() = default;

void TForm5::BuildControls() {
    label_your_version_ = BoldLabel("LabelYourVersion", QStringLiteral("Your version:"), this);
    label_latest_version_ =
        BoldLabel("LabelLatestVersion", QStringLiteral("Latest version:"), this);

    memo_internet_detail_ = new QPlainTextEdit(this);
    memo_internet_detail_->setObjectName(QStringLiteral("MemoInternetDetail"));
    memo_internet_detail_->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo_internet_detail_->setReadOnly(true);
    memo_internet_detail_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo_internet_detail_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    speed_button_check_version_ =
        new WrappingButton(QStringLiteral("Look for new version on internet"),
                           ToolPicture(Picture::kCheckVersion), this);
    speed_button_check_version_->setObjectName(QStringLiteral("SpeedButtonCheckVersion"));
    bit_btn_download_ = new WrappingButton(
        QStringLiteral("Download new version from internet, close Ambrel and install new version"),
        ToolPicture(Picture::kDownload), this);
    bit_btn_download_->setObjectName(QStringLiteral("BitBtnDownload"));
    bit_btn_download_->setEnabled(false);
    connect(speed_button_check_version_, &QPushButton::clicked, this,
            [this] { Guard([this] { SpeedButtonCheckVersionClick(); }); });
    connect(bit_btn_download_, &QPushButton::clicked, this,
            [this] { Guard([this] { BitBtnDownloadClick(); }); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(speed_button_check_version_);
    buttons->addWidget(bit_btn_download_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label_your_version_);
    layout->addWidget(label_latest_version_);
    layout->addWidget(memo_internet_detail_, 1);
    layout->addLayout(buttons);
}

void TForm5::Say(const QString& message) { prompter_.Message(FromQ(message)); }

void TForm5::AddLine(const QString& line) { memo_internet_detail_->appendPlainText(line); }

void TForm5::done(int result) {
    if (downloader_.Busy()) {
        cancelled_ = true;
        downloader_.Cancel();
    }
    QDialog::done(result);
}

bool TForm5::FetchInto(QFileDevice* file, const QUrl& url, qint64 max_bytes, Downloader::Body body,
                       const char* failure) {
    Downloader::Outcome outcome = Downloader::Outcome::kFailed;
    if (file->isOpen()) {
        ButtonsDisabled busy(speed_button_check_version_, bit_btn_download_);
        outcome = downloader_.Fetch(url, file, max_bytes, body);
    }
    if (outcome == Downloader::Outcome::kCancelled) return false;
    auto* replacing = qobject_cast<QSaveFile*>(file);
    if (outcome != Downloader::Outcome::kDone || (replacing && !replacing->commit())) {
        Say(QLatin1String(failure));
        return false;
    }
    return true;
}

void TForm5::SpeedButtonCheckVersionClick() {
    if (CheckVersion()) ShowVersion();
}

void TForm5::BitBtnDownloadClick() {
    cancelled_ = false;
    DownloadAndInstall();
    // Closing the dialog cancelled the download and has closed it already.
    if (!cancelled_) accept();
}

bool TForm5::CheckVersion() {
    QDir().mkpath(temp_dir_);
    memo_internet_detail_->clear();
    AddLine(QStringLiteral("Checking latest version of Ambrel 2.0"));
    AddLine(QLatin1String(kPleaseWait));
    // The old copy is replaced only by a complete new one.
    QSaveFile file(version_file_);
    file.open(QIODevice::WriteOnly);
    if (!FetchInto(&file, version_url_, kTextFileLimit, Downloader::Body::kMayBeEmpty,
                   kNoVersionInfo))
        return false;
    AddLine(QStringLiteral("Checking version informations."));
    return true;
}

void TForm5::ShowVersion() {
    QFile file(version_file_);
    const std::string text =
        file.open(QIODevice::ReadOnly) ? file.read(kTextFileLimit).toStdString() : std::string();
    memo_internet_detail_->setPlainText(ToQ(EightBitToUtf8(text)));
    latest_version_ = update::LatestVersionOf(text);
    label_your_version_->setText(QStringLiteral("Your version: ") + current_version_);
    if (!latest_version_) return Say(QLatin1String(kVersionError));
    const std::string latest = latest_version_->substr(1);
    label_latest_version_->setText(QStringLiteral("Latest version: ") +
                                   ToQ(EightBitToUtf8(latest)));
    const std::optional<int> order = update::CompareVersions(latest, FromQ(current_version_));
    if (!order) return Say(QLatin1String(kVersionError));
    // An older or equal version says nothing, and leaves an earlier check's result standing.
    if (*order > 0) bit_btn_download_->setEnabled(true);
}

bool TForm5::DownloadAndInstall() {
    const QString latest = ToQ(EightBitToUtf8(latest_version_.value_or(std::string())));
    memo_internet_detail_->clear();
    AddLine(QStringLiteral("Looking for exe file for Ambrel ") + latest);
    AddLine(QLatin1String(kPleaseWait));
    const std::optional<std::string> name = FetchInstallerName();
    if (!name) return false;

    AddLine(QStringLiteral("Downloading latest Ambrel ") + latest);
    AddLine(QStringLiteral("Downloading in progress..."));
    AddLine(QStringLiteral("It can take few minutes, based on your internet connection speed"));
    const QString path = temp_dir_ + QLatin1Char('/') + QFile::decodeName(name->c_str());
    if (!FetchInstaller(*name, path)) return false;
    AddLine(QStringLiteral("Download complete") + latest);

    Say(QStringLiteral("Ambrel will be closed now, so you can install new version"));
    // The path is the program itself, never a command line for a shell to take apart.
    if (!QProcess::startDetached(path)) {
        Say(QStringLiteral("Unable to run file:") + path);
        return false;
    }
    emit installerStarted();
    return true;
}

std::optional<std::string> TForm5::FetchInstallerName() {
    QDir().mkpath(temp_dir_);
    QTemporaryFile list(temp_dir_ + QStringLiteral("/download_list_XXXXXX"));
    list.open();
    if (!FetchInto(&list, download_list_url_, kTextFileLimit, Downloader::Body::kMayBeEmpty,
                   kNoInstallerName))
        return std::nullopt;
    list.seek(0);
    std::optional<std::string> name = update::InstallerNameOf(list.readAll().toStdString());
    // The name comes from the server: it must not lead out of the cache folder.
    if (name && !update::IsInstallerName(*name)) {
        Say(QLatin1String(kNoInstallerName));
        return std::nullopt;
    }
    return name;
}

bool TForm5::FetchInstaller(const std::string& name, const QString& path) {
    const QUrl url(download_base_url_ +
                   QString::fromLatin1(QUrl::toPercentEncoding(QByteArray::fromStdString(name))));
    // Written under a temporary name beside the target and renamed into place only when
    // complete: a broken download leaves no partial installer, and an older one stays.
    QSaveFile installer(path);
    installer.open(QIODevice::WriteOnly);
    // An empty file is no installer, whatever the server says.
    if (!FetchInto(&installer, url, installer_limit_, Downloader::Body::kNotEmpty, kNoInstaller))
        return false;
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
    return true;
}

}  // namespace ambrel::ui
