#include "tag/id3v2_header.h"

#include <gtest/gtest.h>

#include <string>

namespace ambrel::test {
namespace {

id3v2::HeaderBytes Header(std::string bytes) {
    id3v2::HeaderBytes header{};
    for (std::size_t i = 0; i < header.size() && i < bytes.size(); ++i)
        header[i] = static_cast<uint8_t>(bytes[i]);
    return header;
}

TEST(Id3v2HeaderTest, OnlyAWellFormedHeaderGivesItsVersion) {
    using std::string_literals::operator""s;
    struct Case {
        std::string bytes;
        long long file_size;
        std::string_view version;
    } cases[] = {
        {"ID3\x02\x00\x00\x00\x00\x00\x00"s, -1, "2.2"},
        {"ID3\x03\x00\x00\x00\x00\x02\x01"s, -1, "2.3"},
        {"ID3\x04\x00\x80\x00\x00\x00\x7F"s, -1, "2.4"},   // any flags
        {"ID3\x03\x01\x00\x7F\x7F\x7F\x7F"s, -1, "2.3"},   // the largest size, file unknown
        {"ID3\x04\x00\x00\x00\x00\x01\x00"s, 138, "2.4"},  // 10 + 128 bytes: exactly the file
        {"ID3\x04\x00\x00\x00\x00\x01\x00"s, 137, ""},     // one byte past the end
        {"ID3\x04\x00\x10\x00\x00\x01\x00"s, 147, ""},     // its footer is past the end
        {"ID3\x04\x00\x10\x00\x00\x01\x00"s, 148, "2.4"},
        {"ID3\x03\x00\x10\x00\x00\x01\x00"s, 138, "2.3"},  // 2.3 has no footer
        {"ID3\x03\x00\x00\x00\x00\x00\x80"s, -1, ""},      // a size byte with its high bit
        {"ID3\x03\x00\x00\x80\x00\x00\x00"s, -1, ""},
        {"ID3\xFF\x00\x00\x00\x00\x00\x00"s, -1, ""},  // version 0xFF
        {"ID3\x03\xFF\x00\x00\x00\x00\x00"s, -1, ""},  // revision 0xFF
        {"ID3\x01\x00\x00\x00\x00\x00\x00"s, -1, ""},
        {"ID3\x05\x00\x00\x00\x00\x00\x00"s, -1, ""},
        {"ID3\x00\x00\x00\x00\x00\x00\x00"s, -1, ""},
        {"id3\x03\x00\x00\x00\x00\x00\x00"s, -1, ""},  // the letters are upper case
        {"TAG\x03\x00\x00\x00\x00\x00\x00"s, -1, ""},
        {"3DI\x04\x00\x00\x00\x00\x00\x00"s, -1, ""},  // a footer is no header
        {""s, 0, ""},
    };
    for (const Case& c : cases) {
        const uint8_t major = id3v2::HeaderMajor(Header(c.bytes), c.file_size);
        EXPECT_EQ(id3v2::VersionText(major), c.version)
            << testing::PrintToString(c.bytes) << " in " << c.file_size << " bytes";
        EXPECT_EQ(Id3v2Head::Of(Header(c.bytes), c.file_size).VersionText(), c.version);
    }
}

TEST(Id3v2HeaderTest, AnEntryTellsNotLookedAtFromNoneFound) {
    EXPECT_FALSE(Id3v2Head().Read());
    EXPECT_EQ(Id3v2Head().Major(), 0);
    EXPECT_TRUE(Id3v2Head::Found(0).Read());
    EXPECT_EQ(Id3v2Head::Found(0).Major(), 0);
    EXPECT_EQ(Id3v2Head::Found(0).VersionText(), "");
    EXPECT_NE(Id3v2Head::Found(0), Id3v2Head());
    for (uint8_t major : {2, 3, 4}) {
        EXPECT_TRUE(Id3v2Head::Found(major).Read());
        EXPECT_EQ(Id3v2Head::Found(major).Major(), major);
    }
    EXPECT_EQ(Id3v2Head::Found(1), Id3v2Head::Found(0)) << "no such version";
    EXPECT_EQ(Id3v2Head::Found(5), Id3v2Head::Found(0));
    EXPECT_EQ(sizeof(Id3v2Head), 1u);
}

}  // namespace
}  // namespace ambrel::test
