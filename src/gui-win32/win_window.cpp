#include "gui-win32/win_window.h"

#include "app/actions.h"
#include "core/errors.h"
#include "gui-win32/win_roll.h"
#include "gui-win32/win_text.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>

namespace tonfex {

namespace {

constexpr int kButtonId = 1000;
constexpr int kListId = 2000;
constexpr int kTextId = 3000;
constexpr int kMidId = 999;
constexpr UINT kStartMessage = WM_APP + 1;
constexpr UINT_PTR kMelodyTimer = 1; // the idle window's look at the melody file

// Sizes in pixels at 96 dots per inch; the window draws at that scale.
constexpr int kMargin = 8;
constexpr int kLeftWidth = 300;
constexpr int kButtonHeight = 30;
constexpr int kHeaderHeight = 32;

COLORREF rgb(Rgb c) {
    return RGB(c.r, c.g, c.b);
}

// Buttons without a caption show a symbol drawn with lines; their tooltips say what they do.
void drawSymbol(HDC dc, const RECT& r, const std::string& name, COLORREF colour) {
    int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    int width = r.right - r.left, height = r.bottom - r.top;
    int radius = std::max(4, std::min(width, height) / 2 - 6);
    HPEN pen = CreatePen(PS_SOLID, 2, colour);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    auto letter = [&](const wchar_t* text) {
        Ellipse(dc, cx - radius, cy - radius, cx + radius + 1, cy + radius + 1);
        RECT box{cx - radius, cy - radius, cx + radius + 1, cy + radius + 1};
        SetTextColor(dc, colour);
        DrawTextW(dc, text, -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    };
    if (name == "Command1") {
        // The power symbol: a circle open at the top with a bar through the gap.
        Arc(dc, cx - radius, cy - radius + 2, cx + radius + 1, cy + radius + 3, cx - radius / 2,
            cy - radius, cx + radius / 2, cy - radius);
        MoveToEx(dc, cx, cy - radius - 2, nullptr);
        LineTo(dc, cx, cy + 2);
    } else if (name == "KeineFrage") {
        letter(L"?");
    } else if (name == "Infos") {
        letter(L"i");
    } else if (name == "NeueRegelInfo") {
        Rectangle(dc, cx - radius, cy - radius, cx + radius + 1, cy + radius + 1);
        RECT box{cx - radius, cy - radius, cx + radius + 1, cy + radius + 1};
        SetTextColor(dc, colour);
        DrawTextW(dc, L"i", -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    } else if (name == "neutral") {
        // Back to the middle: three quarters of a circle, its head pointing on.
        Arc(dc, cx - radius, cy - radius, cx + radius + 1, cy + radius + 1, cx, cy - radius,
            cx + radius, cy);
        POINT head[3] = {
            {cx + radius - 4, cy + 1}, {cx + radius + 5, cy + 1}, {cx + radius, cy - 5}};
        SelectObject(dc, GetStockObject(BLACK_BRUSH));
        Polygon(dc, head, 3);
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

std::wstring windowText(HWND hwnd) {
    int n = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(n) + 1, L'\0');
    GetWindowTextW(hwnd, text.data(), n + 1);
    text.resize(static_cast<size_t>(n));
    return text;
}

} // namespace

Win32Window::Win32Window(App& app, WinEvents& events, WinDialogs& dialogs, WinClipboard& clipboard)
    : app_(app), c_(app.c), events_(events), dialogs_(dialogs), clipboard_(clipboard),
      instance_(GetModuleHandleW(nullptr)) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance_;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    wc.hbrBackground = brush(colors::grey);
    wc.lpszClassName = kMainClass;
    RegisterClassExW(&wc);
    wc.lpszClassName = kChooserClass;
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    RegisterClassExW(&wc);
    wc.lpfnWndProc = rollProc;
    wc.lpszClassName = kRollClass;
    wc.hbrBackground = nullptr;
    RegisterClassExW(&wc);
    wc.lpfnWndProc = bendProc;
    wc.lpszClassName = kBendClass;
    wc.hbrBackground = nullptr;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_CROSS));
    RegisterClassExW(&wc);

    // The window's size on a 1280 x 800 screen, smaller where the screen is.
    RECT work{0, 0, 1280, 800};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    int width = std::min(1280, static_cast<int>(work.right - work.left));
    int height = std::min(800, static_cast<int>(work.bottom - work.top));
    main_ = CreateWindowExW(0, kMainClass, L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, work.left,
                            work.top, width, height, nullptr, nullptr, instance_, this);
    // The chooser is a popup owned by the main window, so that it stays in front of it.
    chooser_ = CreateWindowExW(
        0, kChooserClass, L"", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN,
        work.left + 200, work.top + 150, 520, 300, main_, nullptr, instance_, this);
    dialogs_.owner = main_;
    clipboard_.owner = main_;
    createControls();
    events_.beforeProcess = [this] { sync(); };
    dialogs_.beforeDialog = [this] { sync(); };
    // An idle window follows the melody file as the composer edits it; a running command
    // looks at it in its waits (sync).
    SetTimer(main_, kMelodyTimer, 500, nullptr);
    sync();
}

Win32Window::~Win32Window() {
    events_.beforeProcess = nullptr;
    dialogs_.beforeDialog = nullptr;
    dialogs_.owner = nullptr;
    clipboard_.owner = nullptr;
    if (chooser_) DestroyWindow(chooser_);
    if (main_) DestroyWindow(main_);
    for (auto& [key, f] : fonts_)
        DeleteObject(f);
    for (auto& [key, b] : brushes_)
        DeleteObject(b);
}

HWND Win32Window::child(const wchar_t* cls, const std::string& text, DWORD style, DWORD exStyle,
                        HWND parent, int id) {
    HWND hwnd = CreateWindowExW(
        exStyle, cls, toWide(text).c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, 0, 0,
        10, 10, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font(8, false)), FALSE);
    return hwnd;
}

HWND Win32Window::makeButton(Button& model) {
    int id = kButtonId + static_cast<int>(buttons_.size());
    HWND hwnd = child(L"BUTTON", model.caption, BS_OWNERDRAW | WS_TABSTOP, 0, main_, id);
    buttons_.push_back({&model, hwnd, {}});
    addTooltip(hwnd);
    return hwnd;
}

HWND Win32Window::makeList(ListBox& model, HWND parent) {
    int id = kListId + static_cast<int>(lists_.size());
    // The list's window text is its name: tests and tools find it by that.
    HWND hwnd = child(L"LISTBOX", model.name,
                      LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS | WS_VSCROLL | WS_HSCROLL |
                          WS_TABSTOP,
                      WS_EX_CLIENTEDGE, parent, id);
    lists_.push_back({&model, hwnd, {}, {}, -2, 0});
    addTooltip(hwnd);
    return hwnd;
}

HWND Win32Window::makeText(TextBox& model, bool readOnly) {
    int id = kTextId + static_cast<int>(texts_.size());
    HWND hwnd = child(L"EDIT", model.text(), ES_AUTOHSCROLL | (readOnly ? ES_READONLY : WS_TABSTOP),
                      WS_EX_CLIENTEDGE, main_, id);
    texts_.push_back({&model, hwnd, {}});
    addTooltip(hwnd);
    return hwnd;
}

HWND Win32Window::makeLabel(Control& model, DWORD style) {
    HWND hwnd = child(L"STATIC", model.caption, style, 0, main_, 0);
    labels_.push_back({&model, hwnd, {}});
    return hwnd;
}

HWND Win32Window::makeGroup(const char* title) {
    HWND hwnd = child(L"BUTTON", title, BS_GROUPBOX, 0, main_, 0);
    // A frame paints no inside of its own: it gets the window's grey, also where a control
    // in it was hidden.
    SetWindowSubclass(hwnd, subclassProc, 3, reinterpret_cast<DWORD_PTR>(this));
    groups_.push_back({hwnd, title});
    return hwnd;
}

void Win32Window::addTooltip(HWND hwnd) {
    HWND parent = GetParent(hwnd);
    HWND& tips = parent == chooser_ ? chooserTooltip_ : tooltip_;
    if (!tips) {
        tips =
            CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                            WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr, instance_, nullptr);
        // Long explanations wrap instead of running across the screen.
        SendMessageW(tips, TTM_SETMAXTIPWIDTH, 0, 420);
        SendMessageW(tips, TTM_SETDELAYTIME, TTDT_AUTOPOP, 20000);
    }
    TOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = parent;
    info.uId = reinterpret_cast<UINT_PTR>(hwnd);
    info.lpszText = LPSTR_TEXTCALLBACKW; // the text comes from the model when the tip shows
    SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

void Win32Window::createControls() {
    // Left: the command buttons in five groups, as the Qt window arranges them.
    for (Button* b :
         {&c_.Dateiherstellung, &c_.Startknopf, &c_.Command1, &c_.Stopp, &c_.Reaperstart, &c_.Ende})
        makeButton(*b);
    mid_ = child(L"BUTTON", "MID", BS_OWNERDRAW | WS_TABSTOP, 0, main_, kMidId);
    extraTooltips_[mid_] = "Die Melodiedatei Tonfex.txt als Standard-MIDI-Datei Tonfex.mid in den "
                           "Arbeitsordner schreiben";
    addTooltip(mid_);
    for (Button* b : {&c_.Command2,
                      &c_.Inidateischau,
                      &c_.Command4,
                      &c_.Command3,
                      &c_.Dateischau,
                      &c_.Command8,
                      &c_.Command6,
                      &c_.Command7,
                      &c_.Command10,
                      &c_.Command5,
                      &c_.Command9,
                      &c_.CapellaStart,
                      &c_.Capellanotenwandeln,
                      &c_.Patti,
                      &c_.CapellaStart02,
                      &c_.Capellanotenwandeln2,
                      &c_.Patti02,
                      &c_.TonfexCap,
                      &c_.Ubersicht_Notenschreiben,
                      &c_.KeineFrage,
                      &c_.Reaperstart2,
                      &c_.Samplemix,
                      &c_.Command11,
                      &c_.Command13,
                      &c_.Command12,
                      &c_.Speichern,
                      &c_.Load,
                      &c_.Kurzubersicht,
                      &c_.Ubersicht,
                      &c_.NeueRegelInfo,
                      &c_.erklaminus,
                      &c_.erklaplus,
                      &c_.Infos})
        makeButton(*b);

    // Right, top: the mode title and the note display.
    makeLabel(c_.Label2, SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX);
    makeText(c_.txtNot, true);
    makeText(c_.Text5, true);
    for (auto& label : c_.Label3)
        makeLabel(label, SS_CENTER | SS_CENTERIMAGE | SS_NOPREFIX);
    text1_ = makeText(c_.Text1, true);
    SetWindowSubclass(text1_, subclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
    makeLabel(c_.Label4, SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX);
    for (auto& line : c_.Leuchtfarbe)
        makeLabel(line, SS_LEFT);

    // Right, middle: the settings list, the description list and the play lists.
    makeList(c_.inidat, main_);
    makeList(c_.List2, main_);
    makeList(c_.Daten, main_);
    makeList(c_.Zuordnung, main_);
    label5_ = makeLabel(c_.Label5, SS_LEFT | SS_NOTIFY | SS_NOPREFIX);
    SetWindowSubclass(label5_, subclassProc, 2, reinterpret_cast<DWORD_PTR>(this));

    // Right, bottom: the piano roll of the melody file; MIDI device, instrument and bend.
    roll_ = child(kRollClass, "Pianoroll", 0, WS_EX_CLIENTEDGE, main_, 0);
    SetWindowLongPtrW(roll_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    melodyRoll_.error = "noch nicht gelesen";
    extraTooltips_[roll_] = "Die Melodiedatei Tonfex.txt: Tonhöhe über der Zeit, dunkler = "
                            "lauter; der klingende Ton ist rot markiert";
    addTooltip(roll_);
    for (const char* title : {"Ausgabegerät", "Instrument", "Bend", "Tempo", "Laut"})
        columnTitles_.push_back(child(L"STATIC", title, SS_LEFT | SS_CENTERIMAGE, 0, main_, 0));
    makeList(c_.List1, main_);
    makeLabel(c_.Label1, SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX);
    makeText(c_.Tempobox, false);
    makeText(c_.Lautbox, false);
    makeList(c_.lst_sound_list, main_);
    bender_ = child(kBendClass, c_.Bender.name, 0, WS_EX_CLIENTEDGE, main_, 0);
    SetWindowLongPtrW(bender_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    extraTooltips_[bender_] = "Tonhöhe mit der Maus verbiegen (Pitch Bend)";
    addTooltip(bender_);
    scroll_ = child(L"SCROLLBAR", c_.VScroll1.name, SBS_VERT, 0, main_, 0);
    extraTooltips_[scroll_] = "Feinstimmung (Pitch Bend)";
    addTooltip(scroll_);
    makeButton(c_.neutral);

    // The group frames lie beneath the controls they frame.
    for (const char* title : {"Erzeugen und Abspielen", "Dateien im Editor", "Patterns und Capella",
                              "Sampler, REAPER und Presets", "Übersichten und Hilfe",
                              "MIDI-Gerät, Instrument und Bend"})
        makeGroup(title);
    for (auto& [group, title] : groups_)
        SetWindowPos(group, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    // The chooser `Linien`: its list fills the window.
    makeList(c_.Lini, chooser_);
}

int Win32Window::pixels(int twips) const {
    HDC dc = GetDC(main_);
    int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(main_, dc);
    return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

void Win32Window::place(HWND hwnd, int x, int y, int width, int height) {
    SetWindowPos(hwnd, nullptr, x, y, std::max(0, width), std::max(0, height),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

Win32Window::LayoutKey Win32Window::layoutKey() const {
    LayoutKey key{c_.List2.width, c_.inidat.height, {}};
    const Control* shaping[] = {&c_.Startknopf, &c_.Command1, &c_.Stopp,         &c_.Reaperstart,
                                &c_.List2,      &c_.inidat,   &c_.Label5,        &c_.Daten,
                                &c_.Zuordnung,  &c_.Text1,    &c_.Leuchtfarbe[0]};
    for (const Control* m : shaping)
        key.visible.push_back(m->visible);
    return key;
}

void Win32Window::layout() {
    RECT client;
    GetClientRect(main_, &client);
    int w = client.right, h = client.bottom;
    layoutLeft(h);
    int x = kMargin + kLeftWidth + kMargin;
    int width = std::max(200, w - x - kMargin);
    layoutHeader(x, kMargin, width, kHeaderHeight);
    int workTop = kMargin + kHeaderHeight + 6;
    // The settings list's full height and the hint below it; the rest goes to the MIDI group.
    int workHeight = std::min(pixels(7540) + 36, std::max(120, h - workTop - 150));
    layoutWorkArea(x, workTop, width, workHeight);
    int bottomTop = workTop + workHeight + 6;
    layoutBottom(x, bottomTop, width, std::max(100, h - bottomTop - kMargin));
    laidOut_ = layoutKey();
    InvalidateRect(main_, nullptr, TRUE);

    RECT chooserClient;
    GetClientRect(chooser_, &chooserClient);
    for (auto& view : lists_)
        if (view.model == &c_.Lini)
            place(view.hwnd, 9, 9, chooserClient.right - 18, chooserClient.bottom - 18);
}

void Win32Window::layoutLeft(int height) {
    // Group heights: a title, rows of buttons, a margin; the spare height lies between them.
    const int rows[] = {2, 4, 3, 3, 2};
    const int title = 18, gap = 4, inner = 6;
    int natural = 0;
    for (int r : rows)
        natural += title + r * (kButtonHeight + gap) + inner;
    int spare = std::max(0, height - 2 * kMargin - natural) / 4;
    int col = (kLeftWidth - 2 * inner - 2 * gap) / 3;
    int y = kMargin;
    auto cell = [&](int top, int row, int column) {
        return POINT{kMargin + inner + column * (col + gap),
                     top + title + row * (kButtonHeight + gap)};
    };
    auto put = [&](HWND hwnd, int top, int row, int column) {
        POINT p = cell(top, row, column);
        place(hwnd, p.x, p.y, col, kButtonHeight);
    };
    auto buttonOf = [&](const Button& model) {
        for (auto& v : buttons_)
            if (v.model == &model) return v.hwnd;
        return HWND{};
    };
    // Two buttons of which each mode shows one share a place.
    auto pair = [&](const Button& a, const Button& b, int top, int row, int column) {
        POINT p = cell(top, row, column);
        if (a.visible && b.visible) {
            int half = (col - gap) / 2;
            place(buttonOf(a), p.x, p.y, half, kButtonHeight);
            place(buttonOf(b), p.x + half + gap, p.y, col - half - gap, kButtonHeight);
        } else {
            place(buttonOf(a), p.x, p.y, col, kButtonHeight);
            place(buttonOf(b), p.x, p.y, col, kButtonHeight);
        }
    };
    auto group = [&](int index) {
        int h = title + rows[index] * (kButtonHeight + gap) + inner;
        place(groups_[static_cast<size_t>(index)].first, kMargin, y, kLeftWidth, h);
        int top = y;
        y += h + spare;
        return top;
    };

    int top = group(0);
    put(buttonOf(c_.Dateiherstellung), top, 0, 0);
    pair(c_.Startknopf, c_.Command1, top, 0, 1);
    pair(c_.Stopp, c_.Reaperstart, top, 0, 2);
    put(mid_, top, 1, 0);
    put(buttonOf(c_.Ende), top, 1, 1);

    top = group(1);
    const Button* files[] = {&c_.Command2,   &c_.Inidateischau, &c_.Command4, &c_.Command3,
                             &c_.Dateischau, &c_.Command8,      &c_.Command6, &c_.Command7,
                             &c_.Command10,  &c_.Command5,      &c_.Command9};
    for (int i = 0; i < 11; ++i)
        put(buttonOf(*files[i]), top, i / 3, i % 3);

    top = group(2);
    const Button* patterns[] = {&c_.CapellaStart,   &c_.Capellanotenwandeln,      &c_.Patti,
                                &c_.CapellaStart02, &c_.Capellanotenwandeln2,     &c_.Patti02,
                                &c_.TonfexCap,      &c_.Ubersicht_Notenschreiben, &c_.KeineFrage};
    for (int i = 0; i < 9; ++i)
        put(buttonOf(*patterns[i]), top, i / 3, i % 3);

    top = group(3);
    put(buttonOf(c_.Reaperstart2), top, 0, 0);
    put(buttonOf(c_.Samplemix), top, 0, 1);
    put(buttonOf(c_.Command11), top, 1, 0);
    put(buttonOf(c_.Command13), top, 1, 1);
    put(buttonOf(c_.Command12), top, 1, 2);
    put(buttonOf(c_.Speichern), top, 2, 0);
    put(buttonOf(c_.Load), top, 2, 1);

    top = group(4);
    put(buttonOf(c_.Kurzubersicht), top, 0, 0);
    put(buttonOf(c_.Ubersicht), top, 0, 1);
    put(buttonOf(c_.NeueRegelInfo), top, 0, 2);
    put(buttonOf(c_.erklaminus), top, 1, 0);
    put(buttonOf(c_.erklaplus), top, 1, 1);
    put(buttonOf(c_.Infos), top, 1, 2);
}

void Win32Window::layoutHeader(int x, int y, int width, int height) {
    // From the right end leftwards; the mode title takes what is left.
    int right = x + width;
    auto fromRight = [&](HWND hwnd, int w, int h) {
        right -= w;
        place(hwnd, right, y + (height - h) / 2, w, h);
        right -= 6;
    };
    auto viewOf = [&](const Control& model) {
        for (auto* list : {&labels_, &texts_})
            for (auto& v : *list)
                if (v.model == &model) return v.hwnd;
        return HWND{};
    };
    for (auto it = c_.Leuchtfarbe.rbegin(); it != c_.Leuchtfarbe.rend(); ++it)
        if (it->visible) fromRight(viewOf(*it), 6, 24);
    if (c_.Label4.caption.empty())
        place(viewOf(c_.Label4), x, y, 0, 0); // nothing to show: no room taken
    else
        fromRight(viewOf(c_.Label4), 60, 24);
    if (c_.Text1.visible) fromRight(text1_, 110, 24);
    for (auto it = c_.Label3.rbegin(); it != c_.Label3.rend(); ++it)
        fromRight(viewOf(*it), 22, 24);
    fromRight(viewOf(c_.Text5), 70, 28);
    fromRight(viewOf(c_.txtNot), 190, 28);
    place(viewOf(c_.Label2), x, y, right - x, height);
}

void Win32Window::layoutWorkArea(int x0, int y0, int w, int h) {
    const int gap = 6;
    auto listOf = [&](const ListBox& model) {
        for (auto& v : lists_)
            if (v.model == &model) return v.hwnd;
        return HWND{};
    };
    int x = x0;
    if (c_.List2.visible) {
        int listWidth = std::min(pixels(c_.List2.width > 0 ? c_.List2.width : 3525), w - 120);
        place(listOf(c_.List2), x0, y0, listWidth, h);
        x = x0 + listWidth + gap;
    }
    int width = std::max(0, x0 + w - x);
    int y = y0;
    if (c_.inidat.visible) {
        int height = std::min(pixels(c_.inidat.height > 0 ? c_.inidat.height : 7540), h);
        place(listOf(c_.inidat), x, y, width, height);
        y += height + gap;
    }
    if (c_.Label5.visible) {
        place(label5_, x, y, width, 30);
        y += 30 + gap;
    }
    int rest = std::max(0, y0 + h - y);
    if (c_.Daten.visible && c_.Zuordnung.visible) {
        int first = width * 2 / 5;
        place(listOf(c_.Daten), x, y, first - gap / 2, rest);
        place(listOf(c_.Zuordnung), x + first + gap / 2, y, width - first - gap / 2, rest);
    } else {
        place(listOf(c_.Daten), x, y, width, rest);
        place(listOf(c_.Zuordnung), x, y, width, rest);
    }
}

void Win32Window::layoutBottom(int x0, int y0, int w, int h) {
    // The piano roll at the left, the MIDI group at the right, as in the Qt window.
    int groupWidth = std::min(430, w / 2);
    int gx = x0 + w - groupWidth;
    place(roll_, x0, y0 + 6, gx - 8 - x0, h - 6);
    place(groups_[5].first, gx, y0, groupWidth, h);
    const int inner = 8, title = 18, gap = 6, rowH = 22;
    int top = y0 + title, bottom = y0 + h - inner;
    int innerWidth = groupWidth - 2 * inner;
    int bendWidth = 40 + 2 + GetSystemMetrics(SM_CXVSCROLL);
    int rest = innerWidth - bendWidth - 2 * gap;
    int deviceWidth = rest * 4 / 7, soundWidth = rest - deviceWidth;
    int x = gx + inner;
    auto listOf = [&](const ListBox& model) {
        for (auto& v : lists_)
            if (v.model == &model) return v.hwnd;
        return HWND{};
    };
    auto viewOf = [&](const Control& model) {
        for (auto* list : {&labels_, &texts_})
            for (auto& v : *list)
                if (v.model == &model) return v.hwnd;
        return HWND{};
    };
    // Ausgabegerät: the device list, Label1 and the two factor boxes.
    place(columnTitles_[0], x, top, deviceWidth, 16);
    int listBottom = bottom - 2 * rowH - 4;
    place(listOf(c_.List1), x, top + 18, deviceWidth, listBottom - top - 18);
    place(viewOf(c_.Label1), x, listBottom + 2, deviceWidth, rowH);
    int fy = bottom - rowH, fx = x;
    const int caption = 44;
    int boxWidth = (deviceWidth - 2 * caption - 6) / 2;
    place(columnTitles_[3], fx, fy, caption - 4, rowH);
    place(viewOf(c_.Tempobox), fx + caption, fy, boxWidth, rowH);
    place(columnTitles_[4], fx + caption + boxWidth + 6, fy, caption - 4, rowH);
    place(viewOf(c_.Lautbox), fx + 2 * caption + boxWidth + 6, fy, boxWidth, rowH);
    x += deviceWidth + gap;
    // Instrument.
    place(columnTitles_[1], x, top, soundWidth, 16);
    place(listOf(c_.lst_sound_list), x, top + 18, soundWidth, bottom - top - 18);
    x += soundWidth + gap;
    // Bend: the picture box, the scroll bar and "Finetune Reset" below them.
    place(columnTitles_[2], x, top, bendWidth, 16);
    int bendBottom = bottom - kButtonHeight - 4;
    place(bender_, x, top + 18, 40, bendBottom - top - 18);
    place(scroll_, x + 42, top + 18, bendWidth - 42, bendBottom - top - 18);
    for (auto& v : buttons_)
        if (v.model == &c_.neutral)
            place(v.hwnd, x, bottom - kButtonHeight, bendWidth, kButtonHeight);
}

HFONT Win32Window::font(int pointSize, bool bold) {
    auto key = std::pair{pointSize > 0 ? pointSize : 8, bold};
    if (auto it = fonts_.find(key); it != fonts_.end()) return it->second;
    HDC dc = GetDC(nullptr);
    int height = -MulDiv(key.first, GetDeviceCaps(dc, LOGPIXELSY), 72);
    ReleaseDC(nullptr, dc);
    HFONT f = CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                          DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                          CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Tahoma");
    fonts_[key] = f;
    return f;
}

HBRUSH Win32Window::brush(Rgb colour) {
    int key = (colour.r << 16) | (colour.g << 8) | colour.b;
    if (auto it = brushes_.find(key); it != brushes_.end()) return it->second;
    HBRUSH b = CreateSolidBrush(rgb(colour));
    brushes_[key] = b;
    return b;
}

const Control* Win32Window::modelOf(HWND hwnd) const {
    for (auto* list : {&buttons_, &texts_, &labels_})
        for (const auto& v : *list)
            if (v.hwnd == hwnd) return v.model;
    for (const auto& v : lists_)
        if (v.hwnd == hwnd) return v.model;
    return nullptr;
}

std::string Win32Window::tooltipOf(HWND hwnd) const {
    if (const Control* m = modelOf(hwnd)) return m->tooltip;
    auto it = extraTooltips_.find(hwnd);
    return it == extraTooltips_.end() ? std::string() : it->second;
}

void Win32Window::apply(HWND hwnd, const Control& m, Shown& s, bool enabled) {
    bool repaint = false;
    if (!s.known || s.bold != m.bold || s.fontSize != m.fontSize) {
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font(m.fontSize, m.bold)), TRUE);
        repaint = true;
    }
    if (!s.known || s.back != m.back || s.fore != m.fore) repaint = true;
    if (!s.known || s.enabled != enabled) EnableWindow(hwnd, enabled);
    if (!s.known || s.visible != m.visible) ShowWindow(hwnd, m.visible ? SW_SHOWNA : SW_HIDE);
    if (repaint && s.known) InvalidateRect(hwnd, nullptr, TRUE);
    s.known = true;
    s.back = m.back;
    s.fore = m.fore;
    s.bold = m.bold;
    s.fontSize = m.fontSize;
    s.enabled = enabled;
    s.visible = m.visible;
}

void Win32Window::syncLists() {
    for (auto& view : lists_) {
        apply(view.hwnd, *view.model, view.shown, view.model->enabled);
        const auto& lines = view.model->lines();
        if (lines != view.lines) {
            bool appended = lines.size() > view.lines.size() &&
                            std::equal(view.lines.begin(), view.lines.end(), lines.begin());
            SendMessageW(view.hwnd, WM_SETREDRAW, FALSE, 0);
            if (!appended) {
                SendMessageW(view.hwnd, LB_RESETCONTENT, 0, 0);
                view.lines.clear();
                view.extent = 0;
            }
            HDC dc = GetDC(view.hwnd);
            HGDIOBJ old = SelectObject(dc, font(view.model->fontSize, view.model->bold));
            for (size_t i = view.lines.size(); i < lines.size(); ++i) {
                std::wstring line = toWide(lines[i]);
                SendMessageW(view.hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
                SIZE size{};
                GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
                view.extent = std::max(view.extent, static_cast<int>(size.cx) + 8);
            }
            SelectObject(dc, old);
            ReleaseDC(view.hwnd, dc);
            SendMessageW(view.hwnd, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(view.extent), 0);
            // A growing play list shows its newest line.
            if (appended && view.model == &c_.Daten)
                SendMessageW(view.hwnd, LB_SETTOPINDEX, lines.size() - 1, 0);
            SendMessageW(view.hwnd, WM_SETREDRAW, TRUE, 0);
            InvalidateRect(view.hwnd, nullptr, TRUE);
            view.lines = lines;
            view.selected = -2;
        }
        if (view.selected != view.model->selected) {
            view.selected = view.model->selected;
            int row = view.selected < view.model->count() ? view.selected : -1;
            SendMessageW(view.hwnd, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
        }
    }
}

void Win32Window::sync() {
    if (syncing_ || !main_) return;
    syncing_ = true;
    if (caption_ != c_.caption) {
        caption_ = c_.caption;
        SetWindowTextW(main_, toWide(caption_).c_str());
    }
    for (auto& view : buttons_) {
        bool enabled = view.model->enabled && findAction(view.model->name) != nullptr;
        apply(view.hwnd, *view.model, view.shown, enabled);
        if (view.shown.caption != view.model->caption) {
            view.shown.caption = view.model->caption;
            SetWindowTextW(view.hwnd, toWide(view.shown.caption).c_str());
        }
    }
    EnableWindow(mid_, findAction("MID") != nullptr && c_.Startknopf.enabled);
    for (auto& view : labels_) {
        bool wasKnown = view.shown.known;
        apply(view.hwnd, *view.model, view.shown, view.model->enabled);
        if (!wasKnown || view.shown.caption != view.model->caption) {
            view.shown.caption = view.model->caption;
            SetWindowTextW(view.hwnd, toWide(view.shown.caption).c_str());
        }
    }
    for (auto& view : texts_) {
        bool wasKnown = view.shown.known;
        apply(view.hwnd, *view.model, view.shown, view.model->enabled);
        auto* box = static_cast<TextBox*>(view.model);
        if (!wasKnown || view.shown.text != box->text()) {
            view.shown.text = box->text();
            SetWindowTextW(view.hwnd, toWide(view.shown.text).c_str());
        }
    }
    syncLists();

    // The scroll bar's top is its highest value: the position counts downwards.
    ScrollShown scroll{c_.VScroll1.min, c_.VScroll1.max, c_.VScroll1.value};
    if (!scrollKnown_ || !(scroll == scrollShown_)) {
        SCROLLINFO info{sizeof info, SIF_RANGE | SIF_POS | SIF_PAGE,         scroll.min, scroll.max,
                        0,           scroll.max + scroll.min - scroll.value, 0};
        SetScrollInfo(scroll_, SB_CTL, &info, TRUE);
        scrollShown_ = scroll;
        scrollKnown_ = true;
    }
    ShowWindow(scroll_, c_.VScroll1.visible ? SW_SHOWNA : SW_HIDE);
    EnableWindow(scroll_, c_.VScroll1.enabled);
    ShowWindow(bender_, c_.Bender.visible ? SW_SHOWNA : SW_HIDE);
    EnableWindow(bender_, c_.Bender.enabled && findAction("Bender") != nullptr);

    if (!(layoutKey() == laidOut_)) layout();

    // A play shows its melody at once: the file is looked at a few times a second.
    auto now = std::chrono::steady_clock::now();
    if (depth_ > 0 && now - melodyChecked_ > std::chrono::milliseconds(250)) {
        melodyChecked_ = now;
        checkMelody();
    }
    if (int sounding = depth_ > 0 ? app_.soundingTone : 0; sounding != sounding_) {
        sounding_ = sounding;
        InvalidateRect(roll_, nullptr, FALSE);
    }

    if (printedShown_ != c_.printed.size()) {
        printedShown_ = c_.printed.size();
        InvalidateRect(main_, nullptr, TRUE);
    }
    if (chooserCaption_ != c_.liniencaption) {
        chooserCaption_ = c_.liniencaption;
        SetWindowTextW(chooser_, toWide(chooserCaption_).c_str());
    }
    if (chooserVisible_ != c_.linienVisible) {
        chooserVisible_ = c_.linienVisible;
        ShowWindow(chooser_, chooserVisible_ ? SW_SHOW : SW_HIDE);
        if (chooserVisible_) SetForegroundWindow(chooser_);
    }
    syncing_ = false;
}

void Win32Window::drawButton(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    const Control* model = modelOf(item.hwndItem);
    Rgb back = model ? model->back : colors::lightGrey;
    bool pressed = (item.itemState & ODS_SELECTED) != 0;
    bool disabled = (item.itemState & ODS_DISABLED) != 0;
    FillRect(dc, &r, brush(back));
    DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    RECT text = r;
    if (pressed) OffsetRect(&text, 1, 1);
    COLORREF fore =
        disabled ? GetSysColor(COLOR_GRAYTEXT) : rgb(model ? model->fore : colors::black);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, fore);
    HGDIOBJ old = SelectObject(dc, font(model ? model->fontSize : 8, model && model->bold));
    std::wstring caption = windowText(item.hwndItem);
    if (caption.empty() && model) {
        HGDIOBJ bold = SelectObject(dc, font(11, true));
        drawSymbol(dc, text, model->name, fore);
        SelectObject(dc, bold);
    } else {
        DrawTextW(dc, caption.c_str(), -1, &text,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    SelectObject(dc, old);
    if (item.itemState & ODS_FOCUS) {
        RECT focus = r;
        InflateRect(&focus, -4, -4);
        DrawFocusRect(dc, &focus);
    }
}

void Win32Window::paintBender(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect(dc, &r, brush(c_.Bender.back));
    const BendArea& m = c_.Bender;
    if (m.scaleMax != m.scaleMin && m.markerY >= 0 && r.bottom > 1) {
        double f = (m.scaleMax - m.markerY) / double(m.scaleMax - m.scaleMin);
        int y = static_cast<int>(std::lround(f * (r.bottom - 1)));
        HPEN pen = CreatePen(PS_SOLID, 2, rgb(m.fore));
        HGDIOBJ old = SelectObject(dc, pen);
        MoveToEx(dc, 0, y, nullptr);
        LineTo(dc, r.right, y);
        SelectObject(dc, old);
        DeleteObject(pen);
    }
    EndPaint(hwnd, &ps);
}

void Win32Window::reloadMelody() {
    // The stamp is taken first: a file that changes during the read is read again.
    melodyStamp_ = fileStamp(app_.folder.path(names::melody));
    melodyRoll_ = readPianoRoll(app_.platform.files, app_.folder, app_.decimal);
    InvalidateRect(roll_, nullptr, FALSE);
}

void Win32Window::checkMelody() {
    if (!(fileStamp(app_.folder.path(names::melody)) == melodyStamp_)) reloadMelody();
}

void Win32Window::paintRoll(HWND hwnd) {
    // Drawn into a bitmap first, so that a play's marker moves without flicker.
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, std::max(1L, r.right), std::max(1L, r.bottom));
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    HGDIOBJ oldFont = SelectObject(memory, font(8, false));
    paintPianoRoll(memory, r, melodyRoll_, sounding_);
    BitBlt(dc, 0, 0, r.right, r.bottom, memory, 0, 0, SRCCOPY);
    SelectObject(memory, oldFont);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    EndPaint(hwnd, &ps);
}

void Win32Window::bendMoved(HWND hwnd, int y) {
    const BendArea& m = c_.Bender;
    if (m.scaleMax == m.scaleMin || !IsWindowEnabled(hwnd)) return;
    RECT r;
    GetClientRect(hwnd, &r);
    // The box's top is the highest bend value.
    double f = r.bottom > 1 ? std::clamp(y / double(r.bottom - 1), 0.0, 1.0) : 0.0;
    runAction("Bender", m.scaleMax - f * (m.scaleMax - m.scaleMin));
    InvalidateRect(hwnd, nullptr, TRUE);
}

void Win32Window::scrolled(int request) {
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    GetScrollInfo(scroll_, SB_CTL, &info);
    int position = info.nPos;
    const ScrollBar& m = c_.VScroll1;
    switch (request) {
    case SB_LINEUP:
        position -= m.smallChange;
        break;
    case SB_LINEDOWN:
        position += m.smallChange;
        break;
    case SB_PAGEUP:
        position -= m.largeChange;
        break;
    case SB_PAGEDOWN:
        position += m.largeChange;
        break;
    case SB_TOP:
        position = info.nMin;
        break;
    case SB_BOTTOM:
        position = info.nMax;
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        position = info.nTrackPos;
        break;
    default:
        return;
    }
    position = std::clamp(position, m.min, m.max);
    int value = m.max + m.min - position;
    if (value == m.value) return;
    SetScrollPos(scroll_, SB_CTL, position, TRUE);
    c_.VScroll1.value = value;
    scrollShown_.value = value;
    runAction(c_.VScroll1.name, value);
}

void Win32Window::command(int id, int code, HWND hwnd) {
    if (syncing_) return;
    if (id == kMidId && code == BN_CLICKED) {
        runAction("MID");
    } else if (id >= kButtonId && id < kButtonId + static_cast<int>(buttons_.size())) {
        if (code == BN_CLICKED)
            runAction(buttons_[static_cast<size_t>(id - kButtonId)].model->name);
    } else if (id >= kListId && id < kListId + static_cast<int>(lists_.size())) {
        if (code != LBN_SELCHANGE) return;
        ListView& view = lists_[static_cast<size_t>(id - kListId)];
        int row = static_cast<int>(SendMessageW(hwnd, LB_GETCURSEL, 0, 0));
        if (row < 0) return;
        view.model->selected = row;
        view.selected = row;
        runAction(view.model->name, row);
    } else if (id >= kTextId && id < kTextId + static_cast<int>(texts_.size())) {
        if (code != EN_CHANGE) return;
        View& view = texts_[static_cast<size_t>(id - kTextId)];
        auto* box = static_cast<TextBox*>(view.model);
        std::string text = fromWide(windowText(hwnd));
        view.shown.text = text;
        box->setText(text);
    }
}

bool Win32Window::invoke(std::string_view name, const std::function<void()>& call) {
    if (ending_) return false;
    // A control whose command is still running (its click came during a wait) waits for it.
    if (std::find(running_.begin(), running_.end(), name) != running_.end()) return false;
    running_.emplace_back(name);
    ++depth_;
    try {
        call();
    } catch (const CommandEnd&) {
        // The command showed its message; the window goes on.
    } catch (const ProgramEnd&) {
        // "Ende" is the ordinary way out; any other end is a "Nein" to a fatal question.
        if (!events_.endRequested) endStatus_ = name == "Ende" ? 0 : 1;
        events_.endRequested = true;
    } catch (const std::exception& e) {
        app_.platform.dialogs.tell("FEHLER", std::string("Unerwarteter Fehler: ") + e.what());
    } catch (...) {
        app_.platform.dialogs.tell("FEHLER", "Unerwarteter Fehler");
    }
    --depth_;
    running_.pop_back();
    if (events_.endRequested) {
        // Inside another command the end unwinds that command at its next wait.
        if (depth_ == 0) endProgram();
        return true;
    }
    if (redrawsMelody(name)) reloadMelody();
    sync();
    return true;
}

bool Win32Window::runAction(std::string_view name, double value) {
    const ControlAction* action = findAction(name);
    if (!action) return false;
    return invoke(name, [&] { action->run(app_, value); });
}

void Win32Window::show(int showCommand) {
    layout();
    ShowWindow(main_, showCommand);
    UpdateWindow(main_);
    // Form_Load follows the first paint of the empty window.
    PostMessageW(main_, kStartMessage, 0, 0);
}

void Win32Window::start() {
    if (started_) return;
    started_ = true;
    invoke("Form_Load", [this] { app_.Form_Load(); });
    reloadMelody();
    sync();
}

int Win32Window::run() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return endStatus_;
}

void Win32Window::endProgram() {
    if (ending_) return;
    ending_ = true;
    events_.endRequested = false;
    try {
        app_.Form_Unload();
    } catch (...) {
        // Closing the devices is all that is left to do; nothing more can be reported.
    }
    ShowWindow(chooser_, SW_HIDE);
    ShowWindow(main_, SW_HIDE);
    PostQuitMessage(endStatus_);
}

void Win32Window::closeRequested(HWND hwnd) {
    if (hwnd == chooser_) {
        c_.linienVisible = false;
        chooserVisible_ = false;
        ShowWindow(chooser_, SW_HIDE);
        return;
    }
    endStatus_ = 0;
    if (depth_ > 0) {
        // A running command ends at its next wait; the window closes after it.
        app_.stopPressed = true;
        events_.endRequested = true;
        return;
    }
    endProgram();
}

LRESULT CALLBACK Win32Window::windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
    return self->handle(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK Win32Window::bendProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && msg == WM_PAINT) {
        self->paintBender(hwnd);
        return 0;
    }
    if (self && msg == WM_MOUSEMOVE) {
        self->bendMoved(hwnd, GET_Y_LPARAM(lParam));
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK Win32Window::rollProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && msg == WM_PAINT) {
        self->paintRoll(hwnd);
        return 0;
    }
    if (msg == WM_ERASEBKGND) return TRUE; // the painting covers every pixel
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK Win32Window::subclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR id, DWORD_PTR data) {
    auto* self = reinterpret_cast<Win32Window*>(data);
    if (msg == WM_NCDESTROY) {
        RemoveWindowSubclass(hwnd, subclassProc, id);
        return DefSubclassProc(hwnd, msg, wParam, lParam);
    }
    if (msg == WM_ERASEBKGND && id == 3) {
        RECT r;
        GetClientRect(hwnd, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, self->brush(colors::grey));
        return TRUE;
    }
    if (hwnd == self->text1_ && msg == WM_KEYDOWN && wParam == VK_DELETE) {
        self->app_.Text1_KeyDown(46); // prints "Mausekuchen" on the window's surface
        self->sync();
    } else if (hwnd == self->label5_ && msg == WM_MOUSEMOVE) {
        self->runAction(self->c_.Label5.name);
    }
    return DefSubclassProc(hwnd, msg, wParam, lParam);
}

LRESULT Win32Window::handle(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case kStartMessage:
        start();
        return 0;
    case WM_TIMER:
        if (hwnd == main_ && wParam == kMelodyTimer) {
            if (started_ && !ending_ && depth_ == 0) checkMelody();
            return 0;
        }
        break;
    case WM_SIZE:
        if (main_ && chooser_ && !buttons_.empty()) layout();
        return 0;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {hwnd == chooser_ ? 200 : 900, hwnd == chooser_ ? 120 : 640};
        return 0;
    }
    case WM_COMMAND:
        command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_VSCROLL:
        if (reinterpret_cast<HWND>(lParam) == scroll_) scrolled(LOWORD(wParam));
        return 0;
    case WM_DRAWITEM:
        drawButton(*reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code == TTN_GETDISPINFOW) {
            auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
            tipBuffer_ = toWide(tooltipOf(reinterpret_cast<HWND>(header->idFrom)));
            info->lpszText = tipBuffer_.data();
            return 0;
        }
        break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        const Control* model = modelOf(reinterpret_cast<HWND>(lParam));
        Rgb back = model ? model->back : colors::grey;
        if (!model && hwnd == chooser_) break;
        SetTextColor(dc, rgb(model ? model->fore : colors::black));
        SetBkColor(dc, rgb(back));
        return reinterpret_cast<LRESULT>(brush(back));
    }
    case WM_PAINT: {
        if (hwnd != main_ || c_.printed.empty()) break;
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        HGDIOBJ old = SelectObject(dc, font(8, false));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
        TEXTMETRICW tm;
        GetTextMetricsW(dc, &tm);
        for (size_t i = 0; i < c_.printed.size(); ++i) {
            std::wstring line = toWide(c_.printed[i]);
            TextOutW(dc, 2, 2 + static_cast<int>(i) * tm.tmHeight, line.c_str(),
                     static_cast<int>(line.size()));
        }
        SelectObject(dc, old);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_CLOSE:
        closeRequested(hwnd);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

} // namespace tonfex
