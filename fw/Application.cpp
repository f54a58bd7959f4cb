#include "fw/Application.h"

#include "fw/Window.h"

namespace fw {

static Application* currentApp = nullptr;
static const char kPreviousProcProp[] = "fw.ColorProc";

Application::Application()
{
    currentApp = this;
}

Application::~Application()
{
    if (cbtHook_) UnhookWindowsHookEx(cbtHook_);
    if (dialogBrush_) DeleteObject(dialogBrush_);
    if (currentApp == this) currentApp = nullptr;
}

Application* Application::Current()
{
    return currentApp;
}

int Application::Run(HINSTANCE instance, const char* commandLine, int showCommand)
{
    instance_ = instance;
    commandLine_ = commandLine ? commandLine : "";
    showCommand_ = showCommand;
    if (!InitInstance()) return ExitInstance();
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return ExitInstance();
}

void Application::SetDialogColors(COLORREF background, COLORREF text)
{
    if (dialogBrush_) DeleteObject(dialogBrush_);
    dialogBrush_ = CreateSolidBrush(background);
    dialogText_ = text;
    // Dialogs and message boxes are windows of the dialog class; a thread
    // hook gives each of them, as it is created, a procedure that answers
    // the colour questions of the dialog and its static and button children.
    if (!cbtHook_) cbtHook_ = SetWindowsHookExA(WH_CBT, &Application::CbtHook, nullptr, GetCurrentThreadId());
}

LRESULT CALLBACK Application::CbtHook(int code, WPARAM wParam, LPARAM lParam)
{
    Application* app = currentApp;
    if (code == HCBT_CREATEWND && app && app->dialogBrush_) {
        HWND hwnd = reinterpret_cast<HWND>(wParam);
        char className[16] = {};
        GetClassNameA(hwnd, className, sizeof className);
        if (lstrcmpA(className, "#32770") == 0 && !GetPropA(hwnd, kPreviousProcProp)) {
            LONG_PTR previous = SetWindowLongPtrA(hwnd, GWLP_WNDPROC,
                                                  reinterpret_cast<LONG_PTR>(&Application::ColoredDialogProc));
            SetPropA(hwnd, kPreviousProcProp, reinterpret_cast<HANDLE>(previous));
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK Application::ColoredDialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto previous = reinterpret_cast<WNDPROC>(GetPropA(hwnd, kPreviousProcProp));
    Application* app = currentApp;
    switch (msg) {
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        if (app && app->dialogBrush_) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            LOGBRUSH lb{};
            GetObjectA(app->dialogBrush_, sizeof lb, &lb);
            SetBkColor(dc, lb.lbColor);
            SetTextColor(dc, app->dialogText_);
            return reinterpret_cast<LRESULT>(app->dialogBrush_);
        }
        break;
    case WM_NCDESTROY: {
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        RemovePropA(hwnd, kPreviousProcProp);
        return CallWindowProcA(previous, hwnd, msg, wParam, lParam);
    }
    }
    return CallWindowProcA(previous, hwnd, msg, wParam, lParam);
}

}  // namespace fw
