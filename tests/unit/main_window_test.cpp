// The backdrop as a window: tiling, the suppressed mouse actions on its
// frame, its system menu and its class brush.
#include <gtest/gtest.h>

#include "app/MainWindow.h"
#include "progress/ProgressWindow.h"
#include "pages/base/WizardPage.h"
#include "fw/ResString.h"
#include "resources/resource.h"

namespace {

class Backdrop : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(main.CreateFullScreen());
        ShowWindow(main.Handle(), SW_SHOW);
        UpdateWindow(main.Handle());
    }
    void TearDown() override
    {
        if (main.Handle()) DestroyWindow(main.Handle());
    }
    MainWindow main;
};

COLORREF TilePixel(int x, int y)
{
    HBITMAP tile = LoadBitmapA(fw::ResourceInstance(), MAKEINTRESOURCEA(IDB_TILE));
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, tile);
    COLORREF c = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(tile);
    return c;
}

}  // namespace

TEST_F(Backdrop, CoversTheScreenWithTheTitleAndTheTile)
{
    RECT r = main.WindowRect();
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(r.bottom, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(main.Text(), "Corvane Velomire Installation");

    BITMAP bm{};
    ASSERT_TRUE(main.tileBitmap);
    GetObjectA(main.tileBitmap, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 129);
    EXPECT_EQ(bm.bmHeight, 128);

    // Every corner of the client area, the bottom-right one included (it
    // lies in the extra column and row), shows the matching tile pixel.
    RECT client = main.ClientRect();
    HDC dc = GetDC(main.Handle());
    POINT points[] = {{0, 0}, {128, 127}, {129, 128}, {client.right - 1, 0}, {0, client.bottom - 1},
                      {client.right - 1, client.bottom - 1}, {client.right / 2, client.bottom / 2}};
    for (POINT p : points)
        EXPECT_EQ(GetPixel(dc, p.x, p.y), TilePixel(p.x % 129, p.y % 128)) << p.x << "," << p.y;
    ReleaseDC(main.Handle(), dc);
}

TEST_F(Backdrop, FrameCannotBeDraggedAndMenuHasNoMoveSizeMinimize)
{
    RECT before = main.WindowRect();
    EXPECT_EQ(SendMessageA(main.Handle(), WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(20, 5)), 0);
    EXPECT_EQ(SendMessageA(main.Handle(), WM_NCRBUTTONDOWN, HTSYSMENU, MAKELPARAM(5, 5)), 0);
    RECT after = main.WindowRect();
    EXPECT_TRUE(EqualRect(&before, &after));

    // The window has no system-menu box; whichever menu it is asked to
    // prepare loses the three commands.
    HMENU menu = CreatePopupMenu();
    for (UINT command : {SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE})
        AppendMenuA(menu, MF_STRING, command, "command");
    SendMessageA(main.Handle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, TRUE));
    EXPECT_EQ(GetMenuState(menu, SC_MOVE, MF_BYCOMMAND), (UINT)-1);
    EXPECT_EQ(GetMenuState(menu, SC_SIZE, MF_BYCOMMAND), (UINT)-1);
    EXPECT_EQ(GetMenuState(menu, SC_MINIMIZE, MF_BYCOMMAND), (UINT)-1);
    EXPECT_NE(GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND), (UINT)-1);
    EXPECT_NE(GetMenuState(menu, SC_RESTORE, MF_BYCOMMAND), (UINT)-1);
    DestroyMenu(menu);

    // Close in any form leaves the backdrop where it is.
    SendMessageA(main.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    SendMessageA(main.Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(main.Handle()));
}

// The install step's window comes over a backdrop painted anew: where the
// last page stood nothing waits to be painted.
TEST_F(Backdrop, PaintedBeforeTheProgressWindowComes)
{
    RECT pageArea{100, 100, 400, 300};
    InvalidateRect(main.Handle(), &pageArea, FALSE);
    RECT pending{};
    ASSERT_TRUE(GetUpdateRect(main.Handle(), &pending, FALSE));
    InstallState state;
    ProgressWindow progress(state, main.Handle(), false);
    ASSERT_TRUE(progress.Create());
    EXPECT_FALSE(GetUpdateRect(main.Handle(), &pending, FALSE));
}

TEST_F(Backdrop, DestroyRestoresTheWhiteClassBrush)
{
    HBRUSH blue = reinterpret_cast<HBRUSH>(GetClassLongPtrA(main.Handle(), GCLP_HBRBACKGROUND));
    LOGBRUSH lb{};
    ASSERT_TRUE(GetObjectA(blue, sizeof lb, &lb));
    EXPECT_EQ(lb.lbColor, RGB(0, 0, 128));
    HWND hwnd = main.Handle();
    // Another window of the class keeps the class alive for the question.
    HWND other = CreateWindowA(fw::FrameWindow::ClassName(), "other", WS_OVERLAPPED, 0, 0, 10, 10,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    DestroyWindow(hwnd);
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(GetClassLongPtrA(other, GCLP_HBRBACKGROUND)), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetObjectType(blue), 0u);  // the dark blue brush is gone
    DestroyWindow(other);
}

namespace {
// True when `upper` lies above `lower` in the Z order of top-level windows.
bool IsAbove(HWND upper, HWND lower)
{
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == upper) return true;
        if (w == lower) return false;
    }
    return false;
}
}  // namespace

TEST_F(Backdrop, ClickBringsTheNamedWindowToTheTop)
{
    HWND front = CreateWindowA(fw::FrameWindow::ClassName(), "Front program", WS_OVERLAPPED | WS_VISIBLE,
                               10, 10, 100, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(front);
    SetWindowPos(main.Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ASSERT_TRUE(IsAbove(main.Handle(), front));

    SendMessageA(main.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(300, 300));  // nothing named yet
    EXPECT_TRUE(IsAbove(main.Handle(), front));

    main.state.foregroundTitle = "Front program";
    SendMessageA(main.Handle(), WM_RBUTTONUP, 0, MAKELPARAM(300, 300));
    EXPECT_TRUE(IsAbove(front, main.Handle()));
    DestroyWindow(front);
}

TEST(CleanupProgram, StartedByItsOwnPathInADirectoryWithBlanks)
{
    // CVDEL.EXE is built beside this test program; it logs its start.
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string bin = self;
    bin = bin.substr(0, bin.rfind('\\'));
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string base = std::string(temp) + "cvunit-cleanup-" + std::to_string(GetCurrentProcessId());
    std::string dir = base + "\\My Setup";
    CreateDirectoryA(base.c_str(), nullptr);
    CreateDirectoryA(dir.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA((bin + "\\CVDEL.EXE").c_str(), (dir + "\\CVDEL.EXE").c_str(), FALSE));
    // A program named by the text before the blank must not be the one run.
    ASSERT_TRUE(CopyFileA((bin + "\\CVDEL.EXE").c_str(), (base + "\\My.exe").c_str(), FALSE));
    std::string log = base + "\\calls.log";
    SetEnvironmentVariableA("CV_CALL_LOG", log.c_str());

    StartCleanupProgram(dir);

    std::string text;
    for (int i = 0; i < 100 && text.empty(); ++i) {
        Sleep(50);
        HANDLE h = CreateFileA(log.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) continue;
        char buffer[512] = {};
        DWORD n = 0;
        ReadFile(h, buffer, sizeof buffer - 1, &n, nullptr);
        CloseHandle(h);
        text.assign(buffer, n);
    }
    SetEnvironmentVariableA("CV_CALL_LOG", nullptr);
    EXPECT_EQ(text, "CVDEL.EXE|/P Corvane Velomire Installation\r\n");
    Sleep(200);
    for (const char* f : {"\\My Setup\\CVDEL.EXE", "\\My.exe", "\\calls.log"}) DeleteFileA((base + f).c_str());
    RemoveDirectoryA(dir.c_str());
    RemoveDirectoryA(base.c_str());
}
