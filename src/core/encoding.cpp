#include "core/encoding.h"

#include <algorithm>
#include <cstdint>

namespace tonfex {

namespace {
// Code points of bytes 0x80..0x9F in Windows-1252 (0 where undefined).
constexpr char32_t kHigh[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one UTF-8 sequence at `i`; returns its length, 0 when invalid.
size_t decodeOne(std::string_view s, size_t i, char32_t& cp) {
    auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char c = b(i);
    size_t len;
    if (c < 0x80) {
        cp = c;
        return 1;
    } else if ((c & 0xE0) == 0xC0) {
        len = 2;
        cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        len = 3;
        cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        len = 4;
        cp = c & 0x07;
    } else {
        return 0;
    }
    if (i + len > s.size()) return 0;
    for (size_t k = 1; k < len; ++k) {
        if ((b(i + k) & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b(i + k) & 0x3F);
    }
    static constexpr char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

// The index of the first byte at or after from that is not ASCII, or the size.
size_t asciiRunEnd(std::string_view bytes, size_t from) {
    const auto high = [](char ch) { return static_cast<unsigned char>(ch) >= 0x80; };
    return static_cast<size_t>(
        std::find_if(bytes.begin() + static_cast<std::ptrdiff_t>(from), bytes.end(), high) -
        bytes.begin());
}
} // namespace

bool isAscii(std::string_view bytes) {
    // No early exit: the loop then runs on whole vector registers.
    unsigned char any = 0;
    for (char c : bytes)
        any |= static_cast<unsigned char>(c);
    return any < 0x80;
}

std::string utf8FromCp1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (size_t i = 0; i < bytes.size(); ++i) {
        // A run of ASCII bytes is taken as it stands, in one piece.
        const size_t run = asciiRunEnd(bytes, i);
        out.append(bytes.substr(i, run - i));
        if ((i = run) == bytes.size()) break;
        auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0xA0) {
            char32_t cp = kHigh[c - 0x80];
            appendUtf8(out, cp ? cp : 0xFFFD);
        } else {
            appendUtf8(out, c);
        }
    }
    return out;
}

std::string cp1252FromUtf8(std::string_view text) {
    if (isAscii(text)) return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        size_t len = decodeOne(text, i, cp);
        if (len == 0) {
            out += '?';
            ++i;
            continue;
        }
        i += len;
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out += static_cast<char>(cp);
            continue;
        }
        char mapped = '?';
        for (int k = 0; k < 32; ++k)
            if (kHigh[k] == cp && cp != 0) mapped = static_cast<char>(0x80 + k);
        out += mapped;
    }
    return out;
}

bool fitsCp1252(std::string_view text) {
    if (isAscii(text)) return true;
    for (size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        size_t len = decodeOne(text, i, cp);
        if (len == 0) return false;
        i += len;
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) continue;
        bool found = false;
        for (int k = 0; k < 32 && !found; ++k)
            found = kHigh[k] == cp && cp != 0;
        if (!found) return false;
    }
    return true;
}

bool looksLikeUtf8(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return true;
    bool multi = false;
    for (size_t i = 0; i < bytes.size();) {
        char32_t cp = 0;
        size_t len = decodeOne(bytes, i, cp);
        if (len == 0) return false;
        multi = multi || len > 1;
        i += len;
    }
    return multi;
}

std::string_view withoutByteOrderMarks(std::string_view bytes) {
    while (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    return bytes;
}

std::string decodeFileText(std::string text) {
    if (isAscii(text)) return text;
    std::string_view bytes = text;
    if (!looksLikeUtf8(bytes)) return utf8FromCp1252(bytes);
    bytes = withoutByteOrderMarks(bytes);
    // A file with a byte order mark is UTF-8 even where it is damaged: a byte that forms no
    // character becomes U+FFFD, so that no broken text reaches a list or a message.
    std::string out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        // A run of ASCII bytes is taken as it stands, in one piece.
        const size_t run = asciiRunEnd(bytes, i);
        out.append(bytes.substr(i, run - i));
        if ((i = run) == bytes.size()) break;
        char32_t cp = 0;
        size_t len = decodeOne(bytes, i, cp);
        if (len == 0) {
            appendUtf8(out, 0xFFFD);
            ++i;
        } else {
            out.append(bytes.substr(i, len));
            i += len;
        }
    }
    return out;
}

} // namespace tonfex
