#pragma once

// What the tests of the version check dialog share: the program's windows with a scripted
// prompter, the user's cache folder in a fresh temporary directory, the update server on
// the loopback address, and the dialog's texts.
#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <functional>
#include <memory>

#include "support/fake_prompter.h"
#include "support/qt/loopback_http_server.h"
#include "ui/app/ambrel_application.h"
#include "ui/app/window_set.h"
#include "ui/update/version_dialog.h"
#include "ui/viewer/main_window.h"

namespace ambrel::test {

using ambrel::ui::AmbrelApplication;
using ambrel::ui::TForm5;
using ambrel::ui::WindowSet;
using Ending = LoopbackHttpServer::Ending;
using Resource = LoopbackHttpServer::Resource;

inline const QByteArray kVersionPath = "/data/ambrel_version_free.txt";
inline const QByteArray kListPath = "/data/download_version.txt";
inline const QByteArray kDownloadPath = "/download/";

inline const QString kNoVersionInfo =
    QStringLiteral("No connection avaliable or not possible to get version info.");
inline const QString kVersionError =
    QStringLiteral("Error while checking version info. Please check new version on internet");
inline const QString kNoInstallerName = QStringLiteral(
    "No connection avaliable or not possible to get exe file name. Please download manualy.");
inline const QString kNoInstaller = QStringLiteral(
    "No connection avaliable or not possible to get exe file for Ambrel, please download "
    "manualy.");
inline const QString kClosing =
    QStringLiteral("Ambrel will be closed now, so you can install new version");

inline Resource With(const QByteArray& body, Ending ending, int status = 200) {
    Resource resource;
    resource.body = body;
    resource.ending = ending;
    resource.status = status;
    return resource;
}

// The program's windows with a scripted prompter, the user's cache folder in a fresh
// temporary directory and the update server on the loopback address.
struct World {
    LoopbackHttpServer server;
    QTemporaryDir cache;
    FakePrompter prompter;
    std::unique_ptr<WindowSet> windows;
    ambrel::ui::TForm1* form = nullptr;
    TForm5* dialog = nullptr;

    // The update server is named by the host given, at the test server's port.
    explicit World(const QString& host = QStringLiteral("127.0.0.1")) {
        qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
        qputenv("AMBREL_UPDATE_URL",
                QStringLiteral("http://%1:%2").arg(host).arg(server.Port()).toLocal8Bit());
        windows = std::make_unique<WindowSet>(&prompter);
        form = windows->Form1();
        dialog = windows->Form5();
        AmbrelApplication::Instance()->SetPrompter(&prompter);
        dialog->SetStallTimeout(20000);
    }
    ~World() {
        AmbrelApplication::Instance()->SetPrompter(nullptr);
        qunsetenv("AMBREL_UPDATE_URL");
        qunsetenv("XDG_CACHE_HOME");
    }

    QStringList Messages() const {
        QStringList texts;
        for (const FakePrompter::Shown& shown : prompter.shown)
            texts << QString::fromStdString(shown.text);
        return texts;
    }
    QString Memo() const { return dialog->MemoInternetDetail()->toPlainText(); }
    QString Installer(const QString& name) const { return dialog->TempDir() + '/' + name; }
    // Every file below the cache folder, relative to it.
    QStringList CacheFiles() const {
        QStringList files;
        QDirIterator it(cache.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) files << QDir(cache.path()).relativeFilePath(it.next());
        files.sort();
        return files;
    }
    QString TempFile(const QString& name) const {
        return QDir(cache.path()).relativeFilePath(Installer(name));
    }

    // A check that finds the newer version 2.01, which enables the download.
    void CheckNewer() {
        server.Serve(kVersionPath, "Version:2.01\n");
        dialog->SpeedButtonCheckVersion()->click();
        QVERIFY(dialog->BitBtnDownload()->isEnabled());
    }
    void ServeInstaller(const QByteArray& name, Resource resource) {
        server.Serve(kListPath, "Ambrel 1\nold.sh\nAmbrel 2\n" + name + "\n");
        server.Serve(kDownloadPath + QUrl::toPercentEncoding(name), std::move(resource));
    }
    // Opens the dialog from the main window's menu and runs the script while it is open;
    // returns once the dialog has closed.
    void RunDialog(const std::function<void()>& script) {
        form->show();
        QTimer::singleShot(0, dialog, script);
        form->findChild<QAction*>(QStringLiteral("Checknewversion1"))->trigger();
    }
};

}  // namespace ambrel::test

Q_DECLARE_METATYPE(ambrel::test::LoopbackHttpServer::Resource)
