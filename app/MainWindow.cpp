#include "app/MainWindow.h"

#include "resources/resource.h"
#include "fw/Application.h"
#include "fw/ResString.h"
#include "fw/WaitCursor.h"
#include "app/InstallSteps.h"
#include "app/StartUp.h"
#include "app/WizardSequence.h"
#include "resources/resource.h"

MainWindow* TheMainWindow()
{
    fw::Application* app = fw::Application::Current();
    return app ? static_cast<MainWindow*>(app->GetMainWindow()) : nullptr;
}

MainWindow::MainWindow()
{
    InitComponentFlags();
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
    default:
        return FrameWindow::WindowProc(msg, wParam, lParam);
    }
}

void MainWindow::BringForegroundToTop()
{
    // A click on the backdrop would otherwise hide whatever runs in front of
    // it; bring that window (named by its title) and its active pop-up back.
    if (foregroundTitle.empty()) return;
    HWND front = FindWindowA(nullptr, foregroundTitle.c_str());
    if (!front) return;
    BringWindowToTop(front);
    HWND popup = GetLastActivePopup(front);
    if (popup && popup != front) BringWindowToTop(popup);
}

int MainWindow::ShowMessageId(UINT id)
{
    MessageBoxA(Handle(), fw::LoadResString(id).c_str(), fw::LoadResString(IDS_APP_TITLE).c_str(),
                MB_OK | MB_ICONEXCLAMATION);
    return 0;
}

int MainWindow::ShowMessageArg(UINT id, const std::string& text)
{
    MessageBoxA(Handle(), fw::FormatResString(id, text).c_str(),
                fw::LoadResString(IDS_APP_TITLE).c_str(), MB_OK | MB_ICONEXCLAMATION);
    return 0;
}

void MainWindow::RunWizard()
{
    if (!SourceDirFits(sourceDir)) {
        // None of the media's files could be opened there: say so once and
        // end before anything is done.
        ShowMessageArg(IDS_SOURCE_TOO_LONG, sourceDir);
        FinishInstall();
        return;
    }
    bool licensePresent = false;
    {
        fw::WaitCursor wait;
        steps_ = std::make_unique<InstallSteps>(*this);
        char windows[MAX_PATH] = {};
        UINT n = GetWindowsDirectoryA(windows, MAX_PATH);
        SetDefaultDrive(n >= 2 && n < MAX_PATH ? std::string(windows, 2) : std::string("C:"));
        // A directory of that name is no licence text.
        DWORD attributes = GetFileAttributesA((sourceDir + "\\LICENSE.TXT").c_str());
        licensePresent = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    RunWizardSequence(*this, *steps_, licensePresent);
    FinishInstall();
}

void MainWindow::FinishInstall()
{
    if (installCompleted == 0 && steps_) steps_->UndoIncompleteInstall();
    StartCleanupProgram(installerDir);
    steps_.reset();
    if (Handle()) DestroyWindow(Handle());
}

void MainWindow::StartCleanupProgram(const std::string& installerDir)
{
    // The program is named on its own and, in a directory with blanks, put
    // in quotes on its command line: otherwise the system would try the text
    // up to each blank as a program of its own, and the program would read
    // the rest of its directory as its arguments.
    std::string program = installerDir + "\\CVDEL.EXE";
    std::string shown = program.find(' ') == std::string::npos ? program : "\"" + program + "\"";
    std::string commandLine = shown + " /P " + fw::LoadResString(IDS_APP_TITLE);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    if (CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
}
