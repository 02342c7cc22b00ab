// The action panel at its designed size and at the heights the window placement gives it:
// on every page each control lies inside the window, no two controls overlap, and no
// caption is cut (the combo boxes may cut their long items). Run with "--shots DIR" to also
// save pictures of the three pages (for looking at the layout by eye).
#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include "support/fake_prompter.h"
#include "ui/actions/action_panel.h"
#include "ui/actions/up_down.h"
#include "ui/app/window_set.h"
#include "window_test_main.h"

using ambrel::ui::TForm3;
using ambrel::ui::WindowSet;

namespace {

QString shots_dir;

QRect RectIn(QWidget* window, QWidget* child) {
    return {child->mapTo(window, QPoint(0, 0)), child->size()};
}

// The named controls of the page the user sees: labels, boxes, buttons, lists and memos
// (the parts a control is built of carry no name).
QList<QWidget*> Controls(QWidget* page) {
    QList<QWidget*> controls;
    for (QWidget* child : page->findChildren<QWidget*>()) {
        if (!child->isVisible() || child->objectName().isEmpty()) continue;
        if (qobject_cast<QLabel*>(child) || qobject_cast<QLineEdit*>(child) ||
            qobject_cast<QComboBox*>(child) || qobject_cast<QAbstractButton*>(child) ||
            qobject_cast<QAbstractItemView*>(child) || qobject_cast<QPlainTextEdit*>(child) ||
            qobject_cast<ambrel::ui::UpDown*>(child))
            controls.append(child);
    }
    return controls;
}

// The caption is drawn whole: a label as wide as its text (as tall as its wrapped text),
// a button or check box at least its size hint (as tall as its wrapped caption).
bool CaptionFits(QWidget* control) {
    if (auto* label = qobject_cast<QLabel*>(control)) {
        if (label->wordWrap()) return label->height() >= label->heightForWidth(label->width());
        return label->width() >= label->sizeHint().width() &&
               label->height() >= label->sizeHint().height();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        // A caption that breaks into lines needs the height of its lines at its width.
        if (button->hasHeightForWidth())
            return button->width() >= button->minimumSizeHint().width() &&
                   button->height() >= button->heightForWidth(button->width());
        return button->width() >= button->sizeHint().width() &&
               button->height() >= button->sizeHint().height();
    }
    if (auto* memo = qobject_cast<QPlainTextEdit*>(control)) {
        // Every line of the memo shows, none cut at the right.
        const QFontMetrics metrics = memo->fontMetrics();
        const QStringList lines = memo->toPlainText().split(QLatin1Char('\n'));
        int widest = 0;
        for (const QString& line : lines) widest = qMax(widest, metrics.horizontalAdvance(line));
        return memo->viewport()->width() >= widest &&
               memo->viewport()->height() >= metrics.lineSpacing() * lines.size();
    }
    if (auto* list = qobject_cast<QListWidget*>(control)) {
        // Every template line has its row in sight.
        return list->count() > 0 && list->viewport()->rect().contains(
                                        list->visualItemRect(list->item(list->count() - 1)));
    }
    return true;
}

void CheckPage(TForm3* form, int index) {
    form->PageControl1()->setCurrentIndex(index);
    QTest::qWait(20);
    QWidget* page = form->PageControl1()->currentWidget();
    const QList<QWidget*> controls = Controls(page);
    QVERIFY(controls.size() > 10);
    for (QWidget* control : controls) {
        const QRect at = RectIn(form, control);
        QVERIFY2(form->rect().contains(at), qPrintable(control->objectName()));
        QVERIFY2(CaptionFits(control), qPrintable(control->objectName()));
        for (QWidget* other : controls) {
            if (other == control || control->isAncestorOf(other) || other->isAncestorOf(control))
                continue;
            QVERIFY2(!at.intersects(RectIn(form, other)),
                     qPrintable(control->objectName() + " overlaps " + other->objectName()));
        }
    }
}

}  // namespace

class ActionPanelLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void EveryPageFitsTheWindow_data() {
        QTest::addColumn<int>("height");
        QTest::newRow("designed") << 593;
        // What the placement gives on a 1024 x 768 and a 1280 x 1024 screen.
        QTest::newRow("1024x768") << 728;
        QTest::newRow("1280x1024") << 984;
    }

    void EveryPageFitsTheWindow() {
        QFETCH(int, height);
        ambrel::test::FakePrompter prompter;
        WindowSet windows(&prompter);
        TForm3* form = windows.Form3();
        QCOMPARE(form->size(), QSize(289, 593));
        form->resize(289, height);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QCOMPARE(form->size(), QSize(289, height));

        QTabBar* tabs = form->PageControl1()->tabBar();
        QVERIFY(tabs->width() >= tabs->sizeHint().width());
        for (int index = 0; index < 3; ++index) {
            CheckPage(form, index);
            if (QTest::currentTestFailed()) return;
            if (!shots_dir.isEmpty() && height == 593) {
                QDir().mkpath(shots_dir);
                QVERIFY(form->grab().save(
                    QStringLiteral("%1/form3_page%2.png").arg(shots_dir).arg(index + 1)));
            }
        }
    }
};

int main(int argc, char** argv) {
    return RunWindowTest<ActionPanelLayoutTest>(argc, argv, &shots_dir);
}

#include "action_panel_layout_test.moc"
