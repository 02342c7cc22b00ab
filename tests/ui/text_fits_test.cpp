// Every text the three windows show is drawn whole, on every page, at the size the window
// placement gives them on the screen the test runs on (the suite runs it on a 1024 x 768 and
// a 1280 x 1024 screen): labels, buttons, check boxes, group titles, tabs, the items of the
// list boxes and the table headers. "--shots DIR" saves pictures of the three windows.
#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QStyleOptionHeader>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "support/fake_prompter.h"
#include "ui/actions/action_panel.h"
#include "ui/app/window_set.h"
#include "ui/files/file_viewer_window.h"
#include "ui/viewer/main_window.h"
#include "window_test_main.h"

using ambrel::ui::WindowSet;

namespace {

QString shots_dir;

QString NameOf(const QWidget* widget) {
    return widget->objectName().isEmpty() ? QString::fromLatin1(widget->metaObject()->className())
                                          : widget->objectName();
}

// The width the combo box gives the text of its current item, as the style draws it.
int ComboTextWidth(QComboBox* box) {
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.editable = box->isEditable();
    option.frame = box->hasFrame();
    return box->style()
        ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box)
        .width();
}

// What of the widget's texts is cut, as one line per cut text; empty when all fit.
QStringList CutTexts(QWidget* widget) {
    QStringList cut;
    const auto report = [&](const QString& text, int has, int needs) {
        if (has < needs)
            cut << QStringLiteral("%1: \"%2\" has %3 px, needs %4")
                       .arg(NameOf(widget), text)
                       .arg(has)
                       .arg(needs);
    };
    const QFontMetrics metrics = widget->fontMetrics();
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (label->text().isEmpty()) return cut;
        if (label->wordWrap()) {
            report(label->text(), label->height(), label->heightForWidth(label->width()));
        } else {
            report(label->text(), label->width(), label->sizeHint().width());
            report(label->text(), label->height(), label->sizeHint().height());
        }
    } else if (auto* tool = qobject_cast<QToolButton*>(widget)) {
        if (tool->toolButtonStyle() != Qt::ToolButtonIconOnly && !tool->text().isEmpty())
            report(tool->text(), tool->width(), tool->sizeHint().width());
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        if (button->text().isEmpty()) return cut;
        if (button->hasHeightForWidth()) {
            report(button->text(), button->height(), button->heightForWidth(button->width()));
        } else {
            report(button->text(), button->width(), button->sizeHint().width());
        }
    } else if (auto* box = qobject_cast<QComboBox*>(widget)) {
        // An editable box holds what the user types, its items may be long masks; the drive
        // box names the machine's mount points, which may be of any length.
        if (box->isEditable() || box->objectName() == QLatin1String("DriveComboBox")) return cut;
        const int room = ComboTextWidth(box);
        for (int i = 0; i < box->count(); ++i) {
            const int icon = box->itemIcon(i).isNull() ? 0 : box->iconSize().width() + 4;
            report(box->itemText(i), room, metrics.horizontalAdvance(box->itemText(i)) + icon);
        }
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        if (!group->title().isEmpty())
            report(group->title(), group->width(), group->minimumSizeHint().width());
    } else if (auto* tabs = qobject_cast<QTabBar*>(widget)) {
        const int padding = tabs->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, tabs);
        for (int i = 0; i < tabs->count(); ++i) {
            if (!tabs->isTabVisible(i)) continue;
            const int icon = tabs->tabIcon(i).isNull() ? 0 : tabs->iconSize().width() + 4;
            report(tabs->tabText(i), tabs->tabRect(i).width(),
                   tabs->fontMetrics().horizontalAdvance(tabs->tabText(i)) + padding + icon);
        }
    } else if (auto* header = qobject_cast<QHeaderView*>(widget)) {
        QAbstractItemModel* model = header->model();
        if (model == nullptr || header->orientation() != Qt::Horizontal) return cut;
        for (int section = 0; section < header->count(); ++section) {
            if (header->isSectionHidden(section) || header->sectionSize(section) == 0) continue;
            const QString text =
                model->headerData(section, Qt::Horizontal, Qt::DisplayRole).toString();
            QStyleOptionHeader option;
            option.initFrom(header);
            option.text = text;
            option.icon =
                model->headerData(section, Qt::Horizontal, Qt::DecorationRole).value<QIcon>();
            const QSize needs = header->style()->sizeFromContents(QStyle::CT_HeaderSection, &option,
                                                                  QSize(), header);
            report(text, header->sectionSize(section), needs.width());
        }
    }
    return cut;
}

// The cut texts of every visible widget of the window, each page of its tab widgets shown
// in turn.
QStringList CutTextsOf(QWidget* window) {
    QStringList cut;
    const auto look = [&] {
        for (QWidget* child : window->findChildren<QWidget*>()) {
            if (child->isVisible()) cut << CutTexts(child);
        }
    };
    look();
    for (QTabWidget* tabs : window->findChildren<QTabWidget*>()) {
        if (!tabs->isVisible()) continue;
        const int shown = tabs->currentIndex();
        for (int page = 0; page < tabs->count(); ++page) {
            if (page == shown || !tabs->isTabVisible(page)) continue;
            tabs->setCurrentIndex(page);
            QCoreApplication::processEvents();
            look();
        }
        tabs->setCurrentIndex(shown);
    }
    cut.removeDuplicates();
    return cut;
}

}  // namespace

class TextFitsTest : public QObject {
    Q_OBJECT

private slots:
    void EveryTextOfTheThreeWindowsShowsWhole() {
        ambrel::test::FakePrompter prompter;
        WindowSet windows(&prompter);
        windows.Show();
        for (QWidget* window :
             {static_cast<QWidget*>(windows.Form1()), static_cast<QWidget*>(windows.Form2()),
              static_cast<QWidget*>(windows.Form3())}) {
            QVERIFY(QTest::qWaitForWindowExposed(window));
        }
        QTest::qWait(50);  // the placement's layouts settle
        const QSize screen = QGuiApplication::primaryScreen()->size();
        qInfo("screen %dx%d", screen.width(), screen.height());
        QStringList cut;
        for (QWidget* window :
             {static_cast<QWidget*>(windows.Form1()), static_cast<QWidget*>(windows.Form2()),
              static_cast<QWidget*>(windows.Form3())}) {
            cut << CutTextsOf(window);
        }
        if (!shots_dir.isEmpty()) {
            const QString size = QStringLiteral("%1x%2").arg(screen.width()).arg(screen.height());
            QDir().mkpath(shots_dir);
            for (QWidget* window :
                 {static_cast<QWidget*>(windows.Form1()), static_cast<QWidget*>(windows.Form2()),
                  static_cast<QWidget*>(windows.Form3())}) {
                window->grab().save(
                    QStringLiteral("%1/%2_%3.png").arg(shots_dir, window->objectName(), size));
            }
        }
        for (const QString& line : cut) qWarning("cut: %s", qPrintable(line));
        QVERIFY2(cut.isEmpty(), "texts are cut (listed above)");
    }
};

int main(int argc, char** argv) { return RunWindowTest<TextFitsTest>(argc, argv, &shots_dir); }

#include "text_fits_test.moc"
