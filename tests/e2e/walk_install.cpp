// Walks of the install itself: Express from the installation type page to
// the end, with the progress window, the billboards, the program group, the
// product's records and the maker's programs that run afterwards; the
// diskette prompt of split media; Cancel during the progress and the undo;
// a damaged archive and the completion page. Each walk starts from a clean
// system: no product directory, no product INI, no registry keys, no group.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "Pages.h"
#include "resources/resource.h"
#include "SystemSnapshot.h"
#include "Walks.h"

namespace e2e {
namespace {

constexpr int kContinue = IDC_NEXT;  // the diskette prompt's Continue
constexpr int kFinish = IDC_EXIT;    // the completion page's Finish
// The billboards, from IDD_BILLBOARD_FIRST on, each show their own splash
// picture, on a button with the picture's ID (from IDB_BILLBOARD_FIRST on).
constexpr int kBillboards = 4;
constexpr DWORD kInstallTimeout = 60000;
const char kGroup[] = "Corvane Velomire";
const char kProductIni[] = "CRVN.INI";
const char kProductSection[] = "Velomir";
const char kAppPathsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TRICORN.EXE";
const char kProductKey[] = "Software\\Corvane";
const char kVersionKey[] = "Software\\Corvane\\Corvane Velomire\\CurrentVersion";

// A file of every archive, as the product directory holds it.
struct InstalledFile {
    const char* path;
    const char* archive;
};
const InstalledFile kInstalledFiles[] = {
    {"RHOLD386.SYS", "RAMHOLD.ZPK"},           {"RHSETUP.EXE", "RHSETUP.ZPK"},
    {"RHWIN.DRV", "RHWIN.ZPK"},                {"INV.EXE", "INV.ZPK"},
    {"INVDATA\\DEVICES.DAT", "INV.ZPK"},       {"SYSTEM\\CTL3DV2.DLL", "WINSYS.ZPK"},
    {"TECHNOTE\\TN006.TXT", "TECHNOTE.ZPK"},   {"CDPMI.OVL", "CDPMI.ZPK"},
    {"MEMTUNE.EXE", "MEMTUNE.ZPK"},            {"TRICORN\\TRICORN.EXE", "TRICORN.ZPK"},
    {"DISKSPUR\\DSPOPT.EXE", "DISKSPUR.ZPK"},  {"DISKSPUR\\DSPCACHE.DLL", "DSPDLL.ZPK"},
};

// ---- the system around the install ----------------------------------------

bool Exists(const std::string& path, bool directory)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == directory;
}

std::string WindowsFile(const char* name)
{
    char dir[MAX_PATH] = {};
    GetWindowsDirectoryA(dir, MAX_PATH);
    return std::string(dir) + "\\" + name;
}

// The folder of the program group in the user's or the common start menu.
std::string GroupFolder(int csidl)
{
    char programs[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, programs))) return "";
    return std::string(programs) + "\\" + kGroup;
}

std::string MadeGroupFolder()
{
    for (int csidl : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS}) {
        std::string folder = GroupFolder(csidl);
        if (!folder.empty() && Exists(folder, true)) return folder;
    }
    return "";
}

// The shell opens a folder window for the group it makes.
HWND GroupWindow()
{
    return FindWindowA(nullptr, kGroup);
}

}  // namespace

std::vector<std::string> FileNames(const std::string& folder, const char* pattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + "\\" + pattern).c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return names;
    do
        if (std::string(found.cFileName) != "." && std::string(found.cFileName) != "..")
            names.push_back(found.cFileName);
    while (FindNextFileA(h, &found));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

void ForgetEarlierInstall(const std::string& target)
{
    RemoveTree(target);
    DeleteFileA(WindowsFile(kProductIni).c_str());
    DeleteFileA(WindowsFile("CUNPACK.DLL").c_str());
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, kProductKey);
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, kAppPathsKey);
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvane Velomire");
    for (int csidl : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS}) {
        std::string folder = GroupFolder(csidl);
        if (!folder.empty()) RemoveTree(folder);
    }
    while (HWND window = GroupWindow()) {
        SendMessageTimeoutA(window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
        if (!ui::WaitUntil([&] { return !IsWindow(window); }, 3000)) break;
    }
}

namespace {

// The directory `name` beside `directory` (DISK2 beside DISK1).
std::string Beside(const std::string& directory, const std::string& name)
{
    return directory.substr(0, directory.find_last_of('\\') + 1) + name;
}

std::string Upper(std::string text)
{
    CharUpperA(text.data());
    return text;
}

std::string Unslashed(std::string path)
{
    while (!path.empty() && path.back() == '\\') path.pop_back();
    return Upper(path);
}

// ---- the installer's windows ----------------------------------------------

using ui::FindWindowWithItem;

// Lists the visible windows of `pid` with their texts, to say what the
// installer showed instead of what a walk waited for.
void PrintWindows(DWORD pid)
{
    EnumWindows(
        [](HWND hwnd, LPARAM lp) CALLBACK -> BOOL {
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            if (owner != (DWORD)lp || !IsWindowVisible(hwnd)) return TRUE;
            std::printf("  window \"%s\"", ui::Text(hwnd).c_str());
            for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
                if (!ui::Text(child).empty()) std::printf(" | %d \"%s\"", GetDlgCtrlID(child), ui::Text(child).c_str());
            std::printf("\n");
            return TRUE;
        },
        (LPARAM)pid);
}

// Express on the installation type page: the progress window.
HWND ChooseExpress(Installer& installer, HWND type)
{
    ui::Click(GetDlgItem(type, IDC_EXPRESS));
    HWND progress = ui::WaitFor([&] { return FindWindowWithItem(installer.Pid(), IDC_SOURCE_TEXT); }, kTimeout);
    CHECK(progress, "no progress window after Express");
    if (!progress) PrintWindows(installer.Pid());
    return progress;
}

// What the progress window showed while it was open.
struct ProgressSeen {
    int names = 0;
    std::string notUpper;
    bool barBlue = false;
    std::vector<int> billboards;  // in the order they came, 0 for the first
};

// Watches the progress window until it closes or the installer ends;
// `step` is given each turn (to answer what the install asks).
void WatchProgress(Installer& installer, HWND progress, ProgressSeen& seen,
                   const std::function<void()>& step = {})
{
    DWORD start = GetTickCount();
    while (IsWindow(progress) && !installer.WaitEnd(0) && GetTickCount() - start < kInstallTimeout) {
        for (int id : {IDC_SOURCE_TEXT, IDC_DESTINATION_TEXT}) {
            std::string name = ui::Text(GetDlgItem(progress, id));
            if (name.empty()) continue;
            ++seen.names;
            if (name != Upper(name)) seen.notUpper = name;
        }
        if (HWND bar = GetDlgItem(progress, IDC_PROGRESS_BAR); bar && IsWindowVisible(progress)) {
            RECT r = ui::Rect(bar);
            HDC screen = GetDC(nullptr);
            COLORREF c = GetPixel(screen, r.left + 6, (r.top + r.bottom) / 2);
            ReleaseDC(nullptr, screen);
            if (GetBValue(c) > 200 && GetRValue(c) < 80 && GetGValue(c) < 80) seen.barBlue = true;
        }
        for (int b = 0; b < kBillboards; ++b)
            if (FindWindowWithItem(installer.Pid(), IDB_BILLBOARD_FIRST + b) &&
                (seen.billboards.empty() || seen.billboards.back() != b))
                seen.billboards.push_back(b);
        if (step) step();
        Sleep(50);
    }
}

HWND WaitMessage(const Installer& installer, const std::string& caption, const std::string& text)
{
    return ui::WaitFor([&] { return ui::FindMessageBox(installer.Pid(), caption, text); }, kTimeout);
}

// Waits for the diskette prompt that asks for `disk`; a prompt that is
// already closing is not it.
HWND WaitDiskPrompt(const Installer& installer, int disk, HWND previous = nullptr)
{
    const std::string label = "Velomire Diskette # " + std::to_string(disk);
    HWND prompt = ui::WaitFor(
        [&]() -> HWND {
            HWND p = FindWindowWithItem(installer.Pid(), IDC_DISK_LABEL);
            return p && p != previous && ui::Text(GetDlgItem(p, IDC_DISK_LABEL)) == label ? p : nullptr;
        },
        kInstallTimeout);
    if (prompt) installer.Settle();
    return prompt;
}

void AnswerDiskPrompt(HWND prompt, const std::string& location)
{
    TypeInto(GetDlgItem(prompt, IDC_DISK_LOCATION), location);
    ui::Click(GetDlgItem(prompt, kContinue));
}

// ---- what the install left ---------------------------------------------------

// The local time the file was last written.
std::string WriteTime(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return "none";
    FILETIME local;
    SYSTEMTIME t;
    FileTimeToLocalFileTime(&data.ftLastWriteTime, &local);
    FileTimeToSystemTime(&local, &t);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour,
                  t.wMinute, t.wSecond);
    return text;
}


std::string Section(const std::string& file, const char* section)
{
    std::vector<char> buffer(65536);
    DWORD n = GetPrivateProfileSectionA(section, buffer.data(), (DWORD)buffer.size(), file.c_str());
    std::string text(buffer.data(), n);
    for (char& c : text)
        if (c == '\0') c = '\n';
    return Upper(text);
}

std::string IniValue(const std::string& file, const char* section, const char* key)
{
    char value[MAX_PATH] = {};
    GetPrivateProfileStringA(section, key, "", value, MAX_PATH, file.c_str());
    return value;
}

std::string RegistryValue(const char* key, const char* name)
{
    char data[MAX_PATH] = {};
    DWORD size = sizeof data;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS)
        return "";
    return data;
}

bool RegistryKeyExists(const char* key)
{
    HKEY h;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    RegCloseKey(h);
    return true;
}

// Every file of the table but those of the `damaged` archives; each
// carries the times of the archive on the media it came from.
void CheckInstalledFiles(const std::string& source, const std::string& target,
                         const std::vector<std::string>& damaged = {})
{
    for (const auto& [file, archive] : kInstalledFiles) {
        if (std::find(damaged.begin(), damaged.end(), archive) != damaged.end()) continue;
        std::string path = target + "\\" + file;
        CHECK(Exists(path, false), "%s was not installed", path.c_str());
        const std::string archiveTime = WriteTime(source + "\\" + archive);
        CHECK(WriteTime(path) == archiveTime, "%s carries %s, not the time of %s, %s", path.c_str(),
              WriteTime(path).c_str(), archive, archiveTime.c_str());
    }
    CHECK(!Exists(WindowsFile("CUNPACK.DLL"), false), "the staged unpack library stayed");
}

void PrintCalls(const Args& args)
{
    for (const std::string& line : ReadLines(args.callLog)) std::printf("  call: %s\n", line.c_str());
}

// ---- the walks -----------------------------------------------------------------

// Express on single-directory media: the progress window, the billboards,
// every archive unpacked with its times, the install log, the product's
// INI and registry records, the program group, the disk cache's setup run
// twice, and the memory manager's setup tool taking over at the end.
void InstallExpress(const Args& args)
{
    const std::string target = "C:\\VELOMIR";
    ForgetEarlierInstall(target);
    {
        Installer installer;
        HWND type = StartAtInstallType(args, installer, target);
        if (!type) return;
        HWND progress = ChooseExpress(installer, type);
        if (!progress) return;
        ProgressSeen seen;
        WatchProgress(installer, progress, seen);
        CHECK(seen.names > 0, "the progress window named no file");
        CHECK(seen.notUpper.empty(), "a file name is not in upper case: %s", seen.notUpper.c_str());
        CHECK(seen.barBlue, "the bar never showed its blue part");
        CHECK(!seen.billboards.empty() && seen.billboards.front() == 0, "billboard %d did not come first",
              IDD_BILLBOARD_FIRST);
        for (size_t i = 1; i < seen.billboards.size(); ++i)
            CHECK(seen.billboards[i] == seen.billboards[i - 1] + 1, "billboard %d came after %d",
                  IDD_BILLBOARD_FIRST + seen.billboards[i], IDD_BILLBOARD_FIRST + seen.billboards[i - 1]);

        // It ends by itself: the setup tool takes over, no completion page waits.
        CHECK(installer.WaitEnd(kInstallTimeout), "the installer did not end after the install");
        ui::WaitUntil([&] { return CountCalls(args.callLog, "RHSETUP.EXE|/I /X") > 0; }, kTimeout);
    }
    CheckInstalledFiles(args.sourceDir, target);
    CHECK(Exists(target + "\\TRICORN\\TRICORN.INI", false), "the game trainer's INI is missing");

    const std::string log = target + "\\INSTALL.LOG";
    CHECK(Exists(log, false), "no %s", log.c_str());
    for (const char* section : {"File", "Directory", "Item", "Group"})
        CHECK(!Section(log, section).empty(), "the install log has no %s records", section);
    CHECK(Section(log, "File").find("MEMTUNE.EXE") != std::string::npos, "the file records miss MEMTUNE.EXE");
    CHECK(Section(log, "Group").find(Upper(kGroup)) != std::string::npos, "the group record misses the group");

    const std::string ini = WindowsFile(kProductIni);
    CHECK(Unslashed(IniValue(ini, kProductSection, "Path")) == target, "%s Path is \"%s\"", kProductIni,
          IniValue(ini, kProductSection, "Path").c_str());
    CHECK(IniValue(ini, kProductSection, "Group") == kGroup, "%s Group is \"%s\"", kProductIni,
          IniValue(ini, kProductSection, "Group").c_str());
    CHECK(Unslashed(RegistryValue(kAppPathsKey, "TRICORN.EXE")) == target, "App Paths holds \"%s\"",
          RegistryValue(kAppPathsKey, "TRICORN.EXE").c_str());
    CHECK(RegistryKeyExists(kVersionKey), "no HKLM\\%s", kVersionKey);

    std::string group = MadeGroupFolder();
    CHECK(!group.empty(), "no start menu folder \"%s\"", kGroup);
    // Wine's shell makes a link only for an item whose command is a bare
    // program: the two read-me items (Notepad with the file) have none.
    std::vector<std::string> links = FileNames(group, "*.lnk");
    const std::vector<std::string> expectedLinks = {"Corvane Inventory.lnk", "Corvane Tricorn.lnk",
                                                    "Diskspur Panel.lnk",    "Diskspur Setup.lnk",
                                                    "Ramhold Memtune.lnk",   "Ramhold Setup.lnk"};
    CHECK(links == expectedLinks, "the group holds %zu links, not the %zu items", links.size(), expectedLinks.size());
    if (links != expectedLinks)
        for (const std::string& link : links) std::printf("  link: %s\n", link.c_str());

    std::vector<std::string> programs;
    for (const std::string& line : ReadLines(args.callLog))
        if (line != kCleanupCall) programs.push_back(line);
    const std::vector<std::string> expected = {"DSPOPT.EXE|NOREBOOT", "DSPOPT.EXE|NOREBOOT PREF", "RHSETUP.EXE|/I /X"};
    CHECK(programs == expected, "the programs started after the install are not the disk cache's setup twice, then the setup tool");
    if (programs != expected) PrintCalls(args);
    ForgetEarlierInstall(target);
}

// Split media: the prompt for diskette 2 answered with its directory; for
// diskette 3 a wrong directory twice, the message from the third prompt on,
// then Exit: the install stops and is taken back.
void InstallDiskettes(const Args& args)
{
    const std::string target = "C:\\CVDISK";
    ForgetEarlierInstall(target);
    Installer installer;
    HWND type = StartAtInstallType(args, installer, target);
    if (!type) return;
    if (!ChooseExpress(installer, type)) return;

    HWND prompt = WaitDiskPrompt(installer, 2);
    if (!prompt) PrintWindows(installer.Pid());
    REQUIRE(prompt, "no prompt for diskette 2");
    CHECK(ui::Text(GetDlgItem(prompt, IDC_DISK_LOCATION)) == Upper(args.sourceDir), "the prompt offers \"%s\"",
          ui::Text(GetDlgItem(prompt, IDC_DISK_LOCATION)).c_str());
    const std::string disk2 = Beside(args.sourceDir, "DISK2");
    AnswerDiskPrompt(prompt, disk2);

    HWND third = WaitDiskPrompt(installer, 3, prompt);
    REQUIRE(third, "no prompt for diskette 3 after diskette 2");
    CHECK(Exists(target + "\\TECHNOTE\\TN006.TXT", false), "diskette 2 was not unpacked");
    AnswerDiskPrompt(third, disk2);
    HWND again = WaitDiskPrompt(installer, 3, third);
    REQUIRE(again, "a wrong location did not bring the prompt back");
    CHECK(!ui::FindMessageBox(installer.Pid(), kTitle, "File CDPMI.ZPK must be in this directory."),
          "the message came before the third prompt");
    ui::Click(GetDlgItem(again, kContinue));
    HWND message = WaitMessage(installer, kTitle, "File CDPMI.ZPK must be in this directory.");
    REQUIRE(message, "no message before the third prompt");
    ui::Click(GetDlgItem(message, IDOK));
    HWND last = WaitDiskPrompt(installer, 3, again);
    REQUIRE(last, "no third prompt after the message");
    ui::Click(GetDlgItem(last, IDCANCEL));

    CHECK(installer.WaitEnd(kInstallTimeout), "Exit on the prompt did not end the installer");
    CHECK(!Exists(target, true), "the stopped install left %s", target.c_str());
    CHECK(MadeGroupFolder().empty(), "the stopped install made the group");
    ForgetEarlierInstall(target);
}

// Space on the progress window asks the exit question; Yes stops the
// install and takes back everything it did, but not the user's folder
// around the product directory.
void InstallCancel(const Args& args)
{
    const std::string parent = "C:\\CVKEEP", target = parent + "\\VELOMIR";
    ForgetEarlierInstall(parent);
    CHECK(CreateDirectoryA(parent.c_str(), nullptr), "cannot make %s", parent.c_str());
    {
        Installer installer;
        HWND type = StartAtInstallType(args, installer, target);
        if (!type) return;
        HWND progress = ChooseExpress(installer, type);
        if (!progress) return;
        ui::WaitUntil([&] { return !ui::Text(GetDlgItem(progress, IDC_SOURCE_TEXT)).empty(); }, kTimeout);
        ui::PressKey(progress, VK_SPACE);
        HWND question = WaitExitQuestion(installer);
        REQUIRE(question, "no exit question after Space");
        ui::Click(GetDlgItem(question, IDYES));
        CHECK(installer.WaitEnd(kInstallTimeout), "the installer did not end after Yes");
    }
    CHECK(Exists(parent, true), "the user's folder %s was removed", parent.c_str());
    CHECK(!Exists(target, true), "the stopped install left %s", target.c_str());
    CHECK(FileNames(parent, "*").empty(), "something remains in %s", parent.c_str());
    CHECK(MadeGroupFolder().empty(), "the stopped install made the group");
    CHECK(!Exists(WindowsFile(kProductIni), false), "the stopped install wrote %s", kProductIni);
    CHECK(!Exists(WindowsFile("CUNPACK.DLL"), false), "the staged unpack library stayed");
    for (const std::string& line : ReadLines(args.callLog))
        CHECK(line == kCleanupCall, "a program ran after a stopped install: %s", line.c_str());
    ForgetEarlierInstall(parent);
}

// Copies the media into `scratch`, with RHSETUP.ZPK cut short (the library
// cannot open it) and the first member of RHWIN.ZPK spoilt (it fails
// while unpacking).
bool DamagedMedia(const std::string& source, const std::string& scratch)
{
    RemoveTree(scratch);
    if (!CreateDirectoryA(scratch.c_str(), nullptr)) return false;
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((source + "\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return false;
    do {
        std::string name = found.cFileName;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        if (!CopyFileA((source + "\\" + name).c_str(), (scratch + "\\" + name).c_str(), FALSE)) return false;
    } while (FindNextFileA(h, &found));
    FindClose(h);
    HANDLE zpk = CreateFileA((scratch + "\\RHSETUP.ZPK").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (zpk == INVALID_HANDLE_VALUE) return false;
    DWORD size = GetFileSize(zpk, nullptr);
    SetFilePointer(zpk, (LONG)(size / 2), nullptr, FILE_BEGIN);
    bool cut = SetEndOfFile(zpk) != FALSE;
    CloseHandle(zpk);
    zpk = CreateFileA((scratch + "\\RHWIN.ZPK").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (zpk == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool spoilt = WriteFile(zpk, "XXXX", 4, &written, nullptr) && written == 4;
    CloseHandle(zpk);
    return cut && spoilt;
}

// A damaged archive: its message, then the install goes on with the next
// line; without the setup tool the completion page ends the run: Read Me
// opens the product's notes, Finish ends the installer.
void InstallDamaged(const Args& args)
{
    const std::string target = "C:\\CVDAMAGE";
    ForgetEarlierInstall(target);
    Args damaged = args;
    damaged.sourceDir = args.callLog.substr(0, args.callLog.find_last_of('\\')) + "\\damaged-media";
    REQUIRE(DamagedMedia(args.sourceDir, damaged.sourceDir), "cannot lay out damaged media in %s",
            damaged.sourceDir.c_str());
    {
        Installer installer;
        HWND type = StartAtInstallType(damaged, installer, target);
        if (!type) return;
        HWND progress = ChooseExpress(installer, type);
        if (!progress) return;
        struct Damage {
            const char* caption;
            const char* text;
            int seen;
        } damages[] = {
            {"An open unpack error has occurred.", "Install is unable to open a file for unpacking.", 0},
            {"An unpack failure has occurred.", "An error occurred during file unpack.", 0},
        };
        ProgressSeen seen;
        WatchProgress(installer, progress, seen, [&] {
            for (Damage& damage : damages)
                if (HWND box = ui::FindMessageBox(installer.Pid(), damage.caption, damage.text)) {
                    ++damage.seen;
                    installer.Settle();
                    ui::Click(GetDlgItem(box, IDOK));
                    ui::WaitUntil([&] { return !IsWindow(box); }, kTimeout);
                }
        });
        for (const Damage& damage : damages)
            CHECK(damage.seen == 1, "\"%s\" came %d times, not once", damage.text, damage.seen);

        HWND completion = WaitPage(installer, kCompletionTitle, kInstallTimeout);
        if (!completion) PrintWindows(installer.Pid());
        REQUIRE(completion, "no completion page without the setup tool");
        CHECK(ui::IsEnabled(GetDlgItem(completion, IDC_RAMHOLD_SETUP)), "Ramhold Setup is greyed");
        // The install went on after each damaged archive.
        CheckInstalledFiles(damaged.sourceDir, target, {"RHSETUP.ZPK", "RHWIN.ZPK"});
        CHECK(!Exists(target + "\\RHSETUP.EXE", false), "RHSETUP.EXE came from an archive cut short");
        ui::Click(GetDlgItem(completion, IDC_READ_ME));
        HWND notes = ui::WaitFor([] { return FindWindowA("Notepad", nullptr); }, kTimeout);
        CHECK(notes, "Read Me opened no notes");
        if (notes) {
            std::string title = Upper(ui::Text(notes));
            CHECK(title.find("READ.ME") != std::string::npos, "Read Me opened \"%s\"", title.c_str());
            PostMessageA(notes, WM_CLOSE, 0, 0);
        }
        CHECK(IsWindow(completion), "Read Me closed the completion page");
        ui::Click(GetDlgItem(completion, IDC_RAMHOLD_SETUP));
        HWND missing = WaitMessage(installer, kTitle,
                                   "The Ramhold Setup program is not found in the Ramhold directory.  You may "
                                   "need to reinstall Ramhold.");
        CHECK(missing, "no message for the missing setup tool");
        if (missing) ui::Click(GetDlgItem(missing, IDOK));
        CHECK(ui::WaitUntil([&] { return missing && !IsWindow(missing); }, kTimeout), "the message stayed");
        CHECK(IsWindow(completion), "the missing setup tool closed the completion page");
        installer.Settle();
        ui::Click(GetDlgItem(completion, kFinish));
        CHECK(installer.WaitEnd(kTimeout), "Finish did not end the installer");
    }
    std::vector<std::string> programs;
    for (const std::string& line : ReadLines(args.callLog))
        if (line != kCleanupCall) programs.push_back(line);
    CHECK(programs.size() == 2, "%zu programs ran after the install, not the disk cache's setup twice",
          programs.size());
    RemoveTree(damaged.sourceDir);
    ForgetEarlierInstall(target);
}

}  // namespace

void DemoInstall(const Args& args, Installer& installer)
{
    HWND type = ui::FindTopLevel(installer.Pid(), "#32770", kInstallTypeTitle);
    REQUIRE(type, "the demo is not on the installation type page");
    HWND progress = ChooseExpress(installer, type);
    if (!progress) return;
    bool progressShot = false, promptShot = false;
    HWND answered = nullptr;
    int quiet = 0;  // turns without a prompt
    ProgressSeen seen;
    WatchProgress(installer, progress, seen, [&] {
        HWND prompt = FindWindowWithItem(installer.Pid(), IDC_DISK_LABEL);
        if (prompt && prompt != answered) {
            installer.Settle();
            if (!promptShot) Shot(args, "10-diskette-prompt");
            promptShot = true;
            std::string label = ui::Text(GetDlgItem(prompt, IDC_DISK_LABEL));
            AnswerDiskPrompt(prompt, Beside(args.sourceDir, "DISK" + label.substr(label.size() - 1)));
            answered = prompt;
            return;
        }
        // The installer answers only between its steps: the first calm
        // moment after a prompt, or once the run is under way without one.
        quiet = prompt ? 0 : quiet + 1;
        if (!progressShot && quiet >= 2 && (answered || seen.names > 20)) {
            std::string path = args.shots + "\\09-progress.png";
            if (!args.shots.empty() && ui::SaveScreenshot(path)) std::printf("screenshot %s\n", path.c_str());
            progressShot = true;
        }
    });
    // The completion page comes only when the install has no setup tool to
    // hand over to.
    HWND completion = ui::WaitFor(
        [&]() -> HWND {
            if (installer.WaitEnd(0)) return HWND(-1);
            return ui::FindTopLevel(installer.Pid(), "#32770", kCompletionTitle);
        },
        kInstallTimeout);
    if (completion == HWND(-1)) completion = nullptr;
    if (completion) {
        installer.Settle();
        Shot(args, "11-completion");
    }
    if (ui::WaitFor(GroupWindow, kTimeout)) {
        // The shell opens a folder window for the group as it is made and
        // shown, before its items come; opened again, it lists them all.
        Sleep(1000);
        while (HWND stale = GroupWindow()) {
            SendMessageTimeoutA(stale, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
            if (!ui::WaitUntil([&] { return !IsWindow(stale); }, kTimeout)) break;
            Sleep(500);
        }
        ShellExecuteA(nullptr, "open", MadeGroupFolder().c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        if (HWND group = ui::WaitFor(GroupWindow, kTimeout)) {
            Sleep(1500);
            Shot(args, "12-program-group");
            PostMessageA(group, WM_CLOSE, 0, 0);
        }
    }
    if (completion) ui::Click(GetDlgItem(completion, kFinish));
    CHECK(installer.WaitEnd(kInstallTimeout), "the installer did not end after the install");
}

E2E_SCENARIO("install-express", InstallExpress);
E2E_SCENARIO("install-diskettes", InstallDiskettes);
E2E_SCENARIO("install-cancel", InstallCancel);
E2E_SCENARIO("install-damaged", InstallDamaged);

}  // namespace e2e
