#include "pages/components/ComponentsPage.h"

#include <cstdlib>

#include "fsutil/FsUtil.h"
#include "fw/Message.h"
#include "fw/ResString.h"
#include "fw/WaitCursor.h"
#include "resources/resource.h"
#include "state/InstallState.h"

namespace {

// Slot 1 ... 4: check box and component number; slot 5 has neither.
const int kCheckBox[] = {IDC_CHECK_MEMORY_MANAGER, IDC_CHECK_TECHNOTES, IDC_CHECK_TRAINER,
                         IDC_CHECK_DISK_CACHE};
const int kSizeStatic[] = {IDC_SIZE_SLOT1, IDC_SIZE_SLOT2, IDC_SIZE_SLOT3, IDC_SIZE_SLOT4,
                           IDC_SIZE_SLOT5};
constexpr int kCheckedSlots = 4;

bool IsDriveLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

const int ComponentsPage::kComponent[4] = {component::kMemoryManager, component::kTechnicalNotes,
                                           component::kTrainer, component::kDiskCache};

UINT ComponentsPage::SlotProblem(const std::string& directory, long long sizeKB, long long availableKB)
{
    if (!IsDriveAvailable(directory.substr(0, 2))) return IDS_DRIVE_NOT_AVAILABLE;
    if (sizeKB >= availableKB) return IDS_NOT_ENOUGH_SPACE;
    return 0;
}

void ComponentsPage::TakeChoice(InstallState& state, const std::array<int32_t, kSlots>& selected,
                                std::array<std::string, kSlots> directory)
{
    for (std::string& dir : directory) StripTrailingBackslash(dir);
    for (int i = 0; i < kCheckedSlots; ++i) state.componentSelected[kComponent[i]] = selected[i];
    state.targetDir1 = directory[0];
    state.targetDir2 = directory[1];
    state.targetDir3 = directory[2];
    state.targetDir4 = directory[3];
    state.targetDir5 = directory[4];
}

ComponentsPage::ComponentsPage(InstallState& state, HWND backdrop)
    : DiskSpacePage(IDD_COMPONENTS, state, backdrop, 3, ExitPolicy::Confirm)
{
    for (int i = 0; i < kCheckedSlots; ++i) selected[i] = 1;
    selected[4] = 0;
}

void ComponentsPage::DoDataExchange(fw::DataExchange& dx)
{
    dx.Text(IDC_DRIVE, driveText);
    dx.Text(IDC_REQUIRED, requiredText);
    dx.Text(IDC_AVAILABLE, availableText);
    for (int i = 0; i < kCheckedSlots; ++i) dx.Check(kCheckBox[i], selected[i]);
    for (int i = 0; i < kSlots; ++i) dx.Text(kSizeStatic[i], sizeDisplay[i]);
}

long long ComponentsPage::RequiredSpace(const std::string& drive) const
{
    long long required = 0;
    for (int i = 0; i < kSlots; ++i) {
        if (selected[i] == 1 && directory[i].compare(0, 2, drive) == 0) required += sizeKB[i];
    }
    return required;
}

bool ComponentsPage::OnInitDialog()
{
    fw::WaitCursor wait;
    // The framework's initialisation only: this page keeps the template font.
    fw::Dialog::OnInitDialog();
    for (int i = 0; i < kSlots; ++i) {
        sizeKB[i] = SizeKB(IDS_COMPONENT_SIZE_FIRST + i);
        sizeDisplay[i] = FormatKB(sizeKB[i]);
        directory[i] = state_.TargetDir(i + 1);
    }
    for (int i = 0; i < kCheckedSlots; ++i) {
        selected[i] = state_.componentSelected[kComponent[i]];
        if (!SlotOffered(i)) {
            selected[i] = 0;
            for (int id : {kCheckBox[i], kSizeStatic[i], IDC_SLOT_ICON_FIRST + i}) HideItem(id);
        }
        EnableItem(IDC_SLOT_BUTTON_FIRST + i, selected[i] == 1);
    }
    driveText = directory[0].substr(0, 2);
    long long required = RequiredSpace(driveText);
    long long available = (long long)FreeSpaceKB(driveText);
    // Every slot's check compares with the free space of slot 1's drive.
    availableKB.fill(available);
    indicator.InitLight(IDC_INDICATOR, *this, CompareKB(available, required));
    requiredText = FormatKB(required);
    availableText = FormatKB(available);
    UpdateData(false);
    return true;
}

void ComponentsPage::Toggle(int slot)
{
    UpdateData(true);
    EnableItem(IDC_SLOT_BUTTON_FIRST + slot, selected[slot] == 1);
    const std::string& dir = directory[slot];
    if (dir.size() < 2 || !IsDriveLetter(dir[0]) || dir[1] != ':') {
        requiredText = FormatKB(selected[slot] == 1 ? sizeKB[slot] : 0);
    } else {
        driveText = dir.substr(0, 2);
        requiredText = FormatKB(RequiredSpace(driveText));
        long long available = (long long)FreeSpaceKB(driveText);
        availableText = FormatKB(available);
        indicator.ShowLight(CompareKB(available, sizeKB[slot]));
    }
    UpdateData(false);
}

bool ComponentsPage::CheckSlots()
{
    for (int i = 0; i < kSlots; ++i) {
        if (selected[i] != 1) continue;
        driveText = directory[i].substr(0, 2);
        HWND slotButton = Item(IDC_SLOT_BUTTON_FIRST + i);
        UINT problem = SlotProblem(directory[i], sizeKB[i], availableKB[i]);
        if (problem == IDS_DRIVE_NOT_AVAILABLE) {
            fw::ShowMessageArg(Handle(), IDS_DRIVE_NOT_AVAILABLE, " " + driveText, MB_OK | MB_ICONINFORMATION,
                               IDS_INVALID_DRIVE_CAPTION);
            SetFocus(slotButton);
            return false;
        }
        if (problem == IDS_NOT_ENOUGH_SPACE) {
            int answer = fw::ShowMessageArg(Handle(), IDS_NOT_ENOUGH_SPACE, " " + driveText,
                                            MB_OKCANCEL | MB_ICONINFORMATION, IDS_WARNING_CAPTION);
            if (answer != IDCANCEL) {
                SetFocus(slotButton);
                return false;
            }
        }
    }
    return true;
}

void ComponentsPage::Install()
{
    if (!CheckSlots()) return;
    anySelected = 0;
    for (int i = 0; i < kCheckedSlots; ++i) {
        if (selected[i] == 1) anySelected = 1;
    }
    if (!anySelected) {
        fw::ShowMessageId(Handle(), IDS_NO_COMPONENT, MB_OK);
        return;
    }
    UpdateData(true);
    TakeChoice(state_, selected, directory);
    for (std::string& dir : directory) StripTrailingBackslash(dir);
    EndDialog(IDOK);
}

void ComponentsPage::OnOK()
{
    Install();
}

bool ComponentsPage::OnCommand(int id, int notifyCode, HWND control)
{
    switch (id) {
    case ID_INSTALL_COMMAND:
        Install();
        return true;
    case IDC_CHECK_MEMORY_MANAGER:
    case IDC_CHECK_TECHNOTES:
    case IDC_CHECK_TRAINER:
    case IDC_CHECK_DISK_CACHE:
        if (notifyCode == BN_CLICKED) {
            for (int i = 0; i < kCheckedSlots; ++i) {
                if (kCheckBox[i] == id) Toggle(i);
            }
        }
        return true;
    default:
        return DiskSpacePage::OnCommand(id, notifyCode, control);
    }
}

