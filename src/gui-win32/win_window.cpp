#include "gui-win32/win_window.h"

#include "ui/driver.h"
#include "ui/symbols.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace tonfex {

namespace {

// The window class names, so that other programs (and the tests) find the windows.
constexpr wchar_t kMainClass[] = L"TonfexMain";
constexpr wchar_t kChooserClass[] = L"TonfexLinien";
constexpr wchar_t kBendClass[] = L"TonfexBender";
constexpr wchar_t kRollClass[] = L"TonfexPianoroll";

constexpr int kSlotId = 1000; // the control id of slot 0
constexpr UINT kStartMessage = WM_APP + 1;
constexpr UINT_PTR kMelodyTimer = 1; // the idle window's look at the melody file

COLORREF rgb(Rgb c) {
    return RGB(c.r, c.g, c.b);
}

// The scene of the piano roll (ui/roll_scene.h) with GDI.
void paintItems(HDC dc, const std::vector<RollItem>& items) {
    for (const auto& item : items) {
        RECT r{item.box.left, item.box.top, item.box.right, item.box.bottom};
        switch (item.kind) {
        case RollItem::Fill:
            SetBkColor(dc, rgb(item.colour));
            ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
            break;
        case RollItem::Frame: {
            HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
            HPEN pen = CreatePen(PS_SOLID, item.pen, rgb(item.colour));
            HGDIOBJ oldPen = SelectObject(dc, pen);
            Rectangle(dc, r.left, r.top, r.right, r.bottom);
            SelectObject(dc, oldPen);
            SelectObject(dc, oldBrush);
            DeleteObject(pen);
            break;
        }
        case RollItem::Text: {
            std::wstring text = toWide(item.text), wider = toWide(item.wider);
            SIZE size{};
            GetTextExtentPoint32W(dc, wider.c_str(), static_cast<int>(wider.size()), &size);
            if (!wider.empty() && size.cx <= r.right - r.left) text = wider;
            SetTextColor(dc, rgb(item.colour));
            SetBkMode(dc, TRANSPARENT);
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
                      (item.alignRight ? DT_RIGHT : DT_LEFT) | DT_VCENTER | DT_END_ELLIPSIS |
                          DT_SINGLELINE | DT_NOPREFIX);
            break;
        }
        }
    }
}

// A button's symbol (ui/symbols.h) with a pen of the caption's colour.
void drawSymbol(HDC dc, const RECT& r, const std::string& name, COLORREF colour) {
    HPEN pen = CreatePen(PS_SOLID, 2, colour);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    SetTextColor(dc, colour);
    for (const ui::Stroke& s : ui::buttonSymbol(name, {r.left, r.top, r.right, r.bottom})) {
        RECT box{s.box.left, s.box.top, s.box.right, s.box.bottom};
        const auto& p = s.points;
        switch (s.kind) {
        case ui::Stroke::Arc:
            Arc(dc, box.left, box.top, box.right, box.bottom, p[0].x, p[0].y, p[1].x, p[1].y);
            break;
        case ui::Stroke::Line:
            MoveToEx(dc, p[0].x, p[0].y, nullptr);
            LineTo(dc, p[1].x, p[1].y);
            break;
        case ui::Stroke::Ellipse: Ellipse(dc, box.left, box.top, box.right, box.bottom); break;
        case ui::Stroke::Rectangle: Rectangle(dc, box.left, box.top, box.right, box.bottom); break;
        case ui::Stroke::Letter:
            DrawTextW(dc, toWide(s.text).c_str(), -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            break;
        case ui::Stroke::Polygon: {
            std::vector<POINT> corners;
            for (const ui::Point& q : p)
                corners.push_back({q.x, q.y});
            SelectObject(dc, GetStockObject(BLACK_BRUSH));
            Polygon(dc, corners.data(), static_cast<int>(corners.size()));
            break;
        }
        }
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

class Win32Window {
public:
    Win32Window(App& app, WinEvents& events, WinDialogs& dialogs, WinClipboard& clipboard)
        : app_(app), dialogs_(dialogs), clipboard_(clipboard),
          instance_(GetModuleHandleW(nullptr)), driver_(app, painter_, events) {
        paintControls();
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_BAR_CLASSES};
        InitCommonControlsEx(&icc);
        auto addClass = [this](const wchar_t* name, WNDPROC proc, HBRUSH back, LPCWSTR cursor) {
            WNDCLASSEXW wc{};
            wc.cbSize = sizeof wc;
            wc.lpfnWndProc = proc;
            wc.hInstance = instance_;
            wc.hCursor = LoadCursorW(nullptr, cursor);
            wc.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
            wc.hbrBackground = back;
            wc.lpszClassName = name;
            RegisterClassExW(&wc);
        };
        const auto arrow = reinterpret_cast<LPCWSTR>(IDC_ARROW);
        addClass(kMainClass, windowProc, brush(colors::grey), arrow);
        addClass(kChooserClass, windowProc, GetSysColorBrush(COLOR_BTNFACE), arrow);
        addClass(kRollClass, childProc, nullptr, arrow);
        addClass(kBendClass, childProc, nullptr, reinterpret_cast<LPCWSTR>(IDC_CROSS));

        // The window's size on a 1280 x 800 screen, smaller where the screen is.
        RECT work{0, 0, 1280, 800};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        int width = std::min(1280, static_cast<int>(work.right - work.left));
        int height = std::min(800, static_cast<int>(work.bottom - work.top));
        main_ = CreateWindowExW(0, kMainClass, L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                work.left, work.top, width, height, nullptr, nullptr, instance_,
                                this);
        // The chooser is a popup owned by the main window, so that it stays in front of it.
        chooser_ = CreateWindowExW(0, kChooserClass, L"",
                                   WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                                       WS_CLIPCHILDREN,
                                   work.left + 200, work.top + 150, 520, 300, main_, nullptr,
                                   instance_, this);
        dialogs_.owner = main_;
        clipboard_.owner = main_;
        const auto& places = driver_.places();
        for (size_t i = 0; i < places.size(); ++i)
            hwnds_.push_back(make(static_cast<int>(i), places[i]));
        extents_.assign(places.size(), 0);
        // The group frames lie beneath the controls they frame.
        for (size_t i = 0; i < places.size(); ++i)
            if (places[i].kind == ui::Kind::Group)
                SetWindowPos(hwnds_[i], HWND_BOTTOM, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        driver_.drawBeforeDialogs(dialogs_);
        // An idle window follows the melody file as the composer edits it; a running command
        // looks at it in its waits (sync).
        SetTimer(main_, kMelodyTimer, 500, nullptr);
        driver_.sync();
    }
    ~Win32Window() {
        dialogs_.owner = nullptr;
        clipboard_.owner = nullptr;
        if (chooser_) DestroyWindow(chooser_);
        if (main_) DestroyWindow(main_);
        for (auto& [key, f] : fonts_)
            DeleteObject(f);
        for (auto& [key, b] : brushes_)
            DeleteObject(b);
    }
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    // Shows the window; Form_Load runs as soon as it is on the screen. Then the message loop
    // until the program ends.
    int run(int showCommand) {
        fit();
        ShowWindow(main_, showCommand);
        UpdateWindow(main_);
        // Form_Load follows the first paint of the empty window.
        PostMessageW(main_, kStartMessage, 0, 0);
        MSG msg;
        while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        return endStatus_;
    }

private:
    HWND child(const wchar_t* cls, const std::string& text, DWORD style, DWORD exStyle, HWND parent,
               int id) {
        HWND hwnd =
            CreateWindowExW(exStyle, cls, toWide(text).c_str(),
                            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, 0, 0, 10, 10, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font(8, false)), FALSE);
        return hwnd;
    }

    void addTooltip(HWND hwnd) {
        HWND parent = GetParent(hwnd);
        HWND& tips = parent == chooser_ ? chooserTooltip_ : tooltip_;
        if (!tips) {
            tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                   WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr,
                                   instance_, nullptr);
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

    // The controls whose messages the window sees first, by their subclass ids.
    enum Subclass : UINT_PTR { kText1 = 1, kLabel5 = 2, kFrame = 3 };
    HWND subclass(HWND hwnd, Subclass id) {
        SetWindowSubclass(hwnd, subclassProc, id, reinterpret_cast<DWORD_PTR>(this));
        return hwnd;
    }

    HWND make(int slot, const ui::Slot& s) {
        int id = kSlotId + slot;
        const std::string name = s.model ? s.model->name : std::string();
        HWND hwnd = nullptr;
        switch (s.kind) {
        case ui::Kind::Group:
            hwnd = child(L"BUTTON", s.text, BS_GROUPBOX, 0, main_, 0);
            // A frame paints no inside of its own: it gets the window's grey, also where a control
            // in it was hidden.
            return subclass(hwnd, kFrame);
        case ui::Kind::Title:
            return child(L"STATIC", s.text, SS_LEFT | SS_CENTERIMAGE, 0, main_, 0);
        case ui::Kind::Button:
            hwnd = child(L"BUTTON", s.model->caption, BS_OWNERDRAW | WS_TABSTOP, 0, main_, id);
            break;
        case ui::Kind::List:
            // The list's window text is its name: tests and tools find it by that.
            hwnd = child(L"LISTBOX", name,
                         LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS | WS_VSCROLL |
                             WS_HSCROLL | WS_TABSTOP,
                         WS_EX_CLIENTEDGE, s.inChooser ? chooser_ : main_, id);
            break;
        case ui::Kind::Text:
        case ui::Kind::Entry:
            hwnd = child(L"EDIT", "",
                         ES_AUTOHSCROLL | (s.kind == ui::Kind::Text ? ES_READONLY : WS_TABSTOP),
                         WS_EX_CLIENTEDGE, main_, id);
            if (name == "Text1") subclass(hwnd, kText1);
            break;
        case ui::Kind::Label:
            if (name == "Label5")
                return subclass(
                    child(L"STATIC", "", SS_LEFT | SS_NOTIFY | SS_NOPREFIX, 0, main_, 0), kLabel5);
            return child(L"STATIC", "",
                         (name == "Label3" ? SS_CENTER : SS_LEFT) | SS_CENTERIMAGE | SS_NOPREFIX, 0,
                         main_, 0);
        case ui::Kind::Line:
            return child(L"STATIC", "", SS_LEFT, 0, main_, 0);
        case ui::Kind::Roll:
            hwnd = roll_ = child(kRollClass, "Pianoroll", 0, WS_EX_CLIENTEDGE, main_, 0);
            SetWindowLongPtrW(roll_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
            break;
        case ui::Kind::Bend:
            hwnd = bender_ = child(kBendClass, name, 0, WS_EX_CLIENTEDGE, main_, 0);
            SetWindowLongPtrW(bender_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
            break;
        case ui::Kind::Scroll:
            hwnd = scroll_ = child(L"SCROLLBAR", name, SBS_VERT, 0, main_, 0);
            break;
        }
        addTooltip(hwnd);
        return hwnd;
    }

    void fit() {
        RECT r;
        GetClientRect(chooser_, &r);
        driver_.resizeChooser(r.right, r.bottom);
        GetClientRect(main_, &r);
        HDC dc = GetDC(main_);
        int dpi = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(main_, dc);
        driver_.resize(r.right, r.bottom, dpi, GetSystemMetrics(SM_CXVSCROLL));
    }

    void paintControls() {
        painter_.place = [this](int slot, const Box& b) {
            SetWindowPos(hwnds_[size_t(slot)], nullptr, b.left, b.top, b.width(), b.height(),
                         SWP_NOZORDER | SWP_NOACTIVATE);
        };
        painter_.laidOut = [this] { InvalidateRect(main_, nullptr, TRUE); };
        painter_.showLook = [this](int slot, const Control& m) {
            // The colours come with WM_CTLCOLOR* and WM_DRAWITEM: a repaint shows them.
            HWND hwnd = hwnds_[size_t(slot)];
            SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font(m.fontSize, m.bold)),
                         TRUE);
            InvalidateRect(hwnd, nullptr, TRUE);
        };
        painter_.showState = [this](int slot, bool enabled, bool visible) {
            EnableWindow(hwnds_[size_t(slot)], enabled);
            ShowWindow(hwnds_[size_t(slot)], visible ? SW_SHOWNA : SW_HIDE);
        };
        painter_.showCaption = [this](int slot, const std::string& text) {
            SetWindowTextW(hwnds_[size_t(slot)], toWide(text).c_str());
        };
        painter_.showLines = [this](int slot, const std::vector<std::string>& lines, size_t from) {
            HWND list = hwnds_[size_t(slot)];
            int& extent = extents_[size_t(slot)];
            const Control& model = *driver_.places()[size_t(slot)].model;
            SendMessageW(list, WM_SETREDRAW, FALSE, 0);
            if (from == 0) {
                SendMessageW(list, LB_RESETCONTENT, 0, 0);
                extent = 0;
            }
            HDC dc = GetDC(list);
            HGDIOBJ old = SelectObject(dc, font(model.fontSize, model.bold));
            for (size_t i = from; i < lines.size(); ++i) {
                std::wstring line = toWide(lines[i]);
                SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
                SIZE size{};
                GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
                extent = std::max(extent, static_cast<int>(size.cx) + 8);
            }
            SelectObject(dc, old);
            ReleaseDC(list, dc);
            SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(extent), 0);
            // A growing play list shows its newest line.
            if (from > 0 && model.name == "Daten")
                SendMessageW(list, LB_SETTOPINDEX, lines.size() - 1, 0);
            SendMessageW(list, WM_SETREDRAW, TRUE, 0);
            InvalidateRect(list, nullptr, TRUE);
        };
        painter_.showSelection = [this](int slot, int row) {
            SendMessageW(hwnds_[size_t(slot)], LB_SETCURSEL, static_cast<WPARAM>(row), 0);
        };
        painter_.showScroll = [this](const ScrollBar& m) {
            // The scroll bar's top is its highest value: the position counts downwards.
            SCROLLINFO info{sizeof info, SIF_RANGE | SIF_POS | SIF_PAGE, m.min, m.max, 0,
                            m.max + m.min - m.value, 0};
            SetScrollInfo(scroll_, SB_CTL, &info, TRUE);
        };
        painter_.showBend = [this] { InvalidateRect(bender_, nullptr, TRUE); };
        painter_.showTitle = [this](bool chooser, const std::string& caption) {
            SetWindowTextW(chooser ? chooser_ : main_, toWide(caption).c_str());
        };
        painter_.showChooser = [this](bool visible) {
            ShowWindow(chooser_, visible ? SW_SHOW : SW_HIDE);
            if (visible) SetForegroundWindow(chooser_);
        };
        painter_.showRoll = [this](const PianoRoll&) { InvalidateRect(roll_, nullptr, FALSE); };
        painter_.showSounding = [this](int tone) {
            sounding_ = tone;
            InvalidateRect(roll_, nullptr, FALSE);
        };
        painter_.showPrinted = [this] { InvalidateRect(main_, nullptr, TRUE); };
        painter_.ended = [this](int status) {
            endStatus_ = status;
            ShowWindow(chooser_, SW_HIDE);
            ShowWindow(main_, SW_HIDE);
            PostQuitMessage(status);
        };
    }

    HFONT font(int pointSize, bool bold) {
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

    HBRUSH brush(Rgb colour) {
        int key = (colour.r << 16) | (colour.g << 8) | colour.b;
        if (auto it = brushes_.find(key); it != brushes_.end()) return it->second;
        HBRUSH b = CreateSolidBrush(rgb(colour));
        brushes_[key] = b;
        return b;
    }

    int slotOf(HWND hwnd) const {
        for (size_t i = 0; i < hwnds_.size(); ++i)
            if (hwnds_[i] == hwnd) return static_cast<int>(i);
        return -1;
    }

    const Control* modelOf(HWND hwnd) const {
        int slot = slotOf(hwnd);
        return slot < 0 ? nullptr : driver_.places()[size_t(slot)].model;
    }

    void drawButton(const DRAWITEMSTRUCT& item) {
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
        std::wstring caption = toWide(windowText(item.hwndItem));
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

    void paintBender(HDC dc, const RECT& r) {
        const BendArea& m = app_.c.Bender;
        FillRect(dc, &r, brush(m.back));
        if (int y = ui::bendMarkerY(m, r.bottom); y >= 0 && r.bottom > 1) {
            HPEN pen = CreatePen(PS_SOLID, 2, rgb(m.fore));
            HGDIOBJ old = SelectObject(dc, pen);
            MoveToEx(dc, 0, y, nullptr);
            LineTo(dc, r.right, y);
            SelectObject(dc, old);
            DeleteObject(pen);
        }
    }

    void paintRoll(HDC dc, const RECT& r) {
        // Drawn into a bitmap first, so that a play's marker moves without flicker.
        HDC memory = CreateCompatibleDC(dc);
        HBITMAP bitmap = CreateCompatibleBitmap(dc, std::max(1L, r.right), std::max(1L, r.bottom));
        HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
        HGDIOBJ oldFont = SelectObject(memory, font(8, false));
        const Box area{r.left, r.top, r.right, r.bottom};
        paintItems(memory, rollScene(area, driver_.roll()));
        paintItems(memory, soundingMarker(area, driver_.roll(), sounding_));
        BitBlt(dc, 0, 0, r.right, r.bottom, memory, 0, 0, SRCCOPY);
        SelectObject(memory, oldFont);
        SelectObject(memory, oldBitmap);
        DeleteObject(bitmap);
        DeleteDC(memory);
    }

    void command(int id, int code, HWND hwnd) {
        int slot = id - kSlotId;
        if (driver_.syncing() || slot < 0 || slot >= static_cast<int>(hwnds_.size())) return;
        ui::Kind kind = driver_.places()[size_t(slot)].kind;
        if (kind == ui::Kind::Button && code == BN_CLICKED) {
            driver_.clicked(slot);
        } else if (kind == ui::Kind::List && code == LBN_SELCHANGE) {
            driver_.picked(slot, static_cast<int>(SendMessageW(hwnd, LB_GETCURSEL, 0, 0)));
        } else if (kind == ui::Kind::Entry && code == EN_CHANGE) {
            driver_.edited(slot, windowText(hwnd));
        }
    }

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (!self) return DefWindowProcW(hwnd, msg, wParam, lParam);
        return self->handle(hwnd, msg, wParam, lParam);
    }

    static LRESULT CALLBACK subclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                                               UINT_PTR id, DWORD_PTR data) {
        auto* self = reinterpret_cast<Win32Window*>(data);
        if (msg == WM_NCDESTROY) {
            RemoveWindowSubclass(hwnd, subclassProc, id);
            return DefSubclassProc(hwnd, msg, wParam, lParam);
        }
        if (msg == WM_ERASEBKGND && id == kFrame) {
            RECT r;
            GetClientRect(hwnd, &r);
            FillRect(reinterpret_cast<HDC>(wParam), &r, self->brush(colors::grey));
            return TRUE;
        }
        if (id == kText1 && msg == WM_KEYDOWN && wParam == VK_DELETE) {
            self->driver_.deletePressed(); // prints "Mausekuchen" on the window's surface
        } else if (id == kLabel5 && msg == WM_MOUSEMOVE) {
            self->driver_.run("Label5");
        }
        return DefSubclassProc(hwnd, msg, wParam, lParam);
    }

    LRESULT handle(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        switch (msg) {
        case kStartMessage:
            driver_.start();
            return 0;
        case WM_TIMER:
            if (hwnd == main_ && wParam == kMelodyTimer) {
                driver_.idle();
                return 0;
            }
            break;
        case WM_SIZE:
            if (main_ && chooser_ && hwnds_.size() == driver_.places().size()) fit();
            return 0;
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize = {hwnd == chooser_ ? 200 : ui::kMinimumWidth,
                                    hwnd == chooser_ ? 120 : ui::kMinimumHeight};
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
                int slot = slotOf(reinterpret_cast<HWND>(header->idFrom));
                tipBuffer_ = slot < 0 ? std::wstring() : toWide(driver_.tooltip(slot));
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
            const auto& printed = driver_.printed();
            if (hwnd != main_ || printed.empty()) break;
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            HGDIOBJ old = SelectObject(dc, font(8, false));
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, RGB(0, 0, 0));
            TEXTMETRICW tm;
            GetTextMetricsW(dc, &tm);
            for (size_t i = 0; i < printed.size(); ++i) {
                std::wstring line = toWide(printed[i]);
                TextOutW(dc, 2, 2 + static_cast<int>(i) * tm.tmHeight, line.c_str(),
                         static_cast<int>(line.size()));
            }
            SelectObject(dc, old);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_CLOSE:
            if (hwnd == chooser_) {
                driver_.chooserClosed();
                ShowWindow(chooser_, SW_HIDE);
            } else {
                driver_.closeRequested();
            }
            return 0;
        default:
            break;
        }
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }

    // The piano roll and the bend area, which the window paints; the bend follows the mouse.
    static LRESULT CALLBACK childProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        const bool roll = self && hwnd == self->roll_;
        RECT r;
        GetClientRect(hwnd, &r);
        if (self && msg == WM_PAINT) {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            if (roll)
                self->paintRoll(dc, r);
            else
                self->paintBender(dc, r);
            EndPaint(hwnd, &ps);
            return 0;
        }
        if (self && !roll && msg == WM_MOUSEMOVE) {
            self->driver_.bent(GET_Y_LPARAM(lParam), r.bottom);
            return 0;
        }
        if (roll && msg == WM_ERASEBKGND) return TRUE; // the painting covers every pixel
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }

    void scrolled(int request) {
        // The requests in the order of their numbers, SB_LINEUP (0) to SB_BOTTOM (7).
        using R = ui::ScrollRequest;
        static constexpr R kRequests[] = {R::LineUp, R::LineDown, R::PageUp, R::PageDown,
                                          R::Thumb,  R::Thumb,    R::Top,    R::Bottom};
        if (request < 0 || request > SB_BOTTOM) return;
        SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
        GetScrollInfo(scroll_, SB_CTL, &info);
        const ScrollBar& m = app_.c.VScroll1;
        if (auto position = ui::scrollTarget(m, kRequests[request], info.nPos, info.nTrackPos,
                                             info.nMin, info.nMax)) {
            SetScrollPos(scroll_, SB_CTL, *position, TRUE);
            driver_.scrolled(m.max + m.min - *position);
        }
    }

    App& app_;
    WinDialogs& dialogs_;
    WinClipboard& clipboard_;
    HINSTANCE instance_;
    HWND main_ = nullptr, chooser_ = nullptr;
    HWND tooltip_ = nullptr, chooserTooltip_ = nullptr; // for the controls of each window
    ui::Painter painter_;
    ui::Driver driver_;
    std::vector<HWND> hwnds_;  // by slot
    std::vector<int> extents_; // a list's widest line in pixels, for its horizontal scroll bar
    HWND scroll_ = nullptr, bender_ = nullptr, roll_ = nullptr;
    int sounding_ = 0;
    std::map<std::pair<int, bool>, HFONT> fonts_;
    std::map<int, HBRUSH> brushes_;
    std::wstring tipBuffer_;
    int endStatus_ = 0;
};

} // namespace

void WinEvents::handlePending() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // The outer loop must see the quit too; the running command ends first.
            PostQuitMessage(static_cast<int>(msg.wParam));
            endRequested = true;
            break;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

int runWin32Window(App& app, WinEvents& events, WinDialogs& dialogs, WinClipboard& clipboard,
                   int showCommand) {
    Win32Window window(app, events, dialogs, clipboard);
    return window.run(showCommand);
}

} // namespace tonfex
