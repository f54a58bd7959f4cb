#include "pages/group/GroupPage.h"

#include <cctype>
#include <cstring>

#include "fw/ResString.h"
#include "fw/WaitCursor.h"
#include "resources/resource.h"
#include "state/InstallState.h"

GroupPage::GroupPage(InstallState& state, const std::string& text, int add, HWND owner, HWND backdrop)
    : WizardPage(IDD_GROUP, state, backdrop), addItems(add), groupText(text)
{
    if (owner) parent_ = owner;
    defaultGroupName = fw::LoadResString(IDS_DEFAULT_GROUP);
}

GroupPage::NameCheck GroupPage::CheckGroupName(const std::string& name)
{
    if (name.empty()) return kNameAcceptable;
    if (!std::isalnum(static_cast<unsigned char>(name[0]))) return kNameBadFirstCharacter;
    if (name.find_first_of(",()[]") != std::string::npos) return kNameBadCharacter;
    return kNameAcceptable;
}

bool GroupPage::TakeGroupName(std::string& name)
{
    if (listExhausted) return false;
    size_t cr = groupText.find('\r');
    if (cr == std::string::npos || cr == 0) {
        listExhausted = 1;
        return false;
    }
    name = groupText.substr(0, cr);
    if (groupText.size() == cr + 2 && groupText[cr + 1] == '\n') {
        listExhausted = 1;
    } else {
        size_t next = cr + 1;
        if (next < groupText.size() && groupText[next] == '\n') ++next;
        groupText.erase(0, next);
    }
    return true;
}

std::string GroupPage::SelectedListText() const
{
    if (!listBox) return {};
    LRESULT index = SendMessageA(listBox, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR) return {};
    LRESULT length = SendMessageA(listBox, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR) return {};
    std::string text((size_t)length + 1, '\0');
    SendMessageA(listBox, LB_GETTEXT, index, (LPARAM)text.data());
    text.resize(strlen(text.c_str()));
    return text;
}

void GroupPage::DoDataExchange(fw::DataExchange& dx)
{
    if (listBox) {
        if (dx.saving) selectedEntry = SelectedListText();
        else SendMessageA(listBox, LB_SELECTSTRING, (WPARAM)-1, (LPARAM)selectedEntry.c_str());
    }
    dx.Check(IDC_ADD_TO_GROUP, addItems);
    dx.Text(IDC_GROUP_EDIT, groupNameText);
}

bool GroupPage::OnInitDialog()
{
    fw::WaitCursor wait;
    WizardPage::OnInitDialog();
    SendMessageA(Item(IDC_GROUP_EDIT), EM_LIMITTEXT, kNameLimit, 0);
    groupNameText = state_.groupName;
    listBox = Item(IDC_GROUP_LIST);
    std::string name;
    while (TakeGroupName(name)) {
        if (!name.empty() && CheckGroupName(name) == kNameAcceptable)
            SendMessageA(listBox, LB_ADDSTRING, 0, (LPARAM)name.c_str());
    }
    if (SendMessageA(listBox, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)defaultGroupName.c_str()) == LB_ERR)
        SendMessageA(listBox, LB_ADDSTRING, 0, (LPARAM)defaultGroupName.c_str());
    selectedEntry = defaultGroupName;
    EnableWindow(listBox, addItems != 0);
    UpdateData(false);
    SetFocus(listBox);
    return false;
}

bool GroupPage::OnCommand(int id, int notifyCode, HWND control)
{
    if (id == IDC_ADD_TO_GROUP && notifyCode == BN_CLICKED) {
        UpdateData(true);
        EnableItem(IDC_GROUP_LIST, addItems != 0);
        EnableItem(IDC_GROUP_EDIT, addItems != 0);
        return true;
    }
    if (id == IDC_GROUP_LIST) {
        if (notifyCode == LBN_SELCHANGE) {
            groupNameText = SelectedListText();
            SetItemText(IDC_GROUP_EDIT, groupNameText);
            return true;
        }
        if (notifyCode == LBN_DBLCLK) {
            selectedEntry = SelectedListText();
            groupNameText = selectedEntry;
            SetItemText(IDC_GROUP_EDIT, groupNameText);
            OnOK();
            return true;
        }
        return notifyCode == LBN_SETFOCUS;
    }
    return false;
}

void GroupPage::OnOK()
{
    UpdateData(true);
    switch (CheckGroupName(groupNameText)) {
    case kNameBadFirstCharacter:
        ShowWarningId(IDS_GROUP_FIRST_CHAR);
        return;
    case kNameBadCharacter:
        ShowWarningId(IDS_GROUP_BAD_CHAR);
        return;
    default:
        break;
    }
    state_.SetGroupName(groupNameText);
    state_.addToGroup = addItems ? 1 : 0;
    EndDialog(IDOK);
}

void GroupPage::OnCancel()
{
    state_.SetGroupName(defaultGroupName);
    EndDialog(IDCANCEL);
}

int RunGroupPage(InstallState& state, HWND backdrop, const std::string& groupList, HWND owner)
{
    GroupPage page(state, groupList, state.addToGroup, owner, backdrop);
    return (int)page.DoModal();
}
