#include "app/MainWindow.h"

#include "app/InstallSteps.h"
#include "app/StartUp.h"
#include "app/WizardSequence.h"
#include "fsutil/FsUtil.h"
#include "fw/Application.h"
#include "fw/Message.h"
#include "fw/ResString.h"
#include "fw/WaitCursor.h"
#include "pages/base/WizardPage.h"
#include "resources/resource.h"
#include "state/ProductFiles.h"

MainWindow::MainWindow()
{
    state.InitComponentFlags();
}

MainWindow::~MainWindow()
{
    steps_.reset();
    if (tileBitmap) DeleteObject(tileBitmap);
    if (Handle()) DestroyWindow(Handle());
}

bool MainWindow::CreateFullScreen()
{
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    RECT rect{0, 0, width, height};
    if (!Create(fw::LoadResString(IDS_APP_TITLE), WS_OVERLAPPED, rect)) return false;
    SetClassLongPtrA(Handle(), GCLP_HBRBACKGROUND,
                     reinterpret_cast<LONG_PTR>(CreateSolidBrush(RGB(0, 0, 128))));
    SetClassLongPtrA(Handle(), GCLP_HICON,
                     reinterpret_cast<LONG_PTR>(LoadIconA(fw::ResourceInstance(), MAKEINTRESOURCEA(IDI_PRODUCT))));
    return true;
}

int MainWindow::OnCreate(CREATESTRUCTA& cs)
{
    tileBitmap = LoadBitmapA(fw::ResourceInstance(), MAKEINTRESOURCEA(IDB_TILE));
    return 0;
}

void MainWindow::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Handle(), &ps);
    RECT client = ClientRect();
    if (tileBitmap) {
        HDC memory = CreateCompatibleDC(dc);
        HGDIOBJ previous = SelectObject(memory, tileBitmap);
        BITMAP bm{};
        GetObjectA(tileBitmap, sizeof bm, &bm);
        if (bm.bmWidth > 0 && bm.bmHeight > 0) {
            // One column and one row more than fit, so that the right and
            // bottom edges are always covered.
            int columns = client.right / bm.bmWidth + 1;
            int rows = client.bottom / bm.bmHeight + 1;
            for (int row = 0; row < rows; ++row)
                for (int column = 0; column < columns; ++column)
                    BitBlt(dc, column * bm.bmWidth, row * bm.bmHeight, bm.bmWidth, bm.bmHeight,
                           memory, 0, 0, SRCCOPY);
        }
        SelectObject(memory, previous);
        DeleteDC(memory);
    }
    EndPaint(Handle(), &ps);
}

void MainWindow::OnDestroy()
{
    // A help viewer that a page opened would otherwise run on after the
    // installer has ended.
    WinHelpA(Handle(), nullptr, HELP_QUIT, 0);
    HBRUSH blue = reinterpret_cast<HBRUSH>(SetClassLongPtrA(
        Handle(), GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(GetStockObject(WHITE_BRUSH))));
    if (blue) DeleteObject(blue);
    FrameWindow::OnDestroy();
}

void MainWindow::OnInitMenuPopup(HMENU menu, UINT index, BOOL systemMenu)
{
    FrameWindow::OnInitMenuPopup(menu, index, systemMenu);
    DeleteMenu(menu, SC_MINIMIZE, MF_BYCOMMAND);
    DeleteMenu(menu, SC_SIZE, MF_BYCOMMAND);
    DeleteMenu(menu, SC_MOVE, MF_BYCOMMAND);
}

void MainWindow::OnLButtonUp(UINT flags, POINT pt)
{
    FrameWindow::OnLButtonUp(flags, pt);
    BringForegroundToTop();
}

void MainWindow::OnRButtonUp(UINT flags, POINT pt)
{
    FrameWindow::OnRButtonUp(flags, pt);
    BringForegroundToTop();
}

LRESULT MainWindow::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    // The backdrop cannot be dragged, sized or given its system menu with
    // the mouse.
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDBLCLK:
        return 0;
    // Nobody closes the backdrop (Alt+F4, the system menu's Close, a
    // WM_CLOSE from outside): the pages, the progress window and the
    // programs the run waits for all stand in front of it. The run itself
    // destroys it at its end.
    case WM_CLOSE:
        return 0;
    default:
        return FrameWindow::WindowProc(msg, wParam, lParam);
    }
}

void MainWindow::BringForegroundToTop()
{
    // A click on the backdrop would otherwise hide whatever runs in front of
    // it; bring that window (named by its title) and its active pop-up back.
    if (state.foregroundTitle.empty()) return;
    HWND front = FindWindowA(nullptr, state.foregroundTitle.c_str());
    if (!front) return;
    BringWindowToTop(front);
    HWND popup = GetLastActivePopup(front);
    if (popup && popup != front) BringWindowToTop(popup);
}

void MainWindow::RunWizard()
{
    if (!SourceDirFits(state.sourceDir)) {
        // None of the media's files could be opened there: say so once and
        // end before anything is done.
        fw::ShowMessageArg(Handle(), IDS_SOURCE_TOO_LONG, state.sourceDir, fw::kWarning);
        FinishInstall();
        return;
    }
    bool licensePresent = false;
    {
        fw::WaitCursor wait;
        steps_ = std::make_unique<InstallSteps>(state, Handle());
        licensePresent = PrepareRun(state);
    }
    RunWizardSequence(state, *steps_, licensePresent);
    FinishInstall();
}

void MainWindow::FinishInstall()
{
    EndRun(state);
    steps_.reset();
    if (Handle()) DestroyWindow(Handle());
}
