#include "core/numbers.h"
#include "support.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tonfex;
using testkit::mapped;
using Texts = std::vector<std::string>;

TEST(NumberTexts, PlainSignBlankAndPrintForms) {
    // Shortest form with at most 15 significant digits (0.1 + 0.2 shows as 0.3).
    EXPECT_EQ(mapped({1.5, 0.1, 3.0, 4800.0, 0.0, 1e20, 1.5e-7, 0.1 + 0.2, 2.0 / 3.0},
                     [](double v) { return plainText(v, '.'); }),
              (Texts{"1.5", "0.1", "3", "4800", "0", "100000000000000000000", "0.00000015", "0.3",
                     "0.666666666666667"}));
    EXPECT_EQ(plainText(1.5, ',') + " " + plainText(-0.25, ','), "1,5 -0,25");
    EXPECT_EQ(plainTextSingle(0.1f, '.') + " " + plainText(-32768), "0.1 -32768");
    EXPECT_EQ(mapped({1.5, -1.5, 0.5, -0.5, 0.0}, signBlankText),
              (Texts{" 1.5", "-1.5", " .5", "-.5", " 0"}));
    EXPECT_EQ(printText(2), " 2 ");
}

TEST(NumericPrefix, LongestLeadingNumberAndLocaleTexts) {
    EXPECT_EQ(mapped({"1000(Anzahl),(Anz)Anzahl", "VAR1(Lva)", "-15(SAU)", "1 5", "\t 2.5x", ".5",
                      "1,5", "2e3", "2e", "-", ""},
                     [](const char* t) { return numericPrefix(t); }),
              (std::vector<double>{1000, 0, -15, 15, 2.5, 0.5, 1, 2000, 2, 0, 0}));
    // 30 digits and huge exponents stay finite.
    EXPECT_GT(numericPrefix("999999999999999999999999999999"), 1e29);
    EXPECT_TRUE(std::isfinite(numericPrefix("1e999999")));
    // A point is no decimal point where the separator is a comma.
    EXPECT_EQ((std::vector<double>{parseLocale("1,5", ','), parseLocale("1.5", '.'),
                                   parseLocale("0,1", ','), parseLocale("1.5", ',')}),
              (std::vector<double>{1.5, 1.5, 0.1, 1}));
}

TEST(IntegerConversions, HalvesToEvenClampedAndRunden) {
    EXPECT_EQ(mapped({2.5, 3.5, -2.5, 0.25, 1e10, -1e10}, toInt16),
              (std::vector<std::int16_t>{2, 4, -2, 0, 32767, -32768}));
    EXPECT_EQ(mapped({1e12, 0.5, 1.5}, toInt32), (std::vector<std::int32_t>{2147483647, 0, 2}));
    EXPECT_EQ(intFloor(-1.5), -2);
    EXPECT_EQ(intFloor(1.9), 1);
    // runden rounds halves up at the factor's precision.
    EXPECT_DOUBLE_EQ(runden(1000, 2.3456), 2.346);
    EXPECT_DOUBLE_EQ(runden(1000, -1.0005), -1);
    EXPECT_DOUBLE_EQ(runden(1, 2.5), 3);
    EXPECT_DOUBLE_EQ(runden(1, -2.5), -2);
}
