#include "ui/common/qt_prompter.h"

#include <QCheckBox>
#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "actions/rename_skips.h"

using ambrel::ui::QtPrompter;

namespace {

struct SeenBox {
    QString text, caption, check_box;
    bool check_box_was_checked = true;
    QWidget* parent = nullptr;
};

// Waits for the next modal message box, notes what it shows, ticks its check box when
// asked and presses OK.
void AnswerNextBox(bool tick, SeenBox* seen) {
    QTimer::singleShot(0, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return AnswerNextBox(tick, seen);
        seen->text = box->text();
        seen->caption = box->windowTitle();
        seen->parent = box->parentWidget();
        if (QCheckBox* check = box->checkBox()) {
            seen->check_box = check->text();
            seen->check_box_was_checked = check->isChecked();
            if (tick) check->setChecked(true);
        }
        box->button(QMessageBox::Ok)->click();
    });
}

}  // namespace

class QtPrompterTest : public QObject {
    Q_OBJECT

private slots:
    // A window manager draws the caption in the title bar beside its own buttons: the box is
    // wide enough for the caption in a bold title font with room for three such buttons.
    void AnInputBoxIsWideEnoughForItsCaption() {
        QtPrompter prompter;
        int width = 0;
        QString caption;
        std::function<void()> look = [&] {
            QWidget* box = QApplication::activeModalWidget();
            if (box == nullptr || !box->isVisible()) return QTimer::singleShot(10, look);
            width = box->width();
            caption = box->windowTitle();
            box->close();
        };
        QTimer::singleShot(0, look);
        QVERIFY(!prompter.Query("Create new directory", "Directory name", "").has_value());
        QCOMPARE(caption, QStringLiteral("Create new directory"));
        QFont bold = QApplication::font();
        bold.setBold(true);
        const int title = QFontMetrics(bold).horizontalAdvance(caption);
        qInfo("box %d px, caption %d px", width, title);
        QVERIFY(width >= title + 3 * 24 + 30);
    }

    void MessageWithCheckBoxReportsTheTick() {
        QtPrompter prompter;
        for (bool tick : {false, true}) {
            SeenBox seen;
            AnswerNextBox(tick, &seen);
            QCOMPARE(prompter.MessageWithCheckBox("Björk", "Don't show this again for this run"),
                     tick);
            QCOMPARE(seen.text, QString::fromUtf8("Björk"));
            QCOMPARE(seen.caption, ambrel::ui::kApplicationTitle);
            QCOMPARE(seen.check_box, QStringLiteral("Don't show this again for this run"));
            QVERIFY(!seen.check_box_was_checked);
        }
    }

    // A run that skipped thousands of files: the box shows the first line and keeps the
    // whole list in its details, and it fits the screen with the details open too.
    void ALongWarningFitsTheScreen() {
        std::vector<ambrel::RenameSkip> skips;
        for (int i = 0; i < 3000; ++i) {
            skips.push_back({"/music/folder/file " + std::to_string(i) + ".mp3", "taken.mp3",
                             ambrel::SkipReason::kNameExists, 0});
        }
        const std::string text = ambrel::SkipWarningText(skips);
        struct {
            QString text, details;
            int closed_height = 0, open_height = 0;
        } seen;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            seen.text = box->text();
            seen.details = box->detailedText();
            seen.closed_height = box->frameGeometry().height();
            for (QAbstractButton* button : box->buttons()) {
                if (box->buttonRole(button) == QMessageBox::ActionRole) button->click();
            }
            QTimer::singleShot(50, [&seen, box] {
                seen.open_height = box->frameGeometry().height();
                box->button(QMessageBox::Ok)->click();
            });
        });
        QtPrompter().Warning(ambrel::kSkipWarningCaption, text);

        QCOMPARE(seen.text, QStringLiteral("3000 files kept their names:"));
        QCOMPARE(seen.details, QString::fromStdString(text));
        const int screen = QGuiApplication::primaryScreen()->availableGeometry().height();
        QVERIFY(seen.closed_height > 0 && seen.closed_height <= screen);
        QVERIFY2(seen.open_height > seen.closed_height && seen.open_height <= screen,
                 qPrintable(QString::number(seen.open_height)));

        // A short warning shows its whole text.
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            seen.text = box->text();
            seen.details = box->detailedText();
            box->button(QMessageBox::Ok)->click();
        });
        QtPrompter().Warning("Files not renamed", "1 file kept its name:\n/a.mp3 -> \"b\"");
        QCOMPARE(seen.text, QStringLiteral("1 file kept its name:\n/a.mp3 -> \"b\""));
        QVERIFY(seen.details.isEmpty());
    }

    // A prompter without a parent, as the window set's, speaks over the dialog that runs.
    void ABoxWithoutParentGoesOverTheRunningDialog() {
        QtPrompter prompter;
        QWidget main_window;
        main_window.show();
        QApplication::setActiveWindow(&main_window);
        QDialog dialog(&main_window);
        SeenBox seen;
        QTimer::singleShot(0, &dialog, [&] {
            AnswerNextBox(false, &seen);
            prompter.Message("Over the dialog");
            dialog.accept();
        });
        dialog.exec();
        QCOMPARE(seen.text, QStringLiteral("Over the dialog"));
        QCOMPARE(seen.parent, static_cast<QWidget*>(&dialog));
    }
};

QTEST_MAIN(QtPrompterTest)
#include "qt_prompter_test.moc"
