#include <gtest/gtest.h>

#include <climits>
#include <clocale>

#include "core/exception.h"
#include "core/period.h"
#include "test_locale.h"

TEST(StrToFloat, ReadsDecimalTextWithAFullStop) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {{"1", 1.0},   {"0.5", 0.5}, {" 2.25 ", 2.25}, {"-1", -1.0},
                          {"+3.", 3.0}, {".5", 0.5},  {"1e-1", 0.1},    {"2.9999", 2.9999}};
    for (const Case& c : cases) EXPECT_DOUBLE_EQ(StrToFloat(c.text), c.value) << c.text;
}

TEST(StrToFloat, RejectsAnythingElseWithTheConversionMessage) {
    for (const char* text : {"abc", "", " ", "1,5", "1.5s", "nan", "inf", "0x10", "1e", ".", "-", "1 2"}) {
        try {
            StrToFloat(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), std::string("'") + text + "' is not a valid floating point value");
        }
    }
    EXPECT_THROW(StrToFloat("1e999"), EConvertError);  // no finite period
}

TEST(StrToFloat, IgnoresTheUserLocalesDecimalComma) {
    // The window's text "0.5" must read back as half a second under any locale.
    REQUIRE_FRENCH_LOCALE(french);
    EXPECT_DOUBLE_EQ(StrToFloat("0.5"), 0.5);
}

TEST(PeriodToInterval, TruncatesToWholeMilliseconds) {
    struct Case {
        double seconds;
        int ms;
    };
    const Case cases[] = {{1, 1000},         {0.5, 500},         {1.0005, 1000}, {2.9999, 2999},
                          {1.001, 1001},     {0.7, 700},         {4.35, 4350},   {1e9, INT_MAX},
                          {0.0004, 1}};
    for (const Case& c : cases) EXPECT_EQ(PeriodToInterval(c.seconds), c.ms) << c.seconds;
}
