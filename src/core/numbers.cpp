#include "core/numbers.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace tonfex {

std::string plainText(double value, char decimal, int digits) {
    if (!std::isfinite(value) || value == 0.0) return "0";
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

double numericPrefix(std::string_view text) {
    std::string clean;
    clean.reserve(text.size());
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') continue;
        clean += c;
    }
    size_t i = 0;
    std::string number;
    if (i < clean.size() && (clean[i] == '+' || clean[i] == '-')) number += clean[i++];
    bool anyDigit = false;
    while (i < clean.size() && std::isdigit(static_cast<unsigned char>(clean[i]))) {
        number += clean[i++];
        anyDigit = true;
    }
    if (i < clean.size() && clean[i] == '.') {
        number += clean[i++];
        while (i < clean.size() && std::isdigit(static_cast<unsigned char>(clean[i]))) {
            number += clean[i++];
            anyDigit = true;
        }
    }
    if (!anyDigit) return 0.0;
    if (i < clean.size() && (clean[i] == 'e' || clean[i] == 'E' || clean[i] == 'd' ||
                             clean[i] == 'D')) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < clean.size() && (clean[j] == '+' || clean[j] == '-')) exponent += clean[j++];
        size_t digitsStart = j;
        while (j < clean.size() && std::isdigit(static_cast<unsigned char>(clean[j])) &&
               j - digitsStart < 6)
            exponent += clean[j++];
        if (j > digitsStart) number += exponent;
    }
    double v = std::strtod(number.c_str(), nullptr);
    if (std::isinf(v)) return v > 0 ? DBL_MAX : -DBL_MAX;
    return v;
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

double runden(double factor, double value) {
    if (factor == 0.0) return value;
    return intFloor(value * factor + 0.5) / factor;
}

} // namespace tonfex
