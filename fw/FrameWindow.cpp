#include "fw/FrameWindow.h"

#include "fw/Application.h"

namespace fw {

const char* FrameWindow::ClassName()
{
    static const char name[] = "FwFrameWindow";
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc{};
        wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
        wc.lpfnWndProc = &Window::StaticWndProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
        wc.lpszClassName = name;
        registered = RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }
    return name;
}

bool FrameWindow::Create(const std::string& title, DWORD style, const RECT& rect, HWND parent,
                         HMENU menu)
{
    HWND hwnd = CreateWindowExA(0, ClassName(), title.c_str(), style, rect.left, rect.top,
                                rect.right - rect.left, rect.bottom - rect.top, parent, menu,
                                GetModuleHandleA(nullptr), this);
    return hwnd != nullptr;
}

LRESULT FrameWindow::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_CREATE:
        return OnCreate(*reinterpret_cast<CREATESTRUCTA*>(lParam));
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_INITMENUPOPUP:
        OnInitMenuPopup(reinterpret_cast<HMENU>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_LBUTTONUP:
        OnLButtonUp((UINT)wParam, POINT{(short)LOWORD(lParam), (short)HIWORD(lParam)});
        return 0;
    case WM_RBUTTONUP:
        OnRButtonUp((UINT)wParam, POINT{(short)LOWORD(lParam), (short)HIWORD(lParam)});
        return 0;
    case WM_SYSCOLORCHANGE:
        OnSysColorChange();
        return 0;
    default:
        return DefaultProc(msg, wParam, lParam);
    }
}

void FrameWindow::OnDestroy()
{
    Application* app = Application::Current();
    if (app && app->GetMainWindow() == this) PostQuitMessage(0);
}

void FrameWindow::OnInitMenuPopup(HMENU menu, UINT index, BOOL systemMenu)
{
    DefaultProc(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(index, systemMenu));
}

}  // namespace fw
