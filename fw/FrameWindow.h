// A top-level window of the framework's own window class. Its handlers are
// virtual; what a derived window does not override gets default handling.
#pragma once
#include "fw/Window.h"

namespace fw {

class FrameWindow : public Window {
public:
    // The window class every frame window uses.
    static const char* ClassName();

    bool Create(const std::string& title, DWORD style, const RECT& rect, HWND parent = nullptr,
                HMENU menu = nullptr);

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

protected:
    // 0 to go on with creation, -1 to fail it.
    virtual int OnCreate(CREATESTRUCTA& cs) { return 0; }
    virtual void OnPaint() { DefaultProc(WM_PAINT, 0, 0); }
    // Ends the application when this is its main window.
    virtual void OnDestroy();
    virtual void OnInitMenuPopup(HMENU menu, UINT index, BOOL systemMenu);
    virtual void OnLButtonUp(UINT flags, POINT pt) { DefaultProc(WM_LBUTTONUP, flags, MAKELPARAM(pt.x, pt.y)); }
    virtual void OnRButtonUp(UINT flags, POINT pt) { DefaultProc(WM_RBUTTONUP, flags, MAKELPARAM(pt.x, pt.y)); }
    virtual void OnSysColorChange() { DefaultProc(WM_SYSCOLORCHANGE, 0, 0); }
};

}  // namespace fw
