#include "core/numbers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

using namespace tonfex;

TEST(NumberTexts, PlainSignBlankAndPrintForms) {
    // Shortest form, at most 15 significant digits (0.1 + 0.2 shows as 0.3), locale separator.
    const std::tuple<double, char, const char*> plain[] = {{1.5, '.', "1.5"},
                                                           {1.5, ',', "1,5"},
                                                           {0.1, '.', "0.1"},
                                                           {-0.25, ',', "-0,25"},
                                                           {3.0, '.', "3"},
                                                           {4800.0, '.', "4800"},
                                                           {0.0, '.', "0"},
                                                           {1e20, '.', "100000000000000000000"},
                                                           {1.5e-7, '.', "0.00000015"},
                                                           {0.1 + 0.2, '.', "0.3"},
                                                           {2.0 / 3.0, '.', "0.666666666666667"}};
    for (auto [value, sep, text] : plain)
        EXPECT_EQ(plainText(value, sep), text) << value;
    EXPECT_EQ(plainTextSingle(0.1f, '.') + plainText(-32768), "0.1-32768");
    const std::pair<double, const char*> signBlank[] = {
        {1.5, " 1.5"}, {-1.5, "-1.5"}, {0.5, " .5"}, {-0.5, "-.5"}, {0, " 0"}};
    for (auto [value, text] : signBlank)
        EXPECT_EQ(signBlankText(value), text) << value;
    EXPECT_EQ(printText(2), " 2 ");
}

TEST(NumericPrefix, LongestLeadingNumber) {
    const std::pair<const char*, double> cases[] = {{"1000(Anzahl),(Anz)Anzahl", 1000},
                                                    {"VAR1(Lva)", 0},
                                                    {"-15(SAU)", -15},
                                                    {"1 5", 15},
                                                    {"\t 2.5x", 2.5},
                                                    {".5", 0.5},
                                                    {"1,5", 1},
                                                    {"2e3", 2000},
                                                    {"2e", 2},
                                                    {"-", 0},
                                                    {"", 0}};
    for (auto [text, value] : cases)
        EXPECT_EQ(numericPrefix(text), value) << text;
    // 30 digits and huge exponents stay finite.
    EXPECT_GT(numericPrefix("999999999999999999999999999999"), 1e29);
    EXPECT_TRUE(std::isfinite(numericPrefix("1e999999")));
    // Locale texts: a point is no decimal point where the separator is a comma.
    EXPECT_EQ(parseLocale("1,5", ','), 1.5);
    EXPECT_EQ(parseLocale("1.5", '.'), 1.5);
    EXPECT_EQ(parseLocale("0,1", ','), 0.1);
    EXPECT_EQ(parseLocale("1.5", ','), 1);
}

TEST(IntegerConversions, HalvesToEvenClampedAndRunden) {
    const std::pair<double, int> int16[] = {{2.5, 2},  {3.5, 4},      {-2.5, -2},
                                            {0.25, 0}, {1e10, 32767}, {-1e10, -32768}};
    for (auto [value, result] : int16)
        EXPECT_EQ(toInt16(value), result) << value;
    EXPECT_EQ(toInt32(1e12), 2147483647);
    EXPECT_EQ(toInt32(0.5), 0);
    EXPECT_EQ(toInt32(1.5), 2);
    EXPECT_EQ(intFloor(-1.5), -2);
    EXPECT_EQ(intFloor(1.9), 1);
    // runden rounds halves up at the factor's precision.
    EXPECT_DOUBLE_EQ(runden(1000, 2.3456), 2.346);
    EXPECT_DOUBLE_EQ(runden(1000, -1.0005), -1);
    EXPECT_DOUBLE_EQ(runden(1, 2.5), 3);
    EXPECT_DOUBLE_EQ(runden(1, -2.5), -2);
}
