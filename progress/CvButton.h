// A push button that shows bitmaps (product pictures, billboard pictures,
// the free-space light) and passes mouse and key activity on to its parent
// dialog as UM_BUTTON_HOVER.
#pragma once
#include <cstdint>

#include "fw/Window.h"

class CvButton : public fw::Window {
public:
    CvButton();
    ~CvButton() override;

    // Subclasses control `controlId` of `parentDialog` and loads the
    // pictures (0 = none for down, focus and disabled). 1 only when the
    // control was found and every requested bitmap loaded.
    int LoadBitmaps(int controlId, const fw::Window& parentDialog, UINT up, UINT down, UINT focus,
                    UINT disabled, int bevel);
    // Makes the button exactly as large as its up bitmap.
    void SizeToContent();
    // Shows another up bitmap at once; 0 when it does not load.
    int ReplaceUpBitmap(UINT bitmapId);

    // The free-space light: state 1 green (plenty), 0 yellow (tight), -1
    // red (not enough). The first form subclasses the control and sizes it.
    void InitLight(int controlId, const fw::Window& parentDialog, int state);
    void ShowLight(int state);

    bool DrawItem(DRAWITEMSTRUCT& item) override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    int32_t drawText = 0;
    int32_t bevel = 1;
    HBITMAP upBitmap = nullptr;
    HBITMAP downBitmap = nullptr;
    HBITMAP focusBitmap = nullptr;
    HBITMAP disabledBitmap = nullptr;
    COLORREF faceColor;
    COLORREF highlightColor;
    COLORREF shadowColor;

    // The three looks of a button with a picture, drawn on `dc` within
    // `rect`; exposed for drawing checks.
    void DrawPlainRaised(HDC dc, const RECT& rect, HBITMAP bitmap);
    void DrawFocusedRaised(HDC dc, const RECT& rect, HBITMAP bitmap);
    void DrawPressed(HDC dc, const RECT& rect, HBITMAP bitmap);

private:
    void DropBitmaps();
    void OuterFrame(HDC dc, const RECT& rect);
    void InnerFrame(HDC dc, const RECT& rect);
    // Highlight lines along the top and left `first` and `first` + 1 pixels
    // in, shadow lines along the right and bottom one pixel further in.
    void Bevel(HDC dc, const RECT& rect, int first);
    // Draws `bitmap` at (x, y); with `replaceGrey`, first turns every
    // RGB(192,192,192) pixel of the bitmap itself into the face colour.
    void Blit(HDC dc, HBITMAP bitmap, int x, int y, bool replaceGrey);
};
