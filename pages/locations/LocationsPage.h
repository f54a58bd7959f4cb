// The locations page: the directory the product goes into, the disk
// statistics of its drive with the free-space light, and the program group
// that receives the program items. Next checks the directory, proves with a
// trial creation that it can be made, and stores it in the InstallState.
#pragma once
#include <functional>
#include <string>

#include "pages/base/DiskSpacePage.h"
#include "progress/CvButton.h"

class LocationsPage : public DiskSpacePage {
public:
    // `chooseGroup` runs the program group page modal to the window it is
    // given and returns its end code (IDOK when the choice was taken).
    explicit LocationsPage(InstallState& state, HWND backdrop = nullptr, std::function<int(HWND)> chooseGroup = {});

    // The required space of a full install: the five component sizes of
    // the string table added up.
    static long long FullInstallKB();
    // What the page proposes: the earlier install's directory, else the
    // product's directory on the default drive.
    static std::string ProposedDirectory(const InstallState& state);
    // The product's group when none is chosen yet.
    static void TakeDefaultGroup(InstallState& state);
    // Stores a checked directory: `typed` as the user wrote it (it becomes
    // the product directory and varString1), the targets without a
    // trailing backslash.
    static void TakeLocation(InstallState& state, const std::string& typed);

    long long requiredKB = 0;
    long long availableKB = 0;
    // What the controls show.
    std::string driveText;
    std::string requiredText;
    std::string availableText;
    std::string directory;
    std::string groupNameText;
    CvButton indicator;
    CvButton logo;

protected:
    void DoDataExchange(fw::DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(int id, int notifyCode, HWND control) override;

private:
    void OnDirectoryChanged();
    void BrowseDirectory();
    void ChooseGroup();
    // Drive text, available figure and light for a directory that starts
    // with a drive letter and colon.
    void ShowDriveOf(const std::string& path);
    // Pushes the members to the controls, the KB figures formatted; a
    // control whose text is the same keeps its caret and selection.
    void Push();
    bool pushing_ = false;
    std::function<int(HWND)> chooseGroup_;
};
