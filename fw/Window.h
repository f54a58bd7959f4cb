// Window objects: a C++ object bound to one HWND. The object receives the
// window's messages through the virtual WindowProc; what it does not handle
// goes to DefaultProc (the window procedure it replaced, or DefWindowProc).
#pragma once
#include <windows.h>
#include <string>

namespace fw {

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Handle() const { return hwnd_; }
    bool IsAttached() const { return hwnd_ != nullptr; }

    // The object bound to `hwnd`, or null when it has none.
    static Window* FromHandle(HWND hwnd);

    // Binds to a window that somebody else created and replaces its window
    // procedure, so this object sees its messages first (control
    // subclassing). False when `hwnd` is null or already bound.
    bool Subclass(HWND hwnd);
    bool SubclassDlgItem(int controlId, const Window& parent);
    // Gives the window its own procedure back and forgets it.
    HWND Detach();

    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam);

    // Owner drawing that the parent passes on to the control (reflection).
    // Return true when the item was drawn.
    virtual bool DrawItem(DRAWITEMSTRUCT& item) { return false; }

    // Small conveniences over the usual calls.
    HWND Item(int controlId) const { return GetDlgItem(hwnd_, controlId); }
    std::string Text() const;
    void SetText(const std::string& text) { SetWindowTextA(hwnd_, text.c_str()); }
    int ControlId() const { return GetDlgCtrlID(hwnd_); }
    RECT ClientRect() const;
    RECT WindowRect() const;
    // Moves the window, keeping its size, to the middle of the screen's
    // width and of its height less `reservedBelow` pixels at the bottom.
    void CentreOnScreen(int reservedBelow = 0);
    void Invalidate(bool erase = true) { InvalidateRect(hwnd_, nullptr, erase); }
    void Update() { UpdateWindow(hwnd_); }
    LRESULT Send(UINT msg, WPARAM w = 0, LPARAM l = 0) { return SendMessageA(hwnd_, msg, w, l); }

protected:
    // Used by window kinds that create their own windows: binds the object
    // to a window while its creation message arrives.
    void Bind(HWND hwnd);
    void Unbind();
    // Called after the last message (WM_NCDESTROY) once the object is
    // unbound. Objects that own themselves may delete themselves here.
    virtual void PostNcDestroy() {}

    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    WNDPROC previousProc_ = nullptr;
};

std::string WindowText(HWND hwnd);

}  // namespace fw
