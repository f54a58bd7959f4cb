// The licence page, the installation type page, the components page and the
// version check of the memory manager. Pages run modally as in the wizard;
// a script runs once the page is open and works it the way a person would,
// and MessageBoxAnswerer answers the boxes.
#include <gtest/gtest.h>

#include <functional>

#include "state/InstallState.h"
#include "app/VersionCheck.h"
#include "fw/ResString.h"
#include "pages/components/ComponentsPage.h"
#include "pages/installtype/InstallTypePage.h"
#include "pages/license/LicensePage.h"
#include "resources/resource.h"
#include "support/MessageBoxAnswerer.h"
#include "support/PageDriver.h"
#include "support/ScratchDir.h"

namespace {

constexpr int kStillOpen = kPageStillOpen;  // the script ended and the page was still open
template <class Page>
using Driven = DrivenPage<Page>;

std::vector<std::string> Texts(MessageBoxAnswerer& answerer)
{
    std::vector<std::string> texts;
    for (const auto& box : answerer.Boxes()) texts.push_back(box.text);
    return texts;
}

// A file of the /sys tree that says it is larger than what a read gives.
std::string ShortReadingFile()
{
    for (const char* path : {"Z:\\sys\\kernel\\mm\\transparent_hugepage\\enabled",
                             "Z:\\sys\\devices\\system\\cpu\\online", "Z:\\sys\\kernel\\uevent_seqnum"}) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (GetFileAttributesExA(path, GetFileExInfoStandard, &data) && data.nFileSizeLow > 64) return path;
    }
    return {};
}

}  // namespace

// ---- the version check of the memory manager ---------------------------------

TEST(VersionCheck, QuestionOnlyForTheSameOrANewerVersion)
{
    struct Case {
        const char* name;
        std::string contents;  // of RHREG.COM
        int answer;            // pressed in the question
        int result;
        bool asked;
        bool keptSelected;     // components 11 and 21 afterwards
    } cases[] = {
        {"8.03", "MZ..386 V8.03 Ramhold", IDCANCEL, 0, true, false},
        {"8.0 OK", "386 V8.0", IDOK, 0, true, true},
        {"7.5", "386 V7.5 Ramhold", IDCANCEL, 1, false, true},
        {"9.00", "386 V9.00", IDCANCEL, 0, true, false},
        {"10.0 (numbers, not characters)", "386 V10.0", IDCANCEL, 0, true, false},
        {"marker at the very end", "Ramhold 386 V", IDCANCEL, 1, false, true},
        {"two characters after it", "386 V9.", IDCANCEL, 1, false, true},
        {"marker after a zero byte", std::string("MZ\0\0386 V9.00", 13), IDCANCEL, 1, false, true},
        {"no marker", "Ramhold 9.00", IDCANCEL, 1, false, true},
    };
    for (const Case& c : cases) {
        ScratchDir dir("version");
        ASSERT_TRUE(WriteWholeFile(dir / "RHREG.COM", c.contents));
        InstallState state;
        state.targetDir1 = dir.Path();
        state.componentSelected[11] = state.componentSelected[21] = state.componentSelected[31] = 1;
        MessageBoxAnswerer answerer({c.answer});
        EXPECT_EQ(CheckExistingVersion(state, nullptr, "RHREG.COM"), c.result) << c.name;
        ASSERT_EQ(answerer.Count(), c.asked ? 1u : 0u) << c.name;
        if (c.asked) {
            EXPECT_EQ(answerer.Boxes()[0].text,
                      "Install has found the newer version of RHOLD386.SYS in the directory specified for "
                      "Ramhold. Do you wish to install Ramhold anyway?");
            EXPECT_EQ(answerer.Boxes()[0].caption, "Corvane Velomire Installation");
        }
        EXPECT_EQ(state.componentSelected[11], c.keptSelected ? 1 : 0) << c.name;
        EXPECT_EQ(state.componentSelected[21], c.keptSelected ? 1 : 0) << c.name;
        EXPECT_EQ(state.componentSelected[31], 1) << c.name;
    }

    // Absent: 1; present but not to be opened: 0; neither asks.
    ScratchDir dir("version");
    InstallState state;
    state.targetDir1 = dir.Path();
    MessageBoxAnswerer answerer({IDCANCEL});
    EXPECT_EQ(CheckExistingVersion(state, nullptr, "RHREG.COM"), 1);
    ASSERT_TRUE(WriteWholeFile(dir / "RHREG.COM", "386 V9.00"));
    HANDLE held = CreateFileA((dir / "RHREG.COM").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(CheckExistingVersion(state, nullptr, "RHREG.COM"), 0);
    CloseHandle(held);
    EXPECT_EQ(answerer.Count(), 0u);
}

// ---- the licence page ------------------------------------------------------------

TEST(LicensePage, LoadingTheFile)
{
    InstallState state;
    ScratchDir dir("license");
    std::string full = std::string(LicensePage::kMaxLength, 'L');
    struct Case {
        const char* name;
        std::string path;
        std::string contents;   // written to `path` unless empty
        const char* message;    // the one box shown, or none
        size_t textLength;
    } cases[] = {
        {"empty", dir / "EMPTY.TXT", "", nullptr, 0},
        {"65535 bytes", dir / "FULL.TXT", full, nullptr, full.size()},
        {"65536 bytes", dir / "LARGE.TXT", full + "L", "Error File %1 too large(greater than 65535 bytes)", 0},
        {"a zero byte ends the text", dir / "ZERO.TXT", std::string("Terms\0hidden", 12), nullptr, 5},
        {"missing", dir / "MISSING.TXT", "", "Error Opening File %1", 0},
        {"short read", ShortReadingFile(), "", "Error Reading File %1", 0},
    };
    for (const Case& c : cases) {
        if (c.path.empty()) {
            ADD_FAILURE() << c.name << ": no file of the /sys tree in this prefix";
            continue;
        }
        if (!c.contents.empty() || std::string(c.name) == "empty") {
            ASSERT_TRUE(WriteWholeFile(c.path, c.contents));
        }
        MessageBoxAnswerer answerer({IDOK});
        LicensePage page(state);
        page.agreementText = "before";
        page.LoadAgreement(c.path);
        EXPECT_EQ(page.agreementText.size(), c.textLength) << c.name;
        if (c.message) {
            ASSERT_EQ(Texts(answerer), std::vector<std::string>{fw::FormatArg(c.message, c.path)}) << c.name;
            EXPECT_EQ(answerer.Boxes()[0].caption, "Corvane Velomire Installation");
        } else {
            EXPECT_EQ(answerer.Count(), 0u) << c.name;
        }
    }
}

TEST(LicensePage, ShowsTheTextFromTheTopAndAsksBeforeLeaving)
{
    InstallState state;
    state.installerDir = "C:\\NO\\SUCH\\INSTALLER";  // the cleanup start fails quietly
    ScratchDir dir("license");
    state.sourceDir = dir.Path();
    std::string text;
    for (int i = 1; i <= 200; ++i) text += "Line " + std::to_string(i) + " of the agreement.\r\n";
    ASSERT_TRUE(WriteWholeFile(dir / "LICENSE.TXT", text));

    MessageBoxAnswerer answerer({IDNO, IDYES});
    Driven<LicensePage> page(state);
    std::string shown;
    LRESULT firstLine = -1, selStart = -1, selEnd = -2;
    bool openAfterNo = false;
    page.script = [&](Driven<LicensePage>& p) {
        HWND edit = p.Item(IDC_LICENSE_TEXT);
        shown = fw::WindowText(edit);
        SendMessageA(edit, EM_LINESCROLL, 0, 150);
        p.FocusItem(IDC_NEXT);
        p.FocusItem(IDC_LICENSE_TEXT);  // as Tab does: the dialog selects all first
        firstLine = SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0);
        DWORD start = 0, end = 0;
        SendMessageA(edit, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
        selStart = start, selEnd = end;
        p.Command(IDCANCEL);  // Do Not Accept, No
        openAfterNo = p.Open();
        p.Command(IDCANCEL);  // Do Not Accept, Yes
    };
    EXPECT_EQ(page.DoModal(), 2);
    EXPECT_EQ(shown, text);
    EXPECT_EQ(firstLine, 0);
    EXPECT_EQ(selStart, selEnd);
    EXPECT_TRUE(openAfterNo);
    EXPECT_EQ(Texts(answerer), (std::vector<std::string>{"Are you sure you want to exit Install?",
                                                         "Are you sure you want to exit Install?"}));

    // Accept ends with 1.
    Driven<LicensePage> accepting(state);
    accepting.script = [](Driven<LicensePage>& p) { p.Command(IDC_NEXT); };
    EXPECT_EQ(accepting.DoModal(), 1);
}

// ---- the installation type page ----------------------------------------------

TEST(InstallTypePage, LetterKeysAndEnter)
{
    struct Key { int control; UINT msg; WPARAM key; };
    struct Case {
        const char* name;
        int focus;               // control given the focus first, or 0
        std::vector<Key> keys;   // posted in order; Back follows them
        int result;
    } cases[] = {
        {"X", 0, {{IDC_EXPRESS, WM_KEYDOWN, 'X'}, {IDC_EXPRESS, WM_KEYUP, 'X'}}, IDC_EXPRESS},
        {"C on the logo", 0, {{IDC_PRODUCT_PICTURE, WM_KEYDOWN, 'C'}, {IDC_PRODUCT_PICTURE, WM_KEYUP, 'C'}},
         IDC_CUSTOM},
        {"Alt+C released", 0, {{IDC_CUSTOM, WM_SYSKEYUP, 'C'}}, IDC_CUSTOM},
        {"X went down on the page before", 0, {{IDC_EXPRESS, WM_KEYUP, 'X'}}, IDC_BACK},
        {"digit", 0, {{IDC_EXPRESS, WM_KEYDOWN, '1'}, {IDC_EXPRESS, WM_KEYUP, '1'}}, IDC_BACK},
        {"other letter", 0, {{IDC_EXPRESS, WM_KEYDOWN, 'Q'}, {IDC_EXPRESS, WM_KEYUP, 'Q'}}, IDC_BACK},
        {"Enter on Custom", IDC_CUSTOM, {{IDC_CUSTOM, WM_KEYDOWN, VK_RETURN}}, IDC_CUSTOM},
        {"Enter on Express", IDC_EXPRESS, {{IDC_EXPRESS, WM_KEYDOWN, VK_RETURN}}, IDC_EXPRESS},
        {"Enter on the logo", IDC_PRODUCT_PICTURE, {{IDC_PRODUCT_PICTURE, WM_KEYDOWN, VK_RETURN}}, IDC_BACK},
    };
    InstallState state;
    for (const Case& c : cases) {
        MessageBoxAnswerer answerer({IDNO});
        Driven<InstallTypePage> page(state);
        page.script = [&](Driven<InstallTypePage>& p) {
            if (c.focus) p.FocusItem(c.focus);
            for (const Key& k : c.keys) p.Post(c.focus ? c.focus : k.control, k.msg, k.key, 1);
            p.Post(0, WM_COMMAND, IDC_BACK);
        };
        EXPECT_EQ(page.DoModal(), c.result) << c.name;
        EXPECT_EQ(answerer.Count(), 0u) << c.name;
    }

    // A key that went down on an earlier visit and was released on this one
    // does nothing.
    Driven<InstallTypePage> first(state);
    first.script = [](Driven<InstallTypePage>& p) {
        p.Post(IDC_EXPRESS, WM_KEYDOWN, 'X', 1);
        p.Post(0, WM_COMMAND, IDC_BACK);
    };
    EXPECT_EQ(first.DoModal(), IDC_BACK);
    Driven<InstallTypePage> second(state);
    second.script = [](Driven<InstallTypePage>& p) {
        p.Post(IDC_EXPRESS, WM_KEYUP, 'X', 1);
        p.Post(0, WM_COMMAND, IDC_BACK);
    };
    EXPECT_EQ(second.DoModal(), IDC_BACK);
}

// ---- the components page -----------------------------------------------------

TEST(ComponentsPage, RequiredSpacePerDrive)
{
    struct Case {
        const char* name;
        std::array<int, 4> flags;  // components 11, 21, 31, 41
        const char* dir3;          // slot 3's directory; the others are on C:
        const char* required;
    } cases[] = {
        {"all four", {1, 1, 1, 1}, "C:\\VELOMIR", "5,186 KB"},
        {"without slot 1", {0, 1, 1, 1}, "C:\\VELOMIR", "1,236 KB"},
        {"slot 3 on another drive", {1, 1, 1, 1}, "D:\\TRICORN", "4,902 KB"},
        {"drive letters compared as written", {1, 1, 1, 1}, "c:\\TRICORN", "4,902 KB"},
        {"none", {0, 0, 0, 0}, "C:\\VELOMIR", "0 KB"},
    };
    for (const Case& c : cases) {
        InstallState state;
        state.targetDir1 = state.targetDir2 = state.targetDir4 = state.targetDir5 = "C:\\VELOMIR";
        state.targetDir3 = c.dir3;
        int numbers[] = {11, 21, 31, 41};
        for (int i = 0; i < 4; ++i) state.componentSelected[numbers[i]] = c.flags[i];
        Driven<ComponentsPage> page(state);
        std::string required, drive, slot1Size, slot5Size;
        std::array<bool, 4> slotButtons{};
        page.script = [&](Driven<ComponentsPage>& p) {
            required = p.ItemText(IDC_REQUIRED);
            drive = p.ItemText(IDC_DRIVE);
            slot1Size = p.ItemText(IDC_SIZE_SLOT1);
            slot5Size = p.ItemText(IDC_SIZE_SLOT5);
            for (int i = 0; i < 4; ++i) slotButtons[i] = IsWindowEnabled(p.Item(IDC_SLOT_BUTTON_FIRST + i));
        };
        EXPECT_EQ(page.DoModal(), kStillOpen) << c.name;
        EXPECT_EQ(required, c.required) << c.name;
        EXPECT_EQ(drive, "C:") << c.name;
        EXPECT_EQ(slot1Size, "3,950 KB") << c.name;
        EXPECT_EQ(slot5Size, "0 KB") << c.name;
        for (int i = 0; i < 4; ++i) EXPECT_EQ(slotButtons[i], c.flags[i] == 1) << c.name << " slot " << i + 1;
    }

    // Toggling a slot recomputes its own drive from scratch.
    InstallState state;
    state.targetDir1 = state.targetDir2 = state.targetDir4 = state.targetDir5 = "C:\\VELOMIR";
    state.targetDir3 = "D:\\TRICORN";
    for (int n : {11, 21, 31, 41}) state.componentSelected[n] = 1;
    Driven<ComponentsPage> page(state);
    std::string afterUntick, afterRetick, drive;
    page.script = [&](Driven<ComponentsPage>& p) {
        p.CheckButton(IDC_CHECK_MEMORY_MANAGER, false);
        p.Command(IDC_CHECK_MEMORY_MANAGER);
        afterUntick = p.ItemText(IDC_REQUIRED);
        p.CheckButton(IDC_CHECK_TRAINER, true);
        p.Command(IDC_CHECK_TRAINER);
        afterRetick = p.ItemText(IDC_REQUIRED);
        drive = p.ItemText(IDC_DRIVE);
    };
    EXPECT_EQ(page.DoModal(), kStillOpen);
    EXPECT_EQ(afterUntick, "952 KB");
    EXPECT_EQ(afterRetick, "284 KB");
    EXPECT_EQ(drive, "D:");
}

TEST(ComponentsPage, InstallChecksThenStores)
{
    std::string noDrive = UnusedDriveLetter();
    ASSERT_FALSE(noDrive.empty());
    const char* kNoSpace =
        "Warning|There is not enough space on drive  C:. \r\nSelect OK to choose a different drive, or select Cancel "
        "to ignore this warning.";
    struct Case {
        const char* name;
        std::array<int, 4> flags;
        long long available;           // the free space the checks compare with, in KB
        std::string dir2;              // slot 2's directory
        std::vector<int> answers;
        std::vector<std::string> messages;  // caption|text of each box
        int result;
    } cases[] = {
        {"only slot 1, 4,000 KB free", {1, 0, 0, 0}, 4000, "C:\\VELOMIR\\", {IDOK}, {}, IDOK},
        {"only slot 1, 3,950 KB free", {1, 0, 0, 0}, 3950, "C:\\VELOMIR\\", {IDOK}, {kNoSpace}, kStillOpen},
        {"2,000 KB free, Cancel goes on", {1, 1, 1, 1}, 2000, "C:\\VELOMIR\\", {IDCANCEL}, {kNoSpace}, IDOK},
        {"nothing ticked", {0, 0, 0, 0}, 9999, "C:\\VELOMIR\\", {IDOK},
         {"Corvane Velomire Installation|You must specify at least one component to install."}, kStillOpen},
        {"slot 2 on a missing drive", {1, 1, 0, 0}, 9999, noDrive + "\\VELOMIR", {IDOK},
         {"Invalid Drive|Drive  " + noDrive + " is not available. \r\nYou may choose another drive or quit Install."},
         kStillOpen},
    };
    for (const Case& c : cases) {
        InstallState state;
        state.targetDir1 = state.targetDir3 = state.targetDir4 = state.targetDir5 = "C:\\VELOMIR\\";
        state.targetDir2 = c.dir2;
        for (int n : {11, 21, 31, 41}) state.componentSelected[n] = 1;
        int numbers[] = {11, 21, 31, 41};
        int boxes[] = {IDC_CHECK_MEMORY_MANAGER, IDC_CHECK_TECHNOTES, IDC_CHECK_TRAINER, IDC_CHECK_DISK_CACHE};
        MessageBoxAnswerer answerer(c.answers);
        Driven<ComponentsPage> page(state);
        page.script = [&](Driven<ComponentsPage>& p) {
            p.availableKB.fill(c.available);
            for (int i = 0; i < 4; ++i) {
                if (c.flags[i] == 1) continue;
                p.CheckButton(boxes[i], false);
                p.Command(boxes[i]);
            }
            p.Command(IDOK);
        };
        EXPECT_EQ(page.DoModal(), c.result) << c.name;
        std::vector<std::string> shown;
        for (const auto& box : answerer.Boxes()) shown.push_back(box.caption + "|" + box.text);
        EXPECT_EQ(shown, c.messages) << c.name;
        for (int i = 0; i < 4; ++i) {
            int expected = c.result == IDOK ? c.flags[i] : 1;  // stored only on Install
            EXPECT_EQ(state.componentSelected[numbers[i]], expected) << c.name << " component " << numbers[i];
        }
        EXPECT_EQ(state.targetDir1, c.result == IDOK ? "C:\\VELOMIR" : "C:\\VELOMIR\\") << c.name;
    }
}
