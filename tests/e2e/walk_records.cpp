// Walks of the system records: completed Express installs on the three
// Windows versions (product INI, registry, install log, shared libraries,
// tuning and trainer files), a second and a third run over a first install,
// a cancelled run that must leave the system as it found it, the
// uninstaller, and unattended installs compared with the same by hand.
//
// These walks install for real into the prefix; each cleans up before and
// after itself, so the other walks keep seeing a system without the product.
#include <shlobj.h>
#include <shlwapi.h>

#include <algorithm>
#include <functional>

#include "Pages.h"
#include "resources/resource.h"
#include "SystemSnapshot.h"
#include "Variants.h"
#include "Walks.h"

namespace e2e {
namespace {

constexpr DWORD kInstallTimeout = 120000;
const char kProductKey[] = "Software\\Corvane\\Corvane Velomire\\CurrentVersion";
const char kAppPathKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TRICORN.EXE";
// Where an earlier release of the product recorded itself.
const char kOldAppPathKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Velomir.EXE";
const char kAppDefaults[] = "Software\\Wine\\AppDefaults\\INSTALL.EXE";
const char kRemoverDefaults[] = "Software\\Wine\\AppDefaults\\CVREMOVE.EXE";
const char kGroup[] = "Corvane Velomire";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Corvane Velomire";
const char kSharedDlls[] = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

std::string WindowsDir()
{
    char dir[MAX_PATH] = {};
    GetWindowsDirectoryA(dir, MAX_PATH);
    return dir;
}

std::string SystemDir()
{
    char dir[MAX_PATH] = {};
    GetSystemDirectoryA(dir, MAX_PATH);
    return dir;
}

std::string Folder(int csidl)
{
    char dir[MAX_PATH] = {};
    SHGetFolderPathA(nullptr, csidl, nullptr, 0, dir);
    return dir;
}

std::string Profile(const std::string& file, const char* section, const char* key)
{
    char text[512] = {};
    GetPrivateProfileStringA(section, key, "", text, sizeof text, file.c_str());
    return text;
}

// The entries of a numbered list of the install log, 1 to "Last".
std::vector<std::string> LogList(const std::string& log, const char* section)
{
    std::vector<std::string> entries;
    int last = atoi(Profile(log, section, "Last").c_str());
    for (int i = 1; i <= last; ++i) entries.push_back(Profile(log, section, std::to_string(i).c_str()));
    return entries;
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) text += "\n    " + line;
    return text;
}

// The build folder: the installer lies in its media\DISK1.
std::string BuildDir(const Args& args)
{
    // The installer is <build>\\products\\<name>\\media\\DISK1\\INSTALL.EXE.
    return args.installer.substr(0, args.installer.rfind("\\products\\"));
}

// The Windows version that Wine reports to the installer (and the
// uninstaller) alone.
void SetInstallerVersion(const char* version)
{
    for (std::string appDefaults : {std::string(kAppDefaults), std::string(kRemoverDefaults)}) {
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, appDefaults.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr))
            continue;
        if (version) RegSetValueExA(key, "Version", 0, REG_SZ, (const BYTE*)version, (DWORD)strlen(version) + 1);
        else RegDeleteValueA(key, "Version");
        RegCloseKey(key);
        if (!version) RegDeleteKeyA(HKEY_CURRENT_USER, appDefaults.c_str());
    }
}

// Takes away everything an install of the product leaves, the shared
// libraries put back as they were.
struct Cleanup {
    std::vector<std::string> dirs;
    std::map<std::string, std::string> libraries;  // path -> bytes ("" = none)

    explicit Cleanup(std::vector<std::string> productDirs) : dirs(std::move(productDirs))
    {
        for (const char* name : {"CTL3DV2.DLL", "TOOLHELP.DLL"}) {
            std::string path = SystemDir() + "\\" + name;
            libraries[path] = ReadWholeFile(path);
        }
        Run();
    }
    ~Cleanup()
    {
        Run();
        for (const auto& [path, bytes] : libraries) {
            if (bytes.empty()) DeleteFileA(path.c_str());
            else WriteWholeFile(path, bytes);
        }
        SetInstallerVersion(nullptr);
    }
    void Run() const
    {
        for (const std::string& dir : dirs) RemoveTree(dir);
        DeleteFileA((WindowsDir() + "\\CRVN.INI").c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, (WindowsDir() + "\\CRVN.INI").c_str());
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Corvane");
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, kAppPathKey);
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, kOldAppPathKey);
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
        HKEY shared;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSharedDlls, 0, KEY_SET_VALUE, &shared) == ERROR_SUCCESS) {
            for (const auto& library : libraries) RegDeleteValueA(shared, library.first.c_str());
            RegCloseKey(shared);
        }
        for (int csidl : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS}) RemoveTree(Folder(csidl) + "\\" + kGroup);
        for (const std::string& keep : FileNames("C:", "~CVKEEP.*")) RemoveTree("C:\\" + keep);
        // What a killed run staged waits for the next install: not here.
        DeleteFileA((WindowsDir() + "\\CUNPACK.DLL").c_str());
    }
};

// ---- navigation ----------------------------------------------------------------

// Custom with the four check boxes of the components page set as `ticked`
// says, then Install.
void ChooseCustom(Installer& installer, HWND type, std::initializer_list<std::pair<int, bool>> ticked)
{
    ui::Click(GetDlgItem(type, IDC_CUSTOM));
    HWND page = WaitPage(installer, kComponentsTitle);
    REQUIRE(page, "no components page after Custom");
    for (auto [box, on] : ticked)
        if ((IsDlgButtonChecked(page, box) == BST_CHECKED) != on) ui::Click(GetDlgItem(page, box));
    for (auto [box, on] : ticked)
        CHECK((IsDlgButtonChecked(page, box) == BST_CHECKED) == on, "check box %d is not %s", box, on ? "ticked" : "clear");
    ui::Click(GetDlgItem(page, IDOK));
}

HWND FindProgress(DWORD pid)
{
    struct Search {
        DWORD pid;
        HWND found;
    } search{pid, nullptr};
    EnumWindows(
        [](HWND w, LPARAM p) CALLBACK -> BOOL {
            auto* s = (Search*)p;
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == s->pid && IsWindowVisible(w) && GetDlgItem(w, IDC_PROGRESS_BAR)) s->found = w;
            return !s->found;
        },
        (LPARAM)&search);
    return search.found;
}

// The titles and texts of the installer's windows, for a walk that waited in vain.
std::string OpenWindows(DWORD pid)
{
    std::string list;
    std::pair<DWORD, std::string*> search(pid, &list);
    EnumWindows(
        [](HWND w, LPARAM p) CALLBACK -> BOOL {
            auto* l = (std::pair<DWORD, std::string*>*)p;
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == l->first && IsWindowVisible(w)) {
                *l->second += " [" + ui::Text(w);
                if (HWND text = GetDlgItem(w, 0xFFFF)) *l->second += ": " + ui::Text(text);
                *l->second += "]";
            }
            return TRUE;
        },
        (LPARAM)&search);
    return list;
}

// The run goes to its end by itself (the setup tool is started instead of
// the completion page).
void ExpectCompleted(const Args& args, Installer& installer, const char* what)
{
    bool ended = installer.WaitEnd(kInstallTimeout);
    if (!ended) Shot(args, "records-not-ended");
    CHECK(ended, "%s did not end; open:%s", what, OpenWindows(installer.Pid()).c_str());
}

// Cancel on the progress window, Yes in the question: the run is undone.
void CancelDuringProgress(const Args& args, Installer& installer)
{
    HWND progress = ui::WaitFor([&] { return FindProgress(installer.Pid()); }, kStartTimeout);
    REQUIRE(progress, "no progress window; open:%s", OpenWindows(installer.Pid()).c_str());
    ui::Click(GetDlgItem(progress, IDCANCEL));
    HWND question = WaitExitQuestion(installer);
    REQUIRE(question, "no exit question after Cancel on the progress window");
    ui::Click(GetDlgItem(question, IDYES));
    bool ended = installer.WaitEnd(kInstallTimeout);
    if (!ended) Shot(args, "records-cancel-not-ended");
    CHECK(ended, "the cancelled run did not end; open:%s", OpenWindows(installer.Pid()).c_str());
}

// ---- Express on each Windows version ------------------------------------------

struct PlatformRun {
    const char* version;  // AppDefaults "Version"
    const char* ctl3d;    // the CTL3DV2.DLL in the system directory before the run: null, "225", "226"
    bool ctl3dCopied;
};

const PlatformRun kPlatformRuns[] = {
    {"win95", nullptr, true},
    {"nt40", "225", true},
    {"win31", "226", false},
};

void ExpressOnEachWindowsVersion(const Args& args)
{
    const std::string dir = "C:\\VELOMIR", log = dir + "\\INSTALL.LOG", ini = WindowsDir() + "\\CRVN.INI";
    const std::string ctl3d = SystemDir() + "\\CTL3DV2.DLL", toolhelp = SystemDir() + "\\TOOLHELP.DLL";
    Cleanup cleanup({dir});
    const bool toolhelpThere = FileExists(toolhelp);
    for (const PlatformRun& run : kPlatformRuns) {
        std::printf("-- Express on %s, CTL3DV2.DLL %s before\n", run.version, run.ctl3d ? run.ctl3d : "absent");
        cleanup.Run();
        DeleteFileA(ctl3d.c_str());
        if (!toolhelpThere) DeleteFileA(toolhelp.c_str());
        std::string putThere;
        if (run.ctl3d) {
            putThere = ReadWholeFile(BuildDir(args) + "\\records-dlls\\CTL3D" + run.ctl3d + ".DLL");
            REQUIRE(!putThere.empty() && WriteWholeFile(ctl3d, putThere), "cannot put CTL3DV2.DLL %s", run.ctl3d);
        }
        SetInstallerVersion(run.version);
        const bool win32s = std::string(run.version) == "win31";
        {
            Installer installer;
            std::string proposal;
            HWND type = StartAtInstallType(args, installer, "", &proposal);
            if (!type) return;
            CHECK(proposal == dir, "proposal is \"%s\"", proposal.c_str());
            ui::Click(GetDlgItem(type, IDC_EXPRESS));
            ExpectCompleted(args, installer, "the Express install");
        }
        SYSTEMTIME today;
        GetLocalTime(&today);
        char date[20];
        std::snprintf(date, sizeof date, "%u.%u.%u", today.wMonth, today.wDay, today.wYear);

        // CRVN.INI
        CHECK(Profile(ini, "Velomir", "Path") == dir, "CRVN.INI Path is \"%s\"", Profile(ini, "Velomir", "Path").c_str());
        CHECK(Profile(ini, "Velomir", "Group") == kGroup, "CRVN.INI Group is \"%s\"",
              Profile(ini, "Velomir", "Group").c_str());
        CHECK(Profile(ini, "TRICORN", "Path") == (win32s ? dir : ""), "CRVN.INI TRICORN Path is \"%s\"",
              Profile(ini, "TRICORN", "Path").c_str());

        // The registry: the product record and the App Paths entry, or nothing on Win32s.
        struct Value {
            const char* key;
            const char* name;
            std::string data;
        };
        const Value values[] = {{kProductKey, "Description", kGroup}, {kProductKey, "Install Date", date},
                                {kProductKey, "Version", "8.00"},       {kProductKey, "Title", kGroup},
                                {kAppPathKey, "TRICORN.EXE", dir}};
        std::vector<std::string> registry;
        for (const Value& v : values) {
            bool found = false;
            std::string data = ReadHklmString(v.key, v.name, &found);
            if (win32s) CHECK(!found, "Win32s wrote %s \"%s\"", v.key, v.name);
            else CHECK(found && data == v.data, "%s \"%s\" is \"%s\"", v.key, v.name, data.c_str());
            registry.push_back(std::string("11,Subkey,") + (v.key == kAppPathKey ? "App Paths" : "Corvane") +
                               ",HKEY_LOCAL_MACHINE," + v.key + "," + v.name);
        }
        if (win32s) registry.clear();
        registry.push_back("11,Subkey,Ramhold,HKEY_LOCAL_MACHINE,Software\\Corvane\\Ramhold,Options");
        HKEY h;
        CHECK(!win32s || RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Corvane", 0, KEY_READ, &h) != ERROR_SUCCESS,
              "Win32s made HKLM\\Software\\Corvane");

        // The install log: own registry entries, then the merged ones.
        std::vector<std::string> logged = LogList(log, "Registry");
        CHECK(logged == registry, "\"Registry\" of the log:%s\nexpected:%s", Joined(logged).c_str(),
              Joined(registry).c_str());
        std::vector<std::string> iniKeys = LogList(log, "IniKey");
        std::vector<std::string> merged = {"11,WIN.INI,Ramhold,Options", "11,SYSTEM.INI,386Enh,RHOLDVXD"};
        CHECK(iniKeys == merged, "\"IniKey\" of the log:%s", Joined(iniKeys).c_str());

        // The shared libraries: copied when missing or older.
        std::string shipped = ReadWholeFile(dir + "\\SYSTEM\\CTL3DV2.DLL");
        REQUIRE(!shipped.empty(), "the product's SYSTEM\\CTL3DV2.DLL is missing");
        std::string now = ReadWholeFile(ctl3d);
        if (run.ctl3dCopied) CHECK(now == shipped, "CTL3DV2.DLL was not copied (%zu bytes there)", now.size());
        else CHECK(now == putThere, "CTL3DV2.DLL 2.26 was replaced");
        if (!toolhelpThere)
            CHECK(ReadWholeFile(toolhelp) == ReadWholeFile(dir + "\\SYSTEM\\TOOLHELP.DLL"), "TOOLHELP.DLL not copied");

        // The tuning file and the trainer's flag.
        std::string def = ReadWholeFile(dir + "\\MEMTUNE.DEF");
        CHECK(!def.empty() && ReadWholeFile(dir + "\\MEMTUNE.NOT") == def, "MEMTUNE.NOT is not MEMTUNE.DEF");
        CHECK(Profile(dir + "\\TRICORN\\TRICORN.INI", "User Information", "Scanned") == "No",
              "TRICORN.INI Scanned is \"%s\"", Profile(dir + "\\TRICORN\\TRICORN.INI", "User Information", "Scanned").c_str());
        CHECK(ui::WaitUntil([&] { return CountCalls(args.callLog, "RHSETUP.EXE|/I /X") == 1; }, kTimeout), "the setup tool was not started with /I /X");
        DeleteFileA(args.callLog.c_str());
    }
}

// ---- a second and a third run over a first install --------------------------------

Snapshot InstallOf(const std::string& dir)
{
    Snapshot s;
    SnapshotFiles(s, dir, true);
    SnapshotKeys(s, HKEY_LOCAL_MACHINE, "HKLM", "Software\\Corvane");
    SnapshotKeys(s, HKEY_LOCAL_MACHINE, "HKLM", kAppPathKey);
    s["CRVN.INI"] = ReadWholeFile(WindowsDir() + "\\CRVN.INI");
    return s;
}

void ExpectSame(const Snapshot& before, const Snapshot& after, const char* what)
{
    std::vector<std::string> diff = Differences(before, after);
    CHECK(diff.empty(), "%s changed the first install:%s", what, Joined(diff).c_str());
}

void RunsOverAnEarlierInstall(const Args& args)
{
    const std::string dir = "C:\\CVFIRST", log = dir + "\\INSTALL.LOG";
    Cleanup cleanup({dir});
    {   // The first install, without the disk cache, not where it was proposed.
        Installer installer;
        HWND type = StartAtInstallType(args, installer, dir);
        if (!type) return;
        ChooseCustom(installer, type, {{IDC_CHECK_MEMORY_MANAGER, true}, {IDC_CHECK_TECHNOTES, true},
                                       {IDC_CHECK_TRAINER, true}, {IDC_CHECK_DISK_CACHE, false}});
        ExpectCompleted(args, installer, "the first install");
    }
    REQUIRE(FileExists(log) && FileExists(dir + "\\READ.ME"), "the first install left no log or READ.ME");
    Snapshot first = InstallOf(dir);
    const std::vector<std::string> firstPrograms = LogList(log, "Program");

    {   // Exit on the locations page of a second run, which proposes the first directory.
        Installer installer;
        HWND page = StartAtLocations(args, installer);
        if (!page) return;
        CHECK(ui::Text(GetDlgItem(page, IDC_DIRECTORY)) == dir, "the second run proposes \"%s\"",
              ui::Text(GetDlgItem(page, IDC_DIRECTORY)).c_str());
        LeaveWithYes(args, installer, page);
        CHECK(installer.WaitEnd(kTimeout), "installer still running after Exit");
    }
    ExpectSame(first, InstallOf(dir), "Exit on the locations page");

    {   // A second run over it: the memory manager found there is as new; Cancel drops it.
        Installer installer;
        HWND type = StartAtInstallType(args, installer, "");
        if (!type) return;
        ChooseCustom(installer, type, {{IDC_CHECK_MEMORY_MANAGER, true}, {IDC_CHECK_TECHNOTES, true},
                                       {IDC_CHECK_TRAINER, true}, {IDC_CHECK_DISK_CACHE, false}});
        HWND box = ui::WaitFor([&] { return ui::FindMessageBox(installer.Pid(), kTitle,
            "Install has found the newer version of RHOLD386.SYS in the directory specified for Ramhold. "
            "Do you wish to install Ramhold anyway?"); }, kTimeout);
        CHECK(box, "no version question over the first install; open:%s", OpenWindows(installer.Pid()).c_str());
        if (box) {
            installer.Settle();
            ui::Click(GetDlgItem(box, IDCANCEL));
        }
        ExpectCompleted(args, installer, "the second install");
    }
    CHECK(FileExists(dir + "\\RHREG.COM") && FileExists(dir + "\\TRICORN\\TRICORN.EXE"), "the second run lost files");
    CHECK(!DirectoryExists(dir + "\\DISKSPUR"), "the second run installed the disk cache");
    // Without the memory manager the second run continues the first log,
    // with the one component it kept.
    std::vector<std::string> programs = firstPrograms;
    programs.push_back("31,Tricorn");
    CHECK(LogList(log, "Program") == programs, "\"Program\" of the log after the second run:%s",
          Joined(LogList(log, "Program")).c_str());
    Snapshot second = InstallOf(dir);

    // A third run with only the disk cache, cancelled during its progress:
    // with the log found in the product directory, and with it named by the
    // keys an earlier release of the product wrote: the App Paths values on
    // Windows NT, CRVN.INI's "LogPath" (without its final "\\") on Win32s.
    enum class Seed { None, AppPaths, LogPath };
    for (Seed seed : {Seed::None, Seed::AppPaths, Seed::LogPath}) {
        if (seed == Seed::AppPaths) {
            HKEY key;
            REQUIRE(!RegCreateKeyExA(HKEY_LOCAL_MACHINE, kOldAppPathKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                     nullptr), "cannot seed the earlier release's keys");
            RegSetValueExA(key, "Velomir.EXE", 0, REG_SZ, (const BYTE*)dir.c_str(), (DWORD)dir.size() + 1);
            RegSetValueExA(key, "INSTALL.LOG", 0, REG_SZ, (const BYTE*)log.c_str(), (DWORD)log.size() + 1);
            RegCloseKey(key);
        }
        if (seed == Seed::LogPath) {
            WritePrivateProfileStringA("Velomir", "LogPath", dir.c_str(), (WindowsDir() + "\\CRVN.INI").c_str());
            WritePrivateProfileStringA(nullptr, nullptr, nullptr, (WindowsDir() + "\\CRVN.INI").c_str());
            SetInstallerVersion("win31");
        }
        Snapshot before = InstallOf(dir);
        Installer installer;
        HWND type = StartAtInstallType(args, installer, "");
        if (!type) return;
        ChooseCustom(installer, type, {{IDC_CHECK_MEMORY_MANAGER, false}, {IDC_CHECK_TECHNOTES, false},
                                       {IDC_CHECK_TRAINER, false}, {IDC_CHECK_DISK_CACHE, true}});
        CancelDuringProgress(args, installer);
        CHECK(Differences(second, before).size() <= 1, "the seed changed more than CRVN.INI");
        ExpectSame(before, InstallOf(dir), seed == Seed::None ? "a cancelled third run"
                                          : seed == Seed::AppPaths ? "a cancelled third run (App Paths seeded)"
                                                                   : "a cancelled third run (LogPath seeded, Win32s)");
        CHECK(!DirectoryExists(dir + "\\DISKSPUR"), "the cancelled run left DISKSPUR (seed %d)", (int)seed);
    }
}

// ---- cancel during the progress: nothing of the install stays ------------------------

Snapshot System()
{
    Snapshot s;
    // Wine's temporary folders aside, and the profile's folders that lead
    // out of the prefix into the build machine's home directory.
    std::vector<std::string> skip = {WindowsDir() + "\\Temp", Folder(CSIDL_LOCAL_APPDATA) + "\\Temp"};
    for (const char* linked : {"Desktop", "Documents", "Downloads", "Music", "Pictures", "Videos",
                               "AppData\\Roaming\\Microsoft\\Windows\\Templates"})
        skip.push_back(Folder(CSIDL_PROFILE) + "\\" + linked);
    SnapshotFiles(s, "C:", false, skip);
    // The registry: the keys at the top of both software trees, and in full
    // the trees the product writes to.
    SnapshotKeys(s, HKEY_LOCAL_MACHINE, "HKLM", "Software", 1);
    SnapshotKeys(s, HKEY_CURRENT_USER, "HKCU", "Software", 1);
    for (const char* key : {"Software\\Corvane", "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths"})
        SnapshotKeys(s, HKEY_LOCAL_MACHINE, "HKLM", key);
    SnapshotKeys(s, HKEY_CURRENT_USER, "HKCU", "Software\\Corvane");
    return s;
}

HWND FindDiskPrompt(DWORD pid)
{
    HWND found = nullptr;
    std::pair<DWORD, HWND*> search(pid, &found);
    EnumWindows(
        [](HWND w, LPARAM p) CALLBACK -> BOOL {
            auto* s = (std::pair<DWORD, HWND*>*)p;
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == s->first && IsWindowVisible(w) && GetDlgItem(w, IDC_DISK_LOCATION)) *s->second = w;
            return !*s->second;
        },
        (LPARAM)&search);
    return found;
}

enum class LeaveAt { Locations, InstallType, Progress, DiskPrompt };

void CancelLeavesTheSystemAsItWas(const Args& args)
{
    const std::string games = "C:\\GAMES";
    Cleanup cleanup({games + "\\VELOMIR"});
    bool madeGames = CreateDirectoryA(games.c_str(), nullptr) != FALSE;
    // The diskette prompt comes when the source holds the first diskette alone.
    Args firstDiskette = args;
    firstDiskette.sourceDir = args.installer.substr(0, args.installer.find_last_of('\\'));
    const struct {
        LeaveAt where;
        const char* name;
    } leaves[] = {{LeaveAt::Locations, "the locations page"},
                  {LeaveAt::InstallType, "the installation type page"},
                  {LeaveAt::Progress, "the progress"},
                  {LeaveAt::DiskPrompt, "the diskette prompt"}};
    for (const auto& leave : leaves) {
        std::printf("-- leaving at %s\n", leave.name);
        Snapshot before = System();
        {
            Installer installer;
            const Args& run = leave.where == LeaveAt::DiskPrompt ? firstDiskette : args;
            if (leave.where == LeaveAt::Locations) {
                HWND page = StartAtLocations(run, installer);
                if (!page) return;
                LeaveWithYes(run, installer, page);
            } else {
                HWND type = StartAtInstallType(run, installer, games + "\\VELOMIR");
                if (!type) return;
                if (leave.where == LeaveAt::InstallType) {
                    LeaveWithYes(run, installer, type);
                } else {
                    ui::Click(GetDlgItem(type, IDC_EXPRESS));
                    if (leave.where == LeaveAt::Progress) {
                        CancelDuringProgress(run, installer);
                    } else {
                        HWND prompt = ui::WaitFor([&] { return FindDiskPrompt(installer.Pid()); }, kStartTimeout);
                        REQUIRE(prompt, "no diskette prompt; open:%s", OpenWindows(installer.Pid()).c_str());
                        installer.Settle();
                        ui::Click(GetDlgItem(prompt, IDCANCEL));
                    }
                }
            }
            CHECK(installer.WaitEnd(kInstallTimeout), "the run left at %s did not end; open:%s", leave.name,
                  OpenWindows(installer.Pid()).c_str());
        }
        std::vector<std::string> diff = Differences(before, System());
        CHECK(diff.empty(), "the run left at %s left:%s", leave.name, Joined(diff).c_str());
        CHECK(DirectoryExists(games), "the run left at %s removed the user's empty %s", leave.name, games.c_str());
    }
    cleanup.Run();
    if (madeGames) RemoveDirectoryA(games.c_str());
}


// ---- the uninstaller --------------------------------------------------------------

DWORD SharedCount(const std::string& path)
{
    DWORD count = 0, size = sizeof count;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, kSharedDlls, path.c_str(), RRF_RT_REG_DWORD, nullptr, &count, &size) !=
        ERROR_SUCCESS)
        return 0;
    return count;
}

// Starts the registered uninstaller with `extra`, or, without a registry
// (Win32s), the one in `dir`; its process.
HANDLE StartUninstaller(const std::string& extra, const std::string& dir = "", const std::string& uninstallKey = kUninstallKey)
{
    std::string line = (dir.empty() ? ReadHklmString(uninstallKey, "UninstallString")
                                    : "\"" + dir + "\\CVREMOVE.EXE\" \"" + dir + "\\INSTALL.LOG\"") +
                       extra;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, "C:\\", &si, &pi)) return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

// The uninstaller's exit code once it and the copy it leaves behind have ended.
DWORD EndOf(HANDLE process)
{
    DWORD code = 259;
    if (!process) return code;
    WaitForSingleObject(process, kInstallTimeout);
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    ui::WaitUntil(
        [] {
            for (const ProcessInfo& p : ProcessList())
                if (lstrcmpiA(p.exeName.c_str(), "CVREMOVE.EXE") == 0) return false;
            return true;
        },
        kTimeout);
    return code;
}

// A message box of the uninstaller whose text holds `part`.
HWND RemovalBox(DWORD pid, const std::string& part, const std::string& product = kGroup)
{
    HWND box = ui::FindMessageBox(pid, (product + " Removal").c_str());
    return box && ui::MessageBoxText(box).find(part) != std::string::npos ? box : nullptr;
}

// What the system may hold after a removal that it did not hold before: the
// shared libraries, kept for other programs, and the uninstaller's copy in
// the temporary folder with its report, deleted when the system restarts.
std::vector<std::string> LeftBehind(const Snapshot& before, const Snapshot& after)
{
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    std::string tempFolder = temp;
    CharUpperA(tempFolder.data());
    std::vector<std::string> left;
    for (const std::string& line : Differences(before, after)) {
        std::string upper = line;
        CharUpperA(upper.data());
        if (upper.find("\\CTL3DV2.DLL") != std::string::npos || upper.find("\\TOOLHELP.DLL") != std::string::npos ||
            upper.find(tempFolder) != std::string::npos || upper.find("\\WININIT.INI") != std::string::npos)
            continue;
        left.push_back(line);
    }
    return left;
}

// Removes by hand: Yes to the question, No to a shared library no program
// counts any more, OK to the final message. The exit code.
DWORD RemoveByHand(const std::string& product = kGroup)
{
    HANDLE process = StartUninstaller("", "", "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + product);
    DWORD pid = GetProcessId(process);
    for (const char* part : {"Do you want to remove", "has been removed"}) {
        HWND box = ui::WaitFor(
            [&]() -> HWND {
                if (HWND shared = RemovalBox(pid, "shared file", product)) ui::Click(GetDlgItem(shared, IDNO));
                return RemovalBox(pid, part, product);
            },
            kInstallTimeout);
        CHECK(box, "the uninstaller showed no \"%s\"", part);
        if (box) ui::Click(GetDlgItem(box, part[0] == 'D' ? IDYES : IDOK));
    }
    return EndOf(process);
}

void InstallExpress(const Args& args, const std::string& dir = "")
{
    Installer installer;
    HWND type = StartAtInstallType(args, installer, dir);
    if (!type) return;
    ui::Click(GetDlgItem(type, IDC_EXPRESS));
    ExpectCompleted(args, installer, "the Express install");
}

void RemoveAnExpressInstall(const Args& args)
{
    const std::string dir = "C:\\VELOMIR", ctl3d = SystemDir() + "\\CTL3DV2.DLL";
    Cleanup cleanup({dir});
    const Snapshot before = System();

    // By hand: everything goes but the shared libraries, still counted.
    InstallExpress(args);
    std::string command = ReadHklmString(kUninstallKey, "UninstallString");
    CHECK(command == "\"" + dir + "\\CVREMOVE.EXE\" \"" + dir + "\\INSTALL.LOG\"", "UninstallString is %s",
          command.c_str());
    CHECK(ReadHklmString(kUninstallKey, "DisplayName") == kGroup, "no DisplayName");
    DWORD counted = SharedCount(ctl3d);
    CHECK(counted >= 1, "CTL3DV2.DLL is not counted");
    CHECK(RemoveByHand() == 0, "the removal did not end with 0");
    std::vector<std::string> left = LeftBehind(before, System());
    CHECK(left.empty(), "the removal left:%s", Joined(left).c_str());
    CHECK(FileExists(ctl3d) && SharedCount(ctl3d) == counted - 1, "CTL3DV2.DLL is not kept with its count less one");
    HKEY key;
    CHECK(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Corvane", 0, KEY_READ, &key) != ERROR_SUCCESS,
          "HKLM\\Software\\Corvane is still there");
    // Run again from the media: the log is gone, nothing changes.
    std::string again = "\"" + args.installer.substr(0, args.installer.find_last_of('\\')) + "\\CVREMOVE.EXE\" \"" +
                        dir + "\\INSTALL.LOG\" /S";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    REQUIRE(CreateProcessA(nullptr, again.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi),
            "cannot start %s", again.c_str());
    CloseHandle(pi.hThread);
    CHECK(EndOf(pi.hProcess) == 2, "a second removal found something to remove");

    // Unattended on each Windows version: Win32s has no registry, the
    // uninstaller is started from the product directory.
    for (const char* version : {"win95", "nt40", "win31"}) {
        std::printf("-- removal on %s\n", version);
        cleanup.Run();
        SetInstallerVersion(version);
        const Snapshot plain = System();
        InstallExpress(args);
        bool win32s = std::string(version) == "win31";
        CHECK(EndOf(StartUninstaller(" /S", win32s ? dir : "")) == 0, "the removal on %s did not end with 0", version);
        std::vector<std::string> rest = LeftBehind(plain, System());
        CHECK(rest.empty(), "the removal on %s left:%s", version, Joined(rest).c_str());
    }
    SetInstallerVersion(nullptr);

    // Two installs share the library: removing one keeps it, counted once.
    const std::string second = "C:\\VELOMIR2";
    cleanup.dirs.push_back(second);
    cleanup.Run();
    InstallExpress(args);
    DWORD once = SharedCount(ctl3d);
    InstallExpress(args, second);
    CHECK(SharedCount(ctl3d) == once + 1, "the second install did not count CTL3DV2.DLL");
    CHECK(EndOf(StartUninstaller(" /S")) == 0, "the second install's removal did not end with 0");
    CHECK(FileExists(ctl3d) && SharedCount(ctl3d) == once, "the removal of one install took the library's count");
    CHECK(!DirectoryExists(second) && FileExists(dir + "\\INSTALL.LOG"), "the wrong install went");

    // A log edited to reach beyond the product: those entries stay.
    const std::string log = dir + "\\INSTALL.LOG";
    const std::string run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    HKEY runKey;
    REQUIRE(RegCreateKeyExA(HKEY_LOCAL_MACHINE, run.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &runKey, nullptr) ==
                ERROR_SUCCESS,
            "no Run key");
    RegSetValueExA(runKey, "CvWalk", 0, REG_SZ, (const BYTE*)"x", 2);
    for (auto [section, entry] : {std::pair{"File", "0,C:\\WINDOWS\\WIN.INI"}, std::pair{"Directory", "11,C:\\"},
                                  std::pair{"Registry", "11,Subkey,x,HKEY_LOCAL_MACHINE,Software\\Microsoft\\Windows\\CurrentVersion\\Run,CvWalk"}}) {
        int last = std::atoi(Profile(log, section, "Last").c_str()) + 1;
        WritePrivateProfileStringA(section, "Last", std::to_string(last).c_str(), log.c_str());
        WritePrivateProfileStringA(section, std::to_string(last).c_str(), entry, log.c_str());
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, log.c_str());
    const std::string winIni = ReadWholeFile(WindowsDir() + "\\WIN.INI");
    CHECK(EndOf(StartUninstaller(" /S", dir)) == 3, "the removal with refused entries did not end with 3");
    CHECK(ReadWholeFile(WindowsDir() + "\\WIN.INI") == winIni && FileExists(WindowsDir() + "\\WIN.INI"),
          "WIN.INI was touched");
    CHECK(RegQueryValueExA(runKey, "CvWalk", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS,
          "the Run value was deleted");
    RegDeleteValueA(runKey, "CvWalk");
    RegCloseKey(runKey);
    CHECK(!FileExists(log), "the product went not");

    // No changes nothing.
    InstallExpress(args);
    const Snapshot installed = System();
    HANDLE declined = StartUninstaller("");
    DWORD declinedPid = GetProcessId(declined);
    HWND no = ui::WaitFor([&] { return RemovalBox(declinedPid, "Do you want to remove"); }, kStartTimeout);
    REQUIRE(no, "no question");
    ui::Click(GetDlgItem(no, IDNO));
    CHECK(EndOf(declined) == 1, "No did not end with 1");
    std::vector<std::string> changed = Differences(installed, System());
    CHECK(changed.empty(), "No changed:%s", Joined(changed).c_str());

    // By hand, with a file of the user's and a changed one: a removal
    // killed at the question about the changed file is run again and
    // finishes; both files stay, with their folder, and the final message
    // names them.
    WriteWholeFile(dir + "\\MINE.TXT", "mine");
    WriteWholeFile(dir + "\\READ.ME", ReadWholeFile(dir + "\\READ.ME") + "changed");
    HWND keep = nullptr;
    HANDLE process = nullptr;
    DWORD pid = 0;
    for (bool kill : {true, false}) {
        process = StartUninstaller("");
        pid = GetProcessId(process);
        HWND question = ui::WaitFor([&] { return RemovalBox(pid, "Do you want to remove"); }, kStartTimeout);
        REQUIRE(question, "no question");
        ui::Click(GetDlgItem(question, IDYES));
        keep = ui::WaitFor([&] { return RemovalBox(pid, "was changed"); }, kStartTimeout);
        REQUIRE(keep, "no question about the changed file");
        if (!kill) break;
        TerminateProcess(process, 9);
        EndOf(process);
        CHECK(FileExists(dir + "\\INSTALL.LOG"), "the killed removal took its log");
    }
    ui::Click(GetDlgItem(keep, IDYES));
    HWND done = ui::WaitFor([&] { return RemovalBox(pid, "has been removed"); }, kInstallTimeout);
    REQUIRE(done, "no final message");
    std::string text = ui::MessageBoxText(done);
    CHECK(text.find("MINE.TXT") != std::string::npos && text.find("READ.ME") != std::string::npos,
          "the final message does not name the kept files: %s", text.c_str());
    ui::Click(GetDlgItem(done, IDOK));
    CHECK(EndOf(process) == 3, "the removal with kept files did not end with 3");
    CHECK(FileExists(dir + "\\MINE.TXT") && FileExists(dir + "\\READ.ME"), "the user's files are gone");
    CHECK(!FileExists(dir + "\\RAMHOLD.TXT") && !FileExists(dir + "\\INSTALL.LOG"), "product files stayed");
}

}  // namespace

void DemoRemoval(const Args& args)
{
    // The user has made notes in the product's READ.ME: the removal asks
    // about it, with its progress window behind the question.
    const std::string notes = "C:\\VELOMIR\\READ.ME";
    WriteWholeFile(notes, ReadWholeFile(notes) + "My notes.\r\n");
    HANDLE process = StartUninstaller("");
    DWORD pid = GetProcessId(process);
    HWND question = ui::WaitFor([&] { return RemovalBox(pid, "Do you want to remove"); }, kStartTimeout);
    REQUIRE(question, "no question of the uninstaller");
    Shot(args, "13-remove-question");
    ui::Click(GetDlgItem(question, IDYES));
    HWND changed = ui::WaitFor([&] { return RemovalBox(pid, "was changed"); }, kInstallTimeout);
    REQUIRE(changed, "no question about the changed READ.ME");
    Sleep(300);
    Shot(args, "14-remove-progress");
    ui::Click(GetDlgItem(changed, IDYES));
    HWND done = ui::WaitFor([&] { return RemovalBox(pid, "has been removed"); }, kInstallTimeout);
    REQUIRE(done, "no final message of the uninstaller");
    Shot(args, "15-remove-done");
    ui::Click(GetDlgItem(done, IDOK));
    CHECK(EndOf(process) == 3, "the removal that kept READ.ME did not end with 3");
}


// ---- unattended installs ----------------------------------------------------------

// What an install leaves that a person could compare: its files, the
// product's records, the uninstall entry, the program group's folder, and
// the maker's programs it started (the setup tool aside: /S leaves it out).
Snapshot Installed(const Args& args, const std::string& dir)
{
    Snapshot s = InstallOf(dir);
    // The write times the uninstaller records (FILETIME numbers) differ by
    // the time of the run for the files the install itself writes.
    for (auto& [path, value] : s) {
        if (path.size() < 12 || lstrcmpiA(path.c_str() + path.size() - 12, "CVREMOVE.LOG") != 0) continue;
        std::string masked;
        for (size_t i = 0; i < value.size();) {
            size_t digits = value.find_first_not_of("0123456789", i);
            if (digits == std::string::npos) digits = value.size();
            if (digits - i >= 16) masked += "*";
            else masked.append(value, i, std::max<size_t>(digits - i, 1));
            i = std::max(digits, i + 1);
        }
        value = masked;
    }
    SnapshotKeys(s, HKEY_LOCAL_MACHINE, "HKLM", kUninstallKey);
    // The group's links by name: a link carries the times of its making.
    for (int csidl : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS})
        for (const std::string& link : FileNames(Folder(csidl) + "\\" + kGroup, "*")) s["group item " + link] = "";
    int n = 0;
    for (const std::string& call : ReadLines(args.callLog))
        if (call.find("RHSETUP.EXE") == std::string::npos) s["call " + std::to_string(++n)] = call;
    DeleteFileA(args.callLog.c_str());
    return s;
}

std::string Quoted(const std::string& path)
{
    return "\"" + path + "\"";
}

// A diagnostic log holds every line of `expected`.
void ExpectLogged(const std::string& log, const std::vector<const char*>& expected, const char* run)
{
    const std::string text = ReadWholeFile(log);
    for (const char* part : expected)
        CHECK(text.find(part) != std::string::npos, "the log of %s lacks \"%s\":\n%s", run, part, text.c_str());
}

// /S against the same choices made by hand: the same files, install log,
// records, group and follow-up calls; then the uninstaller's /S takes it
// all away again.
void UnattendedAsByHand(const Args& args)
{
    struct Row {
        const char* options;
        const char* dir;
        bool custom;
        std::array<bool, 4> ticked;
        bool group;
    } rows[] = {
        {"/S", "C:\\VELOMIR", false, {}, true},
        {"/S /COMPONENTS=11,31 /D=C:\\OTHER /NOGROUP", "C:\\OTHER", true, {true, false, true, false}, false},
    };
    const std::string log = BuildDir(args) + "\\e2e\\unattended.txt";
    Cleanup cleanup({"C:\\VELOMIR", "C:\\OTHER"});
    const Snapshot clean = System();
    for (const Row& row : rows) {
        std::printf("-- %s, by hand and unattended\n", row.options);
        DeleteFileA(args.callLog.c_str());
        {
            Installer installer;
            HWND locations = StartAtLocations(args, installer);
            if (!locations) return;
            if (!row.group) {
                ui::Click(GetDlgItem(locations, IDC_BROWSE_GROUP));
                HWND group = WaitPage(installer, "Installation Group");
                REQUIRE(group, "no group page");
                ui::Click(GetDlgItem(group, IDC_ADD_TO_GROUP));
                ui::Click(GetDlgItem(group, IDOK));
                ui::WaitUntil([&] { return !IsWindow(group); }, kTimeout);
            }
            LocationsNext(locations, row.dir);
            HWND type = WaitPage(installer, kInstallTypeTitle);
            REQUIRE(type, "no installation type page");
            if (row.custom) InstallComponents(ChooseCustom(type), row.ticked);
            else ui::Click(GetDlgItem(type, IDC_EXPRESS));
            ExpectCompleted(args, installer, "the install by hand");
        }
        const Snapshot byHand = Installed(args, row.dir);
        cleanup.Run();
        long code = RunToEnd(args.installer, std::string(row.options) + " /LOG=" + Quoted(log) + " /P " + args.sourceDir, 0);
        CHECK(code == 0, "%s ended with %ld", row.options, code);
        std::vector<std::string> diff = Differences(byHand, Installed(args, row.dir));
        CHECK(diff.empty(), "%s differs from the install by hand:%s", row.options, Joined(diff).c_str());
        ExpectLogged(log, {"mode: unattended (/S)", "licence accepted", "script line", "unpacked,",
                           "uninstaller, product INI and registry records written", "exit code 0"},
                     row.options);
        HANDLE remover = StartUninstaller(" /S", row.group ? "" : row.dir);
        CHECK(EndOf(remover) == 0, "the uninstaller's /S after %s did not end with 0", row.options);
        std::vector<std::string> left = LeftBehind(clean, System());
        CHECK(left.empty(), "the removal after %s left:%s", row.options, Joined(left).c_str());
        cleanup.Run();
    }
}

// Command lines that end an unattended run early, or let it end by
// itself: each with its exit code, and with nothing left when the code
// is not 0.
struct UnattendedRow {
    const char* name;
    std::string installer;  // empty: the media's
    std::string options;
    long exitCode;
    std::vector<const char*> logged;
    std::function<bool()> holds;  // what must hold after a run that ended with 0
};

void RunUnattendedRows(const Args& args, const std::vector<UnattendedRow>& rows)
{
    const std::string log = BuildDir(args) + "\\e2e\\unattended-rows.txt";
    for (const UnattendedRow& row : rows) {
        std::printf("-- %s: %s\n", row.name, row.options.c_str());
        const Snapshot before = System();
        long code = RunToEnd(row.installer.empty() ? args.installer : row.installer,
                             "/LOG=" + Quoted(log) + " " + row.options, (DWORD)row.exitCode);
        CHECK(code == row.exitCode, "%s ended with %ld, not %ld:\n%s", row.name, code, row.exitCode,
              ReadWholeFile(log).c_str());
        ExpectLogged(log, row.logged, row.name);
        if (row.exitCode != 0) {
            std::vector<std::string> diff = Differences(before, System());
            CHECK(diff.empty(), "%s left:%s", row.name, Joined(diff).c_str());
        } else {
            CHECK(row.holds && row.holds(), "%s did not install as it should", row.name);
        }
    }
}

void UnattendedCommandLines(const Args& args)
{
    const std::string media = BuildDir(args) + "\\products\\velomire\\media", scratch = BuildDir(args) + "\\e2e\\unattended";
    Cleanup cleanup({"C:\\VELOMIR", "C:\\X", scratch});
    // The first two diskettes without the third, and the installer alone.
    for (const char* disk : {"DISK1", "DISK2"}) {
        CreateDirectoryA(scratch.c_str(), nullptr);
        CreateDirectoryA((scratch + "\\" + disk).c_str(), nullptr);
        for (const std::string& name : FileNames(media + "\\" + disk, "*"))
            CopyFileA((media + "\\" + disk + "\\" + name).c_str(), (scratch + "\\" + disk + "\\" + name).c_str(), FALSE);
    }
    CreateDirectoryA((scratch + "\\ALONE").c_str(), nullptr);
    CopyFileA(args.installer.c_str(), (scratch + "\\ALONE\\INSTALL.EXE").c_str(), FALSE);
    // A memory manager newer than the media's, where the product goes.
    const std::string newer = "RHREG 386 V99.00";
    auto keptNewer = [&] {
        return ReadWholeFile("C:\\VELOMIR\\RHREG.COM") == newer && FileExists("C:\\VELOMIR\\TRICORN\\TRICORN.EXE");
    };

    std::vector<UnattendedRow> rows = {
        {"a bad type", "", "/S /TYPE=QUICK", 1, {"refused: /TYPE=QUICK", "exit code 1"}, {}},
        {"a bad group", "", "/S /GROUP=(CV)", 1, {"refused: /GROUP=(CV)", "exit code 1"}, {}},
        {"a bad directory", "", "/S /D=C:\\NEW\\A*B", 3, {"message 11143", "exit code 3"}, {}},
        {"a long name", "", "/S \"/D=C:\\Program Files\\CV\"", 3, {"message 11143", "exit code 3"}, {}},
        {"the third diskette missing", scratch + "\\DISK1\\INSTALL.EXE", "/S /D=C:\\X", 4,
         {"diskette 2: looking in", "diskette 3", "undo of", "exit code 4"}, {}},
        {"the source after /P", scratch + "\\ALONE\\INSTALL.EXE", "/S /D=C:\\X /P " + media + "\\ALL", 0,
         {"exit code 0"}, [] { return FileExists("C:\\X\\TRICORN\\TRICORN.EXE"); }},
    };
    RunUnattendedRows(args, rows);
    cleanup.Run();
    CreateDirectoryA("C:\\VELOMIR", nullptr);
    WriteWholeFile("C:\\VELOMIR\\RHREG.COM", newer);
    RunUnattendedRows(args, {{"a newer memory manager", "", "/S", 0,
                              {"message 11146", "-> Cancel (unattended)", "it is kept", "exit code 0"}, keptNewer}});
    DeleteFileA(args.callLog.c_str());
}

// A run on the full drive F: is refused before anything is made.
void UnattendedOnAFullDrive(const Args& args)
{
    if (!FaultDrive('F')) {
        std::printf("no full drive F: here\n");
        return;
    }
    RunUnattendedRows(args, {{"a full drive", "", "/S /D=F:\\CV", 3, {"message 11", "exit code 3"}, {}}});
}

// With the wizard, /LOG records the run too: a cancel, its question and
// the undo.
void LoggedCancel(const Args& args)
{
    const std::string log = BuildDir(args) + "\\e2e\\cancelled.txt";
    Cleanup cleanup({"C:\\VELOMIR"});
    Installer installer;
    HWND type = StartAtInstallType(args, installer, "", nullptr, "/LOG=" + Quoted(log));
    if (!type) return;
    ui::Click(GetDlgItem(type, IDC_EXPRESS));
    CancelDuringProgress(args, installer);
    ExpectLogged(log, {"mode: with the wizard", "installation type page: result", "-> Yes", "undo of", "exit code 0"},
                 "the cancelled run");
}

// ---- a run over an earlier install, cancelled or killed ---------------------------

// The product directory's files with their contents, and the system around.
Snapshot Everything(const std::string& dir)
{
    Snapshot s = System();
    for (const auto& [path, value] : InstallOf(dir)) s["contents " + path] = value;
    return s;
}

// A second Express over a first install and the user's changes to it,
// stopped at the diskette prompt that comes after the script's DELETE
// line: cancelled, the run puts back every file it wrote over or deleted;
// killed, the next run does so before its first page.
void RollbackKeepsWhatItOverwrote(const Args& args)
{
    const std::string dir = "C:\\VELOMIR", work = BuildDir(args) + "\\e2e\\rollback";
    Cleanup cleanup({dir, work});
    CreateDirectoryA(work.c_str(), nullptr);
    Args second = args;
    second.installer = work + "\\INSTALL.EXE";
    std::string why;
    REQUIRE(WriteInstallerVariant(args.installer, second.installer, {{11513, "11,UNZPK,240,*T1*,MISSING.ZPK,4,0"}}, why),
            "%s", why.c_str());
    REQUIRE(RunToEnd(args.installer, "/S /P " + args.sourceDir, 0) == 0, "the first install failed");
    for (const char* name : {"\\READ.ME", "\\TRICORN\\TRICORN.EXE", "\\MEMTUNE.COM"})
        WriteWholeFile(dir + name, std::string("the user's ") + name);
    for (bool kill : {false, true}) {
        std::printf("-- the second run %s\n", kill ? "killed" : "cancelled");
        const Snapshot before = Everything(dir);
        {
            Installer installer;
            HWND type = StartAtInstallType(second, installer);
            if (!type) return;
            ui::Click(GetDlgItem(type, IDC_EXPRESS));
            Answer(installer,
                   "Install has found the newer version of RHOLD386.SYS in the directory specified for Ramhold. "
                   "Do you wish to install Ramhold anyway?",
                   IDOK);
            HWND prompt = ui::WaitFor([&] { return FindDiskPrompt(installer.Pid()); }, kInstallTimeout);
            REQUIRE(prompt, "no diskette prompt after the DELETE line; open:%s", OpenWindows(installer.Pid()).c_str());
            CHECK(!FileExists(dir + "\\MEMTUNE.COM"), "the DELETE line did not run");
            if (kill) {
                TerminateProcess(installer.Process(), 1);
                WaitForSingleObject(installer.Process(), kTimeout);
            } else {
                installer.Settle();
                ui::Click(GetDlgItem(prompt, IDCANCEL));
                CHECK(installer.WaitEnd(kInstallTimeout), "the cancelled run did not end");
            }
        }
        if (kill) {
            Installer third;
            REQUIRE(third.Start(args.installer, "/P " + args.sourceDir), "cannot start the third run");
            HWND box = ui::WaitFor([&] { return ui::FindMessageBox(third.Pid(), kTitle); }, kStartTimeout);
            REQUIRE(box, "the third run did not say it put the files back");
            CHECK(ui::MessageBoxText(box).find("An earlier installation was interrupted") == 0, "the box says: %s",
                  ui::MessageBoxText(box).c_str());
            third.Settle();
            ui::Click(GetDlgItem(box, IDOK));
            HWND welcome = WaitWelcome(third);
            REQUIRE(welcome, "no welcome page after the files were put back");
            LeaveWithYes(args, third, welcome);
            CHECK(third.WaitEnd(kTimeout), "the third run did not end");
        }
        std::vector<std::string> diff;
        for (const std::string& line : Differences(before, Everything(dir))) {
            // The log is written back: its contents count, not its time.
            // The killed run's staged unpack library waits for the next
            // install, which stages it anew.
            if (line == "~ " + dir + "\\INSTALL.LOG" || (kill && line.find("\\CUNPACK.DLL") != std::string::npos))
                continue;
            diff.push_back(line);
        }
        CHECK(diff.empty(), "the %s run left:%s", kill ? "killed" : "cancelled", Joined(diff).c_str());
    }
}

// ---- a product of its own -------------------------------------------------------

// The second product of products/, from its own first diskette: its two
// components alone on the components page, Express by hand with the second
// diskette asked for, its records and no setup tool, then its uninstaller;
// nothing of the sample product shows or stays.
void AProductOfItsOwn(const Args& args)
{
    kTitle = "Skylark Atlas Installation";
    const std::string dir = "C:\\SKYLARK", product = "Skylark Atlas", ini = WindowsDir() + "\\SKYLARK.INI";
    const std::string uninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + product;
    auto forget = [&] {
        RemoveTree(dir);
        DeleteFileA(ini.c_str());
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Harrow Lane");
        SHDeleteKeyA(HKEY_LOCAL_MACHINE, uninstallKey.c_str());
        for (int csidl : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS}) RemoveTree(Folder(csidl) + "\\" + product);
    };
    forget();
    const Snapshot before = System();
    // An old file of the product's, which the script's DELETE line takes.
    CreateDirectoryA(dir.c_str(), nullptr);
    WriteWholeFile(dir + "\\ATLAS.OLD", "an older atlas");

    // Its steps stay well inside the test's time limit together.
    constexpr DWORD kStepTimeout = 60000;
    std::printf("-- the wizard to the components page\n");
    Installer installer;
    HWND type = StartAtInstallType(args, installer);
    REQUIRE(type, "no installation type page");
    ui::Click(GetDlgItem(type, IDC_CUSTOM));
    HWND page = WaitPage(installer, kComponentsTitle);
    REQUIRE(page, "no components page after Custom");
    Shot(args, "skylark-components");
    for (int slot = 0; slot < 4; ++slot)
        CHECK((IsWindowVisible(GetDlgItem(page, kComponentBoxes[slot])) != FALSE) == (slot < 2),
              "slot %d is %s", slot + 1, slot < 2 ? "hidden" : "shown");
    CHECK(ui::Text(GetDlgItem(page, IDC_REQUIRED)) == "1,170 KB", "the page requires %s",
          ui::Text(GetDlgItem(page, IDC_REQUIRED)).c_str());
    ui::Click(GetDlgItem(page, IDC_BACK));
    type = WaitPage(installer, kInstallTypeTitle);
    REQUIRE(type, "no installation type page after Back");
    std::printf("-- Express\n");
    ui::Click(GetDlgItem(type, IDC_EXPRESS));
    HWND prompt =
        ui::WaitFor([&] { return ui::FindDialogWith(installer.Pid(), kTitle, IDC_DISK_LOCATION); }, kStepTimeout);
    REQUIRE(prompt, "no diskette prompt for the maps; open:%s", OpenWindows(installer.Pid()).c_str());
    CHECK(ui::Text(GetDlgItem(prompt, IDC_DISK_LABEL)) == "Skylark Atlas Disk 2", "the prompt asks for \"%s\"",
          ui::Text(GetDlgItem(prompt, IDC_DISK_LABEL)).c_str());
    const std::string media = args.sourceDir.substr(0, args.sourceDir.find_last_of('\\'));
    TypeInto(GetDlgItem(prompt, IDC_DISK_LOCATION), media + "\\DISK2");
    ui::Click(GetDlgItem(prompt, IDC_NEXT));
    HWND done = WaitPage(installer, kCompletionTitle, kStepTimeout);
    REQUIRE(done, "no completion page; open:%s", OpenWindows(installer.Pid()).c_str());
    if (!args.shots.empty()) {
        // The shell's window of the new group would hide the page.
        if (HWND group = ui::WaitFor([&] { return FindWindowA(nullptr, product.c_str()); }, kTimeout))
            SendMessageTimeoutA(group, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
        Shot(args, "skylark-completion");
    }
    CHECK(!IsWindowVisible(GetDlgItem(done, IDC_RAMHOLD_SETUP)), "a setup tool's button shows");
    ui::Click(GetDlgItem(done, IDC_EXIT));
    CHECK(installer.WaitEnd(kStepTimeout), "the installer did not end after Finish");

    for (const char* name : {"ATLAS.EXE", "ATLAS.INI", "READ.ME", "MAPS\\INDEX.TXT", "MAPS\\EUROPE.MAP", "INSTALL.LOG"})
        CHECK(FileExists(dir + "\\" + name), "%s was not installed", name);
    CHECK(!FileExists(dir + "\\ATLAS.OLD"), "the DELETE line left ATLAS.OLD");
    CHECK(Profile(ini, "Skylark", "Path") == dir, "SKYLARK.INI does not hold the product directory");
    CHECK(ReadLines(args.callLog) == std::vector<std::string>{"ATLASCFG.EXE|FIRSTRUN"}, "the programs started: %s",
          Joined(ReadLines(args.callLog)).c_str());
    bool grouped = false;
    for (int csidl : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS})
        grouped = grouped || !FileNames(Folder(csidl) + "\\" + product, "*.lnk").empty();
    CHECK(grouped, "no program group %s with links", product.c_str());

    std::printf("-- the uninstaller\n");
    CHECK(RemoveByHand(product) == 0, "the removal did not end with 0");
    RemoveDirectoryA(dir.c_str());  // the user's folder, which the install did not make
    std::vector<std::string> left = LeftBehind(before, System());
    CHECK(left.empty(), "the install and removal left:%s", Joined(left).c_str());
    forget();
}

E2E_SCENARIO("product-skylark", AProductOfItsOwn);
E2E_SCENARIO("records-express", ExpressOnEachWindowsVersion);
E2E_SCENARIO("rollback-overwrite", RollbackKeepsWhatItOverwrote);
E2E_SCENARIO("unattended-as-by-hand", UnattendedAsByHand);
E2E_SCENARIO("unattended-command-lines", UnattendedCommandLines);
E2E_SCENARIO("unattended-full-disk", UnattendedOnAFullDrive);
E2E_SCENARIO("logged-cancel", LoggedCancel);
E2E_SCENARIO("remove-express", RemoveAnExpressInstall);
E2E_SCENARIO("records-second-run", RunsOverAnEarlierInstall);
E2E_SCENARIO("records-cancel", CancelLeavesTheSystemAsItWas);

}  // namespace e2e
