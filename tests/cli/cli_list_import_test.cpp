// What ambrel-cli list prints, read back and imported into the same files loaded again.
#include <gtest/gtest.h>

#include <string>

#include "cli_runner.h"
#include "export/record_reader.h"
#include "export/tag_import.h"
#include "files/file_loader.h"
#include "library/library.h"
#include "platform/paths.h"
#include "support/memory_report_view.h"
#include "tag/tag_list.h"
#include "viewer/tag_viewer.h"

namespace ambrel::test {
namespace {

TEST(CliListImportTest, AnUneditedListImportsAsNoChangeAndOneEditAsThatField) {
    TempDir dir;
    TagFields odd;
    odd.title = "Say \"Hi\", now\n\xC9";
    odd.artist = "Bj\xF6rk";
    odd.album = std::string("abc\0xyz", 7);
    odd.comment = "tab\there \\ back";
    odd.year = "199?";
    odd.track = 255;
    odd.genre = 200;
    const std::string edited = WriteMp3(dir / "m/b.mp3", 500, MakeBlock(odd));
    WriteMp3(dir / "m/none.mp3", 500, std::nullopt);
    WriteMp3(dir / "m/caf\xE9.mp3", 500, MakeBlock(Titled("Caf\xE9")));
    WriteMp3(dir / "m/sub/grunge.mp3", 500, MakeBlock([] {
                 TagFields grunge = Titled("G");
                 grunge.genre = 6;  // "Grunge," in the shipped list
                 return grunge;
             }()));

    TTagList list;
    LoadPaths(list, {dir / "m"});
    ASSERT_EQ(list.Count(), 4);
    MemoryReportView table;
    const std::string genres =
        paths::Join(Library::DataDirectory(paths::DirectoryOf(AMBREL_CLI)), "tagviewer.cfg");
    TTagViewer viewer(&table, &list, genres);
    for (const std::string format : {"csv", "tsv"}) {
        const CliResult listed = RunCli({"list", "-r", "--format", format, dir / "m"});
        ASSERT_EQ(listed.status, 0) << listed.err;
        const RecordReading reading =
            ReadRecords(listed.out, format == "csv" ? RecordFormat::kCsv : RecordFormat::kTsv);
        ASSERT_TRUE(reading.table) << reading.error;
        ImportPlan plan = PlanImport(*reading.table, viewer);
        EXPECT_EQ(plan.refused, "") << listed.out;
        EXPECT_EQ(plan.unchanged, 4) << listed.out;

        RecordTable changed = *reading.table;
        for (std::vector<std::string>& record : changed.records)
            if (record[9] == edited) record[5] = "New album";  // the Album column
        plan = PlanImport(changed, viewer);
        ASSERT_EQ(plan.rows.size(), 1u) << listed.out;
        ASSERT_EQ(plan.rows[0].changes.size(), 1u);
        EXPECT_EQ(plan.rows[0].changes[0].field, Id3v1Field::kAlbum);
        EXPECT_EQ(plan.rows[0].changes[0].new_text, "New album");
    }
}

}  // namespace
}  // namespace ambrel::test
