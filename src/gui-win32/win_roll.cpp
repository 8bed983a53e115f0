#include "gui-win32/win_roll.h"

#include "platform/win_services.h"

#include <string>

namespace tonfex {

namespace {

COLORREF colour(Rgb c) {
    return RGB(c.r, c.g, c.b);
}

void paint(HDC dc, const std::vector<RollItem>& items) {
    for (const auto& item : items) {
        RECT r{item.box.left, item.box.top, item.box.right, item.box.bottom};
        switch (item.kind) {
        case RollItem::Fill:
            SetBkColor(dc, colour(item.colour));
            ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
            break;
        case RollItem::Frame: {
            HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
            HPEN pen = CreatePen(PS_SOLID, item.pen, colour(item.colour));
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
            SetTextColor(dc, colour(item.colour));
            SetBkMode(dc, TRANSPARENT);
            DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
                      (item.alignRight ? DT_RIGHT : DT_LEFT) | DT_VCENTER | DT_END_ELLIPSIS |
                          DT_SINGLELINE | DT_NOPREFIX);
            break;
        }
        }
    }
}

} // namespace

void paintPianoRoll(HDC dc, const RECT& area, const PianoRoll& roll, int sounding) {
    Box box{area.left, area.top, area.right, area.bottom};
    paint(dc, rollScene(box, roll));
    paint(dc, soundingMarker(box, roll, sounding));
}

} // namespace tonfex
