#pragma once

// What the main window's tests share: the real window set with its data and a temporary
// directory for the files, drops as a file manager makes them, and tag fields named as
// they are set.
#include <QAction>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "background_load.h"
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
#include "ui/viewer/main_window.h"
#include "viewer/tag_viewer.h"

namespace ambrel::test {

using ambrel::ui::AmbrelApplication;
using ambrel::ui::QtReportView;
using ambrel::ui::TForm1;
using ambrel::ui::WindowSet;
using Shown = FakePrompter::Shown;

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
    // Drops the paths on the window's drop handler and waits for their load.
    void Load(const std::vector<std::string>& paths) const {
        form->AddDroppedPaths(paths);
        QVERIFY(AwaitLoad(library));
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
inline void Drop(QWidget* target, const Paths& paths, bool as_text = false) {
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

// A drop as Drop makes it, followed by the wait for its load.
inline void DropAndWait(const World& w, QWidget* target, const Paths& paths, bool as_text = false) {
    Drop(target, paths, as_text);
    QVERIFY(AwaitLoad(w.library));
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

inline std::vector<uint8_t> Bytes(const Block& block) { return {block.begin(), block.end()}; }

}  // namespace ambrel::test
