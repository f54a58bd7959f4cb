#include "Ui.h"

#include <zlib.h>

#include <cstdio>

namespace ui {

HWND WaitFor(const std::function<HWND()>& probe, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (HWND h = probe()) return h;
        if (GetTickCount() - start > timeoutMs) return nullptr;
        Sleep(50);
    }
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(50);
    }
}

std::string Text(HWND hwnd)
{
    char buffer[1024] = {};
    // WM_GETTEXT works across processes for the text of any window.
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                        SMTO_ABORTIFHUNG, 2000, nullptr);
    return buffer;
}

RECT Rect(HWND hwnd)
{
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

bool IsEnabled(HWND hwnd) { return IsWindowEnabled(hwnd) != FALSE; }
bool IsVisible(HWND hwnd) { return IsWindowVisible(hwnd) != FALSE; }

namespace {
struct Search {
    DWORD pid;
    const char* className;
    std::string title;
    std::string text;
    bool messageBox;
    int childId = 0;  // when set, the window must hold a control of this ID
    HWND found = nullptr;
};

BOOL CALLBACK Visit(HWND hwnd, LPARAM param)
{
    auto* s = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != s->pid || !IsWindowVisible(hwnd)) return TRUE;
    char className[64] = {};
    GetClassNameA(hwnd, className, sizeof className);
    if (s->className && lstrcmpA(className, s->className) != 0) return TRUE;
    if (Text(hwnd) != s->title) return TRUE;
    if (s->childId && !GetDlgItem(hwnd, s->childId)) return TRUE;
    if (s->messageBox) {
        // A message box has its text in a static of ID 0xFFFF.
        HWND label = GetDlgItem(hwnd, 0xFFFF);
        if (!label) return TRUE;
        if (!s->text.empty() && Text(label) != s->text) return TRUE;
    }
    s->found = hwnd;
    return FALSE;
}
}  // namespace

HWND FindTopLevel(DWORD pid, const char* className, const std::string& title)
{
    Search s{pid, className, title, "", false};
    EnumWindows(&Visit, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND FindDialogWith(DWORD pid, const std::string& title, int childId)
{
    Search s{pid, "#32770", title, "", false, childId};
    EnumWindows(&Visit, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND FindWindowWithItem(DWORD pid, int item)
{
    struct Search {
        DWORD pid;
        int item;
        HWND found;
    } s{pid, item, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM lp) CALLBACK -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            if (owner != s->pid || !IsWindowVisible(hwnd) || !GetDlgItem(hwnd, s->item)) return TRUE;
            s->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND FindMessageBox(DWORD pid, const std::string& caption, const std::string& text)
{
    Search s{pid, "#32770", caption, text, true};
    EnumWindows(&Visit, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::string MessageBoxText(HWND box)
{
    return Text(GetDlgItem(box, 0xFFFF));
}

namespace {
void SendMouse(DWORD flags, int x, int y)
{
    INPUT in{};
    in.type = INPUT_MOUSE;
    // Absolute coordinates run from 0 to 65535 over the primary screen.
    in.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
}
}  // namespace

void SendKey(WORD vk, bool up)
{
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = (WORD)MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
}

void Click(HWND control)
{
    HWND top = GetAncestor(control, GA_ROOT);
    SetForegroundWindow(top);
    WaitUntil([&] { return GetForegroundWindow() == top; }, 2000);
    Sleep(100);
    RECT r = Rect(control);
    int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    SendMouse(MOUSEEVENTF_MOVE, x, y);
    Sleep(50);
    SendMouse(MOUSEEVENTF_LEFTDOWN, x, y);
    Sleep(50);
    SendMouse(MOUSEEVENTF_LEFTUP, x, y);
    Sleep(100);
}

void PressKey(HWND window, WORD virtualKey)
{
    SetForegroundWindow(window);
    WaitUntil([&] { return GetForegroundWindow() == window; }, 2000);
    Sleep(100);
    SendKey(virtualKey, false);
    Sleep(50);
    SendKey(virtualKey, true);
    Sleep(100);
}

namespace {
void Chunk(FILE* f, const char* type, const std::vector<unsigned char>& data)
{
    unsigned char len[4] = {(unsigned char)(data.size() >> 24), (unsigned char)(data.size() >> 16),
                            (unsigned char)(data.size() >> 8), (unsigned char)data.size()};
    fwrite(len, 1, 4, f);
    fwrite(type, 1, 4, f);
    if (!data.empty()) fwrite(data.data(), 1, data.size(), f);
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
    if (!data.empty()) crc = crc32(crc, data.data(), (uInt)data.size());
    unsigned char c[4] = {(unsigned char)(crc >> 24), (unsigned char)(crc >> 16),
                          (unsigned char)(crc >> 8), (unsigned char)crc};
    fwrite(c, 1, 4, f);
}
}  // namespace

bool SaveScreenshot(const std::string& path)
{
    int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, dib);
    BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    GdiFlush();

    // PNG rows: a filter byte (0) and RGB triples.
    int stride = ((w * 3 + 3) / 4) * 4;
    std::vector<unsigned char> raw;
    raw.reserve((size_t)(w * 3 + 1) * h);
    auto* src = static_cast<unsigned char*>(bits);
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);
        unsigned char* row = src + (size_t)y * stride;
        for (int x = 0; x < w; ++x) {
            raw.push_back(row[x * 3 + 2]);
            raw.push_back(row[x * 3 + 1]);
            raw.push_back(row[x * 3 + 0]);
        }
    }
    SelectObject(memory, old);
    DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    uLongf packedSize = compressBound((uLong)raw.size());
    std::vector<unsigned char> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), (uLong)raw.size(), 6) != Z_OK) return false;
    packed.resize(packedSize);

    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    fwrite(signature, 1, 8, f);
    std::vector<unsigned char> ihdr = {
        (unsigned char)(w >> 24), (unsigned char)(w >> 16), (unsigned char)(w >> 8), (unsigned char)w,
        (unsigned char)(h >> 24), (unsigned char)(h >> 16), (unsigned char)(h >> 8), (unsigned char)h,
        8, 2, 0, 0, 0};
    Chunk(f, "IHDR", ihdr);
    Chunk(f, "IDAT", packed);
    Chunk(f, "IEND", {});
    return fclose(f) == 0;
}

}  // namespace ui
