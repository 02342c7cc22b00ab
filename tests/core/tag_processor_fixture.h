#pragma once

// What the batch engine's tests share: tag fields named as the masks take them, a run's
// options built by name, and a directory, tag list and processor per test or per case.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "actions/tag_processor.h"
#include "actions/templates.h"
#include "support/fake_prompter.h"
#include "support/mp3_fixture.h"
#include "tag/tag_list.h"

namespace ambrel::test {

namespace fs = std::filesystem;

inline TagFields Song(std::string artist, std::string title, std::string album = "", int track = 0,
                      std::string year = "") {
    TagFields f;
    f.artist = std::move(artist);
    f.title = std::move(title);
    f.album = std::move(album);
    f.track = track;
    f.year = std::move(year);
    return f;
}

// The names in a directory, sorted; a file moved into a subdirectory would show there too.
inline std::vector<std::string> Listing(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        names.push_back(fs::relative(e.path(), dir).string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The options a page's run stores: the template item (5 takes the user mask), the
// separator boxes, the letter case and the track digit count (0: none set).
struct RunOptions {
    int item;
    std::string user_mask;
    SeparatorChoice choice;
    int case_mode = 0;
    int digits = 2;

    RunOptions Case(int mode) const { return With(&RunOptions::case_mode, mode); }
    RunOptions Digits(int n) const { return With(&RunOptions::digits, n); }
    RunOptions Separators(SeparatorChoice c) const { return With(&RunOptions::choice, c); }

    void StoreIn(TTagProcessor& processor) const {
        processor.SetInWordSeparator(choice.InWordChar());
        processor.SetCaseMode(case_mode);
        processor.SetMask(BuildMask(item, choice.WordSeparator(), user_mask));
        if (digits > 0) processor.SetTrackDigits(digits);
    }

private:
    template <typename T>
    RunOptions With(T RunOptions::*field, T value) const {
        RunOptions copy = *this;
        copy.*field = value;
        return copy;
    }
};

inline RunOptions Template(int item) { return {item, "", SeparatorChoice{}}; }
inline RunOptions UserMask(std::string mask) {
    return {kTemplateUserMask, std::move(mask), SeparatorChoice{}};
}

// A directory, a tag list and a processor of their own, for one case of a table.
struct World {
    TempDir dir;
    TTagList list;
    FakePrompter prompter;
    TTagProcessor processor{&list, &prompter};
};

class TagProcessorTest : public ::testing::Test {
protected:
    // Writes a file into the directory, adds it to the list and returns its list index.
    int AddFile(const std::string& name, const std::optional<TagFields>& tag,
                std::size_t audio = 400) {
        const std::optional<Block> block =
            tag ? std::optional<Block>(MakeBlock(*tag)) : std::nullopt;
        list.Add(WriteMp3(dir / name, audio, block));
        return list.Count() - 1;
    }
    std::vector<std::string> MessageTexts() const {
        std::vector<std::string> texts;
        for (const auto& s : prompter.shown) {
            if (s.kind == FakePrompter::Shown::kMessage) texts.push_back(s.text);
        }
        return texts;
    }

    TempDir dir;
    TTagList list;
    FakePrompter prompter;
    TTagProcessor processor{&list, &prompter};
};

}  // namespace ambrel::test
