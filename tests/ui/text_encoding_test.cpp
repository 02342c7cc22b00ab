// The "ID3v1 text encoding" of the file viewer's Settings page: the main window's table and
// tag detail show the chosen code page at once, typing writes its bytes, nothing is read
// again or marked modified, and the choice is there again when the windows are made anew.
#include <QComboBox>
#include <QSettings>
#include <QTabWidget>

#include "main_window_world.h"
#include "tag/code_page.h"
#include "ui/files/file_viewer_window.h"
#include "window_test_main.h"

using namespace ambrel::test;
using ambrel::CodePage;
using ambrel::CodePageConverter;

namespace {

const std::string kKinoUtf8 = "\xD0\x9A\xD0\xB8\xD0\xBD\xD0\xBE";  // "Кино"
const std::string kKino1251 = "\xCA\xE8\xED\xEE";
const std::string kKinoLatin1 = "\xC3\x8A\xC3\xA8\xC3\xAD\xC3\xAE";         // "Êèíî"
const char kGruppa[] = "\xD0\x93\xD1\x80\xD1\x83\xD0\xBF\xD0\xBF\xD0\xB0";  // "Группа"

QComboBox* EncodingBox(World& w) {
    auto* box = w.windows->Form2()->findChild<QComboBox*>(QStringLiteral("ComboBoxTextEncoding"));
    if (box == nullptr) qFatal("no encoding box");
    return box;
}

// Chooses the page in the box as the user does.
void Choose(World& w, CodePage page) {
    QComboBox* box = EncodingBox(w);
    const auto& names = ambrel::CodePageNames();
    for (int i = 0; i < static_cast<int>(names.size()); ++i) {
        if (names[i].page != page) continue;
        box->setCurrentIndex(i);
        emit box->activated(i);
        return;
    }
    QFAIL("no such page in the box");
}

}  // namespace

class TextEncodingTest : public QObject {
    Q_OBJECT

private slots:
    void TheBoxOffersEveryPageWithLatin1First() {
        World w;
        QComboBox* box = EncodingBox(w);
        // Eight single-byte pages, four double-byte ones, and the locale's.
        QCOMPARE(box->count(), 13);
        QCOMPARE(box->currentIndex(), 0);
        QVERIFY(box->itemText(0).startsWith(QLatin1String("ISO-8859-1")));
        QCOMPARE(box->itemText(12), QStringLiteral("System locale"));
        QCOMPARE(CodePageConverter::CurrentPage(), CodePage::kLatin1);
    }

    void ChoosingAnEncodingRedrawsTheWindowsAndIsRememberedForTheNextRun() {
        TagFields fields;
        fields.artist = kKino1251;
        fields.title = "x";
        const TempDir dir;
        const std::string path = WriteMp3(dir / "kino.mp3", kAudio, MakeBlock(fields));
        {
            World w;
            w.Load({path});
            w.Select({0});
            QCOMPARE(w.Column(4), std::vector<std::string>{kKinoLatin1});
            const ambrel::TTagFile& file = *w.library.TagList()->Get(0);
            const bool modified = file.IsModified();
            const ambrel::TagBlock block = file.Block();

            Choose(w, CodePage::kWindows1251);
            QCOMPARE(w.Column(4), std::vector<std::string>{kKinoUtf8});
            QCOMPARE(w.Text("EditTagArtist"), QString::fromStdString(kKinoUtf8));
            QCOMPARE(file.IsModified(), modified);
            QVERIFY(file.Block() == block);

            // Typing writes the page's bytes.
            w.SetText("EditTagTitle", QString::fromUtf8(kGruppa));
            w.Click("ToolButtonSaveCurrent");
            fields.title = "\xC3\xF0\xF3\xEF\xEF\xE0";
            QCOMPARE(ReadTail(path), Bytes(MakeBlock(fields)));
        }
        // A new run starts in Latin-1 until the windows take the stored choice.
        CodePageConverter::SetCurrent(CodePage::kLatin1);
        World again;
        QCOMPARE(CodePageConverter::CurrentPage(), CodePage::kWindows1251);
        QCOMPARE(EncodingBox(again)->currentIndex(), 3);
        again.Load({path});
        QCOMPARE(again.Column(4), std::vector<std::string>{kKinoUtf8});
        QCOMPARE(again.Column(5), std::vector<std::string>{kGruppa});

        Choose(again, CodePage::kLatin1);
        QCOMPARE(again.Column(4), std::vector<std::string>{kKinoLatin1});
        QCOMPARE(QSettings(QStringLiteral("Pendrake"), QStringLiteral("Ambrel"))
                     .value(QStringLiteral("ID3v1TextEncoding"))
                     .toString(),
                 QStringLiteral("ISO-8859-1"));
    }

    // A stored name this program does not know (a later version's) reads as Latin-1.
    void AnUnknownStoredEncodingIsLatin1() {
        QSettings(QStringLiteral("Pendrake"), QStringLiteral("Ambrel"))
            .setValue(QStringLiteral("ID3v1TextEncoding"), QStringLiteral("EBCDIC"));
        World w;
        QCOMPARE(EncodingBox(w)->currentIndex(), 0);
        QCOMPARE(CodePageConverter::CurrentPage(), CodePage::kLatin1);
    }
};

int main(int argc, char** argv) { return RunWindowTest<TextEncodingTest>(argc, argv); }

#include "text_encoding_test.moc"
