// What the update download takes as a file: only a whole 200 answer, reached through a few
// redirects at most, and never more than a bounded part of its body in memory at once.
#include <QIODevice>
#include <QNetworkReply>
#include <algorithm>

#include "support/qt/flood_http_server.h"
#include "ui/update/downloader.h"
#include "update_world.h"
#include "window_test_main.h"

using namespace ambrel::test;
using ambrel::ui::Downloader;

namespace {

const QByteArray kInstaller = "#!/bin/sh\nexit 0\n";

// A redirect with a body of its own, which is never part of the file.
Resource Redirect(const QByteArray& target) {
    Resource moved = With("moved elsewhere\n", Ending::kWhole, 302);
    moved.location = target;
    return moved;
}

// Takes what it is given and keeps none of it. The first write holds the thread up, as a
// slow disk would, until the server has sent 8 MiB more or two seconds have passed (a client
// that reads only what it has room for holds the server back well before 8 MiB); every
// write notes how much of the body was in memory at that moment: the piece being written
// and what the reply holds unread.
class SlowSink : public QIODevice {
public:
    static constexpr qint64 kFarAhead = qint64(8) << 20;

    SlowSink(FloodHttpServer& server, const QObject& downloader)
        : server_(server), downloader_(downloader) {
        open(QIODevice::WriteOnly);
    }
    qint64 written = 0;
    qint64 most_in_memory = 0;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 size) override {
        if (written == 0) server_.WaitUntilSent(server_.Sent() + kFarAhead, 2000);
        const auto* reply = downloader_.findChild<QNetworkReply*>();
        most_in_memory = std::max(most_in_memory, size + (reply ? reply->bytesAvailable() : 0));
        written += size;
        return size;
    }

private:
    FloodHttpServer& server_;
    const QObject& downloader_;
};

}  // namespace

class UpdateDownloadTest : public QObject {
    Q_OBJECT

private slots:
    // The installer is served at the end of a chain of "hops" redirects, each to a path on
    // the same server.
    void OnlyAWholeOkAnswerIsTakenAsTheInstaller_data() {
        QTest::addColumn<Resource>("installer");
        QTest::addColumn<int>("hops");
        QTest::addColumn<bool>("taken");
        QTest::newRow("ok") << With(kInstaller, Ending::kWhole) << 0 << true;
        QTest::newRow("five redirects") << With(kInstaller, Ending::kWhole) << 5 << true;
        QTest::newRow("six redirects") << With(kInstaller, Ending::kWhole) << 6 << false;
        QTest::newRow("redirect loop") << Redirect("/download/setup.sh") << 0 << false;
        QTest::newRow("multiple choices") << With(kInstaller, Ending::kWhole, 300) << 0 << false;
        QTest::newRow("moved, nowhere") << With(kInstaller, Ending::kWhole, 301) << 0 << false;
        QTest::newRow("not modified") << With("", Ending::kWhole, 304) << 0 << false;
        QTest::newRow("no content") << With("", Ending::kWhole, 204) << 0 << false;
        QTest::newRow("accepted") << With(kInstaller, Ending::kWhole, 202) << 0 << false;
        Resource part = With(kInstaller, Ending::kWhole, 206);
        part.headers << "Content-Range: bytes 0-16/400";
        QTest::newRow("partial content") << part << 0 << false;
        QTest::newRow("empty") << With("", Ending::kWhole) << 0 << false;
        QTest::newRow("empty, no length given") << With("", Ending::kNoLength) << 0 << false;
        QTest::newRow("endless") << With(kInstaller, Ending::kEndless) << 0 << false;
        QTest::newRow("endless after redirects")
            << With(kInstaller, Ending::kEndless) << 2 << false;
    }
    void OnlyAWholeOkAnswerIsTakenAsTheInstaller() {
        QFETCH(Resource, installer);
        QFETCH(int, hops);
        QFETCH(bool, taken);
        World w;
        constexpr qint64 kLimit = 1 << 20;
        w.dialog->SetInstallerLimit(kLimit);
        w.ServeInstaller("setup.sh", installer);
        QByteArray final_path = kDownloadPath + "setup.sh";
        for (int hop = 1; hop <= hops; ++hop) {
            const QByteArray next = "/hop/" + QByteArray::number(hop);
            w.server.Serve(final_path, Redirect(next));
            final_path = next;
        }
        w.server.Serve(final_path, installer);
        w.RunDialog([&] {
            w.CheckNewer();
            w.dialog->BitBtnDownload()->click();
        });
        // Otherwise nothing is announced or started, and nothing is left behind.
        QCOMPARE(w.Messages(), taken ? QStringList{kClosing} : QStringList{kNoInstaller});
        QCOMPARE(w.form->CloseAfterUpdate(), taken);
        if (taken) {
            QFile file(w.Installer(QStringLiteral("setup.sh")));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), kInstaller);
            return;
        }
        QVERIFY(!w.Memo().contains(QStringLiteral("Download complete")));
        QCOMPARE(w.CacheFiles(), QStringList{w.TempFile("version.txt")});
        // The first request and at most five redirects.
        QVERIFY(w.server.Requests(kDownloadPath) + w.server.Requests("/hop/") <= 6);
        if (installer.ending == Ending::kEndless)
            QVERIFY(w.server.BodyBytesSent(final_path) > kLimit);
    }

    // A server that never ends its body, and a sink slower than the network: the download
    // fails once the limit is passed, having held only a bounded part of the body at a time.
    void AnEndlessBodyPassesThroughABoundedBuffer() {
        FloodHttpServer server;
        Downloader downloader;
        SlowSink sink(server, downloader);
        constexpr qint64 kLimit = qint64(16) << 20;
        const Downloader::Outcome outcome =
            downloader.Fetch(QUrl(server.Address() + "/download/setup.sh"), &sink, kLimit);
        QCOMPARE(outcome, Downloader::Outcome::kFailed);
        QVERIFY(server.Sent() > kLimit);
        QVERIFY(sink.written <= kLimit);
        QVERIFY2(
            sink.most_in_memory <= (1 << 20),
            qPrintable(
                QStringLiteral("%1 bytes of the body in memory at once").arg(sink.most_in_memory)));
    }
};

int main(int argc, char** argv) { return RunWindowTest<UpdateDownloadTest>(argc, argv); }

#include "update_download_test.moc"
