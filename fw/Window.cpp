#include "fw/Window.h"

#include <vector>

namespace fw {

static const char kObjectProp[] = "fw.Window";

Window::~Window()
{
    if (hwnd_ && previousProc_) Detach();
    else Unbind();
}

Window* Window::FromHandle(HWND hwnd)
{
    return hwnd ? static_cast<Window*>(GetPropA(hwnd, kObjectProp)) : nullptr;
}

void Window::Bind(HWND hwnd)
{
    hwnd_ = hwnd;
    SetPropA(hwnd, kObjectProp, this);
}

void Window::Unbind()
{
    if (hwnd_ && IsWindow(hwnd_) && GetPropA(hwnd_, kObjectProp) == this)
        RemovePropA(hwnd_, kObjectProp);
    hwnd_ = nullptr;
}

bool Window::Subclass(HWND hwnd)
{
    if (!hwnd || hwnd_ || FromHandle(hwnd)) return false;
    Bind(hwnd);
    previousProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::StaticWndProc)));
    return true;
}

bool Window::SubclassDlgItem(int controlId, const Window& parent)
{
    return Subclass(GetDlgItem(parent.Handle(), controlId));
}

HWND Window::Detach()
{
    HWND hwnd = hwnd_;
    if (hwnd && previousProc_ && IsWindow(hwnd))
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previousProc_));
    previousProc_ = nullptr;
    Unbind();
    return hwnd;
}

LRESULT Window::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefaultProc(msg, wParam, lParam);
}

LRESULT Window::DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (previousProc_) return CallWindowProcA(previousProc_, hwnd_, msg, wParam, lParam);
    return DefWindowProcA(hwnd_, msg, wParam, lParam);
}

LRESULT CALLBACK Window::StaticWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Window* self = FromHandle(hwnd);
    if (!self && msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        self = static_cast<Window*>(cs->lpCreateParams);
        if (self) self->Bind(hwnd);
    }
    if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);

    LRESULT result = self->WindowProc(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        WNDPROC previous = self->previousProc_;
        self->previousProc_ = nullptr;
        if (previous) SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        self->Unbind();
        self->PostNcDestroy();
    }
    return result;
}

std::string WindowText(HWND hwnd)
{
    int n = GetWindowTextLengthA(hwnd);
    std::vector<char> buffer(n + 2);
    GetWindowTextA(hwnd, buffer.data(), n + 1);
    return buffer.data();
}

std::string Window::Text() const
{
    return WindowText(hwnd_);
}

RECT Window::ClientRect() const
{
    RECT rc{};
    GetClientRect(hwnd_, &rc);
    return rc;
}

void Window::CentreOnScreen(int reservedBelow)
{
    RECT r = WindowRect();
    int width = r.right - r.left, height = r.bottom - r.top;
    SetWindowPos(hwnd_, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - reservedBelow - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT Window::WindowRect() const
{
    RECT rc{};
    GetWindowRect(hwnd_, &rc);
    return rc;
}

}  // namespace fw
