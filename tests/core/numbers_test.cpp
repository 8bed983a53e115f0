#include "core/numbers.h"
#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <sstream>

using namespace tonfex;
using testkit::mapped;
using Texts = std::vector<std::string>;

namespace {
// printf's correctly rounded digits laid out as the plain form.
std::string printfPlain(double v, int digits, char decimal) {
    if (!std::isfinite(v) || v == 0) return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", digits - 1, std::fabs(v));
    const char* e = std::strchr(buf, 'e');
    std::string m; // the digits without the point and trailing zeros
    for (const char* c = buf; c < e; ++c)
        if (*c != '.') m += *c;
    m.erase(m.find_last_not_of('0') + 1);
    const int point = std::atoi(e + 1) + 1; // digits before the point
    const auto at = static_cast<size_t>(std::max(point, 0));
    std::string text;
    if (point <= 0)
        text = "0" + std::string(1, decimal) + std::string(static_cast<size_t>(-point), '0') + m;
    else if (at >= m.size())
        text = m + std::string(at - m.size(), '0');
    else
        text = m.substr(0, at) + decimal + m.substr(at);
    return (v < 0 ? "-" : "") + text;
}
} // namespace

TEST(NumberTexts, PlainSignBlankAndPrintFormsRoundLikePrintfEverywhere) {
    EXPECT_EQ(plainTextSingle(0.1f, '.') + " " + plainText(-32768), "0.1 -32768");
    EXPECT_EQ(mapped({1.5, -1.5, 0.5, -0.5, 0.0}, signBlankText),
              (Texts{" 1.5", "-1.5", " .5", "-.5", " 0"}));
    EXPECT_EQ(printText(2), " 2 ");
    // The plain double form (at most 15 significant digits) against printf's digits.
    std::mt19937_64 gen(11);
    // Negative zero, subnormals, carries into the next power of ten.
    std::vector<double> values{-0.0, 5e-324, 2.2250738585072009e-308, 0.30000000000000004};
    values.insert(values.end(), {9.999999999999995, 0.99999999999999995, 999999999999999.9});
    for (int k = 0; k < 20000; ++k) {
        std::uint64_t bits = gen();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        values.push_back(v); // any bit pattern: huge, tiny, subnormal, not finite
        values.push_back(std::ldexp(static_cast<double>(bits >> 11), -static_cast<int>(bits % 90)));
        // Exact halves of the 15th digit: 16 digits ending in 5 (t / 2^j, t odd).
        const int j = 1 + static_cast<int>(bits % 4);
        const double low = std::pow(10.0, 15 - j) * std::ldexp(1.0, j);
        const auto t =
            static_cast<std::uint64_t>(low) + (bits >> 20) % static_cast<std::uint64_t>(low * 9);
        values.push_back(std::ldexp(static_cast<double>(t | 1), -j));
    }
    for (int p = -12; p <= 17; ++p) { // around each power of ten: carries, exponent borders
        double below = std::pow(10.0, p), above = below;
        for (int k = 0; k < 30; ++k) {
            values.insert(values.end(), {below, above, below * 9.999999999999995, -above / 3});
            below = std::nextafter(below, 0.0);
            above = std::nextafter(above, 1e300);
        }
    }
    for (double v : values) {
        const std::string plain = printfPlain(v, 15, ',');
        ASSERT_EQ(plainText(v, ',') + plainText(v, '.', 7), plain + printfPlain(v, 7, '.')) << v;
        std::string sign = plain.substr(0, 2) == "0,"    ? " " + plain.substr(1)
                           : plain.substr(0, 3) == "-0," ? "-" + plain.substr(2)
                           : plain[0] == '-'             ? plain
                                                         : " " + plain;
        std::replace(sign.begin(), sign.end(), ',', '.');
        ASSERT_EQ(printText(v), sign + " ") << v;
    }
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

// Qt sets the process locale from the environment; a German one must change no conversion.
TEST(NumberConversions, SameUnderAGermanProcessLocale) {
    std::vector<std::string> texts;
    std::istringstream words("0.1 0.5 2.5 0.25 1.5e3 -7.125 1e999999 1e-999999 12345678901234567 "
                             "0.000000000000000000000000000001");
    for (std::string word; words >> word;)
        texts.push_back(word);
    const std::vector<double> values{
        0.1, 0.5, 2.5, 0.25, 12345678901234567.0, 1e21, -2.5e-10, 123456.78901234567};
    auto convert = [&] {
        std::vector<std::string> out;
        for (const auto& t : texts)
            out.push_back(plainText(numericPrefix(t), '.') + "|" +
                          plainText(parseLocale(t, ','), ','));
        for (double v : values)
            out.push_back(plainText(v, ',') + "|" + signBlankText(v) + "|" + plainText(v, '.', 7));
        return out;
    };
    const std::vector<std::string> inC = convert();
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "no de_DE.UTF-8 locale (localedef -i de_DE -f UTF-8 de_DE.UTF-8)";
    const std::vector<std::string> inGerman = convert();
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(inGerman, inC);
    EXPECT_EQ(inC[0] + " " + inC[8], "0.1|0 12345678901234600|12345678901234600");
}
