// The product records: the detection of an earlier install, CRVN.INI, the
// registry records, the shared libraries, the tuning and trainer files, and
// the undo of a run's own work. Every branch runs here whatever the
// platform reports: the writers are handed the platform text and the
// system places (a scratch folder), and HKEY_LOCAL_MACHINE is mapped onto a
// scratch key of the current user for as long as a test runs.

#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "app/InstallState.h"
#include "app/progman/ProgmanClient.h"
#include "fsutil/FsUtil.h"
#include "records/ProductIni.h"
#include "records/RegistryRecords.h"
#include "records/Undo.h"
#include "script/ScriptEngine.h"
#include "script/InstallLog.h"
#include "support/MessageBoxAnswerer.h"
#include "support/ScratchDir.h"

namespace {

const char kAppPathsVelomir[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Velomir.EXE";
const char kAppPathsTricorn[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TRICORN.EXE";
const char kProductKey[] = "Software\\Corvane\\Corvane Velomire\\CurrentVersion";

void DeleteKeyTree(HKEY root, const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        char name[256];
        for (;;) {
            DWORD length = sizeof name;
            if (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
            DeleteKeyTree(key, name);
        }
        RegCloseKey(key);
    }
    RegDeleteKeyA(root, path.c_str());
}

// HKEY_LOCAL_MACHINE of this process is a fresh key under the current user
// while the object lives; the key is deleted afterwards.
class ScratchMachineKey {
public:
    ScratchMachineKey()
    {
        path_ = "Software\\CvRecordsTest-" + std::to_string(GetCurrentProcessId());
        DeleteKeyTree(HKEY_CURRENT_USER, path_);
        RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
        overridden_ = RegOverridePredefKey(HKEY_LOCAL_MACHINE, key_) == ERROR_SUCCESS;
    }
    ~ScratchMachineKey()
    {
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegCloseKey(key_);
        DeleteKeyTree(HKEY_CURRENT_USER, path_);
    }
    bool Ok() const { return overridden_; }

private:
    std::string path_;
    HKEY key_ = nullptr;
    bool overridden_ = false;
};

void SetMachineValue(const std::string& keyPath, const std::string& name, DWORD type, const std::string& data)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()), (DWORD)data.size());
    RegCloseKey(key);
}

// The value as text, "<none>" when missing.
std::string MachineValue(const std::string& keyPath, const std::string& name)
{
    std::string data = "<none>";
    ReadStringValue(keyPath, name, data);
    return data;
}

// Only the product's own keys are ever deleted, even under the scratch key.
void DeleteOwnKeys()
{
    DeleteKeyTree(HKEY_LOCAL_MACHINE, "Software\\Corvane");
    DeleteKeyTree(HKEY_LOCAL_MACHINE, kAppPathsTricorn);
}

SystemPlaces Places(const ScratchDir& scratch, const char* os)
{
    CreateDirectoryA((scratch / "WINDOWS").c_str(), nullptr);
    CreateDirectoryA((scratch / "SYSTEM").c_str(), nullptr);
    return {os, scratch / "WINDOWS", scratch / "SYSTEM"};
}

std::string Ini(const std::string& file, const char* section, const char* key)
{
    char value[1024] = {};
    GetPrivateProfileStringA(section, key, "<none>", value, sizeof value, file.c_str());
    return value;
}

// A shared library of the test program's data (9901 CTL3DV2 2.25, 9902
// CTL3DV2 2.26, 9903 TOOLHELP 3.10, 9904 TOOLHELP 3.09, 9905 a 32-bit
// library of 2.25), or, for 0, a file
// without version information.
std::string Library(int id)
{
    if (id == 0) return "no version here";
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));
    if (!found) return {};
    HGLOBAL data = LoadResource(nullptr, found);
    return std::string(static_cast<const char*>(LockResource(data)), SizeofResource(nullptr, found));
}

// ---- previous-install detection ----------------------------------------------

TEST(PreviousInstall, EachPlatformFindsTheEarlierPlace)
{
    ScratchMachineKey machine;
    ASSERT_TRUE(machine.Ok());
    struct Case {
        const char* name;
        const char* os;
        std::string ini;  // CRVN.INI text; "@" stands for the scratch folder
        std::vector<std::pair<std::string, std::string>> appPaths;  // REG_SZ values of Velomir.EXE
        bool logInProduct;  // @\PROD\INSTALL.LOG with a "Directory" list
        std::string productDir, targetDir1, installLogPath;
    };
    const Case cases[] = {
        {"nothing recorded", "Win95 4.0", "", {}, false, "", "C:\\Velomir", ""},
        {"Win95, earlier section only", "Win95 4.0", "[Velomire]\r\nPath=D:\\OLD\r\n", {}, false, "D:\\OLD",
         "C:\\Velomir", ""},
        {"Win95, own section", "Win95 4.0", "[Velomir]\r\nPath=D:\\GAMES\\VELO\r\n", {}, false, "D:\\GAMES\\VELO",
         "D:\\GAMES\\VELO", ""},
        {"WinNT, App Paths of an earlier release", "WinNT 4.0", "",
         {{"Velomir.EXE", "E:\\APP"}, {"INSTALL.LOG", "@\\KEYLOG\\INSTALL.LOG"}}, false, "", "E:\\APP",
         "@\\KEYLOG\\INSTALL.LOG"},
        {"WinNT, App Paths before own section", "WinNT 4.0", "[Velomir]\r\nPath=@\\PROD\r\n",
         {{"Velomir.EXE", "E:\\APP"}}, true, "@\\PROD", "E:\\APP", "@\\PROD\\INSTALL.LOG"},
        {"Win32s, LogPath without backslash", "Win32S 3.10", "[Velomir]\r\nPath=D:\\V\r\nLogPath=@\\OLD\r\n", {},
         false, "D:\\V", "D:\\V", "@\\OLD\\INSTALL.LOG"},
        {"Win32s, LogPath with backslash", "Win32S 3.10", "[Velomir]\r\nLogPath=@\\OLD\\\r\n", {}, false, "",
         "C:\\Velomir", "@\\OLD\\INSTALL.LOG"},
        {"Win32s, registry not read", "Win32S 3.10", "", {{"Velomir.EXE", "E:\\APP"}}, false, "", "C:\\Velomir",
         ""},
        {"log in the product directory", "Win95 4.0", "[Velomire]\r\nPath=@\\PROD\\\r\n", {}, true, "@\\PROD\\",
         "C:\\Velomir", "@\\PROD\\INSTALL.LOG"},
        {"key names a missing log", "Win95 4.0", "[Velomir]\r\nPath=@\\PROD\r\n",
         {{"INSTALL.LOG", "@\\GONE\\INSTALL.LOG"}}, true, "@\\PROD", "@\\PROD", "@\\PROD\\INSTALL.LOG"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir scratch("detect");
        auto at = [&](std::string text) {
            for (size_t p; (p = text.find('@')) != std::string::npos;) text.replace(p, 1, scratch.Path());
            return text;
        };
        SystemPlaces places = Places(scratch, c.os);
        if (!c.ini.empty()) {
            ASSERT_TRUE(WriteWholeFile(places.windowsDir + "\\CRVN.INI", at(c.ini)));
        }
        DeleteKeyTree(HKEY_LOCAL_MACHINE, kAppPathsVelomir);
        for (const auto& [name, data] : c.appPaths) SetMachineValue(kAppPathsVelomir, name, REG_SZ, at(data) + '\0');
        if (c.logInProduct) {
            CreateDirectoryA((scratch / "PROD").c_str(), nullptr);
            ASSERT_TRUE(WriteWholeFile(scratch / "PROD\\INSTALL.LOG", "[Directory]\r\nLast=1\r\n1=11,X\r\n"));
        }
        InstallState state;
        state.defaultDrive = "C:";
        DetectPreviousInstall(state, places);
        EXPECT_EQ(state.productDir, at(c.productDir));
        EXPECT_EQ(state.targetDir1, at(c.targetDir1));
        EXPECT_EQ(state.installLogPath, at(c.installLogPath));
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, (places.windowsDir + "\\CRVN.INI").c_str());
    }
    DeleteKeyTree(HKEY_LOCAL_MACHINE, kAppPathsVelomir);
}

TEST(PreviousInstall, RegistryReadTakesWholeTextsOnly)
{
    ScratchMachineKey machine;
    ASSERT_TRUE(machine.Ok());
    const std::string longText(400, 'L');
    struct Case {
        const char* name;
        DWORD type;
        std::string stored;
        std::string read;
    };
    const Case cases[] = {
        {"long text", REG_SZ, longText + '\0', longText},
        {"text without its zero", REG_SZ, "D:\\ABC", "D:\\ABC"},
        {"number", REG_DWORD, std::string("\x07\0\0\0", 4), "unchanged"},
        {"expandable text", REG_EXPAND_SZ, std::string("D:\\X\0", 5), "unchanged"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetMachineValue("Software\\CvTest", "V", c.type, c.stored);
        std::string data = "unchanged";
        ReadStringValue("Software\\CvTest", "V", data);
        EXPECT_EQ(data, c.read);
    }
    std::string data = "unchanged";
    EXPECT_FALSE(ReadStringValue("Software\\CvNoSuchKey", "V", data));
    EXPECT_EQ(data, "unchanged");
}

// ---- the records of a completed install --------------------------------------

TEST(ProductRecords, EachPlatformWritesItsRecords)
{
    ScratchMachineKey machine;
    ASSERT_TRUE(machine.Ok());
    struct Case {
        const char* os;
        bool memoryManager;
        int addToGroup;
        bool registry;  // product record and App Paths entry expected
    };
    const Case cases[] = {
        {"Win95 4.0", true, 1, true},
        {"WinNT 4.0", true, 0, true},
        {"Win32S 3.10", true, 1, false},
        {"Win95 4.0", false, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.os) + (c.memoryManager ? " with" : " without") + " the memory manager");
        ScratchDir scratch("records");
        SystemPlaces places = Places(scratch, c.os);
        DeleteOwnKeys();
        InstallState state;
        state.productDir = scratch / "VELOMIR";
        state.targetDir1 = state.productDir;
        state.installLogPath = state.productDir + "\\INSTALL.LOG";
        state.groupName = "Corvane Velomire";
        state.addToGroup = c.addToGroup;
        state.componentSelected[11] = c.memoryManager ? 1 : 0;
        CreateDirectoryA(state.productDir.c_str(), nullptr);
        ASSERT_TRUE(WriteWholeFile(state.installLogPath, "[Directory]\r\nLast=1\r\n1=11,X\r\n"));
        ASSERT_TRUE(WriteWholeFile(state.targetDir1 + "\\UNINST.LOG", "[Registry]\r\nLast=1\r\n1=11,merged\r\n"));

        WriteProductIni(state, places);

        const std::string ini = places.windowsDir + "\\CRVN.INI";
        EXPECT_EQ(Ini(ini, "Velomir", "Path"), state.productDir);
        EXPECT_EQ(Ini(ini, "Velomir", "Group"), c.addToGroup ? "Corvane Velomire" : "");
        bool win32s = std::string(c.os).find("Win32S") == 0;
        EXPECT_EQ(Ini(ini, "TRICORN", "Path"), win32s && c.memoryManager ? state.targetDir1 : "<none>");

        EXPECT_EQ(MachineValue(kProductKey, "Description"), c.registry ? "Corvane Velomire" : "<none>");
        EXPECT_EQ(MachineValue(kProductKey, "Title"), c.registry ? "Corvane Velomire" : "<none>");
        EXPECT_EQ(MachineValue(kProductKey, "Version"), c.registry ? "8.00" : "<none>");
        EXPECT_EQ(MachineValue(kAppPathsTricorn, "TRICORN.EXE"), c.registry ? state.targetDir1 : "<none>");
        SYSTEMTIME now;
        GetLocalTime(&now);
        EXPECT_EQ(MachineValue(kProductKey, "Install Date"), c.registry ? FormatInstallDate(now) : "<none>");

        // Five own "Registry" entries in the order written, then the merged one.
        const std::string& log = state.installLogPath;
        std::vector<std::string> expected;
        if (c.registry) {
            for (const char* value : {"Description", "Install Date", "Version", "Title"})
                expected.push_back(std::string("11,Subkey,Corvane,HKEY_LOCAL_MACHINE,") + kProductKey + "," + value);
            expected.push_back(std::string("11,Subkey,App Paths,HKEY_LOCAL_MACHINE,") + kAppPathsTricorn +
                               ",TRICORN.EXE");
        }
        if (c.memoryManager) expected.push_back("11,merged");
        EXPECT_EQ(ReadLogString(log, "Registry", "Last"), expected.empty() ? "" : std::to_string(expected.size()));
        for (size_t i = 0; i < expected.size(); ++i)
            EXPECT_EQ(ReadLogString(log, "Registry", std::to_string(i + 1).c_str()), expected[i]);
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, log.c_str());
    }
    DeleteOwnKeys();
}

TEST(ProductRecords, DateAndTitleTexts)
{
    struct DateCase {
        WORD year, month, day;
        const char* text;
    };
    for (const DateCase& c : {DateCase{1995, 12, 8, "12.8.1995"}, DateCase{1996, 3, 1, "3.1.1996"},
                              DateCase{2026, 10, 31, "10.31.2026"}}) {
        SYSTEMTIME date = {};
        date.wYear = c.year;
        date.wMonth = c.month;
        date.wDay = c.day;
        EXPECT_EQ(FormatInstallDate(date), c.text);
    }
    struct TitleCase {
        const char* window;
        const char* title;
    };
    for (const TitleCase& c : {TitleCase{"Corvane Velomire Installation", "Corvane Velomire"},
                               TitleCase{"Corvane Setup", ""}, TitleCase{"Installation", ""}})
        EXPECT_EQ(ProductTitle(c.window), c.title) << c.window;
}

TEST(ProductRecords, SharedLibrariesAreReplacedOnlyWhenOlder)
{
    ScratchMachineKey machine;
    ASSERT_TRUE(machine.Ok());
    struct Case {
        const char* name;
        int ctl3dBefore;     // library id in the system directory, 0 versionless, -1 none
        int toolhelpBefore;
        bool ctl3dCopied, toolhelpCopied;
    };
    const Case cases[] = {
        {"none there", -1, -1, true, true},
        {"2.25 and 3.09 there", 9901, 9904, true, true},
        {"2.26 and 3.10 there", 9902, 9903, false, false},
        {"versionless copies there", 0, 0, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir scratch("shared");
        SystemPlaces places = Places(scratch, "Win95 4.0");
        InstallState state;
        state.targetDir1 = scratch / "VELOMIR";
        state.installLogPath = scratch / "INSTALL.LOG";
        state.componentSelected[11] = 1;
        CreateDirectoryA(state.targetDir1.c_str(), nullptr);
        CreateDirectoryA((state.targetDir1 + "\\SYSTEM").c_str(), nullptr);
        const std::string shippedCtl3d = Library(9902), shippedToolhelp = Library(9903) + "shipped";
        ASSERT_FALSE(shippedCtl3d.empty());
        WriteWholeFile(state.targetDir1 + "\\SYSTEM\\CTL3DV2.DLL", shippedCtl3d + "shipped");
        WriteWholeFile(state.targetDir1 + "\\SYSTEM\\TOOLHELP.DLL", shippedToolhelp);
        std::string ctl3dBefore, toolhelpBefore;
        if (c.ctl3dBefore >= 0) WriteWholeFile(places.systemDir + "\\CTL3DV2.DLL", ctl3dBefore = Library(c.ctl3dBefore));
        if (c.toolhelpBefore >= 0)
            WriteWholeFile(places.systemDir + "\\TOOLHELP.DLL", toolhelpBefore = Library(c.toolhelpBefore));

        WriteProductIni(state, places);

        EXPECT_EQ(ReadWholeFile(places.systemDir + "\\CTL3DV2.DLL"), c.ctl3dCopied ? shippedCtl3d + "shipped" : ctl3dBefore);
        EXPECT_EQ(ReadWholeFile(places.systemDir + "\\TOOLHELP.DLL"), c.toolhelpCopied ? shippedToolhelp : toolhelpBefore);
    }
    DeleteOwnKeys();
}

TEST(ProductRecords, VersionNumbersOfLibraries)
{
    ScratchDir scratch("version");
    struct Case {
        int library;
        int result;
        unsigned number;
    };
    // 9905 is a 32-bit library of 2.25: the other layout of the resource.
    for (const Case& c : {Case{9901, 1, 225}, Case{9902, 1, 226}, Case{9903, 1, 310}, Case{9905, 1, 225},
                          Case{0, 0, 0}}) {
        const std::string path = scratch / ("L" + std::to_string(c.library) + ".DLL");
        WriteWholeFile(path, Library(c.library));
        unsigned number = 99;
        EXPECT_EQ(FileVersionNumber(path, number), c.result) << c.library;
        EXPECT_EQ(number, c.number) << c.library;
    }
}

TEST(ProductRecords, TuningFileIsCopiedOrExtended)
{
    const std::string definitions = "; comment\r\n# other\r\nA\r\nRAM=1\r\nX=2\r\n";
    struct Case {
        const char* name;
        const char* before;  // nullptr: no MEMTUNE.NOT
        const char* after;
    };
    const Case cases[] = {
        {"no MEMTUNE.NOT", nullptr, "; comment\r\n# other\r\nA\r\nRAM=1\r\nX=2\r\n"},
        {"MEMTUNE.NOT there", "OLD=1\r\n", "OLD=1\r\nRAM=1\r\nX=2\r\n"},
        {"last line without its end", "OLD=1", "OLD=1\r\nRAM=1\r\nX=2\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir scratch("memtune");
        SystemPlaces places = Places(scratch, "Win32S 3.10");
        InstallState state;
        state.targetDir1 = scratch / "VELOMIR";
        state.componentSelected[11] = 1;
        CreateDirectoryA(state.targetDir1.c_str(), nullptr);
        WriteWholeFile(state.targetDir1 + "\\MEMTUNE.DEF", definitions);
        if (c.before) WriteWholeFile(state.targetDir1 + "\\MEMTUNE.NOT", c.before);
        WriteProductIni(state, places);
        EXPECT_EQ(ReadWholeFile(state.targetDir1 + "\\MEMTUNE.NOT"), c.after);
        EXPECT_EQ(ReadWholeFile(state.targetDir1 + "\\MEMTUNE.DEF"), definitions);
    }
}

TEST(ProductRecords, TrainerFileFollowsTheTrainer)
{
    struct Case {
        const char* name;
        int trainer, diskCache;
        bool directory;
        const char* scanned;
    };
    const Case cases[] = {
        {"trainer chosen", 1, 0, true, "No"},
        {"only the disk cache chosen", 0, 1, true, "<none>"},
        {"trainer directory missing", 1, 1, false, "<none>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir scratch("trainer");
        SystemPlaces places = Places(scratch, "Win95 4.0");
        InstallState state;
        state.targetDir1 = scratch.Path();
        state.componentSelected[11] = 0;
        state.componentSelected[31] = c.trainer;
        state.componentSelected[41] = c.diskCache;
        if (c.directory) CreateDirectoryA((scratch / "TRICORN").c_str(), nullptr);
        WriteProductIni(state, places);
        EXPECT_EQ(Ini(scratch / "TRICORN\\TRICORN.INI", "User Information", "Scanned"), c.scanned);
        EXPECT_FALSE(PathExists(scratch / "TRICORN\\TRICORN.INI") && c.scanned == std::string("<none>"));
    }
}

// ---- the undo ----------------------------------------------------------------

TEST(Undo, ConditionHoldsByNumber)
{
    UndoFlags flags;
    flags.components[11] = 1;
    flags.components[41] = 0;
    flags.components[52] = 1;
    flags.conditions[5] = 1;
    flags.components[2] = 1;
    struct Case {
        const char* entry;
        bool holds;
        const char* rest;
    };
    const Case cases[] = {
        {"0,C:\\A.EXE", true, "C:\\A.EXE"},     {"11,C:\\B", true, "C:\\B"},
        {"41,Diskspur Setup", false, "Diskspur Setup"}, {"5,C:\\READ.ME", true, "C:\\READ.ME"},
        {"6,C:\\X", false, "C:\\X"},            {"2,C:\\X", true, "C:\\X"},
        {"52,C:\\X", false, "C:\\X"},           {"99999999999,C:\\X", false, "C:\\X"},
        {"C:\\NO\\NUMBER", false, "C:\\NO\\NUMBER"}, {"11", true, ""},
    };
    for (const Case& c : cases) {
        std::string entry = c.entry;
        EXPECT_EQ(ConditionHolds(entry, flags), c.holds) << c.entry;
        EXPECT_EQ(entry, c.rest) << c.entry;
    }
}

// A run that continued an earlier log: the earlier entries and the files
// they list stay; this run's entries go by this run's flags; the log reads
// as before; only the levels this run made are removed.
TEST(Undo, TakesBackOnlyThisRunsEntries)
{
    ScratchDir scratch("undo");
    const std::string product = scratch / "GAMES\\VELOMIR";
    CreateDirectoryA((scratch / "GAMES").c_str(), nullptr);  // the user's, empty
    CreateDirectoryA(product.c_str(), nullptr);
    const std::string log = product + "\\INSTALL.LOG";
    const std::string earlier = "[Directory]\r\nLast=1\r\n1=11," + product + "\r\n[File]\r\nLast=2\r\n1=11," +
                                product + "\\OLD.EXE\r\n2=0," + product + "\\READ.ME\r\n";
    ASSERT_TRUE(WriteWholeFile(log, earlier));

    InstallState state;
    RunMemory& memory = state.runMemory;
    memory.installStarted = true;
    memory.KeepLogBeforeWrite(log);
    memory.componentFlags[21] = 1;
    memory.conditionFlags[5] = 1;

    // What this run did: made DOCS and DOCS\SUB\DEEP below the product
    // directory, unpacked into DOCS\SUB (made by the library), copied
    // READ.ME again and NOTES.TXT, and an entry 41 it did not choose.
    for (const char* d : {"\\DOCS", "\\DOCS\\SUB", "\\DOCS\\SUB\\DEEP", "\\KEEP"})
        CreateDirectoryA((product + d).c_str(), nullptr);
    memory.RecordMadeDirectories({product + "\\DOCS"});
    memory.RecordUnpackedFile(product + "\\DOCS", product + "\\DOCS\\SUB\\DEEP\\T.TXT");
    const char* files[] = {"\\OLD.EXE", "\\READ.ME", "\\NOTES.TXT", "\\DOCS\\SUB\\DEEP\\T.TXT", "\\KEEP\\D.DAT", "\\C.TXT"};
    for (const char* f : files) ASSERT_TRUE(WriteWholeFile(product + f, "x"));
    AppendLogEntry(log, "Directory", "21," + product + "\\DOCS");
    AppendLogEntry(log, "File", "5," + product + "\\READ.ME");
    AppendLogEntry(log, "File", "21," + product + "\\NOTES.TXT");
    AppendLogEntry(log, "File", "21," + product + "\\DOCS\\SUB\\DEEP\\T.TXT");
    AppendLogEntry(log, "File", "41," + product + "\\KEEP\\D.DAT");
    AppendLogEntry(log, "File", "6," + product + "\\C.TXT");

    UndoFromLog(state, log);

    struct Expect {
        const char* path;
        bool present;
    };
    const Expect expected[] = {
        {"\\OLD.EXE", true},       {"\\READ.ME", true},   {"\\NOTES.TXT", false},
        {"\\DOCS\\SUB\\DEEP\\T.TXT", false}, {"\\DOCS", false}, {"\\KEEP\\D.DAT", true},
        {"\\C.TXT", true},         {"\\KEEP", true},
    };
    for (const Expect& e : expected) EXPECT_EQ(PathExists(product + e.path), e.present) << e.path;
    EXPECT_EQ(ReadWholeFile(log), earlier);
    EXPECT_TRUE(PathExists(scratch / "GAMES"));
}

// A run that started new logs where none was: every entry is its own, its
// condition-5 copy included; the logs go; an empty folder of the user's
// above the made levels stays; the Part's number 5 stays unselected when
// the run never set it.
TEST(Undo, NewLogsGoWithTheLevelsThisRunMade)
{
    struct Case {
        const char* name;
        int condition5;
        bool readMeKept;
    };
    for (const Case& c : {Case{"condition 5 set by the run", 1, false}, Case{"condition 5 never set", 0, true}}) {
        SCOPED_TRACE(c.name);
        ScratchDir scratch("undonew");
        const std::string games = scratch / "GAMES", product = games + "\\VELOMIR", notes = scratch / "NOTES";
        CreateDirectoryA(games.c_str(), nullptr);
        InstallState state;
        RunMemory& memory = state.runMemory;
        memory.installStarted = true;
        memory.componentFlags[11] = 1;
        memory.componentFlags[21] = 1;
        memory.conditionFlags[5] = c.condition5;
        for (const std::string& dir : {product, notes}) {
            memory.RecordMadeDirectories(CreateDirectoryPathTracked(dir).made);
            const std::string log = dir + "\\INSTALL.LOG";
            memory.KeepLogBeforeWrite(log);
            WriteWholeFile(log, "");
            AppendLogEntry(log, "Directory", "11," + dir);
            WriteWholeFile(dir + "\\A.EXE", "a");
            AppendLogEntry(log, "File", "11," + dir + "\\A.EXE");
        }
        WriteWholeFile(product + "\\READ.ME", "r");
        AppendLogEntry(product + "\\INSTALL.LOG", "File", "5," + product + "\\READ.ME");
        state.installLogPath = notes + "\\INSTALL.LOG";

        UndoFromLog(state, state.installLogPath);

        EXPECT_EQ(PathExists(product + "\\READ.ME"), c.readMeKept);
        EXPECT_FALSE(PathExists(product + "\\A.EXE"));
        EXPECT_FALSE(PathExists(product + "\\INSTALL.LOG"));
        EXPECT_EQ(PathExists(product), c.readMeKept);
        EXPECT_FALSE(PathExists(notes));
        EXPECT_TRUE(PathExists(games));
    }
}

// A second run over an earlier install, through the engine's preparation
// of the log: continued (memory manager not chosen) or replaced (chosen),
// then left. The earlier log reads as before, the earlier install's files
// stay (READ.ME, written again by this run, too), the run's own go, and so
// does the directory it made for the technical notes.
TEST(Undo, SecondRunLeavesTheEarlierInstallWhole)
{
    for (bool memoryManager : {false, true}) {
        SCOPED_TRACE(memoryManager ? "log replaced" : "log continued");
        ScratchDir scratch("second");
        const std::string product = scratch / "VELOMIR", notes = product + "\\NOTES";
        const std::string log = product + "\\INSTALL.LOG";
        CreateDirectoryA(product.c_str(), nullptr);
        CreateDirectoryA((scratch / "MEDIA").c_str(), nullptr);
        const std::string earlier = "[Directory]\r\nLast=1\r\n1=11," + product + "\r\n[File]\r\nLast=1\r\n1=0," +
                                    product + "\\READ.ME\r\n";
        ASSERT_TRUE(WriteWholeFile(log, earlier));
        ASSERT_TRUE(WriteWholeFile(product + "\\READ.ME", "r"));

        InstallState state;
        state.sourceDir = scratch / "MEDIA";
        state.installLogPath = log;
        state.targetDir1 = product;
        state.targetDir2 = notes;
        for (int n : {11, 21, 31, 41, 51, 61}) state.componentSelected[n] = 0;
        state.componentSelected[11] = memoryManager ? 1 : 0;
        state.componentSelected[21] = 1;
        {
            MessageBoxAnswerer answerer;
            ScriptEngine engine(state);
            engine.TakeRunCopies();
            ASSERT_EQ(engine.PrepareInstallLogs(), 1);
        }
        ASSERT_TRUE(WriteWholeFile(notes + "\\T.TXT", "t"));
        AddFileRecord(21, notes + "\\T.TXT", state.installLogPath);
        AddFileRecord(0, product + "\\READ.ME", state.installLogPath);

        UndoFromLog(state, state.installLogPath);

        EXPECT_EQ(ReadWholeFile(log), earlier);
        EXPECT_TRUE(PathExists(product + "\\READ.ME"));
        EXPECT_FALSE(PathExists(notes));
    }
}

TEST(Undo, NothingBeforeTheInstallStep)
{
    ScratchDir scratch("undonone");
    const std::string log = scratch / "INSTALL.LOG";
    const std::string text = "[File]\r\nLast=1\r\n1=0," + scratch / "A.EXE" + "\r\n";
    WriteWholeFile(log, text);
    WriteWholeFile(scratch / "A.EXE", "a");
    InstallState state;
    state.runMemory.componentFlags[11] = 1;
    UndoFromLog(state, log);
    EXPECT_TRUE(PathExists(scratch / "A.EXE"));
    EXPECT_EQ(ReadWholeFile(log), text);
}

// Program items and groups go through Program Manager's DDE server (Wine's
// shell keeps each group as a folder of the start menu): an item entry the
// run leaves (its component not chosen) keeps the group.
TEST(Undo, GroupStaysWhileAnItemIsKept)
{
    const std::string group = "CvUndo" + std::to_string(GetCurrentProcessId());
    auto groupFolderExists = [&] {
        for (int folder : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS}) {
            char path[MAX_PATH] = {};
            if (SHGetFolderPathA(nullptr, folder, nullptr, 0, path) == S_OK &&
                PathExists(std::string(path) + "\\" + group))
                return true;
        }
        return false;
    };
    struct Case {
        int diskCache;
        bool groupLeft;
    };
    for (const Case& c : {Case{0, true}, Case{1, false}}) {
        SCOPED_TRACE(c.diskCache ? "disk cache chosen" : "disk cache not chosen");
        ScratchDir scratch("group");
        const std::string log = scratch / "INSTALL.LOG";
        if (!ProgmanClient(scratch / "OTHER.LOG").CreateGroup(0, group) || !groupFolderExists())
            GTEST_SKIP() << "no Program Manager server in this session";
        InstallState state;
        state.runMemory.installStarted = true;
        state.runMemory.componentFlags[41] = c.diskCache;
        state.runMemory.KeepLogBeforeWrite(log);
        AppendLogEntry(log, "Group", "0," + group);
        AppendLogEntry(log, "Item", "41,Diskspur Setup");
        UndoFromLog(state, log);
        EXPECT_EQ(groupFolderExists(), c.groupLeft);
        ProgmanClient(scratch / "OTHER.LOG").DeleteGroup(group);
    }
}

// The rename question: Yes moves the saved copy back, No leaves both.
TEST(Undo, RenameQuestionDecides)
{
    struct Case {
        int answer;
        const char* own;   // contents of SYSTEM.INI afterwards
        bool savedLeft;
    };
    for (const Case& c : {Case{IDYES, "saved", false}, Case{IDNO, "current", true}}) {
        // The own path of a "Rename" entry ends at the first character
        // outside its set (a "-" of a scratch folder's name, too).
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        const std::string folder = std::string(temp) + "CVRENAME" + std::to_string(GetCurrentProcessId());
        ScratchDir::RemoveTree(folder);
        CreateDirectoryA(folder.c_str(), nullptr);
        const std::string own = folder + "\\SYSTEM.INI", saved = folder + "\\SYSTEM.J00";
        WriteWholeFile(own, "current");
        WriteWholeFile(saved, "saved");
        InstallState state;
        state.runMemory.installStarted = true;
        state.runMemory.componentFlags[11] = 1;
        const std::string log = folder + "\\INSTALL.LOG";
        state.runMemory.KeepLogBeforeWrite(log);
        AppendLogEntry(log, "Rename", "11," + own + "," + saved);
        {
            MessageBoxAnswerer answerer({c.answer});
            UndoFromLog(state, log);
            ASSERT_EQ(answerer.Count(), 1u);
            EXPECT_EQ(answerer.Boxes()[0].text, "Resource Message");
        }
        EXPECT_EQ(ReadWholeFile(own), c.own);
        EXPECT_EQ(PathExists(saved), c.savedLeft);
        EXPECT_FALSE(PathExists(log));
        ScratchDir::RemoveTree(folder);
    }
}

TEST(Undo, RestoreMovedFileOnEachPlatform)
{
    struct Case {
        const char* os;
        bool ownThere;
        bool savedHeld;  // the saved copy is open without delete sharing
        int result;
    };
    const Case cases[] = {
        {"WinNT 4.0", true, false, 0},   {"Win95 4.0", true, false, 0}, {"Win32S 3.10", false, false, 0},
        {"WinNT 4.0", true, true, -1},   {"Win95 4.0", true, true, -1}, {"Win32S 3.10", true, true, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.os) + (c.savedHeld ? ", saved copy held" : ""));
        ScratchDir scratch("restore");
        const std::string own = scratch / "SYSTEM.INI", saved = scratch / "SYSTEM.J00";
        if (c.ownThere) WriteWholeFile(own, "current");
        WriteWholeFile(saved, "saved");
        HANDLE held = INVALID_HANDLE_VALUE;
        if (c.savedHeld)
            held = CreateFileA(saved.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(RestoreMovedFile(saved, own, c.os), c.result);
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
        EXPECT_EQ(ReadWholeFile(own), c.result == 0 ? "saved" : "current");
        EXPECT_EQ(PathExists(saved), c.result != 0);
        // Nothing is left under a temporary name.
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((scratch / "cvr*").c_str(), &found);
        EXPECT_EQ(find, INVALID_HANDLE_VALUE);
        if (find != INVALID_HANDLE_VALUE) FindClose(find);
    }
    ScratchDir scratch("restorenone");
    EXPECT_EQ(RestoreMovedFile(scratch / "NONE.J00", scratch / "NONE.INI", "WinNT 4.0"), -1);
}

}  // namespace
