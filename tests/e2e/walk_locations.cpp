// Walks of the locations page: the proposal, the disk statistics and the
// light following the typed directory, the directory browser, Back, Exit,
// and Next with its trial creation. The page after it is not part of these
// walks: they check what the installer does once Next has been accepted.
#include "Pages.h"

namespace e2e {
namespace {

constexpr int kDirectory = 1501, kDrive = 10402, kRequired = 1700, kAvailable = 10403,
              kIndicator = 10110, kGroupName = 10410, kBrowse = 1245, kBack = 10102, kExit = 10103;
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
    CHECK(ItemText(page, kDirectory) == "C:\\VELOMIR", "proposal is \"%s\"", ItemText(page, kDirectory).c_str());
    CHECK(ItemText(page, kDrive) == "C:", "drive is \"%s\"", ItemText(page, kDrive).c_str());
    CHECK(ItemText(page, kRequired) == "5,186 KB", "required is \"%s\"", ItemText(page, kRequired).c_str());
    CHECK(ItemText(page, kGroupName) == "Corvane Velomire", "group is \"%s\"", ItemText(page, kGroupName).c_str());
    std::string freeC = ItemText(page, kAvailable);
    CHECK(freeC.size() > 3 && freeC != "0 KB", "available on C: is \"%s\"", freeC.c_str());
    HWND light = GetDlgItem(page, kIndicator);
    CHECK(LitLamp(light) == kGreen, "light on C: is lamp %d, not green", LitLamp(light));

    // A drive without a disk: no free space, red light.
    TypeInto(GetDlgItem(page, kDirectory), "Q:\\VELOMIR");
    CHECK(WaitText(page, kDrive, "Q:"), "drive is \"%s\" after typing Q:", ItemText(page, kDrive).c_str());
    CHECK(ItemText(page, kAvailable) == "0 KB", "available on Q: is \"%s\"", ItemText(page, kAvailable).c_str());
    CHECK(LitLamp(light) == kRed, "light on Q: is lamp %d, not red", LitLamp(light));
    // A name of nine characters on C:, put in at once (as a paste does; typed
    // letter by letter it would pass through the valid "C:"): it does not
    // pass the check, so nothing changes.
    SendMessageA(GetDlgItem(page, kDirectory), WM_SETTEXT, 0, (LPARAM) "C:\\ABCDEFGHI");
    installer.Settle();
    CHECK(ItemText(page, kDirectory) == "C:\\ABCDEFGHI", "field holds %s", ItemText(page, kDirectory).c_str());
    CHECK(ItemText(page, kDrive) == "Q:" && ItemText(page, kAvailable) == "0 KB",
          "an invalid path changed the statistics to %s %s", ItemText(page, kDrive).c_str(),
          ItemText(page, kAvailable).c_str());
    TypeInto(GetDlgItem(page, kDirectory), "C:\\VELOMIR");
    CHECK(WaitText(page, kDrive, "C:"), "drive did not come back to C:");
    CHECK(ItemText(page, kAvailable) != "0 KB", "no free space on C: after the edit");
    CHECK(LitLamp(light) == kGreen, "light back on C: is lamp %d, not green", LitLamp(light));

    // The browser: only the directory list and the drive box; Cancel changes nothing.
    ui::Click(GetDlgItem(page, kBrowse));
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
        CHECK(ItemText(page, kDirectory) == "C:\\VELOMIR", "Cancel changed the directory to %s",
              ItemText(page, kDirectory).c_str());
    }

    // Back to the welcome page and forwards again.
    ui::Click(GetDlgItem(page, kBack));
    HWND welcome = WaitWelcome(installer, kTimeout);
    REQUIRE(welcome, "Back did not show the welcome page");
    ui::Click(GetDlgItem(welcome, 10105));
    page = ui::WaitFor([&] { return ui::FindTopLevel(installer.Pid(), "#32770", kLocationsTitle); }, kTimeout);
    REQUIRE(page, "no locations page after Back and Next");
    installer.Settle();

    // Exit asks; No keeps the page, Yes ends the installer.
    ui::Click(GetDlgItem(page, kExit));
    HWND question = WaitExitQuestion(installer);
    REQUIRE(question, "no exit question after Exit");
    ui::Click(GetDlgItem(question, IDNO));
    CHECK(ui::WaitUntil([&] { return !IsWindow(question); }, kTimeout), "question still open after No");
    CHECK(IsWindow(page) && ui::IsVisible(page), "No closed the page");
    ui::Click(GetDlgItem(page, kExit));
    question = WaitExitQuestion(installer);
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
            // There is no installation type page yet: the run ends here.
            CHECK(installer.WaitEnd(kTimeout), "installer still running after the locations page");
        }
        CHECK(DirectoryExists(games), "the trial creation removed the user's empty %s", games.c_str());
        CHECK(!DirectoryExists(games + "\\VELOMIR"), "the trial directory remained");
        ExpectCleanupCalls(args, 1);
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
    CHECK(installer.WaitEnd(kTimeout), "installer still running after the locations page");
    CHECK(!DirectoryExists("C:\\CVNEW"), "the trial directories remained");
}

}  // namespace

E2E_SCENARIO("locations", ProposalEditsBrowserBackExit);
E2E_SCENARIO("locations-keep-empty", NextKeepsAnEmptyFolderOfTheUser);
E2E_SCENARIO("locations-new", NextLeavesNoTrialDirectory);

}  // namespace e2e
