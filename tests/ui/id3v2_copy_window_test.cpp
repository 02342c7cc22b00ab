// "Copy ID3v2 to ID3v1" through the real windows, on files whose ID3v2 tags mutagen wrote:
// the preview, Apply and Close, undo, the save that follows, and the ID3v2 line of the tag
// detail panel.
#include <QCryptographicHash>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QToolButton>

#include "action_panel_world.h"
#include "background_load.h"
#include "preview_watch.h"
#include "support/id3v2_fixture.h"
#include "tag/tag_file.h"
#include "ui/actions/action_panel.h"
#include "window_test_main.h"

using namespace ambrel::test;
using ambrel::TTagViewer;

namespace {

const std::string kLongTitle = "A title that runs past thirty bytes";  // 35 bytes
const std::string kLodz =
    "\xC5\x81\xC3\xB3"
    "d\xC5\xBA";  // Łódź

// An ID3v1 tag as a user's earlier edit left it.
Block OldTag() {
    return MakeBlock(Tag().Title("Old").Artist("Old artist").Album("Old album").Year("1901"));
}

// A damaged ID3v2 tag: its size reaches far past the end of the file.
std::vector<uint8_t> DamagedTag() {
    std::vector<uint8_t> tag = MakeId3v2Tag({4, 3, {{"TIT2", {"T"}, ""}}});
    tag[8] = 0x7F;
    return tag;
}

// The SHA-256 of the file's bytes before its last `tail` bytes.
QByteArray HashBefore(const std::string& path, std::size_t tail) {
    const std::vector<uint8_t> bytes = ReadBytes(path);
    const auto length = static_cast<qsizetype>(bytes.size() - std::min(tail, bytes.size()));
    return QCryptographicHash::hash(
        QByteArrayView(reinterpret_cast<const char*>(bytes.data()), length),
        QCryptographicHash::Sha256);
}

struct CopyWorld : PanelWorld {
    ambrel::TTagFile* Entry(int position) const { return library.TagList()->Get(position); }
    std::vector<std::string> Cells(int column) const {
        // The binding counts the shown columns from 1.
        return Column(library.TagViewer()->ColumnPos(column) - 1);
    }
    QString Id3v2Line() const { return Text("EditId3v2Values"); }
    // Presses "Copy ID3v2 to ID3v1" with the check run on the preview, then the button.
    bool CopyWithPreview(const std::function<void(PreviewDialog*)>& check, const char* press) {
        bool seen = false;
        WhenPreviewOpens(
            [&](PreviewDialog* dialog) {
                seen = true;
                check(dialog);
            },
            press);
        Press("SpeedButtonCopyId3v2");
        return seen;
    }
};

}  // namespace

class Id3v2CopyWindowTest : public QObject {
    Q_OBJECT

private slots:
    void ThePreviewListsEachChangingFieldAndEachFileLeftAlone() {
        CopyWorld w;
        const std::string noted = WriteMp3WithId3v2(w.dir / "noted.mp3",
                                                    MakeId3v2Tag({4,
                                                                  3,
                                                                  {{"TIT2", {kLongTitle}, ""},
                                                                   {"TPE1", {kLodz}, ""},
                                                                   {"TALB", {"Old album"}, ""},
                                                                   {"TRCK", {"3/12"}, ""},
                                                                   {"TCON", {"Stuff"}, ""}}}),
                                                    OldTag());
        const std::string same = WriteMp3WithId3v2(
            w.dir / "same.mp3", MakeId3v2Tag({3, 1, {{"TIT2", {"Old"}, ""}}}), OldTag());
        const std::string plain = w.Write("plain.mp3", OldTag());
        const std::string damaged =
            WriteMp3WithId3v2(w.dir / "damaged.mp3", DamagedTag(), OldTag());
        w.Load({noted, same, plain, damaged});
        w.Select({0, 1, 2, 3});
        const std::vector<std::vector<uint8_t>> files = {ReadBytes(noted), ReadBytes(same),
                                                         ReadBytes(plain), ReadBytes(damaged)};

        const bool seen = w.CopyWithPreview(
            [](PreviewDialog* dialog) {
                const QAbstractItemModel* model = dialog->Model();
                QCOMPARE(dialog->windowTitle(), QStringLiteral("Preview: Copy ID3v2 to ID3v1"));
                QCOMPARE(Header(model), (QStringList{"File", "Field", "Old", "New", "Note"}));
                const QList<QStringList> expected = {
                    {"noted.mp3", "Title", "Old", QString::fromStdString(kLongTitle.substr(0, 30)),
                     "cut"},
                    {"noted.mp3", "Artist", "Old artist", "L\u00f3dz", "converted with loss"},
                    {"noted.mp3", "Track", "0", "3", ""},
                    {"noted.mp3", "Genre", "", "", "unknown genre 'Stuff'"},
                    {"same.mp3", "", "", "", "no change"},
                    {"plain.mp3", "", "", "", "no ID3v2 tag"},
                    {"damaged.mp3", "", "", "", "the ID3v2 tag is damaged"},
                };
                QCOMPARE(model->rowCount(), static_cast<int>(expected.size()));
                for (int row = 0; row < model->rowCount(); ++row)
                    QCOMPARE(Row(model, row), expected[row]);
                // A field copied with a note is done, so not greyed; a file left alone is.
                QVERIFY(!model->index(0, 0).data(Qt::ForegroundRole).isValid());
                QVERIFY(model->index(3, 0).data(Qt::ForegroundRole).isValid());
                QVERIFY(model->index(6, 0).data(Qt::ForegroundRole).isValid());
                QCOMPARE(dialog->findChild<QLabel*>("LabelPreviewSummary")->text(),
                         QStringLiteral("3 fields of 1 file will change. "
                                        "2 files have no usable ID3v2 tag."));
                QVERIFY(dialog->ApplyButton()->isEnabled());
            },
            "Close");
        QVERIFY(seen);
        // Close changes nothing, in memory or on disk, and leaves nothing to undo.
        QCOMPARE(w.Cells(TTagViewer::kSongTitle), (Texts{"Old", "Old", "Old", "Old"}));
        QCOMPARE(w.library.UnsavedCount(), 0);
        QVERIFY(!w.library.History().CanUndo());
        QCOMPARE((std::vector<std::vector<uint8_t>>{ReadBytes(noted), ReadBytes(same),
                                                    ReadBytes(plain), ReadBytes(damaged)}),
                 files);

        // With nothing to change, Apply is off.
        w.Select({1, 2, 3});
        QVERIFY(w.CopyWithPreview(
            [](PreviewDialog* dialog) {
                QCOMPARE(dialog->findChild<QLabel*>("LabelPreviewSummary")->text(),
                         QStringLiteral("No field will change. 2 files have no usable ID3v2 "
                                        "tag."));
                QVERIFY(!dialog->ApplyButton()->isEnabled());
            },
            "Close"));
        // Files it cannot read, or would not change, are left alone by Apply.
        w.Select({0, 1, 2, 3});
        QVERIFY(w.CopyWithPreview([](PreviewDialog*) {}, "Apply"));
        QCOMPARE(w.library.UnsavedCount(), 1);
        QVERIFY(w.Entry(0)->HoldsUnsavedWork());
        for (int position : {1, 2, 3}) {
            QVERIFY(!w.Entry(position)->HoldsUnsavedWork());
            QCOMPARE(w.Entry(position)->GetTitle(), std::string("Old"));
        }
        QCOMPARE(w.Find<QAction>("Undo1")->text(), QStringLiteral("Undo ID3v2 copy of 1 file"));
    }

    // ID3v2.3 in UTF-16 with the whole tag unsynchronised, ID3v2.4 in UTF-8 with compressed
    // frames: the copy through the main menu, undone and redone in one step, then saved.
    void ApplyCopiesUndoTakesAllBackAndTheSaveWritesOnlyTheId3v1Block() {
        CopyWorld w;
        const std::string v23 = WriteMp3WithId3v2(w.dir / "v23.mp3",
                                                  MakeId3v2Tag({3,
                                                                1,
                                                                {{"TIT2",
                                                                  {"Gr\xC3\xBC\xC3\x9F"
                                                                   "e aus K\xC3\xB6ln"},
                                                                  ""},
                                                                 {"TPE1", {"Kraftwerk"}, ""},
                                                                 {"TYER", {"1974"}, ""},
                                                                 {"TRCK", {"1/5"}, ""},
                                                                 {"TCON", {"(52)"}, ""},
                                                                 {"COMM", {"Remastered"}, ""}},
                                                                Id3v2Form::kUnsynchronised}),
                                                  OldTag());
        const std::string v24 = WriteMp3WithId3v2(w.dir / "v24.mp3",
                                                  MakeId3v2Tag({4,
                                                                3,
                                                                {{"TIT2", {"So What"}, ""},
                                                                 {"TPE1", {"Miles Davis"}, ""},
                                                                 {"TALB", {"Kind of Blue"}, ""},
                                                                 {"TDRC", {"1959-08-17"}, ""},
                                                                 {"TCON", {"8"}, ""}},
                                                                Id3v2Form::kCompressed}),
                                                  OldTag());
        w.Load({v23, v24});
        const QByteArray v23_audio = HashBefore(v23, 128);
        const QByteArray v24_audio = HashBefore(v24, 128);
        w.Select({0, 1});

        WhenPreviewOpens([](PreviewDialog*) {}, "Apply");
        w.Trigger("CopyID3v2toID3v11");
        const Texts copied_titles = {
            "Gr\xC3\xBC\xC3\x9F"
            "e aus K\xC3\xB6ln",
            "So What"};
        QCOMPARE(w.Cells(TTagViewer::kSongTitle), copied_titles);
        QCOMPARE(w.Cells(TTagViewer::kArtist), (Texts{"Kraftwerk", "Miles Davis"}));
        QCOMPARE(w.Cells(TTagViewer::kAlbum), (Texts{"Old album", "Kind of Blue"}));
        QCOMPARE(w.Cells(TTagViewer::kYear), (Texts{"1974", "1959"}));
        QCOMPARE(w.Cells(TTagViewer::kTrack), (Texts{"1", "0"}));
        // Without tagviewer.cfg beside the test the genres are named by their numbers.
        QCOMPARE(w.Cells(TTagViewer::kGenre), (Texts{"52", "8"}));
        QCOMPARE(w.Text("EditTagTitle"), QString::fromStdString(copied_titles[0]));
        QCOMPARE(w.library.UnsavedCount(), 2);
        QCOMPARE(w.Find<QAction>("Undo1")->text(), QStringLiteral("Undo ID3v2 copy of 2 files"));

        w.Trigger("Undo1");
        QCOMPARE(w.Cells(TTagViewer::kSongTitle), (Texts{"Old", "Old"}));
        QCOMPARE(w.Cells(TTagViewer::kGenre), (Texts{"", ""}));
        QCOMPARE(w.Text("EditTagTitle"), QStringLiteral("Old"));
        QCOMPARE(w.library.UnsavedCount(), 0);
        w.Trigger("Redo1");
        QCOMPARE(w.Cells(TTagViewer::kSongTitle), copied_titles);

        // The quit question counts the copied entries; cancelled, the window stays.
        QVERIFY(!w.form->MayClose());
        QCOMPARE(w.prompter.shown.back().text,
                 std::string("2 tags have changes that are not saved yet. Save them before "
                             "closing?"));

        w.Click("ToolButtonSaveAll");
        QCOMPARE(w.library.UnsavedCount(), 0);
        TagFields v23_tag;
        v23_tag.title =
            "Gr\xFC\xDF"
            "e aus K\xF6ln";
        v23_tag.artist = "Kraftwerk";
        v23_tag.album = "Old album";
        v23_tag.year = "1974";
        v23_tag.comment = "Remastered";
        v23_tag.track = 1;
        v23_tag.genre = 52;
        QCOMPARE(ReadTail(v23), Bytes(MakeBlock(v23_tag)));
        QCOMPARE(ReadTail(v24), Bytes(MakeBlock(Tag()
                                                    .Title("So What")
                                                    .Artist("Miles Davis")
                                                    .Album("Kind of Blue")
                                                    .Year("1959")
                                                    .Genre(8))));
        // The ID3v2 tag and the audio are as they were, byte for byte.
        QCOMPARE(HashBefore(v23, 128), v23_audio);
        QCOMPARE(HashBefore(v24, 128), v24_audio);
    }

    void AFileWithoutAnId3v1TagGetsOneAppendedOnSave() {
        CopyWorld w;
        const std::string path = WriteMp3WithId3v2(
            w.dir / "only_v2.mp3",
            MakeId3v2Tag({4, 3, {{"TIT2", {"Autobahn"}, ""}, {"TPE1", {"Kraftwerk"}, ""}}}));
        const QByteArray whole = HashBefore(path, 0);
        const long long size = FileSize(path);
        w.Load({path});
        w.Select({0});
        QCOMPARE(w.Entry(0)->GetState(), ambrel::tsNone);

        WhenPreviewOpens(
            [](PreviewDialog* dialog) {
                QCOMPARE(dialog->Model()->rowCount(), 2);
                QCOMPARE(Row(dialog->Model(), 0),
                         (QStringList{"only_v2.mp3", "Title", "", "Autobahn", ""}));
            },
            "Apply");
        w.Press("SpeedButtonCopyId3v2");
        QCOMPARE(w.Entry(0)->GetState(), ambrel::tsAppend);
        // The detail panel shows the new tag's fields.
        QVERIFY(w.Find<QCheckBox>("CheckBoxTagPresent")->isChecked());
        QCOMPARE(w.Text("EditTagArtist"), QStringLiteral("Kraftwerk"));

        w.Click("ToolButtonSaveAll");
        QCOMPARE(FileSize(path), size + 128);
        QCOMPARE(HashBefore(path, 128), whole);
        QCOMPARE(ReadTail(path), Bytes(MakeBlock(Tag().Title("Autobahn").Artist("Kraftwerk"))));
    }

    void WithoutASelectedRowOrDuringALoadNothingHappens() {
        CopyWorld w;
        const std::string path = WriteMp3WithId3v2(
            w.dir / "a.mp3", MakeId3v2Tag({4, 3, {{"TIT2", {"New"}, ""}}}), OldTag());
        w.Load({path});
        w.Select({});
        bool seen = false;
        const QPointer<QTimer> watch =
            WhenPreviewOpens([&](PreviewDialog*) { seen = true; }, "Close");
        w.Press("SpeedButtonCopyId3v2");
        w.Trigger("CopyID3v2toID3v11");
        QVERIFY(!seen);
        QCOMPARE(w.library.UnsavedCount(), 0);

        // A load held at its read: the two controls are greyed, and the command refuses.
        const std::string other = w.Write("other.mp3", OldTag());
        const auto gate = HoldReadOf(w.library, other);
        w.Select({0});
        w.form->AddDroppedPaths({other});
        gate->AwaitReached();
        QVERIFY(!w.Control<QToolButton>("SpeedButtonCopyId3v2")->isEnabled());
        QVERIFY(!w.Find<QAction>("CopyID3v2toID3v11")->isEnabled());
        w.panel->CopyId3v2ToId3v1();
        QVERIFY(!seen);
        gate->Release();
        QVERIFY(AwaitLoad(w.library));
        delete watch.data();
        QCOMPARE(w.Entry(0)->GetTitle(), std::string("Old"));
        QVERIFY(w.Control<QToolButton>("SpeedButtonCopyId3v2")->isEnabled());
    }

    void TheDetailPanelShowsTheCurrentEntrysId3v2Values() {
        CopyWorld w;
        const std::string tagged = WriteMp3WithId3v2(w.dir / "tagged.mp3",
                                                     MakeId3v2Tag({3,
                                                                   1,
                                                                   {{"TIT2", {"So What"}, ""},
                                                                    {"TPE1", {"Miles Davis"}, ""},
                                                                    {"TYER", {"1959"}, ""},
                                                                    {"COMM", {"modal"}, ""}}}),
                                                     OldTag());
        const std::string untagged = WriteMp3WithId3v2(
            w.dir / "v2_only.mp3", MakeId3v2Tag({4, 3, {{"TALB", {"Kind"}, ""}}}));
        const std::string plain = w.Write("plain.mp3", OldTag());
        w.Load({tagged, untagged, plain});
        auto* label = w.Find<QLabel>("LabelId3v2");

        w.Select({0});
        QCOMPARE(label->text(), QStringLiteral("ID3v2.3"));
        QCOMPARE(w.Id3v2Line(), QStringLiteral("Title: So What \u00b7 Artist: Miles Davis \u00b7 "
                                               "Year: 1959 \u00b7 Comment: modal"));
        // Without an ID3v1 tag the fields hide, the ID3v2 line stays.
        w.Select({1});
        QVERIFY(w.Find<QLineEdit>("EditTagArtist")->isHidden());
        QVERIFY(!w.Find<QLineEdit>("EditId3v2Values")->isHidden());
        QCOMPARE(label->text(), QStringLiteral("ID3v2.4"));
        QCOMPARE(w.Id3v2Line(), QStringLiteral("Album: Kind"));
        w.Select({2});
        QCOMPARE(label->text(), QStringLiteral("ID3v2"));
        QCOMPARE(w.Id3v2Line(), QStringLiteral("no ID3v2 tag"));

        // The tag is read when another entry is shown, not each time the panel is filled.
        WriteMp3WithId3v2(plain, MakeId3v2Tag({4, 3, {{"TIT2", {"Added"}, ""}}}), OldTag());
        w.form->ShowTagDetail(2);
        QCOMPARE(w.Id3v2Line(), QStringLiteral("no ID3v2 tag"));
        w.Select({0});
        w.Select({2});
        QCOMPARE(w.Id3v2Line(), QStringLiteral("Title: Added"));
        w.Select({});
        QCOMPARE(w.Id3v2Line(), QString());
    }
};

int main(int argc, char** argv) { return RunWindowTest<Id3v2CopyWindowTest>(argc, argv); }

#include "id3v2_copy_window_test.moc"
