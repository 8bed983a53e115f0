#include "help/jpeg.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tonfex::help {

namespace {

// Natural index of each coefficient in zigzag order.
constexpr std::array<int, 64> kZigzag = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

// One quantiser for every coefficient: line drawings keep their sharp edges.
constexpr int kQuant = 2;

class BitWriter {
public:
    explicit BitWriter(std::string& out) : out_(out) {}
    void put(unsigned bits, int count) {
        for (int i = count - 1; i >= 0; --i) {
            byte_ = static_cast<unsigned>((byte_ << 1) | ((bits >> i) & 1u));
            if (++filled_ == 8) flushByte();
        }
    }
    void finish() {
        while (filled_ != 0)
            put(1, 1); // pad the last byte with one-bits
    }

private:
    void flushByte() {
        out_ += static_cast<char>(byte_);
        if (byte_ == 0xFF) out_ += '\0'; // a data 0xFF is followed by a stuffed zero
        byte_ = 0;
        filled_ = 0;
    }
    std::string& out_;
    unsigned byte_ = 0;
    int filled_ = 0;
};

int category(int v) {
    int a = std::abs(v), n = 0;
    while (a) {
        a >>= 1;
        ++n;
    }
    return n;
}

unsigned magnitudeBits(int v, int size) {
    return static_cast<unsigned>(v >= 0 ? v : v + (1 << size) - 1);
}

void word(std::string& out, int v) {
    out += static_cast<char>((v >> 8) & 0xFF);
    out += static_cast<char>(v & 0xFF);
}

// The AC symbols in table order; every code has 8 bits and a symbol's code is its position.
const std::vector<int>& acSymbols() {
    static const std::vector<int> symbols = [] {
        std::vector<int> s = {0x00, 0xF0};
        for (int run = 0; run < 16; ++run)
            for (int size = 1; size <= 10; ++size)
                s.push_back(run << 4 | size);
        return s;
    }();
    return symbols;
}

void headers(std::string& out, int width, int height) {
    out += "\xFF\xD8"; // SOI
    out += std::string("\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00", 18);
    out += "\xFF\xDB"; // DQT
    word(out, 67);
    out += '\0';
    out.append(64, static_cast<char>(kQuant));
    out += "\xFF\xC0"; // SOF0
    word(out, 11);
    out += '\x08';
    word(out, height);
    word(out, width);
    out += std::string("\x01\x01\x11\x00", 4);
    // DC: the 12 categories, all with 4-bit codes. AC: 162 symbols with 8-bit codes.
    out += "\xFF\xC4";
    word(out, 2 + 17 + 12);
    out += '\0';
    for (int len = 1; len <= 16; ++len)
        out += static_cast<char>(len == 4 ? 12 : 0);
    for (int c = 0; c < 12; ++c)
        out += static_cast<char>(c);
    const auto& ac = acSymbols();
    out += "\xFF\xC4";
    word(out, 2 + 17 + static_cast<int>(ac.size()));
    out += '\x10';
    for (int len = 1; len <= 16; ++len)
        out += static_cast<char>(len == 8 ? ac.size() : 0);
    for (int s : ac)
        out += static_cast<char>(s);
    out += "\xFF\xDA"; // SOS
    word(out, 8);
    out += std::string("\x01\x01\x00\x00\x3F\x00", 6);
}

} // namespace

std::string encodeJpeg(const GreyImage& image) {
    std::string out;
    headers(out, image.width, image.height);

    std::array<int, 256> acCode{};
    const auto& ac = acSymbols();
    for (size_t i = 0; i < ac.size(); ++i)
        acCode[static_cast<size_t>(ac[i])] = static_cast<int>(i);
    std::array<std::array<double, 8>, 8> cosines{};
    for (int x = 0; x < 8; ++x)
        for (int u = 0; u < 8; ++u)
            cosines[static_cast<size_t>(x)][static_cast<size_t>(u)] =
                std::cos((2 * x + 1) * u * 3.14159265358979323846 / 16) *
                (u == 0 ? std::sqrt(0.5) : 1.0) * 0.5;

    BitWriter bits(out);
    int previousDc = 0;
    auto pixel = [&](int x, int y) {
        x = std::min(x, image.width - 1);
        y = std::min(y, image.height - 1);
        return static_cast<double>(
                   image.pixels[static_cast<size_t>(y) * static_cast<size_t>(image.width) +
                                static_cast<size_t>(x)]) -
               128.0;
    };
    for (int by = 0; by < image.height; by += 8)
        for (int bx = 0; bx < image.width; bx += 8) {
            // Separable DCT: rows first, then columns.
            double rows[8][8], coef[64];
            for (int y = 0; y < 8; ++y)
                for (int u = 0; u < 8; ++u) {
                    double sum = 0;
                    for (int x = 0; x < 8; ++x)
                        sum += pixel(bx + x, by + y) *
                               cosines[static_cast<size_t>(x)][static_cast<size_t>(u)];
                    rows[y][u] = sum;
                }
            for (int v = 0; v < 8; ++v)
                for (int u = 0; u < 8; ++u) {
                    double sum = 0;
                    for (int y = 0; y < 8; ++y)
                        sum += rows[y][u] * cosines[static_cast<size_t>(y)][static_cast<size_t>(v)];
                    coef[v * 8 + u] = sum;
                }
            int q[64];
            for (int k = 0; k < 64; ++k)
                q[k] = std::clamp(
                    static_cast<int>(std::lround(coef[kZigzag[static_cast<size_t>(k)]] / kQuant)),
                    -1023, 1023);

            int diff = q[0] - previousDc;
            previousDc = q[0];
            int size = category(diff);
            bits.put(static_cast<unsigned>(size), 4);
            if (size) bits.put(magnitudeBits(diff, size), size);
            int run = 0;
            for (int k = 1; k < 64; ++k) {
                if (q[k] == 0) {
                    ++run;
                    continue;
                }
                for (; run >= 16; run -= 16)
                    bits.put(static_cast<unsigned>(acCode[0xF0]), 8);
                size = category(q[k]);
                bits.put(static_cast<unsigned>(acCode[static_cast<size_t>(run << 4 | size)]), 8);
                bits.put(magnitudeBits(q[k], size), size);
                run = 0;
            }
            if (run > 0) bits.put(static_cast<unsigned>(acCode[0x00]), 8);
        }
    bits.finish();
    out += "\xFF\xD9"; // EOI
    return out;
}

} // namespace tonfex::help
