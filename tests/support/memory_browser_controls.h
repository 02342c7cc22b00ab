#pragma once

#include "files/directory_browser.h"
#include "support/memory_report_view.h"
#include "support/memory_selectors.h"

namespace ambrel::test {

// The in-memory controls a browser binds, laid out like the file viewer window's and
// attached in its order, so that the browser is ready over a real directory.
struct MemoryBrowserControls {
    MemoryBrowserControls() {
        directories.AddColumn("Directories", 200);
        files.AddColumn("Files", 200);
        files.AddColumn("Tag", TDirectoryBrowser::kTagColumnWidth);
        AddFilterEntries(filter, kFileViewerFilterText);
        filter.SelectEntry(0);
    }
    // Attaches every control and lists the browser's current directory.
    void Attach(TDirectoryBrowser& browser) {
        browser.AttachDriveSelector(&drives);
        browser.AttachFilterSelector(&filter);
        browser.AttachDirectoryList(&directories);
        browser.AttachFileList(&files);
        browser.AttachIconList(&icons);
        browser.Refresh();
    }
    // Selects the row of the list captioned so (and no other); false when there is none.
    static bool SelectRow(MemoryReportView& list, std::string_view caption) {
        list.ClearSelection();
        for (int row = 0; row < list.RowCount(); ++row) {
            if (list.Cell(row, 0) == caption) {
                list.SetSelected(row, true);
                return true;
            }
        }
        return false;
    }

    MemoryReportView directories, files;
    MemoryFilterSelector filter;
    MemoryDriveSelector drives;
    MemoryIconSource icons;
};

}  // namespace ambrel::test
