#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

#include "support/memory_report_view.h"
#include "support/mp3_fixture.h"
#include "tag/tag_list.h"
#include "viewer/tag_viewer.h"

// Every allocation through operator new in this test program is counted, so a test can
// show that the sort comparison allocates nothing.
namespace {
long g_allocations = 0;
}

// The replacements below pair malloc with free; GCC cannot see that through inlining and
// warns about a mismatch that is not there.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    ++g_allocations;
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new(std::size_t size) {
    if (void* p = operator new(size, std::nothrow)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return operator new(size, std::nothrow);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace ambrel::test {
namespace {

using Cells = std::vector<std::string>;

class TagViewerSelectSortTest : public ::testing::Test {
protected:
    void SetUp() override { viewer_.LayoutColumns(); }

    TTagFile* AddFile(const std::string& name, const std::optional<TagFields>& fields) {
        std::optional<Block> block;
        if (fields) block = MakeBlock(*fields);
        list_.Add(WriteMp3(dir_ / ("Band/" + name + ".mp3"), 200, block));
        return list_.Get(list_.Count() - 1);
    }
    // The cells of one table position, top to bottom.
    Cells ColumnAt(int pos) const {
        Cells cells;
        for (int row = 0; row < table_.RowCount(); ++row) cells.emplace_back(table_.Cell(row, pos));
        return cells;
    }
    // The file names of the selected rows, top to bottom.
    Cells SelectedNames() const {
        Cells names;
        for (int row : table_.SelectedRows()) names.emplace_back(table_.Cell(row, 2));
        return names;
    }
    // Selects by a selection code as the menus number them.
    int SelectByCode(unsigned code) {
        const std::optional<SelectionCriterion> criterion = CriterionFromCode(code);
        EXPECT_TRUE(criterion.has_value()) << "code " << code;
        return criterion ? viewer_.SelectRowsBy(*criterion) : -1;
    }
    std::vector<int> HeaderImages() const {
        std::vector<int> images;
        for (int pos = 0; pos < table_.ColumnCount(); ++pos)
            images.push_back(table_.ColumnImage(pos));
        return images;
    }

    TempDir dir_;
    TTagList list_;
    MemoryReportView table_;
    TTagViewer viewer_{&table_, &list_, std::nullopt};
};

TEST_F(TagViewerSelectSortTest, EveryCriterionSelectsExactlyItsRows) {
    // none: no tag (empty texts, track 0, genre 254); append: a tag to be written, block
    // still empty; remove: a full tag marked for removal; spaces: text fields of spaces,
    // genre 255; sparse: an artist and a track only, year empty, genre 255.
    AddFile("none", std::nullopt);
    AddFile("append", std::nullopt)->SetState(tsAppend);
    AddFile("remove", TagFields{"T", "A", "B", "1999", "C", 5, 17})->SetState(tsRemove);
    AddFile("spaces", TagFields{"  ", std::string(30, ' '), " ", "    ", " ", 0, 255});
    AddFile("sparse", TagFields{"", "X", "", "", "", 9, 255});
    viewer_.RebuildRows();

    struct Case {
        unsigned code;
        Cells selected;
    };
    const Case cases[] = {
        {0, {"none"}},
        {1, {"append", "remove", "spaces", "sparse"}},
        {10, {"remove", "spaces", "sparse"}},
        {11, {"remove", "spaces"}},
        {12, {"remove", "spaces"}},
        {13, {"remove", "spaces"}},
        {14, {"remove", "sparse"}},
        {15, {"none", "append", "remove"}},  // genre other than 255
        {16, {"remove", "spaces"}},          // a year
        {20, {"none", "append"}},
        {21, {"none", "append", "sparse"}},
        {22, {"none", "append", "sparse"}},
        {23, {"none", "append", "sparse"}},
        {24, {"none", "append", "spaces"}},
        {25, {"spaces", "sparse"}},
        {26, {"none", "append", "sparse"}},
    };
    for (const Case& c : cases) {
        table_.SelectAll();  // a selection by hand is replaced
        const int replaces = table_.selection_replaces;
        EXPECT_EQ(SelectByCode(c.code), static_cast<int>(c.selected.size())) << "code " << c.code;
        EXPECT_EQ(SelectedNames(), c.selected) << "code " << c.code;
        EXPECT_EQ(table_.selection_replaces, replaces + 1) << "one selection change";
    }
    for (unsigned code : {2u, 9u, 17u, 19u, 27u, 30u, 0xFFFFFFFFu})
        EXPECT_FALSE(CriterionFromCode(code).has_value()) << "code " << code;
}

TEST_F(TagViewerSelectSortTest, SelectionTestsEachRowsOwnFileAfterSortingAndFiltering) {
    AddFile("a", TagFields{"", "Zed", "", "", "", 1, 0});
    AddFile("b", std::nullopt);
    AddFile("c", TagFields{"", "Abe", "", "", "", 0, 0});
    AddFile("d", TagFields{"", "Out", "", "", "", 3, 0});
    viewer_.RebuildRows();
    viewer_.ColumnClick(TTagViewer::kArtist);  // b (no tag), c Abe, d Out, a Zed
    ASSERT_EQ(ColumnAt(2), (Cells{"b", "c", "d", "a"}));

    EXPECT_EQ(SelectByCode(14), 2);
    EXPECT_EQ(SelectedNames(), (Cells{"d", "a"}));

    // A file the filter keeps out of the table is neither tested nor selected.
    viewer_.SetFilterCondition(FilterCondition::kFirst, "Out", -1);
    viewer_.RebuildRows();
    EXPECT_EQ(table_.RowCount(), 1);
    EXPECT_EQ(SelectByCode(24), 0);
    EXPECT_EQ(SelectByCode(14), 1);
}

TEST_F(TagViewerSelectSortTest, SelectRowsByOnAnEmptyTableSelectsNothing) {
    EXPECT_EQ(SelectByCode(0), 0);
    EXPECT_EQ(SelectByCode(20), 0);
}

TEST_F(TagViewerSelectSortTest, HeaderClicksMoveTheImageAndToggleTheDirection) {
    AddFile("a", TagFields{"", "B", "", "", "", 0, 0});
    AddFile("b", TagFields{"", "A", "", "", "", 0, 0});
    viewer_.RebuildRows();
    const std::vector<int> none(11, -1);
    auto only = [&none](int pos, int image) {
        std::vector<int> images = none;
        images[pos] = image;
        return images;
    };

    // The Index column is already the sort column: the first click on it reverses.
    viewer_.ColumnClick(0);
    EXPECT_EQ(viewer_.GetSortDirection(), -1);
    EXPECT_EQ(HeaderImages(), only(0, TTagViewer::kImageDescending));
    EXPECT_EQ(ColumnAt(0), (Cells{"2", "1"}));

    viewer_.ColumnClick(TTagViewer::kArtist);
    EXPECT_EQ(viewer_.GetSortColumn(), TTagViewer::kArtist);
    EXPECT_EQ(viewer_.GetSortDirection(), 1);
    EXPECT_EQ(HeaderImages(), only(TTagViewer::kArtist, TTagViewer::kImageAscending));
    EXPECT_EQ(ColumnAt(TTagViewer::kArtist), (Cells{"A", "B"}));

    viewer_.ColumnClick(TTagViewer::kArtist);
    EXPECT_EQ(HeaderImages(), only(TTagViewer::kArtist, TTagViewer::kImageDescending));
    EXPECT_EQ(ColumnAt(TTagViewer::kArtist), (Cells{"B", "A"}));
    viewer_.ColumnClick(TTagViewer::kArtist);
    EXPECT_EQ(HeaderImages(), only(TTagViewer::kArtist, TTagViewer::kImageAscending));
    EXPECT_EQ(ColumnAt(TTagViewer::kArtist), (Cells{"A", "B"}));

    // Another column always starts ascending.
    viewer_.ColumnClick(TTagViewer::kArtist);
    viewer_.ColumnClick(TTagViewer::kFilename);
    EXPECT_EQ(viewer_.GetSortDirection(), 1);
    EXPECT_EQ(HeaderImages(), only(TTagViewer::kFilename, TTagViewer::kImageAscending));
}

TEST_F(TagViewerSelectSortTest, SortOrdersNumbersByValueAndTextsByBytes) {
    // Index 1..7 carry the tracks and comments to sort; Index 8..12 have no tag.
    AddFile("n1", TagFields{"", "", "", "", "a", 10, 0});
    AddFile("n2", TagFields{"", "", "", "", "Z", 2, 0});
    AddFile("n3", std::nullopt);
    AddFile("n4", TagFields{"", "", "", "", "10", 1, 0});
    AddFile("n5", TagFields{"", "", "", "", "2", 0, 0});
    AddFile("n6", TagFields{"", "", "", "", "ab", 2, 0});
    AddFile("n7", TagFields{"", "", "", "", "\xE9", 255, 0});  // UTF-8 bytes above ASCII
    for (int i = 0; i < 5; ++i) AddFile("pad" + std::to_string(i), std::nullopt);

    struct Case {
        int column;
        int clicks;   // 1 ascending, 2 descending
        Cells cells;  // the sorted column, top to bottom
    };
    const Cells index_descending{"12", "11", "10", "9", "8", "7", "6", "5", "4", "3", "2", "1"};
    const Case cases[] = {
        // An empty track counts as 0, ties keep list order; 2 sorts before 10.
        {TTagViewer::kTrack, 1, {"", "0", "", "", "", "", "", "1", "2", "2", "10", "255"}},
        {TTagViewer::kTrack, 2, {"255", "10", "2", "2", "1", "", "0", "", "", "", "", ""}},
        // Byte order with case, a prefix first, empty cells first: "10" before "2".
        {TTagViewer::kComment, 1, {"", "", "", "", "", "", "10", "2", "Z", "a", "ab", "\xC3\xA9"}},
        {TTagViewer::kComment, 2, {"\xC3\xA9", "ab", "a", "Z", "2", "10", "", "", "", "", "", ""}},
        {TTagViewer::kIndex, 2, index_descending},
    };
    for (const Case& c : cases) {
        viewer_.RebuildRows();  // list order again
        viewer_.SetSortColumn(TTagViewer::kArtist);
        for (int i = 0; i < c.clicks; ++i) viewer_.ColumnClick(c.column);
        EXPECT_EQ(ColumnAt(c.column), c.cells) << "column " << c.column << ", clicks " << c.clicks;
    }
}

// The order the rows' cell texts give under the compare rule, computed from the table as
// it stands: Index and Track as whole numbers (an empty cell as 0), any other column by
// unsigned bytes with a prefix first; a stable sort, so equal keys keep their order. The
// result is the Index cells in the sorted order.
Cells CellTextOrder(const MemoryReportView& table, int pos, int direction) {
    const bool numeric = pos == TTagViewer::kIndex || pos == TTagViewer::kTrack;
    const auto number = [](std::string_view cell) {
        return cell.empty() ? 0LL : std::stoll(std::string(cell));
    };
    const auto compare = [&](int a, int b) {
        const std::string_view x = table.Cell(a, pos), y = table.Cell(b, pos);
        if (numeric) return (number(x) > number(y)) - (number(x) < number(y));
        const int c = x.compare(y);  // char_traits<char> compares as unsigned char
        return (c > 0) - (c < 0);
    };
    std::vector<int> rows(static_cast<std::size_t>(table.RowCount()));
    std::iota(rows.begin(), rows.end(), 0);
    std::stable_sort(rows.begin(), rows.end(),
                     [&](int a, int b) { return compare(a, b) * direction < 0; });
    Cells order;
    for (int row : rows) order.emplace_back(table.Cell(row, 0));
    return order;
}

TEST_F(TagViewerSelectSortTest, EveryColumnSortsAsItsCellTextsWouldInBothDirections) {
    // Genres 0 and 4 share a name; 1 differs only in case; 2 and 3 hold Latin-1 bytes.
    const std::string cfg = "Rock\nrock\nM\xFAsica\n\xC9lectro\nRock\n";
    const std::string cfg_path = dir_ / "tagviewer.cfg";
    WriteBytes(cfg_path, std::vector<uint8_t>(cfg.begin(), cfg.end()));
    MemoryReportView table;
    TTagViewer viewer(&table, &list_, cfg_path);
    viewer.LayoutColumns();

    struct File {
        const char* folder;
        const char* name;
        std::optional<TagFields> fields;
        TagState state;
    };
    const std::string comment(29, 'x');
    const File files[] = {
        {"Band", "one", TagFields{"Zed", "\xE9t\xE9", "A", "1999", "c", 10, 0}, tsPresent},
        {"b\xE9", "two", std::nullopt, tsNone},
        {"Band", "caf\xE9", TagFields{"zed", "ete", "A", "1999", "", 2, 1}, tsPresent},
        {"B", "one", TagFields{"Zed", "\xE9t\xE9", "", "", "c", 2, 4}, tsPresent},
        {"Band", "three", std::nullopt, tsAppend},  // an empty block: track 0, genre 254
        {"Band", "four", TagFields{"\xFF", "", "alb", "2001", comment, 255, 3}, tsRemove},
        {"\xC9"
         "cole",
         "two", std::nullopt, tsNone},
        {"Band", "five", TagFields{"Zed", "Z", "B", "1999", "c", 0, 200}, tsPresent},
        {"Band", "six", TagFields{"", "", "", "", "", 0, 2}, tsPresent},
    };
    for (const File& f : files) {
        std::optional<Block> block;
        if (f.fields) block = MakeBlock(*f.fields);
        list_.Add(WriteMp3(dir_ / (std::string(f.folder) + "/" + f.name + ".mp3"), 200, block));
        list_.Get(list_.Count() - 1)->SetState(f.state);
    }

    for (int column = 0; column < TTagViewer::kColumnCount; ++column) {
        for (int direction : {1, -1}) {
            SCOPED_TRACE("column " + std::to_string(column) + ", direction " +
                         std::to_string(direction));
            viewer.RebuildRows();  // list order
            viewer.SetSortColumn(column == TTagViewer::kArtist ? TTagViewer::kIndex
                                                               : TTagViewer::kArtist);
            const Cells expected = CellTextOrder(table, column, direction);
            viewer.ColumnClick(column);
            if (direction < 0) viewer.ColumnClick(column);
            Cells shown;
            for (int row = 0; row < table.RowCount(); ++row) {
                shown.emplace_back(table.Cell(row, 0));
                // Each row still leads to the entry its cells were built from.
                EXPECT_EQ(table.Cell(row, 0), std::to_string(viewer.EntryAt(row)->GetIndex() + 1));
            }
            EXPECT_EQ(shown, expected);
        }
    }
}

TEST_F(TagViewerSelectSortTest, CompareRowsAllocatesNothing) {
    // Long cells, so a copy of one could not hide in a string's own buffer.
    const std::string longer(30, 'x');
    AddFile("a", TagFields{"", longer + "b", "", "", "", 12, 0});
    AddFile("b", TagFields{"", longer + "a", "", "", "", 3, 0});
    AddFile("c", std::nullopt);
    viewer_.RebuildRows();
    auto check_all_pairs = [this](const char* what) {
        const long before = g_allocations;
        int sum = 0;
        for (int a = 0; a < 3; ++a)
            for (int b = 0; b < 3; ++b) sum += viewer_.CompareRows(a, b);
        EXPECT_EQ(g_allocations, before) << what;
        EXPECT_EQ(sum, 0) << what << ": an antisymmetric rule sums to 0 over all pairs";
    };
    viewer_.SetSortColumn(TTagViewer::kIndex);
    check_all_pairs("Index");
    viewer_.SetSortColumn(TTagViewer::kTrack);
    check_all_pairs("Track");
    viewer_.SetSortColumn(TTagViewer::kArtist);
    check_all_pairs("Artist");
    viewer_.SetSortColumn(TTagViewer::kPicture);
    viewer_.ShowColumn(TTagViewer::kPicture, false);
    check_all_pairs("a position no longer shown");
}

TEST_F(TagViewerSelectSortTest, SortPositionThatNoLongerExistsSortsByIndex) {
    AddFile("a", TagFields{"", "B", "", "", "", 0, 0});
    AddFile("b", TagFields{"", "A", "", "", "", 0, 0});
    AddFile("c", TagFields{"", "C", "", "", "", 0, 0});
    viewer_.RebuildRows();
    viewer_.ColumnClick(TTagViewer::kPicture);
    viewer_.ColumnClick(TTagViewer::kPicture);  // position 10, descending
    viewer_.ShowColumn(TTagViewer::kYear, false);
    viewer_.ShowColumn(TTagViewer::kPicture, false);
    ASSERT_EQ(table_.ColumnCount(), 9);
    EXPECT_EQ(viewer_.GetSortColumn(), 10);

    viewer_.SortRows();
    EXPECT_EQ(ColumnAt(0), (Cells{"3", "2", "1"}));

    // The next click finds no header at the old position; it sorts by the clicked one.
    viewer_.ColumnClick(TTagViewer::kArtist);
    EXPECT_EQ(ColumnAt(TTagViewer::kArtist), (Cells{"A", "B", "C"}));
    EXPECT_EQ(table_.ColumnImage(TTagViewer::kArtist), TTagViewer::kImageAscending);
}

TEST_F(TagViewerSelectSortTest, FilterHistoryIsCaseInsensitiveSortedKeepingFirstSpelling) {
    for (const char* artist : {"beta", "Alpha", "alpha", "", "Beta", "gamma", "ALPHA", "_x"})
        AddFile(std::string("f") + artist, TagFields{"", artist, "", "", "", 0, 0});
    AddFile("untagged", std::nullopt);
    viewer_.RebuildRows();

    // Letters fold to lower case, so "_" (0x5F) comes before them.
    EXPECT_EQ(viewer_.FilterHistory(TTagViewer::kArtist),
              (Cells{"", "_x", "Alpha", "beta", "gamma"}));

    viewer_.ShowColumn(TTagViewer::kArtist, false);
    EXPECT_TRUE(viewer_.FilterHistory(TTagViewer::kArtist).empty());
}

}  // namespace
}  // namespace ambrel::test
