// Malformed install scripts. Copies of INSTALL.EXE with a damaged string
// table (a fixed table of faults, then seeded random changes of the shipped
// script) lie beside a copy of the media; each runs through an Express
// install that answers every question with its default. Each must end, by
// a message or a clean result, within its time: no crash, no hang, nothing
// written outside its own directory, and nothing outside it in its install
// log. One variant of the table keeps the script and puts archives with
// climbing, absolute and drive-letter member names on the media instead.
//
// The seed of the random changes is printed; CV_FUZZ_SEED repeats a run,
// CV_FUZZ_ONLY picks variants by number, CV_FUZZ_RANDOM sets how many
// random ones are made.
#include <shlobj.h>
#include <zlib.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <set>
#include <vector>

#include "Pages.h"
#include "resources/resource.h"
#include "SystemSnapshot.h"
#include "Variants.h"

namespace e2e {
namespace {

constexpr UINT kScriptFirst = IDS_SCRIPT_FIRST;
constexpr UINT kScriptLast = 11599;
constexpr UINT kLabelFirst = IDS_DISK_LABEL_BASE + 1;  // diskette 1
constexpr int kRandomVariants = 3;
constexpr DWORD kRunLimit = 90000;  // one install, all its questions answered

const char kCompleteTitle[] = "Installation Complete";
const char kProductIni[] = "CRVN.INI";
const char* const kRegistryKeys[] = {
    "Software\\Corvane",
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TRICORN.EXE",
    "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Velomir.EXE",
};

using Lines = std::vector<std::string>;

struct Variant {
    std::string name;
    StringChanges changes;
    // Archives of the media replaced for this run: name -> members
    // (member name -> contents).
    std::map<std::string, std::vector<std::pair<std::string, std::string>>> archives;
};

// A ZIP archive whose members are stored as they are.
std::string StoredZip(const std::vector<std::pair<std::string, std::string>>& members)
{
    std::string zip, directory;
    auto put16 = [](std::string& to, unsigned v) { to += (char)(v & 0xFF), to += (char)((v >> 8) & 0xFF); };
    auto put32 = [&](std::string& to, unsigned long v) { put16(to, v & 0xFFFF), put16(to, (v >> 16) & 0xFFFF); };
    for (const auto& [name, data] : members) {
        unsigned long crc = crc32(0, reinterpret_cast<const Bytef*>(data.data()), (uInt)data.size());
        unsigned long offset = zip.size();
        zip += "PK\3\4";
        put16(zip, 20), put16(zip, 0), put16(zip, 0), put16(zip, 0), put16(zip, 0x21);
        put32(zip, crc), put32(zip, data.size()), put32(zip, data.size());
        put16(zip, name.size()), put16(zip, 0);
        zip += name + data;
        directory += "PK\1\2";
        put16(directory, 20), put16(directory, 20), put16(directory, 0), put16(directory, 0);
        put16(directory, 0), put16(directory, 0x21);
        put32(directory, crc), put32(directory, data.size()), put32(directory, data.size());
        put16(directory, name.size()), put16(directory, 0), put16(directory, 0), put16(directory, 0);
        put16(directory, 0), put32(directory, 0), put32(directory, offset);
        directory += name;
    }
    unsigned long start = zip.size();
    zip += directory + "PK\5\6";
    put16(zip, 0), put16(zip, 0), put16(zip, members.size()), put16(zip, members.size());
    put32(zip, directory.size()), put32(zip, start), put16(zip, 0);
    return zip;
}

// The changes that make `lines` the whole script, in place of `shipped`.
StringChanges AsScript(const Lines& lines, size_t shipped)
{
    StringChanges changes;
    for (size_t k = 0; k < std::max(lines.size(), shipped); ++k)
        changes[kScriptFirst + (UINT)k] = k < lines.size() ? std::optional<std::string>(lines[k]) : std::nullopt;
    return changes;
}

Lines Inserted(Lines lines, size_t at, const Lines& more)
{
    lines.insert(lines.begin() + (std::ptrdiff_t)at, more.begin(), more.end());
    return lines;
}

// The fixed table: one variant per kind of damage. `s` is the shipped
// script (s[2], s[9] and s[16] are separators, s[17] the END line).
std::vector<Variant> FixedVariants(const Lines& s)
{
    if (s.size() < 18) return {};
    const std::string longName(300, 'L');
    const std::string deep(200, 'D');
    std::vector<Variant> table;
    auto script = [&](const char* name, const Lines& lines) { table.push_back({name, AsScript(lines, s.size()), {}}); };
    // Damaged lines after the first separator; those that name a missing
    // archive go before the last one: the diskette prompt they bring is
    // left with Exit, which ends the run.
    auto with = [&](const Lines& early, const Lines& late = {}) { return Inserted(Inserted(s, 16, late), 2, early); };

    script("missing END", Lines(s.begin(), s.end() - 1));
    script("END never active", Inserted(Lines(s.begin(), s.end() - 1), s.size() - 1, {"99,END,E"}));
    script("line without a number", Inserted(s, 16, {"X,E"}));
    script("unknown command words",
           with({"0,FORMAT,C:\\,E", "0,unzpk,240,*T1*,RAMHOLD.ZPK,2,0", "0,UNZPKK,240,*T1*,RAMHOLD.ZPK,2,0",
                           "0,,E", "0,ENDE,E", "0,E_N_D,E", "0"}));
    script("empty fields", with({"0,UNZPK,,,,,", "0,UNZPK,5,*T1*,,2,0", "0,COPY,,,,,E", "0,COPY,1,READ.ME,*T1*,,E",
                                           "0,IFEXIST,,,,E", "0,IFNOTEXIST,,,,E", "0,IFAND,,,", "0,DELETE,,,E",
                                           "0,DELETE,*T1*,,E", "0,", ","}));
    script("over-long fields",
           with({"0,UNZPK,240,*T1*" + longName + ",RAMHOLD.ZPK,2,0",
                           "0,UNZPK,240,*T1*" + deep + ",RAMHOLD.ZPK,2,0",
                           "0,COPY,1," + longName + ",*T1*,READ.ME,E",
                           "0,COPY,1,READ.ME,*T1*" + deep + ",READ.ME,E",
                           "0,COPY,1,READ.ME,*T1*," + longName + ",E",
                           "0,IFEXIST,*T1*" + deep + ",X,4,E", "0,DELETE,*T1*" + deep + ",X,E"},
                          {"0,UNZPK,240,*T1*," + std::string(240, 'Z') + ".ZPK,2,0"}));
    script("unknown macros", with({"0,UNZPK,240,*Q9*,RAMHOLD.ZPK,2,0", "0,UNZPK,240,*T7*SUB,RAMHOLD.ZPK,2,0",
                                             "0,COPY,1,READ.ME,*T1,READ.ME,E", "0,COPY,1,READ.ME,**,READ.ME,E",
                                             "0,COPY,1,READ.ME,*V1*,READ.ME,E", "0,COPY,1,READ.ME,***,X,E",
                                             "0,IFEXIST,*ZZ*,READ.ME,6,E", "0,DELETE,*T1**T1**,X,E"}));
    script("numbers outside every table",
           with({"65535,UNZPK,240,*T1*,RAMHOLD.ZPK,2,0", "99999,X,E", "52,UNZPK,240,*T1*,RAMHOLD.ZPK,2,0",
                           "0,UNZPK,65535,*T1*,INV.ZPK,65535,65535", "0,COPY,65535,READ.ME,*T1*,READ.ME,E",
                           "0,IFEXIST,*SR*,READ.ME,65535,E", "0,IFEXIST,*SR*,READ.ME,0,E", "0,IFAND,65535,99,10,E",
                           "0,IFAND,0,0,99999,E", "6,COPY,65535,READ.ME,*T1*,READ.ME,E"},
                          // the flag of the line above is set only after it: the first
                          // pass does not count its weight, the second runs it
                          {"0,IFEXIST,*SR*,READ.ME,6,E", "0,UNZPK,1,*T1*,NOSUCH.ZPK,99999,0"}));
    Lines zero = s;
    for (std::string& line : zero) {
        size_t at = line.find("UNZPK,");
        if (at == std::string::npos) at = line.find("COPY,");
        if (at != std::string::npos) {
            size_t from = line.find(',', at) + 1;
            line.replace(from, line.find(',', from) - from, "0");
        }
    }
    script("every weight 0", zero);

    Variant label{"missing diskette label", AsScript(with({}, {"11,UNZPK,240,*T1*,NOSUCH.ZPK,2,0"}), s.size()), {}};
    for (UINT n = 0; n < 4; ++n) label.changes[kLabelFirst + n] = std::nullopt;
    table.push_back(label);

    Variant items{"program-item records with holes", {}, {}};
    items.changes = {
        {IDS_ITEM_RECORD_FIRST + 0, "no comma at all"},
        {IDS_ITEM_RECORD_FIRST + 1, "11,"},
        {IDS_ITEM_RECORD_FIRST + 2, ",Empty Number,*  *,*T1*,INV.EXE,E"},
        {IDS_ITEM_RECORD_FIRST + 3, "11,,E"},
        {IDS_ITEM_RECORD_FIRST + 4, "0,Only A Title,E"},
        {IDS_ITEM_RECORD_FIRST + 5, "0,Long," + longName + "," + longName + ",E"},
        {IDS_ITEM_RECORD_FIRST + 6, "0,Bad Macros,*ZZ*,*Q1*,X.EXE,*  *,*WN*,MORICONS.DLL,99999999999,E"},
        {IDS_ITEM_RECORD_FIRST + 7, "0,Nothing After"},
        {IDS_ITEM_RECORD_FIRST + 8, std::nullopt},  // a hole: what follows is never read
        {IDS_ITEM_RECORD_FIRST + 9, "0,After The Hole,*  *,*T1*,INV.EXE,E"},
        {IDS_FOLLOW_UP_FIRST + 0, "41"},
        {IDS_FOLLOW_UP_FIRST + 1, "41,Title Only"},
        {IDS_FOLLOW_UP_FIRST + 2, "41,Missing,*  *,*T1*DISKSPUR,NOSUCH.EXE,*  *,E"},
        {IDS_FOLLOW_UP_FIRST + 3, "41,Long,*  *,*T1*DISKSPUR," + longName + ",E"},
        {IDS_FOLLOW_UP_FIRST + 4, std::nullopt},
        {IDS_FOLLOW_UP_FIRST + 5, "41,After The Hole,*  *,*T1*DISKSPUR,DSPOPT.EXE,*  *,E"},
    };
    table.push_back(items);

    // Archives whose members climb out of their directory: the unpack
    // library refuses each of them, the run goes on with the next line.
    Variant hostile{"hostile archives", {}, {}};
    hostile.archives = {
        {"TECHNOTE.ZPK", {{"TECHNOTE.TXT", "notes"}, {"../FZUP1.TXT", "up"}}},
        {"RHWIN.ZPK", {{"/FZROOT.TXT", "root"}}},
        {"WINSYS.ZPK", {{"C:FZDRIVE.TXT", "drive"}, {"C:\\FZDRIVE2.TXT", "drive"}}},
        {"INV.ZPK", {{"SUB/../../../FZUP2.TXT", "up"}, {"..\\..\\FZUP3.TXT", "up"}}},
        {"CDPMI.ZPK", {{"\\\\.\\C:\\FZDEV.TXT", "device"}}},
    };
    table.push_back(hostile);
    return table;
}

// Random damage to the shipped script: a few changes each, one after the
// other on the damaged text.
Variant RandomVariant(const std::map<UINT, std::string>& shipped, std::mt19937& random, int index)
{
    std::map<UINT, std::string> lines = shipped;
    StringChanges all;
    int count = 1 + (int)(random() % 3);
    for (int i = 0; i < count; ++i) {
        for (const auto& [id, text] : MutateScript(lines, random)) {
            all[id] = text;
            if (text) lines[id] = *text;
            else lines.erase(id);
        }
    }
    return {"random " + std::to_string(index), all, {}};
}

// The changed strings, as far as they differ from the shipped ones.
std::string Describe(const StringChanges& changes, const std::map<UINT, std::string>& shipped)
{
    std::string text;
    for (const auto& [id, line] : changes) {
        auto it = shipped.find(id);
        if (line && it != shipped.end() && it->second == *line) continue;
        std::string shown = line ? "\"" + *line + "\"" : "(removed)";
        if (shown.size() > 90) shown = shown.substr(0, 87) + "...";
        text += "    " + std::to_string(id) + " " + shown + "\n";
    }
    return text;
}

// ---- what the run may change -------------------------------------------------

// Name -> size and write time of every entry of a folder.
using Listing = std::map<std::string, std::string>;

Listing List(const std::string& folder, const char* pattern = "*")
{
    Listing listing;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\" + pattern).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return listing;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        for (char& c : name) c = (char)toupper((unsigned char)c);
        bool directory = data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        listing[name] = directory ? "dir"
                                  : std::to_string(data.nFileSizeLow) + "@" +
                                        std::to_string(data.ftLastWriteTime.dwLowDateTime) + "." +
                                        std::to_string(data.ftLastWriteTime.dwHighDateTime);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return listing;
}

std::string WindowsDir()
{
    char buffer[MAX_PATH] = {};
    GetWindowsDirectoryA(buffer, MAX_PATH);
    return buffer;
}

// The names whose entries differ between `before` and `after`.
std::vector<std::string> Changed(const Listing& before, const Listing& after)
{
    std::vector<std::string> names;
    for (const auto& [name, what] : after) {
        auto it = before.find(name);
        if (it == before.end() || it->second != what) names.push_back(name);
    }
    for (const auto& [name, what] : before)
        if (!after.count(name)) names.push_back(name + " (removed)");
    return names;
}

void DeleteKeyTree(HKEY root, const std::string& path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    std::vector<std::string> children;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        children.push_back(name);
    }
    RegCloseKey(key);
    for (const std::string& child : children) DeleteKeyTree(root, path + "\\" + child);
    RegDeleteKeyA(root, path.c_str());
}

void WriteWhole(const std::string& path, const std::string& data)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, data.data(), (DWORD)data.size(), &written, nullptr);
    CloseHandle(file);
}

std::string ReadWhole(const std::string& path, bool& present)
{
    std::string data;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    present = file != INVALID_HANDLE_VALUE;
    if (!present) return data;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got) data.append(buffer, got);
    CloseHandle(file);
    return data;
}

// What an install leaves on purpose (the product INI, the registry
// records, the program group), put back between the runs so that every
// run starts as the first; and the folders the run must not touch.
class Machine {
public:
    Machine()
    {
        ini_ = WindowsDir() + "\\" + kProductIni;
        iniData_ = ReadWhole(ini_, iniPresent_);
        for (const char* key : kRegistryKeys) {
            HKEY h;
            if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &h) == ERROR_SUCCESS) {
                RegCloseKey(h);
                keptKeys_.insert(key);
            }
        }
        for (int folder : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS}) {
            char path[MAX_PATH] = {};
            if (SHGetFolderPathA(nullptr, folder, nullptr, 0, path) == S_OK) groups_[path] = List(path);
        }
    }

    void Restore() const
    {
        if (iniPresent_) {
            WriteWhole(ini_, iniData_);
        } else {
            DeleteFileA(ini_.c_str());
        }
        for (const char* key : kRegistryKeys)
            if (!keptKeys_.count(key)) DeleteKeyTree(HKEY_LOCAL_MACHINE, key);
        for (const auto& [folder, listing] : groups_)
            for (const auto& [name, what] : List(folder))
                if (!listing.count(name)) RemoveTree(folder + "\\" + name);
    }

    // The top level of drive C: and the files of the Windows directory.
    struct Snapshot {
        Listing drive, windows;
    };
    static Snapshot Take() { return {List("C:"), List(WindowsDir())}; }

private:
    std::string ini_, iniData_;
    bool iniPresent_ = false;
    std::set<std::string> keptKeys_;
    std::map<std::string, Listing> groups_;
};

// ---- the walk ----------------------------------------------------------------

struct Windows {
    DWORD pid;
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND hwnd, LPARAM param)
{
    auto* w = reinterpret_cast<Windows*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == w->pid && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) w->found.push_back(hwnd);
    return TRUE;
}

bool IsDialog(HWND hwnd)
{
    char className[64] = {};
    GetClassNameA(hwnd, className, sizeof className);
    return lstrcmpA(className, "#32770") == 0;
}

// The button a person takes in a message box: the exit question gets Yes,
// every other box its default button.
HWND AnswerOf(HWND box)
{
    if (ui::MessageBoxText(box) == kExitQuestion) return GetDlgItem(box, IDYES);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(box, DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, 2000, &result);
    if (HIWORD(result) == DC_HASDEFID)
        if (HWND button = GetDlgItem(box, LOWORD(result))) return button;
    for (int id : {IDOK, IDYES})
        if (HWND button = GetDlgItem(box, id)) return button;
    return nullptr;
}

struct Run {
    bool ended = false;
    bool cancelled = false;  // Exit in a diskette prompt or on a page
    DWORD exitCode = 0;
    std::vector<std::string> messages;  // the texts of the boxes answered
};

// Works whatever window the installer shows until it ends or the time is
// up: Next, Accept, the target directory, Express, the default answer of
// every message, Exit in a diskette prompt and on the components page (it
// comes back only when the directories cannot be made), Finish.
Run WalkInstall(Installer& installer, const std::string& target)
{
    Run run;
    int locationsVisits = 0;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < kRunLimit) {
        if (installer.WaitEnd(200)) {
            run.ended = true;
            GetExitCodeProcess(installer.Process(), &run.exitCode);
            return run;
        }
        Windows w{installer.Pid(), {}};
        EnumWindows(&Collect, reinterpret_cast<LPARAM>(&w));
        for (HWND hwnd : w.found) {
            if (!IsDialog(hwnd)) continue;
            std::string title = ui::Text(hwnd);
            HWND press = nullptr;
            if (title == "Welcome" || title == kLicenseTitle) {
                press = GetDlgItem(hwnd, IDC_NEXT);
            } else if (title == kLocationsTitle) {
                installer.Settle();
                if (++locationsVisits > 2) {
                    press = GetDlgItem(hwnd, IDC_EXIT);
                } else {
                    std::printf("    %s: %s\n", title.c_str(), target.c_str());
                    LocationsNext(hwnd, target);
                    ui::WaitUntil([&] { return !IsWindow(hwnd) || !IsWindowEnabled(hwnd); }, 3000);
                    continue;
                }
            } else if (title == kInstallTypeTitle) {
                press = GetDlgItem(hwnd, IDC_EXPRESS);
            } else if (title == kComponentsTitle || title == kCompleteTitle) {
                press = GetDlgItem(hwnd, IDC_EXIT);
            } else if (GetDlgItem(hwnd, IDC_DISK_LOCATION)) {  // the diskette prompt
                HWND progress = FindWindowExA(nullptr, nullptr, "#32770", kTitle);
                while (progress && !GetDlgItem(progress, IDC_SOURCE_TEXT))
                    progress = FindWindowExA(nullptr, progress, "#32770", kTitle);
                std::printf("    diskette prompt \"%s\" for %s\n", ui::Text(GetDlgItem(hwnd, IDC_DISK_LABEL)).c_str(),
                            ui::Text(GetDlgItem(progress, IDC_SOURCE_TEXT)).c_str());
                press = GetDlgItem(hwnd, IDCANCEL);
                run.cancelled = true;
            } else if (GetDlgItem(hwnd, 0xFFFF) && !GetDlgItem(hwnd, IDC_PROGRESS_BAR)) {  // a message, not the progress
                run.messages.push_back(ui::MessageBoxText(hwnd));
                std::printf("    message: %s\n", run.messages.back().c_str());
                press = AnswerOf(hwnd);
            }
            if (!press) continue;
            std::printf("    %s: %s\n", title.c_str(), ui::Text(press).c_str());
            installer.Settle();
            ui::Click(press);
            ui::WaitUntil([&] { return !IsWindow(hwnd) || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd); }, 3000);
            break;
        }
    }
    return run;
}

// The paths the install log records outside `target`: its directories,
// its directory list and its files (the staged unpack library in the
// Windows directory is the one file of the run kept elsewhere).
std::vector<std::string> LoggedOutside(const std::string& target)
{
    const std::string log = target + "\\INSTALL.LOG";
    const std::string staged = WindowsDir() + "\\CUNPACK.DLL";
    auto inside = [&](const std::string& path) {
        return lstrcmpiA(path.c_str(), target.c_str()) == 0 ||
               (path.size() > target.size() && path[target.size()] == '\\' &&
                CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, path.c_str(), (int)target.size(), target.c_str(),
                               (int)target.size()) == CSTR_EQUAL) ||
               lstrcmpiA(path.c_str(), staged.c_str()) == 0;
    };
    auto afterNumber = [](const std::string& entry) {
        size_t digits = entry.find_first_not_of("0123456789");
        return digits != std::string::npos && digits > 0 && entry[digits] == ',' ? entry.substr(digits + 1) : entry;
    };
    std::vector<std::string> outside;
    std::vector<char> buffer(1 << 20);
    for (const char* section : {"Directory", "File"}) {
        GetPrivateProfileSectionA(section, buffer.data(), (DWORD)buffer.size(), log.c_str());
        for (const char* p = buffer.data(); *p; p += lstrlenA(p) + 1) {
            std::string line = p;
            size_t eq = line.find('=');
            if (eq == std::string::npos || line.substr(0, eq) == "Last") continue;
            std::string path = afterNumber(line.substr(eq + 1));
            if (!inside(path)) outside.push_back(std::string(section) + ": " + path);
        }
    }
    GetPrivateProfileStringA("DirList", "1", "", buffer.data(), (DWORD)buffer.size(), log.c_str());
    std::string list = buffer.data();
    for (size_t at = 0; (at = list.find(';', at)) != std::string::npos;) {
        size_t end = list.find(';', at + 1);
        std::string path = afterNumber(list.substr(at + 1, end == std::string::npos ? end : end - at - 1));
        if (!inside(path)) outside.push_back("DirList: " + path);
        at = end;
    }
    return outside;
}

// Puts the variant's archives into the media; gives back what they replace.
std::map<std::string, std::string> PutArchives(const std::string& media, const Variant& variant)
{
    std::map<std::string, std::string> kept;
    for (const auto& [name, members] : variant.archives) {
        bool present = false;
        kept[name] = ReadWhole(media + "\\" + name, present);
        WriteWhole(media + "\\" + name, StoredZip(members));
    }
    return kept;
}

std::string Hex(DWORD value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%08lX", (unsigned long)value);
    return text;
}

void RunVariant(const Args& args, const std::string& media, const Machine& machine, int index,
                const Variant& variant, const std::map<UINT, std::string>& shipped)
{
    char number[8];
    std::snprintf(number, sizeof number, "%02d", index);
    const std::string exe = media + "\\V" + number + ".EXE";
    const std::string folder = std::string("FZ") + number;
    const std::string target = "C:\\" + folder;
    std::printf("variant %s: %s\n%s", number, variant.name.c_str(), Describe(variant.changes, shipped).c_str());
    std::fflush(stdout);

    std::string why;
    REQUIRE(WriteInstallerVariant(args.installer, exe, variant.changes, why), "%s", why.c_str());
    RemoveTree(target);
    std::map<std::string, std::string> keptArchives = PutArchives(media, variant);
    Machine::Snapshot before = Machine::Take();
    auto started = std::chrono::steady_clock::now();

    Installer installer;
    REQUIRE(installer.Start(exe, ""), "cannot start %s", exe.c_str());
    Run run = WalkInstall(installer, target);
    long seconds = (long)std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started).count();
    std::printf("    ended %s after %ld s, exit code %s\n", run.ended ? "yes" : "NO", seconds, Hex(run.exitCode).c_str());

    CHECK(run.ended, "variant %s (%s) still runs after %lu s: a hang", number, variant.name.c_str(),
          (unsigned long)(kRunLimit / 1000));
    // A crash ends the process with an exception code (0xC0000005 and the
    // like); the installer's own ends are small numbers.
    CHECK(!run.ended || run.exitCode < 0x80000000u, "variant %s (%s) crashed: exit code %s", number,
          variant.name.c_str(), Hex(run.exitCode).c_str());
    if (!run.ended) {
        Shot(args, ("hang-" + std::string(number)).c_str());
        TerminateProcess(installer.Process(), 99);
        installer.WaitEnd(kTimeout);
    }
    Sleep(500);  // the cleanup program and follow-up programs may still be at work

    Machine::Snapshot after = Machine::Take();
    for (const std::string& name : Changed(before.drive, after.drive))
        CHECK(name == folder, "variant %s (%s) changed C:\\%s", number, variant.name.c_str(), name.c_str());
    for (const std::string& name : Changed(before.windows, after.windows))
        CHECK(name == kProductIni, "variant %s (%s) changed %s in the Windows directory", number,
              variant.name.c_str(), name.c_str());

    // A run left with Exit is taken back: its fresh directory keeps nothing.
    if (run.cancelled) {
        Listing left = List(target);
        for (const auto& [name, what] : left) std::printf("    left behind: %s\\%s\n", target.c_str(), name.c_str());
        CHECK(left.empty(), "variant %s (%s) left %d entries in %s after Exit", number, variant.name.c_str(),
              (int)left.size(), target.c_str());
    }
    std::vector<std::string> logged = LoggedOutside(target);
    for (const std::string& path : logged) std::printf("    logged outside: %s\n", path.c_str());
    CHECK(logged.empty(), "variant %s (%s): the install log records %d paths outside %s", number,
          variant.name.c_str(), (int)logged.size(), target.c_str());

    RemoveTree(target);
    machine.Restore();
    DeleteFileA(exe.c_str());
    for (const auto& [name, data] : keptArchives) WriteWhole(media + "\\" + name, data);
}

// A copy of the media beside which the variants are written: the installer
// finds its media in its own directory.
bool CopyMedia(const std::string& from, const std::string& to)
{
    RemoveTree(to);
    CreateDirectoryA(to.c_str(), nullptr);
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((from + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return false;
    bool copied = true;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        std::string name = data.cFileName;
        if (name == "INSTALL.EXE") continue;
        copied = CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE) && copied;
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return copied;
}

void Scripts(const Args& args)
{
    std::string work = args.callLog.substr(0, args.callLog.find_last_of('\\'));
    const std::string media = work + "\\scripts-media";
    REQUIRE(CopyMedia(args.sourceDir, media), "cannot copy the media %s to %s", args.sourceDir.c_str(),
            media.c_str());

    std::map<UINT, std::string> shipped = ReadStrings(args.installer, kScriptFirst, kScriptLast);
    REQUIRE(shipped.size() >= 18, "no shipped install script in %s", args.installer.c_str());
    Lines lines;
    for (const auto& [id, text] : shipped) lines.push_back(text);

    unsigned seed = (unsigned)std::chrono::system_clock::now().time_since_epoch().count();
    if (const char* given = std::getenv("CV_FUZZ_SEED")) seed = (unsigned)std::strtoul(given, nullptr, 10);
    std::printf("random seed %u (CV_FUZZ_SEED=%u repeats this run)\n", seed, seed);
    std::mt19937 random(seed);

    std::vector<Variant> variants = FixedVariants(lines);
    int randomCount = kRandomVariants;
    if (const char* given = std::getenv("CV_FUZZ_RANDOM")) randomCount = std::atoi(given);
    for (int i = 0; i < randomCount; ++i) variants.push_back(RandomVariant(shipped, random, i + 1));

    Machine machine;
    machine.Restore();
    // CV_FUZZ_ONLY=3,12 runs only those variants (numbers as printed).
    std::set<int> only;
    if (const char* list = std::getenv("CV_FUZZ_ONLY"))
        for (char* end = const_cast<char*>(list); *end;) {
            only.insert((int)std::strtol(end, &end, 10));
            if (*end) ++end;
        }
    int index = 0;
    for (const Variant& variant : variants) {
        ++index;
        if (only.empty() || only.count(index)) RunVariant(args, media, machine, index, variant, shipped);
    }
    RemoveTree(media);
}

}  // namespace

E2E_SCENARIO("scripts", Scripts);

}  // namespace e2e
