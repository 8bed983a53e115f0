#include "core/numbers.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace tonfex {

namespace {

// 64 x 64 bits to the full 128-bit product.
struct Wide {
    std::uint64_t hi, lo;
};
Wide multiply(std::uint64_t a, std::uint64_t b) {
    const std::uint64_t aLo = a & 0xFFFFFFFFu, aHi = a >> 32, bLo = b & 0xFFFFFFFFu, bHi = b >> 32;
    const std::uint64_t ll = aLo * bLo, lh = aLo * bHi, hl = aHi * bLo;
    const std::uint64_t mid = (ll >> 32) + (lh & 0xFFFFFFFFu) + (hl & 0xFFFFFFFFu);
    return {aHi * bHi + (lh >> 32) + (hl >> 32) + (mid >> 32), (mid << 32) | (ll & 0xFFFFFFFFu)};
}

// p / 2^n (1 <= n <= 127) cut towards 0, and whether rounding to the nearest integer goes up,
// halves to the even one, as printf rounds the exact binary value.
struct Quotient {
    std::uint64_t q;
    bool up;
};
Quotient quotient(Wide p, int n) {
    auto low = [](std::uint64_t word, int bits) { return bits <= 0 ? 0 : word << (64 - bits); };
    std::uint64_t q, half, below; // the quotient, the first bit cut off, any bit under it
    if (n < 64) {
        q = (p.hi << (64 - n)) | (p.lo >> n);
        half = (p.lo >> (n - 1)) & 1;
        below = low(p.lo, n - 1);
    } else if (n == 64) {
        q = p.hi;
        half = p.lo >> 63;
        below = p.lo << 1;
    } else {
        q = p.hi >> (n - 64);
        half = (p.hi >> (n - 65)) & 1;
        below = low(p.hi, n - 65) | p.lo;
    }
    return {q, half && (below != 0 || (q & 1))};
}

// 10^0 to 10^19, the powers of ten that fit 64 bits.
constexpr auto kPowers = [] {
    std::array<std::uint64_t, 20> powers{1};
    for (size_t k = 1; k < powers.size(); ++k)
        powers[k] = powers[k - 1] * 10;
    return powers;
}();

// "00" to "99".
constexpr auto kPairs = [] {
    std::array<char, 200> pairs{};
    for (size_t k = 0; k < 100; ++k) {
        pairs[2 * k] = static_cast<char>('0' + k / 10);
        pairs[2 * k + 1] = static_cast<char>('0' + k % 10);
    }
    return pairs;
}();

// The significant digits of |value| rounded to `digits` of them, trailing zeros dropped, and
// the decimal exponent of the first one.
struct Digits {
    char text[24] = {};
    int count = 0;
    int exponent = 0;
};

// Exact integer arithmetic for normal values whose scaled digits fit 64 bits (about 1e-5 to
// 1e15 at 15 digits); false for the rest.
bool quickDigits(double value, int digits, Digits& d) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const int biased = static_cast<int>((bits >> 52) & 0x7FF);
    if (biased == 0 || biased == 0x7FF) return false;
    const std::uint64_t m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    const int e = biased - 1075; // |value| = m * 2^e
    if (e >= 0) return false;
    // The first digit's exponent is floor((e + 52) log10 2) or one more.
    int k = ((e + 52) * 78913) >> 18;
    int s = digits - 1 - k; // |value| * 10^s has `digits` digits before the point
    if (s < 0 || s > 19) return false;
    Quotient scaled = quotient(multiply(m, kPowers[s]), -e);
    if (scaled.q >= kPowers[digits]) { // an estimate one too low leaves one digit too many
        if (s == 0) return false;
        ++k;
        --s;
        scaled = quotient(multiply(m, kPowers[s]), -e);
    }
    std::uint64_t q = scaled.q + scaled.up;
    if (q == kPowers[digits]) { // 9.99..95 rounds up to the next power of ten
        q = kPowers[digits - 1];
        ++k;
    }
    // q has `digits` digits; two at a time from the back, then the trailing zeros go.
    int at = digits;
    for (; at >= 2; at -= 2, q /= 100)
        std::memcpy(d.text + at - 2, kPairs.data() + 2 * (q % 100), 2);
    if (at == 1) d.text[0] = static_cast<char>('0' + q);
    d.count = digits;
    while (d.count > 1 && d.text[d.count - 1] == '0')
        --d.count;
    d.exponent = k;
    return true;
}

Digits significantDigits(double value, int digits) {
    Digits d;
    if (quickDigits(value, digits, d)) return d;
    // to_chars, unlike printf, never takes the process locale's decimal separator.
    char buf[64];
    const auto end = std::to_chars(buf, buf + sizeof buf, std::fabs(value),
                                   std::chars_format::scientific, digits - 1)
                         .ptr;
    const char* ePos = std::find(buf, end, 'e');
    for (const char* c = buf; c < ePos; ++c)
        if (*c != '.') d.text[d.count++] = *c;
    while (d.count > 1 && d.text[d.count - 1] == '0')
        --d.count;
    if (ePos < end) {
        const char* e = ePos + 1;
        if (*e == '+') ++e;
        std::from_chars(e, end, d.exponent);
    }
    return d;
}

// The plain form of `value` with "-" for negatives; the sign-blank form puts a blank before
// positives and no "0" before a point at the front.
void appendNumber(std::string& out, double value, char decimal, int digits, bool signBlank) {
    if (!std::isfinite(value) || value == 0.0) {
        out += signBlank ? " 0" : "0";
        return;
    }
    digits = std::clamp(digits, 1, 17); // a double holds no more
    // Room for the longest form: "-0." and 323 zeros before 17 digits.
    char buf[352];
    char* p = buf;
    if (value < 0)
        *p++ = '-';
    else if (signBlank)
        *p++ = ' ';
    const double magnitude = std::fabs(value);
    const auto whole = static_cast<std::uint64_t>(std::min(magnitude, 1e15));
    if (digits >= 15 && magnitude < 1e15 && static_cast<double>(whole) == magnitude) {
        p = std::to_chars(p, buf + sizeof buf, whole).ptr;
        out.append(buf, static_cast<size_t>(p - buf));
        return;
    }
    const Digits d = significantDigits(magnitude, digits);
    auto copy = [&p](const char* from, int count) {
        std::memcpy(p, from, static_cast<size_t>(count));
        p += count;
    };
    auto zeros = [&p](int count) {
        std::memset(p, '0', static_cast<size_t>(count));
        p += count;
    };
    const int before = d.exponent + 1; // digits before the point
    if (before <= 0) {
        if (!signBlank) *p++ = '0';
        *p++ = decimal;
        zeros(-before);
        copy(d.text, d.count);
    } else if (before >= d.count) {
        copy(d.text, d.count);
        zeros(before - d.count);
    } else {
        copy(d.text, before);
        *p++ = decimal;
        copy(d.text + before, d.count - before);
    }
    out.append(buf, static_cast<size_t>(p - buf));
}

} // namespace

void appendPlainText(std::string& out, double value, char decimal, int digits) {
    appendNumber(out, value, decimal, digits, false);
}

void appendSignBlankText(std::string& out, double value) {
    appendNumber(out, value, '.', 15, true);
}

std::string plainText(double value, char decimal, int digits) {
    std::string out;
    appendPlainText(out, value, decimal, digits);
    return out;
}

std::string plainTextSingle(float value, char decimal) {
    return plainText(static_cast<double>(value), decimal, 7);
}

std::string plainText(long long value) {
    return std::to_string(value);
}

std::string signBlankText(double value) {
    std::string out;
    appendSignBlankText(out, value);
    return out;
}

void appendPrintText(std::string& out, double value) {
    appendSignBlankText(out, value);
    out += ' ';
}

std::string printText(double value) {
    std::string out;
    appendPrintText(out, value);
    return out;
}

namespace {
bool isIgnored(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
bool isDigitChar(char c) {
    return c >= '0' && c <= '9';
}
} // namespace

// The collected characters (sign, digits, point, exponent) as a double; from_chars never takes
// the process locale's decimal separator, as strtod does. Out of range: the largest double of
// that sign when the value is too large, 0 when it is too small.
double parseCollected(std::string_view text) {
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) text.remove_prefix(1);
    double v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec == std::errc::result_out_of_range) {
        // Decimal magnitude of the first significant digit decides between overflow and underflow.
        long long magnitude = 0;
        bool seenDigit = false, afterPoint = false;
        size_t i = 0;
        for (; i < text.size() && text[i] != 'e'; ++i) {
            const char c = text[i];
            if (c == '.') {
                afterPoint = true;
            } else if (!seenDigit && c == '0') {
                if (afterPoint) --magnitude;
            } else if (!seenDigit) {
                seenDigit = true;
                if (afterPoint) --magnitude;
            } else if (!afterPoint) {
                ++magnitude;
            }
        }
        long long exponent = 0;
        if (i < text.size()) {
            const char* e = text.data() + i + 1;
            const char* last = text.data() + text.size();
            if (e < last && *e == '+') ++e;
            std::from_chars(e, last, exponent);
        }
        v = seenDigit && magnitude + exponent > 0 ? DBL_MAX : 0.0;
    } else if (ec != std::errc()) {
        v = 0;
    }
    return negative ? -v : v;
}

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
        while (i < text.size() && isIgnored(text[i]))
            ++i;
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
            for (size_t k = 0; k < en; ++k)
                put(exponent[k]);
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
    std::string_view collected = large.empty() ? std::string_view(small, n) : large;
    return parseCollected(collected);
}

double numericPrefix(std::string_view text) {
    // Fast path for plain integers and short decimals, by far the most common values in the
    // program's files. Up to 15 significant digits and 22 decimals, the digits as an integer
    // and the power of ten are both exact doubles, so their quotient is the correctly rounded
    // value, the same that from_chars gives.
    static constexpr double kTens[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                       1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    size_t i = 0;
    const size_t n = text.size();
    while (i < n && isIgnored(text[i]))
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::uint64_t whole = 0;
    int significant = 0;
    bool anyDigit = false, point = false;
    size_t decimals = 0;
    for (; i < n; ++i) {
        char c = text[i];
        if (isDigitChar(c)) {
            anyDigit = true;
            if (point && ++decimals >= std::size(kTens)) return numericPrefixSlow(text);
            if (whole > 0 || c != '0') {
                if (++significant > 15) return numericPrefixSlow(text);
                whole = whole * 10 + static_cast<unsigned>(c - '0');
            }
        } else if (!isIgnored(c)) {
            if (c == '.' && !point) {
                point = true;
                continue;
            }
            if (c == 'e' || c == 'E' || c == 'd' || c == 'D') return numericPrefixSlow(text);
            break;
        }
    }
    if (!anyDigit) return 0.0;
    double v = static_cast<double>(whole) / kTens[decimals];
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
    if (r <= static_cast<double>(std::numeric_limits<T>::min()))
        return std::numeric_limits<T>::min();
    if (r >= static_cast<double>(std::numeric_limits<T>::max()))
        return std::numeric_limits<T>::max();
    return static_cast<T>(r);
}
} // namespace

std::int16_t toInt16(double value) {
    return roundClamped<std::int16_t>(value);
}
std::int32_t toInt32(double value) {
    return roundClamped<std::int32_t>(value);
}
double intFloor(double value) {
    return std::floor(value);
}

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
