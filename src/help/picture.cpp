#include "help/picture.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tonfex::help {

namespace {

// A 5 x 7 pixel font: seven rows of five cells per glyph, '#' is ink.
struct Glyph {
    char c;
    const char* rows;
};

constexpr Glyph kFont[] = {
    {'A', ".###.#...##...#######...##...##...#"},  {'B', "####.#...##...#####.#...##...#####."},
    {'C', ".###.#...##....#....#....#...#.###."},  {'D', "####.#...##...##...##...##...#####."},
    {'E', "######....#....####.#....#....#####"},  {'F', "######....#....####.#....#....#...."},
    {'G', ".###.#...##....#.####...##...#.####"},  {'H', "#...##...##...#######...##...##...#"},
    {'I', ".###...#....#....#....#....#...###."},  {'J', "..###...#....#....#....#.#..#..##.."},
    {'K', "#...##..#.#.#..##...#.#..#..#.#...#"},  {'L', "#....#....#....#....#....#....#####"},
    {'M', "#...###.###.#.##.#.##...##...##...#"},  {'N', "#...##...###..##.#.##..###...##...#"},
    {'O', ".###.#...##...##...##...##...#.###."},  {'P', "####.#...##...#####.#....#....#...."},
    {'Q', ".###.#...##...##...##.#.##..#..##.#"},  {'R', "####.#...##...#####.#.#..#..#.#...#"},
    {'S', ".#####....#.....###.....#....#####."},  {'T', "#####..#....#....#....#....#....#.."},
    {'U', "#...##...##...##...##...##...#.###."},  {'V', "#...##...##...##...##...#.#.#...#.."},
    {'W', "#...##...##...##.#.##.#.##.#.#.#.#."},  {'X', "#...##...#.#.#...#...#.#.#...##...#"},
    {'Y', "#...##...#.#.#...#....#....#....#.."},  {'Z', "#####....#...#...#...#...#....#####"},
    {'0', ".###.#...##..###.#.###..##...#.###."},  {'1', "..#...##....#....#....#....#...###."},
    {'2', ".###.#...#....#...#...#...#...#####"},  {'3', "#####...#...#.....#.....##...#.###."},
    {'4', "...#...##..#.#.#..#.#####...#....#."},  {'5', "######....####.....#....##...#.###."},
    {'6', "..##..#...#....####.#...##...#.###."},  {'7', "#####....#...#...#...#....#....#..."},
    {'8', ".###.#...##...#.###.#...##...#.###."},  {'9', ".###.#...##...#.####....#...#..##.."},
    {' ', "..................................."},  {'.', "..........................##...##.."},
    {'-', "...............#####..............."},  {'/', "....#....#...#...#...#...#....#...."},
    {':', "......##...##........##...##......."},  {'(', "...#...#...#....#....#.....#.....#."},
    {')', ".#.....#.....#....#....#...#...#..."},  {',', "....................##....#...#...."},
    {'=', "..........#####.....#####.........."},  {'+', ".......#....#..#####..#....#......."},
    {'>', ".#.....#.....#.....#...#...#...#..."},  {'<', "...#...#...#...#.....#.....#.....#."},
    {'\'', "..#....#...#......................."}, {'?', ".###.#...#....#...#...#.........#.."},
    {'!', "..#....#....#....#....#.........#.."},
};

constexpr bool wellFormed() {
    for (const auto& g : kFont) {
        int n = 0;
        while (g.rows[n] == '.' || g.rows[n] == '#')
            ++n;
        if (n != 35 || g.rows[n] != '\0') return false;
    }
    return true;
}
static_assert(wellFormed(), "every glyph has 7 rows of 5 cells");

const char* glyphRows(char c) {
    for (const auto& g : kFont)
        if (g.c == c) return g.rows;
    return nullptr;
}

constexpr std::uint8_t kPaper = 244, kInk = 25, kBoxFill = 255;

class Canvas {
public:
    Canvas(int w, int h)
        : image_{w, h, std::vector<std::uint8_t>(static_cast<size_t>(w * h), kPaper)} {}

    void dot(int x, int y, std::uint8_t grey) {
        if (x < 0 || y < 0 || x >= image_.width || y >= image_.height) return;
        image_.pixels[static_cast<size_t>(y) * static_cast<size_t>(image_.width) + static_cast<size_t>(x)] = grey;
    }
    void fill(int x, int y, int w, int h, std::uint8_t grey) {
        for (int j = y; j < y + h; ++j)
            for (int i = x; i < x + w; ++i)
                dot(i, j, grey);
    }
    // A line two pixels thick.
    void line(double x1, double y1, double x2, double y2) {
        double steps = std::max(std::abs(x2 - x1), std::abs(y2 - y1));
        for (int k = 0; k <= static_cast<int>(steps); ++k) {
            double t = steps == 0 ? 0 : k / steps;
            int x = static_cast<int>(std::lround(x1 + (x2 - x1) * t));
            int y = static_cast<int>(std::lround(y1 + (y2 - y1) * t));
            fill(x, y, 2, 2, kInk);
        }
    }
    void arrow(double x1, double y1, double x2, double y2) {
        line(x1, y1, x2, y2);
        double angle = std::atan2(y2 - y1, x2 - x1);
        for (double side : {-0.45, 0.45})
            line(x2, y2, x2 - 14 * std::cos(angle + side), y2 - 14 * std::sin(angle + side));
    }
    void text(int x, int y, const std::string& s, int scale) {
        for (char c : s) {
            const char* rows = glyphRows(c);
            if (rows)
                for (int r = 0; r < 7; ++r)
                    for (int col = 0; col < 5; ++col)
                        if (rows[r * 5 + col] == '#')
                            fill(x + col * scale, y + r * scale, scale, scale, kInk);
            x += 6 * scale;
        }
    }
    static int textWidth(const std::string& s, int scale) {
        return static_cast<int>(s.size()) * 6 * scale - scale;
    }
    // A framed box with centred lines of text.
    void box(int x, int y, int w, int h, const std::vector<std::string>& lines) {
        fill(x, y, w, h, kInk);
        fill(x + 3, y + 3, w - 6, h - 6, kBoxFill);
        const int scale = 2, lineHeight = 20;
        int top = y + (h - static_cast<int>(lines.size()) * lineHeight + 6) / 2;
        for (const auto& l : lines) {
            text(x + (w - textWidth(l, scale)) / 2, top, l, scale);
            top += lineHeight;
        }
    }
    GreyImage take() { return std::move(image_); }

private:
    GreyImage image_;
};

struct Box {
    int x, y, w, h;
    std::vector<std::string> lines;
    int cx() const { return x + w / 2; }
    int bottom() const { return y + h; }
    int right() const { return x + w; }
    int cy() const { return y + h / 2; }
};

// Every box of the chart: the way of one "Neu" in the middle, the files around it.
const std::vector<Box>& boxes() {
    static const std::vector<Box> all = {
        {420, 90, 360, 50, {"NEU (ODER POWERTASTE)"}},                                  // 0
        {420, 180, 360, 60, {"INITIAL:", "EINSTELLUNGEN LESEN"}},                       // 1
        {40, 180, 300, 60, {"TONFEX.INI", "(EDITOR: EINSTELLUNG)"}},                    // 2
        {420, 290, 360, 60, {"SOUND 2, 3, 4:", "SAMPLEKATALOG LESEN"}},                 // 3
        {40, 290, 300, 60, {"TONFEX-HCR.RPP", "(REAPER: SAMPLES)"}},                    // 4
        {420, 400, 360, 80, {"REGEL NACH TFM:", "0.1 / 0.2 TEST,", "REGEL 01 ... 06"}}, // 5
        {40, 400, 300, 80, {"PATTERNS:", "TONFEX-CAP-PT.TXT", "TONFEX-CAP-02.TXT"}},    // 6
        {40, 530, 300, 60, {"CAPELLA: CAP 01/02,", "XML 01/02 WANDELN"}},               // 7
        {420, 530, 360, 60, {"SCHREIB:", "TONFEX.TXT (MELODIE)"}},                      // 8
        {860, 530, 300, 60, {"EDITOR: MELODIE", "VON HAND AENDERN"}},                   // 9
        {860, 400, 300, 80, {"NK:", "TONFEX-CAP.XML", "-> CAPELLA"}},                   // 10
        {420, 640, 360, 60, {"PLAY: NEUTON LIEST", "TONFEX.TXT"}},                      // 11
        {200, 760, 360, 70, {"SOUND 1:", "MIDI-SPIELER"}},                              // 12
        {640, 760, 360, 70, {"SOUND 3: TONFEX.RPP", "-> REAPER (RENDERN)"}},            // 13
    };
    return all;
}

} // namespace

bool canLetter(char c) {
    return glyphRows(c) != nullptr;
}

GreyImage drawOverview() {
    Canvas canvas(1200, 864);
    const std::string title = "TONFEX - PROGRAMMABLAUF";
    canvas.text((1200 - Canvas::textWidth(title, 4)) / 2, 24, title, 4);
    const auto& b = boxes();
    for (const auto& box : b)
        canvas.box(box.x, box.y, box.w, box.h, box.lines);
    auto down = [&](int from, int to) {
        canvas.arrow(b[static_cast<size_t>(from)].cx(), b[static_cast<size_t>(from)].bottom() + 2,
                     b[static_cast<size_t>(to)].cx(), b[static_cast<size_t>(to)].y - 3);
    };
    auto across = [&](int from, int to) {
        const Box& f = b[static_cast<size_t>(from)];
        const Box& t = b[static_cast<size_t>(to)];
        bool rightwards = f.x < t.x;
        canvas.arrow(rightwards ? f.right() + 2 : f.x - 2, f.cy(),
                     rightwards ? t.x - 3 : t.right() + 3, t.cy());
    };
    down(0, 1);
    down(1, 3);
    down(3, 5);
    down(5, 8);
    down(8, 11);
    down(11, 12);
    down(11, 13);
    across(2, 1);
    across(4, 3);
    across(6, 5);
    canvas.arrow(b[7].cx(), b[7].y - 2, b[6].cx(), b[6].bottom() + 3);
    across(9, 8);
    canvas.arrow(b[8].right() + 2, b[8].y + 10, b[10].x - 3, b[10].bottom() - 10);
    canvas.text(40, 842, "DIE MELODIEDATEI TONFEX.TXT IST DIE UEBERGABESTELLE.", 2);
    return canvas.take();
}

std::string overviewPictureJpeg() {
    static const std::string bytes = encodeJpeg(drawOverview()); // the same for every folder
    return bytes;
}

} // namespace tonfex::help
