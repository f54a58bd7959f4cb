// Services of the page base: KB figures, the location check, the trial
// creation of a directory and the exit question. The message boxes they
// show are answered by MessageBoxAnswerer, as a person would.
#include <gtest/gtest.h>


#include "app/MainWindow.h"
#include "state/InstallState.h"
#include "fsutil/FsUtil.h"
#include "pages/base/DiskSpacePage.h"
#include "pages/base/WizardPage.h"
#include "pages/welcome/WelcomePage.h"
#include "resources/resource.h"
#include "support/MessageBoxAnswerer.h"
#include "support/PageDriver.h"
#include "support/ScratchDir.h"

namespace {

const char kTitle[] = "Corvane Velomire Installation";

class PageBase : public testing::Test {
protected:
    InstallState state;
    DiskSpacePage page{IDD_WELCOME, state};
};

}  // namespace

TEST_F(PageBase, SeparatorAndUnitFromTheStringTable)
{
    EXPECT_EQ(page.separator, ",");
    EXPECT_EQ(page.unitText, " KB");
}

TEST_F(PageBase, InsertAndRemoveSeparator)
{
    struct Case { const char* in; const char* inserted; } cases[] = {
        {"0 KB", "0 KB"},           {"999 KB", "999 KB"},     {"1000 KB", "1,000 KB"},
        {"5186 KB", "5,186 KB"},    {"65535 KB", "65,535 KB"}, {"1234567 KB", "1234,567 KB"},
        {"1,000 KB", "1,000 KB"},   // already there: unchanged
    };
    for (const Case& c : cases) {
        std::string figure = c.in;
        page.InsertSeparator(figure);
        EXPECT_EQ(figure, c.inserted) << c.in;
        page.InsertSeparator(figure);
        EXPECT_EQ(figure, c.inserted) << "twice: " << c.in;
    }
    struct Number { long long kb; const char* shown; } numbers[] = {
        {1000, "1,000 KB"}, {65535, "65,535 KB"}, {999, "999 KB"}, {0, "0 KB"},
    };
    for (const Number& n : numbers) EXPECT_EQ(page.FormatKB(n.kb), n.shown) << n.kb;
    // A separator text of any length, as a maker may set it.
    for (const char* separator : {"''", "<sep>"}) {
        page.separator = separator;
        EXPECT_EQ(page.FormatKB(1000), "1" + std::string(separator) + "000 KB");
        EXPECT_EQ(page.FormatKB(999), "999 KB");
    }
}

TEST_F(PageBase, AddAndCompareKB)
{
    long long total = 0;
    for (UINT id = IDS_COMPONENT_SIZE_FIRST; id < IDS_COMPONENT_SIZE_FIRST + 5; ++id) total += page.SizeKB(id);
    EXPECT_EQ(page.FormatKB(total), "5,186 KB");  // a full install of the shipped product
    EXPECT_EQ(page.FormatKB(total - page.SizeKB(IDS_COMPONENT_SIZE_FIRST)), "1,236 KB");

    struct Case { long long available, required; int result; } cases[] = {
        {6187, 5186, 1},   // 1,001 KB more
        {6186, 5186, 0},   // exactly 1,000 KB more
        {5187, 5186, 0},
        {5186, 5186, -1},  // equal is not enough
        {0, 5186, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(page.CompareKB(c.available, c.required), c.result) << c.available << " vs " << c.required;
}

TEST_F(PageBase, CheckLocation)
{
    state.defaultDrive = "C:";
    ScratchDir scratch("location");
    {
        MessageBoxAnswerer answerer({IDOK});
        std::string directory = "C";
        long long available = -7;
        EXPECT_FALSE(page.CheckLocation(directory, available));
        ASSERT_TRUE(answerer.WaitForBoxes(1));
        EXPECT_EQ(answerer.Boxes()[0].text, "Path is invalid. Please Enter Valid Path.");
        EXPECT_EQ(answerer.Boxes()[0].caption, kTitle);
        EXPECT_EQ(available, -7);
    }
    for (const char* bad : {"C:\\TOOLONGNAME", "C:\\A B", "C:WINDOWS", "C:\\\\X", "1:\\X"}) {
        MessageBoxAnswerer answerer({IDOK});
        std::string directory = bad;
        long long available = 0;
        EXPECT_FALSE(page.CheckLocation(directory, available)) << bad;
        EXPECT_TRUE(answerer.WaitForBoxes(1)) << bad;
    }
    {
        MessageBoxAnswerer answerer({IDOK});
        std::string directory = "\\VELOMIR  \t";
        long long availableKB = -1;
        EXPECT_TRUE(page.CheckLocation(directory, availableKB));
        std::string available = page.FormatKB(availableKB);
        EXPECT_EQ(directory, "C:\\VELOMIR");  // default drive in front, blanks gone
        EXPECT_EQ(answerer.Count(), 0u);
        ASSERT_GT(available.size(), 3u);
        EXPECT_EQ(available.substr(available.size() - 3), " KB");
        // The free space of C: as a KB figure; other programs write to the
        // same disk meanwhile, so the second reading may differ a little.
        std::string plain;
        FreeSpaceKB("C:", plain);
        std::string shown = available;
        std::erase(shown, ',');  // the separator of the string table
        EXPECT_NEAR(atof(shown.c_str()), atof(plain.c_str()), 100000.0) << available;
        std::string formatted = std::to_string(atoi(shown.c_str())) + " KB";
        page.InsertSeparator(formatted);
        EXPECT_EQ(available, formatted);
    }
}

TEST_F(PageBase, TrialCreateTakesOnlyEmptyDirectoriesAway)
{
    ScratchDir scratch("trial");
    WriteWholeFile(scratch / "keep.txt", "x");
    MessageBoxAnswerer answerer({IDOK});

    EXPECT_EQ(page.TrialCreate(scratch / "NEW\\SUB"), 1);
    EXPECT_FALSE(PathExists(scratch / "NEW"));
    EXPECT_TRUE(PathExists(scratch / "keep.txt"));

    CreateDirectoryA((scratch / "FULL").c_str(), nullptr);
    WriteWholeFile(scratch / "FULL\\file.txt", "data");
    EXPECT_EQ(page.TrialCreate(scratch / "FULL"), 1);
    EXPECT_TRUE(PathExists(scratch / "FULL\\file.txt"));
    EXPECT_EQ(answerer.Count(), 0u);

    std::string noDrive = UnusedDriveLetter();
    ASSERT_FALSE(noDrive.empty());
    EXPECT_EQ(page.TrialCreate(noDrive + "\\VELOMIR"), -1);
    ASSERT_TRUE(answerer.WaitForBoxes(1));
    EXPECT_EQ(answerer.Boxes()[0].text, "Path is invalid. Please Enter Valid Path.");
}

namespace {

// A page whose Exit is pressed twice as soon as it opens; it counts the
// Exits it saw.
template <class Page>
class ExitingPage : public DrivenPage<Page> {
public:
    template <class... A>
    explicit ExitingPage(A&&... a)
        : DrivenPage<Page>([](DrivenPage<Page>& p) { p.Command(IDCANCEL); p.Command(IDCANCEL); },
                           std::forward<A>(a)...)
    {
    }
    void OnCancel() override
    {
        ++exits;
        Page::OnCancel();
    }
    int exits = 0;
};

}  // namespace

TEST(WelcomePage, ExitAsksAndNoKeepsThePage)
{
    InstallState state;
    state.installerDir = "C:\\NO\\SUCH\\INSTALLER";  // the cleanup start fails quietly
    MessageBoxAnswerer answerer({IDNO, IDYES});
    ExitingPage<WelcomePage> page(state);
    INT_PTR result = page.DoModal();
    EXPECT_EQ(result, 2);
    EXPECT_EQ(page.exits, 2);
    std::vector<MessageBoxAnswerer::Box> boxes = answerer.Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Are you sure you want to exit Install?");
    EXPECT_EQ(boxes[0].caption, kTitle);
    EXPECT_EQ(boxes[0].pressed, IDNO);
    EXPECT_EQ(boxes[1].pressed, IDYES);
}

TEST(WelcomePage, ControlsWhenItOpens)
{
    InstallState state;
    struct Probe : WelcomePage {
        using WelcomePage::WelcomePage;
        bool OnInitDialog() override
        {
            WelcomePage::OnInitDialog();
            backEnabled = IsWindowEnabled(Item(IDC_BACK));
            helpVisible = IsWindowVisible(Item(IDC_HELP_BUTTON));
            noteVisible = GetWindowLongA(Item(IDC_HIDDEN_NOTE), GWL_STYLE) & WS_VISIBLE;
            RECT r;
            GetWindowRect(Item(IDC_PRODUCT_PICTURE), &r);
            pictureWidth = r.right - r.left;
            bodyFont = reinterpret_cast<HFONT>(SendMessageA(Item(10424), WM_GETFONT, 0, 0));
            titleFont = reinterpret_cast<HFONT>(SendMessageA(Item(IDC_NEXT), WM_GETFONT, 0, 0));
            RECT w = WindowRect();
            left = w.left;
            expectedLeft = (GetSystemMetrics(SM_CXSCREEN) - (w.right - w.left)) / 2;
            EndDialog(1);
            return true;
        }
        bool backEnabled = true, helpVisible = true, noteVisible = true;
        int pictureWidth = 0, left = -1, expectedLeft = -2;
        HFONT bodyFont = nullptr, titleFont = nullptr;
    } page(state);
    EXPECT_EQ(page.DoModal(), 1);
    EXPECT_FALSE(page.backEnabled);
    EXPECT_FALSE(page.helpVisible);
    EXPECT_FALSE(page.noteVisible);
    EXPECT_EQ(page.pictureWidth, 96);  // sized to the product picture
    EXPECT_EQ(page.left, page.expectedLeft);
    ASSERT_TRUE(page.lightFont);
    EXPECT_EQ(page.bodyFont, page.lightFont);
    EXPECT_NE(page.titleFont, page.lightFont);
}

namespace {

// A main window that records the private message pages send it.
class RecordingMain : public MainWindow {
public:
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override
    {
        if (msg == 0x401) exitNotes.push_back(w);
        return MainWindow::WindowProc(msg, w, l);
    }
    std::vector<WPARAM> exitNotes;
};

}  // namespace

TEST(PageExit, ConfirmExitClosesWithCancelAndTellsTheMainWindow)
{
    RecordingMain backdrop;
    ASSERT_TRUE(backdrop.CreateFullScreen());
    MessageBoxAnswerer answerer({IDNO, IDYES});
    ExitingPage<WizardPage> page(IDD_WELCOME, backdrop.state, backdrop.Handle(), -1,
                                 WizardPage::ExitPolicy::Confirm);
    EXPECT_EQ(page.DoModal(), 2);
    EXPECT_EQ(page.exits, 2);
    ASSERT_EQ(answerer.Count(), 2u);
    EXPECT_EQ(answerer.Boxes()[1].text, "Are you sure you want to exit Install?");
    // Only the confirmed Exit told the main window, with the value 2.
    EXPECT_EQ(backdrop.exitNotes, std::vector<WPARAM>{2});
    DestroyWindow(backdrop.Handle());
}
