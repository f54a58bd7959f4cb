// The locations page, its trial creation and the program group page, run
// modally and worked from inside their own message loop, as a person would
// work them; message boxes are answered by MessageBoxAnswerer.
#include <gtest/gtest.h>

#include <functional>

#include "state/InstallState.h"
#include "fsutil/FsUtil.h"
#include "pages/group/GroupPage.h"
#include "pages/locations/DirectoryBrowser.h"
#include "pages/locations/LocationsPage.h"
#include "resources/resource.h"
#include "support/MessageBoxAnswerer.h"
#include "support/PageDriver.h"
#include "support/ScratchDir.h"

namespace {

const char kInvalidPath[] = "Path is invalid. Please Enter Valid Path.";
constexpr int kStayed = kPageStillOpen;  // the page was still open after the action
constexpr int kHanging = kPageHanging;   // the page never closed: fails instead of hanging
template <class Page>
using Worked = DrivenPage<Page>;

using WorkedLocations = Worked<LocationsPage>;

// A directory on C: whose path passes the page's check (names of at most 8
// characters), removed with everything in it afterwards.
struct ShortDir {
    std::string path = "C:\\CVPB";
    ShortDir()
    {
        ScratchDir::RemoveTree(path);
        CreateDirectoryA(path.c_str(), nullptr);
    }
    ~ShortDir() { ScratchDir::RemoveTree(path); }
    std::string operator/(const std::string& name) const { return path + "\\" + name; }
};
using WorkedGroup = Worked<GroupPage>;

}  // namespace

// ---- locations page ---------------------------------------------------------

TEST(LocationsPage, ShowsTheProposalOrTheStoredChoice)
{
    struct Case {
        const char* productDir;
        const char* groupName;
        const char* shownDirectory;
        const char* shownDrive;
        const char* shownGroup;
    } cases[] = {
        {"", "", "C:\\VELOMIR", "C:", "Corvane Velomire"},
        {"D:\\TOOLS", "Games", "D:\\TOOLS", "D:", "Games"},
    };
    for (const Case& c : cases) {
        InstallState state;
        state.defaultDrive = "C:";
        state.productDir = c.productDir;
        state.groupName = c.groupName;
        std::string directory, drive, required, available, group;
        WorkedLocations page(
            [&](WorkedLocations& p) {
                directory = p.TextOf(IDC_DIRECTORY);
                drive = p.TextOf(IDC_DRIVE);
                required = p.TextOf(IDC_REQUIRED);
                available = p.TextOf(IDC_AVAILABLE);
                group = p.TextOf(IDC_GROUP_NAME);
                p.EndDialog(IDCANCEL);
            },
            state);
        EXPECT_EQ(page.DoModal(), IDCANCEL);
        EXPECT_EQ(directory, c.shownDirectory);
        EXPECT_EQ(drive, c.shownDrive);
        EXPECT_EQ(required, "5,186 KB");  // the full install, whatever is chosen later
        // The free space of the drive, as a figure with separator and unit
        // (other programs write to the same disk meanwhile).
        std::string free;
        FreeSpaceKB(c.shownDrive, free);
        std::string shown = available;
        std::erase(shown, ',');  // the separator of the string table
        ASSERT_GT(shown.size(), 3u);
        EXPECT_EQ(shown.substr(shown.size() - 3), " KB");
        EXPECT_NEAR(atof(shown.c_str()), atof(free.c_str()), 100000.0) << available;
        std::string formatted = std::to_string(atoi(shown.c_str())) + " KB";
        page.InsertSeparator(formatted);
        EXPECT_EQ(available, formatted);
        EXPECT_EQ(group, c.shownGroup);
        EXPECT_EQ(state.groupName, c.shownGroup);  // an empty group name is written back
        EXPECT_TRUE(state.productDir == c.productDir);  // opening stores no directory
    }
}

TEST(LocationsPage, NextStoresTheDirectoryWithTheTrailingBackslashRule)
{
    ShortDir scratch;
    struct Case {
        std::string typed;
        std::string productDir;  // and varString1
        std::string targetDir;   // targetDir1 ... targetDir5
    } cases[] = {
        {"C:\\", "C:\\", "C:"},
        {scratch.path + "\\NEW\\", scratch.path + "\\NEW\\", scratch.path + "\\NEW"},
        {scratch.path + "\\NEW  ", scratch.path + "\\NEW", scratch.path + "\\NEW"},
        {"\\CVPB\\NEW", "C:\\CVPB\\NEW", "C:\\CVPB\\NEW"},  // the default drive in front
    };
    for (Case& c : cases) {
        InstallState state;
        state.defaultDrive = "C:";
        MessageBoxAnswerer answerer({IDOK});
        WorkedLocations page(
            [&](WorkedLocations& p) {
                SetWindowTextA(p.ItemOf(IDC_DIRECTORY), c.typed.c_str());
                p.Command(IDOK);
            },
            state);
        EXPECT_EQ(page.DoModal(), IDOK) << c.typed;
        EXPECT_EQ(answerer.Count(), 0u) << c.typed;
        EXPECT_EQ(state.productDir, c.productDir);
        EXPECT_EQ(state.varString1, c.productDir);
        for (int n = 1; n <= 5; ++n) EXPECT_EQ(state.TargetDir(n), c.targetDir) << n << " " << c.typed;
        EXPECT_EQ(state.targetDir6, "");
        EXPECT_FALSE(PathExists(scratch / "NEW")) << "the trial directory stayed";
    }
}

TEST(LocationsPage, InvalidDirectoriesAreRefusedAndNothingStored)
{
    ShortDir scratch;
    for (std::string typed : {std::string("C"), std::string("C:\\ABCDEFGHI"), std::string("C:\\A B"),
                              scratch.path + "\\NEW\\A*B\\C"}) {
        InstallState state;
        state.defaultDrive = "C:";
        MessageBoxAnswerer answerer({IDOK});
        HWND focus = nullptr, edit = nullptr;
        WorkedLocations page(
            [&](WorkedLocations& p) {
                edit = p.ItemOf(IDC_DIRECTORY);
                SetWindowTextA(edit, typed.c_str());
                p.Command(IDOK);
                focus = GetFocus();
            },
            state);
        EXPECT_EQ(page.DoModal(), kStayed) << typed;
        ASSERT_EQ(answerer.Count(), 1u) << typed;
        EXPECT_EQ(answerer.Boxes()[0].text, kInvalidPath);
        EXPECT_EQ(focus, edit) << typed;
        EXPECT_EQ(state.productDir, "") << typed;
        EXPECT_EQ(state.targetDir1, "") << typed;
        EXPECT_FALSE(PathExists(scratch / "NEW")) << typed;
    }
}

TEST(LocationsPage, AnInvalidEditLeavesTheStatisticsAlone)
{
    InstallState state;
    state.defaultDrive = "C:";
    std::string before, after, driveAfter;
    WorkedLocations page(
        [&](WorkedLocations& p) {
            before = p.TextOf(IDC_AVAILABLE);
            SetWindowTextA(p.ItemOf(IDC_DIRECTORY), "Q:\\TOOLONGNAME");
            after = p.TextOf(IDC_AVAILABLE);
            driveAfter = p.TextOf(IDC_DRIVE);
            p.EndDialog(IDCANCEL);
        },
        state);
    page.DoModal();
    EXPECT_EQ(after, before);
    EXPECT_EQ(driveAfter, "C:");
}

TEST(DirectoryBrowser, DirectoryOfWhatTheDialogReturns)
{
    struct Case { const char* result; const char* directory; } cases[] = {
        {"C:\\GAMES\\NULL", "C:\\GAMES"}, {"C:\\NULL", "C:"}, {"D:\\TOOLS\\SUB\\NULL", "D:\\TOOLS\\SUB"},
    };
    for (const Case& c : cases) EXPECT_EQ(DirectoryBrowser::DirectoryOfResult(c.result), c.directory);
}

// ---- trial creation ---------------------------------------------------------

TEST(TrialCreate, RemovesOnlyTheLevelsItMade)
{
    struct Case {
        std::vector<std::string> existing;  // made before the trial
        std::string trial;
        int result;
        std::vector<std::string> gone;      // must not exist afterwards
    } cases[] = {
        {{}, "NEW\\VELOMIR", 1, {"NEW"}},
        {{"GAMES"}, "GAMES\\VELOMIR", 1, {"GAMES\\VELOMIR"}},
        {{"EMPTY"}, "EMPTY", 1, {}},
        {{"A", "A\\B"}, "A\\B\\", 1, {}},
        {{}, "NEW\\A*B\\C", -1, {"NEW"}},  // passes the syntax check, makes NEW, then fails
    };
    for (const Case& c : cases) {
        ScratchDir scratch("trialmade");
        for (const std::string& d : c.existing) CreateDirectoryA((scratch / d).c_str(), nullptr);
        InstallState state;
        DiskSpacePage page(IDD_LOCATIONS, state);
        MessageBoxAnswerer answerer({IDOK});
        EXPECT_EQ(page.TrialCreate(scratch / c.trial), c.result) << c.trial;
        EXPECT_EQ(answerer.Count(), c.result == -1 ? 1u : 0u) << c.trial;
        for (const std::string& d : c.existing) EXPECT_TRUE(PathExists(scratch / d)) << d << " after " << c.trial;
        for (const std::string& d : c.gone) EXPECT_FALSE(PathExists(scratch / d)) << d << " after " << c.trial;
        EXPECT_TRUE(PathExists(scratch.Path()));
    }
}

// ---- program group page -----------------------------------------------------

TEST(GroupPage, NameRules)
{
    struct Case { const char* name; GroupPage::NameCheck check; } cases[] = {
        {"", GroupPage::kNameAcceptable},           {"Games", GroupPage::kNameAcceptable},
        {"1st Group", GroupPage::kNameAcceptable},  {"My,Group", GroupPage::kNameBadCharacter},
        {"A(1)", GroupPage::kNameBadCharacter},     {"Old]", GroupPage::kNameBadCharacter},
        {"(Temp)", GroupPage::kNameBadFirstCharacter}, {"_Old", GroupPage::kNameBadFirstCharacter},
        {" Lead", GroupPage::kNameBadFirstCharacter},
    };
    for (const Case& c : cases) EXPECT_EQ(GroupPage::CheckGroupName(c.name), c.check) << c.name;
}

TEST(GroupPage, GroupTextParsing)
{
    struct Case { const char* text; std::vector<std::string> names; } cases[] = {
        {"Main\r\nGames\r\n", {"Main", "Games"}},
        {"Main\r\nGames", {"Main"}},          // no complete last line
        {"Main", {}},
        {"", {}},
        {"\r\nMain\r\n", {}},                // a carriage return first: nothing
        {"Main\r\n\r\nGames\r\n", {"Main"}}, // an empty line ends the text
    };
    for (const Case& c : cases) {
        InstallState state;
        GroupPage page(state, c.text, 1);
        std::vector<std::string> names;
        for (std::string name; page.TakeGroupName(name);) names.push_back(name);
        EXPECT_EQ(names, c.names) << c.text;
        EXPECT_EQ(page.listExhausted, 1);
    }
}

namespace {
std::vector<std::string> ListEntries(HWND list)
{
    std::vector<std::string> entries;
    int n = (int)SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; ++i) {
        char text[256] = {};
        SendMessageA(list, LB_GETTEXT, i, (LPARAM)text);
        entries.push_back(text);
    }
    return entries;
}
}  // namespace

TEST(GroupPage, OpensWithTheAcceptableGroupsAndTheDefault)
{
    struct Case { const char* text; std::vector<std::string> entries; } cases[] = {
        {"Main\r\nGames\r\n", {"Corvane Velomire", "Games", "Main"}},
        {"(Temp)\r\n_Old\r\nGames\r\n", {"Corvane Velomire", "Games"}},
        {"CORVANE VELOMIRE\r\n", {"CORVANE VELOMIRE"}},  // found ignoring case: not added again
        {"", {"Corvane Velomire"}},
    };
    for (const Case& c : cases) {
        InstallState state;
        state.groupName = "Games";
        std::vector<std::string> entries;
        std::string edit, selected;
        bool listEnabled = true;
        WorkedGroup page(
            [&](WorkedGroup& p) {
                entries = ListEntries(p.ItemOf(IDC_GROUP_LIST));
                edit = p.TextOf(IDC_GROUP_EDIT);
                listEnabled = IsWindowEnabled(p.ItemOf(IDC_GROUP_LIST));
                int sel = (int)SendMessageA(p.ItemOf(IDC_GROUP_LIST), LB_GETCURSEL, 0, 0);
                if (sel >= 0) selected = entries[sel];
                p.EndDialog(IDCANCEL);
            },
            state, c.text, 0);
        page.DoModal();
        EXPECT_EQ(entries, c.entries) << c.text;
        EXPECT_EQ(edit, "Games");
        EXPECT_FALSE(listEnabled);  // the add-items flag was 0
        EXPECT_TRUE(_stricmp(selected.c_str(), "Corvane Velomire") == 0) << selected;
    }
}

TEST(GroupPage, OkCancelAndDoubleClick)
{
    struct Case {
        const char* what;
        std::function<void(WorkedGroup&)> act;
        int result;
        const char* groupName;
        int addToGroup;
        std::vector<std::string> messages;
    } cases[] = {
        {"typed name", [](WorkedGroup& p) { SetWindowTextA(p.ItemOf(IDC_GROUP_EDIT), "1st Group"); p.Command(IDOK); },
         IDOK, "1st Group", 1, {}},
        {"bad character", [](WorkedGroup& p) { SetWindowTextA(p.ItemOf(IDC_GROUP_EDIT), "My,Group"); p.Command(IDOK); },
         kStayed, "Before", 1, {"Characters , ( ) [ ] are not allowed in group name"}},
        {"bad first", [](WorkedGroup& p) { SetWindowTextA(p.ItemOf(IDC_GROUP_EDIT), " Lead"); p.Command(IDOK); },
         kStayed, "Before", 1, {"First character in group name can be only alphanumeric "}},
        {"cancel", [](WorkedGroup& p) { SetWindowTextA(p.ItemOf(IDC_GROUP_EDIT), "Mine"); p.Command(IDCANCEL); },
         IDCANCEL, "Corvane Velomire", 1, {}},
        {"unticked", [](WorkedGroup& p) {
             SendMessageA(p.ItemOf(IDC_ADD_TO_GROUP), BM_CLICK, 0, 0);
             EXPECT_FALSE(IsWindowEnabled(p.ItemOf(IDC_GROUP_EDIT)));
             SetWindowTextA(p.ItemOf(IDC_GROUP_EDIT), "Tools");
             p.Command(IDOK);
         },
         IDOK, "Tools", 0, {}},
        {"double-click", [](WorkedGroup& p) {
             HWND list = p.ItemOf(IDC_GROUP_LIST);
             SendMessageA(list, LB_SETCURSEL, SendMessageA(list, LB_FINDSTRINGEXACT, -1, (LPARAM)"Main"), 0);
             p.Command(IDC_GROUP_LIST, LBN_DBLCLK);
         },
         IDOK, "Main", 1, {}},
    };
    for (const Case& c : cases) {
        InstallState state;
        state.groupName = "Before";
        MessageBoxAnswerer answerer({IDOK});
        WorkedGroup page(c.act, state, "Main\r\nGames\r\n", 1);
        EXPECT_EQ(page.DoModal(), c.result) << c.what;
        EXPECT_EQ(state.groupName, c.groupName) << c.what;
        EXPECT_EQ(state.addToGroup, c.addToGroup) << c.what;
        std::vector<std::string> messages;
        for (const auto& box : answerer.Boxes()) messages.push_back(box.text);
        EXPECT_EQ(messages, c.messages) << c.what;
    }
}
