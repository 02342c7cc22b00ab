#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The small controls the file viewer's browser binds besides its two list views: the
// filter selector, the drive selector and the icon source. The Qt layer implements them
// over a QComboBox and QFileIconProvider; tests use the in-memory ones of
// tests/support/memory_selectors.h.
namespace ambrel {

// The filter text of the file viewer's filter selector: descriptions and masks alternate,
// separated by "|".
inline constexpr char kFileViewerFilterText[] = "Mp3 files (*.mp3)|*.mp3|All files (*.*)|*.*";

// A list of file filters, each a description shown to the user and a mask such as
// "*.mp3" or "*.mp3;*.ogg", with at most one entry selected.
class FilterSelector {
public:
    virtual ~FilterSelector() = default;

    virtual int EntryCount() const = 0;
    // Appends an entry; the selection does not change.
    virtual void AddEntry(const std::string& description, const std::string& mask) = 0;
    virtual std::string EntryDescription(int index) const = 0;
    virtual std::string EntryMask(int index) const = 0;
    // The selected entry, -1 when none.
    virtual int SelectedEntry() const = 0;
    // Selects an entry (-1: none). Implementations need not report this back to the
    // browser: the window calls ChangeFilter after a change the user made.
    virtual void SelectEntry(int index) = 0;

    // The mask of the selected entry. With no entry selected the last entry is selected
    // first; with no entries at all the mask is "*.*".
    std::string CurrentMask() {
        const int count = EntryCount();
        if (count == 0) return "*.*";
        if (SelectedEntry() < 0 || SelectedEntry() >= count) SelectEntry(count - 1);
        return EntryMask(SelectedEntry());
    }
};

// The entries of a filter text ("description|mask|description|mask..."), as pairs of a
// description and its mask. A trailing description without its mask is left out.
inline std::vector<std::pair<std::string, std::string>> FilterEntries(
    std::string_view filter_text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= filter_text.size()) {
        const std::size_t bar = filter_text.find('|', start);
        const std::size_t end = bar == std::string_view::npos ? filter_text.size() : bar;
        parts.emplace_back(filter_text.substr(start, end - start));
        if (bar == std::string_view::npos) break;
        start = bar + 1;
    }
    std::vector<std::pair<std::string, std::string>> entries;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2)
        entries.emplace_back(parts[i], parts[i + 1]);
    return entries;
}

// Appends the entries of a filter text.
inline void AddFilterEntries(FilterSelector& selector, std::string_view filter_text) {
    for (const auto& [description, mask] : FilterEntries(filter_text))
        selector.AddEntry(description, mask);
}

// The machine's "drives": on Linux the mounted, ready volumes, each named by its root path
// ("/" first, then the others such as "/media/usb"). The browser only reads and sets the
// selected root; ChangeDrive is the window's answer to a change the user made.
class DriveSelector {
public:
    virtual ~DriveSelector() = default;

    // The root paths offered, "/" first.
    virtual std::vector<std::string> Drives() const = 0;
    // The selected root; empty when none is selected.
    virtual std::string Drive() const = 0;
    // Selects the entry with this root (nothing when it is not offered). Must not call
    // back into the browser.
    virtual void SetDrive(const std::string& root) = 0;
};

// The small icons of the file viewer's two lists: one image list shared by both. The
// browser asks for a type key per row and keeps its own key -> image cache, so the image
// list holds each distinct picture once.
class IconSource {
public:
    virtual ~IconSource() = default;

    // The key of the picture that a file (or directory) of this name gets, decided by
    // the name and kind alone: the file is never opened. Equal keys mean equal pictures
    // (on Qt: the icon's theme name or cache key).
    virtual std::string IconKeyFor(const std::string& name, bool is_dir) = 0;
    // Adds the picture of a key returned by IconKeyFor to the image list; returns its
    // image index.
    virtual int AddIcon(const std::string& key) = 0;
    // Empties the image list.
    virtual void ClearIcons() = 0;
};

}  // namespace ambrel
