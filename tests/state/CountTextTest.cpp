#include <gtest/gtest.h>

#include "state/CountText.h"
#include "state/Error.h"

namespace vx {
namespace {

int ErrorNumberOf(std::string_view text, char separator = '.') {
    try {
        ParseCount(text, separator);
    } catch (const Error& e) {
        return e.Number();
    }
    return 0;
}

TEST(CountTextTest, ReadsNumbersRoundingDown) {
    EXPECT_EQ(ParseCount("0", '.'), 0);
    EXPECT_EQ(ParseCount(" 12 ", '.'), 12);
    EXPECT_EQ(ParseCount("+7", '.'), 7);
    EXPECT_EQ(ParseCount("2.9", '.'), 2);
    EXPECT_EQ(ParseCount("2,9", ','), 2);
    EXPECT_EQ(ParseCount("-0.5", '.'), -1);
    EXPECT_EQ(ParseCount("-3", '.'), -3);
    EXPECT_EQ(ParseCount("1e2", '.'), 100);
    EXPECT_EQ(ParseCount("1e-400", '.'), 0);
    EXPECT_EQ(ParseCount("-1e-400", '.'), -1);
    EXPECT_EQ(ParseCount("32767.99", '.'), 32767);
    EXPECT_EQ(ParseCount("-32768", '.'), -32768);
}

TEST(CountTextTest, RefusesWhatIsNotANumberOrDoesNotFit) {
    for (const char* text : {"", "  ", "abc", "2.9", "1 2", "0x10", "inf", "nan", "3-", "e5"}) {
        EXPECT_EQ(ErrorNumberOf(text, ','), kErrorTypeMismatch) << text;
    }
    EXPECT_EQ(ErrorNumberOf("2,9", '.'), kErrorTypeMismatch);
    for (const char* text :
         {"32768", "-32769", "-32768.5", "1e10", "99999999999999999999", "1e400", "-1e400"}) {
        EXPECT_EQ(ErrorNumberOf(text), kErrorOverflow) << text;
    }
}

}  // namespace
}  // namespace vx
