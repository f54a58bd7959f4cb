#include "progress/ProgressBar.h"

#include <cstdio>

bool monochromeDisplay = false;

ProgressBar::ProgressBar()
    : barColor(GetSysColor(COLOR_HIGHLIGHT)), backColor(GetSysColor(COLOR_MENU))
{
}

void ProgressBar::RepaintNow()
{
    if (!Handle()) return;
    Invalidate(false);
    Update();
}

void ProgressBar::SetRange(int32_t value)
{
    range = value;
    RepaintNow();
}

void ProgressBar::SetPos(int32_t value)
{
    position = value;
    RepaintNow();
}

void ProgressBar::SetColors(COLORREF bar, COLORREF back)
{
    barColor = bar;
    backColor = back;
}

bool ProgressBar::DrawItem(DRAWITEMSTRUCT& item)
{
    if (item.itemAction & ODA_DRAWENTIRE) Draw(item.hDC, item.rcItem);
    return true;
}

namespace {

// The outline of `r`: left and top edges in `topLeft`, right and bottom
// edges one pixel inside the rectangle in `bottomRight`.
void Outline(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight)
{
    HPEN light = CreatePen(PS_SOLID, 1, topLeft);
    HGDIOBJ old = SelectObject(dc, light);
    MoveToEx(dc, r.left, r.bottom - 1, nullptr);
    LineTo(dc, r.left, r.top);
    LineTo(dc, r.right - 1, r.top);
    HPEN dark = CreatePen(PS_SOLID, 1, bottomRight);
    SelectObject(dc, dark);
    MoveToEx(dc, r.right - 1, r.top, nullptr);
    LineTo(dc, r.right - 1, r.bottom - 1);
    LineTo(dc, r.left - 1, r.bottom - 1);
    SelectObject(dc, old);
    DeleteObject(light);
    DeleteObject(dark);
}

}  // namespace

void ProgressBar::Draw(HDC dc, const RECT& item) const
{
    // Frame: a dark line 2 pixels in, and outside it a two-pixel sunken
    // bevel unless the display has only two colours.
    RECT frame = item;
    InflateRect(&frame, -2, -2);
    COLORREF windowFrame = GetSysColor(COLOR_WINDOWFRAME);
    Outline(dc, frame, windowFrame, windowFrame);
    if (!monochromeDisplay) {
        COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
        COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
        InflateRect(&frame, 1, 1);
        Outline(dc, frame, shadow, highlight);
        InflateRect(&frame, 1, 1);
        Outline(dc, frame, shadow, highlight);
    }

    RECT bar = item;
    InflateRect(&bar, -3, -3);
    int w = bar.right - bar.left;
    int h = bar.bottom - bar.top;
    if (w < 0) w = 0;
    if (h < 0) h = 0;

    int filled = w;
    if (range != 0) {
        int64_t f = (int64_t)w * position / range;
        filled = (f > w || f < 0) ? (f < 0 ? 0 : w) : (int)f;
    }
    if (w == 0 || h == 0) return;
    char text[16];
    snprintf(text, sizeof text, "%u%%", (unsigned)(filled * 100 / w));

    // Compose off screen in one bit per pixel: white ground, black text,
    // the filled columns inverted. Copying it with the bar and back colours
    // as text and background colours gives both halves at once.
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP mono = CreateBitmap(w, h, 1, 1, nullptr);
    HGDIOBJ oldBitmap = SelectObject(memory, mono);
    HGDIOBJ oldFont = SelectObject(memory, GetCurrentObject(dc, OBJ_FONT));
    PatBlt(memory, 0, 0, w, h, WHITENESS);
    SetTextColor(memory, RGB(0, 0, 0));
    SetBkMode(memory, TRANSPARENT);
    RECT textRect{0, 0, w, h};
    DrawTextA(memory, text, -1, &textRect, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    if (filled > 0) PatBlt(memory, 0, 0, filled, h, DSTINVERT);

    COLORREF oldText = SetTextColor(dc, barColor);
    COLORREF oldBack = SetBkColor(dc, backColor);
    BitBlt(dc, bar.left, bar.top, w, h, memory, 0, 0, SRCCOPY);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);

    SelectObject(memory, oldFont);
    SelectObject(memory, oldBitmap);
    DeleteObject(mono);
    DeleteDC(memory);
}
