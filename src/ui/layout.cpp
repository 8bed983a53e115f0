#include "ui/layout.h"

#include "help/help.h"

#include <algorithm>
#include <cmath>

namespace tonfex::ui {

namespace {

// Sizes in twips; 15 twips are a pixel at 96 dots per inch.
constexpr int kMargin = 120;
constexpr int kLeftWidth = 4500;
constexpr int kButtonHeight = 450;
constexpr int kHeaderHeight = 480;
constexpr int kGap = 90;          // between the areas and the lists of the work area
constexpr int kGroupTitle = 270;  // the frame's title above its first row
constexpr int kButtonGap = 60;
constexpr int kGroupInner = 90;
constexpr int kHintHeight = 450;  // Label5 below the settings list
constexpr int kInidatBeside = 1800; // the settings list keeps this much beside a wide List2
constexpr int kDatenShare[] = {2, 5}; // of the width, for Daten beside Zuordnung

// The buttons of the left groups by rows and columns; two in one cell are shown one at a time.
struct Cell {
    Button* a;
    Button* b; // shares the cell with `a`, or none
    int row, column;
};

std::vector<std::vector<Cell>> leftGroups(const MainControls& cc) {
    auto& c = const_cast<MainControls&>(cc);
    std::vector<Cell> files, patterns;
    Button* fileButtons[] = {&c.Command2,   &c.Inidateischau, &c.Command4, &c.Command3,
                             &c.Dateischau, &c.Command8,      &c.Command6, &c.Command7,
                             &c.Command10,  &c.Command5,      &c.Command9};
    Button* patternButtons[] = {&c.CapellaStart,   &c.Capellanotenwandeln,  &c.Midiwandeln,
                                &c.CapellaStart02, &c.Capellanotenwandeln2, &c.Midiwandeln2,
                                &c.Patti,          &c.Patti02,              &c.TonfexCap,
                                &c.Ubersicht_Notenschreiben, &c.KeineFrage};
    for (int i = 0; i < 11; ++i)
        files.push_back({fileButtons[i], nullptr, i / 3, i % 3});
    for (int i = 0; i < 11; ++i)
        patterns.push_back({patternButtons[i], nullptr, i / 3, i % 3});
    return {{{&c.Dateiherstellung, nullptr, 0, 0},
             {&c.Startknopf, &c.Command1, 0, 1},
             {&c.Stopp, &c.Reaperstart, 0, 2},
             {&c.MID, nullptr, 1, 0},
             {&c.Ende, nullptr, 1, 1},
             {&c.Hoeren, nullptr, 1, 2}},
            files,
            patterns,
            {{&c.Reaperstart2, nullptr, 0, 0},
             {&c.Samplemix, nullptr, 0, 1},
             {&c.Command11, nullptr, 1, 0},
             {&c.Command13, nullptr, 1, 1},
             {&c.Command12, nullptr, 1, 2},
             {&c.Speichern, nullptr, 2, 0},
             {&c.Load, nullptr, 2, 1}},
            {{&c.Kurzubersicht, nullptr, 0, 0},
             {&c.Ubersicht, nullptr, 0, 1},
             {&c.NeueRegelInfo, nullptr, 0, 2},
             {&c.erklaminus, nullptr, 1, 0},
             {&c.erklaplus, nullptr, 1, 1},
             {&c.Infos, nullptr, 1, 2}}};
}

const char* const kGroupTitles[] = {"Erzeugen und Abspielen",      "Dateien im Editor",
                                    "Patterns und Capella",        "Sampler, REAPER und Presets",
                                    "Übersichten und Hilfe",       "MIDI-Gerät, Instrument und Bend"};
const char* const kColumnTitles[] = {"Ausgabegerät", "Instrument", "Bend", "Tempo", "Laut"};

// Places boxes by slot; the plan's parts look their slots up by model or by title.
struct Planner {
    const std::vector<Slot>& slots;
    std::vector<Box> boxes;

    int find(const Control* model, const char* text = nullptr) const {
        for (size_t i = 0; i < slots.size(); ++i)
            if (text ? slots[i].model == nullptr && slots[i].text == text
                     : slots[i].model == model)
                return static_cast<int>(i);
        return -1;
    }
    int roll() const {
        for (size_t i = 0; i < slots.size(); ++i)
            if (slots[i].kind == Kind::Roll) return static_cast<int>(i);
        return -1;
    }
    void put(int slot, int x, int y, int w, int h) {
        if (slot >= 0) boxes[static_cast<size_t>(slot)] = {x, y, x + std::max(0, w), y + std::max(0, h)};
    }
    void put(const Control& m, int x, int y, int w, int h) { put(find(&m), x, y, w, h); }
    void title(const char* text, int x, int y, int w, int h) { put(find(nullptr, text), x, y, w, h); }
};

void planLeft(Planner& p, const MainControls& c, int height) {
    // Group heights: a title, rows of buttons, a margin; the spare height lies between them.
    const auto groups = leftGroups(c);
    const int rows[] = {2, 4, 4, 3, 2};
    int natural = 0;
    for (int r : rows)
        natural += kGroupTitle + r * (kButtonHeight + kButtonGap) + kGroupInner;
    int spare = std::max(0, height - 2 * kMargin - natural) / 4;
    int col = (kLeftWidth - 2 * kGroupInner - 2 * kButtonGap) / 3;
    int y = kMargin;
    for (size_t g = 0; g < groups.size(); ++g) {
        int h = kGroupTitle + rows[g] * (kButtonHeight + kButtonGap) + kGroupInner;
        p.title(kGroupTitles[g], kMargin, y, kLeftWidth, h);
        for (const Cell& cell : groups[g]) {
            int x = kMargin + kGroupInner + cell.column * (col + kButtonGap);
            int top = y + kGroupTitle + cell.row * (kButtonHeight + kButtonGap);
            if (cell.b && cell.a->visible && cell.b->visible) {
                int half = (col - kButtonGap) / 2;
                p.put(*cell.a, x, top, half, kButtonHeight);
                p.put(*cell.b, x + half + kButtonGap, top, col - half - kButtonGap, kButtonHeight);
            } else {
                p.put(*cell.a, x, top, col, kButtonHeight);
                if (cell.b) p.put(*cell.b, x, top, col, kButtonHeight);
            }
        }
        y += h + spare;
    }
}

void planHeader(Planner& p, const MainControls& c, int x, int y, int width, int height) {
    // From the right end leftwards; the mode title takes what is left.
    int right = x + width;
    auto fromRight = [&](const Control& m, int w, int h) {
        right -= w;
        p.put(m, right, y + (height - h) / 2, w, h);
        right -= kGap;
    };
    for (auto it = c.Leuchtfarbe.rbegin(); it != c.Leuchtfarbe.rend(); ++it)
        if (it->visible) fromRight(*it, 90, 360);
    if (!c.Label4.caption.empty()) fromRight(c.Label4, 900, 360); // else no room taken
    if (c.Text1.visible) fromRight(c.Text1, 1650, 360);
    for (auto it = c.Label3.rbegin(); it != c.Label3.rend(); ++it)
        fromRight(*it, 330, 360);
    fromRight(c.Text5, 1050, 420);
    fromRight(c.txtNot, 2850, 420);
    p.put(c.Label2, x, y, right - x, height);
}

void planWorkArea(Planner& p, const MainControls& c, int x0, int y0, int w, int h) {
    int x = x0;
    if (c.List2.visible) {
        int listWidth = std::min(c.List2.width > 0 ? c.List2.width : help::kNarrowList2,
                                 w - kInidatBeside);
        p.put(c.List2, x0, y0, listWidth, h);
        x = x0 + listWidth + kGap;
    }
    int width = std::max(0, x0 + w - x);
    int y = y0;
    if (c.inidat.visible) {
        int height = std::min(c.inidat.height > 0 ? c.inidat.height : help::kEnlargedHeight, h);
        p.put(c.inidat, x, y, width, height);
        y += height + kGap;
    }
    if (c.Label5.visible) {
        p.put(c.Label5, x, y, width, kHintHeight);
        y += kHintHeight + kGap;
    }
    int rest = std::max(0, y0 + h - y);
    if (c.Daten.visible && c.Zuordnung.visible) {
        int first = width * kDatenShare[0] / kDatenShare[1];
        p.put(c.Daten, x, y, first - kGap / 2, rest);
        p.put(c.Zuordnung, x + first + kGap / 2, y, width - first - kGap / 2, rest);
    } else {
        p.put(c.Daten, x, y, width, rest);
        p.put(c.Zuordnung, x, y, width, rest);
    }
}

void planBottom(Planner& p, const MainControls& c, int x0, int y0, int w, int h, int scrollWidth) {
    // The piano roll at the left, the MIDI group at the right.
    int groupWidth = std::min(6450, w / 2);
    int gx = x0 + w - groupWidth;
    p.put(p.roll(), x0, y0 + kGap, gx - kMargin - x0, h - kGap);
    p.title(kGroupTitles[5], gx, y0, groupWidth, h);
    const int inner = 120, rowH = 330, titleH = 240, below = kGroupTitle;
    int top = y0 + kGroupTitle, bottom = y0 + h - inner;
    int bendWidth = 630 + scrollWidth;
    int rest = groupWidth - 2 * inner - bendWidth - 2 * kGap;
    int deviceWidth = rest * 4 / 7, soundWidth = rest - deviceWidth;
    int x = gx + inner;
    // Ausgabegerät: the device list, Label1 and the two factor boxes.
    p.title(kColumnTitles[0], x, top, deviceWidth, titleH);
    int listBottom = bottom - 2 * rowH - 60;
    p.put(c.List1, x, top + below, deviceWidth, listBottom - top - below);
    p.put(c.Label1, x, listBottom + 30, deviceWidth, rowH);
    const int caption = 660;
    int fy = bottom - rowH, boxWidth = (deviceWidth - 2 * caption - kGap) / 2;
    p.title(kColumnTitles[3], x, fy, caption - 60, rowH);
    p.put(c.Tempobox, x + caption, fy, boxWidth, rowH);
    p.title(kColumnTitles[4], x + caption + boxWidth + kGap, fy, caption - 60, rowH);
    p.put(c.Lautbox, x + 2 * caption + boxWidth + kGap, fy, boxWidth, rowH);
    x += deviceWidth + kGap;
    p.title(kColumnTitles[1], x, top, soundWidth, titleH);
    p.put(c.lst_sound_list, x, top + below, soundWidth, bottom - top - below);
    x += soundWidth + kGap;
    // Bend: the picture box, the scroll bar and "Finetune Reset" below them.
    p.title(kColumnTitles[2], x, top, bendWidth, titleH);
    int bendBottom = bottom - kButtonHeight - 60;
    p.put(c.Bender, x, top + below, 600, bendBottom - top - below);
    p.put(c.VScroll1, x + 630, top + below, bendWidth - 630, bendBottom - top - below);
    p.put(c.neutral, x, bottom - kButtonHeight, bendWidth, kButtonHeight);
}

Slot slot(Kind kind, Control* model, std::string text = {}, bool inChooser = false) {
    return Slot{kind, model, std::move(text), inChooser};
}

} // namespace

std::vector<Slot> mainSlots(MainControls& c) {
    std::vector<Slot> s;
    for (const char* title : kGroupTitles)
        s.push_back(slot(Kind::Group, nullptr, title));
    for (Button* b : {&c.Dateiherstellung, &c.Startknopf, &c.Command1, &c.Stopp, &c.Reaperstart,
                      &c.Ende, &c.MID, &c.Hoeren})
        s.push_back(slot(Kind::Button, b));
    const auto groups = leftGroups(c);
    for (size_t g = 1; g < groups.size(); ++g)
        for (const Cell& cell : groups[g])
            s.push_back(slot(Kind::Button, cell.a));
    s.push_back(slot(Kind::Label, &c.Label2));
    s.push_back(slot(Kind::Text, &c.txtNot));
    s.push_back(slot(Kind::Text, &c.Text5));
    for (auto& label : c.Label3)
        s.push_back(slot(Kind::Label, &label));
    s.push_back(slot(Kind::Text, &c.Text1));
    s.push_back(slot(Kind::Label, &c.Label4));
    for (auto& line : c.Leuchtfarbe)
        s.push_back(slot(Kind::Line, &line));
    for (ListBox* l : {&c.inidat, &c.List2, &c.Daten, &c.Zuordnung})
        s.push_back(slot(Kind::List, l));
    s.push_back(slot(Kind::Label, &c.Label5));
    s.push_back(slot(Kind::Roll, nullptr,
                 "Die Melodiedatei Tonfex.txt: Tonhöhe über der Zeit, dunkler = lauter; der "
                 "klingende Ton ist rot markiert"));
    for (const char* title : kColumnTitles)
        s.push_back(slot(Kind::Title, nullptr, title));
    s.push_back(slot(Kind::List, &c.List1));
    s.push_back(slot(Kind::Label, &c.Label1));
    s.push_back(slot(Kind::Entry, &c.Tempobox));
    s.push_back(slot(Kind::Entry, &c.Lautbox));
    s.push_back(slot(Kind::List, &c.lst_sound_list));
    s.push_back(slot(Kind::Bend, &c.Bender, "Tonhöhe mit der Maus verbiegen (Pitch Bend)"));
    s.push_back(slot(Kind::Scroll, &c.VScroll1, "Feinstimmung (Pitch Bend)"));
    s.push_back(slot(Kind::Button, &c.neutral));
    s.push_back(slot(Kind::List, &c.Lini, "", true));
    return s;
}

std::vector<Box> plan(const std::vector<Slot>& slots, const MainControls& c, int width, int height,
                      int scrollWidth, int chooserWidth, int chooserHeight) {
    Planner p{slots, std::vector<Box>(slots.size())};
    planLeft(p, c, height);
    int x = kMargin + kLeftWidth + kMargin;
    int rightWidth = std::max(3000, width - x - kMargin);
    planHeader(p, c, x, kMargin, rightWidth, kHeaderHeight);
    int workTop = kMargin + kHeaderHeight + kGap;
    // The settings list's full height and the hint below it; the rest goes to the MIDI group.
    int workHeight = std::min(help::kEnlargedHeight + 540, std::max(1800, height - workTop - 2250));
    planWorkArea(p, c, x, workTop, rightWidth, workHeight);
    int bottomTop = workTop + workHeight + kGap;
    planBottom(p, c, x, bottomTop, rightWidth, std::max(1500, height - bottomTop - kMargin),
               scrollWidth);
    p.put(c.Lini, 135, 135, chooserWidth - 270, chooserHeight - 270);
    return p.boxes;
}

int twipsToPixels(int twips, double dpi) {
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

int pixelsToTwips(int pixels, double dpi) {
    return static_cast<int>(std::lround(pixels * 1440.0 / dpi));
}

Box toPixels(const Box& t, double dpi) {
    return {twipsToPixels(t.left, dpi), twipsToPixels(t.top, dpi), twipsToPixels(t.right, dpi),
            twipsToPixels(t.bottom, dpi)};
}

} // namespace tonfex::ui
