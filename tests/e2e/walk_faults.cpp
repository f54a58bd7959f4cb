// Walks on the fault drives (tests/scripts/fault-drives): F: is full for
// any component, R: is read-only and holds \VELOMIR and a copy of the first
// diskette in \DISK1.
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <vector>

#include "Pages.h"
#include "resources/resource.h"
#include "SystemSnapshot.h"
#include "Walks.h"

namespace e2e {

bool FaultDrive(char letter)
{
    char root[] = {letter, ':', '\\', 0};
    DWORD attributes = GetFileAttributesA(root);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

constexpr ULONGLONG kLargestComponentKB = 3950;

void FaultDrives(const Args& args)
{
    REQUIRE(FaultDrive('F') && FaultDrive('R'), "the fault drives are not there");

    ULARGE_INTEGER available{}, total{}, free{};
    REQUIRE(GetDiskFreeSpaceExA("F:\\", &available, &total, &free), "no free space for F:");
    ULONGLONG totalKB = total.QuadPart / 1024, availableKB = available.QuadPart / 1024;
    CHECK(totalKB >= 1024 && totalKB <= 3072, "F: holds %llu KB, not about 2 MB", totalKB);
    CHECK(availableKB < kLargestComponentKB, "F: has %llu KB free, room for the largest component",
          availableKB);

    DWORD velomir = GetFileAttributesA("R:\\VELOMIR");
    CHECK(velomir != INVALID_FILE_ATTRIBUTES && (velomir & FILE_ATTRIBUTE_DIRECTORY), "no R:\\VELOMIR");
    CHECK(!CreateDirectoryA("R:\\NEW", nullptr), "R: took a new directory");
    HANDLE file = CreateFileA("R:\\VELOMIR\\NEW.TXT", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    CHECK(file == INVALID_HANDLE_VALUE, "R: took a new file");
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);

    // The media on the read-only drive: the installer takes its source from
    // there (the licence text on it is found) and ends cleanly.
    Installer installer;
    HWND welcome = StartAtWelcome(args, installer);
    if (!welcome) return;
    ui::Click(GetDlgItem(welcome, IDC_NEXT));
    HWND license = WaitPage(installer, "Corvane License Agreement");
    REQUIRE(license, "no licence page from the media on %s", args.sourceDir.c_str());
    LeaveWithYes(args, installer, license);
    ExpectCleanupCalls(args, 2);
}

// A source directory past the limit of the system's file names: one clear
// message naming it, then the run ends as after Exit, with nothing done.
void LongSource(const Args& args)
{
    std::string source = args.sourceDir;
    while (source.size() < 300) source += "\\LONGPATH";
    Installer installer;
    bool started = installer.Start(args.installer, "/P " + source);
    REQUIRE(started, "cannot start %s", args.installer.c_str());
    HWND box = ui::WaitFor([&] { return ui::FindMessageBox(installer.Pid(), kTitle); }, kStartTimeout);
    REQUIRE(box, "no message about the long source directory");
    installer.Settle();
    std::string text = ui::MessageBoxText(box);
    CharUpperA(source.data());
    CHECK(text.rfind("The source directory " + source + " is too long.", 0) == 0, "message: %s", text.c_str());
    CHECK(!ui::FindTopLevel(installer.Pid(), "#32770", "Welcome"), "the welcome page came up");
    ui::Click(GetDlgItem(box, IDOK));
    CHECK(installer.WaitEnd(kTimeout), "installer still running after the message");
    ExpectCleanupCalls(args, 1);
}

// ---- around the install ------------------------------------------------------

constexpr int kInstall = IDOK;
constexpr int kRed = 0;
constexpr DWORD kInstallTimeout = 180000;
const char kWarning[] = "Warning";
const char kGroup[] = "Corvane Velomire";
const char kProductKey[] = "Software\\Corvane";
const char kAppPathsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TRICORN.EXE";
// The captions of every message the install step may show.
const char* const kCaptions[] = {kTitle, kWarning, "Invalid Drive", "An open unpack error has occurred.",
                                 "An unpack failure has occurred."};

bool Exists(const std::string& path, bool directory)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == directory;
}

std::string Upper(std::string text)
{
    CharUpperA(text.data());
    return text;
}

std::string WindowsDir()
{
    char dir[MAX_PATH] = {};
    GetWindowsDirectoryA(dir, MAX_PATH);
    return dir;
}

std::string ReadWhole(const std::string& path)
{
    std::string text;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<unreadable>";
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(h, buffer, sizeof buffer, &n, nullptr) && n) text.append(buffer, n);
    CloseHandle(h);
    return text;
}

// Every entry under `folder` (relative names, directories with a trailing
// "\\"), `depth` levels down.
void ListTree(const std::string& folder, const std::string& prefix, int depth, std::vector<std::string>& out)
{
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        bool directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        out.push_back(prefix + name + (directory ? "\\" : ""));
        if (directory && depth > 1) ListTree(folder + "\\" + name, prefix + name + "\\", depth - 1, out);
    } while (FindNextFileA(h, &found));
    FindClose(h);
}

std::vector<std::string> Tree(const std::string& folder, int depth = 16)
{
    std::vector<std::string> out;
    ListTree(folder, "", depth, out);
    return out;
}

// What an install must not touch when it does not get through: the folders
// at the top of C: and the INI files of the Windows directory, whole.
struct Outside {
    std::vector<std::string> topFolders;
    std::map<std::string, std::string> iniFiles;
    std::vector<std::string> windowsFiles;
};

Outside LookOutside()
{
    Outside o;
    for (const std::string& name : Tree("C:", 1))
        if (name.back() == '\\') o.topFolders.push_back(name);
    for (const std::string& name : Tree(WindowsDir(), 1)) {
        if (name.back() == '\\') continue;
        o.windowsFiles.push_back(Upper(name));
        if (Upper(name).size() > 4 && Upper(name).substr(name.size() - 4) == ".INI")
            o.iniFiles[Upper(name)] = ReadWhole(WindowsDir() + "\\" + name);
    }
    return o;
}

Outside BeforeTheWalk()
{
    // The unpack library that a killed installer left staged is its own:
    // the next install takes it over and deletes it.
    DeleteFileA((WindowsDir() + "\\CUNPACK.DLL").c_str());
    return LookOutside();
}

void ExpectNothingChangedOutside(const Outside& before)
{
    Outside after = LookOutside();
    CHECK(after.topFolders == before.topFolders, "the folders at the top of C: changed (%zu before, %zu after)",
          before.topFolders.size(), after.topFolders.size());
    for (const std::string& f : after.topFolders)
        if (std::find(before.topFolders.begin(), before.topFolders.end(), f) == before.topFolders.end())
            std::printf("  new on C: %s\n", f.c_str());
    CHECK(after.windowsFiles == before.windowsFiles, "the files of the Windows directory changed");
    for (const std::string& f : after.windowsFiles)
        if (std::find(before.windowsFiles.begin(), before.windowsFiles.end(), f) == before.windowsFiles.end())
            std::printf("  new in the Windows directory: %s\n", f.c_str());
    for (const std::string& f : before.windowsFiles)
        if (std::find(after.windowsFiles.begin(), after.windowsFiles.end(), f) == after.windowsFiles.end())
            std::printf("  gone from the Windows directory: %s\n", f.c_str());
    for (const auto& [name, text] : before.iniFiles) {
        auto now = after.iniFiles.find(name);
        CHECK(now != after.iniFiles.end() && now->second == text, "%s changed", name.c_str());
    }
}

void DeleteKeyTree(HKEY root, const std::string& key)
{
    HKEY h;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return;
    std::vector<std::string> children;
    char name[256];
    for (DWORD i = 0, n = sizeof name; RegEnumKeyExA(h, i, name, &n, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, n = sizeof name)
        children.push_back(name);
    RegCloseKey(h);
    for (const std::string& child : children) DeleteKeyTree(root, key + "\\" + child);
    RegDeleteKeyA(root, key.c_str());
}

// Takes back a whole install into `target`: its files, the product's
// records and its program group.
void ForgetInstall(const std::string& target)
{
    RemoveTree(target);
    DeleteFileA((WindowsDir() + "\\CRVN.INI").c_str());
    DeleteFileA((WindowsDir() + "\\CUNPACK.DLL").c_str());
    DeleteKeyTree(HKEY_LOCAL_MACHINE, kProductKey);
    DeleteKeyTree(HKEY_LOCAL_MACHINE, kAppPathsKey);
    for (int csidl : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS}) {
        char programs[MAX_PATH] = {};
        if (SUCCEEDED(SHGetFolderPathA(nullptr, csidl, nullptr, 0, programs)))
            RemoveTree(std::string(programs) + "\\" + kGroup);
    }
    while (HWND window = FindWindowA(nullptr, kGroup)) {
        SendMessageTimeoutA(window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
        if (!ui::WaitUntil([&] { return !IsWindow(window); }, 3000)) break;
    }
}

// ---- the installer's windows --------------------------------------------------

using ui::FindWindowWithItem;

HWND AnyMessageBox(const Installer& installer)
{
    for (const char* caption : kCaptions)
        if (HWND box = ui::FindMessageBox(installer.Pid(), caption)) return box;
    return nullptr;
}

HWND WaitMessageBox(const Installer& installer, DWORD timeout = kTimeout)
{
    HWND box = ui::WaitFor([&] { return AnyMessageBox(installer); }, timeout);
    if (box) installer.Settle();
    return box;
}

void Answer(HWND box, int button)
{
    ui::Click(GetDlgItem(box, button));
    ui::WaitUntil([&] { return !IsWindow(box); }, kTimeout);
}

HWND ChooseExpress(Installer& installer, HWND type)
{
    ui::Click(GetDlgItem(type, IDC_EXPRESS));
    HWND progress = ui::WaitFor([&] { return FindWindowWithItem(installer.Pid(), IDC_SOURCE_TEXT); }, kTimeout);
    CHECK(progress, "no progress window after Express");
    if (!progress)
        if (HWND box = AnyMessageBox(installer))
            std::printf("  instead: %s: %s\n", ui::Text(box).c_str(), ui::MessageBoxText(box).c_str());
    return progress;
}

// The install meets the full disk: each message is answered as a person
// would (a question whether to go on: Cancel, a message: OK, the exit
// question: Yes); after the first one the user stops the install with Space
// on the progress window's cancel button. Gives the texts of the messages, in order.
// With `goOn` a question whether to go on gets OK, the user does not stop
// the install, and Finish ends it; `seen` is shown each message before it
// is answered.
bool IsUnpackError(const std::string& text)
{
    return text == "An error occurred during file unpack." || text == "Install is unable to open a file for unpacking.";
}

std::vector<std::string> StopAtTheFullDisk(Installer& installer, bool goOn = false,
                                           const std::function<void(const std::string&)>& seen = {})
{
    std::vector<std::string> texts;
    // `stopping`: Cancel was clicked on the progress window; `asked`: the
    // exit question it brings was answered. A click that a message box
    // swallowed (the window disabled behind it) asks nothing, so each
    // unpack error is a chance to stop until the question has come.
    bool stopping = false, asked = false;
    DWORD start = GetTickCount();
    while (!installer.WaitEnd(0) && GetTickCount() - start < kInstallTimeout) {
        if (HWND box = AnyMessageBox(installer)) {
            installer.Settle();
            std::string text = ui::MessageBoxText(box);
            texts.push_back(text);
            if (seen) seen(text);
            bool question = text == kExitQuestion;
            // Cancel on the progress window stays live while an unpack
            // error is shown: the stop is asked for there, then the error
            // is answered, and the run stops at the first such error.
            asked = asked || question;
            if (!goOn && !asked && IsUnpackError(text)) {
                stopping = true;
                HWND progress = FindWindowWithItem(installer.Pid(), IDC_SOURCE_TEXT);
                CHECK(progress, "no progress window behind an unpack error");
                if (progress) {
                    ui::Click(GetDlgItem(progress, IDCANCEL));
                    HWND exitQuestion =
                        ui::WaitFor([&] { return ui::FindMessageBox(installer.Pid(), kTitle, kExitQuestion); }, kTimeout);
                    CHECK(exitQuestion, "Cancel on the progress window was dead while \"%s\" was shown", text.c_str());
                    if (exitQuestion) {
                        Answer(exitQuestion, IDYES);
                        texts.push_back(kExitQuestion);
                        asked = true;
                    }
                }
                if (IsWindow(box)) Answer(box, IDOK);
                continue;
            }
            Answer(box, question ? IDYES : GetDlgItem(box, IDCANCEL) && !goOn ? IDCANCEL : IDOK);
            continue;
        }
        // A stop in the preparation of the directories leads back to the
        // components page: the user leaves there.
        if (HWND components = ui::FindTopLevel(installer.Pid(), "#32770", kComponentsTitle)) {
            texts.push_back(kComponentsTitle);
            installer.Settle();
            ui::Click(GetDlgItem(components, IDC_EXIT));
            WaitMessageBox(installer);
            continue;
        }
        // Told to go on, the install runs to its end: Finish there.
        if (HWND completion = ui::FindTopLevel(installer.Pid(), "#32770", kCompletionTitle); completion && goOn) {
            texts.push_back(kCompletionTitle);
            installer.Settle();
            ui::Click(GetDlgItem(completion, IDC_EXIT));
            ui::WaitUntil([&] { return !IsWindow(completion); }, kTimeout);
            continue;
        }
        HWND progress = FindWindowWithItem(installer.Pid(), IDC_SOURCE_TEXT);
        if (!texts.empty() && !stopping && progress && !goOn) {
            ui::Click(GetDlgItem(progress, IDCANCEL));
            stopping = true;
        }
        // Told to go on, the completion page may come at any moment: only a
        // stopped run must never reach it.
        CHECK(goOn || !ui::FindTopLevel(installer.Pid(), "#32770", kCompletionTitle),
              "the install on the full disk reached the completion page");
        Sleep(100);
    }
    for (const std::string& text : texts) std::printf("  message: %s\n", text.c_str());
    return texts;
}

bool Starts(const std::string& text, const std::string& start)
{
    return text.rfind(start, 0) == 0;
}

void ExpectNothingOnTheFullDisk()
{
    std::vector<std::string> left = Tree("F:");
    CHECK(left.empty(), "F: holds %zu entries after the stopped install", left.size());
    for (const std::string& name : left) std::printf("  left on F: %s\n", name.c_str());
}

// ---- the walks -------------------------------------------------------------------

// A full disk on the Custom path: the red light on the locations page and
// on the components page, IDS_NOT_ENOUGH_SPACE on Install (OK keeps the
// page, Cancel goes on), the install meets the full disk, the user stops
// it, and nothing of it stays on F: or anywhere else.
void FullDiskCustom(const Args& args)
{
    REQUIRE(FaultDrive('F'), "no full drive F:");
    REQUIRE(Tree("F:").empty(), "F: is not empty before the walk");
    Outside before = BeforeTheWalk();
    {
        Installer installer;
        HWND page = StartAtLocations(args, installer);
        if (!page) return;
        TypeInto(GetDlgItem(page, IDC_DIRECTORY), "F:\\VELOMIR");
        CHECK(ui::WaitUntil([&] { return ui::Text(GetDlgItem(page, IDC_DRIVE)) == "F:"; }, kTimeout),
              "the locations page shows drive \"%s\" for F:", ui::Text(GetDlgItem(page, IDC_DRIVE)).c_str());
        CHECK(LitLamp(GetDlgItem(page, IDC_INDICATOR)) == kRed, "the light for F: is lamp %d, not red",
              LitLamp(GetDlgItem(page, IDC_INDICATOR)));
        ui::Click(GetDlgItem(page, IDOK));
        HWND type = WaitPage(installer, kInstallTypeTitle);
        REQUIRE(type, "no installation type page after F:\\VELOMIR");
        ui::Click(GetDlgItem(type, IDC_CUSTOM));
        HWND components = WaitPage(installer, kComponentsTitle);
        REQUIRE(components, "no components page after Custom");
        CHECK(LitLamp(GetDlgItem(components, IDC_INDICATOR)) == kRed, "the components page's light is lamp %d, not red",
              LitLamp(GetDlgItem(components, IDC_INDICATOR)));

        // OK on the warning keeps the page; Cancel ignores it.
        for (int answer : {IDOK, IDCANCEL}) {
            ui::Click(GetDlgItem(components, kInstall));
            HWND warning = WaitMessageBox(installer);
            REQUIRE(warning, "no warning on Install with F: full");
            std::string text = ui::MessageBoxText(warning);
            CHECK(ui::Text(warning) == kWarning && Starts(text, "There is not enough space on drive  F:. "),
                  "the warning is \"%s\": %s", ui::Text(warning).c_str(), text.c_str());
            Answer(warning, answer);
            if (answer == IDOK) {
                installer.Settle();
                CHECK(IsWindow(components) && ui::IsVisible(components), "OK on the warning closed the page");
                CHECK(!AnyMessageBox(installer), "a second warning after OK");
            }
        }
        CHECK(ui::WaitFor([&] { return FindWindowWithItem(installer.Pid(), IDC_SOURCE_TEXT); }, kTimeout),
              "no progress window after the warning was ignored");
        std::vector<std::string> texts = StopAtTheFullDisk(installer);
        CHECK(texts.size() >= 2 && texts.back() == kExitQuestion,
              "the install on the full disk did not end with the exit question (%zu messages)", texts.size());
        CHECK(std::count_if(texts.begin(), texts.end(), IsUnpackError) == 1,
              "the run went on past the first unpack error although Cancel was confirmed");
        CHECK(installer.WaitEnd(kTimeout), "the installer did not end after the stop");
    }
    ExpectNothingOnTheFullDisk();
    ExpectNothingChangedOutside(before);
}

// Fills the drive of `path` with one file, up to `room` bytes; its size.
LONGLONG FillDrive(const std::string& path, LONG room)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return -1;
    static char block[65536];
    LONGLONG size = 0;
    for (DWORD chunk = sizeof block; chunk >= 512;) {
        DWORD written = 0;
        if (WriteFile(h, block, chunk, &written, nullptr) && written == chunk)
            size += written;
        else
            chunk /= 2;
    }
    size -= room;
    SetFilePointer(h, (LONG)size, nullptr, FILE_BEGIN);
    SetEndOfFile(h);
    CloseHandle(h);
    return size;
}

LONGLONG FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return ((LONGLONG)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

// A copy of the media in `scratch` whose READ.ME is 64 KB long.
bool MediaWithLongReadMe(const std::string& source, const std::string& scratch)
{
    RemoveTree(scratch);
    if (!CreateDirectoryA(scratch.c_str(), nullptr)) return false;
    for (const std::string& name : Tree(source, 1))
        if (name.back() != '\\' && !CopyFileA((source + "\\" + name).c_str(), (scratch + "\\" + name).c_str(), FALSE))
            return false;
    HANDLE h = CreateFileA((scratch + "\\READ.ME").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    std::string text(65536, 'r');
    DWORD written = 0;
    bool wrote = WriteFile(h, text.data(), (DWORD)text.size(), &written, nullptr) && written == text.size();
    CloseHandle(h);
    return wrote;
}

// Express to F:\VELOMIR with the drive full but for `room` bytes; the
// messages of the run, answered by StopAtTheFullDisk.
std::vector<std::string> ExpressOnTheFullDisk(const Args& args, LONG room, bool goOn = false,
                                              const std::function<void(const std::string&)>& seen = {})
{
    const std::string filler = "F:\\FILLER.BIN";
    LONGLONG filled = FillDrive(filler, room);
    CHECK(filled > 0, "cannot fill F:");
    std::vector<std::string> texts;
    {
        Installer installer;
        HWND page = StartAtLocations(args, installer);
        if (!page) return texts;
        TypeInto(GetDlgItem(page, IDC_DIRECTORY), "F:\\VELOMIR");
        CHECK(ui::WaitUntil([&] { return LitLamp(GetDlgItem(page, IDC_INDICATOR)) == kRed; }, kTimeout),
              "the light for F: is lamp %d, not red", LitLamp(GetDlgItem(page, IDC_INDICATOR)));
        ui::Click(GetDlgItem(page, IDOK));
        HWND type = WaitPage(installer, kInstallTypeTitle);
        if (!type || !ChooseExpress(installer, type)) return texts;
        texts = StopAtTheFullDisk(installer, goOn, seen);
        for (const std::string& text : texts)
            CHECK(!Starts(text, "There is not enough space"), "Express warned: %s", text.c_str());
        CHECK(installer.WaitEnd(kTimeout), "the installer did not end after the stop");
    }
    CHECK(FileSize(filler) == filled, "the user's file on F: changed");
    DeleteFileA(filler.c_str());
    if (goOn) return texts;
    std::vector<std::string> left = Tree("F:");
    CHECK(left.empty(), "F: holds %zu entries besides the user's file", left.size());
    for (const std::string& name : left) std::printf("  on F: %s\n", name.c_str());
    return texts;
}

// A full disk on the Express path: only the light warns. A user's file
// fills the drive. With one page left, the install log takes it and the
// component directory cannot be written: IDS_CANNOT_MAKE_DIRECTORY, back to
// the components page, Exit there. With two pages left and a READ.ME
// longer than that, the copy of it breaks off: Cancel in its question stops
// the install; OK goes on without the half-written file (and, as nothing
// stops the run then, to the end; that install is taken away afterwards).
// Nothing but the user's file stays.
void FullDiskExpress(const Args& args)
{
    REQUIRE(FaultDrive('F'), "no full drive F:");
    REQUIRE(Tree("F:").empty(), "F: is not empty before the walk");
    Outside before = BeforeTheWalk();

    std::vector<std::string> texts = ExpressOnTheFullDisk(args, 4096);
    CHECK(texts.size() == 3 && Starts(texts[0], "Unable to create directory F:\\VELOMIR.") &&
              texts[1] == kComponentsTitle && texts[2] == kExitQuestion,
          "one page left did not give %d, the components page and its exit question",
          IDS_CANNOT_MAKE_DIRECTORY);

    Args longReadMe = args;
    longReadMe.sourceDir = args.callLog.substr(0, args.callLog.find_last_of('\\')) + "\\readme-media";
    REQUIRE(MediaWithLongReadMe(args.sourceDir, longReadMe.sourceDir), "cannot lay out media in %s",
            longReadMe.sourceDir.c_str());
    texts = ExpressOnTheFullDisk(longReadMe, 8192);
    CHECK(texts.size() == 1 && Starts(texts[0], "Error Writing to File F:\\VELOMIR\\READ.ME."),
          "two pages left did not give the copy's question alone");
    // OK in that question goes on: the broken copy is not left half-written
    // while the install goes on (here until the user stops it).
    const std::string readMe = "F:\\VELOMIR\\READ.ME";
    texts = ExpressOnTheFullDisk(longReadMe, 8192, true, [&](const std::string& text) {
        if (!Starts(text, "Error Writing to File")) CHECK(!Exists(readMe, false), "a half-written %s", readMe.c_str());
    });
    CHECK(texts.size() >= 2 && Starts(texts[0], "Error Writing to File F:\\VELOMIR\\READ.ME."),
          "the copy's question did not come first, or nothing after it");
    CHECK(!Exists(readMe, false), "a half-written %s after the install", readMe.c_str());
    ForgetInstall("F:\\VELOMIR");
    RemoveTree(longReadMe.sourceDir);
    ExpectNothingChangedOutside(before);
}

// After the message that R: cannot take the directory: the components page.
HWND ExpectCannotMake(Installer& installer, const std::string& directory)
{
    HWND box = WaitMessageBox(installer, kInstallTimeout);
    if (!box) {
        CHECK(false, "no message for %s", directory.c_str());
        return nullptr;
    }
    std::string text = ui::MessageBoxText(box);
    CHECK(Starts(text, "Unable to create directory " + directory + ".\r\n") ||
              Starts(text, "Unable to create directory " + directory + ".\n"),
          "the message for %s is: %s", directory.c_str(), text.c_str());
    Answer(box, IDOK);
    HWND components = WaitPage(installer, kComponentsTitle);
    CHECK(components, "no components page after the message for %s", directory.c_str());
    CHECK(!FindWindowWithItem(installer.Pid(), IDC_SOURCE_TEXT), "the progress window stayed");
    return components;
}

// A read-only drive: an existing directory and a new one directly on it
// are accepted by the locations page, a deeper new one is refused; the
// install step then stops with IDS_CANNOT_MAKE_DIRECTORY and comes back to
// the components page, as often as Install is pressed; Exit there leaves
// nothing behind.
void ReadOnlyTarget(const Args& args)
{
    REQUIRE(FaultDrive('R'), "no read-only drive R:");
    std::vector<std::string> driveBefore = Tree("R:");
    Outside before = BeforeTheWalk();
    {
        Installer installer;
        HWND type = StartAtInstallType(args, installer, "R:\\VELOMIR");
        if (!type) return;
        ui::Click(GetDlgItem(type, IDC_EXPRESS));
        HWND components = ExpectCannotMake(installer, "R:\\VELOMIR");
        if (!components) return;
        // Install again: the same stop (a warning about the space first,
        // when R: reports too little of it, is ignored).
        ui::Click(GetDlgItem(components, kInstall));
        HWND box = WaitMessageBox(installer);
        if (box && ui::Text(box) == kWarning) {
            Answer(box, IDCANCEL);
        } else if (box) {
            CHECK(ui::WaitUntil([&] { return !IsWindow(components); }, kTimeout), "Install did not close the page");
        }
        components = ExpectCannotMake(installer, "R:\\VELOMIR");
        if (!components) return;

        // Back to the locations page: a deeper new path is refused there.
        ui::Click(GetDlgItem(components, IDC_BACK));
        type = WaitPage(installer, kInstallTypeTitle);
        REQUIRE(type, "Back on the components page did not show the installation type page");
        ui::Click(GetDlgItem(type, IDC_BACK));
        HWND page = WaitPage(installer, kLocationsTitle);
        REQUIRE(page, "Back on the installation type page did not show the locations page");
        LocationsNext(page, "R:\\NEW\\VELOMIR");
        HWND refused = ui::WaitFor([&] { return ui::FindMessageBox(installer.Pid(), kTitle, kInvalidPath); }, kTimeout);
        CHECK(refused, "no \"%s\" for R:\\NEW\\VELOMIR", kInvalidPath);
        if (refused) Answer(refused, IDOK);
        CHECK(IsWindow(page), "the refused path closed the locations page");

        LocationsNext(page, "R:\\NEWDIR");
        type = WaitPage(installer, kInstallTypeTitle);
        REQUIRE(type, "R:\\NEWDIR was not accepted");
        ui::Click(GetDlgItem(type, IDC_EXPRESS));
        components = ExpectCannotMake(installer, "R:\\NEWDIR");
        if (!components) return;
        LeaveWithYes(args, installer, components);
    }
    CHECK(Tree("R:") == driveBefore, "the entries of R: changed");
    CHECK(!Exists("R:\\NEWDIR", true), "R:\\NEWDIR was made");
    ExpectNothingChangedOutside(before);
}

// The installer killed in the middle of the progress; the next start puts
// back what it kept; a new run installs over what it left, its log holds
// what it wrote, and it ends.
void KilledInstaller(const Args& args)
{
    const std::string target = "C:\\VELOMIRK";
    ForgetInstall(target);
    struct Cleanup {
        std::string target;
        ~Cleanup() { ForgetInstall(target); }
    } cleanup{target};
    {
        // The first run has only the first diskette: it is killed while its
        // prompt for the second one is up, in the middle of the progress,
        // after READ.ME and the log have been written.
        Args firstDisk = args;
        firstDisk.sourceDir = args.sourceDir.substr(0, args.sourceDir.find_last_of('\\')) + "\\DISK1";
        Installer installer;
        HWND type = StartAtInstallType(firstDisk, installer, target);
        if (!type) return;
        HWND progress = ChooseExpress(installer, type);
        if (!progress) return;
        CHECK(ui::WaitFor([&] { return ui::FindDialogWith(installer.Pid(), kTitle, IDC_DISK_LOCATION); },
                          kInstallTimeout),
              "no prompt for the second diskette");
        CHECK(Exists(target + "\\READ.ME", false), "the install wrote nothing to %s", target.c_str());
        CHECK(TerminateProcess(installer.Process(), 9), "cannot kill the installer");
        WaitForSingleObject(installer.Process(), kTimeout);
    }
    CHECK(!Exists(target + "\\MEMTUNE.EXE", false), "the first run got to the end before it was killed");
    {
        // The next start puts back what the killed run kept and says so
        // before its first page.
        Installer installer;
        REQUIRE(installer.Start(args.installer, "/P " + args.sourceDir), "cannot start the installer");
        HWND box = ui::WaitFor([&] { return ui::FindMessageBox(installer.Pid(), kTitle); }, kStartTimeout);
        REQUIRE(box && Starts(ui::MessageBoxText(box), "An earlier installation was interrupted."),
                "the start after the kill did not put the killed run's files back first");
        Answer(box, IDOK);
        HWND welcome = WaitWelcome(installer);
        REQUIRE(welcome, "no welcome page after the files were put back");
        LeaveWithYes(args, installer, welcome);
        CHECK(installer.WaitEnd(kTimeout), "the installer did not end after Exit");
    }
    {
        Installer installer;
        HWND type = StartAtInstallType(args, installer, target);
        if (!type) return;
        // When the killed run got as far as the memory manager's version
        // file, the new run asks whether to install over that version: OK.
        ui::Click(GetDlgItem(type, IDC_EXPRESS));
        if (HWND question = WaitMessageBox(installer, 3000)) {
            CHECK(Starts(ui::MessageBoxText(question), "Install has found the newer version of RHOLD386.SYS"),
                  "unexpected message before the install over the killed one: %s",
                  ui::MessageBoxText(question).c_str());
            Answer(question, IDOK);
        }
        DWORD start = GetTickCount();
        while (!installer.WaitEnd(0) && GetTickCount() - start < kInstallTimeout) {
            if (HWND box = AnyMessageBox(installer)) {
                CHECK(false, "a message in the install over the killed one: %s", ui::MessageBoxText(box).c_str());
                Answer(box, IDOK);
            }
            if (HWND completion = ui::FindTopLevel(installer.Pid(), "#32770", kCompletionTitle)) {
                installer.Settle();
                ui::Click(GetDlgItem(completion, IDC_EXIT));
            }
            Sleep(100);
        }
        CHECK(installer.WaitEnd(0), "the installer did not end after the install over the killed one");
    }
    const std::string log = target + "\\INSTALL.LOG";
    CHECK(Exists(log, false), "no %s", log.c_str());
    std::vector<char> buffer(65536);
    DWORD n = GetPrivateProfileSectionA("File", buffer.data(), (DWORD)buffer.size(), log.c_str());
    std::vector<std::string> recorded;
    for (const char* entry = buffer.data(); entry < buffer.data() + n && *entry; entry += strlen(entry) + 1) {
        std::string text = entry;
        if (Upper(text).rfind("LAST=", 0) == 0) continue;
        std::string path = Upper(text.substr(text.find(',') + 1));
        CHECK(std::find(recorded.begin(), recorded.end(), path) == recorded.end(), "%s is recorded twice", path.c_str());
        recorded.push_back(path);
    }
    for (const char* file : {"RHOLD386.SYS", "RHSETUP.EXE", "MEMTUNE.EXE", "TRICORN\\TRICORN.EXE",
                             "DISKSPUR\\DSPOPT.EXE", "TECHNOTE\\TN006.TXT"}) {
        std::string path = Upper(target + "\\" + file);
        CHECK(Exists(path, false), "%s was not installed", path.c_str());
        CHECK(std::find(recorded.begin(), recorded.end(), path) != recorded.end(), "the log does not record %s",
              path.c_str());
    }
    for (const std::string& path : recorded)
        if (path.find("CUNPACK") == std::string::npos)
            CHECK(Exists(path, false), "the log records %s, which is not there", path.c_str());
    CHECK(!Exists(WindowsDir() + "\\CUNPACK.DLL", false), "the staged unpack library stayed");
}


// A second run over an install on a drive its user then filled meets the
// full disk and is stopped: what it wrote over comes back, and the first
// install is on the drive byte for byte; its uninstaller then takes it away.
void FullDiskSecondRun(const Args& args)
{
    REQUIRE(FaultDrive('F'), "no full drive F:");
    REQUIRE(Tree("F:").empty(), "F: is not empty before the walk");
    const std::string dir = "F:\\VELOMIR", filler = "F:\\USER.DAT";
    REQUIRE(RunToEnd(args.installer, "/S /COMPONENTS=21,31,41 /D=" + dir + " /NOGROUP /P " + args.sourceDir, 0) == 0,
            "the first install on F: failed");
    // An uninstaller that did not fit is not there at all, never cut short.
    const LONGLONG remover = FileSize(dir + "\\CVREMOVE.EXE");
    CHECK(remover < 0 || remover == FileSize(args.sourceDir + "\\CVREMOVE.EXE"), "CVREMOVE.EXE is cut short (%lld bytes)",
          remover);
    FillDrive(filler, 0);
    Snapshot before;
    SnapshotFiles(before, "F:", true);
    {
        Installer installer;
        HWND type = StartAtInstallType(args, installer, dir);
        if (!type) return;
        HWND components = ChooseCustom(type);
        REQUIRE(components, "no components page");
        InstallComponents(components, {false, true, true, true});
        HWND warning = WaitMessageBox(installer);
        REQUIRE(warning, "no warning of the full drive");
        Answer(warning, IDCANCEL);  // go on all the same
        std::vector<std::string> texts = StopAtTheFullDisk(installer);
        CHECK(!texts.empty() && texts.back() == kExitQuestion, "the run on the full disk was not stopped");
        CHECK(installer.WaitEnd(kTimeout), "the installer did not end after the stop");
    }
    Snapshot after;
    SnapshotFiles(after, "F:", true);
    std::vector<std::string> diff = Differences(before, after);
    CHECK(diff.empty(), "the stopped second run changed F: (%zu differences)", diff.size());
    for (const std::string& line : diff) std::printf("  %s\n", line.c_str());
    DeleteFileA(filler.c_str());
    ForgetEarlierInstall(dir);
    ExpectNothingOnTheFullDisk();
}

}  // namespace

E2E_SCENARIO("fault-drives", FaultDrives);
E2E_SCENARIO("full-disk-second-run", FullDiskSecondRun);
E2E_SCENARIO("full-disk-custom", FullDiskCustom);
E2E_SCENARIO("full-disk-express", FullDiskExpress);
E2E_SCENARIO("read-only-target", ReadOnlyTarget);
E2E_SCENARIO("killed-installer", KilledInstaller);
E2E_SCENARIO("long-source", LongSource);

}  // namespace e2e
