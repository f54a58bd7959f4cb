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

#include "app/MainWindow.h"
#include "app/PostInstall.h"
#include "app/ProgramItems.h"
#include "pages/completion/CompletionPage.h"
#include "progress/WaitDialog.h"
#include "resources/resource.h"
#include "script/InstallLog.h"
#include "support/MessageBoxAnswerer.h"
#include "support/ScratchDir.h"

namespace {

const char kTitle[] = "Corvane Velomire Installation";
const char kEmptyFile[] = "Empty String instead of file name";

std::string WindowsDir()
{
    char buffer[MAX_PATH] = {};
    GetWindowsDirectoryA(buffer, MAX_PATH);
    return buffer;
}

// The folder of the unit program, where the test programs are built.
std::string ProgramDir()
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string path = self;
    return path.substr(0, path.find_last_of('\\'));
}

bool CopyProgram(const std::string& name, const std::string& destination)
{
    return CopyFileA((ProgramDir() + "\\" + name).c_str(), destination.c_str(), FALSE) != 0;
}

// The call log the sample programs write, read once it has `lines` lines
// (they run on their own, so the test waits for them to write).
std::string CallLog(const std::string& path, size_t lines)
{
    std::string text;
    for (int i = 0; i < 500; ++i) {
        text = ReadWholeFile(path);
        size_t count = 0;
        for (char c : text) count += c == '\n';
        if (count >= lines) break;
        Sleep(20);
    }
    return text;
}

class CallLogEnvironment {
public:
    explicit CallLogEnvironment(const std::string& path) { SetEnvironmentVariableA("CV_CALL_LOG", path.c_str()); }
    ~CallLogEnvironment() { SetEnvironmentVariableA("CV_CALL_LOG", nullptr); }
};

MainWindow& VelomirMain(MainWindow& main)
{
    main.targetDir1 = "C:\\VELOMIR";
    main.defaultDrive = "C:";
    main.varString3 = "D:\\VAR3";
    main.groupName = "Corvane Velomire";
    return main;
}

}  // namespace

TEST(ItemRecords, ExpansionOfCommandsAndArguments)
{
    MainWindow main;
    VelomirMain(main);
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
        {"11604 command", "*  *,*T1*,INV.EXE,*  *,*WN*,MORICONS.DLL,58,E", 1, "C:\\VELOMIR\\INV.EXE",
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
        EXPECT_EQ(ExpandItemCommand(main, rest, out), c.result);
        if (c.args) {
            EXPECT_EQ(ExpandArguments(main, rest, out), c.argsResult);
        }
        EXPECT_EQ(out, c.out);
        EXPECT_EQ(rest, c.restAfter);
        if (c.box) {
            ASSERT_TRUE(answerer.WaitForBoxes(1));
            EXPECT_EQ(answerer.Boxes()[0].text.rfind(c.box, 0), 0u) << answerer.Boxes()[0].text;
            EXPECT_EQ(answerer.Boxes()[0].caption, kTitle);
        }
        EXPECT_EQ(answerer.Count(), c.box ? 1u : 0u);
    }
}

namespace {

// A window of the test thread that sets an event when it receives
// WM_APP: proof that somebody dispatched this thread's messages.
struct DispatchProbe {
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l)
    {
        if (msg == WM_APP) SetEvent(reinterpret_cast<HANDLE>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)));
        return DefWindowProcA(hwnd, msg, w, l);
    }
    DispatchProbe(HANDLE event)
    {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "CvDispatchProbe";
        RegisterClassA(&wc);
        hwnd = CreateWindowA("CvDispatchProbe", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(event));
    }
    ~DispatchProbe() { DestroyWindow(hwnd); }
    HWND hwnd;
};

// Ends the unit program with a message when a wait that must end does not:
// a hang would otherwise hold the whole run until its time-out.
class HangGuard {
public:
    explicit HangGuard(const char* what)
        : done_(CreateEventA(nullptr, TRUE, FALSE, nullptr)), thread_([this, what] {
              if (WaitForSingleObject(done_, 60000) != WAIT_OBJECT_0) {
                  fprintf(stderr, "FATAL: %s never ended\n", what);
                  fflush(stderr);
                  TerminateProcess(GetCurrentProcess(), 3);
              }
          })
    {
    }
    ~HangGuard()
    {
        SetEvent(done_);
        thread_.join();
        CloseHandle(done_);
    }

private:
    HANDLE done_;
    std::thread thread_;
};

}  // namespace

TEST(FollowUpPrograms, WaitEndsForExitCode259AndDispatchesMessages)
{
    HangGuard guard("the wait for a program with exit code 259");
    std::string eventName = "CvPostInstall" + std::to_string(GetCurrentProcessId());
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
    DispatchProbe probe(event);
    // The program ends only once the probe's message has been dispatched.
    std::string command = "\"" + ProgramDir() + "\\EXITCODE.EXE\" 259 " + eventName;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    CloseHandle(pi.hThread);
    PostMessageA(probe.hwnd, WM_APP, 0, 0);
    WaitForProcess(pi.hProcess);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 259u);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    CloseHandle(pi.hProcess);
    CloseHandle(event);

    // The same program as a follow-up record.
    ScratchDir scratch("exit259");
    ASSERT_TRUE(CopyProgram("EXITCODE.EXE", scratch / "EXITCODE.EXE"));
    MainWindow main;
    main.targetDir1 = scratch.Path();
    main.componentSelected[41] = 1;
    EXPECT_EQ(RunFollowUpRecord(main, "41,Exit,*  *,*T1*,EXITCODE.EXE,* 259*,E"), FollowUpResult::Ran);
}

TEST(FollowUpPrograms, ShippedRecordsRunInOrderForTheDiskCache)
{
    ScratchDir scratch("followup");
    CreateDirectoryA((scratch / "DISKSPUR").c_str(), nullptr);
    ASSERT_TRUE(CopyProgram("DSPOPT.EXE", scratch / "DISKSPUR\\DSPOPT.EXE"));
    CallLogEnvironment environment(scratch / "CALLS.LOG");
    MainWindow main;
    main.targetDir1 = scratch.Path();
    main.foregroundTitle = "Corvane Velomire Installation";

    main.componentSelected[41] = 0;
    EXPECT_EQ(RunFollowUpPrograms(main), 0);
    EXPECT_FALSE(PathExists(scratch / "CALLS.LOG"));

    main.componentSelected[41] = 1;
    EXPECT_EQ(RunFollowUpPrograms(main), 2);
    // Each one was waited for: both lines are there when the loop returns.
    EXPECT_EQ(ReadWholeFile(scratch / "CALLS.LOG"), "DSPOPT.EXE|NOREBOOT\r\nDSPOPT.EXE|NOREBOOT PREF\r\n");
    EXPECT_EQ(main.foregroundTitle, "");
}

TEST(FollowUpPrograms, RecordsThatNeverRunOrAreRefused)
{
    ScratchDir scratch("followbad");
    CreateDirectoryA((scratch / "DISKSPUR").c_str(), nullptr);
    ASSERT_TRUE(CopyProgram("DSPOPT.EXE", scratch / "DISKSPUR\\DSPOPT.EXE"));
    CallLogEnvironment environment(scratch / "CALLS.LOG");
    MainWindow main;
    main.targetDir1 = scratch.Path();
    for (int n : {0, 11, 41, 53}) main.componentSelected[n] = 1;
    const std::string dspopt = ",Diskspur,*  *,*T1*DISKSPUR,DSPOPT.EXE,*  *,E";
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
        {"11,Missing,*  *,*T1*,NOSUCH.EXE,E", FollowUpResult::NotStarted, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.record);
        MessageBoxAnswerer answerer({IDOK});
        EXPECT_EQ(RunFollowUpRecord(main, c.record), c.result);
        EXPECT_EQ(answerer.Count(), c.box ? 1u : 0u);
        if (c.box && answerer.Count() == 1) {
            EXPECT_EQ(answerer.Boxes()[0].text.rfind(c.box, 0), 0u);
        }
    }
    // A program that cannot be started ends the list.
    EXPECT_EQ(RunFollowUpPrograms(main, {"11,Missing,*  *,*T1*,NOSUCH.EXE,E", "41" + dspopt}), 0);
    EXPECT_FALSE(PathExists(scratch / "CALLS.LOG"));
    EXPECT_EQ(RunFollowUpPrograms(main, {"53" + dspopt, "41" + dspopt}), 1);
    EXPECT_EQ(CallLog(scratch / "CALLS.LOG", 1), "DSPOPT.EXE|\r\n");
}

namespace {

// The Start Menu folder that Wine's shell makes for a program group, and
// takes away with the test.
class StartMenuGroup {
public:
    explicit StartMenuGroup(const std::string& name) : name(name)
    {
        char programs[MAX_PATH] = {};
        SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, programs);
        folder = std::string(programs) + "\\" + name;
        ScratchDir::RemoveTree(folder);
    }
    ~StartMenuGroup() { ScratchDir::RemoveTree(folder); }
    std::string Link(const std::string& title) const { return folder + "\\" + title + ".lnk"; }
    std::string name;
    std::string folder;
};

// The target and the icon of a shell link.
struct LinkInfo {
    std::string target, icon;
    int iconIndex = -1;
};

LinkInfo ReadLink(const std::string& path)
{
    LinkInfo info;
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            std::wstring wide(path.begin(), path.end());
            if (SUCCEEDED(file->Load(wide.c_str(), STGM_READ))) {
                char buffer[MAX_PATH] = {};
                if (SUCCEEDED(link->GetPath(buffer, MAX_PATH, nullptr, 0))) info.target = buffer;
                char icon[MAX_PATH] = {};
                int index = -1;
                if (SUCCEEDED(link->GetIconLocation(icon, MAX_PATH, &index))) info.icon = icon, info.iconIndex = index;
            }
            file->Release();
        }
        link->Release();
    }
    CoUninitialize();
    return info;
}

std::vector<std::string> LogList(const std::string& log, const char* section)
{
    std::vector<std::string> entries;
    int last = std::atoi(ReadLogString(log, section, "Last").c_str());
    for (int n = 1; n <= last; ++n) entries.push_back(ReadLogString(log, section, std::to_string(n).c_str()));
    return entries;
}

}  // namespace

TEST(ProgramItems, BadRecordsAreReportedAndSkipped)
{
    ScratchDir scratch("items");
    MainWindow main;
    main.targetDir1 = scratch.Path();
    main.installLogPath = scratch / "INSTALL.LOG";
    StartMenuGroup group("Cvunit Records " + std::to_string(GetCurrentProcessId()));
    main.groupName = group.name;
    main.componentSelected[11] = 1;
    main.componentSelected[41] = 0;
    main.componentSelected[53] = 1;
    const std::vector<std::string> records = {
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
    };
    MessageBoxAnswerer answerer({IDOK});
    CreateProgramItems(main, records);
    std::vector<std::string> texts;
    for (const MessageBoxAnswerer::Box& box : answerer.Boxes()) texts.push_back(box.text);
    EXPECT_EQ(texts, (std::vector<std::string>{"Invalid resource string 11.", "Invalid resource string Title.",
                                               kEmptyFile, kEmptyFile, kEmptyFile}));
    EXPECT_EQ(LogList(main.installLogPath, "Group"), (std::vector<std::string>{"0," + group.name}));
    // "E" right after the title deletes the old item and adds none; a
    // record without its file adds none either.
    EXPECT_EQ(LogList(main.installLogPath, "Item"),
              (std::vector<std::string>{"11,Velomire ReadMe", "53,Fifty Three", "0,Always"}));
}

TEST(ProgramItems, ShippedGroupThroughTheShellsDdeServer)
{
    ScratchDir scratch("group");
    for (const char* program : {"INV.EXE", "MEMTUNE.EXE"}) ASSERT_TRUE(CopyProgram(program, scratch / program));
    WriteWholeFile(scratch / "READ.ME", "notes");
    MainWindow main;
    main.targetDir1 = scratch.Path();
    main.installLogPath = scratch / "INSTALL.LOG";
    StartMenuGroup group("Cvunit Velomire " + std::to_string(GetCurrentProcessId()));
    main.groupName = group.name;
    main.componentSelected[11] = 1;
    main.componentSelected[31] = 0;
    main.componentSelected[41] = 0;
    MessageBoxAnswerer answerer({IDOK});
    CreateProgramItems(main);
    EXPECT_EQ(answerer.Count(), 0u);
    EXPECT_EQ(LogList(main.installLogPath, "Item"),
              (std::vector<std::string>{"11,Velomire ReadMe", "11,Ramhold Setup", "11,Ramhold Memtune",
                                        "11,Corvane Inventory"}));
    // The shell makes a link for each program that exists.
    EXPECT_TRUE(PathExists(group.folder));
    EXPECT_TRUE(PathExists(group.Link("Ramhold Memtune")));
    EXPECT_TRUE(PathExists(group.Link("Corvane Inventory")));
    EXPECT_FALSE(PathExists(group.Link("Ramhold Setup")));
    EXPECT_FALSE(PathExists(group.Link("Velomire ReadMe")));  // a command with arguments
    LinkInfo inventory = ReadLink(group.Link("Corvane Inventory"));
    EXPECT_EQ(lstrcmpiA(inventory.target.c_str(), (scratch / "INV.EXE").c_str()), 0) << inventory.target;
    EXPECT_EQ(lstrcmpiA(inventory.icon.c_str(), (WindowsDir() + "\\MORICONS.DLL").c_str()), 0) << inventory.icon;
    EXPECT_EQ(inventory.iconIndex, 58);
    EXPECT_FALSE(PathExists(group.Link("Diskspur Panel")));
}

namespace {

// Works the completion page, shown modally on the test thread, from a
// second thread as a person would: `work` gets the page's window once it is
// on screen. A page that nobody closes ends itself after a while, so a
// failing test does not hang.
class WorkedPage : public CompletionPage {
public:
    WorkedPage(MainWindow& main, std::function<void(HWND)> work) : CompletionPage(main), work_(std::move(work)) {}
    INT_PTR Run()
    {
        std::thread worker([this] {
            HWND page = nullptr;
            for (int i = 0; i < 500 && !page; ++i) {
                page = FindWindowA("#32770", "Installation Complete");
                if (!page || !IsWindowVisible(page)) page = nullptr, Sleep(20);
            }
            if (page) work_(page);
        });
        INT_PTR result = DoModal();
        worker.join();
        return result;
    }

protected:
    bool OnInitDialog() override
    {
        CompletionPage::OnInitDialog();
        SetTimer(Handle(), 1, 20000, nullptr);
        return true;
    }
    void OnTimer(UINT_PTR) override { EndDialog(-99); }

private:
    std::function<void(HWND)> work_;
};

void Click(HWND page, int id)
{
    PostMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(page, id));
}

}  // namespace

TEST(CompletionPage, WithoutTheMemoryManagerSetupIsGreyed)
{
    MainWindow main;
    main.targetDir1 = "C:\\VELOMIR";
    main.componentSelected[11] = 0;
    std::atomic<bool> setupEnabled{true}, readMeEnabled{false};
    std::atomic<int> defaultId{0};
    WorkedPage page(main, [&](HWND h) {
        setupEnabled = IsWindowEnabled(GetDlgItem(h, IDC_RAMHOLD_SETUP));
        readMeEnabled = IsWindowEnabled(GetDlgItem(h, IDC_READ_ME));
        DWORD_PTR id = 0;
        SendMessageTimeoutA(h, DM_GETDEFID, 0, 0, SMTO_BLOCK, 2000, &id);
        defaultId = LOWORD(id);
        Click(h, IDC_EXIT);
    });
    EXPECT_EQ(page.Run(), 2);
    EXPECT_FALSE(setupEnabled);
    EXPECT_TRUE(readMeEnabled);
    EXPECT_EQ(defaultId, IDC_RAMHOLD_SETUP);  // Enter starts Ramhold Setup
    EXPECT_EQ(page.setupDir, "C:\\VELOMIR");
}

TEST(CompletionPage, MissingSetupToolIsReportedAndThePageStays)
{
    ScratchDir scratch("nosetup");
    MainWindow main;
    main.targetDir1 = scratch.Path();
    main.componentSelected[11] = 1;
    MessageBoxAnswerer answerer({IDOK});
    std::atomic<bool> stayed{false};
    WorkedPage page(main, [&](HWND h) {
        Click(h, IDC_RAMHOLD_SETUP);
        answerer.WaitForBoxes(1);
        stayed = IsWindow(h) && IsWindowVisible(h);
        PostMessageA(h, WM_COMMAND, IDCANCEL, 0);  // Escape
    });
    EXPECT_EQ(page.Run(), 2);
    EXPECT_TRUE(stayed);
    ASSERT_EQ(answerer.Count(), 1u);
    EXPECT_EQ(answerer.Boxes()[0].text,
              "The Ramhold Setup program is not found in the Ramhold directory.  You may need to reinstall Ramhold.");
    EXPECT_EQ(answerer.Boxes()[0].caption, kTitle);
}

TEST(CompletionPage, SetupToolStartsWithSlashIAndThePageCloses)
{
    ScratchDir scratch("setup");
    ASSERT_TRUE(CopyProgram("RHSETUP.EXE", scratch / "RHSETUP.EXE"));
    CallLogEnvironment environment(scratch / "CALLS.LOG");
    MainWindow main;
    main.targetDir1 = scratch.Path();
    main.componentSelected[11] = 1;
    WorkedPage page(main, [&](HWND h) { Click(h, IDC_RAMHOLD_SETUP); });
    EXPECT_EQ(page.Run(), 2);
    EXPECT_EQ(CallLog(scratch / "CALLS.LOG", 1), "RHSETUP.EXE|/I\r\n");
}

TEST(CompletionPage, ReadMeIsTheNotesTheProductHas)
{
    ScratchDir scratch("readme");
    EXPECT_EQ(CompletionPage::ReadMeFile(scratch.Path()), scratch / "READ.ME");
    WriteWholeFile(scratch / "README.TXT", "notes");
    EXPECT_EQ(CompletionPage::ReadMeFile(scratch.Path()), scratch / "README.TXT");
}

TEST(WaitDialog, ShowsItsMessageCentredUntilDestroyed)
{
    WaitDialog wait(nullptr);
    wait.SetMessage("Install is creating the Windows program group.");
    ASSERT_TRUE(wait.Create());
    HWND h = wait.Handle();
    EXPECT_TRUE(IsWindowVisible(h));
    EXPECT_EQ(fw::WindowText(GetDlgItem(h, IDC_WAIT_TEXT)), "Install is creating the Windows program group.");
    RECT r;
    GetWindowRect(h, &r);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2);
    wait.Destroy();
    EXPECT_FALSE(IsWindow(h));
}
