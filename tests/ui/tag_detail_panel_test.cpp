#include "ui/viewer/tag_detail_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/conversion.h"
#include "support/memory_report_view.h"
#include "support/mp3_fixture.h"
#include "tag/code_page.h"
#include "tag/tag_list.h"
#include "viewer/tag_viewer.h"

using namespace ambrel;
using namespace ambrel::test;
using ambrel::ui::TagDetailPanel;

namespace {

constexpr std::size_t kAudio = 1000;

// Real files in a temporary directory, loaded into a tag list shown in an in-memory
// table, with the panel bound to the viewer.
struct World {
    TempDir dir;
    TTagList list;
    MemoryReportView table;
    TTagViewer viewer{&table, &list, std::nullopt};
    TagDetailPanel panel;

    World() {
        viewer.LayoutColumns();
        panel.Bind(&viewer);
        panel.show();
    }
    // Adds a file with the given block (none: no tag) and rebuilds the rows.
    std::string Add(const std::string& name, const std::optional<Block>& block) {
        const std::string path = WriteMp3(dir / name, kAudio, block);
        list.Add(path);
        viewer.RebuildRows();
        return path;
    }
    void Select(int row) { table.ReplaceSelection({row}); }
    TTagFile* File(int position) const { return list.Get(position); }

    QCheckBox* Box() const { return panel.findChild<QCheckBox*>("CheckBoxTagPresent"); }
    QLineEdit* Edit(const char* name) const { return panel.findChild<QLineEdit*>(name); }
    QComboBox* Genre() const { return panel.findChild<QComboBox*>("ComboBoxTagGenre"); }
    // The user's click on "Tag present", through the widget.
    void ClickBox() const { QTest::mouseClick(Box(), Qt::LeftButton); }
};

const char* const kEdits[] = {"EditTagArtist",  "EditTagTitle", "EditTagAlbum",
                              "EditTagComment", "EditTagYear",  "EditTagTrack"};
const char* const kFields[] = {
    "EditTagArtist", "LabelTagArtist", "EditTagTitle",     "LabelTagTitle", "EditTagAlbum",
    "LabelTagAlbum", "EditTagComment", "LabelTagComment",  "EditTagYear",   "LabelTagYear",
    "EditTagTrack",  "LabelTagTrack",  "ComboBoxTagGenre", "LabelTagGenre", "SpeedButtonTagSave"};

bool FieldsShown(const QWidget& panel) {
    for (const char* name : kFields) {
        auto* widget = panel.findChild<QWidget*>(name);
        if (widget == nullptr || widget->isHidden()) return false;
    }
    return true;
}

bool FieldsHidden(const QWidget& panel) {
    for (const char* name : kFields) {
        auto* widget = panel.findChild<QWidget*>(name);
        if (widget == nullptr || !widget->isHidden()) return false;
    }
    return true;
}

std::vector<uint8_t> Prefix(const std::vector<uint8_t>& bytes, std::size_t n) {
    return {bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(n)};
}

Block Tagged(const std::string& artist, int genre = 17) {
    TagFields fields;
    fields.artist = artist;
    fields.title = "Song";
    fields.track = 5;
    fields.genre = genre;
    return MakeBlock(fields);
}

}  // namespace

class TagDetailPanelTest : public QObject {
    Q_OBJECT

private slots:
    void controlsCarryTheirNamesCaptionsAndGenreList();
    void showsTheTagOfTheRow();
    void addingATagAppendsTheTypedFields();
    void removingATagCutsTheBlockAndKeepsTheAudio();
    void untickingAndTickingAgainLeavesTheFileAsItWas();
    void boxChangeIsSavedBySaveModified();
    void genreSelectionAndSave_data();
    void genreSelectionAndSave();
    void nonNumberTrackThrowsAndWritesNothing_data();
    void nonNumberTrackThrowsAndWritesNothing();
    void lengthLimitsCutTypedText();
    void doubleByteTextIsCutBetweenCharacters();
    void aThreeDigitTrackSurvivesASave();
    void latin1TextRoundTrips();
    void actsOnTheFirstSelectedRow();
    void withoutRowOrViewerNothingChanges();
    void saveButtonEmitsSaveClicked();
};

void TagDetailPanelTest::controlsCarryTheirNamesCaptionsAndGenreList() {
    TagDetailPanel panel;
    QCOMPARE(panel.findChild<QCheckBox*>("CheckBoxTagPresent")->text(), QString("Tag present"));
    const std::pair<const char*, const char*> labels[] = {
        {"LabelTagArtist", "Artist"},   {"LabelTagTitle", "Song title"}, {"LabelTagAlbum", "Album"},
        {"LabelTagComment", "Comment"}, {"LabelTagYear", "Year"},        {"LabelTagTrack", "Track"},
        {"LabelTagGenre", "Genre"}};
    for (const auto& [name, caption] : labels) {
        auto* label = panel.findChild<QLabel*>(name);
        QVERIFY2(label != nullptr, name);
        QCOMPARE(label->text(), QString(caption));
    }
    for (const char* name : kEdits) QVERIFY2(panel.findChild<QLineEdit*>(name), name);
    QCOMPARE(panel.findChild<QToolButton*>("SpeedButtonTagSave")->text(), QString("Save tag"));
    QVERIFY(!panel.findChild<QToolButton*>("SpeedButtonTagSave")->icon().isNull());
    QVERIFY(FieldsShown(panel));

    auto* genre = panel.findChild<QComboBox*>("ComboBoxTagGenre");
    QVERIFY(!genre->isEditable());
    QCOMPARE(genre->count(), 149);
    QCOMPARE(genre->itemText(0), QString());
    QCOMPARE(genre->itemText(1), QString("Blues"));
    QCOMPARE(genre->itemText(7), QString("Grunge,"));
    QCOMPARE(genre->itemText(15), QString("R&B,"));
    QCOMPARE(genre->itemText(33), QString("Classical"));
    QCOMPARE(genre->itemText(148), QString("Synthpop"));
}

void TagDetailPanelTest::showsTheTagOfTheRow() {
    World w;
    TagFields fields;
    fields.artist = "Beatles";
    fields.title = "Help";
    fields.album = "Help!";
    fields.comment = "remaster";
    fields.year = "1965";
    fields.track = 12;
    fields.genre = 17;
    w.Add("a.mp3", MakeBlock(fields));

    QVERIFY(w.panel.ShowTagDetail(0));
    QVERIFY(w.Box()->isChecked());
    QVERIFY(FieldsShown(w.panel));
    QCOMPARE(w.Edit("EditTagArtist")->text(), QString("Beatles"));
    QCOMPARE(w.Edit("EditTagTitle")->text(), QString("Help"));
    QCOMPARE(w.Edit("EditTagAlbum")->text(), QString("Help!"));
    QCOMPARE(w.Edit("EditTagComment")->text(), QString("remaster"));
    QCOMPARE(w.Edit("EditTagYear")->text(), QString("1965"));
    QCOMPARE(w.Edit("EditTagTrack")->text(), QString("12"));
    QCOMPARE(w.Genre()->currentText(), QString("Rock"));

    w.panel.ClearTagDetail();
    for (const char* name : kEdits) QVERIFY2(w.Edit(name)->text().isEmpty(), name);
    QCOMPARE(w.Genre()->currentIndex(), 0);
    QVERIFY(!w.Box()->isChecked());
    QVERIFY(FieldsShown(w.panel));
}

void TagDetailPanelTest::addingATagAppendsTheTypedFields() {
    World w;
    const std::string path = w.Add("plain.mp3", std::nullopt);
    const auto before = ReadBytes(path);
    w.Select(0);
    QVERIFY(w.panel.ShowTagDetail(0));
    QVERIFY(!w.Box()->isChecked());
    QVERIFY(FieldsHidden(w.panel));

    w.ClickBox();
    QVERIFY(w.Box()->isChecked());
    QVERIFY(FieldsShown(w.panel));
    QCOMPARE(w.File(0)->GetState(), tsAppend);
    for (const char* name :
         {"EditTagArtist", "EditTagTitle", "EditTagAlbum", "EditTagComment", "EditTagYear"}) {
        QVERIFY2(w.Edit(name)->text().isEmpty(), name);
    }
    QCOMPARE(w.Edit("EditTagTrack")->text(), QString("0"));
    QCOMPARE(w.Genre()->currentIndex(), -1);
    QCOMPARE(std::string(w.table.Cell(0, TTagViewer::kTrack)), std::string("0"));
    QCOMPARE(ReadBytes(path), before);  // the box alone writes nothing

    QTest::keyClicks(w.Edit("EditTagArtist"), "Queen");
    QTest::keyClicks(w.Edit("EditTagTitle"), "Innuendo");
    QTest::keyClicks(w.Edit("EditTagYear"), "1991");
    w.Edit("EditTagTrack")->setText("7");
    QVERIFY(w.panel.StoreTagDetail(0));

    TagFields expected;
    expected.artist = "Queen";
    expected.title = "Innuendo";
    expected.year = "1991";
    expected.track = 7;
    expected.genre = 254;  // no genre chosen: the cleared block's value stays
    const auto after = ReadBytes(path);
    QCOMPARE(after.size(), before.size() + 128);
    QCOMPARE(Prefix(after, before.size()), before);
    const Block block = MakeBlock(expected);
    QCOMPARE(ReadTail(path), std::vector<uint8_t>(block.begin(), block.end()));
    QCOMPARE(w.File(0)->GetState(), tsPresent);
}

void TagDetailPanelTest::removingATagCutsTheBlockAndKeepsTheAudio() {
    World w;
    const std::string path = w.Add("tagged.mp3", Tagged("Abba"));
    const auto before = ReadBytes(path);
    w.Select(0);
    w.panel.ShowTagDetail(0);

    w.ClickBox();
    QVERIFY(!w.Box()->isChecked());
    QVERIFY(FieldsHidden(w.panel));
    QCOMPARE(w.File(0)->GetState(), tsRemove);
    QCOMPARE(std::string(w.table.Cell(0, TTagViewer::kArtist)), std::string("Abba"));
    QCOMPARE(ReadBytes(path), before);

    QVERIFY(w.panel.StoreTagDetail(0));
    QCOMPARE(ReadBytes(path), Prefix(before, kAudio));
    QCOMPARE(w.File(0)->GetState(), tsNone);
    QVERIFY(w.panel.ShowTagDetail(0));
    QVERIFY(!w.Box()->isChecked());
    QVERIFY(FieldsHidden(w.panel));
}

void TagDetailPanelTest::untickingAndTickingAgainLeavesTheFileAsItWas() {
    World w;
    const std::string path = w.Add("tagged.mp3", Tagged("Abba"));
    const auto before = ReadBytes(path);
    w.Select(0);
    w.panel.ShowTagDetail(0);

    w.ClickBox();
    QCOMPARE(w.File(0)->GetState(), tsRemove);
    w.ClickBox();
    QVERIFY(w.Box()->isChecked());
    QCOMPARE(w.File(0)->GetState(), tsPresent);
    QCOMPARE(w.Edit("EditTagArtist")->text(), QString("Abba"));
    QVERIFY(w.panel.StoreTagDetail(0));
    QCOMPARE(ReadBytes(path), before);

    // Ticking and unticking an untagged file's box likewise adds nothing.
    const std::string plain = w.Add("plain.mp3", std::nullopt);
    w.Select(1);
    w.panel.ShowTagDetail(1);
    w.ClickBox();
    QCOMPARE(w.File(1)->GetState(), tsAppend);
    w.ClickBox();
    QCOMPARE(w.File(1)->GetState(), tsNone);
    QVERIFY(w.panel.StoreTagDetail(1));
    QCOMPARE(FileSize(plain), static_cast<long long>(kAudio));
}

// A tag added or removed with the box is a pending change, so "Save all" writes it.
void TagDetailPanelTest::boxChangeIsSavedBySaveModified() {
    World w;
    const std::string tagged = w.Add("tagged.mp3", Tagged("Abba"));
    const std::string plain = w.Add("plain.mp3", std::nullopt);
    w.list.SaveModified();  // clears the flag a load sets
    QVERIFY(!w.File(0)->IsModified());

    for (int row : {0, 1}) {
        w.Select(row);
        w.panel.ShowTagDetail(row);
        w.ClickBox();
    }
    QCOMPARE(w.File(0)->GetState(), tsRemove);
    QCOMPARE(w.File(1)->GetState(), tsAppend);
    w.list.SaveModified();
    QCOMPARE(FileSize(tagged), static_cast<long long>(kAudio));
    QCOMPARE(FileSize(plain), static_cast<long long>(kAudio + 128));
}

void TagDetailPanelTest::genreSelectionAndSave_data() {
    QTest::addColumn<int>("onDisk");
    QTest::addColumn<int>("shownEntry");
    QTest::addColumn<int>("chosenEntry");  // -2: leave the list as shown
    QTest::addColumn<int>("saved");
    QTest::newRow("named genre kept") << 17 << 18 << -2 << 17;
    QTest::newRow("first genre") << 0 << 1 << -2 << 0;
    QTest::newRow("last named genre") << 147 << 148 << -2 << 147;
    QTest::newRow("148 shows nothing, kept") << 148 << -1 << -2 << 148;
    QTest::newRow("200 shows nothing, kept") << 200 << -1 << -2 << 200;
    QTest::newRow("255 shows nothing, kept") << 255 << -1 << -2 << 255;
    QTest::newRow("empty entry keeps genre") << 17 << 18 << 0 << 17;
    QTest::newRow("choosing Blues") << 200 << -1 << 1 << 0;
    QTest::newRow("choosing Synthpop") << 17 << 18 << 148 << 147;
}

void TagDetailPanelTest::genreSelectionAndSave() {
    QFETCH(int, onDisk);
    QFETCH(int, shownEntry);
    QFETCH(int, chosenEntry);
    QFETCH(int, saved);
    World w;
    const std::string path = w.Add("g.mp3", Tagged("Abba", onDisk));
    QVERIFY(w.panel.ShowTagDetail(0));
    QCOMPARE(w.Genre()->currentIndex(), shownEntry);
    if (chosenEntry != -2) w.Genre()->setCurrentIndex(chosenEntry);
    QVERIFY(w.panel.StoreTagDetail(0));
    QCOMPARE(int(ReadTail(path).at(127)), saved);
}

void TagDetailPanelTest::nonNumberTrackThrowsAndWritesNothing_data() {
    QTest::addColumn<QString>("track");
    QTest::newRow("letters") << "ab";  // the box holds two characters
    QTest::newRow("empty") << "";
    QTest::newRow("lone minus") << "-";
}

void TagDetailPanelTest::nonNumberTrackThrowsAndWritesNothing() {
    QFETCH(QString, track);
    World w;
    const std::string path = w.Add("t.mp3", Tagged("Abba"));
    const auto before = ReadBytes(path);
    w.list.SaveModified();
    QVERIFY(w.panel.ShowTagDetail(0));
    w.Edit("EditTagArtist")->setText("Queen");
    w.Edit("EditTagTrack")->setText(track);
    w.Genre()->setCurrentIndex(1);

    QCOMPARE(w.Edit("EditTagTrack")->text(), track);
    QString message;
    try {
        w.panel.StoreTagDetail(0);
    } catch (const ConversionError& error) {
        message = QString::fromUtf8(error.what());
    }
    QCOMPARE(message, "'" + track + "' is not a valid integer value");
    QCOMPARE(ReadBytes(path), before);
    const TTagFile* file = w.File(0);
    QCOMPARE(file->GetArtist(), std::string("Queen"));  // the text fields went in first
    QVERIFY(file->IsModified());
    QCOMPARE(file->GetTrack(), 5);
    QCOMPARE(file->GetGenre(), 17);
}

void TagDetailPanelTest::lengthLimitsCutTypedText() {
    World w;
    const std::string path = w.Add("l.mp3", Tagged("Abba"));
    QVERIFY(w.panel.ShowTagDetail(0));
    const std::pair<const char*, int> limits[] = {{"EditTagArtist", 30}, {"EditTagTitle", 30},
                                                  {"EditTagAlbum", 30},  {"EditTagComment", 29},
                                                  {"EditTagYear", 4},    {"EditTagTrack", 2}};
    const QString digits = QString("1234567890").repeated(4);
    for (const auto& [name, limit] : limits) {
        QLineEdit* edit = w.Edit(name);
        edit->clear();
        QTest::keyClicks(edit, digits);
        QCOMPARE(edit->text(), digits.left(limit));
    }
    QVERIFY(w.panel.StoreTagDetail(0));
    const auto tail = ReadTail(path);
    const std::string text(tail.begin(), tail.end());
    QCOMPARE(text.substr(33, 30), digits.left(30).toStdString());  // artist, no terminator
    QCOMPARE(text.substr(97, 29), digits.left(29).toStdString());  // comment fills byte 125
    QCOMPARE(int(tail.at(126)), 12);
}

// In a double-byte page the boxes count the page's bytes: a character of two bytes that
// would end past the field is refused whole, typed or pasted.
void TagDetailPanelTest::doubleByteTextIsCutBetweenCharacters() {
    CodePageConverter::SetCurrent(CodePage::kShiftJis);
    struct LatinAfter {
        ~LatinAfter() { CodePageConverter::SetCurrent(CodePage::kLatin1); }
    } latin_after;
    World w;
    const std::string path = w.Add("j.mp3", Tagged("Abba"));
    QVERIFY(w.panel.ShowTagDetail(0));
    const QString nihon = QString::fromUtf8("\xE6\x97\xA5");  // two bytes
    QLineEdit* title = w.Edit("EditTagTitle");
    title->clear();
    title->insert(QStringLiteral("a"));
    for (int i = 0; i < 20; ++i) title->insert(nihon);
    QCOMPARE(title->text(), QStringLiteral("a") + nihon.repeated(14));
    title->insert(QStringLiteral("b"));
    QCOMPARE(title->text(), QStringLiteral("a") + nihon.repeated(14) + QStringLiteral("b"));
    QLineEdit* comment = w.Edit("EditTagComment");
    comment->clear();
    comment->insert(nihon.repeated(20));  // a paste
    QCOMPARE(comment->text(), nihon.repeated(14));
    QVERIFY(w.panel.StoreTagDetail(0));

    const auto tail = ReadTail(path);
    std::string expected = "a";
    for (int i = 0; i < 14; ++i) expected += "\x93\xFA";
    QCOMPARE(std::string(tail.begin() + 3, tail.begin() + 33), expected + "b");
    QCOMPARE(int(tail.at(97 + 28)), 0);
}

// The track byte goes up to 254; the two-character Track box must not cut a stored 123
// to 12 when another field is edited and saved.
void TagDetailPanelTest::aThreeDigitTrackSurvivesASave() {
    World w;
    TagFields fields;
    fields.artist = "Abba";
    fields.track = 123;
    const std::string path = w.Add("t.mp3", MakeBlock(fields));
    fields.track = 7;
    w.Add("u.mp3", MakeBlock(fields));
    QVERIFY(w.panel.ShowTagDetail(0));
    QCOMPARE(w.Edit("EditTagTrack")->text(), QStringLiteral("123"));
    w.Edit("EditTagArtist")->setText("ABBA");
    QVERIFY(w.panel.StoreTagDetail(0));
    const auto tail = ReadTail(path);
    QCOMPARE(int(tail.at(126)), 123);
    QCOMPARE(std::string(tail.begin() + 33, tail.begin() + 37), std::string("ABBA"));

    // A row with a short track number gives the box its two characters back.
    QVERIFY(w.panel.ShowTagDetail(1));
    QLineEdit* track = w.Edit("EditTagTrack");
    track->clear();
    QTest::keyClicks(track, "123");
    QCOMPARE(track->text(), QStringLiteral("12"));
}

void TagDetailPanelTest::latin1TextRoundTrips() {
    World w;
    const std::string path = w.Add("m.mp3", Tagged("Abba"));
    QVERIFY(w.panel.ShowTagDetail(0));
    w.Edit("EditTagArtist")->setText(QString::fromUtf8("Motörhead"));
    QVERIFY(w.panel.StoreTagDetail(0));

    const auto tail = ReadTail(path);
    const std::vector<uint8_t> artist(tail.begin() + 33, tail.begin() + 43);
    QCOMPARE(artist, (std::vector<uint8_t>{'M', 'o', 't', 0xF6, 'r', 'h', 'e', 'a', 'd', 0}));

    TTagList reloaded;
    MemoryReportView table;
    TTagViewer viewer(&table, &reloaded, std::nullopt);
    reloaded.Add(path);
    viewer.RebuildRows();
    TagDetailPanel panel;
    panel.Bind(&viewer);
    QVERIFY(panel.ShowTagDetail(0));
    QCOMPARE(panel.findChild<QLineEdit*>("EditTagArtist")->text(), QString::fromUtf8("Motörhead"));
}

// With several rows selected, the box acts on the first selected row in display order.
void TagDetailPanelTest::actsOnTheFirstSelectedRow() {
    World w;
    w.Add("a.mp3", Tagged("A"));
    w.Add("b.mp3", Tagged("B"));
    w.Add("c.mp3", Tagged("C"));
    w.table.ReplaceSelection({1, 2});
    w.panel.ShowTagDetail(w.table.FirstSelected());
    QCOMPARE(w.Edit("EditTagArtist")->text(), QString("B"));

    w.ClickBox();
    QCOMPARE(w.File(0)->GetState(), tsPresent);
    QCOMPARE(w.File(1)->GetState(), tsRemove);
    QCOMPARE(w.File(2)->GetState(), tsPresent);
}

void TagDetailPanelTest::withoutRowOrViewerNothingChanges() {
    World w;
    const std::string path = w.Add("a.mp3", Tagged("Abba"));
    QVERIFY(w.panel.ShowTagDetail(0));

    // No selection: the click changes no file and leaves an emptied, unticked panel.
    w.ClickBox();
    QCOMPARE(w.File(0)->GetState(), tsPresent);
    QVERIFY(!w.Box()->isChecked());
    QVERIFY(w.Edit("EditTagArtist")->text().isEmpty());
    QVERIFY(!w.panel.ShowTagDetail(5));
    QVERIFY(!w.panel.SetTagPresent(false, 5));
    QVERIFY(!w.panel.StoreTagDetail(-1));

    // Unbound (the model is gone): every operation declines, a click does no harm.
    w.panel.Bind(nullptr);
    QVERIFY(!w.panel.ShowTagDetail(0));
    QVERIFY(!w.panel.SetTagPresent(false, 0));
    QVERIFY(!w.panel.StoreTagDetail(0));
    w.ClickBox();
    QVERIFY(!w.Box()->isChecked());
    QCOMPARE(w.File(0)->GetState(), tsPresent);
}

void TagDetailPanelTest::saveButtonEmitsSaveClicked() {
    TagDetailPanel panel;
    QSignalSpy spy(&panel, &TagDetailPanel::saveClicked);
    QTest::mouseClick(panel.findChild<QToolButton*>("SpeedButtonTagSave"), Qt::LeftButton);
    QCOMPARE(spy.count(), 1);
}

QTEST_MAIN(TagDetailPanelTest)
#include "tag_detail_panel_test.moc"
