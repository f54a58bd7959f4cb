// The walk from the welcome page to the licence page: the agreement from the
// media in its box, Do Not Accept and Escape ask the exit question and No
// keeps the page, Accept closes it.
#include "Driver.h"
#include "Pages.h"
#include "resources/resource.h"

namespace e2e {
namespace {


void LicenseWalk(const Args& args)
{
    Installer installer;
    HWND welcome = StartAtWelcome(args, installer);
    if (!welcome) return;
    ui::Click(GetDlgItem(welcome, IDC_NEXT));
    HWND page = WaitPage(installer, kLicenseTitle);
    REQUIRE(page, "no licence page after Next");
    Shot(args, "03-license");

    HWND text = GetDlgItem(page, IDC_LICENSE_TEXT);
    REQUIRE(text, "no agreement box");
    std::string agreement = ui::Text(text);
    CHECK(agreement.rfind("CORVANE SOFTWARE LICENSE AGREEMENT\r\n", 0) == 0, "agreement starts \"%.40s\"",
          agreement.c_str());
    CHECK(GetWindowLongA(text, GWL_STYLE) & ES_READONLY, "the agreement box must be read-only");
    CHECK(ui::Text(GetDlgItem(page, IDC_NEXT)) == "&Accept", "no Accept button");
    CHECK(ui::Text(GetDlgItem(page, IDCANCEL)) == "&Do Not Accept", "no Do Not Accept button");
    CHECK(ui::IsVisible(GetDlgItem(page, IDC_LOGO)), "logo missing");

    // Do Not Accept and Escape both ask; No keeps the page.
    for (int way = 0; way < 2; ++way) {
        if (way == 0) ui::Click(GetDlgItem(page, IDCANCEL));
        else ui::PressKey(page, VK_ESCAPE);
        if (!DeclineExit(installer, page, way == 0 ? "Do Not Accept" : "Escape")) return;
    }
    CHECK(CountCalls(args.callLog, kCleanupCall) == 0, "No started the cleanup program");

    // Accept: the page goes and the locations page follows.
    ui::Click(GetDlgItem(page, IDC_NEXT));
    CHECK(ui::WaitUntil([&] { return !IsWindow(page); }, kTimeout), "licence page still open after Accept");
    HWND locations = WaitPage(installer, kLocationsTitle);
    REQUIRE(locations, "no locations page after Accept");
    LeaveWithYes(args, installer, locations);
    ExpectCleanupCalls(args, 1);
}

}  // namespace

E2E_SCENARIO("license", LicenseWalk);

}  // namespace e2e
