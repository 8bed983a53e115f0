#include "core/numbers.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tonfex;

TEST(PlainText, ShortestFormWithLocaleSeparator) {
    EXPECT_EQ(plainText(1.5, '.'), "1.5");
    EXPECT_EQ(plainText(1.5, ','), "1,5");
    EXPECT_EQ(plainText(0.1, '.'), "0.1");
    EXPECT_EQ(plainText(-0.25, ','), "-0,25");
    EXPECT_EQ(plainText(3.0, '.'), "3");
    EXPECT_EQ(plainText(4800.0, '.'), "4800");
    EXPECT_EQ(plainText(0.0, '.'), "0");
    EXPECT_EQ(plainText(1e20, '.'), "100000000000000000000");
    EXPECT_EQ(plainText(1.5e-7, '.'), "0.00000015");
    // At most 15 significant digits: 0.1 + 0.2 shows as 0.3.
    EXPECT_EQ(plainText(0.1 + 0.2, '.'), "0.3");
    EXPECT_EQ(plainText(2.0 / 3.0, '.'), "0.666666666666667");
    EXPECT_EQ(plainTextSingle(0.1f, '.'), "0.1");
    EXPECT_EQ(plainText(-32768), "-32768");
}

TEST(SignBlankText, BlankOrMinusAndNoLeadingZero) {
    EXPECT_EQ(signBlankText(1.5), " 1.5");
    EXPECT_EQ(signBlankText(-1.5), "-1.5");
    EXPECT_EQ(signBlankText(0.5), " .5");
    EXPECT_EQ(signBlankText(-0.5), "-.5");
    EXPECT_EQ(signBlankText(0), " 0");
    EXPECT_EQ(printText(2), " 2 ");
}

TEST(NumericPrefix, LongestLeadingNumber) {
    EXPECT_EQ(numericPrefix("1000(Anzahl),(Anz)Anzahl"), 1000);
    EXPECT_EQ(numericPrefix("VAR1(Lva)"), 0);
    EXPECT_EQ(numericPrefix("-15(SAU)"), -15);
    EXPECT_EQ(numericPrefix("1 5"), 15);
    EXPECT_EQ(numericPrefix("\t 2.5x"), 2.5);
    EXPECT_EQ(numericPrefix(".5"), 0.5);
    EXPECT_EQ(numericPrefix("1,5"), 1);
    EXPECT_EQ(numericPrefix("2e3"), 2000);
    EXPECT_EQ(numericPrefix("2e"), 2);
    EXPECT_EQ(numericPrefix("-"), 0);
    EXPECT_EQ(numericPrefix(""), 0);
    // 30 digits and huge exponents stay finite.
    EXPECT_GT(numericPrefix("999999999999999999999999999999"), 1e29);
    EXPECT_TRUE(std::isfinite(numericPrefix("1e999999")));
}

TEST(ParseLocale, HonoursTheSeparator) {
    EXPECT_EQ(parseLocale("1,5", ','), 1.5);
    EXPECT_EQ(parseLocale("1.5", '.'), 1.5);
    EXPECT_EQ(parseLocale("0,1", ','), 0.1);
    EXPECT_EQ(parseLocale("1.5", ','), 1); // a point is no decimal point there
}

TEST(IntegerConversions, HalvesToEvenAndClamped) {
    EXPECT_EQ(toInt16(2.5), 2);
    EXPECT_EQ(toInt16(3.5), 4);
    EXPECT_EQ(toInt16(-2.5), -2);
    EXPECT_EQ(toInt16(0.25), 0);
    EXPECT_EQ(toInt16(1e10), 32767);
    EXPECT_EQ(toInt16(-1e10), -32768);
    EXPECT_EQ(toInt32(1e12), 2147483647);
    EXPECT_EQ(toInt32(0.5), 0);
    EXPECT_EQ(toInt32(1.5), 2);
    EXPECT_EQ(intFloor(-1.5), -2);
    EXPECT_EQ(intFloor(1.9), 1);
}

TEST(Runden, RoundsHalvesUpToTheFactor) {
    EXPECT_DOUBLE_EQ(runden(1000, 2.3456), 2.346);
    EXPECT_DOUBLE_EQ(runden(1000, -1.0005), -1);
    EXPECT_DOUBLE_EQ(runden(1, 2.5), 3);
    EXPECT_DOUBLE_EQ(runden(1, -2.5), -2);
}
