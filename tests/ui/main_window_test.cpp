#include "ui/viewer/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDropEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "library/library.h"
#include "support/fake_prompter.h"
#include "support/mp3_fixture.h"
#include "tag/tag_list.h"
#include "ui/actions/action_panel.h"
#include "ui/app/ambrel_application.h"
#include "ui/app/window_set.h"
#include "ui/common/qt_report_view.h"
#include "ui/common/window_placement.h"
#include "ui/files/file_viewer_window.h"
#include "ui/update/about_box.h"
#include "ui/update/version_dialog.h"
#include "viewer/tag_viewer.h"

using namespace ambrel::test;
using ambrel::ui::AmbrelApplication;
using ambrel::ui::QtReportView;
using ambrel::ui::TForm1;
using ambrel::ui::WindowSet;
using Shown = FakePrompter::Shown;

namespace {

constexpr std::size_t kAudio = 1000;

// The real window set with a scripted prompter behind its windows and behind the
// application's exception box, and a temporary directory for the files.
struct World {
    FakePrompter prompter;
    TempDir dir;
    std::unique_ptr<WindowSet> windows = std::make_unique<WindowSet>(&prompter);
    TForm1* form = windows->Form1();
    ambrel::Library& library = windows->GetLibrary();
    QtReportView* table = form->ListViewTagViewer();

    World() { AmbrelApplication::Instance()->SetPrompter(&prompter); }
    ~World() { AmbrelApplication::Instance()->SetPrompter(nullptr); }

    std::string Write(const std::string& name, const std::optional<Block>& block) {
        return WriteMp3(dir / name, kAudio, block);
    }
    template <typename T>
    T* Find(const char* name) const {
        T* found = form->findChild<T*>(QLatin1String(name));
        if (found == nullptr) qFatal("no control named %s", name);
        return found;
    }
    void Click(const char* button) const { Find<QToolButton>(button)->click(); }
    void Trigger(const char* item) const { Find<QAction>(item)->trigger(); }
    QString Text(const char* edit) const { return Find<QLineEdit>(edit)->text(); }
    void SetText(const char* edit, const QString& text) const {
        Find<QLineEdit>(edit)->setText(text);
    }
    void Select(std::vector<int> rows) const { table->ReplaceSelection(rows); }

    // The column of cells at a table position, top to bottom.
    std::vector<std::string> Column(int pos) const {
        std::vector<std::string> cells;
        for (int row = 0; row < table->RowCount(); ++row) cells.emplace_back(table->Cell(row, pos));
        return cells;
    }
    std::vector<std::string> Headers() const {
        std::vector<std::string> captions;
        for (int pos = 0; pos < table->ColumnCount(); ++pos)
            captions.push_back(table->ColumnCaption(pos));
        return captions;
    }
};

using Paths = std::vector<std::string>;

// Drops the paths on the widget as a file manager would: local file URLs with the names'
// bytes percent-encoded, and with `as_text` the same URLs as plain text too, as some file
// managers offer them.
void Drop(QWidget* target, const Paths& paths, bool as_text = false) {
    QMimeData mime;
    QList<QUrl> urls;
    QStringList lines;
    for (const std::string& path : paths) {
        const QByteArray bytes(path.data(), static_cast<qsizetype>(path.size()));
        urls.append(QUrl::fromEncoded("file://" + bytes.toPercentEncoding("/")));
        lines.append(urls.back().toString());
    }
    mime.setUrls(urls);
    if (as_text) mime.setText(lines.join(QLatin1Char('\n')));
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

// Tag fields to write, named as they are set.
struct Tag : TagFields {
    Tag& Title(std::string text) {
        title = std::move(text);
        return *this;
    }
    Tag& Artist(std::string text) {
        artist = std::move(text);
        return *this;
    }
    Tag& Album(std::string text) {
        album = std::move(text);
        return *this;
    }
    Tag& Year(std::string text) {
        year = std::move(text);
        return *this;
    }
    Tag& Comment(std::string text) {
        comment = std::move(text);
        return *this;
    }
    Tag& Track(int value) {
        track = value;
        return *this;
    }
    Tag& Genre(int value) {
        genre = value;
        return *this;
    }
};

std::vector<uint8_t> Bytes(const Block& block) { return {block.begin(), block.end()}; }

// Sends an event to an object whose handler throws.
class Thrower : public QObject {
public:
    std::function<void()> raise;
    bool event(QEvent* event) override {
        if (event->type() == QEvent::User) raise();
        return QObject::event(event);
    }
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void TheFrameCarriesItsNamedControls() {
        World w;
        QCOMPARE(w.form->windowTitle(), QStringLiteral("Ambrel 2.0 Free (Pendrake project)"));
        QCOMPARE(QApplication::applicationDisplayName(),
                 QStringLiteral("Ambrel 2.0 Free alpha (Pendrake)"));
        QCOMPARE(w.Headers(), (std::vector<std::string>{"Index", "Directory", "Filename", "Track",
                                                        "Artist", "Song name", "Album", "Comment",
                                                        "Genre", "Year", "Picture"}));
        QCOMPARE(w.table->ColumnImage(0), int(ambrel::TTagViewer::kImageAscending));

        // Only "Save tag" shows its hint as a tooltip.
        QCOMPARE(w.Find<QToolButton>("ToolButtonSaveCurrent")->toolTip(),
                 QStringLiteral("Save currently selected tag"));
        QVERIFY(w.Find<QToolButton>("ToolButtonSaveAll")->toolTip().isEmpty());
        QCOMPARE(w.Find<QToolButton>("ToolButtonSaveAll")->statusTip(),
                 QStringLiteral("Save changes in all changed tags "));
        QCOMPARE(w.Find<QToolButton>("ToolButtonDelAll")->text(),
                 QStringLiteral("Remove selected"));

        // The drop-down menus of the two selection buttons, in order.
        const struct {
            const char* button;
            const char* menu;
            const char* prefix;
        } drop_downs[] = {{"ToolButtonWithTag", "PopupMenuWithTag", "Selectwithfilled"},
                          {"ToolButtonWithNoTag", "PopupMenuNoTag", "Selectwithno"}};
        for (const auto& d : drop_downs) {
            auto* button = w.Find<QToolButton>(d.button);
            QCOMPARE(button->popupMode(), QToolButton::MenuButtonPopup);
            QCOMPARE(button->menu()->objectName(), QLatin1String(d.menu));
            QStringList names;
            for (QAction* item : button->menu()->actions()) names << item->objectName();
            const QString p = QLatin1String(d.prefix);
            QCOMPARE(names, QStringList({p + "Artist1", p + "Songtitle1", p + "Album1",
                                         p + "Comment1", p + "Track1", p + "Year1", p + "Genre1"}));
        }

        // Only the "Tag detail" page of the detail page control is visible.
        auto* detail = w.Find<QTabWidget>("PageControlFileDetail");
        QCOMPARE(detail->count(), 4);
        QVERIFY(detail->isTabVisible(0));
        QCOMPARE(detail->tabText(0), QStringLiteral("Tag detail"));
        for (int tab = 1; tab < 4; ++tab) QVERIFY(!detail->isTabVisible(tab));
        QVERIFY(!detail->isTabEnabled(1));
        QCOMPARE(w.Find<QTabWidget>("PageControlFileViewer")->tabText(0),
                 QStringLiteral("Tag viewer"));
        for (const char* item :
             {"Filemanagervisible1", "Actionpanelvisible1", "Selectlineswithnotag1",
              "Deletetagsonselectedlines1", "Saveallchangestags1", "Applyfilterontaglist1",
              "Checknewversion1", "About2"})
            w.Find<QAction>(item);
    }

    void DroppingKeepsExactlyTheMp3FilesInDropOrder() {
        World w;
        const std::string tagged =
            w.Write("b/first.mp3", MakeBlock(Tag().Title("T").Artist("Art")));
        const std::string untagged = w.Write("a/second.mp3", std::nullopt);
        const std::string upper = w.Write("a/third.MP3", MakeBlock({}));
        const std::string inside = w.Write("album.mp3/inner.mp3", MakeBlock({}));
        const std::string text = w.dir / "notes.txt";
        WriteBytes(text, {'x'});
        QSignalSpy inserted(w.table->model(), &QAbstractItemModel::rowsInserted);

        // Dropped on the table: the drop reaches the window through its parents.
        Drop(w.table->viewport(),
             Paths({tagged, upper, w.dir / "a", w.dir / "album.mp3", text, untagged}));
        QCOMPARE(w.library.TagList()->Count(), 2);
        QCOMPARE(w.Column(0), (std::vector<std::string>{"1", "2"}));
        QCOMPARE(w.Column(1), (std::vector<std::string>{"b", "a"}));
        QCOMPARE(w.Column(2), (std::vector<std::string>{"first", "second"}));
        QCOMPARE(w.Column(4), (std::vector<std::string>{"Art", ""}));
        QTRY_COMPARE(w.table->model()->rowCount(), 2);
        QCOMPARE(inserted.count(), 1);  // one rebuild

        // A drop without any ".mp3" path changes nothing.
        Drop(w.form, Paths({text, upper}));
        QCOMPARE(w.library.TagList()->Count(), 2);
    }

    void FilesDroppedOnAnEditBoxAreLoadedNotTyped() {
        World w;
        const std::string song = w.Write("song.mp3", MakeBlock(Tag().Artist("Art")));
        auto* look_for = w.Find<QComboBox>("ComboBoxExFilter1");
        for (QWidget* target : {static_cast<QWidget*>(w.Find<QLineEdit>("EditTagArtist")),
                                static_cast<QWidget*>(look_for->lineEdit())})
            Drop(target, Paths({song}), true);
        QCOMPARE(w.library.TagList()->Count(), 2);
        QCOMPARE(w.Text("EditTagArtist"), QString());
        QCOMPARE(look_for->currentText(), QString());
    }

    void LongPathsAreTakenWhole() {
        World w;
        std::string deep = "d";
        while (deep.size() < 300) deep += "/directory-with-a-long-name";
        const std::string path = w.Write(deep + "/song.mp3", MakeBlock(Tag().Artist("Deep")));
        QVERIFY(path.size() > 300);
        w.form->AddDroppedPaths(Paths({path}));
        QCOMPARE(w.library.TagList()->Get(0)->GetPath(), path);
        QCOMPARE(w.Column(4), std::vector<std::string>{"Deep"});
    }

    // Latin-1 bytes in a name are legal on Linux; the dropped file is the same file.
    void ANameThatIsNotUtf8IsLoadedAndSavedUnderItsOwnBytes() {
        World w;
        const std::string path = w.Write("dir\xe9/caf\xe9.mp3", MakeBlock(Tag().Artist("Old")));
        Drop(w.table->viewport(), Paths({path}));
        QCOMPARE(w.library.TagList()->Count(), 1);
        QCOMPARE(w.library.TagList()->Get(0)->GetPath(), path);
        w.Select({0});
        QVERIFY(w.Find<QCheckBox>("CheckBoxTagPresent")->isChecked());
        QCOMPARE(w.Text("EditTagArtist"), QStringLiteral("Old"));
        w.SetText("EditTagArtist", QStringLiteral("New"));
        w.Click("ToolButtonSaveCurrent");
        QCOMPARE(ReadTail(path), Bytes(MakeBlock(Tag().Artist("New"))));
        QCOMPARE(w.prompter.shown.size(), std::size_t(0));
    }

    // The data files are read from beside the executable wherever it lies, in a directory
    // whose name is not UTF-8 too: a copy of this test runs from such a directory, with a
    // genre list of its own there, and checks what it reads.
    void TheDataFilesBesideTheExecutableAreFoundInAnyDirectory() {
        if (const char* expected = std::getenv("AMBREL_EXPECTED_EXE_DIR")) {
            World w;
            QCOMPARE(w.library.ExeDir(), std::string(expected));
            w.form->AddDroppedPaths({w.Write("s.mp3", MakeBlock(Tag().Genre(1)))});
            QCOMPARE(w.Column(8), std::vector<std::string>{"Marker genre"});
            return;
        }
        TempDir dir;
        const std::string bin = dir / "bin\xe9";
        std::filesystem::create_directories(bin + "/Data");
        std::filesystem::copy_file("/proc/self/exe", bin + "/copy");
        const std::string cfg = "Blues\nMarker genre\n";
        WriteBytes(bin + "/Data/tagviewer.cfg", {cfg.begin(), cfg.end()});
        const std::string log = dir / "log";
        const std::string command = "AMBREL_EXPECTED_EXE_DIR='" + bin + "' timeout 120 '" + bin +
                                    "/copy' " + QTest::currentTestFunction() + " >'" + log +
                                    "' 2>&1";
        const int status = std::system(command.c_str());
        const std::vector<uint8_t> output = ReadBytes(log);
        QVERIFY2(status == 0, std::string(output.begin(), output.end()).c_str());
    }

    void ColumnMenuHidesAndShowsColumns() {
        World w;
        w.form->AddDroppedPaths(Paths({w.Write("s.mp3", MakeBlock(Tag().Year("1999").Genre(17)))}));
        QAction* genre = w.Find<QAction>("Genre1");
        QVERIFY(genre->isChecked());
        genre->trigger();
        QVERIFY(!genre->isChecked());
        QCOMPARE(w.table->ColumnCount(), 10);
        QCOMPARE(w.table->ColumnCaption(8), std::string("Year"));
        QCOMPARE(w.Column(8), std::vector<std::string>{"1999"});
        genre->trigger();
        QCOMPARE(w.table->ColumnCount(), 11);
        QCOMPARE(w.table->ColumnCaption(8), std::string("Genre"));
        // Columns rebuilt take the table's captions: the sixth reads "Song title" now.
        QCOMPARE(w.table->ColumnCaption(5), std::string("Song title"));
    }

    void RemovingLinesLeavesTheFilesAlone() {
        World w;
        std::vector<std::string> paths;
        for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
            paths.push_back(w.Write(name, MakeBlock(Tag().Artist(name))));
        const std::vector<uint8_t> before = ReadBytes(paths[1]);
        w.form->AddDroppedPaths(Paths({paths[0], paths[1], paths[2]}));

        w.Select({0, 2});
        QCOMPARE(w.Text("EditTagArtist"), QStringLiteral("a.mp3"));
        w.Click("ToolButtonDelSelected");
        QCOMPARE(w.Column(0), std::vector<std::string>{"1"});
        QCOMPARE(w.Column(4), std::vector<std::string>{"b.mp3"});
        QVERIFY(!w.Find<QCheckBox>("CheckBoxTagPresent")->isChecked());
        QCOMPARE(w.Text("EditTagArtist"), QString());

        w.Select({0});
        w.Click("ToolButtonDelAll");
        QCOMPARE(w.table->RowCount(), 0);
        QCOMPARE(w.library.TagList()->Count(), 0);
        QCOMPARE(w.Text("EditTagArtist"), QString());
        QCOMPARE(ReadBytes(paths[1]), before);
    }

    void EditingAndSavingATagWritesItsBlock() {
        World w;
        const std::string path = w.Write("song.mp3", MakeBlock(Tag()
                                                                   .Title("Old")
                                                                   .Artist("Someone")
                                                                   .Album("Alb")
                                                                   .Year("1999")
                                                                   .Comment("c")
                                                                   .Track(3)
                                                                   .Genre(17)));
        w.form->AddDroppedPaths(Paths({path}));
        w.Select({0});
        QCOMPARE(w.Text("EditTagTitle"), QStringLiteral("Old"));
        QCOMPARE(w.Text("EditTagTrack"), QStringLiteral("3"));
        QSignalSpy saved(w.form, &TForm1::tagsSaved);

        w.SetText("EditTagArtist", QStringLiteral("New Artist"));
        w.SetText("EditTagTrack", QStringLiteral("7"));
        w.Find<QComboBox>("ComboBoxTagGenre")->setCurrentIndex(21);  // genre 20
        w.Click("ToolButtonSaveCurrent");

        QCOMPARE(ReadTail(path), Bytes(MakeBlock(Tag()
                                                     .Title("Old")
                                                     .Artist("New Artist")
                                                     .Album("Alb")
                                                     .Year("1999")
                                                     .Comment("c")
                                                     .Track(7)
                                                     .Genre(20))));
        QCOMPARE(FileSize(path), static_cast<long long>(kAudio + 128));
        QCOMPARE(w.Column(4), std::vector<std::string>{"New Artist"});
        QCOMPARE(w.Column(3), std::vector<std::string>{"7"});
        QCOMPARE(saved.count(), 1);
        QCOMPARE(w.prompter.shown.size(), std::size_t(0));
    }

    void TagPresentAddsAndRemovesTheBlock() {
        World w;
        const std::string bare = w.Write("bare.mp3", std::nullopt);
        const std::string tagged = w.Write("tagged.mp3", MakeBlock(Tag().Artist("Gone")));
        w.form->AddDroppedPaths(Paths({bare, tagged}));
        auto* present = w.Find<QCheckBox>("CheckBoxTagPresent");

        w.Select({0});
        QVERIFY(!present->isChecked());
        present->click();
        QVERIFY(present->isChecked());
        QCOMPARE(w.Text("EditTagTrack"), QStringLiteral("0"));
        w.SetText("EditTagTitle", QStringLiteral("Fresh"));
        w.Click("ToolButtonSaveCurrent");
        QCOMPARE(FileSize(bare), static_cast<long long>(kAudio + 128));
        QCOMPARE(ReadTail(bare), Bytes(MakeBlock(Tag().Title("Fresh").Genre(254))));
        QCOMPARE(ReadBytes(bare).size(), kAudio + 128);

        w.Select({1});
        QVERIFY(present->isChecked());
        present->click();
        w.Click("ToolButtonSaveCurrent");
        QCOMPARE(ReadBytes(tagged), MakeMp3Bytes(kAudio, std::nullopt));
        QVERIFY(!present->isChecked());
        QVERIFY(w.Find<QLineEdit>("EditTagArtist")->isHidden());
        QCOMPARE(w.prompter.shown.size(), std::size_t(0));
    }

    // Whatever rebuilds the table empties the panel, Track box included; a row whose tag
    // is to go (or that has none) is saved without reading the hidden boxes.
    void SavingAnUntickedRowAfterTheTableWasRebuilt() {
        const struct {
            const char* rebuild;
            std::function<void(World&)> run;
        } rebuilds[] = {
            {"apply filter", [](World& w) { w.Click("ToolButtonApplyFilter"); }},
            {"hide a column", [](World& w) { w.Trigger("Genre1"); }},
            {"remove a line",
             [](World& w) {
                 w.Select({2});
                 w.Click("ToolButtonDelSelected");
             }},
            {"load", [](World& w) { Drop(w.form, Paths({w.Write("more.mp3", std::nullopt)})); }},
        };
        for (const auto& r : rebuilds) {
            World w;
            const std::string tagged = w.Write("tagged.mp3", MakeBlock(Tag().Artist("Gone")));
            const std::string bare = w.Write("bare.mp3", std::nullopt);
            const std::string other = w.Write("other.mp3", MakeBlock(Tag().Artist("Other")));
            w.form->AddDroppedPaths(Paths({tagged, bare, other}));
            w.Select({0});
            w.Find<QCheckBox>("CheckBoxTagPresent")->click();
            r.run(w);
            QVERIFY2(w.Text("EditTagTrack").isEmpty(), r.rebuild);

            w.Select({0});
            w.Click("ToolButtonSaveCurrent");
            QVERIFY2(ReadBytes(tagged) == MakeMp3Bytes(kAudio, std::nullopt), r.rebuild);
            w.Select({1});
            w.Trigger("Savecurrentlyselectedtag1");
            QVERIFY2(ReadBytes(bare) == MakeMp3Bytes(kAudio, std::nullopt), r.rebuild);
            QVERIFY2(w.prompter.shown.empty(), r.rebuild);
        }
    }

    void ABadTrackNumberShowsTheExceptionBoxAndTheProgramGoesOn() {
        World w;
        const std::string path = w.Write("song.mp3", MakeBlock(Tag().Artist("Before").Track(4)));
        const std::vector<uint8_t> before = ReadBytes(path);
        w.form->AddDroppedPaths(Paths({path}));
        w.Select({0});
        w.SetText("EditTagArtist", QStringLiteral("After"));
        // The Track box takes two characters.
        w.SetText("EditTagTrack", QStringLiteral("ab"));
        w.Click("ToolButtonSaveCurrent");
        QCOMPARE(w.prompter.Count(Shown::kError), 1);
        QCOMPARE(w.prompter.shown.back().text, std::string("'ab' is not a valid integer value"));
        QCOMPARE(ReadBytes(path), before);

        // The same command goes through once the number is fixed, from the keyboard too.
        w.form->show();
        w.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.form));
        w.SetText("EditTagTrack", QStringLiteral("12"));
        QTest::keyClick(w.form, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(ReadTail(path), Bytes(MakeBlock(Tag().Artist("After").Track(12))));
        QCOMPARE(w.prompter.Count(Shown::kError), 1);
    }

    void TheApplicationShowsAnExceptionFromAnyHandler() {
        FakePrompter prompter;
        AmbrelApplication::Instance()->SetPrompter(&prompter);
        Thrower thrower;
        QEvent event(QEvent::User);
        thrower.raise = [] { throw std::runtime_error("boom"); };
        QCoreApplication::sendEvent(&thrower, &event);
        thrower.raise = [] { throw 42; };
        QCoreApplication::sendEvent(&thrower, &event);
        AmbrelApplication::Instance()->SetPrompter(nullptr);
        QCOMPARE(prompter.Count(Shown::kError), 2);
        QCOMPARE(prompter.shown[0].text, std::string("boom"));
        QCOMPARE(prompter.shown[1].text, std::string());  // a kind the program does not know
    }

    void AFailedSaveIsReportedWithThePathsStillInMemory() {
        World w;
        const std::string kept = w.Write("kept.mp3", MakeBlock(Tag().Artist("K")));
        const std::string gone = w.Write("gone.mp3", MakeBlock(Tag().Artist("G")));
        w.form->AddDroppedPaths(Paths({kept, gone}));
        std::filesystem::remove(gone);

        w.Select({1});
        w.SetText("EditTagArtist", QStringLiteral("Changed"));
        w.Click("ToolButtonSaveCurrent");
        QCOMPARE(w.prompter.Count(Shown::kWarning), 1);
        QVERIFY(w.prompter.shown.back().text.find(gone) != std::string::npos);
        QVERIFY(w.prompter.shown.back().text.find("memory") != std::string::npos);
        QVERIFY(w.library.TagList()->Get(1)->IsModified());
        QCOMPARE(w.Column(4)[1], std::string("Changed"));

        // Saving all writes the file that is still there and names only the one that is not.
        w.library.TagList()->Get(0)->SetArtist("K2");
        w.Click("ToolButtonSaveAll");
        QCOMPARE(w.prompter.Count(Shown::kWarning), 2);
        QVERIFY(w.prompter.shown.back().text.find(gone) != std::string::npos);
        QVERIFY(w.prompter.shown.back().text.find(kept) == std::string::npos);
        QCOMPARE(ReadTail(kept), Bytes(MakeBlock(Tag().Artist("K2"))));
        QVERIFY(!w.library.TagList()->Get(0)->IsModified());

        // With every file written there is no warning.
        WriteMp3(gone, kAudio, MakeBlock({}));
        w.Click("ToolButtonSaveAll");
        QCOMPARE(w.prompter.Count(Shown::kWarning), 2);
        QCOMPARE(ReadTail(gone), Bytes(MakeBlock(Tag().Artist("Changed"))));
    }

    void SelectionCommandsOnAMixedSet() {
        World w;
        w.form->AddDroppedPaths(Paths({w.Write("1.mp3", MakeBlock(Tag().Artist("Art").Track(5))),
                                       w.Write("2.mp3", MakeBlock(Tag().Title("NoArtist"))),
                                       w.Write("3.mp3", std::nullopt)}));
        const struct {
            const char* control;
            std::vector<int> rows;
            const char* artist_shown;
        } cases[] = {
            {"ToolButtonWithNoTag", {2}, ""},          {"ToolButtonWithTag", {0, 1}, "Art"},
            {"SelectwithfilledArtist1", {0}, "Art"},   {"SelectwithnoArtist1", {1, 2}, ""},
            {"SelectwithfilledTrack1", {0}, "Art"},    {"SelectwithnoTrack1", {1, 2}, ""},
            {"ToolButtonSelectAll", {0, 1, 2}, "Art"}, {"Selectlineswithnotag1", {2}, ""},
        };
        for (const auto& c : cases) {
            w.Select({1});  // a hand-made selection is replaced
            if (auto* button = w.form->findChild<QToolButton*>(QLatin1String(c.control)))
                button->click();
            else
                w.Trigger(c.control);
            QCOMPARE(w.table->SelectedRows(), c.rows);
            QCOMPARE(w.Text("EditTagArtist"), QString::fromLatin1(c.artist_shown));
        }
    }

    // The Year items select by the year text and the Genre items by genre 255, each by
    // its own field whatever the criterion codes behind them.
    void YearAndGenreItemsSelectByTheirOwnField() {
        World w;
        w.form->AddDroppedPaths(Paths({w.Write("1.mp3", MakeBlock(Tag().Year("1999").Genre(255))),
                                       w.Write("2.mp3", MakeBlock(Tag().Genre(17)))}));
        const struct {
            const char* item;
            std::vector<int> rows;
        } cases[] = {{"SelectwithfilledYear1", {0}},
                     {"SelectwithnoYear1", {1}},
                     {"SelectwithfilledGenre1", {1}},
                     {"SelectwithnoGenre1", {0}}};
        for (const auto& c : cases) {
            w.Trigger(c.item);
            QCOMPARE(w.table->SelectedRows(), c.rows);
        }
    }

    // Every selection command, from the tool bar, its drop-down menus and the main menu,
    // on files in each tag state: no tag, a tag to be added, a tag to be removed (still
    // showing its fields), and a tag whose artist is thirty spaces and genre 255.
    void EverySelectionCommandOnTagsInEachState() {
        World w;
        w.form->AddDroppedPaths(Paths(
            {w.Write("none.mp3", std::nullopt), w.Write("append.mp3", std::nullopt),
             w.Write("remove.mp3", MakeBlock(Tag()
                                                 .Artist("A")
                                                 .Title("T")
                                                 .Album("Al")
                                                 .Comment("C")
                                                 .Year("1999")
                                                 .Track(3)
                                                 .Genre(17))),
             w.Write("spaces.mp3", MakeBlock(Tag().Artist(std::string(30, ' ')).Genre(255)))}));
        auto* present = w.Find<QCheckBox>("CheckBoxTagPresent");
        w.Select({1});
        present->click();  // tag to be added
        w.Select({2});
        present->click();  // tag to be removed
        QCOMPARE(w.library.TagList()->Get(1)->GetState(), ambrel::tsAppend);
        QCOMPARE(w.library.TagList()->Get(2)->GetState(), ambrel::tsRemove);

        using Rows = std::vector<int>;
        const struct {
            const char* control;
            Rows rows;
        } cases[] = {
            {"ToolButtonWithNoTag", {0}},          {"Selectlineswithnotag1", {0}},
            {"ToolButtonWithTag", {1, 2, 3}},      {"Selectlineswithtag1", {1, 2, 3}},
            {"SelectwithfilledArtist1", {2, 3}},   {"SelectwithnoArtist1", {0, 1}},
            {"SelectwithfilledSongtitle1", {2}},   {"SelectwithnoSongtitle1", {0, 1, 3}},
            {"SelectwithfilledAlbum1", {2}},       {"SelectwithnoAlbum1", {0, 1, 3}},
            {"SelectwithfilledComment1", {2}},     {"SelectwithnoComment1", {0, 1, 3}},
            {"SelectwithfilledTrack1", {2}},       {"SelectwithnoTrack1", {0, 1, 3}},
            {"SelectwithfilledYear1", {2}},        {"SelectwithnoYear1", {0, 1, 3}},
            {"SelectwithfilledGenre1", {0, 1, 2}}, {"SelectwithnoGenre1", {3}},
            {"ToolButtonSelectAll", {0, 1, 2, 3}}, {"Selectalllines1", {0, 1, 2, 3}},
        };
        for (const auto& c : cases) {
            w.Select({0, 3});  // a selection made by hand is replaced
            if (auto* button = w.form->findChild<QToolButton*>(QLatin1String(c.control)))
                button->click();
            else
                w.Trigger(c.control);
            QVERIFY2(w.table->SelectedRows() == c.rows, c.control);
        }
        // The panel follows the first selected row: the tag to be removed shows unticked.
        w.Trigger("SelectwithfilledTrack1");
        QVERIFY(!present->isChecked());
    }

    // The filter through the window's own controls: a whole-cell match in all columns
    // without regard to case, a case-sensitive part of one column, a hidden column, both
    // conditions at once, and every row back when both boxes are emptied.
    void FilteringThroughTheWindowsControls() {
        World w;
        w.form->AddDroppedPaths(
            Paths({w.Write("1.mp3", MakeBlock(Tag().Artist("Beatles").Year("1965"))),
                   w.Write("2.mp3", MakeBlock(Tag().Artist("The Beatles").Year("1969"))),
                   w.Write("3.mp3", MakeBlock(Tag().Artist("Kraftwerk").Year("1974")))}));
        auto* look1 = w.Find<QComboBox>("ComboBoxExFilter1");
        auto* column1 = w.Find<QComboBox>("ComboBoxFilter1");
        auto* look2 = w.Find<QComboBox>("ComboBoxExFilter2");
        auto* column2 = w.Find<QComboBox>("ComboBoxFilter2");
        using V = std::vector<std::string>;
        const struct {
            const char* text1;
            int column1;
            const char* text2;
            int column2;
            V shown;
        } cases[] = {
            {"beatles", 0, "", 0, V{"1"}},    // all columns: whole cells, any case
            {"Beat", 4, "", 0, V{"1", "2"}},  // Artist: a part, case-sensitive
            {"beat", 4, "", 0, V{}},
            {"", 0, "196", 9, V{"1", "2"}},    // the second condition alone, on Year
            {"Beat", 4, "1969", 0, V{"2"}},    // both must hold
            {"", 0, "", 0, V{"1", "2", "3"}},  // empty boxes: every row again
        };
        for (const auto& c : cases) {
            column1->setCurrentIndex(c.column1);
            column2->setCurrentIndex(c.column2);
            look1->setCurrentText(QString::fromLatin1(c.text1));
            look2->setCurrentText(QString::fromLatin1(c.text2));
            w.Click("ToolButtonApplyFilter");
            QVERIFY2(w.Column(0) == c.shown, c.text1);
        }

        // A hidden column still filters; its history is empty.
        w.Trigger("Year1");
        column1->setCurrentIndex(9);
        QCOMPARE(look1->count(), 0);
        look1->setCurrentText(QStringLiteral("1974"));
        w.Trigger("Applyfilterontaglist1");
        QCOMPARE(w.Column(0), (V{"3"}));

        // The history of a shown column: its values, sorted without regard to case.
        column2->setCurrentIndex(4);
        QStringList history;
        for (int i = 0; i < look2->count(); ++i) history << look2->itemText(i);
        QCOMPARE(history, QStringList({"Kraftwerk"}));
    }

    void HeaderClicksSortBothWaysWithTheirImages() {
        World w;
        w.form->AddDroppedPaths(Paths({w.Write("a.mp3", MakeBlock(Tag().Artist("b").Track(2))),
                                       w.Write("b.mp3", MakeBlock(Tag().Artist("A").Track(10))),
                                       w.Write("c.mp3", std::nullopt)}));
        w.form->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.form));
        QHeaderView* header = w.table->header();
        const auto click = [&](int pos) {
            QTest::mouseClick(
                header->viewport(), Qt::LeftButton, {},
                QPoint(header->sectionViewportPosition(pos) + 4, header->height() / 2));
        };
        using V = std::vector<std::string>;
        const struct {
            int pos;
            V order;
            int image;
        } steps[] = {
            {0, V{"3", "2", "1"}, 2},  // Index is the sort column at start: reversed
            {3, V{"3", "1", "2"}, 1},  // Track ascending: no track counts as 0, 2 before 10
            {3, V{"2", "1", "3"}, 2},
            {4, V{"3", "2", "1"}, 1},  // Artist in byte order: "" < "A" < "b"
            {4, V{"1", "2", "3"}, 2},
        };
        int previous = 0;
        for (const auto& s : steps) {
            click(s.pos);
            QCOMPARE(w.Column(0), s.order);
            QCOMPARE(w.table->ColumnImage(s.pos), s.image);
            if (previous != s.pos) QCOMPARE(w.table->ColumnImage(previous), -1);
            previous = s.pos;
        }
    }

    void PlacementFollowsTheWorkedExample() {
        auto all = ambrel::ui::ComputePlacement(1280, 984, 265, true, 297, true);
        QCOMPARE(all.file_viewer, std::optional<QRect>(QRect(1, 1, 265, 984)));
        QCOMPARE(all.main, QRect(266, 1, 716, 984));
        QCOMPARE(all.action_panel, std::optional<QRect>(QRect(982, 1, 297, 984)));
        auto no_panel = ambrel::ui::ComputePlacement(1280, 984, 265, true, 297, false);
        QCOMPARE(no_panel.main, QRect(266, 1, 1013, 984));
        QVERIFY(!no_panel.action_panel);
        auto alone = ambrel::ui::ComputePlacement(1280, 984, 265, false, 297, false);
        QCOMPARE(alone.main, QRect(1, 1, 1278, 984));
        QVERIFY(!alone.file_viewer);
    }

    void SideWindowsToggleAndClosingTheFileViewerUnticksIt() {
        World w;
        auto* viewer = w.windows->Form2();
        auto* panel = w.windows->Form3();
        w.form->show();
        QVERIFY(viewer->isVisible() && panel->isVisible());
        const QRect work = ambrel::ui::WorkArea();
        QCOMPARE(viewer->frameGeometry().topLeft(), QPoint(1, 1));
        QCOMPARE(w.form->frameGeometry().left(), 1 + viewer->frameGeometry().width());
        QCOMPARE(panel->frameGeometry().left(),
                 work.x() + work.width() - panel->frameGeometry().width() - 1);

        QAction* viewer_item = w.Find<QAction>("Filemanagervisible1");
        viewer_item->trigger();
        QVERIFY(!w.form->FileViewerVisible());
        QVERIFY(!viewer_item->isChecked());
        QVERIFY(!viewer->isVisible());
        QCOMPARE(w.form->frameGeometry().left(), 1);
        viewer_item->trigger();
        QVERIFY(viewer->isVisible() && viewer_item->isChecked());
        QCOMPARE(w.form->frameGeometry().left(), 1 + viewer->frameGeometry().width());

        viewer->close();
        QVERIFY(!w.form->FileViewerVisible());
        QVERIFY(!viewer_item->isChecked());
        QCOMPARE(w.form->frameGeometry().left(), 1);
        panel->close();
        QVERIFY(!w.Find<QAction>("Actionpanelvisible1")->isChecked());
        QVERIFY(!w.form->ActionPanelVisible());
    }

    void KeyboardCommandsAndDialogs() {
        World w;
        w.form->AddDroppedPaths(
            Paths({w.Write("a.mp3", MakeBlock({})), w.Write("b.mp3", MakeBlock({}))}));
        w.form->show();
        w.form->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.form));
        w.table->setFocus();
        QTest::keyClick(w.form, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(w.table->SelectedRows(), (std::vector<int>{0, 1}));
        QTest::keyClick(w.form, Qt::Key_Delete);
        QCOMPARE(w.table->RowCount(), 0);

        w.Trigger("About2");
        QVERIFY(w.windows->AboutBox()->isVisible());
        w.windows->AboutBox()->close();
        w.Trigger("Checknewversion1");
        QVERIFY(w.windows->Form5()->isVisible());
        w.windows->Form5()->close();
    }

    void ClosingTheMainWindowDestroysTheModel() {
        World w;
        w.form->AddDroppedPaths(Paths({w.Write("a.mp3", MakeBlock({}))}));
        w.form->show();
        w.form->close();
        QVERIFY(w.library.TagList() == nullptr);
        QVERIFY(w.library.TagViewer() == nullptr);
        QVERIFY(w.library.ErrorLog() == nullptr);
        // Commands and drops after the model is gone do nothing.
        w.form->AddDroppedPaths(Paths({w.Write("b.mp3", MakeBlock({}))}));
        w.Click("ToolButtonSelectAll");
        w.Click("ToolButtonSaveAll");
        w.Click("ToolButtonSaveCurrent");
        QCOMPARE(w.prompter.shown.size(), std::size_t(0));
    }
};

int main(int argc, char** argv) {
    AmbrelApplication app(argc, argv);
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "main_window_test.moc"
