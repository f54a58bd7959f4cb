#include "Pages.h"

namespace e2e {

const char kLocationsTitle[] = "Installation Locations";
const char kLicenseTitle[] = "Corvane License Agreement";
const char kInstallTypeTitle[] = "Installation Type";
const char kComponentsTitle[] = "Installation Components";
const char kBrowseTitle[] = "Browse for Destination Directory";
const char kInvalidPath[] = "Path is invalid. Please Enter Valid Path.";

HWND StartAtLocations(const Args& args, Installer& installer)
{
    HWND welcome = StartAtWelcome(args, installer);
    if (!welcome) return nullptr;
    ui::Click(GetDlgItem(welcome, 10105));
    HWND page = ui::WaitFor(
        [&]() -> HWND {
            if (HWND license = ui::FindTopLevel(installer.Pid(), "#32770", kLicenseTitle)) {
                installer.Settle();
                ui::Click(GetDlgItem(license, 10105));
                return nullptr;
            }
            return ui::FindTopLevel(installer.Pid(), "#32770", kLocationsTitle);
        },
        kTimeout);
    CHECK(page, "no locations page after the welcome page");
    if (page) installer.Settle();
    return page;
}

void TypeInto(HWND edit, const std::string& text)
{
    ui::Click(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    ui::PressKey(GetAncestor(edit, GA_ROOT), VK_DELETE);
    for (char c : text) {
        INPUT in[2] = {};
        for (INPUT& i : in) {
            i.type = INPUT_KEYBOARD;
            i.ki.wScan = (unsigned char)c;
            i.ki.dwFlags = KEYEVENTF_UNICODE;
        }
        in[1].ki.dwFlags |= KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof(INPUT));
        Sleep(20);
    }
    Sleep(200);
}

void LocationsNext(HWND page, const std::string& path)
{
    TypeInto(GetDlgItem(page, 1501), path);
    ui::Click(GetDlgItem(page, IDOK));
}

int LitLamp(HWND indicator)
{
    RECT r = ui::Rect(indicator);
    HDC screen = GetDC(nullptr);
    int lit = -1;
    for (int lamp = 0; lamp < 3; ++lamp) {
        COLORREF c = GetPixel(screen, r.left + 7, r.top + 6 + lamp * 11);
        int strongest = GetRValue(c) > GetGValue(c) ? GetRValue(c) : GetGValue(c);
        if (strongest > 200) lit = lit == -1 ? lamp : -2;
    }
    ReleaseDC(nullptr, screen);
    return lit < 0 ? -1 : lit;
}

}  // namespace e2e
