#pragma once

#include <QDialog>
#include <QString>
#include <QUrl>
#include <optional>
#include <string>

#include "ui/update/downloader.h"

class QFileDevice;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace ambrel {
class Prompter;
}

namespace ambrel::ui {

// The version check dialog: asks the update server for the latest version, shows it beside
// this program's own, and, when the server's is newer, downloads the installer, starts it
// and says so (installerStarted), so that the main window closes once the dialog returns.
// Downloads keep the dialog answering; closing the dialog cancels a running one. Each file
// is taken only from a whole "200 OK" answer (the installer only when it is not empty): any
// other answer is a failed download, with the download's own message, after which nothing
// is announced or started and no partial file stays. The files go to the user's cache
// folder, under "Temp".
class TForm5 : public QDialog {
    Q_OBJECT

public:
    // The text files may be this long at most, the installer this long; a longer body fails
    // its download once the limit is passed.
    static constexpr qint64 kTextFileLimit = 1 << 20;
    static constexpr qint64 kInstallerLimit = qint64(512) << 20;

    // The dialog's messages go through the prompter (not owned; it must outlive the dialog).
    explicit TForm5(ambrel::Prompter& prompter, QWidget* parent = nullptr);
    ~TForm5() override;

    // Fetches the version file; false (after a message, unless cancelled) when it failed.
    bool CheckVersion();
    // Shows the version file and both versions; enables the download for a newer version.
    void ShowVersion();
    // Fetches the download list and the installer and starts it; true when it started.
    bool DownloadAndInstall();

    const QString& CurrentVersion() const { return current_version_; }
    // The version file's first line from its first colon on (colon included), after a check.
    const std::optional<std::string>& LatestVersion() const { return latest_version_; }
    const QString& TempDir() const { return temp_dir_; }
    const QString& VersionFile() const { return version_file_; }
    const QUrl& VersionUrl() const { return version_url_; }
    const QString& DownloadBaseUrl() const { return download_base_url_; }
    const QUrl& DownloadListUrl() const { return download_list_url_; }

    QLabel* LabelYourVersion() const { return label_your_version_; }
    QLabel* LabelLatestVersion() const { return label_latest_version_; }
    QPlainTextEdit* MemoInternetDetail() const { return memo_internet_detail_; }
    QPushButton* SpeedButtonCheckVersion() const { return speed_button_check_version_; }
    QPushButton* BitBtnDownload() const { return bit_btn_download_; }

    // A download fails after this long without receiving anything (30 s unless tests
    // shorten it).
    void SetStallTimeout(int milliseconds) { downloader_.SetStallTimeout(milliseconds); }
    // An installer longer than this fails to download (kInstallerLimit unless tests lower it,
    // rather than send 512 MiB).
    void SetInstallerLimit(qint64 bytes) { installer_limit_ = bytes; }

    void done(int result) override;

signals:
    // An installer has been started: the program is to make way for it.
    void installerStarted();

private:
    void BuildControls();
    void SpeedButtonCheckVersionClick();
    void BitBtnDownloadClick();
    // Fetches url into the file opened for it, with both buttons disabled so that no second
    // command starts meanwhile; a QSaveFile replaces its target only once complete, so a
    // failed fetch leaves nothing of its own behind. Only a whole "200 OK" answer counts
    // (see Downloader::Fetch); any other is a failure. False when it failed, after the
    // failure message, or when the user closed the dialog.
    bool FetchInto(QFileDevice* file, const QUrl& url, qint64 max_bytes, Downloader::Body body,
                   const char* failure);
    // The installer's name from the download list; absent when the list cannot be fetched
    // or names none (then without a message) or an unsafe one.
    std::optional<std::string> FetchInstallerName();
    // Fetches the installer into TempDir under its name: a whole, non-empty file of at most
    // the installer limit; false after its message, and then nothing is started.
    bool FetchInstaller(const std::string& name, const QString& path);
    void AddLine(const QString& line);
    void Say(const QString& message);

    const QString current_version_ = QStringLiteral("2.00");
    std::optional<std::string> latest_version_;
    QString temp_dir_;
    QString version_file_;
    QUrl version_url_;
    QString download_base_url_;
    QUrl download_list_url_;

    Downloader downloader_;
    qint64 installer_limit_ = kInstallerLimit;
    bool cancelled_ = false;
    ambrel::Prompter& prompter_;

    QLabel* label_your_version_ = nullptr;
    QLabel* label_latest_version_ = nullptr;
    QPlainTextEdit* memo_internet_detail_ = nullptr;
    QPushButton* speed_button_check_version_ = nullptr;
    QPushButton* bit_btn_download_ = nullptr;
};

}  // namespace ambrel::ui
