// The preview dialog of the two rename pages and the main window's Undo and Redo, through
// the real windows.
#include <QAbstractItemModel>
#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <functional>
#include <memory>

#include "action_panel_world.h"
#include "background_load.h"
#include "preview_watch.h"
#include "support/gate.h"

using namespace ambrel::test;

class UndoPreviewTest : public QObject {
    Q_OBJECT

private slots:
    void ThePreviewShowsEverySelectedFileAndApplyRunsThePage() {
        PanelWorld w;
        // A name far wider than the dialog.
        const std::string untagged = std::string(200, 'u') + ".mp3";
        w.Load(
            Paths({w.Write("a.mp3", MakeBlock(Tag().Artist("Abba").Title("Waterloo"))),
                   w.Write(untagged, std::nullopt),
                   w.Write("b.mp3", MakeBlock(Tag().Artist("Blur").Title("Song 2"))),
                   w.Write("Cher - Believe.mp3", MakeBlock(Tag().Artist("Cher").Title("Believe"))),
                   w.Write("Blur - Song 2.mp3", std::nullopt)}));
        w.Select({0, 1, 2, 3});
        w.panel->PageControl1()->setCurrentIndex(0);
        w.ChooseTemplate("ListBoxFR", 0);
        const Texts before = w.Files();

        bool seen = false;
        WhenPreviewOpens(
            [&](PreviewDialog* dialog) {
                seen = true;
                const QAbstractItemModel* model = dialog->Model();
                QCOMPARE(dialog->windowTitle(), QStringLiteral("Preview: Rename selected files"));
                QCOMPARE(Header(model), (QStringList{"Old name", "New name", "Kept because"}));
                QCOMPARE(model->rowCount(), 4);
                QCOMPARE(Row(model, 0), (QStringList{"a.mp3", "Abba - Waterloo.mp3", ""}));
                QCOMPARE(Row(model, 1),
                         (QStringList{QString::fromStdString(untagged), "", "no tag"}));
                QCOMPARE(Row(model, 2),
                         (QStringList{"b.mp3", "Blur - Song 2.mp3", "a file of that name exists"}));
                QCOMPARE(Row(model, 3),
                         (QStringList{"Cher - Believe.mp3", "Cher - Believe.mp3", "no change"}));
                // A kept row is drawn greyed, a renamed one is not.
                QVERIFY(!model->index(0, 0).data(Qt::ForegroundRole).isValid());
                QVERIFY(model->index(1, 0).data(Qt::ForegroundRole).isValid());
                // A long name does not push the reasons out of view.
                const QHeaderView* header = dialog->Table()->horizontalHeader();
                QVERIFY(header->sectionViewportPosition(2) + header->sectionSize(2) <=
                        dialog->Table()->viewport()->width());
            },
            "Close");
        w.Press("SpeedButtonFRPreview");
        QVERIFY(seen);
        QCOMPARE(w.Files(), before);
        QCOMPARE(w.Control<QComboBox>("ComboBoxFRMask")->count(), 0);

        WhenPreviewOpens([](PreviewDialog*) {}, "Apply");
        w.Press("SpeedButtonFRPreview");
        QCOMPARE(w.Files(), (Texts{"Abba - Waterloo.mp3", "Blur - Song 2.mp3", "Cher - Believe.mp3",
                                   "b.mp3", untagged}));
        // The run's own warning for b.mp3.
        QCOMPARE(w.prompter.Count(Shown::kWarning), 1);
    }

    void TheTagPreviewShowsTheFieldsEachFileWouldGet() {
        PanelWorld w;
        w.Load(Paths({w.Write("07 - Queen - Innuendo.mp3", MakeBlock(Tag())),
                      w.Write("12 - Abba - Waterloo.mp3", std::nullopt)}));
        w.Select({0, 1});
        w.panel->PageControl1()->setCurrentIndex(1);
        w.ChooseTemplate("ListBoxTR", 1);
        bool seen = false;
        WhenPreviewOpens(
            [&](PreviewDialog* dialog) {
                seen = true;
                const QAbstractItemModel* model = dialog->Model();
                QCOMPARE(Header(model), (QStringList{"File name", "Artist", "Song title", "Album",
                                                     "Year", "Track", "Kept because"}));
                QCOMPARE(Row(model, 0), (QStringList{"07 - Queen - Innuendo.mp3", "Queen",
                                                     "Innuendo", "", "", "7", ""}));
                QCOMPARE(Row(model, 1), (QStringList{"12 - Abba - Waterloo.mp3", "Abba", "Waterloo",
                                                     "", "", "12", ""}));
            },
            "Close");
        w.Press("SpeedButtonTRPreview");
        QVERIFY(seen);
        QVERIFY2(w.Messages().empty(), "no per-value message box");
        QCOMPARE(w.library.TagList()->Get(1)->GetState(), ambrel::tsNone);
    }

    void CtrlZTakesTheRenameRunBackOnDiskAndInTheTable() {
        PanelWorld w;
        w.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.form));
        w.Load(Paths({w.Write("a.mp3", MakeBlock(Tag().Artist("Abba").Title("Waterloo"))),
                      w.Write("b.mp3", MakeBlock(Tag().Artist("Blur").Title("Song 2")))}));
        auto* undo = w.Find<QAction>("Undo1");
        auto* redo = w.Find<QAction>("Redo1");
        QCOMPARE(undo->text(), QStringLiteral("Undo"));
        QVERIFY(!undo->isEnabled());
        QVERIFY(!redo->isEnabled());

        w.Select({0, 1});
        w.ChooseTemplate("ListBoxFR", 0);
        w.Press("SpeedButtonFR");
        QCOMPARE(w.Files(), (Texts{"Abba - Waterloo.mp3", "Blur - Song 2.mp3"}));
        QCOMPARE(undo->text(), QStringLiteral("Undo rename of 2 files"));
        QVERIFY(undo->isEnabled());

        w.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.form));
        QTest::keyClick(w.table, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.Files(), (Texts{"a.mp3", "b.mp3"}));
        QCOMPARE(w.Column(2), (Texts{"a", "b"}));
        QCOMPARE(undo->text(), QStringLiteral("Undo"));
        QVERIFY(!undo->isEnabled());
        QCOMPARE(redo->text(), QStringLiteral("Redo rename of 2 files"));
        QVERIFY(redo->isEnabled());

        QTest::keyClick(w.table, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(w.Files(), (Texts{"Abba - Waterloo.mp3", "Blur - Song 2.mp3"}));
        QCOMPARE(w.Column(2), (Texts{"Abba - Waterloo", "Blur - Song 2"}));

        // Removed lines come back with the menu item, which names them.
        w.Trigger("Deletealltags1");
        QCOMPARE(w.table->RowCount(), 0);
        QCOMPARE(undo->text(), QStringLiteral("Undo removal of 2 lines"));
        w.Trigger("Undo1");
        QCOMPARE(w.table->RowCount(), 2);
        QCOMPARE(undo->text(), QStringLiteral("Undo rename of 2 files"));
    }

    // While a load runs, Undo and Redo and the two Preview buttons are greyed, and the keys
    // do nothing; once the load is applied, Undo takes the rename back.
    void UndoWaitsForALoad() {
        PanelWorld w;
        w.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.form));
        w.Load(Paths({w.Write("a.mp3", MakeBlock(Tag().Artist("Abba").Title("Waterloo")))}));
        w.Select({0});
        w.ChooseTemplate("ListBoxFR", 0);
        w.Press("SpeedButtonFR");
        QCOMPARE(w.Files(), (Texts{"Abba - Waterloo.mp3"}));
        const std::string held = w.Write("held.mp3", std::nullopt);
        const auto gate = HoldReadOf(w.library, held);
        w.form->AddDroppedPaths({held});
        gate->AwaitReached();

        auto* undo = w.Find<QAction>("Undo1");
        QVERIFY(!undo->isEnabled());
        QVERIFY(!w.Find<QAction>("Redo1")->isEnabled());
        for (const char* name : {"SpeedButtonFRPreview", "SpeedButtonTRPreview"})
            QVERIFY2(!w.Control<QWidget>(name)->isEnabled(), name);
        w.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.form));
        QTest::keyClick(w.table, Qt::Key_Z, Qt::ControlModifier);
        w.form->UndoLastBatch();
        QCOMPARE(w.Files(), (Texts{"Abba - Waterloo.mp3", "held.mp3"}));

        gate->Release();
        QVERIFY(AwaitLoad(w.library));
        QVERIFY(undo->isEnabled());
        QVERIFY(w.Control<QWidget>("SpeedButtonFRPreview")->isEnabled());
        QTest::keyClick(w.table, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.Files(), (Texts{"a.mp3", "held.mp3"}));
        QCOMPARE(w.Column(2), (Texts{"a", "held"}));
    }
};

int main(int argc, char** argv) {
    AmbrelApplication app(argc, argv);
    UndoPreviewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "undo_preview_test.moc"
