// The install-wide values that every step of an installation reads and
// writes. The program that runs the install owns exactly one per run (the
// backdrop keeps it as a member); the script engine, the pages and the
// record writers are handed a reference to it.
#pragma once
#include <memory>
#include <string>

#include "state/ComponentFlags.h"
#include "state/RunMemory.h"

struct InstallState {
    // The latest components page: kept alive after it closed so that its
    // choices stay readable, until the install step starts. Held as an owner
    // of any type, since the model knows no window.
    std::shared_ptr<void> componentsPage;
    std::string installLogPath;
    std::string productDir;
    std::string targetDir1, targetDir2, targetDir3, targetDir4, targetDir5, targetDir6;
    std::string varString1, varString2, varString3, varString4;
    std::string groupName;
    std::string sourceDir;
    std::string installerDir;
    std::string windowsDir;
    std::string defaultDrive;
    int addToGroup = 1;
    ComponentFlags componentSelected;
    int installCompleted = 0;
    int customInstall = 0;
    std::string foregroundTitle;
    // What this run did, for the undo when it does not complete.
    RunMemory runMemory;

    // Component flags as the product ships them (strings 1261 ... 1266).
    void InitComponentFlags();
    // Deletes the components page kept in componentsPage (the install
    // step does this when it starts) and forgets it.
    void ReleaseComponentsPage() { componentsPage.reset(); }

    // targetDir1 ... targetDir6 by number; an empty text for other numbers.
    const std::string& TargetDir(int n) const;

    void SetSourceDir(const std::string& s) { sourceDir = s; }
    void SetInstallerDir(const std::string& s) { installerDir = s; }
    void SetProductDir(const std::string& s) { productDir = s; }
    void SetTargetDir1(const std::string& s) { targetDir1 = s; }
    void SetVarString1(const std::string& s) { varString1 = s; }
    void SetGroupName(const std::string& s) { groupName = s; }
    void SetDefaultDrive(const std::string& s) { defaultDrive = s; }
    void SetWindowsDir(const std::string& s) { windowsDir = s; }
};

// 0 when string `id` is exactly " " or "0", 1 for any other text (a missing
// string included).
int ReadFlagString(unsigned id);
// The same rule on a text.
int FlagFromText(const std::string& text);
