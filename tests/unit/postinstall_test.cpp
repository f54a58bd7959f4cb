// After the install: the expansion of item records, the follow-up programs
// and their wait, the program group through Program Manager's DDE server
// (Wine's shell stands in for it), and the completion page.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "fw/Process.h"
#include "state/InstallState.h"
#include "app/PostInstall.h"
#include "app/ProgramItems.h"
#include "pages/completion/CompletionPage.h"
#include "resources/resource.h"
#include "script/InstallLog.h"
#include "support/TestFiles.h"
#include "support/MessageBoxAnswerer.h"
#include "support/PageDriver.h"
#include "support/ScratchDir.h"

namespace {

const char kTitle[] = "Corvane Velomire Installation";
const char kEmptyFile[] = "Empty String instead of file name";

// Copies a program built beside the unit program (the test programs).
bool CopyProgram(const std::string& name, const std::string& destination)
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string dir(self);
    dir.erase(dir.find_last_of('\\'));
    return CopyFileA((dir + "\\" + name).c_str(), destination.c_str(), FALSE) != 0;
}

// The call log the sample programs write, once it has `lines` lines: a
// program started without waiting writes it when it gets to it.
std::string CallLog(const std::string& path, size_t lines)
{
    std::string text;
    for (int i = 0; i < 500 && (size_t)std::count(text.begin(), text.end(), '\n') < lines; ++i) {
        if (i) Sleep(20);
        text = ReadWholeFile(path);
    }
    return text;
}

struct CallLogEnvironment {
    explicit CallLogEnvironment(const std::string& path) { SetEnvironmentVariableA("CV_CALL_LOG", path.c_str()); }
    ~CallLogEnvironment() { SetEnvironmentVariableA("CV_CALL_LOG", nullptr); }
};

std::vector<std::string> LogList(const std::string& log, const char* section)
{
    std::vector<std::string> entries;
    int last = std::atoi(ReadLogString(log, section, "Last").c_str());
    for (int n = 1; n <= last; ++n) entries.push_back(ReadLogString(log, section, std::to_string(n).c_str()));
    return entries;
}

}  // namespace

TEST(ItemRecords, ExpansionOfCommandsAndArguments)
{
    InstallState state;
    state.targetDir1 = "C:\\VELOMIR";
    state.defaultDrive = "C:";
    state.varString3 = "D:\\VAR3";
    state.groupName = "Corvane Velomire";
    const std::string win = WindowsDir();
    const std::string a248(248, 'A'), a250(250, 'A'), a251(251, 'A');
    struct Case {
        const char* name;
        std::string rest;
        int result;
        std::string out;
        std::string restAfter;  // after the command, or after the arguments with `args`
        bool args = false;
        int argsResult = 1;
        const char* box = nullptr;
    };
    const Case cases[] = {
        {"11601", "*NP*,*T1*,READ.ME,E", 1, "notepad.exe C:\\VELOMIR\\READ.ME", "E"},
        {"11606", "*NP*,*T1*DISKSPUR,READ.ME,E", 1, "notepad.exe C:\\VELOMIR\\DISKSPUR\\READ.ME", "E"},
        {"11604", "*  *,*T1*,INV.EXE,*  *,*WN*,MORICONS.DLL,58,E", 1, "C:\\VELOMIR\\INV.EXE",
         "*  *,*WN*,MORICONS.DLL,58,E"},
        {"11604 icon", "*  *,*WN*,MORICONS.DLL,58,E", 1, win + "\\MORICONS.DLL", "58,E"},
        {"11681", "*  *,*T1*DISKSPUR,DSPOPT.EXE,* NOREBOOT*,E", 1, "C:\\VELOMIR\\DISKSPUR\\DSPOPT.EXE NOREBOOT", "E",
         true},
        {"11682", "*  *,*T1*DISKSPUR,DSPOPT.EXE,* NOREBOOT PREF*,E", 1,
         "C:\\VELOMIR\\DISKSPUR\\DSPOPT.EXE NOREBOOT PREF", "E", true},
        {"relative", "*  *,*  *UTIL,X.EXE,E", 1, "UTIL\\X.EXE", "E"},
        {"unknown ZZ", "*  *,*ZZ*,X.EXE,E", 1, "C:\\VELOMIR\\X.EXE", "E"},
        {"V3 DATA", "*  *,*V3*DATA,X.EXE,E", 1, "D:\\VAR3\\DATA\\X.EXE", "E"},
        {"drive root", "*  *,*  *C:\\,X.EXE,E", 1, "C:\\X.EXE", "E"},
        {"from the root", "*  *,*  *,\\BIN\\X.EXE,E", 1, "C:\\BIN\\X.EXE", "E"},
        {"/S", "*  *,*T1*,X.EXE,*/S*,E", 1, "C:\\VELOMIR\\X.EXE/S", "E", true},
        {"T1 blank", "*  *,*T1*,X.EXE,* *,*T1*,E", 1, "C:\\VELOMIR\\X.EXE C:\\VELOMIR", "E", true},
        {"WH V5", "*WH*,*WN*,HELP.HLP,* *,*V5*,*  *,E", 1, "winhelp.exe " + win + "\\HELP.HLP Corvane Velomire", "E",
         true},
        {"no end mark", "*WR*,*T1*,A.WRI,* X*", 1, "write.exe C:\\VELOMIR\\A.WRI X", "", true},
        {"hyphen", "*  *,*T1*,MY-FILE.EXE,E", 1, "C:\\VELOMIR\\MY", "FILE.EXE,E"},
        {"empty file", "*  *,*T1*,,E", 0, "", "E", false, 1, kEmptyFile},
        {"259 fits", "*  *,*  *C:\\" + a250 + ",X.EXE,E", 1, "C:\\" + a250 + "\\X.EXE", "E"},
        {"260 refused", "*  *,*  *C:\\" + a251 + ",X.EXE,E", 0, "", "E", false, 1, "Invalid resource string"},
        {"arguments to 259", "*  *,*  *C:\\" + a248 + ",X.EXE,*AB*,E", 1, "C:\\" + a248 + "\\X.EXEAB", "E", true, 1},
        {"arguments past 259", "*  *,*  *C:\\" + a248 + ",X.EXE,*ABC*,E", 1, "C:\\" + a248 + "\\X.EXE", "E", true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MessageBoxAnswerer answerer({IDOK});
        std::string rest = c.rest;
        std::string out = "stale";
        EXPECT_EQ(ExpandItemCommand(state, rest, out), c.result);
        if (c.args) {
            EXPECT_EQ(ExpandArguments(state, rest, out), c.argsResult);
        }
        EXPECT_EQ(out, c.out);
        EXPECT_EQ(rest, c.restAfter);
        ASSERT_EQ(answerer.Count(), c.box ? 1u : 0u);
        if (c.box) {
            EXPECT_EQ(answerer.Boxes()[0].text.rfind(c.box, 0), 0u) << answerer.Boxes()[0].text;
            EXPECT_EQ(answerer.Boxes()[0].caption, kTitle);
        }
    }
}

namespace {

// A message-only window that sets `event` when it gets WM_APP: proof that
// this thread's messages were dispatched.
LRESULT CALLBACK ProbeProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l)
{
    if (msg == WM_APP) SetEvent(reinterpret_cast<HANDLE>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)));
    return DefWindowProcA(hwnd, msg, w, l);
}

}  // namespace

TEST(FollowUpPrograms, WaitEndsForExitCode259AndDispatchesMessages)
{
    // A wait that never ends would hold the whole run: end it with a word.
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread guard([done] {
        if (WaitForSingleObject(done, 60000) == WAIT_OBJECT_0) return;
        fprintf(stderr, "FATAL: the wait for a program with exit code 259 never ended\n");
        TerminateProcess(GetCurrentProcess(), 3);
    });
    ScratchDir scratch("exit259");
    ASSERT_TRUE(CopyProgram("EXITCODE.EXE", scratch / "EXITCODE.EXE"));
    std::string eventName = "CVPOST" + std::to_string(GetCurrentProcessId());
    HANDLE dispatched = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
    WNDCLASSA wc{};
    wc.lpfnWndProc = &ProbeProc;
    wc.lpszClassName = "CvDispatchProbe";
    RegisterClassA(&wc);
    HWND probe = CreateWindowA("CvDispatchProbe", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    SetWindowLongPtrA(probe, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(dispatched));
    PostMessageA(probe, WM_APP, 0, 0);

    // The program ends with 259 once the probe's message has been dispatched.
    InstallState state;
    state.targetDir1 = scratch.Path();
    state.componentSelected[41] = 1;
    EXPECT_EQ(RunFollowUpRecord(state, "41,Exit,*  *,*T1*,EXITCODE.EXE,* 259 " + eventName + "*,E"),
              FollowUpResult::Ran);
    EXPECT_EQ(WaitForSingleObject(dispatched, 0), WAIT_OBJECT_0);
    // It really ends with 259.
    std::string command = scratch / "EXITCODE.EXE 259";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    fw::WaitForProcess(pi.hProcess);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 259u);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    DestroyWindow(probe);
    CloseHandle(dispatched);
    SetEvent(done);
    guard.join();
    CloseHandle(done);
}

TEST(FollowUpPrograms, WhichRecordsRunAndInWhatOrder)
{
    ScratchDir scratch("followup");
    CreateDirectoryA((scratch / "DISKSPUR").c_str(), nullptr);
    ASSERT_TRUE(CopyProgram("DSPOPT.EXE", scratch / "DISKSPUR\\DSPOPT.EXE"));
    CallLogEnvironment environment(scratch / "CALLS.LOG");
    InstallState state;
    state.targetDir1 = scratch.Path();
    state.foregroundTitle = "Diskspur Setup";
    state.componentSelected[41] = 0;
    EXPECT_EQ(RunFollowUpPrograms(state), 0);  // the disk cache is not selected
    EXPECT_FALSE(PathExists(scratch / "CALLS.LOG"));

    for (int n : {0, 11, 41, 53}) state.componentSelected[n] = 1;
    EXPECT_EQ(RunFollowUpPrograms(state), 2);
    // Each was waited for: both lines are there when the loop returns.
    EXPECT_EQ(ReadWholeFile(scratch / "CALLS.LOG"), "DSPOPT.EXE|NOREBOOT\r\nDSPOPT.EXE|NOREBOOT PREF\r\n");
    EXPECT_EQ(state.foregroundTitle, "");
    DeleteFileA((scratch / "CALLS.LOG").c_str());

    const std::string dspopt = ",Diskspur,*  *,*T1*DISKSPUR,DSPOPT.EXE,*  *,E";
    const std::string missing = "11,Missing,*  *,*T1*,NOSUCH.EXE,E";
    struct Case {
        std::string record;
        FollowUpResult result;
        const char* box;
    } cases[] = {
        {"53" + dspopt, FollowUpResult::NotSelected, nullptr},
        {"0" + dspopt, FollowUpResult::NotSelected, nullptr},
        {"41", FollowUpResult::Invalid, "Invalid resource string 41."},
        {"41,Diskspur Setup", FollowUpResult::Invalid, "Invalid resource string Diskspur Setup."},
        {"41,Diskspur,*  *,*T1*,,E", FollowUpResult::Invalid, kEmptyFile},
        {"41,Long,*  *,*T1*DISKSPUR,DSPOPT.EXE,*" + std::string(260, 'X') + "*,E", FollowUpResult::Invalid,
         "Invalid resource string 41,Long,"},
        {missing, FollowUpResult::NotStarted, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.record);
        MessageBoxAnswerer answerer({IDOK});
        EXPECT_EQ(RunFollowUpRecord(state, c.record), c.result);
        ASSERT_EQ(answerer.Count(), c.box ? 1u : 0u);
        if (c.box) {
            EXPECT_EQ(answerer.Boxes()[0].text.rfind(c.box, 0), 0u);
        }
    }
    EXPECT_FALSE(PathExists(scratch / "CALLS.LOG"));
    // A program that cannot be started ends the list.
    EXPECT_EQ(RunFollowUpPrograms(state, {missing, "41" + dspopt}), 0);
    EXPECT_FALSE(PathExists(scratch / "CALLS.LOG"));
}

namespace {

// The Start Menu folder that Wine's shell makes for a program group; it
// goes with the test.
struct StartMenuGroup {
    explicit StartMenuGroup(const std::string& tag) : name("Cvunit " + tag + std::to_string(GetCurrentProcessId()))
    {
        char programs[MAX_PATH] = {};
        SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, programs);
        folder = std::string(programs) + "\\" + name;
        ScratchDir::RemoveTree(folder);
    }
    ~StartMenuGroup() { ScratchDir::RemoveTree(folder); }
    std::string Link(const std::string& title) const { return folder + "\\" + title + ".lnk"; }
    std::string name, folder;
};

// The target, icon file and icon index of a shell link.
std::string ReadLink(const std::string& path)
{
    std::string text;
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void**)&link)) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file)) &&
        SUCCEEDED(file->Load(std::wstring(path.begin(), path.end()).c_str(), STGM_READ))) {
        char target[MAX_PATH] = {}, icon[MAX_PATH] = {};
        int index = -1;
        link->GetPath(target, MAX_PATH, nullptr, 0);
        link->GetIconLocation(icon, MAX_PATH, &index);
        text = std::string(target) + "|" + icon + "|" + std::to_string(index);
    }
    if (file) file->Release();
    if (link) link->Release();
    CoUninitialize();
    CharUpperA(text.data());
    return text;
}

}  // namespace

TEST(ProgramItems, BadRecordsAreReportedAndSkipped)
{
    ScratchDir scratch("items");
    StartMenuGroup group("Records");
    InstallState state;
    state.targetDir1 = scratch.Path();
    state.installLogPath = scratch / "INSTALL.LOG";
    state.groupName = group.name;
    state.componentSelected[11] = 1;
    state.componentSelected[41] = 0;
    state.componentSelected[53] = 1;
    MessageBoxAnswerer answerer({IDOK});
    CreateProgramItems(state, {
                                 "11,Velomire ReadMe,*NP*,*T1*,READ.ME,E",
                                 "11",
                                 "11,Title",
                                 ",Title,*  *,*T1*,X.EXE,E",
                                 "11,,*  *,*T1*,X.EXE,E",
                                 "11,Only Delete,E",
                                 "41,Not Selected,*  *,*T1*,X.EXE,E",
                                 "53,Fifty Three,*  *,*T1*,X.EXE,E",
                                 "11,No File,*  *,*T1*,,E",
                                 "0,Always,*  *,*T1*,INV.EXE,*  *,*WN*,MORICONS.DLL,58,E",
                             });
    std::vector<std::string> texts;
    for (const MessageBoxAnswerer::Box& box : answerer.Boxes()) texts.push_back(box.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Invalid resource string 11.", "Invalid resource string Title.",
                                               kEmptyFile, kEmptyFile, kEmptyFile}));
    EXPECT_EQ(LogList(state.installLogPath, "Group"), (std::vector<std::string>{"0," + group.name}));
    // "E" right after the title deletes the old item and adds none; a
    // record without its file adds none either.
    EXPECT_EQ(LogList(state.installLogPath, "Item"),
              (std::vector<std::string>{"11,Velomire ReadMe", "53,Fifty Three", "0,Always"}));
}

TEST(ProgramItems, ShippedGroupThroughTheShellsDdeServer)
{
    ScratchDir scratch("group");
    for (const char* program : {"INV.EXE", "MEMTUNE.EXE"}) ASSERT_TRUE(CopyProgram(program, scratch / program));
    WriteWholeFile(scratch / "READ.ME", "notes");
    StartMenuGroup group("Velomire");
    InstallState state;
    state.targetDir1 = scratch.Path();
    state.installLogPath = scratch / "INSTALL.LOG";
    state.groupName = group.name;
    state.componentSelected[11] = 1;
    state.componentSelected[31] = 0;
    state.componentSelected[41] = 0;
    MessageBoxAnswerer answerer({IDOK});
    CreateProgramItems(state);
    EXPECT_EQ(answerer.Count(), 0u);
    EXPECT_EQ(LogList(state.installLogPath, "Item"),
              (std::vector<std::string>{"11,Velomire ReadMe", "11,Ramhold Setup", "11,Ramhold Memtune",
                                        "11,Corvane Inventory"}));
    // The shell links the programs that exist, and no command with
    // arguments (Notepad with the notes).
    EXPECT_TRUE(PathExists(group.Link("Ramhold Memtune")));
    std::string inventory = scratch / "INV.EXE|" + WindowsDir() + "\\MORICONS.DLL|58";
    CharUpperA(inventory.data());
    EXPECT_EQ(ReadLink(group.Link("Corvane Inventory")), inventory);
    EXPECT_FALSE(PathExists(group.Link("Ramhold Setup")));
    EXPECT_FALSE(PathExists(group.Link("Velomire ReadMe")));
    EXPECT_FALSE(PathExists(group.Link("Diskspur Panel")));
}

namespace {

using WorkedPage = DrivenPage<CompletionPage>;

}  // namespace

TEST(CompletionPage, RamholdSetupAndTheWaysOut)
{
    ScratchDir scratch("completion");
    CallLogEnvironment environment(scratch / "CALLS.LOG");
    InstallState state;
    state.targetDir1 = scratch.Path();
    state.componentSelected[11] = 0;

    // Without the memory manager the button is greyed; Finish leaves.
    std::atomic<bool> setupEnabled{true};
    std::atomic<int> defaultId{0};
    WorkedPage greyed(
        [&](WorkedPage& p) {
            setupEnabled = IsWindowEnabled(p.ItemOf(IDC_RAMHOLD_SETUP));
            defaultId = LOWORD(SendMessageA(p.Handle(), DM_GETDEFID, 0, 0));
            p.Command(IDC_EXIT);
        },
        state);
    EXPECT_EQ(greyed.DoModal(), 2);
    EXPECT_FALSE(setupEnabled);
    EXPECT_EQ(defaultId, IDC_RAMHOLD_SETUP);  // Enter starts Ramhold Setup
    EXPECT_EQ(greyed.setupDir, scratch.Path());

    // No setup tool: 2402, the page stays; Escape leaves.
    state.componentSelected[11] = 1;
    MessageBoxAnswerer answerer({IDOK});
    std::atomic<bool> stayed{false};
    WorkedPage missing(
        [&](WorkedPage& p) {
            p.Command(IDC_RAMHOLD_SETUP);
            stayed = p.Open();
            p.Command(IDCANCEL);
        },
        state);
    EXPECT_EQ(missing.DoModal(), 2);
    EXPECT_TRUE(stayed);
    ASSERT_EQ(answerer.Count(), 1u);
    EXPECT_EQ(answerer.Boxes()[0].text,
              "The Ramhold Setup program is not found in the Ramhold directory.  You may need to reinstall Ramhold.");
    EXPECT_EQ(answerer.Boxes()[0].caption, kTitle);

    // With the tool: it starts with /I and the page closes.
    ASSERT_TRUE(CopyProgram("RHSETUP.EXE", scratch / "RHSETUP.EXE"));
    WorkedPage present([](WorkedPage& p) { p.Command(IDC_RAMHOLD_SETUP); }, state);
    EXPECT_EQ(present.DoModal(), 2);
    EXPECT_EQ(CallLog(scratch / "CALLS.LOG", 1), "RHSETUP.EXE|/I\r\n");
}

TEST(CompletionPage, ReadMeIsTheNotesTheProductHas)
{
    ScratchDir scratch("readme");
    EXPECT_EQ(CompletionPage::ReadMeFile(scratch.Path()), scratch / "READ.ME");
    WriteWholeFile(scratch / "README.TXT", "notes");
    EXPECT_EQ(CompletionPage::ReadMeFile(scratch.Path()), scratch / "README.TXT");
}
