#include "pages/locations/LocationsPage.h"

#include <cctype>

#include "fsutil/FsUtil.h"
#include "fw/ResString.h"
#include "fw/WaitCursor.h"
#include "pages/locations/DirectoryBrowser.h"
#include "resources/resource.h"
#include "state/InstallState.h"

namespace {
constexpr DWORD kHelpContext = 2;
constexpr int kComponentSizes = 5;

bool StartsWithDrive(const std::string& path)
{
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}
}  // namespace

LocationsPage::LocationsPage(InstallState& state, HWND backdrop, std::function<int(HWND)> chooseGroup)
    : DiskSpacePage(IDD_LOCATIONS, state, backdrop, kHelpContext, ExitPolicy::Confirm),
      chooseGroup_(std::move(chooseGroup))
{
}

long long LocationsPage::FullInstallKB()
{
    long long total = 0;
    for (int i = 0; i < kComponentSizes; ++i)
        if (SlotOffered(i)) total += SizeKB(IDS_COMPONENT_SIZE_FIRST + i);
    return total;
}

std::string LocationsPage::ProposedDirectory(const InstallState& state)
{
    if (!state.productDir.empty()) return state.productDir;
    return state.defaultDrive + "\\" + fw::LoadResString(IDS_PRODUCT_DIR_DEFAULT);
}

void LocationsPage::TakeDefaultGroup(InstallState& state)
{
    if (state.groupName.empty()) state.SetGroupName(fw::LoadResString(IDS_DEFAULT_GROUP));
}

void LocationsPage::TakeLocation(InstallState& state, const std::string& typed)
{
    std::string directory = typed;
    StripTrailingBackslash(directory);
    state.SetProductDir(typed);
    state.SetVarString1(typed);
    state.SetTargetDir1(directory);
    state.targetDir2 = directory;
    state.targetDir3 = directory;
    state.targetDir4 = directory;
    state.targetDir5 = directory;
}

void LocationsPage::DoDataExchange(fw::DataExchange& dx)
{
    if (dx.saving) {
        dx.Text(IDC_DRIVE, driveText);
        dx.Text(IDC_REQUIRED, requiredText);
        dx.Text(IDC_AVAILABLE, availableText);
        dx.Text(IDC_DIRECTORY, directory);
        dx.Text(IDC_GROUP_NAME, groupNameText);
        return;
    }
    // Setting the same text again would move the caret of the edit the
    // user is typing in, and report a change that did not happen.
    const std::pair<int, const std::string*> fields[] = {
        {IDC_DRIVE, &driveText},     {IDC_REQUIRED, &requiredText},   {IDC_AVAILABLE, &availableText},
        {IDC_DIRECTORY, &directory}, {IDC_GROUP_NAME, &groupNameText},
    };
    for (const auto& [id, value] : fields) {
        if (Item(id) && ItemText(id) != *value) SetItemText(id, *value);
    }
}

void LocationsPage::Push()
{
    requiredText = FormatKB(requiredKB);
    availableText = FormatKB(availableKB);
    pushing_ = true;
    UpdateData(false);
    pushing_ = false;
    // The field shows what it holds in upper case; keep the member the same.
    if (Item(IDC_DIRECTORY)) directory = ItemText(IDC_DIRECTORY);
}

bool LocationsPage::OnInitDialog()
{
    fw::WaitCursor wait;
    pushing_ = true;
    DiskSpacePage::OnInitDialog();
    pushing_ = false;
    logo.LoadBitmaps(IDC_LOGO, *this, IDB_LOGO, 0, 0, 0, 0);
    logo.SizeToContent();
    requiredKB = FullInstallKB();

    TakeDefaultGroup(state_);
    groupNameText = state_.groupName;
    directory = ProposedDirectory(state_);
    driveText = directory.substr(0, 2);
    availableKB = (long long)FreeSpaceKB(driveText);
    indicator.InitLight(IDC_INDICATOR, *this, CompareKB(availableKB, requiredKB));
    // The group name is shown greyed when no items are to be added, as the
    // group page leaves it.
    EnableItem(IDC_GROUP_NAME, state_.addToGroup != 0);
    Push();
    return true;
}

void LocationsPage::ShowDriveOf(const std::string& path)
{
    if (!StartsWithDrive(path)) return;
    driveText = path.substr(0, 2);
    availableKB = (long long)FreeSpaceKB(driveText);
    indicator.ShowLight(CompareKB(availableKB, requiredKB));
}

void LocationsPage::OnDirectoryChanged()
{
    if (pushing_) return;
    if (RefreshFreeSpace(directory, availableKB)) ShowDriveOf(directory);
    Push();
}

void LocationsPage::OnOK()
{
    if (!CheckLocation(directory, availableKB)) {
        FocusItem(IDC_DIRECTORY);
        return;
    }
    std::string validated = directory;
    StripTrailingBackslash(directory);
    if (TrialCreate(directory) == -1) {
        FocusItem(IDC_DIRECTORY);
        return;
    }
    TakeLocation(state_, validated);
    EndDialog(IDOK);
}

void LocationsPage::BrowseDirectory()
{
    std::string startDrive = directory.size() > 2 ? directory.substr(0, 2) : state_.defaultDrive;
    UpdateData(true);
    DirectoryBrowser browser(fw::LoadResString(IDS_BROWSE_TITLE));
    std::string root = startDrive;
    if (root.empty()) {
        char current[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, current);
        root = std::string(current).substr(0, 2);
    }
    SetCurrentDirectoryA((root + "\\").c_str());
    std::string chosen;
    if (browser.Run(Handle(), chosen)) {
        directory = chosen;
        RefreshFreeSpaceQuiet(directory, availableKB);
        ShowDriveOf(directory);
        Push();
    }
    FocusItem(IDOK);
}

void LocationsPage::ChooseGroup()
{
    UpdateData(true);
    state_.SetGroupName(groupNameText);
    if (chooseGroup_ && chooseGroup_(Handle()) == IDOK) EnableItem(IDC_GROUP_NAME, state_.addToGroup != 0);
    // Cancel sets the group back to the default one: show what will be used.
    groupNameText = state_.groupName;
    Push();
    FocusItem(IDOK);
}

bool LocationsPage::OnCommand(int id, int notifyCode, HWND control)
{
    switch (id) {
    case IDC_DIRECTORY:
        if (notifyCode == EN_CHANGE) OnDirectoryChanged();
        return true;
    case IDC_BROWSE_DIRECTORY:
        BrowseDirectory();
        return true;
    case IDC_BROWSE_GROUP:
        ChooseGroup();
        return true;
    default:
        return DiskSpacePage::OnCommand(id, notifyCode, control);
    }
}

