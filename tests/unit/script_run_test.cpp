// The install step for real: RunScript over the product's own script on
// generated media and on the sample media, with the unpack library staged
// into the Windows directory. A second thread answers the message boxes and
// the diskette prompts as a person would.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "progress/BillboardDialog.h"
#include "resources/resource.h"
#include "script/InstallLog.h"
#include "script/ScriptEngine.h"
#include "support/TestFiles.h"
#include "support/EngineHarness.h"
#include "support/MessageBoxAnswerer.h"
#include "support/ScratchDir.h"
#include "unpack_zipwriter.h"

namespace {

using Lines = std::vector<std::string>;

std::string StagedLibrary()
{
    char windows[MAX_PATH] = {};
    GetWindowsDirectoryA(windows, MAX_PATH);
    return std::string(windows) + "\\CUNPACK.DLL";
}

// Answers what the run puts on screen: message boxes by the chooser, and
// diskette prompts by the next of the locations (an empty text presses
// Exit).
using Person = MessageBoxAnswerer;

int PressOk(const std::string&) { return IDOK; }

const char kTitle[] = "Corvane Velomire Installation: ";

// A day of the archives: every unpacked file gets the archive's times.
FILETIME ArchiveDay()
{
    SYSTEMTIME st{1997, 6, 0, 2, 8, 0, 0, 0};
    FILETIME ft{};
    SystemTimeToFileTime(&st, &ft);
    return ft;
}

void SetTimes(const std::string& path, const FILETIME& t)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    SetFileTime(f, &t, &t, &t);
    CloseHandle(f);
}

bool WrittenAt(const std::string& path, const FILETIME& t)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
    return CompareFileTime(&data.ftLastWriteTime, &t) == 0;
}

Lines Section(const std::string& log, const char* section)
{
    return ProfileSection(log, section);
}

const std::vector<ziptest::Entry> kNotes = {
    {"TECHNOTE/INDEX.TXT", ziptest::Text(20000, 1)},
    {"TECHNOTE/MEMORY.TXT", ziptest::Text(30000, 2)},
    {"README.TXT", "read me\r\n"},
};

// A run of the technical notes (component 21, TECHNOTE.ZPK, diskette 2)
// into <scratch>\VELOMIR from generated media: DISK1 holds the library
// and, unless told otherwise, everything else.
struct ScriptRun : testing::Test {
    ScratchDir scratch{"run"};
    std::string disk1 = scratch / "DISK1";
    std::string disk2 = scratch / "DISK2";
    std::string target = scratch / "VELOMIR";
    InstallState state;

    void SetUp() override
    {
        CreateDirectoryA(disk1.c_str(), nullptr);
        CreateDirectoryA(disk2.c_str(), nullptr);
        CopyFileA((ProgramDir() + "\\CUNPCK32.DLL").c_str(), (disk1 + "\\CUNPCK32.DLL").c_str(), FALSE);
        for (int n = 0; n <= 99; ++n) state.componentSelected[n] = 0;
        state.componentSelected[21] = 1;
        state.targetDir1 = state.targetDir2 = target;
        state.sourceDir = disk1;
        DeleteFileA(StagedLibrary().c_str());
    }

    void PutArchive(const std::string& dir, const std::string& bytes)
    {
        std::string path = dir + "\\TECHNOTE.ZPK";
        ASSERT_TRUE(WriteWholeFile(path, bytes));
        SetTimes(path, ArchiveDay());
    }

    int Run(std::function<void(ProgressWindow&)> before = {})
    {
        EngineHarness run(state, true);
        EXPECT_TRUE(run.face.Create());
        if (before) before(run.face);
        int result = run.RunScript();
        EXPECT_EQ(run.face.Handle(), nullptr) << "the run destroys its window";
        lastProgress = run.face.progressBar.position;
        return result;
    }

    std::string Log() const { return target + "\\INSTALL.LOG"; }
    int lastProgress = -1;
};

}  // namespace

// The shares of the bar: alternate rounding, and the 0.2 % rule.
TEST(ScriptShares, AlternateRoundingAndTheSmallLineRule)
{
    struct Case {
        std::vector<int> weights;
        std::vector<int> shares;
    } cases[] = {
        // Components 11, 21, 31 and 41 with READ.ME on the media.
        {{1, 240, 650, 60, 120, 70, 170, 50, 240, 350, 630, 5}, {0, 9, 26, 2, 5, 2, 7, 1, 10, 13, 25, 0}},
        {{1, 170}, {0, 100}},
        {{170}, {100}},
        {{0, 0}, {0, 0}},
    };
    for (const Case& c : cases) {
        InstallState state;
        EngineHarness engine(state);
        for (int w : c.weights) engine.Values().totalWeight += w;
        std::vector<int> shares;
        int sum = 0;
        for (int w : c.weights) sum += shares.emplace_back(engine.TakeShare(w));
        EXPECT_EQ(shares, c.shares) << "total " << engine.Values().totalWeight;
        if (engine.Values().totalWeight) {
            EXPECT_EQ(sum, 100);
        }
    }
}

namespace {

BOOL CALLBACK CountWindow(HWND, LPARAM count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int WindowsOfThisThread()
{
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountWindow, (LPARAM)&count);
    return count;
}

// A face that is no window: it notes what the engine shows and asks, and
// answers diskette prompts with `location`.
struct NotingFace : EngineView {
    std::string location;
    Lines noted;
    int windowsAtClose = -1;
    // The install log as the disk holds it when the last billboard's wait
    // begins, and its file records when the 600th file is shown.
    std::string log, logAtTheWait;
    int shown = 0;
    long recordsAt600 = -1;

    HWND ProgressTarget() const override { return nullptr; }
    void ShowFiles(const std::string& source, const std::string&) override { noted.push_back("files " + source); }
    void ShowSource(const std::string&) override {}
    void ShowDestination(const std::string& destination) override
    {
        noted.push_back("file " + destination);
        if (++shown == 600) recordsAt600 = GetPrivateProfileIntA("File", "Last", -1, log.c_str());
    }
    void Progress(int percent) override { noted.push_back("progress " + std::to_string(percent)); }
    void ReportError(UINT id, const std::string&) override { noted.push_back("report " + std::to_string(id)); }
    bool AskGoOn(UINT id, const std::string&) override { return Ask(id); }
    bool AskRetry(UINT id, const std::string&) override { return !Ask(id); }
    void ReportUnpackError(UINT id, UINT) override { noted.push_back("report " + std::to_string(id)); }
    bool PromptForDisk(int disk, std::string& where) override
    {
        noted.push_back("diskette " + std::to_string(disk));
        where = location;
        return true;
    }
    void Refresh() override {}
    void StartBillboards() override {}
    void WaitForBillboardTick() override { logAtTheWait = ReadWholeFile(log); }
    void LeaveAfterCancel() override {}
    void Close(bool completed) override
    {
        noted.push_back(completed ? "done" : "stopped");
        windowsAtClose = WindowsOfThisThread();
    }
    bool Ask(UINT id)
    {
        noted.push_back("ask " + std::to_string(id));
        return true;
    }
};

}  // namespace

// The engine needs no window: behind a face of its own it asks for the
// diskette, unpacks, copies and reports through the face alone.
TEST_F(ScriptRun, TheEngineRunsBehindAFaceThatIsNoWindow)
{
    PutArchive(disk2, ziptest::Build(kNotes));
    NotingFace face;
    face.location = disk2;
    face.log = Log();
    int before = WindowsOfThisThread();
    EXPECT_EQ(ScriptEngine(state, face).RunScript(), ScriptEngine::kRunDone);
    // The last archive's records are on the disk before the wait begins.
    EXPECT_NE(face.logAtTheWait.find(target + "\\README.TXT"), std::string::npos) << face.logAtTheWait;
    EXPECT_EQ(face.windowsAtClose, before) << "no window was made";
    EXPECT_EQ(face.noted, (Lines{"files " + disk1 + "\\CUNPCK32.DLL", "diskette 2", "file " + target + "\\TECHNOTE\\INDEX.TXT",
                                 "file " + target + "\\TECHNOTE\\MEMORY.TXT", "file " + target + "\\README.TXT",
                                 "done"}));
    EXPECT_TRUE(WrittenAt(target + "\\TECHNOTE\\INDEX.TXT", ArchiveDay()));
    EXPECT_FALSE(PathExists(StagedLibrary()));
}

// Within one long archive the records reach the disk at least every 500
// files: when the 600th is shown, the first 500 are on record.
TEST_F(ScriptRun, ALongArchiveIsRecordedAsItGoes)
{
    std::vector<ziptest::Entry> many;
    for (int i = 0; i < 650; ++i) many.push_back({"TECHNOTE/N" + std::to_string(i) + ".TXT", "n"});
    PutArchive(disk2, ziptest::Build(many));
    NotingFace face;
    face.location = disk2;
    face.log = Log();
    EXPECT_EQ(ScriptEngine(state, face).RunScript(), ScriptEngine::kRunDone);
    EXPECT_GE(face.recordsAt600, 500);
}

TEST_F(ScriptRun, FilesLandWithTheArchiveTimesAndAreLogged)
{
    PutArchive(disk1, ziptest::Build(kNotes));
    ASSERT_TRUE(WriteWholeFile(disk1 + "\\READ.ME", "notes\r\n"));
    Person person(PressOk);
    EXPECT_EQ(Run(), ScriptEngine::kRunDone);
    EXPECT_EQ(person.Seen(), Lines{});
    EXPECT_EQ(lastProgress, 100);
    for (const char* name : {"TECHNOTE\\INDEX.TXT", "TECHNOTE\\MEMORY.TXT", "README.TXT"})
        EXPECT_TRUE(WrittenAt(target + "\\" + name, ArchiveDay())) << name;
    EXPECT_EQ(ReadWholeFile(target + "\\READ.ME"), "notes\r\n");
    EXPECT_EQ(Section(Log(), "File"),
              (Lines{"Last=5", "1=0," + StagedLibrary(), "2=5," + target + "\\READ.ME",
                     "3=21," + target + "\\TECHNOTE\\INDEX.TXT", "4=21," + target + "\\TECHNOTE\\MEMORY.TXT",
                     "5=21," + target + "\\README.TXT"}));
    EXPECT_EQ(Section(Log(), "Directory"),
              (Lines{"Last=2", "1=21," + target, "2=21," + target + "\\TECHNOTE"}));
    EXPECT_EQ(Section(Log(), "Program"), (Lines{"Last=1", "1=21,Technotes"}));
    EXPECT_FALSE(PathExists(StagedLibrary()));
    // The folder the library made is the run's, as the library reported it.
    EXPECT_EQ(state.runMemory.madeDirectories, (Lines{target, target + "\\TECHNOTE"}));
}

// The library is asked for (diskette 1) before any archive; an archive
// is asked for until it is found, 11142 from the third prompt on.
TEST_F(ScriptRun, TheDisketteIsAskedForUntilItsFileIsThere)
{
    PutArchive(disk2, ziptest::Build(kNotes));
    const std::string empty = scratch / "EMPTY", wrong = scratch / "NOWHERE";
    CreateDirectoryA(empty.c_str(), nullptr);
    const std::string mustBe = std::string(kTitle) + "File TECHNOTE.ZPK must be in this directory.";
    const std::string ask1 = "prompt: Velomire Diskette # 1", ask2 = "prompt: Velomire Diskette # 2";
    struct Case {
        std::string start;
        Lines locations;
        int result;
        Lines seen;
    } cases[] = {
        {disk1, {disk2 + "\\"}, ScriptEngine::kRunDone, {ask2}},
        {disk1, {wrong, wrong, wrong, disk2}, ScriptEngine::kRunDone, {ask2, ask2, mustBe, ask2, mustBe, ask2}},
        {disk1, {""}, ScriptEngine::kRunStopped, {ask2}},
        {empty, {disk1, disk2}, ScriptEngine::kRunDone, {ask1, ask2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locations.front());
        state.sourceDir = c.start;
        Person person(PressOk, c.locations);
        EXPECT_EQ(Run(), c.result);
        EXPECT_EQ(person.Seen(), c.seen);
        EXPECT_EQ(PathExists(target + "\\README.TXT"), c.result == ScriptEngine::kRunDone);
        EXPECT_FALSE(PathExists(StagedLibrary()));
        DeleteFileA((target + "\\README.TXT").c_str());
    }
}

TEST_F(ScriptRun, CancelAsksTheExitQuestion)
{
    PutArchive(disk1, ziptest::Build(kNotes));
    ASSERT_TRUE(WriteWholeFile(disk1 + "\\READ.ME", "notes\r\n"));
    const std::string question = std::string(kTitle) + "Are you sure you want to exit Install?";
    struct Case {
        int answer;
        int result;
    } cases[] = {{IDYES, ScriptEngine::kRunStopped}, {IDNO, ScriptEngine::kRunDone}};
    for (const Case& c : cases) {
        Person person([&](const std::string&) { return c.answer; });
        // "Space to Cancel" pressed as the run starts; the click is seen
        // at the first progress report.
        int result = Run([](ProgressWindow& engine) {
            PostMessageA(engine.Handle(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                         (LPARAM)GetDlgItem(engine.Handle(), IDCANCEL));
        });
        EXPECT_EQ(result, c.result) << c.answer;
        EXPECT_EQ(person.Seen(), Lines{question});
        EXPECT_EQ(PathExists(target + "\\README.TXT"), c.result == ScriptEngine::kRunDone);
        EXPECT_FALSE(PathExists(StagedLibrary()));
    }
}

// With nothing to unpack the click is first seen while the run waits for
// its last billboard tick: the confirmed exit still stops the run.
TEST_F(ScriptRun, CancelWhileWaitingForTheLastTickStopsTheRun)
{
    state.componentSelected[21] = 0;
    Person person([](const std::string&) { return IDYES; });
    int result = Run([](ProgressWindow& engine) {
        PostMessageA(engine.Handle(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     (LPARAM)GetDlgItem(engine.Handle(), IDCANCEL));
    });
    EXPECT_EQ(result, ScriptEngine::kRunStopped);
    EXPECT_EQ(person.Seen(), Lines{std::string(kTitle) + "Are you sure you want to exit Install?"});
    EXPECT_FALSE(PathExists(StagedLibrary()));
}

TEST_F(ScriptRun, ADamagedArchiveIsReportedAndTheRunGoesOn)
{
    std::vector<ziptest::Entry> damaged = kNotes;
    damaged[1].corruptData = true;
    struct Case {
        std::string archive;
        std::string message;
    } cases[] = {
        {ziptest::Build(damaged), "An unpack failure has occurred.: An error occurred during file unpack."},
        {"not an archive at all", "An open unpack error has occurred.: Install is unable to open a file for unpacking."},
    };
    for (const Case& c : cases) {
        PutArchive(disk1, c.archive);
        Person person(PressOk);
        EXPECT_EQ(Run(), ScriptEngine::kRunDone);
        EXPECT_EQ(person.Seen(), Lines{c.message});
    }
}

// A library that is staged but will not load ends the run as stopped, and
// its staged copy is removed all the same.
TEST_F(ScriptRun, ALibraryThatWillNotLoadStopsTheRun)
{
    PutArchive(disk1, ziptest::Build(kNotes));
    ASSERT_TRUE(WriteWholeFile(disk1 + "\\CUNPCK32.DLL", "not a library"));
    Person person(PressOk);
    EXPECT_EQ(Run(), ScriptEngine::kRunStopped);
    EXPECT_EQ(person.Seen(), Lines{std::string(kTitle) + "Please insert disk with " + StagedLibrary() + " Library"});
    EXPECT_FALSE(PathExists(target + "\\README.TXT"));
    EXPECT_FALSE(PathExists(StagedLibrary()));
}

// After the staging question and a Retry that works, a later failed copy
// is still asked (READ.ME on the media is a directory: IFEXIST sets its flag
// and the copy cannot open it).
TEST_F(ScriptRun, CopyErrorsAreAskedAfterTheStagingQuestion)
{
    PutArchive(disk1, ziptest::Build(kNotes));
    CreateDirectoryA((disk1 + "\\READ.ME").c_str(), nullptr);
    HANDLE lock = CreateFileA(StagedLibrary().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    Person person([&](const std::string& text) {
        if (text.rfind("Unable to copy file", 0) != 0) return IDOK;
        CloseHandle(lock);  // the file is free again: try once more
        return IDRETRY;
    });
    EXPECT_EQ(Run(), ScriptEngine::kRunDone);
    Lines seen = person.Seen();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], std::string(kTitle) + "Unable to copy file " + StagedLibrary() +
                           ".\r\nPlease make sure the file and drive are writable.");
    EXPECT_EQ(seen[1].rfind(std::string(kTitle) + "Error Opening File " + disk1 + "\\READ.ME.", 0), 0u) << seen[1];
    EXPECT_TRUE(PathExists(target + "\\README.TXT"));
}

// A component directory whose creation fails for any reason but a missing
// parent is used only when a file can be made in it.
TEST_F(ScriptRun, AComponentDirectoryMustBeWritable)
{
    std::string aFile = scratch / "AFILE";
    ASSERT_TRUE(WriteWholeFile(aFile, "x"));
    std::string there = scratch / "THERE";
    CreateDirectoryA(there.c_str(), nullptr);
    struct Case {
        std::string directory;
        int result;
    } cases[] = {{there, 1}, {aFile, -1}, {UnwritableDirectory(), -1}};
    for (const Case& c : cases) {
        if (c.directory.empty()) continue;  // no unwritable directory in this prefix
        SCOPED_TRACE(c.directory);
        state.targetDir2 = c.directory;
        MessageBoxAnswerer answerer;
        EngineHarness engine(state);
        engine.TakeRunCopies();
        EXPECT_EQ(engine.PrepareInstallLogs(), c.result);
        EXPECT_EQ(answerer.Count(), c.result == -1 ? 1u : 0u);
    }
}

// The whole script on the sample media, every component.
TEST(ScriptRunMedia, TheSampleMediaInstallEveryArchive)
{
    std::string media = SampleMediaAll();
    if (!PathExists(media + "\\RAMHOLD.ZPK")) GTEST_SKIP() << "no sample media at " << media;
    ScratchDir scratch("media");
    InstallState state;
    for (int n : {11, 21, 31, 41}) state.componentSelected[n] = 1;
    for (int n : {51, 61}) state.componentSelected[n] = 0;
    std::string target = scratch / "VELOMIR";
    state.targetDir1 = state.targetDir2 = state.targetDir3 = state.targetDir4 = target;
    state.sourceDir = media;
    Person person(PressOk);
    EngineHarness engine(state, true);
    ASSERT_TRUE(engine.face.Create());
    EXPECT_EQ(engine.RunScript(), ScriptEngine::kRunDone);
    EXPECT_EQ(person.Seen(), Lines{});
    EXPECT_EQ(engine.Values().totalWeight, 2586);
    EXPECT_EQ(engine.Values().progressDone, 100);
    for (const char* file : {"RAMHOLD.TXT", "TRICORN\\TRICORN.TXT", "DISKSPUR\\DSPDLL.TXT", "READ.ME"})
        EXPECT_TRUE(PathExists(target + "\\" + file)) << file;
    EXPECT_EQ(Section(target + "\\INSTALL.LOG", "Program").size(), 5u);
    EXPECT_FALSE(PathExists(StagedLibrary()));
}

// Billboards step forward one at a time, each once the progress has passed
// the next third and a tick has come; never at 100 %, never after a cancel.
TEST(ProgressWindowBillboards, StepOnAtEachThirdAfterATick)
{
    InstallState state;
    ProgressWindow window(state, nullptr, true);
    ASSERT_TRUE(window.Create());
    window.StartBillboards();
    window.StopBillboardTimer();  // the ticks come from the table below
    ASSERT_TRUE(window.billboard);
    EXPECT_EQ(window.billboard->templateId, 1021u);
    EXPECT_FALSE(IsWindowEnabled(window.billboard->Handle()));
    struct Step {
        bool tick;
        int percent;
        unsigned billboard;
        int bar;
    } steps[] = {
        {false, 50, 1021, 50},  // no tick yet
        {true, 10, 1021, 10},   // a tick, but not a third
        {false, 80, 1022, 80},  // 10 -> 80 in one tick: one step only
        {false, 90, 1022, 90},
        {true, 90, 1023, 90},
        {true, 100, 1023, 100},
    };
    for (const Step& s : steps) {
        if (s.tick) window.billboardTickDue = 1;
        SendMessageA(window.Handle(), UM_PROGRESS, s.percent, 0);
        ASSERT_TRUE(window.billboard);
        EXPECT_EQ(window.billboard->templateId, s.billboard) << s.percent;
        EXPECT_EQ(window.progressBar.position, s.bar) << s.percent;
    }
    window.cancelRequested = 1;
    SendMessageA(window.Handle(), UM_PROGRESS, 40, 0);
    EXPECT_EQ(window.progressBar.position, 100) << "a cancelled run leaves the bar";

    window.ShowFiles("a:\\velomir\\read.me", "c:\\Velomir\\Read.Me");
    EXPECT_EQ(window.ItemText(IDC_SOURCE_TEXT), "A:\\VELOMIR\\READ.ME");
    EXPECT_EQ(window.ItemText(IDC_DESTINATION_TEXT), "C:\\VELOMIR\\READ.ME");
}
