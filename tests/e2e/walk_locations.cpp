// Walks of the locations page: the proposal, the disk statistics and the
// light following the typed directory, the directory browser, Back, Exit,
// and Next with its trial creation. The page after it is not part of these
// walks: they check what the installer does once Next has been accepted.
#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "Pages.h"
#include "resources/resource.h"

namespace e2e {
namespace {

constexpr int kRed = 0, kGreen = 2;

std::string ItemText(HWND page, int id)
{
    return ui::Text(GetDlgItem(page, id));
}

bool WaitText(HWND page, int id, const std::string& text)
{
    return ui::WaitUntil([&] { return ItemText(page, id) == text; }, kTimeout);
}

bool DirectoryExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void ProposalEditsBrowserBackExit(const Args& args)
{
    Installer installer;
    HWND page = StartAtLocations(args, installer);
    if (!page) return;
    Shot(args, "03-locations");
    CHECK(ItemText(page, IDC_DIRECTORY) == "C:\\VELOMIR", "proposal is \"%s\"", ItemText(page, IDC_DIRECTORY).c_str());
    CHECK(ItemText(page, IDC_DRIVE) == "C:", "drive is \"%s\"", ItemText(page, IDC_DRIVE).c_str());
    CHECK(ItemText(page, IDC_REQUIRED) == "5,186 KB", "required is \"%s\"", ItemText(page, IDC_REQUIRED).c_str());
    CHECK(ItemText(page, IDC_GROUP_NAME) == "Corvane Velomire", "group is \"%s\"",
          ItemText(page, IDC_GROUP_NAME).c_str());
    std::string freeC = ItemText(page, IDC_AVAILABLE);
    CHECK(freeC.size() > 3 && freeC != "0 KB", "available on C: is \"%s\"", freeC.c_str());
    HWND light = GetDlgItem(page, IDC_INDICATOR);
    CHECK(LitLamp(light) == kGreen, "light on C: is lamp %d, not green", LitLamp(light));

    // A drive without a disk: no free space, red light.
    TypeInto(GetDlgItem(page, IDC_DIRECTORY), "Q:\\VELOMIR");
    CHECK(WaitText(page, IDC_DRIVE, "Q:"), "drive is \"%s\" after typing Q:", ItemText(page, IDC_DRIVE).c_str());
    CHECK(ItemText(page, IDC_AVAILABLE) == "0 KB", "available on Q: is \"%s\"", ItemText(page, IDC_AVAILABLE).c_str());
    CHECK(LitLamp(light) == kRed, "light on Q: is lamp %d, not red", LitLamp(light));
    // A name of nine characters on C:, put in at once (as a paste does; typed
    // letter by letter it would pass through the valid "C:"): it does not
    // pass the check, so nothing changes.
    SendMessageA(GetDlgItem(page, IDC_DIRECTORY), WM_SETTEXT, 0, (LPARAM) "C:\\ABCDEFGHI");
    installer.Settle();
    CHECK(ItemText(page, IDC_DIRECTORY) == "C:\\ABCDEFGHI", "field holds %s", ItemText(page, IDC_DIRECTORY).c_str());
    CHECK(ItemText(page, IDC_DRIVE) == "Q:" && ItemText(page, IDC_AVAILABLE) == "0 KB",
          "an invalid path changed the statistics to %s %s", ItemText(page, IDC_DRIVE).c_str(),
          ItemText(page, IDC_AVAILABLE).c_str());
    TypeInto(GetDlgItem(page, IDC_DIRECTORY), "C:\\VELOMIR");
    CHECK(WaitText(page, IDC_DRIVE, "C:"), "drive did not come back to C:");
    CHECK(ItemText(page, IDC_AVAILABLE) != "0 KB", "no free space on C: after the edit");
    CHECK(LitLamp(light) == kGreen, "light back on C: is lamp %d, not green", LitLamp(light));

    // The browser: only the directory list and the drive box; Cancel changes nothing.
    ui::Click(GetDlgItem(page, IDC_BROWSE_DIRECTORY));
    HWND browser = WaitPage(installer, kBrowseTitle);
    CHECK(browser, "no directory browser");
    if (browser) {
        Shot(args, "04-directory-browser");
        for (int hidden : {1152, 1090, 1120, 1136, 1089, 1038})
            CHECK(!GetDlgItem(browser, hidden) || !ui::IsVisible(GetDlgItem(browser, hidden)),
                  "browser control %d is shown", hidden);
        CHECK(ui::IsVisible(GetDlgItem(browser, 1121)), "browser has no directory list");
        CHECK(ui::IsVisible(GetDlgItem(browser, 1137)), "browser has no drive box");
        ui::Click(GetDlgItem(browser, IDCANCEL));
        CHECK(ui::WaitUntil([&] { return !IsWindow(browser); }, kTimeout), "browser still open after Cancel");
        CHECK(ItemText(page, IDC_DIRECTORY) == "C:\\VELOMIR", "Cancel changed the directory to %s",
              ItemText(page, IDC_DIRECTORY).c_str());
    }

    // Back to the welcome page and forwards again.
    ui::Click(GetDlgItem(page, IDC_BACK));
    HWND welcome = WaitWelcome(installer, kTimeout);
    REQUIRE(welcome, "Back did not show the welcome page");
    ui::Click(GetDlgItem(welcome, IDC_NEXT));
    page = ui::WaitFor([&] { return ui::FindTopLevel(installer.Pid(), "#32770", kLocationsTitle); }, kTimeout);
    REQUIRE(page, "no locations page after Back and Next");
    installer.Settle();

    // Exit asks; No keeps the page, Yes ends the installer.
    ui::Click(GetDlgItem(page, IDC_EXIT));
    if (!DeclineExit(installer, page, "Exit")) return;
    ui::Click(GetDlgItem(page, IDC_EXIT));
    HWND question = WaitExitQuestion(installer);
    REQUIRE(question, "no exit question after the second Exit");
    ui::Click(GetDlgItem(question, IDYES));
    CHECK(installer.WaitEnd(kTimeout), "installer still running after Exit, Yes");
    // The page itself starts nothing; the end of the run starts the cleanup once.
    ExpectCleanupCalls(args, 1);
}

void NextKeepsAnEmptyFolderOfTheUser(const Args& args)
{
    const std::string games = "C:\\GAMES";
    bool madeGames = CreateDirectoryA(games.c_str(), nullptr) != FALSE;
    CHECK(DirectoryExists(games), "cannot make %s", games.c_str());
    RemoveDirectoryA("C:\\CVNEW");
    {
        Installer installer;
        HWND page = StartAtLocations(args, installer);
        if (page) {
            // Refused first: the page stays.
            LocationsNext(page, "C:\\CVNEW\\ABCDEFGHI");
            HWND box = ui::WaitFor([&] { return ui::FindMessageBox(installer.Pid(), kTitle, kInvalidPath); },
                                   kTimeout);
            CHECK(box, "no \"%s\" for a name of nine characters", kInvalidPath);
            if (box) {
                ui::Click(GetDlgItem(box, IDOK));
                CHECK(ui::WaitUntil([&] { return !IsWindow(box); }, kTimeout), "message still open");
            }
            CHECK(IsWindow(page), "a refused directory closed the page");
            CHECK(!DirectoryExists("C:\\CVNEW"), "the refused directory was made");

            LocationsNext(page, games + "\\VELOMIR");
            CHECK(ui::WaitUntil([&] { return !IsWindow(page); }, kTimeout), "Next did not close the page");
            HWND type = WaitPage(installer, kInstallTypeTitle);
            CHECK(type, "no installation type page after the locations page");
            if (type) LeaveWithYes(args, installer, type);
        }
        CHECK(DirectoryExists(games), "the trial creation removed the user's empty %s", games.c_str());
        CHECK(!DirectoryExists(games + "\\VELOMIR"), "the trial directory remained");
        // Exit on the installation type page takes the way of the undo: the
        // cleanup program runs there and again at the end.
        ExpectCleanupCalls(args, 2);
    }
    if (madeGames) RemoveDirectoryA(games.c_str());
}

void NextLeavesNoTrialDirectory(const Args& args)
{
    Installer installer;
    HWND page = StartAtLocations(args, installer);
    if (!page) return;
    LocationsNext(page, "\\CVNEW\\VELOMIR");
    CHECK(ui::WaitUntil([&] { return !IsWindow(page); }, kTimeout), "Next did not close the page");
    HWND type = WaitPage(installer, kInstallTypeTitle);
    REQUIRE(type, "no installation type page after the locations page");
    LeaveWithYes(args, installer, type);
    CHECK(!DirectoryExists("C:\\CVNEW"), "the trial directories remained");
}

std::vector<std::string> ListEntries(HWND list)
{
    std::vector<std::string> entries;
    int n = (int)SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; ++i) {
        // Asked in the wide form: Wine hands another process's list texts
        // back whole only that way.
        wchar_t wide[256] = {};
        char text[512] = {};
        if (SendMessageW(list, LB_GETTEXTLEN, i, 0) < 256) SendMessageW(list, LB_GETTEXT, i, (LPARAM)wide);
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        entries.push_back(text);
    }
    return entries;
}

bool Holds(const std::vector<std::string>& entries, const std::string& name)
{
    return std::find(entries.begin(), entries.end(), name) != entries.end();
}

HWND OpenGroupPage(Installer& installer, HWND page)
{
    ui::Click(GetDlgItem(page, IDC_BROWSE_GROUP));
    HWND group = WaitPage(installer, "Installation Group");
    CHECK(group, "no group page after the group button");
    return group;
}

// The group page, opened from the locations page, lists the groups that
// Program Manager (the shell's DDE server) reports, without the names it
// cannot take; OK shows the chosen name on the locations page, Cancel the
// default group.
void GroupPageFromTheLocationsPage(const Args& args)
{
    // Groups are the folders of the start menu's program folder.
    char programs[MAX_PATH] = {};
    REQUIRE(SUCCEEDED(SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, 0, programs)), "no program folder");
    std::vector<std::string> made;
    for (const char* name : {"CvWalk Games", "(Temp)", "_Old"}) {
        std::string folder = std::string(programs) + "\\" + name;
        if (CreateDirectoryA(folder.c_str(), nullptr)) made.push_back(folder);
    }
    {
        Installer installer;
        HWND page = StartAtLocations(args, installer);
        if (HWND group = page ? OpenGroupPage(installer, page) : nullptr) {
            Shot(args, "05-group-page");
            std::vector<std::string> entries = ListEntries(GetDlgItem(group, IDC_GROUP_LIST));
            CHECK(Holds(entries, "CvWalk Games"), "the existing group is not listed (%zu entries)", entries.size());
            CHECK(Holds(entries, "Corvane Velomire"), "the default group is not listed");
            CHECK(!Holds(entries, "(Temp)") && !Holds(entries, "_Old"), "a group with a bad name is listed");
            CHECK(std::is_sorted(entries.begin(), entries.end(),
                                 [](const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) < 0; }),
                  "the list is not sorted");
            CHECK(IsDlgButtonChecked(group, IDC_ADD_TO_GROUP) == BST_CHECKED, "add items is not ticked");

            TypeInto(GetDlgItem(group, IDC_GROUP_EDIT), "My,Group");
            ui::Click(GetDlgItem(group, IDOK));
            HWND box = ui::WaitFor([&] {
                return ui::FindMessageBox(installer.Pid(), kTitle, "Characters , ( ) [ ] are not allowed in group name");
            }, kTimeout);
            CHECK(box, "no refusal of a name with a comma");
            if (box) ui::Click(GetDlgItem(box, IDOK));
            CHECK(ui::WaitUntil([&] { return box && !IsWindow(box); }, kTimeout), "the refusal stayed");
            CHECK(IsWindow(group), "a refused name closed the group page");

            TypeInto(GetDlgItem(group, IDC_GROUP_EDIT), "Velomire Tools");
            ui::Click(GetDlgItem(group, IDOK));
            CHECK(ui::WaitUntil([&] { return !IsWindow(group); }, kTimeout), "OK did not close the group page");
            CHECK(WaitText(page, IDC_GROUP_NAME, "Velomire Tools"), "locations page shows group \"%s\"",
                  ItemText(page, IDC_GROUP_NAME).c_str());

            if (HWND again = OpenGroupPage(installer, page)) {
                TypeInto(GetDlgItem(again, IDC_GROUP_EDIT), "Mine");
                ui::Click(GetDlgItem(again, IDCANCEL));
                CHECK(ui::WaitUntil([&] { return !IsWindow(again); }, kTimeout), "Cancel did not close the group page");
                CHECK(WaitText(page, IDC_GROUP_NAME, "Corvane Velomire"), "after Cancel the page shows group \"%s\"",
                      ItemText(page, IDC_GROUP_NAME).c_str());
            }
            ui::Click(GetDlgItem(page, IDC_EXIT));
            if (HWND question = WaitExitQuestion(installer)) ui::Click(GetDlgItem(question, IDYES));
            CHECK(installer.WaitEnd(kTimeout), "installer still running after Exit, Yes");
        }
    }
    for (const std::string& folder : made) RemoveDirectoryA(folder.c_str());
}

// The browser opens at the root of the directory's drive; a directory
// opened in its list and OK put that directory into the field.
void BrowserChoosesADirectory(const Args& args)
{
    const std::string picked = "C:\\CVPICK";
    bool made = CreateDirectoryA(picked.c_str(), nullptr) != FALSE;
    {
        Installer installer;
        HWND page = StartAtLocations(args, installer);
        if (page) {
            TypeInto(GetDlgItem(page, IDC_DIRECTORY), "C:\\OTHER");
            ui::Click(GetDlgItem(page, IDC_BROWSE_DIRECTORY));
            HWND browser = WaitPage(installer, kBrowseTitle);
            CHECK(browser, "no directory browser");
            if (browser) {
                HWND list = GetDlgItem(browser, 1121);
                std::vector<std::string> entries = ListEntries(list);
                int index = -1;
                for (size_t i = 0; i < entries.size(); ++i) {
                    if (lstrcmpiA(entries[i].c_str(), "cvpick") == 0 || lstrcmpiA(entries[i].c_str(), "[cvpick]") == 0)
                        index = (int)i;
                }
                CHECK(index >= 0, "%s is not in the browser's list at the root (%zu entries)", picked.c_str(),
                      entries.size());
                if (index >= 0) {
                    // Opened as a double-click on the entry opens it.
                    SendMessageA(list, LB_SETCURSEL, index, 0);
                    PostMessageA(browser, WM_COMMAND, MAKEWPARAM(1121, LBN_DBLCLK), (LPARAM)list);
                    installer.Settle();
                }
                ui::Click(GetDlgItem(browser, IDOK));
                CHECK(ui::WaitUntil([&] { return !IsWindow(browser); }, kTimeout), "browser still open after OK");
                CHECK(WaitText(page, IDC_DIRECTORY, picked), "the field holds \"%s\" after the browser",
                      ItemText(page, IDC_DIRECTORY).c_str());
                CHECK(ItemText(page, IDC_DRIVE) == "C:", "drive is \"%s\"", ItemText(page, IDC_DRIVE).c_str());
                CHECK(ItemText(page, IDC_AVAILABLE) != "0 KB", "no free space shown for C:");
            }
            ui::Click(GetDlgItem(page, IDC_EXIT));
            if (HWND question = WaitExitQuestion(installer)) ui::Click(GetDlgItem(question, IDYES));
            CHECK(installer.WaitEnd(kTimeout), "installer still running after Exit, Yes");
        }
    }
    // The installer's process may hold the directory as its current one
    // for a moment after its end.
    if (made) ui::WaitUntil([&] { return RemoveDirectoryA(picked.c_str()) != FALSE; }, kTimeout);
}

}  // namespace

E2E_SCENARIO("locations", ProposalEditsBrowserBackExit);
E2E_SCENARIO("locations-browse", BrowserChoosesADirectory);
E2E_SCENARIO("locations-group", GroupPageFromTheLocationsPage);
E2E_SCENARIO("locations-keep-empty", NextKeepsAnEmptyFolderOfTheUser);
E2E_SCENARIO("locations-new", NextLeavesNoTrialDirectory);

}  // namespace e2e
