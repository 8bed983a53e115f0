// Number conversions shared by every part of the program: texts, rounding, integer ranges.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tonfex {

// Shortest plain decimal form with at most `digits` (1 to 17) significant digits, correctly
// rounded with halves to even as printf rounds, no exponent, no leading blank,
// "-" for negatives, a "0" before the separator below 1, `decimal` as the separator.
std::string plainText(double value, char decimal, int digits = 15);
// Appends plainText(value, decimal, digits) to `out`.
void appendPlainText(std::string& out, double value, char decimal, int digits = 15);
// The same for single-precision values, which show 7 significant digits.
std::string plainTextSingle(float value, char decimal);
std::string plainText(long long value);
inline std::string plainText(int value) {
    return plainText(static_cast<long long>(value));
}
inline std::string plainText(short value) {
    return plainText(static_cast<long long>(value));
}
inline std::string plainText(long value) {
    return plainText(static_cast<long long>(value));
}

// Sign-blank form: a blank or "-" in front, "." as the point, no "0" before the point.
std::string signBlankText(double value);
// Appends signBlankText(value) to `out`.
void appendSignBlankText(std::string& out, double value);
// The file-print form: the sign-blank form followed by one blank.
std::string printText(double value);
void appendPrintText(std::string& out, double value);

// Value of the longest leading part of `text` that forms a decimal number with "." as the
// point and an optional exponent; blanks, tabs and line feeds are ignored; 0 when none.
double numericPrefix(std::string_view text);
// Converts a text with the locale's decimal separator back to a number (never fails).
double parseLocale(std::string_view text, char decimal);

// CInt and CLng: round halves to the even neighbour, clamp to the type's range.
std::int16_t toInt16(double value);
std::int32_t toInt32(double value);
// Int: rounds towards minus infinity.
double intFloor(double value);

// Int(value * factor + 0.5) / factor.
double runden(double factor, double value);

// CSng: the nearest single-precision value, clamped to the largest finite ones.
float toSingle(double value);
} // namespace tonfex
