#include "platform/conversion.h"

#include <gtest/gtest.h>

#include <string>

namespace ambrel::test {
namespace {

TEST(ConversionTest, AcceptsOneSignedDecimalNumber) {
    struct Case {
        const char* text;
        int value;
    };
    for (const Case& c :
         {Case{"12", 12}, Case{"+7", 7}, Case{"-7", -7}, Case{"  3", 3}, Case{"\t3", 3},
          Case{"0", 0}, Case{"2147483647", 2147483647}, Case{"-2147483648", -2147483647 - 1}}) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(StrToInt(c.text), c.value);
    }
}

TEST(ConversionTest, RefusesEverythingElseWithTheShownMessage) {
    // "+-5" is two signs, not -5.
    for (const char* text : {"abc", "", " ", "+", "-", "+-5", "-+5", "++5", "--5", "7 ", "1.5",
                             "0x10", "2147483648", "-2147483649", "1 2"}) {
        SCOPED_TRACE(text);
        try {
            StrToInt(text);
            ADD_FAILURE() << "accepted";
        } catch (const ConversionError& error) {
            EXPECT_EQ(std::string(error.what()),
                      "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}

}  // namespace
}  // namespace ambrel::test
