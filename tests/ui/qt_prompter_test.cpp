#include "ui/common/qt_prompter.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

using ambrel::ui::QtPrompter;

namespace {

struct SeenBox {
    QString text, caption, check_box;
    bool check_box_was_checked = true;
};

// Waits for the next modal message box, notes what it shows, ticks its check box when
// asked and presses OK.
void AnswerNextBox(bool tick, SeenBox* seen) {
    QTimer::singleShot(0, [=] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return AnswerNextBox(tick, seen);
        seen->text = box->text();
        seen->caption = box->windowTitle();
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
};

QTEST_MAIN(QtPrompterTest)
#include "qt_prompter_test.moc"
