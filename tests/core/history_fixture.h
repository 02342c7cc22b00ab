#pragma once

// What the undo history's tests share: a library over an in-memory table with files loaded
// from a folder of their own, every row selected.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "actions/panel_commands.h"
#include "library/library.h"
#include "support/fake_prompter.h"
#include "support/memory_report_view.h"
#include "support/mp3_fixture.h"
#include "tag/tag_list.h"
#include "viewer/tag_viewer.h"

namespace ambrel::test {

inline TagFields Song(std::string artist, std::string title) {
    TagFields f;
    f.artist = std::move(artist);
    f.title = std::move(title);
    return f;
}

inline RenamePageState Page(int item) {
    RenamePageState page;
    page.mask = BuildMask(item, page.separators.WordSeparator(), "");
    return page;
}

class HistoryTest : public ::testing::Test {
protected:
    HistoryTest() {
        library.CreateModel(dir / "bin", &table);
        table.BeginUpdate();
        Tags().LayoutColumns();
        table.EndUpdate();
    }

    TTagViewer& Tags() { return *library.TagViewer(); }
    TTagList& List() { return *library.TagList(); }
    TBatchHistory& History() { return library.History(); }

    // Writes the files (relative to the folder) and loads them, then selects every row.
    std::vector<std::string> Load(
        const std::vector<std::pair<std::string, std::optional<TagFields>>>& files) {
        std::vector<std::string> paths;
        for (const auto& [name, fields] : files) {
            const std::optional<Block> block =
                fields ? std::optional<Block>(MakeBlock(*fields)) : std::nullopt;
            paths.push_back(WriteMp3(dir / name, 200, block));
        }
        library.AddFiles(paths);
        Tags().SelectAll();
        return paths;
    }
    // The regular files under the folder, relative and sorted.
    std::vector<std::string> Disk(const std::string& folder = "music") const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::recursive_directory_iterator(dir / folder))
            if (e.is_regular_file())
                names.push_back(std::filesystem::relative(e.path(), dir / folder).string());
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string Cell(int row, int column) {
        return std::string(table.Cell(row, Tags().ColumnPos(column) - 1));
    }
    std::vector<std::string> Warnings() const {
        std::vector<std::string> texts;
        for (const auto& shown : prompter.shown)
            if (shown.kind == FakePrompter::Shown::kWarning) texts.push_back(shown.text);
        return texts;
    }

    TempDir dir;
    FakePrompter prompter;
    MemoryReportView table;
    Library library{&prompter};
};

}  // namespace ambrel::test
