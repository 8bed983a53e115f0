#include "core/numbers.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace tonfex {

std::string plainText(double value, char decimal, int digits) {
    if (!std::isfinite(value) || value == 0.0) return "0";
    if (digits >= 15 && value == std::trunc(value) && std::fabs(value) < 1e15)
        return std::to_string(static_cast<long long>(value));
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", digits - 1, value);
    // buf: [-]d.ddddde[+-]xx
    std::string s(buf);
    bool negative = s[0] == '-';
    if (negative) s.erase(0, 1);
    auto ePos = s.find('e');
    int exponent = std::atoi(s.c_str() + ePos + 1);
    std::string mantissa;
    for (char c : s.substr(0, ePos))
        if (c != '.') mantissa += c;
    while (mantissa.size() > 1 && mantissa.back() == '0') mantissa.pop_back();

    std::string out;
    int pointAfter = exponent + 1; // number of mantissa digits before the point
    if (pointAfter <= 0) {
        out = "0";
        out += decimal;
        out.append(static_cast<size_t>(-pointAfter), '0');
        out += mantissa;
    } else if (static_cast<size_t>(pointAfter) >= mantissa.size()) {
        out = mantissa;
        out.append(static_cast<size_t>(pointAfter) - mantissa.size(), '0');
    } else {
        out = mantissa.substr(0, static_cast<size_t>(pointAfter));
        out += decimal;
        out += mantissa.substr(static_cast<size_t>(pointAfter));
    }
    return negative ? "-" + out : out;
}

std::string plainTextSingle(float value, char decimal) {
    return plainText(static_cast<double>(value), decimal, 7);
}

std::string plainText(long long value) { return std::to_string(value); }

std::string signBlankText(double value) {
    std::string s = plainText(value, '.');
    if (s[0] == '-') {
        if (s.size() > 2 && s[1] == '0' && s[2] == '.') s.erase(1, 1);
        return s;
    }
    if (s.size() > 1 && s[0] == '0' && s[1] == '.') s.erase(0, 1);
    return " " + s;
}

std::string printText(double value) { return signBlankText(value) + " "; }

namespace {
bool isIgnored(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool isDigitChar(char c) { return c >= '0' && c <= '9'; }
} // namespace

// The general case: decimals, exponents and very long digit runs.
double numericPrefixSlow(std::string_view text) {
    // Collect the number's characters without the ignored blanks; long inputs use a string.
    char small[64];
    std::string large;
    size_t n = 0;
    auto put = [&](char c) {
        if (n < sizeof small - 1) {
            small[n++] = c;
        } else {
            if (large.empty()) large.assign(small, n);
            large += c;
            ++n;
        }
    };
    size_t i = 0;
    auto peek = [&]() -> char {
        while (i < text.size() && isIgnored(text[i])) ++i;
        return i < text.size() ? text[i] : '\0';
    };
    bool negative = false;
    if (char c = peek(); c == '+' || c == '-') {
        negative = c == '-';
        put(c);
        ++i;
    }
    bool anyDigit = false, integral = true;
    std::uint64_t whole = 0;
    int wholeDigits = 0;
    while (isDigitChar(peek())) {
        char c = text[i++];
        put(c);
        anyDigit = true;
        if (wholeDigits < 18) whole = whole * 10 + static_cast<unsigned>(c - '0');
        if (whole > 0 || c != '0') ++wholeDigits;
    }
    if (peek() == '.') {
        put('.');
        ++i;
        while (isDigitChar(peek())) {
            put(text[i++]);
            anyDigit = true;
            integral = false;
        }
    }
    if (!anyDigit) return 0.0;
    if (char e = peek(); e == 'e' || e == 'E' || e == 'd' || e == 'D') {
        size_t save = i, saveN = n;
        ++i;
        char exponent[12];
        size_t en = 0;
        exponent[en++] = 'e';
        if (char sign = peek(); sign == '+' || sign == '-') {
            exponent[en++] = sign;
            ++i;
        }
        size_t digits = 0;
        while (isDigitChar(peek()) && digits < 6) {
            exponent[en++] = text[i++];
            ++digits;
        }
        if (digits > 0) {
            for (size_t k = 0; k < en; ++k) put(exponent[k]);
            integral = false;
        } else {
            i = save;
            n = saveN;
        }
    }
    if (integral && wholeDigits <= 15) {
        double v = static_cast<double>(whole);
        return negative ? -v : v;
    }
    double v;
    if (large.empty()) {
        small[n] = '\0';
        v = std::strtod(small, nullptr);
    } else {
        v = std::strtod(large.c_str(), nullptr);
    }
    if (std::isinf(v)) return v > 0 ? DBL_MAX : -DBL_MAX;
    return v;
}

double numericPrefix(std::string_view text) {
    // Fast path for plain integers, by far the most common value in the program's files.
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && isIgnored(text[i])) ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::uint64_t whole = 0;
    int significant = 0;
    bool anyDigit = false;
    for (; i < n; ++i) {
        char c = text[i];
        if (isDigitChar(c)) {
            anyDigit = true;
            if (whole > 0 || c != '0') {
                if (++significant > 15) return numericPrefixSlow(text);
                whole = whole * 10 + static_cast<unsigned>(c - '0');
            }
        } else if (!isIgnored(c)) {
            if (c == '.' || c == 'e' || c == 'E' || c == 'd' || c == 'D')
                return numericPrefixSlow(text);
            break;
        }
    }
    if (!anyDigit) return 0.0;
    double v = static_cast<double>(whole);
    return negative ? -v : v;
}

double parseLocale(std::string_view text, char decimal) {
    if (decimal == '.') return numericPrefix(text);
    std::string swapped(text);
    for (char& c : swapped) {
        if (c == decimal)
            c = '.';
        else if (c == '.')
            c = '#'; // a point is no decimal point under this locale: the number ends there
    }
    return numericPrefix(swapped);
}

namespace {
template <typename T> T roundClamped(double value) {
    if (std::isnan(value)) return 0;
    double r = std::nearbyint(value); // default rounding mode: halves to even
    if (r <= static_cast<double>(std::numeric_limits<T>::min())) return std::numeric_limits<T>::min();
    if (r >= static_cast<double>(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
    return static_cast<T>(r);
}
} // namespace

std::int16_t toInt16(double value) { return roundClamped<std::int16_t>(value); }
std::int32_t toInt32(double value) { return roundClamped<std::int32_t>(value); }
double intFloor(double value) { return std::floor(value); }

float toSingle(double value) {
    if (std::isnan(value)) return 0;
    return static_cast<float>(
        std::clamp(value, -static_cast<double>(FLT_MAX), static_cast<double>(FLT_MAX)));
}

double runden(double factor, double value) {
    if (factor == 0.0) return value;
    return intFloor(value * factor + 0.5) / factor;
}

} // namespace tonfex
