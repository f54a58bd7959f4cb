#include "Pages.h"

namespace e2e {

const char kLocationsTitle[] = "Installation Locations";
const char kLicenseTitle[] = "Corvane License Agreement";
const char kInstallTypeTitle[] = "Installation Type";
const char kComponentsTitle[] = "Installation Components";
const char kCompletionTitle[] = "Installation Complete";
const char kBrowseTitle[] = "Browse for Destination Directory";
const char kInvalidPath[] = "Path is invalid. Please Enter Valid Path.";

HWND StartAtLocations(const Args& args, Installer& installer, const std::string& options)
{
    HWND welcome = StartAtWelcome(args, installer, "", options);
    if (!welcome) return nullptr;
    ui::Click(GetDlgItem(welcome, IDC_NEXT));
    HWND page = ui::WaitFor(
        [&]() -> HWND {
            if (HWND license = ui::FindTopLevel(installer.Pid(), "#32770", kLicenseTitle)) {
                installer.Settle();
                ui::Click(GetDlgItem(license, IDC_NEXT));
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
    TypeInto(GetDlgItem(page, IDC_DIRECTORY), path);
    ui::Click(GetDlgItem(page, IDOK));
}

namespace {

DWORD ProcessOf(HWND window)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

// The page titled `title` of process `pid`, once the process waits for
// input; null after the time-out.
HWND WaitPageOf(DWORD pid, const char* title)
{
    HWND page = ui::WaitFor([&] { return ui::FindTopLevel(pid, "#32770", title); }, kTimeout);
    if (page) {
        if (HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid)) {
            WaitForInputIdle(process, 5000);
            CloseHandle(process);
        }
        Sleep(250);
    }
    return page;
}

struct BoxSearch {
    DWORD pid;
    std::string text;
    HWND found = nullptr;
};

BOOL CALLBACK VisitBox(HWND hwnd, LPARAM param)
{
    auto* s = reinterpret_cast<BoxSearch*>(param);
    char className[16] = {};
    GetClassNameA(hwnd, className, sizeof className);
    if (ProcessOf(hwnd) != s->pid || !IsWindowVisible(hwnd) || lstrcmpA(className, "#32770") != 0) return TRUE;
    HWND label = GetDlgItem(hwnd, 0xFFFF);
    if (!label || ui::Text(label) != s->text) return TRUE;
    s->found = hwnd;
    return FALSE;
}

}  // namespace

HWND StartAtInstallType(const Args& args, Installer& installer, const std::string& path, std::string* proposal,
                        const std::string& options)
{
    HWND locations = StartAtLocations(args, installer, options);
    if (!locations) return nullptr;
    if (proposal) *proposal = ui::Text(GetDlgItem(locations, IDC_DIRECTORY));
    if (path.empty()) ui::Click(GetDlgItem(locations, IDOK));
    else LocationsNext(locations, path);
    HWND page = WaitPage(installer, kInstallTypeTitle);
    CHECK(page, "no installation type page after Next on the locations page with \"%s\"", path.c_str());
    return page;
}

void ChooseExpress(HWND page)
{
    ui::Click(GetDlgItem(page, IDC_EXPRESS));
    CHECK(ui::WaitUntil([&] { return !IsWindow(page); }, kTimeout), "Express did not close the page");
}

HWND ChooseCustom(HWND page)
{
    DWORD pid = ProcessOf(page);
    ui::Click(GetDlgItem(page, IDC_CUSTOM));
    HWND components = WaitPageOf(pid, kComponentsTitle);
    CHECK(components, "no components page after Custom");
    return components;
}

void InstallComponents(HWND page, const std::array<bool, 4>& checked)
{
    for (int i = 0; i < 4; ++i) {
        HWND box = GetDlgItem(page, kComponentBoxes[i]);
        if ((IsDlgButtonChecked(page, kComponentBoxes[i]) == BST_CHECKED) != checked[i]) ui::Click(box);
        CHECK((IsDlgButtonChecked(page, kComponentBoxes[i]) == BST_CHECKED) == checked[i],
              "box %d did not follow the click", kComponentBoxes[i]);
    }
    ui::Click(GetDlgItem(page, IDOK));
}

std::string Answer(const Installer& installer, const std::string& text, int button)
{
    BoxSearch s{installer.Pid(), text};
    ui::WaitUntil([&] {
        EnumWindows(&VisitBox, reinterpret_cast<LPARAM>(&s));
        return s.found != nullptr;
    }, kTimeout);
    CHECK(s.found, "no message box \"%s\"", text.c_str());
    if (!s.found) return "";
    installer.Settle();
    std::string caption = ui::Text(s.found);
    ui::Click(GetDlgItem(s.found, button));
    CHECK(ui::WaitUntil([&] { return !IsWindow(s.found); }, kTimeout), "message box \"%s\" still open",
          text.c_str());
    return caption;
}

HWND WaitProgressWindow(const Installer& installer, DWORD timeout)
{
    // The progress window has the installer's title, as its message boxes
    // do; its bar tells it apart.
    return ui::WaitFor([&] { return ui::FindDialogWith(installer.Pid(), kTitle, IDC_PROGRESS_BAR); }, timeout);
}

void ExpectInstallStepReached(Installer& installer)
{
    // The install step opens its progress window. It is cancelled there:
    // Cancel and Yes in the exit question, or Exit in the diskette prompt
    // when the media lack an archive; the run is taken back and the
    // installer ends.
    HWND progress = WaitProgressWindow(installer, kStartTimeout);
    REQUIRE(progress, "no progress window where the install step comes");
    bool cancelled = false;
    bool ended = ui::WaitUntil(
        [&] {
            if (WaitForSingleObject(installer.Process(), 0) == WAIT_OBJECT_0) return true;
            if (HWND question = ui::FindMessageBox(installer.Pid(), kTitle, kExitQuestion)) {
                ui::Click(GetDlgItem(question, IDYES));
            } else if (HWND prompt = ui::FindDialogWith(installer.Pid(), kTitle, IDC_DISK_LOCATION)) {
                ui::Click(GetDlgItem(prompt, IDCANCEL));
            } else if (!cancelled && IsWindow(progress)) {
                ui::Click(GetDlgItem(progress, IDCANCEL));
                cancelled = true;
            }
            Sleep(200);
            return false;
        },
        kStartTimeout);
    CHECK(ended && installer.WaitEnd(kTimeout), "the installer did not end after the install step was cancelled");
}

HWND DemoPages(const Args& args, Installer& installer)
{
    HWND welcome = StartAtWelcome(args, installer);
    if (!welcome) return nullptr;
    Shot(args, "01-welcome");
    ui::Click(GetDlgItem(welcome, IDCANCEL));
    if (HWND question = WaitExitQuestion(installer)) {
        Shot(args, "02-exit-question");
        ui::Click(GetDlgItem(question, IDNO));
        ui::WaitUntil([&] { return !IsWindow(question); }, kTimeout);
    }
    ui::Click(GetDlgItem(welcome, IDC_NEXT));
    HWND license = WaitPage(installer, kLicenseTitle);
    CHECK(license, "no licence page after the welcome page");
    if (!license) return nullptr;
    Shot(args, "03-license");
    ui::Click(GetDlgItem(license, IDC_NEXT));
    HWND locations = WaitPage(installer, kLocationsTitle);
    CHECK(locations, "no locations page after Accept");
    if (!locations) return nullptr;
    Shot(args, "04-locations");
    ui::Click(GetDlgItem(locations, IDC_BROWSE_DIRECTORY));
    if (HWND browser = WaitPage(installer, kBrowseTitle)) {
        Shot(args, "05-directory-browser");
        ui::Click(GetDlgItem(browser, IDCANCEL));
        ui::WaitUntil([&] { return !IsWindow(browser); }, kTimeout);
    }
    ui::Click(GetDlgItem(locations, IDC_BROWSE_GROUP));
    if (HWND group = WaitPage(installer, "Installation Group")) {
        Shot(args, "06-group-page");
        ui::Click(GetDlgItem(group, IDCANCEL));
        ui::WaitUntil([&] { return !IsWindow(group); }, kTimeout);
    }
    installer.Settle();
    ui::Click(GetDlgItem(locations, IDOK));
    HWND type = WaitPage(installer, kInstallTypeTitle);
    CHECK(type, "no installation type page after the locations page");
    if (!type) return nullptr;
    Shot(args, "07-install-type");
    HWND components = ChooseCustom(type);
    if (components) Shot(args, "08-components");
    return components;
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
