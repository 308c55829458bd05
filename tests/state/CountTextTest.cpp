#include <gtest/gtest.h>

#include <tuple>

#include "state/CountText.h"
#include "support/Failure.h"

namespace vx {
namespace {

TEST(CountTextTest, ReadsNumbersRoundingDownAndRefusesTheRest) {
    using Row = std::tuple<const char*, char, int>;
    for (const auto& [text, separator, count] :
         {Row("0", '.', 0), Row(" 12 ", '.', 12), Row("+7", '.', 7), Row("2.9", '.', 2),
          Row("2,9", ',', 2), Row("4,7", ',', 4), Row("-0.5", '.', -1), Row("-3", '.', -3),
          Row("1e2", '.', 100), Row("1e-400", '.', 0), Row("-1e-400", '.', -1),
          Row("32767.99", '.', 32767), Row("-32768", '.', -32768)}) {
        EXPECT_EQ(ParseCount(text, separator), count) << text;
    }
    // What is not a number, or does not fit, is refused.
    for (const char* text : {"", "  ", "abc", "2.9", "1 2", "0x10", "inf", "nan", "3-", "e5"}) {
        EXPECT_EQ(test::ErrorOf([&] { ParseCount(text, ','); }).Number(), kErrorTypeMismatch)
            << text;
    }
    for (const char* text :
         {"32768", "-32769", "-32768.5", "1e10", "99999999999999999999", "1e400", "-1e400"}) {
        EXPECT_EQ(test::ErrorOf([&] { ParseCount(text, '.'); }).Number(), kErrorOverflow) << text;
    }
}

}  // namespace
}  // namespace vx
