// A percentage bar drawn into an owner-drawn button: the filled part in the
// bar colour, the rest in the back colour, and the number in the middle in
// the opposite colour on each side, changing exactly at the bar's edge.
#pragma once
#include <cstdint>

#include "fw/Window.h"

// True when the display has exactly two colours; the bar then draws only
// its dark outline. Set once at start-up.
extern bool monochromeDisplay;

class ProgressBar : public fw::Window {
public:
    ProgressBar();

    bool SubclassControl(int controlId, const fw::Window& parentDialog)
    {
        return SubclassDlgItem(controlId, parentDialog);
    }
    void SetRange(int32_t value);
    void SetPos(int32_t value);
    void SetColors(COLORREF bar, COLORREF back);

    bool DrawItem(DRAWITEMSTRUCT& item) override;

    // Draws the whole bar into `dc` on `rect` (the control's client area).
    void Draw(HDC dc, const RECT& rect) const;

    int32_t position = 0;
    int32_t range = 100;
    COLORREF barColor;
    COLORREF backColor;

private:
    void RepaintNow();
};
