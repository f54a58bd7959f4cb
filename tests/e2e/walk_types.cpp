// Walks of the installation type page and the components page: the picture
// buttons, the letter keys, Enter on a picture, Back and Exit; the boxes,
// sizes, disk statistics and light of the components page and its refusal
// of an empty choice; and the version check of an installed memory manager
// on the way to the install step, after Express and after Install.
#include <vector>

#include "Pages.h"
#include "resources/resource.h"

namespace e2e {
namespace {

constexpr int kGreen = 2;

std::string ItemText(HWND page, int id)
{
    return ui::Text(GetDlgItem(page, id));
}

// One key going down or up, sent to `window` in front.
void Key(HWND window, WORD vk, bool up)
{
    SetForegroundWindow(window);
    ui::WaitUntil([&] { return GetForegroundWindow() == window; }, 2000);
    ui::SendKey(vk, up);
    Sleep(80);
}

// `vk` pressed and released while `modifier` (0: none) is held.
void Chord(HWND window, WORD modifier, WORD vk)
{
    if (modifier) Key(window, modifier, false);
    Key(window, vk, false);
    Key(window, vk, true);
    if (modifier) Key(window, modifier, true);
}

HWND FocusOf(HWND page)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(page, nullptr), &info);
    return info.hwndFocus;
}

// Tab until the focus is on `id`; false when it never gets there.
bool TabTo(HWND page, int id)
{
    for (int i = 0; i < 8 && FocusOf(page) != GetDlgItem(page, id); ++i) ui::PressKey(page, VK_TAB);
    return FocusOf(page) == GetDlgItem(page, id);
}

// The page stays open after a key that must do nothing.
bool StillOpen(const Installer& installer, HWND page)
{
    installer.Settle();
    return IsWindow(page) && ui::IsVisible(page);
}

// Back on the components page shows the installation type page again.
HWND BackToType(Installer& installer, HWND components)
{
    ui::Click(GetDlgItem(components, IDC_BACK));
    HWND type = WaitPage(installer, kInstallTypeTitle);
    CHECK(type, "Back on the components page did not show the installation type page");
    return type;
}

void TypePageKeysBackExit(const Args& args)
{
    Installer installer;
    HWND locations = StartAtLocations(args, installer);
    if (!locations) return;
    // X goes down on the locations page (into the directory field, which
    // makes C:\CVTYPEX of C:\CVTYPE) and comes up on the next page: nothing.
    TypeInto(GetDlgItem(locations, IDC_DIRECTORY), "C:\\CVTYPE");
    Key(locations, 'X', false);
    ui::Click(GetDlgItem(locations, IDOK));
    HWND page = WaitPage(installer, kInstallTypeTitle);
    Key(page ? page : locations, 'X', true);
    REQUIRE(page, "no installation type page after the locations page");
    REQUIRE(StillOpen(installer, page), "releasing X held since the locations page chose Express");

    for (int id : {IDC_PRODUCT_PICTURE, IDC_EXPRESS, IDC_CUSTOM})
        CHECK(GetDlgItem(page, id) && ui::IsVisible(GetDlgItem(page, id)), "picture button %d not shown", id);
    CHECK(ui::IsVisible(GetDlgItem(page, IDC_NEXT)) && !ui::IsEnabled(GetDlgItem(page, IDC_NEXT)),
          "Next must be shown greyed");
    CHECK(!ui::IsVisible(GetDlgItem(page, IDC_HELP_BUTTON)), "Help must be hidden");
    CHECK(ui::IsVisible(GetDlgItem(page, IDC_BACK)) && ui::IsEnabled(GetDlgItem(page, IDC_BACK)), "no Back");

    // Enter on the logo, a digit and a letter not in "XC" do nothing.
    CHECK(FocusOf(page) == GetDlgItem(page, IDC_PRODUCT_PICTURE), "the logo does not have the focus at the start");
    ui::PressKey(page, VK_RETURN);
    ui::PressKey(page, '1');
    ui::PressKey(page, 'Q');
    CHECK(StillOpen(installer, page), "Enter on the logo, 1 or Q closed the page");

    // Escape asks as Exit does; No keeps the page and starts nothing.
    ui::PressKey(page, VK_ESCAPE);
    if (!DeclineExit(installer, page, "Escape")) return;
    CHECK(StillOpen(installer, page), "No closed the page");
    CHECK(CountCalls(args.callLog, kCleanupCall) == 0, "No started the cleanup program");

    // Back shows the locations page with the directory chosen before.
    ui::Click(GetDlgItem(page, IDC_BACK));
    locations = WaitPage(installer, kLocationsTitle);
    REQUIRE(locations, "Back did not show the locations page");
    CHECK(ItemText(locations, IDC_DIRECTORY) == "C:\\CVTYPEX", "the locations page shows \"%s\"",
          ItemText(locations, IDC_DIRECTORY).c_str());
    ui::Click(GetDlgItem(locations, IDOK));
    page = WaitPage(installer, kInstallTypeTitle);
    REQUIRE(page, "no installation type page after Back and Next");

    // Each way to Custom leads to the components page; its Back comes here.
    // A letter acts when it comes up, not when it goes down.
    struct Way {
        const char* name;
        WORD modifier;  // held around the key, or 0
        WORD key;       // 0: Enter with the focus on the Custom picture
    } ways[] = {{"c", 0, 'C'}, {"Shift+C", VK_SHIFT, 'C'}, {"Alt+C", VK_MENU, 'C'}, {"Enter on Custom", 0, 0}};
    for (const Way& way : ways) {
        if (way.key) {
            if (way.modifier) Key(page, way.modifier, false);
            Key(page, way.key, false);
            CHECK(StillOpen(installer, page), "%s acted before the key came up", way.name);
            Key(page, way.key, true);
            if (way.modifier) Key(page, way.modifier, true);
        } else {
            CHECK(TabTo(page, IDC_CUSTOM), "Tab does not reach the Custom picture");
            ui::PressKey(page, VK_RETURN);
        }
        HWND components = WaitPage(installer, kComponentsTitle);
        REQUIRE(components, "%s did not lead to the components page", way.name);
        page = BackToType(installer, components);
        if (!page) return;
    }

    // Exit, Yes: the page starts the cleanup program and the end of the run
    // starts it again.
    LeaveWithYes(args, installer, page);
    ExpectCleanupCalls(args, 2);
}

void ComponentsBoxesLightEmptyChoiceBackExit(const Args& args)
{
    Installer installer;
    HWND type = StartAtInstallType(args, installer);
    if (!type) return;
    HWND page = ChooseCustom(type);
    if (!page) return;

    const char* names[] = {"&Ramhold Memory Manager", "Ramhold &Technical Notes", "Corvane &Tricorn",
                           "D&iskspur Disk Cache"};
    const char* sizes[] = {"3,950 KB", "305 KB", "284 KB", "647 KB"};
    const int sizeStatics[] = {IDC_SIZE_SLOT1, IDC_SIZE_SLOT2, IDC_SIZE_SLOT3, IDC_SIZE_SLOT4};
    for (int i = 0; i < 4; ++i) {
        CHECK(ItemText(page, kComponentBoxes[i]) == names[i], "box %d reads \"%s\"", kComponentBoxes[i],
              ItemText(page, kComponentBoxes[i]).c_str());
        CHECK(IsDlgButtonChecked(page, kComponentBoxes[i]) == BST_CHECKED, "box %d is not ticked",
              kComponentBoxes[i]);
        CHECK(ItemText(page, sizeStatics[i]) == sizes[i], "slot %d shows size \"%s\"", i + 1,
              ItemText(page, sizeStatics[i]).c_str());
    }
    CHECK(!ui::IsVisible(GetDlgItem(page, IDC_SIZE_SLOT5)) && !ui::IsVisible(GetDlgItem(page, IDC_SLOT5_LABEL)),
          "slot 5 is shown");
    for (int id = IDC_SLOT_BUTTON_FIRST; id <= IDC_SLOT_BUTTON_FIRST + 4; ++id)
        CHECK(!ui::IsVisible(GetDlgItem(page, id)), "slot button %d is shown", id);
    CHECK(!ui::IsVisible(GetDlgItem(page, IDC_HELP_BUTTON)), "Help must be hidden");
    CHECK(ItemText(page, IDC_DRIVE) == "C:", "drive is \"%s\"", ItemText(page, IDC_DRIVE).c_str());
    CHECK(ItemText(page, IDC_REQUIRED) == "5,186 KB", "required is \"%s\"", ItemText(page, IDC_REQUIRED).c_str());
    std::string freeC = ItemText(page, IDC_AVAILABLE);
    CHECK(freeC.size() > 3 && freeC != "0 KB" && freeC.find(',') != std::string::npos, "available is \"%s\"",
          freeC.c_str());
    CHECK(LitLamp(GetDlgItem(page, IDC_INDICATOR)) == kGreen, "light is lamp %d, not green",
          LitLamp(GetDlgItem(page, IDC_INDICATOR)));

    // Unticking takes each size off the required figure; ticking puts it back.
    const char* without[] = {"1,236 KB", "931 KB", "647 KB", "0 KB"};
    for (int i = 0; i < 4; ++i) {
        ui::Click(GetDlgItem(page, kComponentBoxes[i]));
        CHECK(ItemText(page, IDC_REQUIRED) == without[i], "without slots 1..%d required is \"%s\", not %s", i + 1,
              ItemText(page, IDC_REQUIRED).c_str(), without[i]);
    }
    ui::Click(GetDlgItem(page, kComponentBoxes[0]));
    CHECK(ItemText(page, IDC_REQUIRED) == "3,950 KB", "slot 1 alone requires \"%s\"",
          ItemText(page, IDC_REQUIRED).c_str());
    CHECK(LitLamp(GetDlgItem(page, IDC_INDICATOR)) == kGreen, "light after the toggle is lamp %d",
          LitLamp(GetDlgItem(page, IDC_INDICATOR)));

    // Nothing ticked: Install refuses and the page stays.
    InstallComponents(page, {false, false, false, false});
    CHECK(Answer(installer, "You must specify at least one component to install.", IDOK) == kTitle,
          "the empty choice is not refused under the application's title");
    CHECK(StillOpen(installer, page), "the refusal closed the page");
    // Escape asks as Exit does; No keeps the page.
    ui::PressKey(page, VK_ESCAPE);
    if (!DeclineExit(installer, page, "Escape")) return;
    CHECK(StillOpen(installer, page), "No closed the page");

    // Back loses the unticked boxes: the next visit shows the stored choice.
    type = BackToType(installer, page);
    if (!type) return;
    page = ChooseCustom(type);
    if (!page) return;
    for (int box : kComponentBoxes)
        CHECK(IsDlgButtonChecked(page, box) == BST_CHECKED, "box %d lost its tick through Back", box);
    CHECK(ItemText(page, IDC_REQUIRED) == "5,186 KB", "required after Back is \"%s\"",
          ItemText(page, IDC_REQUIRED).c_str());

    // Exit, Yes: the page itself starts nothing; the end of the run starts
    // the cleanup program once.
    LeaveWithYes(args, installer, page);
    ExpectCleanupCalls(args, 1);
}

// Each way to the install step with a memory manager of some version in the
// chosen directory: the question comes when that version is the one being
// installed (8.0) or newer, compared as numbers.
void VersionCheckOnTheWayToInstall(const Args& args)
{
    const std::string dir = "C:\\CVVER", file = dir + "\\RHREG.COM";
    const char* kQuestion =
        "Install has found the newer version of RHOLD386.SYS in the directory specified for Ramhold. Do you wish "
        "to install Ramhold anyway?";
    enum How { kClickExpress, kLetterX, kAltX, kEnterOnExpress, kCustomAll, kCustomWithoutSlot1 };
    struct Case {
        const char* name;
        How how;
        const char* version;  // after "386 V" in RHREG.COM; null: no such file
        int answer;           // the answer to the question, 0: no question
    } cases[] = {
        {"Express clicked, no RHREG.COM", kClickExpress, nullptr, 0},
        {"X, 8.03", kLetterX, "8.03", IDCANCEL},
        {"Alt+X, 7.5", kAltX, "7.5", 0},
        {"Enter on Express, 10.0", kEnterOnExpress, "10.0", IDOK},
        {"Install with all four, 9.00", kCustomAll, "9.00", IDOK},
        {"Install without the memory manager, 8.03", kCustomWithoutSlot1, "8.03", 0},
    };
    CreateDirectoryA(dir.c_str(), nullptr);
    for (const Case& c : cases) {
        DeleteFileA(file.c_str());
        if (c.version) {
            std::string text = std::string("\xEB\x2ERamhold 386 V") + c.version + " Copyright Corvane\r\n$";
            HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
            DWORD written = 0;
            CHECK(h != INVALID_HANDLE_VALUE && WriteFile(h, text.data(), (DWORD)text.size(), &written, nullptr),
                  "cannot write %s", file.c_str());
            if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
        }
        std::printf("-- %s\n", c.name);
        Installer installer;
        HWND page = StartAtInstallType(args, installer, dir);
        if (!page) break;
        switch (c.how) {
        case kClickExpress: ChooseExpress(page); break;
        case kLetterX: Chord(page, 0, 'X'); break;
        case kAltX: Chord(page, VK_MENU, 'X'); break;
        case kEnterOnExpress:
            CHECK(TabTo(page, IDC_EXPRESS), "Tab does not reach the Express picture");
            ui::PressKey(page, VK_RETURN);
            break;
        case kCustomAll:
        case kCustomWithoutSlot1:
            if (HWND components = ChooseCustom(page))
                InstallComponents(components, {c.how == kCustomAll, true, true, true});
            break;
        }
        if (c.answer) CHECK(Answer(installer, kQuestion, c.answer) == kTitle, "%s: no question", c.name);
        ExpectInstallStepReached(installer);
    }
    DeleteFileA(file.c_str());
    RemoveDirectoryA(dir.c_str());
}

}  // namespace

E2E_SCENARIO("types", TypePageKeysBackExit);
E2E_SCENARIO("types-components", ComponentsBoxesLightEmptyChoiceBackExit);
E2E_SCENARIO("types-version", VersionCheckOnTheWayToInstall);

}  // namespace e2e
