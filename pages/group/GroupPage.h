// The program group page: whether program items go into a Program Manager
// group, and which one. It lists the groups that exist (as Program Manager
// reported them) and lets the user pick one or type a new name. OK stores
// groupName and addToGroup; Cancel sets groupName back to the product's
// default group.
#pragma once
#include <string>
#include <vector>

#include "pages/base/WizardPage.h"

class GroupPage : public WizardPage {
public:
    // `groupText`: one group name after another, each ended by CR LF.
    // `owner`: the window the page is modal to (null: the backdrop).
    GroupPage(InstallState& state, const std::string& groupText, int addItems, HWND owner = nullptr,
              HWND backdrop = nullptr);

    // The longest name the page takes.
    static constexpr size_t kNameLimit = 30;
    // The group name rules.
    enum NameCheck { kNameAcceptable, kNameBadFirstCharacter, kNameBadCharacter };
    static NameCheck CheckGroupName(const std::string& name);

    // Takes the next name off the group text; false (and the text marked
    // exhausted) when there is no further complete line.
    bool TakeGroupName(std::string& name);

    std::string selectedEntry;
    int addItems;
    std::string groupNameText;
    int listExhausted = 0;
    std::string groupText;
    HWND listBox = nullptr;
    std::string defaultGroupName;

protected:
    void DoDataExchange(fw::DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool OnCommand(int id, int notifyCode, HWND control) override;

private:
    std::string SelectedListText() const;
};

// Runs the group page with Program Manager's list of groups `groupList`
// and addToGroup, modal to `owner`. Returns the page's end code: 1 OK, 2
// Cancel.
int RunGroupPage(InstallState& state, HWND backdrop, const std::string& groupList, HWND owner = nullptr);
