// The product records and the undo. Every platform's branch runs here
// whatever the platform reports: the writers are handed the platform text
// and the system places (a scratch folder), and HKEY_LOCAL_MACHINE of this
// process is a scratch key of the current user while a case runs.

#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "state/InstallState.h"
#include "app/progman/ProgmanClient.h"
#include "fsutil/FsUtil.h"
#include "records/ProductIni.h"
#include "records/RegistryRecords.h"
#include "records/Undo.h"
#include "script/InstallLog.h"
#include "script/KeptFiles.h"
#include "script/ScriptEngine.h"
#include "support/EngineHarness.h"
#include "support/MessageBoxAnswerer.h"
#include "support/ScratchDir.h"

namespace {

// The undo as the installer composes it: items and groups through
// Program Manager.
void Undo(InstallState& state, const std::string& log)
{
    ProgmanItemRemover progman;
    UndoFromLog(state, log, progman);
}

const char kAppPathsVelomir[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Velomir.EXE";
const char kAppPathsTricorn[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\TRICORN.EXE";
const char kProductKey[] = "Software\\Corvane\\Corvane Velomire\\CurrentVersion";

void DeleteKeyTree(HKEY root, const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        char name[256];
        DWORD length = sizeof name;
        while (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
            DeleteKeyTree(key, name);
            length = sizeof name;
        }
        RegCloseKey(key);
    }
    RegDeleteKeyA(root, path.c_str());
}

// One case's world: a scratch folder with WINDOWS and SYSTEM in it, and a
// fresh scratch key standing in for HKEY_LOCAL_MACHINE, deleted afterwards.
struct World {
    ScratchDir scratch{"records"};
    SystemPlaces places;
    std::string keyPath = "Software\\CvRecordsTest-" + std::to_string(GetCurrentProcessId());
    HKEY key = nullptr;
    bool overridden = false;

    explicit World(const char* os)
    {
        places = {os, scratch / "WINDOWS", scratch / "SYSTEM"};
        CreateDirectoryA(places.windowsDir.c_str(), nullptr);
        CreateDirectoryA(places.systemDir.c_str(), nullptr);
        DeleteKeyTree(HKEY_CURRENT_USER, keyPath);
        RegCreateKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        overridden = RegOverridePredefKey(HKEY_LOCAL_MACHINE, key) == ERROR_SUCCESS;
    }
    ~World()
    {
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegCloseKey(key);
        DeleteKeyTree(HKEY_CURRENT_USER, keyPath);
    }
    // Replaces "@" in `text` by the scratch folder.
    std::string At(std::string text) const
    {
        for (size_t p; (p = text.find('@')) != std::string::npos;) text.replace(p, 1, scratch.Path());
        return text;
    }
};

void SetMachineValue(const std::string& keyPath, const std::string& name, DWORD type, const std::string& data)
{
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
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

std::string Ini(const std::string& file, const char* section, const char* key)
{
    char value[1024] = {};
    GetPrivateProfileStringA(section, key, "<none>", value, sizeof value, file.c_str());
    return value;
}

// A library of the test program's data: 9901 CTL3DV2 2.25, 9902 CTL3DV2
// 2.26, 9903 TOOLHELP 3.10, 9904 TOOLHELP 3.09 (16-bit), 9905 a 32-bit one
// of 2.25; 0 gives a file without version information.
std::string Library(int id)
{
    if (id == 0) return "no version here";
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));
    if (!found) return {};
    return std::string(static_cast<const char*>(LockResource(LoadResource(nullptr, found))),
                       SizeofResource(nullptr, found));
}

// ---- previous-install detection ----------------------------------------------

TEST(PreviousInstall, EachPlatformFindsTheEarlierPlace)
{
    struct Case {
        const char* name;
        const char* os;
        const char* ini;  // CRVN.INI; "@" is the scratch folder
        std::vector<std::pair<std::string, std::string>> appPaths;  // values of Velomir.EXE
        bool logInProduct;  // @\PROD\INSTALL.LOG with a "Directory" list
        const char *productDir, *targetDir1, *installLogPath;
    };
    const Case cases[] = {
        {"nothing recorded", "Win95 4.0", "", {}, false, "", "C:\\Velomir", ""},
        {"Win95, earlier section", "Win95 4.0", "[Velomire]\nPath=D:\\OLD\n", {}, false, "D:\\OLD", "C:\\Velomir", ""},
        {"Win95, own section", "Win95 4.0", "[Velomir]\nPath=D:\\V\n", {}, false, "D:\\V", "D:\\V", ""},
        {"WinNT, App Paths", "WinNT 4.0", "", {{"Velomir.EXE", "E:\\APP"}, {"INSTALL.LOG", "@\\K\\INSTALL.LOG"}},
         false, "", "E:\\APP", "@\\K\\INSTALL.LOG"},
        {"WinNT, App Paths before own section", "WinNT 4.0", "[Velomir]\nPath=@\\PROD\n", {{"Velomir.EXE", "E:\\APP"}},
         true, "@\\PROD", "E:\\APP", "@\\PROD\\INSTALL.LOG"},
        {"Win32s, LogPath without backslash", "Win32S 3.10", "[Velomir]\nPath=D:\\V\nLogPath=@\\OLD\n", {}, false,
         "D:\\V", "D:\\V", "@\\OLD\\INSTALL.LOG"},
        {"Win32s, LogPath with backslash", "Win32S 3.10", "[Velomir]\nLogPath=@\\OLD\\\n", {}, false, "",
         "C:\\Velomir", "@\\OLD\\INSTALL.LOG"},
        {"Win32s reads no registry", "Win32S 3.10", "", {{"Velomir.EXE", "E:\\APP"}}, false, "", "C:\\Velomir", ""},
        {"log in the product directory", "Win95 4.0", "[Velomire]\nPath=@\\PROD\\\n", {}, true, "@\\PROD\\",
         "C:\\Velomir", "@\\PROD\\INSTALL.LOG"},
        {"key names a missing log", "Win95 4.0", "[Velomir]\nPath=@\\PROD\n", {{"INSTALL.LOG", "@\\GONE\\INSTALL.LOG"}},
         true, "@\\PROD", "@\\PROD", "@\\PROD\\INSTALL.LOG"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        World world(c.os);
        ASSERT_TRUE(world.overridden);
        WriteWholeFile(world.places.windowsDir + "\\CRVN.INI", world.At(c.ini));
        for (const auto& [name, data] : c.appPaths) SetMachineValue(kAppPathsVelomir, name, REG_SZ, world.At(data));
        if (c.logInProduct) {
            CreateDirectoryA((world.scratch / "PROD").c_str(), nullptr);
            WriteWholeFile(world.scratch / "PROD\\INSTALL.LOG", "[Directory]\nLast=1\n1=11,X\n");
        }
        InstallState state;
        state.defaultDrive = "C:";
        DetectPreviousInstall(state, world.places);
        EXPECT_EQ(state.productDir, world.At(c.productDir));
        EXPECT_EQ(state.targetDir1, world.At(c.targetDir1));
        EXPECT_EQ(state.installLogPath, world.At(c.installLogPath));
    }
}

TEST(PreviousInstall, RegistryReadTakesWholeTextsOnly)
{
    struct Case {
        const char* name;
        DWORD type;
        std::string stored, read;
    };
    const Case cases[] = {
        {"long text", REG_SZ, std::string(400, 'L') + '\0', std::string(400, 'L')},
        {"text without its zero", REG_SZ, "D:\\ABC", "D:\\ABC"},
        {"number", REG_DWORD, std::string("\x07\0\0\0", 4), "unchanged"},
        {"expandable text", REG_EXPAND_SZ, std::string("D:\\X\0", 5), "unchanged"},
        {"no such key", 0, "", "unchanged"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        World world("WinNT 4.0");
        if (c.type) SetMachineValue("Software\\CvTest", "V", c.type, c.stored);
        std::string data = "unchanged";
        EXPECT_EQ(ReadStringValue("Software\\CvTest", "V", data), c.read != "unchanged");
        EXPECT_EQ(data, c.read);
    }
}

// ---- the records of a completed install --------------------------------------

// An install in @\VELOMIR with its log and a UNINST.LOG of one entry.
InstallState InstalledState(const World& world, int memoryManager)
{
    InstallState state;
    state.productDir = state.targetDir1 = world.scratch / "VELOMIR";
    state.installLogPath = state.productDir + "\\INSTALL.LOG";
    state.groupName = "Corvane Velomire";
    for (int n : {11, 21, 31, 41}) state.componentSelected[n] = 0;
    state.componentSelected[11] = memoryManager;
    CreateDirectoryA(state.productDir.c_str(), nullptr);
    CreateDirectoryA((state.productDir + "\\SYSTEM").c_str(), nullptr);
    WriteWholeFile(state.installLogPath, "[Directory]\nLast=1\n1=11,X\n");
    WriteWholeFile(state.targetDir1 + "\\UNINST.LOG", "[Registry]\nLast=1\n1=11,merged\n");
    return state;
}

TEST(ProductRecords, EachPlatformWritesItsRecords)
{
    struct Case {
        const char* os;
        int memoryManager, addToGroup;
        bool registry, tricornSection;
    };
    for (const Case& c : {Case{"Win95 4.0", 1, 1, true, false}, Case{"WinNT 4.0", 1, 0, true, false},
                          Case{"Win32S 3.10", 1, 1, false, true}, Case{"Win95 4.0", 0, 1, false, false}}) {
        SCOPED_TRACE(std::string(c.os) + (c.memoryManager ? " with" : " without") + " the memory manager");
        World world(c.os);
        ASSERT_TRUE(world.overridden);
        InstallState state = InstalledState(world, c.memoryManager);
        state.addToGroup = c.addToGroup;
        WriteProductIni(state, world.places);

        const std::string ini = world.places.windowsDir + "\\CRVN.INI";
        EXPECT_EQ(Ini(ini, "Velomir", "Path"), state.productDir);
        EXPECT_EQ(Ini(ini, "Velomir", "Group"), c.addToGroup ? "Corvane Velomire" : "");
        EXPECT_EQ(Ini(ini, "TRICORN", "Path"), c.tricornSection ? state.targetDir1 : "<none>");
        SYSTEMTIME now;
        GetLocalTime(&now);
        const std::pair<const char*, std::string> values[] = {
            {"Description", "Corvane Velomire"}, {"Install Date", FormatInstallDate(now)},
            {"Version", "8.00"}, {"Title", "Corvane Velomire"}};
        // The log: each value after it is set, in order, then the merged entry.
        std::vector<std::string> entries;
        for (const auto& [name, data] : values) {
            EXPECT_EQ(MachineValue(kProductKey, name), c.registry ? data : "<none>") << name;
            if (c.registry)
                entries.push_back(std::string("11,Subkey,Corvane,HKEY_LOCAL_MACHINE,") + kProductKey + "," + name);
        }
        EXPECT_EQ(MachineValue(kAppPathsTricorn, "TRICORN.EXE"), c.registry ? state.targetDir1 : "<none>");
        if (c.registry)
            entries.push_back(std::string("11,Subkey,App Paths,HKEY_LOCAL_MACHINE,") + kAppPathsTricorn +
                              ",TRICORN.EXE");
        if (c.memoryManager) entries.push_back("11,merged");
        EXPECT_EQ(ReadLogString(state.installLogPath, "Registry", "Last"),
                  entries.empty() ? "" : std::to_string(entries.size()));
        for (size_t i = 0; i < entries.size(); ++i)
            EXPECT_EQ(ReadLogString(state.installLogPath, "Registry", std::to_string(i + 1).c_str()), entries[i]);
    }
}

TEST(ProductRecords, InstallDateIsMonthDayYear)
{
    struct Case {
        WORD year, month, day;
        const char* text;
    };
    for (const Case& c :
         {Case{1995, 12, 8, "12.8.1995"}, Case{1996, 3, 1, "3.1.1996"}, Case{2026, 10, 31, "10.31.2026"}}) {
        SYSTEMTIME date = {};
        date.wYear = c.year, date.wMonth = c.month, date.wDay = c.day;
        EXPECT_EQ(FormatInstallDate(date), c.text);
    }
}

TEST(ProductRecords, SharedLibrariesAreReplacedOnlyWhenOlder)
{
    struct Case {
        const char* name;
        int ctl3d, toolhelp;  // library in the system directory before; -1 none
        bool ctl3dCopied, toolhelpCopied;
    };
    for (const Case& c : {Case{"none there", -1, -1, true, true}, Case{"2.25 and 3.09", 9901, 9904, true, true},
                          Case{"2.26 and 3.10", 9902, 9903, false, false}, Case{"versionless", 0, 0, true, true},
                          Case{"32-bit 2.25, 3.10", 9905, 9903, true, false}}) {
        SCOPED_TRACE(c.name);
        World world("Win95 4.0");
        ASSERT_TRUE(world.overridden);
        InstallState state = InstalledState(world, 1);
        const std::string shipped[] = {Library(9902) + "shipped", Library(9903) + "shipped"};
        WriteWholeFile(state.targetDir1 + "\\SYSTEM\\CTL3DV2.DLL", shipped[0]);
        WriteWholeFile(state.targetDir1 + "\\SYSTEM\\TOOLHELP.DLL", shipped[1]);
        const std::string system[] = {world.places.systemDir + "\\CTL3DV2.DLL",
                                      world.places.systemDir + "\\TOOLHELP.DLL"};
        std::string before[2];
        if (c.ctl3d >= 0) WriteWholeFile(system[0], before[0] = Library(c.ctl3d));
        if (c.toolhelp >= 0) WriteWholeFile(system[1], before[1] = Library(c.toolhelp));
        WriteProductIni(state, world.places);
        EXPECT_EQ(ReadWholeFile(system[0]), c.ctl3dCopied ? shipped[0] : before[0]);
        EXPECT_EQ(ReadWholeFile(system[1]), c.toolhelpCopied ? shipped[1] : before[1]);
    }
}

TEST(ProductRecords, TuningFileIsCopiedOrExtended)
{
    const std::string definitions = "; comment\r\n# other\r\nA\r\nRAM=1\r\nX=2\r\n";
    struct Case {
        const char *before, *after;  // MEMTUNE.NOT; no file before for nullptr
    };
    for (const Case& c : {Case{nullptr, "; comment\r\n# other\r\nA\r\nRAM=1\r\nX=2\r\n"},
                          Case{"OLD=1\r\n", "OLD=1\r\nRAM=1\r\nX=2\r\n"}, Case{"OLD=1", "OLD=1\r\nRAM=1\r\nX=2\r\n"}}) {
        SCOPED_TRACE(c.before ? c.before : "no MEMTUNE.NOT");
        World world("Win32S 3.10");
        InstallState state = InstalledState(world, 1);
        WriteWholeFile(state.targetDir1 + "\\MEMTUNE.DEF", definitions);
        if (c.before) WriteWholeFile(state.targetDir1 + "\\MEMTUNE.NOT", c.before);
        WriteProductIni(state, world.places);
        EXPECT_EQ(ReadWholeFile(state.targetDir1 + "\\MEMTUNE.NOT"), c.after);
    }
}

TEST(ProductRecords, TrainerFileFollowsTheTrainer)
{
    struct Case {
        int trainer, diskCache;
        bool directory;
        const char* scanned;
    };
    for (const Case& c : {Case{1, 0, true, "No"}, Case{0, 1, true, "<none>"}, Case{1, 1, false, "<none>"}}) {
        SCOPED_TRACE(std::to_string(c.trainer) + std::to_string(c.diskCache) + std::to_string(c.directory));
        World world("Win95 4.0");
        InstallState state = InstalledState(world, 0);
        state.componentSelected[31] = c.trainer;
        state.componentSelected[41] = c.diskCache;
        if (c.directory) CreateDirectoryA((state.targetDir1 + "\\TRICORN").c_str(), nullptr);
        WriteProductIni(state, world.places);
        EXPECT_EQ(Ini(state.targetDir1 + "\\TRICORN\\TRICORN.INI", "User Information", "Scanned"), c.scanned);
    }
}

// ---- the undo ----------------------------------------------------------------

TEST(Undo, ConditionHoldsByNumber)
{
    UndoFlags flags;
    flags.components[2] = flags.components[11] = flags.components[52] = 1;
    flags.conditions[5] = 1;
    struct Case {
        const char* entry;
        bool holds;
        const char* rest;
    };
    for (const Case& c : {Case{"0,C:\\A", true, "C:\\A"}, Case{"11,C:\\B", true, "C:\\B"},
                          Case{"41,Diskspur Setup", false, "Diskspur Setup"},
                          Case{"5,C:\\READ.ME", true, "C:\\READ.ME"},
                          Case{"6,C:\\X", false, "C:\\X"}, Case{"2,C:\\X", true, "C:\\X"}, Case{"52,X", false, "X"},
                          Case{"99999999999,X", false, "X"}, Case{"C:\\NO", false, "C:\\NO"}, Case{"11", true, ""}}) {
        std::string entry = c.entry;
        EXPECT_EQ(ConditionHolds(entry, flags), c.holds) << c.entry;
        EXPECT_EQ(entry, c.rest) << c.entry;
    }
}

// A run that continued an earlier log: the earlier entries and the files
// they list stay; this run's entries go by this run's flags (5 set by the
// run, 6 not, 41 not chosen); the log reads as before; of the folders only
// the levels this run made go, and those the library made below a
// destination.
TEST(Undo, TakesBackOnlyThisRunsEntries)
{
    ScratchDir scratch("undo");
    const std::string product = scratch / "GAMES\\VELOMIR", log = product + "\\INSTALL.LOG";
    CreateDirectoryA((scratch / "GAMES").c_str(), nullptr);  // the user's, empty
    CreateDirectoryA(product.c_str(), nullptr);
    const std::string earlier = "[File]\r\nLast=2\r\n1=11," + product + "\\OLD.EXE\r\n2=0," + product + "\\X.TXT\r\n";
    WriteWholeFile(log, earlier);

    InstallState state;
    RunMemory& memory = state.runMemory;
    memory.installStarted = true;
    memory.KeepLogBeforeWrite(log);
    memory.componentFlags[21] = 1;
    memory.conditionFlags[5] = 1;
    for (const char* d : {"\\DOCS", "\\DOCS\\SUB", "\\DOCS\\SUB\\DEEP", "\\KEEP"})
        CreateDirectoryA((product + d).c_str(), nullptr);
    memory.RecordMadeDirectories({product + "\\DOCS"});
    // The levels the library reported before it made them.
    memory.RecordMadeDirectories({product + "\\DOCS\\SUB", product + "\\DOCS\\SUB\\DEEP"});
    struct File {
        const char* entry;  // number,name under the product directory; nullptr: the earlier install's
        const char* name;
        bool left;
    };
    const File files[] = {{nullptr, "\\OLD.EXE", true}, {"0", "\\X.TXT", true}, {"5", "\\READ.ME", false},
                          {"21", "\\DOCS\\SUB\\DEEP\\T.TXT", false}, {"41", "\\KEEP\\D.DAT", true},
                          {"6", "\\C.TXT", true}};
    for (const File& f : files) {
        WriteWholeFile(product + f.name, "x");
        if (f.entry) AppendLogEntry(log, "File", std::string(f.entry) + "," + product + f.name);
    }
    Undo(state, log);
    for (const File& f : files) EXPECT_EQ(PathExists(product + f.name), f.left) << f.name;
    EXPECT_FALSE(PathExists(product + "\\DOCS"));
    EXPECT_TRUE(PathExists(product + "\\KEEP"));
    EXPECT_TRUE(PathExists(scratch / "GAMES"));
    EXPECT_EQ(ReadWholeFile(log), earlier);
}

// A second run over an earlier install, through the engine's preparation
// of the log: continued (memory manager not chosen) or replaced (chosen),
// then left. The earlier log reads as before and the earlier install's
// READ.ME stays though the run wrote it again; a new log, in a directory
// the run made, goes with that directory.
TEST(Undo, SecondRunLeavesTheEarlierInstallWhole)
{
    for (bool memoryManager : {false, true}) {
        SCOPED_TRACE(memoryManager ? "log replaced" : "log continued");
        ScratchDir scratch("second");
        const std::string product = scratch / "VELOMIR", notes = product + "\\NOTES", log = product + "\\INSTALL.LOG";
        CreateDirectoryA(product.c_str(), nullptr);
        CreateDirectoryA((scratch / "MEDIA").c_str(), nullptr);
        const std::string earlier =
            "[Directory]\r\nLast=1\r\n1=11," + product + "\r\n[File]\r\nLast=1\r\n1=0," + product + "\\READ.ME\r\n";
        WriteWholeFile(log, earlier);
        WriteWholeFile(product + "\\READ.ME", "r");

        InstallState state;
        state.sourceDir = scratch / "MEDIA";
        state.installLogPath = log;
        state.targetDir1 = product;
        state.targetDir2 = notes;
        for (int n : {11, 21, 31, 41, 51, 61}) state.componentSelected[n] = 0;
        state.componentSelected[11] = memoryManager;
        state.componentSelected[21] = 1;
        {
            MessageBoxAnswerer answerer;
            EngineHarness engine(state);
            engine.TakeRunCopies();
            ASSERT_EQ(engine.PrepareInstallLogs(), 1);
        }
        WriteWholeFile(notes + "\\T.TXT", "t");
        AddFileRecord(21, notes + "\\T.TXT", state.installLogPath);
        AddFileRecord(0, product + "\\READ.ME", state.installLogPath);

        Undo(state, state.installLogPath);
        EXPECT_EQ(ReadWholeFile(log), earlier);
        EXPECT_TRUE(PathExists(product + "\\READ.ME"));
        EXPECT_FALSE(PathExists(notes));
    }
}

// Where the undo cannot tell what a log held before the run, nothing it
// lists is taken back and the log stays: a log another program held while
// the run kept it, and a kept log that cannot be read back (no usable
// temporary folder).
TEST(Undo, DoubtKeepsWhatALogLists)
{
    for (bool lockedAtKeep : {true, false}) {
        SCOPED_TRACE(lockedAtKeep ? "log locked when kept" : "no temporary folder at the undo");
        ScratchDir scratch("undodoubt");
        const std::string log = scratch / "INSTALL.LOG", old = scratch / "OLD.EXE";
        const std::string earlier = "[File]\r\nLast=1\r\n1=0," + old + "\r\n";
        WriteWholeFile(log, earlier);
        WriteWholeFile(old, "o");
        InstallState state;
        state.runMemory.installStarted = true;
        HANDLE lock = lockedAtKeep ? CreateFileA(log.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                                   : INVALID_HANDLE_VALUE;
        state.runMemory.KeepLogBeforeWrite(log);
        if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
        // The run writes the file again and records it.
        WriteWholeFile(old, "new");
        AppendLogEntry(log, "File", "0," + old);
        char temp[MAX_PATH] = {};
        GetEnvironmentVariableA("TMP", temp, MAX_PATH);
        if (!lockedAtKeep) SetEnvironmentVariableA("TMP", (scratch / "NO\\SUCH").c_str());
        Undo(state, log);
        SetEnvironmentVariableA("TMP", temp);
        EXPECT_TRUE(PathExists(old));
        EXPECT_TRUE(PathExists(log));
    }
}

// What a run writes over (A, and C whose new file never came) or deletes
// (B) is kept: a run that stops puts all back, byte for byte with its
// times; a completed one keeps its new files and B's deletion; the next
// run puts back what a killed one kept, its log too.
TEST(KeptFiles, BackAfterAStopOrAKillDroppedOnCompletion)
{
    enum End { Stopped, Completed, Killed };
    for (End end : {Stopped, Completed, Killed}) {
        SCOPED_TRACE(end);
        ScratchDir scratch("kept");
        const std::string a = scratch / "A.EXE", b = scratch / "B.COM", c = scratch / "C.DLL", log = scratch / "X.LOG";
        fw::FileTimes old{};
        for (const std::string& path : {a, b, c, log}) {
            WriteWholeFile(path, "old " + path);
            fw::ReadFileTimes(path, old);
            old.written = {0x12345678, 0x01B00000};
            fw::SetFileTimes(path, old);
        }
        {
            RunMemory memory;
            KeepLog(memory, log);
            WriteWholeFile(log, "[File]\r\nLast=1\r\n");
            ASSERT_TRUE(KeepAside(memory, a));
            WriteWholeFile(a, "new");
            ASSERT_TRUE(KeepAside(memory, b, true));
            ASSERT_TRUE(KeepAside(memory, c));
            EXPECT_FALSE(PathExists(b) || PathExists(c));
            if (end == Stopped) {
                EXPECT_EQ(PutKeptFilesBack(memory), 0);
            } else if (end == Completed) {
                DropKeptFiles(memory);
            }
        }
        if (end == Killed) {
            EXPECT_GE(RecoverInterruptedRun(), 4);
        }
        for (const std::string& path : {a, b, c, log}) {
            // The log goes back through the undo; only a killed run's
            // comes back from its keep folder.
            if (path == log && end != Killed) continue;
            bool back = end != Completed || path == c;
            bool gone = end == Completed && path == b;
            fw::FileTimes now{};
            EXPECT_EQ(PathExists(path), !gone) << path;
            if (!back || gone) continue;
            EXPECT_EQ(ReadWholeFile(path), "old " + path);
            if (path != log) {
                ASSERT_TRUE(fw::ReadFileTimes(path, now));
                EXPECT_EQ(now.written.dwLowDateTime, old.written.dwLowDateTime) << path;
            }
        }
        if (end == Completed) {
            EXPECT_EQ(ReadWholeFile(a), "new");
        }
        EXPECT_TRUE(KeepFoldersOn(scratch.Path().substr(0, 2)).empty());
    }
}

// A file the run made where none was is the run's, though an earlier log
// lists it (the user had deleted it); a folder that was there before the
// run, empty, stays though the run's files went into it.
TEST(Undo, WhatTheRunMadeAndWhatWasThere)
{
    ScratchDir scratch("undomade");
    const std::string log = scratch / "INSTALL.LOG", file = scratch / "SYSTEM\\LIB.DLL";
    const std::string earlier = "[File]\r\nLast=1\r\n1=0," + file + "\r\n";
    WriteWholeFile(log, earlier);
    CreateDirectoryA((scratch / "SYSTEM").c_str(), nullptr);
    InstallState state;
    state.runMemory.installStarted = true;
    state.runMemory.KeepLogBeforeWrite(log);
    WriteWholeFile(file, "new");
    state.runMemory.RecordMadeAnew(file);
    AppendLogEntry(log, "File", "0," + file);
    Undo(state, log);
    EXPECT_FALSE(PathExists(file));
    EXPECT_TRUE(PathExists(scratch / "SYSTEM"));
    EXPECT_EQ(ReadWholeFile(log), earlier);
}

// An earlier log written by hand in the ways the profile calls allow
// (blanks around "=", quotes, a section twice, comment lines) reads the
// same before and after the run: none of its entries counts as the run's.
TEST(Undo, AnOddEarlierLogStaysTheEarlierInstalls)
{
    ScratchDir scratch("undoodd");
    const std::string log = scratch / "INSTALL.LOG", a = scratch / "A.EXE", b = scratch / "B.EXE";
    const std::string earlier = "; written by hand\r\n[File]\r\n Last = 2 \r\n1 = 0," + a + "\r\n[Other]\r\nx=1\r\n[file]\r\n2=\"0," +
                                b + "\"\r\n";
    WriteWholeFile(log, earlier);
    for (const std::string& path : {a, b}) WriteWholeFile(path, "earlier");
    InstallState state;
    state.runMemory.installStarted = true;
    state.runMemory.KeepLogBeforeWrite(log);
    AppendLogEntry(log, "File", "0," + a);  // the run wrote A again
    Undo(state, log);
    EXPECT_TRUE(PathExists(a));
    EXPECT_TRUE(PathExists(b));
    EXPECT_EQ(ReadWholeFile(log), earlier);
}

TEST(Undo, NothingBeforeTheInstallStep)
{
    ScratchDir scratch("undonone");
    const std::string log = scratch / "INSTALL.LOG", text = "[File]\r\nLast=1\r\n1=0," + scratch / "A.EXE" + "\r\n";
    WriteWholeFile(log, text);
    WriteWholeFile(scratch / "A.EXE", "a");
    InstallState state;
    Undo(state, log);
    EXPECT_TRUE(PathExists(scratch / "A.EXE"));
    EXPECT_EQ(ReadWholeFile(log), text);
}

// Program Manager's groups are folders of the start menu under Wine: an
// item entry the undo leaves (its component not chosen) keeps the group.
TEST(Undo, GroupStaysWhileAnItemIsKept)
{
    const std::string group = "CvUndo" + std::to_string(GetCurrentProcessId());
    auto groupThere = [&] {
        char path[MAX_PATH] = {};
        bool there = false;
        for (int folder : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS})
            there |= SHGetFolderPathA(nullptr, folder, nullptr, 0, path) == S_OK && PathExists(path + ("\\" + group));
        return there;
    };
    for (int diskCache : {0, 1}) {
        SCOPED_TRACE(diskCache ? "disk cache chosen" : "disk cache not chosen");
        ScratchDir scratch("group");
        const std::string log = scratch / "INSTALL.LOG";
        if (!ProgmanClient(scratch / "OTHER.LOG").CreateGroup(0, group) || !groupThere())
            GTEST_SKIP() << "no Program Manager server in this session";
        InstallState state;
        state.runMemory.installStarted = true;
        state.runMemory.componentFlags[41] = diskCache;
        state.runMemory.KeepLogBeforeWrite(log);
        AppendLogEntry(log, "Group", "0," + group);
        AppendLogEntry(log, "Item", "41,Diskspur Setup");
        Undo(state, log);
        EXPECT_EQ(groupThere(), diskCache == 0);
        ProgmanClient(scratch / "OTHER.LOG").DeleteGroup(group);
    }
}

TEST(Undo, RenameQuestionDecides)
{
    for (int answer : {IDYES, IDNO}) {
        // The own path of a "Rename" entry ends at the first character
        // outside its set, the "-" of a scratch folder's name too.
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        const std::string folder = std::string(temp) + "CVRENAME" + std::to_string(GetCurrentProcessId());
        const std::string own = folder + "\\SYSTEM.INI", saved = folder + "\\SYSTEM.J00";
        const std::string log = folder + "\\INSTALL.LOG";
        CreateDirectoryA(folder.c_str(), nullptr);
        WriteWholeFile(own, "current");
        WriteWholeFile(saved, "saved");
        InstallState state;
        state.runMemory.installStarted = true;
        state.runMemory.componentFlags[11] = 1;
        state.runMemory.KeepLogBeforeWrite(log);
        AppendLogEntry(log, "Rename", "11," + own + "," + saved);
        {
            MessageBoxAnswerer answerer({answer});
            Undo(state, log);
            ASSERT_EQ(answerer.Count(), 1u);
            EXPECT_EQ(answerer.Boxes()[0].text, "Resource Message");
        }
        EXPECT_EQ(ReadWholeFile(own), answer == IDYES ? "saved" : "current");
        EXPECT_EQ(PathExists(saved), answer == IDNO);
        EXPECT_FALSE(PathExists(log));
        ScratchDir::RemoveTree(folder);
    }
}

TEST(Undo, RestoreMovedFileOnEachPlatform)
{
    struct Case {
        const char* os;
        bool ownThere, savedHeld;  // held: open without delete sharing
        int result;
    };
    for (const Case& c : {Case{"WinNT 4.0", true, false, 0}, Case{"Win95 4.0", true, false, 0},
                          Case{"Win32S 3.10", false, false, 0}, Case{"WinNT 4.0", true, true, -1},
                          Case{"Win95 4.0", true, true, -1}, Case{"Win32S 3.10", true, true, -1}}) {
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
        WIN32_FIND_DATAA found;  // nothing is left under a temporary name
        HANDLE find = FindFirstFileA((scratch / "cvr*").c_str(), &found);
        EXPECT_EQ(find, INVALID_HANDLE_VALUE);
        if (find != INVALID_HANDLE_VALUE) FindClose(find);
    }
}

}  // namespace
