// The version check dialog and the About box against a real HTTP server on the loopback
// address, started by each test. The stall timeout is shortened where a test waits for it.
#include <QApplication>
#include <QDesktopServices>
#include <QLabel>

#include "ui/update/about_box.h"
#include "update_world.h"
#include "window_test_main.h"

using namespace ambrel::test;
using ambrel::ui::TAboutBox;

namespace {

// Takes the web addresses the desktop would open.
class UrlCatcher : public QObject {
    Q_OBJECT

public:
    QList<QUrl> opened;
    Q_INVOKABLE void Open(const QUrl& url) { opened << url; }
};

}  // namespace

class UpdateDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void TheCheckShowsBothVersionsAndEnablesOnlyANewerOne_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("latest_label");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("same") << QByteArray("Version:2.00\nNews: nothing yet\n")
                              << "Latest version: 2.00" << false << QStringList();
        QTest::newRow("newer") << QByteArray("Version:2.01") << "Latest version: 2.01" << true
                               << QStringList();
        QTest::newRow("blank before")
            << QByteArray("Version: 2.01\r\n") << "Latest version:  2.01" << true << QStringList();
        QTest::newRow("ten") << QByteArray("Version:10.00\n") << "Latest version: 10.00" << true
                             << QStringList();
        QTest::newRow("older") << QByteArray("Version:1.99\n") << "Latest version: 1.99" << false
                               << QStringList();
        QTest::newRow("two colons") << QByteArray("a:b:2.5\n") << "Latest version: b:2.5" << false
                                    << QStringList{kVersionError};
        QTest::newRow("empty") << QByteArray() << "Latest version:" << false
                               << QStringList{kVersionError};
        QTest::newRow("no colon") << QByteArray("Version 2.01\n") << "Latest version:" << false
                                  << QStringList{kVersionError};
        QByteArray largest = "Version:2.01\n";
        largest.append(TForm5::kTextFileLimit - largest.size(), 'x');
        QTest::newRow("1 MB") << largest << "Latest version: 2.01" << true << QStringList();
    }
    void TheCheckShowsBothVersionsAndEnablesOnlyANewerOne() {
        QFETCH(QByteArray, file);
        QFETCH(QString, latest_label);
        QFETCH(bool, enabled);
        QFETCH(QStringList, messages);
        World w;
        w.server.Serve(kVersionPath, file);
        w.dialog->SpeedButtonCheckVersion()->click();
        QCOMPARE(w.server.Requests(kVersionPath), 1);
        QCOMPARE(w.dialog->LabelYourVersion()->text(), QStringLiteral("Your version: 2.00"));
        QCOMPARE(w.dialog->LabelLatestVersion()->text(), latest_label);
        QCOMPARE(w.dialog->BitBtnDownload()->isEnabled(), enabled);
        QCOMPARE(w.Messages(), messages);
        if (file.size() < 100) QCOMPARE(w.Memo().toUtf8(), QByteArray(file).replace("\r", ""));
        QVERIFY(w.dialog->SpeedButtonCheckVersion()->isEnabled());
    }

    void AVersionFileThatCannotBeFetchedChangesNoLabel_data() {
        QTest::addColumn<Resource>("resource");
        QTest::newRow("missing") << With("", Ending::kWhole, 404);
        QTest::newRow("closed midway") << With("Version:2.01\nmore news\n", Ending::kCloseMidway);
        QTest::newRow("stalled") << With("Version:2.01\nmore news\n", Ending::kStall);
        const QByteArray too_long = "Version:2.01\n" + QByteArray(TForm5::kTextFileLimit, 'x');
        QTest::newRow("too long") << With(too_long, Ending::kWhole);
        QTest::newRow("too long, no length given") << With(too_long, Ending::kNoLength);
        QTest::newRow("multiple choices") << With("Version:2.01\n", Ending::kWhole, 300);
        QTest::newRow("no content") << With("", Ending::kWhole, 204);
    }
    void AVersionFileThatCannotBeFetchedChangesNoLabel() {
        QFETCH(Resource, resource);
        World w;
        w.dialog->SetStallTimeout(300);
        w.server.Serve(kVersionPath, resource);
        QVERIFY(!w.dialog->CheckVersion());
        QCOMPARE(w.Messages(), QStringList{kNoVersionInfo});
        QCOMPARE(w.Memo(), QStringLiteral("Checking latest version of Ambrel 2.0\n"
                                          "Please wait, it can take few seconds..."));
        QCOMPARE(w.dialog->LabelYourVersion()->text(), QStringLiteral("Your version:"));
        QCOMPARE(w.dialog->LabelLatestVersion()->text(), QStringLiteral("Latest version:"));
        QVERIFY(!w.dialog->BitBtnDownload()->isEnabled());
        QCOMPARE(w.CacheFiles(), QStringList());
    }

    void RedirectsAreFollowedOnlyWithinTheirScheme() {
        World w;
        Resource moved = With("", Ending::kWhole, 302);
        moved.location = (w.server.Address() + "/mirror/version.txt").toLatin1();
        w.server.Serve(kVersionPath, moved);
        w.server.Serve("/mirror/version.txt", "Version:2.01\n");
        w.dialog->SpeedButtonCheckVersion()->click();
        QVERIFY(w.dialog->BitBtnDownload()->isEnabled());
        QCOMPARE(w.Messages(), QStringList());

        // The same server and path over HTTPS: a change of scheme is not followed at all.
        World secure;
        moved.location = (secure.server.Address() + "/mirror/version.txt").toLatin1();
        moved.location.replace("http:", "https:");
        secure.server.Serve(kVersionPath, moved);
        secure.server.Serve("/mirror/version.txt", "Version:2.01\n");
        secure.dialog->SpeedButtonCheckVersion()->click();
        QCOMPARE(secure.Messages(), QStringList{kNoVersionInfo});
        QCOMPARE(secure.server.Connections(), 1);
        QVERIFY(!secure.dialog->BitBtnDownload()->isEnabled());
    }

    void TheLoopbackServerMayBeNamedLocalhost() {
        World w(QStringLiteral("localhost"));
        w.server.Serve(kVersionPath, "Version:2.01\n");
        w.dialog->SpeedButtonCheckVersion()->click();
        QCOMPARE(w.Messages(), QStringList());
        QVERIFY(w.dialog->BitBtnDownload()->isEnabled());
    }

    void TheDownloadListNamesTheInstaller_data() {
        QTest::addColumn<Resource>("list");
        QTest::addColumn<bool>("fetched");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("marker in capitals")
            << With("AMBREL 2\nsetup.sh\n", Ending::kWhole) << true << QStringList{kNoInstaller};
        QTest::newRow("marker with trailing blanks")
            << With("Ambrel 2  \nsetup.sh\n", Ending::kWhole) << false << QStringList();
        QTest::newRow("marker on the last line")
            << With("Ambrel 1\nold.sh\nAmbrel 2\n", Ending::kWhole) << false << QStringList();
        QTest::newRow("no list") << With("", Ending::kWhole, 404) << false
                                 << QStringList{kNoInstallerName};
        QTest::newRow("list in a multiple choices answer")
            << With("Ambrel 2\nsetup.sh\n", Ending::kWhole, 300) << false
            << QStringList{kNoInstallerName};
        QTest::newRow("list closed midway") << With("Ambrel 2\nsetup.sh\n", Ending::kCloseMidway)
                                            << false << QStringList{kNoInstallerName};
        QTest::newRow("empty name") << With("Ambrel 2\n\nsetup.sh\n", Ending::kWhole) << false
                                    << QStringList{kNoInstallerName};
    }
    void TheDownloadListNamesTheInstaller() {
        QFETCH(Resource, list);
        QFETCH(bool, fetched);
        QFETCH(QStringList, messages);
        World w;
        w.CheckNewer();
        w.server.Serve(kListPath, list);
        w.dialog->BitBtnDownload()->click();
        QCOMPARE(w.server.Requests(kDownloadPath) > 0, fetched);
        QCOMPARE(w.Messages(), messages);
        QCOMPARE(w.dialog->result(), int(QDialog::Accepted));
        QVERIFY(!w.form->CloseAfterUpdate());
        QCOMPARE(w.CacheFiles(), QStringList{w.TempFile("version.txt")});
    }

    void AnInstallerNameThatLeadsOutOfTheCacheIsRefused_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("parent") << QStringLiteral("../x");
        QTest::newRow("absolute") << QStringLiteral("<outside>/x");
        QTest::newRow("subfolder") << QStringLiteral("a/b");
        QTest::newRow("backslash") << QStringLiteral("..\\x");
    }
    void AnInstallerNameThatLeadsOutOfTheCacheIsRefused() {
        QFETCH(QString, name);
        World w;
        QTemporaryDir outside;
        name.replace(QStringLiteral("<outside>"), outside.path());
        QVERIFY(QDir(w.cache.path()).mkpath(QStringLiteral("parent/Temp/a")));
        w.CheckNewer();
        // Were the name taken, the installer would be there to fetch.
        w.ServeInstaller(name.toUtf8(), With("#!/bin/sh\n", Ending::kWhole));
        w.dialog->BitBtnDownload()->click();
        QCOMPARE(w.Messages(), QStringList{kNoInstallerName});
        QCOMPARE(w.server.Requests(kDownloadPath), 0);
        QCOMPARE(w.CacheFiles(), QStringList{w.TempFile("version.txt")});
        QVERIFY(QDir(outside.path()).isEmpty());
    }

    void AFullRunStartsTheInstallerAndClosesTheProgram() {
        World w;
        QTemporaryDir scratch;
        const QString marker = scratch.filePath(QStringLiteral("installer ran"));
        w.ServeInstaller(
            "ambrel 2.01 setup.sh",
            With("#!/bin/sh\necho started > '" + marker.toUtf8() + "'\n", Ending::kWhole));
        w.RunDialog([&] {
            w.CheckNewer();
            w.dialog->BitBtnDownload()->click();
        });
        QVERIFY(w.form->CloseAfterUpdate());
        QVERIFY(!w.form->isVisible());
        QVERIFY(!w.dialog->isVisible());
        QCOMPARE(w.Messages(), QStringList{kClosing});
        QCOMPARE(w.Memo(), QStringLiteral("Looking for exe file for Ambrel :2.01\n"
                                          "Please wait, it can take few seconds...\n"
                                          "Downloading latest Ambrel :2.01\n"
                                          "Downloading in progress...\n"
                                          "It can take few minutes, based on your internet "
                                          "connection speed\n"
                                          "Download complete:2.01"));
        const QString installer = w.Installer(QStringLiteral("ambrel 2.01 setup.sh"));
        QVERIFY(QFile::permissions(installer) & QFileDevice::ExeOwner);
        QCOMPARE(w.CacheFiles(),
                 (QStringList{w.TempFile("ambrel 2.01 setup.sh"), w.TempFile("version.txt")}));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 10000);
    }

    void AnInstallerThatCannotStartLeavesTheProgramRunning() {
        World w;
        w.ServeInstaller("setup.bin", With("no program, no #! line\n", Ending::kWhole));
        w.RunDialog([&] {
            w.CheckNewer();
            w.dialog->BitBtnDownload()->click();
        });
        const QString installer = w.Installer(QStringLiteral("setup.bin"));
        QCOMPARE(w.Messages(),
                 (QStringList{kClosing, QStringLiteral("Unable to run file:") + installer}));
        QVERIFY(!w.form->CloseAfterUpdate());
        QVERIFY(w.form->isVisible());
        QVERIFY(!w.dialog->isVisible());
        QCOMPARE(w.dialog->result(), int(QDialog::Accepted));
    }

    void ABrokenInstallerDownloadLeavesNoPartialFile_data() {
        QTest::addColumn<Resource>("installer");
        QTest::addColumn<bool>("folder_in_place");
        const QByteArray script = "#!/bin/sh\n# " + QByteArray(4000, 'x') + "\n";
        QTest::newRow("missing") << With("", Ending::kWhole, 404) << false;
        QTest::newRow("stalled") << With(script, Ending::kStall) << false;
        QTest::newRow("closed midway") << With(script, Ending::kCloseMidway) << false;
        QTest::newRow("a folder in its place") << With(script, Ending::kWhole) << true;
    }
    void ABrokenInstallerDownloadLeavesNoPartialFile() {
        QFETCH(Resource, installer);
        QFETCH(bool, folder_in_place);
        World w;
        w.dialog->SetStallTimeout(300);
        w.CheckNewer();
        w.ServeInstaller("setup.sh", installer);
        const QString path = w.Installer(QStringLiteral("setup.sh"));
        QFile old(path);
        if (folder_in_place) {
            QVERIFY(QDir().mkpath(path));
        } else {
            // An installer from an earlier run stays as it was.
            QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
            old.close();
        }
        w.dialog->BitBtnDownload()->click();
        QCOMPARE(w.Messages(), QStringList{kNoInstaller});
        QVERIFY(!w.form->CloseAfterUpdate());
        if (!folder_in_place) {
            QVERIFY(old.open(QIODevice::ReadOnly));
            QCOMPARE(old.readAll(), QByteArray("old"));
        }
        const QStringList expected =
            folder_in_place ? QStringList{w.TempFile("version.txt")}
                            : QStringList{w.TempFile("setup.sh"), w.TempFile("version.txt")};
        QCOMPARE(w.CacheFiles(), expected);
    }

    void ClosingTheDialogCancelsARunningDownload() {
        World w;
        w.ServeInstaller("setup.sh", With("#!/bin/sh\n" + QByteArray(4000, '#'), Ending::kStall));
        QString memo_meanwhile;
        w.RunDialog([&] {
            w.CheckNewer();
            // The dialog answers while the installer hangs, and the user closes it.
            QTimer::singleShot(200, w.dialog, [&] {
                memo_meanwhile = w.Memo();
                w.dialog->close();
            });
            w.dialog->BitBtnDownload()->click();
        });
        QVERIFY(
            memo_meanwhile.endsWith(QStringLiteral("Downloading in progress...\nIt can take few "
                                                   "minutes, based on your internet "
                                                   "connection speed")));
        QCOMPARE(w.Messages(), QStringList());
        QCOMPARE(w.dialog->result(), int(QDialog::Rejected));
        QVERIFY(!w.form->CloseAfterUpdate());
        QVERIFY(w.form->isVisible());
        QCOMPARE(w.CacheFiles(), QStringList{w.TempFile("version.txt")});
    }

    void TheAboutBoxNamesTheCheckDialogsVersionAndEnterClosesIt() {
        World w;
        w.CheckNewer();
        TAboutBox* about = w.windows->AboutBox();
        about->Version()->setText(QStringLiteral("changed"));
        QString shown;
        w.form->show();
        QTimer::singleShot(0, about, [&] {
            shown = about->Version()->text();
            QTest::keyClick(about, Qt::Key_Return);
        });
        w.form->findChild<QAction*>(QStringLiteral("About2"))->trigger();
        QCOMPARE(QStringLiteral("Your version: ") + shown, w.dialog->LabelYourVersion()->text());
        QVERIFY(!about->isVisible());
        QCOMPARE(about->result(), int(QDialog::Accepted));
    }

    void TheAboutBoxLinkOpensTheWebPage() {
        World w;
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "Open");
        TAboutBox* about = w.windows->AboutBox();
        about->show();
        QVERIFY(QTest::qWaitForWindowExposed(about));
        QLabel* link = about->Label1();
        QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(link->width() / 2, link->height() / 2));
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        about->close();
        QCOMPARE(catcher.opened, QList<QUrl>{QUrl(QLatin1String(TAboutBox::kWebPage))});
    }
};

int main(int argc, char** argv) { return RunWindowTest<UpdateDialogsTest>(argc, argv); }

#include "update_dialogs_test.moc"
