// The uninstaller, CVREMOVE.EXE: CVREMOVE [/S] ["log file"]. It removes a
// completed install from what INSTALL.LOG and CVREMOVE.LOG beside it record
// (by default the INSTALL.LOG beside the program) and exits with
//   0  removed (shared libraries still counted for other products aside)
//   1  the user said No
//   2  nothing changed: the logs are missing or unreadable, another
//      installer or uninstaller runs, or the rights are missing
//   3  removed, with items kept (named in the final message, or under /S
//      in CVREMOVE.TXT in the temporary folder)
// A program cannot delete itself while it runs: at its end it starts a copy
// of itself from a folder of its own in the temporary folder, which waits
// until this process has ended, deletes it and the folders left empty, and
// then has itself deleted when the system restarts.
#pragma once
#include <string>
#include <vector>

#include "fw/Application.h"

// What the command line asks.
struct RemoveOptions {
    bool silent = false;        // /S
    bool usage = false;         // /? or an unknown option
    std::string logPath;        // the first word that is no option
    // The copy in the temporary folder: "/RESIDUE <pid> <program> <dirs>".
    bool residue = false;
    unsigned long waitFor = 0;
    std::vector<std::string> residueWords;
};
// Options may stand anywhere on the line, in any case; a word with blanks
// is quoted.
RemoveOptions ParseRemoveCommandLine(const std::string& commandLine);

namespace remove_exit {
constexpr int kRemoved = 0;
constexpr int kDeclined = 1;
constexpr int kNothingChanged = 2;
constexpr int kRemovedWithItemsKept = 3;
}  // namespace remove_exit

class RemoveApp : public fw::Application {
protected:
    bool InitInstance() override;

private:
    int Remove(const RemoveOptions& options);
    void Tell(const RemoveOptions& options, UINT messageId, const std::string& argument);
    std::string caption_;
};
