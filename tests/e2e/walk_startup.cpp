// Walks of the start and the first page: the backdrop, the welcome page, the
// exit question, Escape, a source directory that does not exist; and the
// walk of `make demo` through every page and the install.
#include "Driver.h"
#include "Pages.h"
#include "Walks.h"
#include "resources/resource.h"

namespace e2e {
namespace {

void Startup(const Args& args)
{
    Installer installer;
    HWND page = StartAtWelcome(args, installer);
    if (!page) return;
    HWND backdrop = ui::FindTopLevel(installer.Pid(), "FwFrameWindow", kTitle);
    REQUIRE(backdrop, "no backdrop titled \"%s\"", kTitle);
    Shot(args, "01-welcome");

    int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    RECT r = ui::Rect(backdrop);
    CHECK(r.left == 0 && r.top == 0 && r.right == cx && r.bottom == cy,
          "backdrop covers %ld,%ld-%ld,%ld, screen is %dx%d", r.left, r.top, r.right, r.bottom, cx, cy);

    RECT p = ui::Rect(page);
    int w = p.right - p.left, h = p.bottom - p.top;
    CHECK(p.left == (cx - w) / 2 && p.top == (cy - h) / 2, "page at %ld,%ld is not centred (%dx%d)",
          p.left, p.top, w, h);
    HWND back = GetDlgItem(page, IDC_BACK);
    CHECK(back && ui::IsVisible(back) && !ui::IsEnabled(back), "Back must be shown greyed");
    HWND help = GetDlgItem(page, IDC_HELP_BUTTON);
    CHECK(help && !ui::IsVisible(help), "Help must be hidden");
    HWND next = GetDlgItem(page, IDC_NEXT);
    CHECK(next && ui::IsEnabled(next) && ui::Text(next) == "&Next >", "Next must be there");
    CHECK(!ui::IsVisible(GetDlgItem(page, IDC_HIDDEN_NOTE)), "%d must be hidden", IDC_HIDDEN_NOTE);
    HWND picture = GetDlgItem(page, IDC_PRODUCT_PICTURE);
    CHECK(picture && ui::IsVisible(picture), "product picture missing");

    LeaveWithYes(args, installer, page);
    ExpectCleanupCalls(args, 2);
}

void ExitNoThenYes(const Args& args)
{
    Installer installer;
    HWND page = StartAtWelcome(args, installer);
    if (!page) return;

    ui::Click(GetDlgItem(page, IDCANCEL));
    HWND question = WaitExitQuestion(installer);
    REQUIRE(question, "no exit question after Exit");
    CHECK(GetDlgItem(question, IDYES) && GetDlgItem(question, IDNO), "question needs Yes and No");
    ui::Click(GetDlgItem(question, IDNO));
    CHECK(ui::WaitUntil([&] { return !IsWindow(question); }, kTimeout), "question still open after No");
    CHECK(!installer.WaitEnd(500), "No ended the installer");
    CHECK(IsWindow(page) && ui::IsVisible(page), "No closed the page");
    CHECK(CountCalls(args.callLog, kCleanupCall) == 0, "No started the cleanup program");

    LeaveWithYes(args, installer, page);
    ExpectCleanupCalls(args, 2);
}

void EscapeActsAsExit(const Args& args)
{
    Installer installer;
    HWND page = StartAtWelcome(args, installer);
    if (!page) return;
    ui::PressKey(page, VK_ESCAPE);
    HWND question = WaitExitQuestion(installer);
    REQUIRE(question, "no exit question after Escape");
    ui::Click(GetDlgItem(question, IDYES));
    CHECK(installer.WaitEnd(kTimeout), "installer still running after Escape, Yes");
    ExpectCleanupCalls(args, 2);
}

void MissingSource(const Args& args)
{
    Installer installer;
    HWND page = StartAtWelcome(args, installer, "\\NO\\SUCH\\DIR");
    if (!page) return;
    LeaveWithYes(args, installer, page);
    ExpectCleanupCalls(args, 2);
}

// The walk of `make demo`: every page, one picture each, then back to the
// installation type page and Express through the install to its end, and
// the removal of what it installed.
void Demo(const Args& args)
{
    ForgetEarlierInstall("C:\\VELOMIR");
    Installer installer;
    HWND components = DemoPages(args, installer);
    if (!components) return;
    // Back to the installation type page, and Express from there to the end.
    ui::Click(GetDlgItem(components, IDC_BACK));
    if (!WaitPage(installer, kInstallTypeTitle)) return;
    DemoInstall(args, installer);
    DemoRemoval(args);
}

}  // namespace

E2E_SCENARIO("startup", Startup);
E2E_SCENARIO("exit-no-yes", ExitNoThenYes);
E2E_SCENARIO("escape", EscapeActsAsExit);
E2E_SCENARIO("missing-source", MissingSource);
E2E_SCENARIO("demo", Demo);

}  // namespace e2e
