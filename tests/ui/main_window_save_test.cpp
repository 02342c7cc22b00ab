#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QMenu>
#include <QSignalSpy>
#include <QTabWidget>
#include <filesystem>
#include <functional>
#include <stdexcept>

#include "main_window_world.h"
#include "window_test_main.h"

using namespace ambrel::test;

namespace {

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

class MainWindowSaveTest : public QObject {
    Q_OBJECT

private slots:
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
        w.Load(Paths({path}));
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
        w.Load(Paths({bare, tagged}));
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
            {"load",
             [](World& w) { DropAndWait(w, w.form, Paths({w.Write("more.mp3", std::nullopt)})); }},
        };
        for (const auto& r : rebuilds) {
            World w;
            const std::string tagged = w.Write("tagged.mp3", MakeBlock(Tag().Artist("Gone")));
            const std::string bare = w.Write("bare.mp3", std::nullopt);
            const std::string other = w.Write("other.mp3", MakeBlock(Tag().Artist("Other")));
            w.Load(Paths({tagged, bare, other}));
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
        w.Load(Paths({path}));
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
        w.Load(Paths({kept, gone}));
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
};

int main(int argc, char** argv) { return RunWindowTest<MainWindowSaveTest>(argc, argv); }

#include "main_window_save_test.moc"
