#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "update/download_list.h"
#include "update/update_server.h"
#include "update/version_file.h"

namespace ambrel::update {
namespace {

TEST(VersionFileTest, LatestVersionIsTheFirstLineFromItsFirstColonOn) {
    struct Case {
        const char* file;
        std::optional<std::string> latest;
    } cases[] = {
        {"Version:2.01\nFree text: 3.00\n", ":2.01"},
        {"a:b:2.5", ":b:2.5"},
        {"Version: 2.01  \r\nmore", ": 2.01  "},
        {"Version:\n", ":"},
        {"", std::nullopt},
        {"no colon here\nVersion:2.01\n", std::nullopt},
        {"\nVersion:2.01", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(LatestVersionOf(c.file), c.latest) << c.file;
}

TEST(VersionFileTest, VersionsCompareAsDottedNumbers) {
    struct Case {
        const char* a;
        const char* b;
        std::optional<int> order;
    } cases[] = {
        {"2.01", "2.00", 1},
        {" 2.01", "2.00", 1},
        {"10.00", "2.00", 1},
        {"2.00", "2.00", 0},
        {"\t2.00 ", "2.00", 0},
        {"2", "2.00", 0},
        {"2.1", "2.01", 0},
        {"2.0.1", "2.00", 1},
        {"1.99", "2.00", -1},
        {"2.00", "10.00", -1},
        {"123456789012345678901234567890.1", "123456789012345678901234567890", 1},
        {"b:2.5", "2.00", std::nullopt},
        {"", "2.00", std::nullopt},
        {"2..0", "2.00", std::nullopt},
        {"2.", "2.00", std::nullopt},
        {".2", "2.00", std::nullopt},
        {"2.0a", "2.00", std::nullopt},
        {"-2", "2.00", std::nullopt},
        {"2 .0", "2.00", std::nullopt},
        {"2.00", "beta", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(CompareVersions(c.a, c.b), c.order) << c.a << " " << c.b;
}

TEST(DownloadListTest, TheInstallerIsTheLineAfterTheFirstMarker) {
    struct Case {
        const char* list;
        std::optional<std::string> name;
    } cases[] = {
        {"Ambrel 1\nold.exe\nAmbrel 2\nambrel-2.01.sh\n", "ambrel-2.01.sh"},
        {"AMBREL 2\nsetup.sh", "setup.sh"},
        {"ambrel 2\r\nsetup.sh\r\n", "setup.sh"},
        {"Ambrel 2\rsetup.sh\r", "setup.sh"},
        {"Ambrel 2\nfirst.sh\nAmbrel 2\nsecond.sh\n", "first.sh"},
        {"Ambrel 2\n\n", ""},
        {"Ambrel 2  \nsetup.sh\n", std::nullopt},
        {" Ambrel 2\nsetup.sh\n", std::nullopt},
        {"Ambrel 20\nsetup.sh\n", std::nullopt},
        {"x\nAmbrel 2\n", std::nullopt},
        {"x\nAmbrel 2", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(InstallerNameOf(c.list), c.name) << c.list;
}

TEST(DownloadListTest, OnlyPlainFileNamesAreInstallerNames) {
    for (const char* name : {"setup.sh", "Ambrel 2.01 setup.exe", "a..b", ".hidden", "a?b#c"})
        EXPECT_TRUE(IsInstallerName(name)) << name;
    for (const char* name : {"", ".", "..", "../x", "/tmp/x", "a/b", "a\\b", "..\\x", "C:\\x",
                             "a\tb", "a\x7f", "a\x1b[2J"})
        EXPECT_FALSE(IsInstallerName(name)) << name;
    EXPECT_FALSE(IsInstallerName(std::string("a\0b", 3)));
}

TEST(UpdateServerTest, AddressIsTheOverrideOrTheProjectsServer) {
    EXPECT_EQ(UpdateServerAddress(""), kUpdateServer);
    EXPECT_EQ(UpdateServerAddress("http://127.0.0.1:8080/"), "http://127.0.0.1:8080");
    EXPECT_EQ(UpdateServerAddress("https://mirror.example/ambrel"),
              "https://mirror.example/ambrel");
    EXPECT_EQ(kUpdateServer.substr(0, 8), "https://");
}

TEST(UpdateServerTest, PlainHttpReachesOnlyTheLoopbackHost) {
    struct Case {
        const char* scheme;
        const char* host;
        bool permitted;
    } cases[] = {
        {"https", "www.pendrake.com", true},
        {"HTTPS", "mirror.example", true},
        {"http", "127.0.0.1", true},
        {"http", "127.255.3.4", true},
        {"http", "::1", true},
        {"http", "[::1]", true},
        {"http", "LocalHost", true},
        {"http", "www.pendrake.com", false},
        {"http", "128.0.0.1", false},
        {"http", "127.0.0.1.example", false},
        {"http", "127.0.0.256", false},
        {"http", "127.0.0", false},
        {"http", "localhost.example", false},
        {"http", "::2", false},
        {"http", "", false},
        {"https", "", false},
        {"ftp", "127.0.0.1", false},
        {"file", "", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsPermittedAddress(c.scheme, c.host), c.permitted) << c.scheme << " " << c.host;
}

}  // namespace
}  // namespace ambrel::update
