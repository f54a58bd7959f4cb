// A page that shows disk space and takes a directory: KB figures, the
// location check and the trial creation of a directory, shared by the
// locations and the components page.
#pragma once
#include <string>

#include "pages/base/WizardPage.h"

class DiskSpacePage : public WizardPage {
public:
    using WizardPage::ExitPolicy;
    DiskSpacePage(UINT templateId, InstallState& state, HWND backdrop = nullptr, int helpContext = -1,
                  ExitPolicy exit = ExitPolicy::Close);

    // KB figures are kept as numbers and shown as decimal kilobytes
    // followed by unitText, with one separator before the last three
    // digits when there are four or more.
    std::string FormatKB(long long kb) const;
    void InsertSeparator(std::string& figure) const;
    // 1 plenty (more than 1000 KB to spare), 0 tight, -1 not enough.
    static int CompareKB(long long available, long long required);
    // A size of the string table (11401 ...) in KB.
    static long long SizeKB(UINT stringId);
    // Whether the product offers the component of slot 0 ... 3: a slot whose
    // component has no name (its IDS_NAME_... string empty or absent) is
    // hidden, never chosen and left out of the statistics. The fifth slot
    // has no name and no check box, and always counts.
    static bool SlotOffered(int slot);

    // The location check without a window: 0 when `directory` may be used
    // (then made absolute on the default drive, trailing blanks gone), else
    // the message that says why not.
    static UINT LocationProblem(const InstallState& state, std::string& directory);
    // The trial creation without a window: 0, or the message when the
    // directory can never be made.
    static UINT TrialCreationProblem(const std::string& directory);

    // Checks a typed directory; on success `availableKB` holds the free
    // space of its drive.
    bool CheckLocation(std::string& directory, long long& availableKB);
    // When the syntax of `directory` is valid, availableKB = free space of
    // its drive. The first form reads the controls first and reports
    // whether the syntax passed.
    bool RefreshFreeSpace(std::string& directory, long long& availableKB);
    void RefreshFreeSpaceQuiet(const std::string& directory, long long& availableKB);
    // Makes the directory and takes away again the levels it made (never
    // one that was there before): 1, or -1 when a parent cannot be made.
    int TrialCreate(const std::string& directory);

    std::string separator;
    std::string unitText;
};
