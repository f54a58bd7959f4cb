#include "pages/components/ComponentsPage.h"

#include <cstdlib>

#include "app/MainWindow.h"
#include "fsutil/FsUtil.h"
#include "fw/ResString.h"
#include "fw/WaitCursor.h"
#include "resources/resource.h"

namespace {

// Slot 1 ... 4: check box and component number; slot 5 has neither.
const int kCheckBox[] = {IDC_CHECK_MEMORY_MANAGER, IDC_CHECK_TECHNOTES, IDC_CHECK_TRAINER,
                         IDC_CHECK_DISK_CACHE};
const int kComponent[] = {11, 21, 31, 41};
const int kSizeStatic[] = {IDC_SIZE_SLOT1, IDC_SIZE_SLOT2, IDC_SIZE_SLOT3, IDC_SIZE_SLOT4,
                           IDC_SIZE_SLOT5};
constexpr int kCheckedSlots = 4;

bool IsDriveLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

ComponentsPage::ComponentsPage(MainWindow& main) : WizardPage(IDD_COMPONENTS, main, 3)
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

std::string ComponentsPage::RequiredSpace(const std::string& drive) const
{
    std::string required = "0" + unitText;
    for (int i = 0; i < kSlots; ++i) {
        if (selected[i] == 1 && directory[i].compare(0, 2, drive) == 0) AddKB(required, size[i], 1);
    }
    return required;
}

bool ComponentsPage::OnInitDialog()
{
    fw::WaitCursor wait;
    // The framework's initialisation only: this page keeps the template font.
    fw::Dialog::OnInitDialog();
    for (int i = 0; i < kSlots; ++i) {
        size[i] = fw::LoadResString(IDS_COMPONENT_SIZE_FIRST + i) + unitText;
        InsertSeparator(size[i]);
        sizeDisplay[i] = size[i];
        directory[i] = main_.TargetDir(i + 1);
    }
    for (int i = 0; i < kCheckedSlots; ++i) {
        selected[i] = main_.componentSelected[kComponent[i]];
        EnableItem(IDC_SLOT_BUTTON_FIRST + i, selected[i] == 1);
    }
    driveText = directory[0].substr(0, 2);
    requiredText = RequiredSpace(driveText);
    FreeSpaceKB(driveText, availableText);
    availableText += unitText;
    for (std::string& a : available) a = availableText;
    InsertSeparator(availableText);
    InitIndicator(indicator, IDC_INDICATOR, CompareKB(availableText, requiredText), IDB_LIGHT_GREEN,
                  IDB_LIGHT_YELLOW, IDB_LIGHT_RED);
    InsertSeparator(requiredText);
    UpdateData(false);
    return true;
}

void ComponentsPage::Toggle(int slot)
{
    UpdateData(true);
    EnableItem(IDC_SLOT_BUTTON_FIRST + slot, selected[slot] == 1);
    const std::string& dir = directory[slot];
    if (dir.size() < 2 || !IsDriveLetter(dir[0]) || dir[1] != ':') {
        requiredText = selected[slot] == 1 ? size[slot] : "0" + unitText;
    } else {
        driveText = dir.substr(0, 2);
        requiredText = RequiredSpace(driveText);
        FreeSpaceKB(driveText, availableText);
        availableText += unitText;
        InsertSeparator(availableText);
        SetIndicator(indicator, CompareKB(availableText, size[slot]), IDB_LIGHT_GREEN, IDB_LIGHT_YELLOW,
                     IDB_LIGHT_RED);
    }
    UpdateData(false);
}

bool ComponentsPage::CheckSlots()
{
    for (int i = 0; i < kSlots; ++i) {
        if (selected[i] != 1) continue;
        driveText = directory[i].substr(0, 2);
        HWND slotButton = Item(IDC_SLOT_BUTTON_FIRST + i);
        if (!IsDriveAvailable(driveText)) {
            MessageBoxA(Handle(), fw::FormatResString(IDS_DRIVE_NOT_AVAILABLE, " " + driveText).c_str(),
                        fw::LoadResString(IDS_INVALID_DRIVE_CAPTION).c_str(), MB_OK | MB_ICONINFORMATION);
            SetFocus(slotButton);
            return false;
        }
        std::string need = size[i], free = available[i];
        RemoveSeparator(need);
        RemoveSeparator(free);
        if (atoi(need.c_str()) >= atoi(free.c_str())) {
            int answer = MessageBoxA(Handle(), fw::FormatResString(IDS_NOT_ENOUGH_SPACE, " " + driveText).c_str(),
                                     fw::LoadResString(IDS_WARNING_CAPTION).c_str(),
                                     MB_OKCANCEL | MB_ICONINFORMATION);
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
        MessageBoxA(Handle(), fw::LoadResString(IDS_NO_COMPONENT).c_str(),
                    fw::LoadResString(IDS_APP_TITLE).c_str(), MB_OK);
        return;
    }
    UpdateData(true);
    for (std::string& dir : directory) StripTrailingBackslash(dir);
    for (int i = 0; i < kCheckedSlots; ++i) main_.componentSelected[kComponent[i]] = selected[i];
    main_.targetDir1 = directory[0];
    main_.targetDir2 = directory[1];
    main_.targetDir3 = directory[2];
    main_.targetDir4 = directory[3];
    main_.targetDir5 = directory[4];
    EndDialog(IDOK);
}

void ComponentsPage::OnOK()
{
    Install();
}

void ComponentsPage::OnCancel()
{
    ConfirmExit();
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
    case IDC_BACK:
        UpdateData(true);
        EndDialog(IDC_BACK);
        return true;
    case IDC_EXIT:
        ConfirmExit();
        return true;
    default:
        return WizardPage::OnCommand(id, notifyCode, control);
    }
}

