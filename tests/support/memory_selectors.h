#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/paths.h"
#include "platform/selectors.h"
#include "tag/text_helpers.h"

namespace ambrel::test {

// A filter selector held in memory.
class MemoryFilterSelector : public FilterSelector {
public:
    std::vector<std::pair<std::string, std::string>> entries;  // description, mask
    int selected = -1;

    int EntryCount() const override { return static_cast<int>(entries.size()); }
    void AddEntry(const std::string& description, const std::string& mask) override {
        entries.emplace_back(description, mask);
    }
    std::string EntryDescription(int index) const override { return entries.at(index).first; }
    std::string EntryMask(int index) const override { return entries.at(index).second; }
    int SelectedEntry() const override { return selected; }
    void SelectEntry(int index) override { selected = index; }
};

// A drive selector offering a fixed list of roots.
class MemoryDriveSelector : public DriveSelector {
public:
    std::vector<std::string> roots{"/"};
    std::string selected;

    std::vector<std::string> Drives() const override { return roots; }
    std::string Drive() const override { return selected; }
    void SetDrive(const std::string& root) override {
        for (const std::string& r : roots) {
            if (r == root) selected = root;
        }
    }
};

// An icon source whose key is the kind and lower-cased extension of a name ("dir", "file:.mp3"),
// counting how often it was asked, so a test can see the browser's caching.
class MemoryIconSource : public IconSource {
public:
    std::vector<std::string> images;  // the key of each image in the list
    int key_requests = 0;
    int clears = 0;

    std::string IconKeyFor(const std::string& name, bool is_dir) override {
        ++key_requests;
        if (is_dir) return "dir";
        return "file:" + AsciiLowerCase(paths::ExtensionOf(name));
    }
    int AddIcon(const std::string& key) override {
        images.push_back(key);
        return static_cast<int>(images.size()) - 1;
    }
    void ClearIcons() override {
        images.clear();
        ++clears;
    }
};

}  // namespace ambrel::test
