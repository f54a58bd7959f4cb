#include "progress/CvButton.h"

#include "resources/resource.h"
#include "fw/ResString.h"

CvButton::CvButton()
    : faceColor(GetSysColor(COLOR_BTNFACE)),
      highlightColor(GetSysColor(COLOR_BTNHIGHLIGHT)),
      shadowColor(GetSysColor(COLOR_BTNSHADOW))
{
}

CvButton::~CvButton()
{
    DropBitmaps();
}

void CvButton::DropBitmaps()
{
    for (HBITMAP* b : {&upBitmap, &downBitmap, &focusBitmap, &disabledBitmap}) {
        if (*b) DeleteObject(*b);
        *b = nullptr;
    }
}

int CvButton::LoadBitmaps(int controlId, const fw::Window& parentDialog, UINT up, UINT down,
                          UINT focus, UINT disabled, int bevelFlag)
{
    if (IsAttached()) Detach();
    if (!SubclassDlgItem(controlId, parentDialog)) return 0;
    bevel = bevelFlag;
    DropBitmaps();
    HINSTANCE instance = fw::ResourceInstance();
    upBitmap = LoadBitmapA(instance, MAKEINTRESOURCEA(up));
    if (!upBitmap) return 0;
    int result = 1;
    auto load = [&](UINT id, HBITMAP& target) {
        if (id == 0) return;
        target = LoadBitmapA(instance, MAKEINTRESOURCEA(id));
        if (!target) result = 0;
    };
    load(down, downBitmap);
    load(focus, focusBitmap);
    load(disabled, disabledBitmap);
    return result;
}

void CvButton::SizeToContent()
{
    if (!upBitmap || !Handle()) return;
    BITMAP bm{};
    GetObjectA(upBitmap, sizeof bm, &bm);
    SetWindowPos(Handle(), nullptr, 0, 0, bm.bmWidth, bm.bmHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

int CvButton::ReplaceUpBitmap(UINT bitmapId)
{
    HBITMAP replacement = LoadBitmapA(fw::ResourceInstance(), MAKEINTRESOURCEA(bitmapId));
    if (!replacement) return 0;
    if (upBitmap) DeleteObject(upBitmap);
    upBitmap = replacement;
    if (Handle()) {
        Invalidate(false);
        Update();
    }
    return 1;
}

LRESULT CvButton::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    HWND parent = Handle() ? GetParent(Handle()) : nullptr;
    switch (msg) {
    case WM_MOUSEMOVE:
    case WM_SETFOCUS:
        if (parent) SendMessageA(parent, UM_BUTTON_HOVER, ControlId(), 0);
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
        // The page sees the keys even while a picture button has the focus.
        if (parent) SendMessageA(parent, msg, wParam, lParam);
        break;
    }
    return DefaultProc(msg, wParam, lParam);
}

bool CvButton::DrawItem(DRAWITEMSTRUCT& item)
{
    LONG style = GetWindowLongA(item.hwndItem, GWL_STYLE);
    if (!(style & 0x0B)) return true;

    bool selected = item.itemState & ODS_SELECTED;
    bool focused = item.itemState & ODS_FOCUS;
    bool disabled = item.itemState & ODS_DISABLED;
    HBITMAP bitmap = upBitmap;
    if (selected && downBitmap) bitmap = downBitmap;
    else if (focused && focusBitmap) bitmap = focusBitmap;
    else if (disabled && disabledBitmap) bitmap = disabledBitmap;

    HBRUSH face = CreateSolidBrush(faceColor);
    FillRect(item.hDC, &item.rcItem, face);
    DeleteObject(face);

    if (upBitmap) {
        if (item.itemAction & (ODA_DRAWENTIRE | ODA_FOCUS)) {
            if (disabled || !focused) DrawPlainRaised(item.hDC, item.rcItem, bitmap);
            else DrawFocusedRaised(item.hDC, item.rcItem, bitmap);
        } else if (item.itemAction & ODA_SELECT) {
            if (selected) DrawPressed(item.hDC, item.rcItem, bitmap);
            else DrawFocusedRaised(item.hDC, item.rcItem, bitmap);
        }
    } else if (drawText) {
        std::string text = fw::WindowText(item.hwndItem);
        RECT r = item.rcItem;
        SetBkMode(item.hDC, TRANSPARENT);
        DrawTextA(item.hDC, text.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER);
    }
    return true;
}

namespace {

void Line(HDC dc, COLORREF color, int x1, int y1, int x2, int y2)
{
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
    SelectObject(dc, old);
    DeleteObject(pen);
}

SIZE BitmapSize(HBITMAP bitmap)
{
    BITMAP bm{};
    if (bitmap) GetObjectA(bitmap, sizeof bm, &bm);
    return SIZE{bm.bmWidth, bm.bmHeight};
}

void FocusAround(HDC dc, int x, int y, SIZE size)
{
    RECT r{x - 1, y - 1, x + size.cx + 1, y + size.cy + 1};
    DrawFocusRect(dc, &r);
}

}  // namespace

void CvButton::OuterFrame(HDC dc, const RECT& rect)
{
    HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    FrameRect(dc, &rect, black);
    SetPixel(dc, rect.left, rect.top, faceColor);
    SetPixel(dc, rect.right - 1, rect.top, faceColor);
    SetPixel(dc, rect.left, rect.bottom - 1, faceColor);
    SetPixel(dc, rect.right - 1, rect.bottom - 1, faceColor);
}

void CvButton::InnerFrame(HDC dc, const RECT& rect)
{
    RECT inner = rect;
    InflateRect(&inner, -1, -1);
    FrameRect(dc, &inner, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void CvButton::Blit(HDC dc, HBITMAP bitmap, int x, int y, bool replaceGrey)
{
    if (!bitmap) return;
    SIZE size = BitmapSize(bitmap);
    HDC image = CreateCompatibleDC(dc);
    HGDIOBJ oldImage = SelectObject(image, bitmap);
    if (replaceGrey) {
        // A one-bit mask that is 1 where the picture has the exact grey,
        // then the face colour painted through it into the picture.
        HDC maskDc = CreateCompatibleDC(dc);
        HBITMAP mask = CreateBitmap(size.cx, size.cy, 1, 1, nullptr);
        HGDIOBJ oldMask = SelectObject(maskDc, mask);
        COLORREF oldBk = SetBkColor(image, RGB(192, 192, 192));
        BitBlt(maskDc, 0, 0, size.cx, size.cy, image, 0, 0, SRCCOPY);
        SetBkColor(image, RGB(255, 255, 255));
        COLORREF oldText = SetTextColor(image, RGB(0, 0, 0));
        HBRUSH face = CreateSolidBrush(faceColor);
        HGDIOBJ oldBrush = SelectObject(image, face);
        constexpr DWORD kDSPDxax = 0x00E20746;  // pattern where the mask is 1
        BitBlt(image, 0, 0, size.cx, size.cy, maskDc, 0, 0, kDSPDxax);
        SelectObject(image, oldBrush);
        DeleteObject(face);
        SetTextColor(image, oldText);
        SetBkColor(image, oldBk);
        SelectObject(maskDc, oldMask);
        DeleteObject(mask);
        DeleteDC(maskDc);
    }
    BitBlt(dc, x, y, size.cx, size.cy, image, 0, 0, SRCCOPY);
    SelectObject(image, oldImage);
    DeleteDC(image);
}

void CvButton::Bevel(HDC dc, const RECT& rect, int first)
{
    int w = rect.right - rect.left, h = rect.bottom - rect.top;
    int l = rect.left, t = rect.top;
    for (int in : {first, first + 1}) {
        Line(dc, highlightColor, l + in, t + in, l + w - in, t + in);
        Line(dc, highlightColor, l + in, t + in, l + in, t + h - in);
    }
    for (int in : {first, first + 1}) {
        Line(dc, shadowColor, l + w - in - 1, t + first, l + w - in - 1, t + h - first);
        Line(dc, shadowColor, l + first, t + h - in - 1, l + w - first, t + h - in - 1);
    }
}

void CvButton::DrawPlainRaised(HDC dc, const RECT& rect, HBITMAP bitmap)
{
    int w = rect.right - rect.left, h = rect.bottom - rect.top;
    int l = rect.left, t = rect.top;
    if (bevel == 1) {
        OuterFrame(dc, rect);
        Bevel(dc, rect, 1);
    }
    SIZE size = BitmapSize(bitmap);
    Blit(dc, bitmap, l + (w - size.cx) / 2, t + (h - size.cy) / 2, true);
}

void CvButton::DrawFocusedRaised(HDC dc, const RECT& rect, HBITMAP bitmap)
{
    int w = rect.right - rect.left, h = rect.bottom - rect.top;
    int l = rect.left, t = rect.top;
    OuterFrame(dc, rect);
    InnerFrame(dc, rect);
    Bevel(dc, rect, 2);
    SIZE size = BitmapSize(bitmap);
    int x = l + (w - size.cx) / 2, y = t + (h - size.cy) / 2;
    Blit(dc, bitmap, x, y, true);
    FocusAround(dc, x, y, size);
}

void CvButton::DrawPressed(HDC dc, const RECT& rect, HBITMAP bitmap)
{
    int w = rect.right - rect.left, h = rect.bottom - rect.top;
    int l = rect.left, t = rect.top;
    OuterFrame(dc, rect);
    InnerFrame(dc, rect);
    HPEN pen = CreatePen(PS_SOLID, 1, shadowColor);
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, l + 2, t + h - 2, nullptr);
    LineTo(dc, l + 2, t + 2);
    LineTo(dc, l + w - 3, t + 2);
    SelectObject(dc, old);
    DeleteObject(pen);
    SIZE size = BitmapSize(bitmap);
    int x = l + (w - size.cx) / 2 + 1, y = t + (h - size.cy) / 2 + 1;
    Blit(dc, bitmap, x, y, false);
    FocusAround(dc, x, y, size);
}

namespace {
UINT LightBitmap(int state)
{
    return state == 1 ? IDB_LIGHT_GREEN : state == 0 ? IDB_LIGHT_YELLOW : state == -1 ? IDB_LIGHT_RED : 0;
}
}  // namespace

void CvButton::InitLight(int controlId, const fw::Window& parentDialog, int state)
{
    UINT id = LightBitmap(state);
    if (!id) return;
    LoadBitmaps(controlId, parentDialog, id, 0, 0, 0, 0);
    SizeToContent();
}

void CvButton::ShowLight(int state)
{
    if (UINT id = LightBitmap(state)) ReplaceUpBitmap(id);
}
