// Drawing of the percentage bar and the picture button, checked pixel by
// pixel in a memory bitmap.
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "fw/FrameWindow.h"
#include "progress/CvButton.h"
#include "progress/ProgressBar.h"
#include "support/Canvas.h"

namespace {

constexpr COLORREF kBar = RGB(0, 0, 128);
constexpr COLORREF kBack = RGB(255, 255, 0);

struct BarColumns {
    int barGround = 0;  // columns whose ground is the bar colour
    int firstBackColumn = -1;
};

// Draws a bar and returns, per column of the bar area, which colour most
// of its pixels have. Every pixel must be one of the two colours.
std::vector<COLORREF> DrawBar(int width, int position, int range, Canvas& canvas)
{
    ProgressBar bar;
    bar.SetColors(kBar, kBack);
    bar.position = position;
    bar.range = range;
    RECT r{0, 0, width, 30};
    bar.Draw(canvas.Dc(), r);
    std::vector<COLORREF> columns;
    for (int x = 3; x < width - 3; ++x) {
        int barCount = 0;
        for (int y = 3; y < 27; ++y) {
            COLORREF c = canvas.At(x, y);
            EXPECT_TRUE(c == kBar || c == kBack) << "pixel " << x << "," << y;
            if (c == kBar) ++barCount;
        }
        columns.push_back(barCount * 2 > 24 ? kBar : kBack);
    }
    return columns;
}

int FilledColumns(const std::vector<COLORREF>& columns)
{
    int n = 0;
    while (n < (int)columns.size() && columns[n] == kBar) ++n;
    for (size_t i = n; i < columns.size(); ++i) EXPECT_EQ(columns[i], kBack) << "column " << i;
    return n;
}

}  // namespace

TEST(ProgressBarDrawing, FilledWidthFollowsPositionAndRange)
{
    struct Case { int position, range, filled; } cases[] = {
        {0, 100, 0}, {50, 100, 97}, {100, 100, 194}, {250, 100, 194}, {7, 0, 194}, {1, 3, 64},
    };
    for (const Case& c : cases) {
        Canvas canvas(200, 30);
        EXPECT_EQ(FilledColumns(DrawBar(200, c.position, c.range, canvas)), c.filled)
            << c.position << "/" << c.range;
    }
}

TEST(ProgressBarDrawing, NumberChangesColourExactlyAtTheEdge)
{
    Canvas canvas(200, 30);
    DrawBar(200, 50, 100, canvas);
    const int edge = 3 + 97;  // first column of the empty part
    // Text pixels just left of the edge are in the back colour, just right
    // of it in the bar colour: the number is split at the edge.
    bool textLeft = false, textRight = false;
    for (int y = 3; y < 27; ++y) {
        for (int x = edge - 12; x < edge; ++x) textLeft |= canvas.At(x, y) == kBack;
        for (int x = edge; x < edge + 12; ++x) textRight |= canvas.At(x, y) == kBar;
    }
    EXPECT_TRUE(textLeft);
    EXPECT_TRUE(textRight);
    // Nowhere is there a mixed column at the edge itself: the ground flips.
    EXPECT_EQ(canvas.At(edge - 1, 4), kBar);
    EXPECT_EQ(canvas.At(edge, 4), kBack);
}

TEST(ProgressBarDrawing, FrameAndBevel)
{
    COLORREF frame = GetSysColor(COLOR_WINDOWFRAME);
    COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF untouched = RGB(1, 2, 3);
    for (bool mono : {false, true}) {
        monochromeDisplay = mono;
        Canvas canvas(200, 30);
        DrawBar(200, 10, 100, canvas);
        EXPECT_EQ(canvas.At(2, 10), frame);
        EXPECT_EQ(canvas.At(197, 10), frame);
        EXPECT_EQ(canvas.At(50, 27), frame);
        if (mono) {
            EXPECT_EQ(canvas.At(1, 10), untouched);
            EXPECT_EQ(canvas.At(0, 10), untouched);
        } else {
            EXPECT_EQ(canvas.At(1, 10), shadow);
            EXPECT_EQ(canvas.At(0, 10), shadow);
            EXPECT_EQ(canvas.At(50, 0), shadow);
            EXPECT_EQ(canvas.At(199, 10), highlight);
            EXPECT_EQ(canvas.At(50, 29), highlight);
        }
    }
    monochromeDisplay = false;
}

TEST(ProgressBarDrawing, ZeroWidthBarDrawsOnlyTheFrame)
{
    Canvas canvas(6, 30);
    ProgressBar bar;
    bar.SetColors(kBar, kBack);
    RECT r{0, 0, 6, 30};
    bar.Draw(canvas.Dc(), r);  // must not crash, and there is no bar to paint
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 6; ++x) {
            EXPECT_NE(canvas.At(x, y), kBar);
            EXPECT_NE(canvas.At(x, y), kBack);
        }
}

namespace {

// A bitmap of `w` x `h` filled with `fill`, with a black dot at its centre.
HBITMAP MakeBitmap(int w, int h, COLORREF fill)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT r{0, 0, w, h};
    HBRUSH brush = CreateSolidBrush(fill);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    SetPixel(dc, w / 2, h / 2, RGB(0, 0, 0));
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

COLORREF BitmapPixel(HBITMAP bitmap, int x, int y)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    return c;
}

constexpr COLORREF kFace = RGB(10, 200, 30);
constexpr COLORREF kHighlight = RGB(250, 250, 250);
constexpr COLORREF kShadow = RGB(100, 100, 100);

void Prepare(CvButton& button)
{
    button.faceColor = kFace;
    button.highlightColor = kHighlight;
    button.shadowColor = kShadow;
}

}  // namespace

TEST(CvButtonDrawing, PlainRaisedFramesAndReplacesGreyForGood)
{
    CvButton button;
    Prepare(button);
    HBITMAP picture = MakeBitmap(20, 10, RGB(192, 192, 192));
    Canvas canvas(40, 30);
    RECT r{0, 0, 40, 30};
    button.DrawPlainRaised(canvas.Dc(), r, picture);
    EXPECT_EQ(canvas.At(0, 0), kFace);        // corners take the face colour
    EXPECT_EQ(canvas.At(39, 29), kFace);
    EXPECT_EQ(canvas.At(5, 0), RGB(0, 0, 0)); // outer frame
    EXPECT_EQ(canvas.At(5, 1), kHighlight);
    EXPECT_EQ(canvas.At(1, 5), kHighlight);
    EXPECT_EQ(canvas.At(2, 5), kHighlight);
    EXPECT_EQ(canvas.At(38, 5), kShadow);
    EXPECT_EQ(canvas.At(37, 5), kShadow);
    EXPECT_EQ(canvas.At(5, 27), kShadow);
    // The picture is centred at (10, 10); its grey became the face colour,
    // its black dot stayed black.
    EXPECT_EQ(canvas.At(11, 11), kFace);
    EXPECT_EQ(canvas.At(20, 15), RGB(0, 0, 0));
    EXPECT_EQ(BitmapPixel(picture, 1, 1), kFace);
    DeleteObject(picture);
}

TEST(CvButtonDrawing, WithoutBevelOnlyThePicture)
{
    CvButton button;
    Prepare(button);
    button.bevel = 0;
    HBITMAP picture = MakeBitmap(20, 10, RGB(192, 192, 192));
    Canvas canvas(40, 30);
    RECT r{0, 0, 40, 30};
    button.DrawPlainRaised(canvas.Dc(), r, picture);
    EXPECT_EQ(canvas.At(5, 0), RGB(1, 2, 3));
    EXPECT_EQ(canvas.At(5, 1), RGB(1, 2, 3));
    EXPECT_EQ(canvas.At(11, 11), kFace);
    DeleteObject(picture);
}

TEST(CvButtonDrawing, FocusedAndPressedForms)
{
    CvButton button;
    Prepare(button);
    Canvas focused(40, 30);
    HBITMAP picture = MakeBitmap(20, 10, RGB(192, 192, 192));
    RECT r{0, 0, 40, 30};
    button.DrawFocusedRaised(focused.Dc(), r, picture);
    EXPECT_EQ(focused.At(5, 1), RGB(0, 0, 0));  // second frame
    EXPECT_EQ(focused.At(5, 2), kHighlight);
    EXPECT_EQ(focused.At(5, 3), kHighlight);
    EXPECT_EQ(focused.At(37, 5), kShadow);
    EXPECT_EQ(focused.At(36, 5), kShadow);
    DeleteObject(picture);

    // Pressed: no grey replacement, picture one pixel right and down.
    HBITMAP grey = MakeBitmap(20, 10, RGB(192, 192, 192));
    Canvas pressed(40, 30);
    button.DrawPressed(pressed.Dc(), r, grey);
    EXPECT_EQ(pressed.At(2, 10), kShadow);
    EXPECT_EQ(pressed.At(10, 2), kShadow);
    EXPECT_EQ(pressed.At(12, 12), RGB(192, 192, 192));
    EXPECT_EQ(pressed.At(21, 16), RGB(0, 0, 0));
    EXPECT_EQ(BitmapPixel(grey, 1, 1), RGB(192, 192, 192));
    DeleteObject(grey);
}

namespace {

// A parent window that records what its picture button sends it.
class RecordingParent : public fw::FrameWindow {
public:
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override
    {
        if (msg == UM_BUTTON_HOVER || msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_SYSKEYUP)
            seen.push_back({msg, w, l});
        return FrameWindow::WindowProc(msg, w, l);
    }
    struct Message { UINT msg; WPARAM w; LPARAM l; };
    std::vector<Message> seen;
};

}  // namespace

TEST(CvButtonBehaviour, LoadsSizesAndTellsItsParent)
{
    RecordingParent parent;
    ASSERT_TRUE(parent.Create("parent", WS_OVERLAPPEDWINDOW, RECT{0, 0, 300, 300}));
    HWND child = CreateWindowA("BUTTON", "Product", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 5, 5, 30, 30,
                               parent.Handle(), reinterpret_cast<HMENU>(1240), nullptr, nullptr);
    ASSERT_TRUE(child);

    CvButton missing;
    EXPECT_EQ(missing.LoadBitmaps(1240, parent, 9999, 0, 0, 0, 0), 0);
    missing.Detach();
    EXPECT_EQ(CvButton().LoadBitmaps(4711, parent, IDB_PRODUCT, 0, 0, 0, 0), 0);  // no such control

    CvButton button;
    EXPECT_EQ(button.LoadBitmaps(1240, parent, IDB_PRODUCT, 0, 0, 0, 0), 1);
    EXPECT_EQ(button.LoadBitmaps(1240, parent, IDB_PRODUCT, IDB_TILE, 0, 9999, 1), 0);  // one missing
    EXPECT_EQ(button.bevel, 1);
    EXPECT_EQ(button.LoadBitmaps(1240, parent, IDB_PRODUCT, 0, 0, 0, 0), 1);
    button.SizeToContent();
    RECT r;
    GetWindowRect(child, &r);
    BITMAP bm{};
    GetObjectA(button.upBitmap, sizeof bm, &bm);
    EXPECT_EQ(r.right - r.left, bm.bmWidth);
    EXPECT_EQ(r.bottom - r.top, bm.bmHeight);
    EXPECT_EQ(button.ReplaceUpBitmap(9999), 0);
    EXPECT_EQ(button.ReplaceUpBitmap(IDB_TILE), 1);

    parent.seen.clear();
    SendMessageA(child, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    LPARAM keyFlags = MAKELPARAM(1, 0x2D);
    SendMessageA(child, WM_KEYDOWN, 'X', keyFlags);
    SendMessageA(child, WM_KEYUP, 'C', keyFlags | 0xC0000000);
    ASSERT_EQ(parent.seen.size(), 3u);
    EXPECT_EQ(parent.seen[0].msg, UM_BUTTON_HOVER);
    EXPECT_EQ(parent.seen[0].w, 1240u);
    EXPECT_EQ(parent.seen[0].l, 0);
    EXPECT_EQ(parent.seen[1].msg, (UINT)WM_KEYDOWN);
    EXPECT_EQ(parent.seen[1].w, (WPARAM)'X');
    EXPECT_EQ(parent.seen[1].l, keyFlags);
    EXPECT_EQ(parent.seen[2].msg, (UINT)WM_KEYUP);
    EXPECT_EQ(parent.seen[2].w, (WPARAM)'C');
    DestroyWindow(parent.Handle());
}
