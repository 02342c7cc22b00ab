// The process dialog on its own, driven through the view the core's runs speak to.
#include "ui/files/process_dialog.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>
#include <climits>
#include <cstdlib>
#include <string>

#include "process_dialog_watch.h"
#include "ui/app/ambrel_application.h"

using ambrel::test::ProcessDialogWatch;
using ambrel::ui::TForm4;

namespace {

template <typename T>
T* Child(const TForm4& dialog, const char* name) {
    T* child = dialog.findChild<T*>(QLatin1String(name));
    if (!child) qFatal("no child %s", name);
    return child;
}

QColor LineColour(const QTextBlock& block) {
    return block.begin().fragment().charFormat().foreground().color();
}

}  // namespace

class ProcessDialogTest : public QObject {
    Q_OBJECT

private slots:
    void StandsAsDesignedAndCentred() {
        TForm4 dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Copy/Move files"));
        QCOMPARE(dialog.size(), QSize(490, 383));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        const struct {
            const char* name;
            const char* text;
        } labels[] = {{"LabelFrom", "Copying/Moving:"},
                      {"LabelTo", "Destination:"},
                      {"Label1", "Current file"},
                      {"Label2", "Overall process"},
                      {"Label6", "Errors"}};
        for (const auto& label : labels) {
            QLabel* shown = Child<QLabel>(dialog, label.name);
            QCOMPARE(shown->text(), QLatin1String(label.text));
            QVERIFY2(shown->font().bold(), label.name);
        }
        QCOMPARE(Child<QPushButton>(dialog, "Button1")->text(), QStringLiteral("Close window"));
        auto* errors = Child<QTextEdit>(dialog, "RichEditErrors");
        QVERIFY(errors->isReadOnly());
        QCOMPARE(errors->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        QCOMPARE(errors->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

        ProcessDialogWatch watch(&dialog);
        QPoint centre;
        dialog.ShowModal([&] {
            centre = dialog.frameGeometry().center();
            return 1;
        });
        const QPoint screen = QGuiApplication::primaryScreen()->availableGeometry().center();
        // Within the frame's width: the frame is known only once the dialog has been shown.
        QVERIFY(std::abs(centre.x() - screen.x()) <= 4 && std::abs(centre.y() - screen.y()) <= 4);
    }

    // The first paint after a run without failures closes the dialog; after a failure it
    // waits for "Close window". A run with nothing to do leaves the choice as it was.
    void ClosesByItselfOnlyAfterARunWithoutFailures() {
        TForm4 dialog;
        int runs = 0;
        ProcessDialogWatch watch(&dialog);
        const auto run = [&](int result) {
            return [&runs, result] {
                ++runs;
                return result;
            };
        };

        dialog.ShowModal({});  // a new dialog stays open
        QCOMPARE(watch.closed_by_button, 1);
        dialog.ShowModal(run(1));
        QCOMPARE(watch.closed_by_button, 1);
        dialog.ShowModal({});
        QCOMPARE(watch.closed_by_button, 1);
        dialog.ShowModal(run(0));
        QCOMPARE(watch.closed_by_button, 2);
        dialog.ShowModal({});
        QCOMPARE(watch.closed_by_button, 3);
        QCOMPARE(runs, 2);
        QVERIFY(!watch.stuck);
        QVERIFY(!dialog.isVisible());
    }

    // While a run holds the dialog, neither its own close, nor Escape, nor a paint during the
    // run's one pass over the events (after a run that would close) ends it.
    void NothingClosesTheDialogDuringARun() {
        TForm4 dialog;
        ProcessDialogWatch watch(&dialog);
        dialog.ShowModal([] { return 1; });
        bool open_throughout = true;
        dialog.ShowModal([&] {
            dialog.ProcessEventsOnce();
            dialog.repaint();
            dialog.close();
            QTest::keyClick(&dialog, Qt::Key_Escape);
            dialog.ProcessEventsOnce();
            open_throughout = dialog.isVisible();
            return 0;
        });
        QVERIFY(open_throughout);
        QCOMPARE(watch.closed_by_button, 1);
    }

    void ErrorEntriesListThePathThenItsMessageInRed() {
        TForm4 dialog;
        auto* errors = Child<QTextEdit>(dialog, "RichEditErrors");
        dialog.AppendError("/music/a.mp3", "E050 The source file does not exist any more.");
        dialog.AppendError("/music/<b>.mp3", "E054 The file could not be deleted.");
        QCOMPARE(errors->toPlainText(),
                 QStringLiteral("/music/a.mp3\nE050 The source file does not exist any more.\n"
                                "/music/<b>.mp3\nE054 The file could not be deleted."));
        const QColor red(255, 0, 0);
        const QTextDocument* text = errors->document();
        for (int line = 0; line < 4; ++line) {
            QCOMPARE(LineColour(text->findBlockByNumber(line)) == red, line % 2 == 1);
        }
        QVERIFY(!errors->textCursor().hasSelection());
        QVERIFY(errors->textCursor().atEnd());
        dialog.ClearErrors();
        QVERIFY(errors->toPlainText().isEmpty());
        dialog.AppendError("/music/c.mp3", "E052 The source file could not be read.");
        QVERIFY(LineColour(text->findBlockByNumber(0)) != red);
    }

    // The core counts whole KiB in 64 bits; a bar holds an int, and an empty range would
    // show a busy bar instead of an empty one.
    void BarsTakeWholeKiBClampedToAnInt() {
        TForm4 dialog;
        auto* bar = Child<QProgressBar>(dialog, "ProgressBarAllFiles");
        dialog.AllFilesBar().SetMaximum(5'000'000'000'000LL);
        dialog.AllFilesBar().SetPosition(3'000'000'000LL);
        QCOMPARE(bar->maximum(), INT_MAX);
        QCOMPARE(bar->value(), INT_MAX);
        dialog.AllFilesBar().SetMaximum(0);
        dialog.AllFilesBar().SetPosition(0);
        QCOMPARE(dialog.AllFilesBar().Maximum(), 0);
        QCOMPARE(bar->maximum(), 1);
        QCOMPARE(bar->value(), 0);
        dialog.CurrentFileBar().SetMaximum(195);
        dialog.CurrentFileBar().SetPosition(64);
        QCOMPARE(Child<QProgressBar>(dialog, "ProgressBarCurrentFile")->value(), 64);
    }

    void LongPathsAreElidedWithoutWideningTheDialog() {
        TForm4 dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const std::string path = "/music/" + std::string(400, 'x') + "/end.mp3";
        dialog.SetSource(path);
        dialog.SetDestination(path);
        QTest::qWait(20);
        QCOMPARE(dialog.size(), QSize(490, 383));
        for (const char* name : {"LabelSource", "LabelDestination"}) {
            QLabel* label = Child<QLabel>(dialog, name);
            QVERIFY2(label->geometry().right() < dialog.width(), name);
            QVERIFY(label->text().startsWith(QStringLiteral("/music/")));
            QVERIFY(label->text().endsWith(QStringLiteral("end.mp3")));
            QVERIFY(label->text().size() < static_cast<int>(path.size()));
            QCOMPARE(label->toolTip(), QString::fromStdString(path));
        }
        dialog.hide();
    }
};

int main(int argc, char** argv) {
    ambrel::ui::AmbrelApplication app(argc, argv);
    ProcessDialogTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "process_dialog_test.moc"
